// TPerlRegEx under hostile subjects: the patterns the program runs on pages
// it does not control (the listing parser's, with their options), driven
// through every way the class walks a subject: Match and MatchAgain over a
// search range, the groups of each match, ReplaceAll with the parser's
// replacement templates, and Split.
//
// Input: one byte choosing the pattern, two bytes for the search range, then
// the subject (see fuzz::AnyText).

#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <iterator>

#include "fuzz/support/FuzzSupport.h"
#include "platform/rtl/PerlRegEx.h"

namespace {

struct TPatternCase {
  const char16_t* Pattern;
  TPerlRegExOptions Options;
  TPerlRegExState State;
  const char16_t* Replacement;
};

// The listing parser's patterns as app/uFrancePJ20MAY2022.cpp writes them
// (with the directory's hosts it uses by default).
const TPatternCase kPatterns[] = {
    {u">(.+?)</h3>", {}, {}, u""},
    {u"T\u00e9l :(.+op\u00e9rations de marketing )?([.\\d\\+ ]+)", {}, {}, u"<Phone_2>"},
    {u"<span.+activity.+>(.+?)</span>", {}, {}, u"<ACTIVITIES>"},
    {u"Mobile : (<span[^>]+?>)?([.\\d\\+ ]+)", {}, {}, u"<MOBILE>"},
    {u"Fax : (<span>|.+op\u00e9rations de marketing )?([.\\d\\+ ]+)", {}, {}, u"<fax>"},
    {u"T\u00e9l :([.\\d\\+ ]+)", {}, {}, u""},
    {u"(.+?),?( |&nbsp;|)(\\d\\d\\d\\d\\d)( |&nbsp;)"
     u"([A-Za-z''\" \\-\u00e7\u00e9\u00e0\u00e8\u00ec\u00f2\u00f9\u00e1\u00ed\u00f3\u00fa\u00fd\u00e2\u00ea"
     u"\u00ee\u00f4\u00fb\u00e3\u00f1\u00f5\u00e4\u00eb\u00ef\u00f6\u00fc]+)(<|Voir le plan)?",
     {preCaseLess, preExtended}, {preNotEmpty}, u"<addr>"},
    {u"\"(/pros\\/\\d+)[\"#]", {preCaseLess, preExtended}, {preNotEmpty}, u""},
    {u"<span(?:\\s[^<>]*)?\\sclass=\"bi-activity-unit[^\"]*\"[^<>]*>([^<]*)</span>", {}, {}, u""},
    {u"T\u00e9l :\\s*(.*op\u00e9rations de marketing\\s*)?([.\\d\\+]+(?: [.\\d\\+]+)*)", {}, {}, u""},
    {u"id=\"epj-(\\d+)\"", {preCaseLess, preExtended}, {preNotEmpty}, u""},
    {u"[ \\x{A0}]*\\x{A0}[ \\x{A0}]*", {}, {}, u" "},
    {u"http://static.pagesjaunes.fr/(.+).gif", {}, {}, u"<img>"},
    {u"(<.+? class=)\"(.+?)\".?>[\\n\\r]?(.+?)[\\n\\r]?</span>", {preCaseLess, preMultiLine}, {preNotEmpty},
     u"\\2 == \\3"},
    {u"activity.+? == (.+)", {preCaseLess, preMultiLine}, {preNotEmpty}, u""},
    {u"T&eacute;l.<(.+?)>([.\\d\\+ ]+)", {}, {}, u""},
    {u"Fax<(.+?)>([.\\d ]+)", {}, {}, u""},
    {u"bile<(.+?)>([.\\d ]+)", {}, {}, u""},
    {u"http://www.pagesjaunes.fr/pros/(\\d+)", {}, {}, u""},
    {u"siteweb:(.+)", {}, {}, u""},
    {u"<(style|script)[^<>]*>.*?</\\1>|</?[a-z][a-z0-9]*[^<>]*>|<!--.*?-->", {preCaseLess, preSingleLine}, {},
     u""},
    {u"([A-Za-z\\d+/]{20,}={0,2})", {}, {}, u""},
    {u"\\d+\\s+ (.+)", {}, {}, u""},
};

void Prepare(TPerlRegEx& re, const TPatternCase& c, const QString& subject) {
  re.SetOptions(c.Options);
  re.SetState(c.State);
  re.SetRegEx(QString::fromUtf16(c.Pattern));
  re.SetReplacement(QString::fromUtf16(c.Replacement));
  re.SetSubject(subject);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  if (Size < 3) return 0;
  const TPatternCase& c = kPatterns[Data[0] % std::size(kPatterns)];
  const int startPick = Data[1], stopPick = Data[2];
  const QString subject = fuzz::AnyText(Data + 3, Size - 3);
  const int length = static_cast<int>(subject.size());

  // Every match over a search range, with its groups.
  fuzz::Refusable([&] {
    TPerlRegEx re;
    Prepare(re, c, subject);
    if (startPick & 1) re.SetStart(1 + startPick % (length + 1));
    if (stopPick & 1) re.SetStop(stopPick % (length + 1));
    int previousEnd = 0;
    for (bool found = (startPick & 1) ? re.MatchAgain() : re.Match(); found; found = re.MatchAgain()) {
      const int offset = re.MatchedOffset(), matched = re.MatchedLength();
      fuzz::Check(offset >= 1 && offset + matched - 1 <= length, "a match lies outside the subject");
      fuzz::Check(offset + matched >= previousEnd, "a match goes back before the previous one");
      fuzz::Check(re.MatchedText() == subject.mid(offset - 1, matched), "the matched text is not the subject's");
      previousEnd = offset + matched;
      for (int g = 0; g <= re.GroupCount(); ++g) {
        const QString group = re.Groups(g);
        const int go = re.GroupOffsets(g), gl = re.GroupLengths(g);
        fuzz::Check(gl == group.size(), "a group's length is not its text's");
        if (gl > 0) fuzz::Check(group == subject.mid(go - 1, gl), "a group's text is not the subject's");
      }
      re.ComputeReplacement();
    }
  });

  // Replacement, as the parser strips tags and rewrites class pairs.
  fuzz::Refusable([&] {
    TPerlRegEx re;
    Prepare(re, c, subject);
    re.ReplaceAll();
    re.Subject();
  });

  // Step-wise replacement with Replace and MatchAgain.
  fuzz::Refusable([&] {
    TPerlRegEx re;
    Prepare(re, c, subject);
    for (int steps = 0; steps < 64 && (steps == 0 ? re.Match() : re.MatchAgain()); ++steps) re.Replace();
  });

  fuzz::Refusable([&] {
    TPerlRegEx re;
    Prepare(re, c, subject);
    QStringList parts;
    re.Split(parts, stopPick % 4);
  });
  return 0;
}
