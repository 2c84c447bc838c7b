#include "platform/rtl/PerlRegEx.h"

#include "platform/rtl/Classes.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <QHash>
#include <algorithm>
#include <list>
#include <mutex>
#include <unordered_map>
#include <utility>

namespace perlregex_detail {

// One compiled pattern, shared read-only by every object (and thread) using
// the same pattern text and options.
struct CompiledPattern {
  pcre2_code* code = nullptr;
  int captureCount = 0;
  bool jit = false;  // JIT-compiled: matches go straight to the machine code
  ~CompiledPattern() { pcre2_code_free(code); }
};

struct MatchBuffer {
  pcre2_match_data* data = nullptr;
  uint32_t pairs = 0;
  ~MatchBuffer() { pcre2_match_data_free(data); }
};

}  // namespace perlregex_detail

using perlregex_detail::CompiledPattern;
using perlregex_detail::MatchBuffer;

namespace {

QString PcreErrorText(int code) {
  PCRE2_UCHAR buffer[256];
  const int n = pcre2_get_error_message(code, buffer, sizeof buffer / sizeof buffer[0]);
  if (n < 0) return QStringLiteral("PCRE error %1").arg(code);
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(buffer), n);
}

uint32_t CompileFlags(TPerlRegExOptions options) {
  uint32_t flags = PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
  if (options.Contains(preCaseLess)) flags |= PCRE2_CASELESS;
  if (options.Contains(preMultiLine)) flags |= PCRE2_MULTILINE;
  if (options.Contains(preSingleLine)) flags |= PCRE2_DOTALL;
  if (options.Contains(preExtended)) flags |= PCRE2_EXTENDED;
  if (options.Contains(preAnchored)) flags |= PCRE2_ANCHORED;
  if (options.Contains(preUnGreedy)) flags |= PCRE2_UNGREEDY;
  if (options.Contains(preNoAutoCapture)) flags |= PCRE2_NO_AUTO_CAPTURE;
  return flags;
}

uint32_t MatchFlags(TPerlRegExState state) {
  uint32_t flags = 0;
  if (state.Contains(preNotBOL)) flags |= PCRE2_NOTBOL;
  if (state.Contains(preNotEOL)) flags |= PCRE2_NOTEOL;
  if (state.Contains(preNotEmpty)) flags |= PCRE2_NOTEMPTY;
  return flags;
}

// Compile context shared by every compilation: any Unicode line break ends a
// line. pcre2_compile only reads it, so one instance serves all threads.
pcre2_compile_context* SharedCompileContext() {
  static const struct Holder {
    pcre2_compile_context* ctx;
    Holder() : ctx(pcre2_compile_context_create(nullptr)) {
      pcre2_set_newline(ctx, PCRE2_NEWLINE_ANY);
    }
    ~Holder() { pcre2_compile_context_free(ctx); }
  } holder;
  return holder.ctx;
}

// Per-thread match context with a JIT stack that may grow to 1 MB, so the
// lazy ".+?" scans of long lines do not run out of the 32 KB default.
pcre2_match_context* ThreadMatchContext() {
  thread_local struct Holder {
    pcre2_match_context* ctx = nullptr;
    pcre2_jit_stack* stack = nullptr;
    Holder() {
      ctx = pcre2_match_context_create(nullptr);
      stack = pcre2_jit_stack_create(32 * 1024, 1024 * 1024, nullptr);
      if (ctx && stack) pcre2_jit_stack_assign(ctx, nullptr, stack);
    }
    ~Holder() {
      pcre2_match_context_free(ctx);
      pcre2_jit_stack_free(stack);
    }
  } holder;
  return holder.ctx;
}

std::shared_ptr<const CompiledPattern> CompilePattern(const QString& pattern, uint32_t flags) {
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.utf16()),
                                   static_cast<PCRE2_SIZE>(pattern.size()), flags, &errorCode,
                                   &errorOffset, SharedCompileContext());
  if (!code) {
    throw ERegularExpressionError(PcreErrorText(errorCode) +
                                  QStringLiteral(" at offset %1").arg(qulonglong(errorOffset)));
  }
  auto compiled = std::make_shared<CompiledPattern>();
  compiled->code = code;
  uint32_t count = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &count);
  compiled->captureCount = static_cast<int>(count);
  // JIT failure (no JIT on this machine, pattern too large) only means the
  // interpreter runs instead.
  compiled->jit = pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) == 0;
  return compiled;
}

