#pragma once
// TPerlRegEx: the framework's regular-expression class over PCRE2's 16-bit
// library. Subjects and patterns are QString (UTF-16); every offset the class
// reports is 1-based and counted in UTF-16 code units, as the framework does.
//
// Patterns always compile in UTF mode with "any Unicode line break ends a
// line" (CR, LF, CR LF, VT, FF, NEL, LS, PS), so "." never matches a line
// break unless preSingleLine is set. \d, \w and \s keep their ASCII meaning.
// Subjects may hold unpaired surrogates: such code units never match, but
// they never break a match either.
//
// Compiled patterns are shared through a bounded, thread-safe process-wide
// cache keyed by pattern text and options. One TPerlRegEx object is meant for
// one thread at a time; different objects may run on different threads.

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"

class TStrings;

// Raised for a pattern that does not compile (message: PCRE's error text
// followed by " at offset N", N counted in UTF-16 code units from 0) and for a
// match that PCRE gives up on (match or memory limit).
TF_DECLARE_EXCEPTION(ERegularExpressionError, Exception)

enum TPerlRegExOption {
  preCaseLess,       // letters match in either case (Unicode case folding)
  preMultiLine,      // ^ and $ also match at line starts and ends
  preSingleLine,     // "." also matches line breaks
  preExtended,       // blanks and "#" comments outside character classes are ignored
  preAnchored,       // a match must start where the search starts
  preUnGreedy,       // quantifiers are lazy unless followed by "?"
  preNoAutoCapture   // plain "(...)" groups do not capture; named groups still do
};
using TPerlRegExOptions = TSet<TPerlRegExOption>;

enum TPerlRegExStateItem {
  preNotBOL,   // the subject start is not the start of a line (^ does not match there)
  preNotEOL,   // the subject end is not the end of a line ($ does not match there)
  preNotEmpty  // an empty match is never accepted, at any position
};
using TPerlRegExState = TSet<TPerlRegExStateItem>;

namespace perlregex_detail {
struct CompiledPattern;
struct MatchBuffer;
}  // namespace perlregex_detail

class TPerlRegEx : public TObject {
 public:
  TPerlRegEx();
  ~TPerlRegEx() override;
  TPerlRegEx(const TPerlRegEx&) = delete;
  TPerlRegEx& operator=(const TPerlRegEx&) = delete;

  // The text searched. Setting it clears the current match and resets Start
  // to 1 and Stop to the subject's length.
  const QString& Subject() const { return FSubject; }
  void SetSubject(const QString& value);

  const QString& RegEx() const { return FRegEx; }
  void SetRegEx(const QString& value);

  TPerlRegExOptions Options() const { return FOptions; }
  void SetOptions(TPerlRegExOptions value);

  TPerlRegExState State() const { return FState; }
  void SetState(TPerlRegExState value) { FState = value; }

  // Replacement template used by ComputeReplacement, Replace and ReplaceAll.
  const QString& Replacement() const { return FReplacement; }
  void SetReplacement(const QString& value) { FReplacement = value; }

  // Search range, 1-based. MatchAgain continues at Start; Match and
  // MatchAgain never look past Stop (the last code unit searched).
  int Start() const { return FStart; }
  void SetStart(int value);
  int Stop() const { return FStop; }
  void SetStop(int value);

  // Compiles RegEx with Options (through the shared cache); Match compiles on
  // demand. Raises ERegularExpressionError for an invalid pattern.
  void Compile();
  bool Compiled() const { return FCode != nullptr; }
  // Compiled patterns are JIT-compiled by the cache already: Study only
  // makes sure the pattern is compiled.
  void Study();

  // Searches from the start of the subject (up to Stop).
  bool Match();
  // Searches again from Start, which a successful match leaves just after
  // itself. After an empty match the search first moves on by one character
  // (one code unit, or two over a surrogate pair) so that it never finds
  // the same empty match twice.
  bool MatchAgain();

  bool FoundMatch() const { return FFoundMatch; }
  QString MatchedText() const { return Groups(0); }
  int MatchedOffset() const { return GroupOffsets(0); }
  int MatchedLength() const { return GroupLengths(0); }

  // Number of the highest capturing group that took part in the last match
  // (0 when only the whole match did, or when there is no match).
  int GroupCount() const { return FGroupCount; }
  // Index 0 is the whole match. Any group the pattern has may be asked for:
  // a group that took no part in the match gives "", offset 0 and length 0.
  // An index beyond the pattern's groups raises EListError.
  QString Groups(int index) const;
  int GroupOffsets(int index) const;
  int GroupLengths(int index) const;
  // Number of the group called Name, or -1 when the pattern has none.
  int NamedGroup(const QString& name) const;

  // The replacement text for the current match: Replacement with
  //   \0 .. \9, $0 .. $9   the text of that group (0 = whole match)
  //   \g<n>                the text of group n (any number of digits)
  //   \<name>              the text of the named group
  //   \\                   one backslash
  // substituted. A group that does not exist or did not take part in the
  // match gives "". Any other backslash or dollar stays as written.
  QString ComputeReplacement() const;
  // Replaces the current match in Subject with ComputeReplacement and returns
  // the text put in. The current match then covers the inserted text (groups
  // other than 0 are cleared), Start moves past it and Stop follows the
  // length change, so MatchAgain continues behind the replacement.
  QString Replace();
  // Replaces every match, left to right over the subject as it was before
  // the call (up to Stop). Returns true when anything was replaced.
  bool ReplaceAll();

  // Adds to Strings the parts of the subject between matches. With Limit > 0
  // at most Limit parts are added, the last one holding the rest of the
  // subject; Limit <= 0 splits at every match.
  void Split(QStringList& strings, int limit);
  void Split(TStrings* strings, int limit);

  // Escapes every character that has a meaning in a pattern outside a
  // character class, so the result matches the text literally (also in
  // extended mode, where blanks and "#" are escaped too).
  static QString EscapeRegExChars(const QString& s);

 private:
  void ClearMatch();
  bool Search(qsizetype startOffset);
  void CheckGroupIndex(int index) const;
  int CaptureCount() const;

  QString FSubject;
  QString FRegEx;
  QString FReplacement;
  TPerlRegExOptions FOptions;
  TPerlRegExState FState;
  int FStart = 1;
  int FStop = 0;

  std::shared_ptr<const perlregex_detail::CompiledPattern> FCode;
  std::unique_ptr<perlregex_detail::MatchBuffer> FMatch;

  // Current match as 0-based [begin, end) code-unit pairs; -1 for a group
  // that took no part. Empty when there is no match.
  std::vector<qsizetype> FOffsets;
  bool FFoundMatch = false;
  bool FLastMatchEmpty = false;
  int FGroupCount = 0;
};