// Bounded least-recently-used cache of compiled patterns, process-wide.
class PatternCache {
 public:
  static PatternCache& Instance() {
    static PatternCache cache;
    return cache;
  }

  std::shared_ptr<const CompiledPattern> Get(const QString& pattern, uint32_t flags) {
    Key key{pattern, flags};
    {
      std::lock_guard lock(FLock);
      auto it = FIndex.find(key);
      if (it != FIndex.end()) {
        FOrder.splice(FOrder.begin(), FOrder, it->second);
        return it->second->second;
      }
    }
    // Compile outside the lock; a pattern compiled twice by racing threads
    // is harmless (the first one stored wins).
    auto compiled = CompilePattern(pattern, flags);
    std::lock_guard lock(FLock);
    auto it = FIndex.find(key);
    if (it != FIndex.end()) {
      FOrder.splice(FOrder.begin(), FOrder, it->second);
      return it->second->second;
    }
    FOrder.emplace_front(key, compiled);
    FIndex.emplace(key, FOrder.begin());
    while (FOrder.size() > kCapacity) {
      FIndex.erase(FOrder.back().first);
      FOrder.pop_back();
    }
    return compiled;
  }

 private:
  static constexpr size_t kCapacity = 256;
  struct Key {
    QString pattern;
    uint32_t flags;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const { return qHash(k.pattern, k.flags); }
  };
  using Entry = std::pair<Key, std::shared_ptr<const CompiledPattern>>;

  std::mutex FLock;
  std::list<Entry> FOrder;
  std::unordered_map<Key, std::list<Entry>::iterator, KeyHash> FIndex;
};

bool IsSurrogatePairAt(const QString& s, qsizetype i) {
  return i + 1 < s.size() && s.at(i).isHighSurrogate() && s.at(i + 1).isLowSurrogate();
}

QString ListIndexMessage(int index) {
  return QString::fromLatin1(RtlConsts::SListIndexError).replace(QLatin1String("%d"), QString::number(index));
}

}  // namespace

TPerlRegEx::TPerlRegEx() : FMatch(std::make_unique<MatchBuffer>()) {}

TPerlRegEx::~TPerlRegEx() = default;

void TPerlRegEx::SetSubject(const QString& value) {
  FSubject = value;
  FStart = 1;
  FStop = static_cast<int>(FSubject.size());
  FLastMatchEmpty = false;
  ClearMatch();
}

void TPerlRegEx::SetRegEx(const QString& value) {
  if (value == FRegEx && FCode) return;
  FRegEx = value;
  FCode.reset();
  ClearMatch();
}

void TPerlRegEx::SetOptions(TPerlRegExOptions value) {
  if (value == FOptions) return;
  FOptions = value;
  FCode.reset();
  ClearMatch();
}

void TPerlRegEx::SetStart(int value) {
  FStart = std::max(1, value);
  FLastMatchEmpty = false;
}

void TPerlRegEx::SetStop(int value) { FStop = std::clamp(value, 0, static_cast<int>(FSubject.size())); }

void TPerlRegEx::Compile() {
  FCode = PatternCache::Instance().Get(FRegEx, CompileFlags(FOptions));
  const uint32_t pairs = static_cast<uint32_t>(FCode->captureCount) + 1;
  if (!FMatch->data || FMatch->pairs < pairs) {
    pcre2_match_data_free(FMatch->data);
    FMatch->data = pcre2_match_data_create(pairs, nullptr);
    FMatch->pairs = pairs;
    if (!FMatch->data) throw EOutOfMemory(QString::fromLatin1(RtlConsts::SOutOfMemory));
  }
}

void TPerlRegEx::Study() {
  if (!FCode) Compile();
}

void TPerlRegEx::ClearMatch() {
  FOffsets.clear();
  FFoundMatch = false;
  FGroupCount = 0;
}

bool TPerlRegEx::Search(qsizetype startOffset) {
  if (!FCode) Compile();
  ClearMatch();
  const qsizetype length = std::clamp<qsizetype>(FStop, 0, FSubject.size());
  if (startOffset < 0 || startOffset > length) return false;

  const auto subject = reinterpret_cast<PCRE2_SPTR>(FSubject.utf16());
  const uint32_t flags = MatchFlags(FState);
  // The JIT entry skips the argument checks of pcre2_match, which the
  // values above already satisfy; it matters for the many short calls of
  // ReplaceAll.
  int rc = FCode->jit ? pcre2_jit_match(FCode->code, subject, static_cast<PCRE2_SIZE>(length),
                                        static_cast<PCRE2_SIZE>(startOffset), flags, FMatch->data,
                                        ThreadMatchContext())
                      : pcre2_match(FCode->code, subject, static_cast<PCRE2_SIZE>(length),
                                    static_cast<PCRE2_SIZE>(startOffset), flags, FMatch->data,
                                    ThreadMatchContext());
  if (rc == PCRE2_ERROR_JIT_STACKLIMIT) {
    // The interpreter keeps its backtracking data on the heap: try again there.
    rc = pcre2_match(FCode->code, subject, static_cast<PCRE2_SIZE>(length),
                     static_cast<PCRE2_SIZE>(startOffset), flags | PCRE2_NO_JIT, FMatch->data,
                     ThreadMatchContext());
  }
  if (rc == PCRE2_ERROR_NOMATCH || rc == PCRE2_ERROR_PARTIAL) return false;
  if (rc < 0) throw ERegularExpressionError(PcreErrorText(rc));

  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(FMatch->data);
  const int pairs = FCode->captureCount + 1;
  FOffsets.assign(static_cast<size_t>(pairs) * 2, -1);
  const int stored = rc == 0 ? pairs : std::min(rc, pairs);
  for (int i = 0; i < stored; ++i) {
    if (ovector[2 * i] == PCRE2_UNSET) continue;
    const auto begin = static_cast<qsizetype>(ovector[2 * i]);
    // \K inside a lookahead can report a start after the end.
    const auto end = std::max(begin, static_cast<qsizetype>(ovector[2 * i + 1]));
    FOffsets[2 * i] = begin;
    FOffsets[2 * i + 1] = end;
  }
  FFoundMatch = true;
  FGroupCount = rc > 0 ? rc - 1 : FCode->captureCount;
  FLastMatchEmpty = FOffsets[0] == FOffsets[1];
  FStart = static_cast<int>(FOffsets[1]) + 1;
  return true;
}

bool TPerlRegEx::Match() { return Search(0); }

bool TPerlRegEx::MatchAgain() {
  qsizetype from = FStart - 1;
  if (FLastMatchEmpty) from += IsSurrogatePairAt(FSubject, from) ? 2 : 1;
  return Search(from);
}

int TPerlRegEx::CaptureCount() const {
  if (FCode) return FCode->captureCount;
  return 0;
}

void TPerlRegEx::CheckGroupIndex(int index) const {
  if (index < 0 || index > CaptureCount()) throw EListError(ListIndexMessage(index));
}

QString TPerlRegEx::Groups(int index) const {
  CheckGroupIndex(index);
  if (FOffsets.empty() || FOffsets[2 * index] < 0) return QString();
  return FSubject.mid(FOffsets[2 * index], FOffsets[2 * index + 1] - FOffsets[2 * index]);
}

int TPerlRegEx::GroupOffsets(int index) const {
  CheckGroupIndex(index);
  if (FOffsets.empty() || FOffsets[2 * index] < 0) return 0;
  return static_cast<int>(FOffsets[2 * index]) + 1;
}

int TPerlRegEx::GroupLengths(int index) const {
  CheckGroupIndex(index);
  if (FOffsets.empty() || FOffsets[2 * index] < 0) return 0;
  return static_cast<int>(FOffsets[2 * index + 1] - FOffsets[2 * index]);
}

int TPerlRegEx::NamedGroup(const QString& name) const {
  auto code = FCode ? FCode : PatternCache::Instance().Get(FRegEx, CompileFlags(FOptions));
  const int n = pcre2_substring_number_from_name(code->code, reinterpret_cast<PCRE2_SPTR>(name.utf16()));
  // A name used by several groups (allowed with (?J)) gives no single number.
  return n >= 0 ? n : -1;
}

QString TPerlRegEx::ComputeReplacement() const {
  const QString& r = FReplacement;
  const int groups = CaptureCount();
  auto group = [&](int n) { return n >= 0 && n <= groups ? Groups(n) : QString(); };
  auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };

  QString result;
  result.reserve(r.size());
  qsizetype i = 0;
  while (i < r.size()) {
    const QChar c = r.at(i);
    const QChar next = i + 1 < r.size() ? r.at(i + 1) : QChar();
    if ((c == u'\\' || c == u'$') && isDigit(next)) {
      result += group(next.unicode() - u'0');
      i += 2;
      continue;
    }
    if (c == u'\\' && next == u'\\') {
      result += u'\\';
      i += 2;
      continue;
    }
    if (c == u'\\' && next == u'g' && i + 2 < r.size() && r.at(i + 2) == u'<') {
      // \g<digits>
      const qsizetype close = r.indexOf(u'>', i + 3);
      if (close > i + 3) {
        bool ok = false;
        const int n = r.mid(i + 3, close - i - 3).toInt(&ok);
        bool allDigits = true;
        for (qsizetype k = i + 3; k < close; ++k) allDigits = allDigits && isDigit(r.at(k));
        if (ok && allDigits) {
          result += group(n);
          i = close + 1;
          continue;
        }
      }
    }
    if (c == u'\\' && next == u'<') {
      const qsizetype close = r.indexOf(u'>', i + 2);
      if (close > i + 2) {
        const QString name = r.mid(i + 2, close - i - 2);
        result += group(NamedGroup(name));
        i = close + 1;
        continue;
      }
    }
    result += c;
    ++i;
  }
  return result;
}

QString TPerlRegEx::Replace() {
  if (!FFoundMatch) return QString();
  const QString replacement = ComputeReplacement();
  const qsizetype begin = FOffsets[0];
  const qsizetype end = FOffsets[1];
  FSubject.replace(begin, end - begin, replacement);
  const qsizetype delta = replacement.size() - (end - begin);
  FStop = static_cast<int>(std::clamp<qsizetype>(FStop + delta, 0, FSubject.size()));
  std::fill(FOffsets.begin() + 2, FOffsets.end(), -1);
  FOffsets[1] = begin + replacement.size();
  FGroupCount = 0;
  FStart = static_cast<int>(FOffsets[1]) + 1;
  return replacement;
}

bool TPerlRegEx::ReplaceAll() {
  if (!Match()) return false;
  // A template without "\\" or "$" is the same text for every match.
  const bool constant = !FReplacement.contains(u'\\') && !FReplacement.contains(u'$');
  // Matches are found in the unchanged subject; the result is built aside.
  QString result;
  result.reserve(FSubject.size());
  qsizetype copied = 0;
  qsizetype lastEnd = 0;
  do {
    result += QStringView(FSubject).mid(copied, FOffsets[0] - copied);
    result += constant ? FReplacement : ComputeReplacement();
    copied = FOffsets[1];
    lastEnd = result.size();
  } while (MatchAgain());
  result += QStringView(FSubject).mid(copied);
  const qsizetype delta = result.size() - FSubject.size();
  const int stop = static_cast<int>(FStop + delta);
  FSubject = std::move(result);
  FStop = std::clamp(stop, 0, static_cast<int>(FSubject.size()));
  FStart = static_cast<int>(lastEnd) + 1;
  FLastMatchEmpty = false;
  ClearMatch();
  return true;
}

void TPerlRegEx::Split(QStringList& strings, int limit) {
  if (limit == 1 || !Match()) {
    strings.append(FSubject);
    return;
  }
  qsizetype offset = 0;
  int count = 1;
  do {
    strings.append(FSubject.mid(offset, FOffsets[0] - offset));
    ++count;
    offset = FOffsets[1];
  } while (!(limit > 1 && count >= limit) && MatchAgain());
  strings.append(FSubject.mid(offset));
}

QString TPerlRegEx::EscapeRegExChars(const QString& s) {
  static const QString special = QStringLiteral("\\[]^$.|?*+(){}# \t\n\v\f\r");
  QString result;
  result.reserve(s.size() * 2);
  for (QChar c : s) {
    if (c.isNull()) {
      result += QLatin1String("\\x00");
    } else {
      if (special.contains(c)) result += u'\\';
      result += c;
    }
  }
  return result;
}

void TPerlRegEx::Split(TStrings* strings, int limit) {
  if (strings == nullptr) return;
  QStringList parts;
  Split(parts, limit);
  strings->BeginUpdate();
  try {
    for (const QString& part : parts) strings->Add(part);
  } catch (...) {
    strings->EndUpdate();
    throw;
  }
  strings->EndUpdate();
}
