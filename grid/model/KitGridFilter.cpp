#include "grid/model/KitGridFilter.h"

#include <QStringView>
#include <vector>

#include "grid/model/KitGridUtils.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr qsizetype kMaxOperand = 255;

bool IsOperator(QChar c) { return c == u'&' || c == u'|' || c == u'^' || c == u';'; }

// ---------------------------------------------------------------------------
// Comparisons of ">" and "<"

// A number in the "." notation: sign, digits, a decimal point, an exponent;
// nothing else (no blanks).
bool ReadNumber(const QString& text, double& value) {
  const qsizetype n = text.size();
  qsizetype i = 0;
  if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
  qsizetype digits = 0;
  while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i, ++digits;
  if (i < n && text[i] == u'.') {
    ++i;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i, ++digits;
  }
  if (digits == 0) return false;
  if (i < n && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) ++i;
    qsizetype exponent = 0;
    while (i < n && text[i] >= u'0' && text[i] <= u'9') ++i, ++exponent;
    if (exponent == 0) return false;
  }
  if (i != n) return false;
  bool ok = false;
  value = QStringView(text).toDouble(&ok);
  return ok;
}

// The value against the operand: as numbers when both are numbers (a text
// that reads as a date is none), else as dates when both are dates, else by
// character code over their first 255 characters.
int CompareOperand(const QString& value, const QString& operand) {
  TDateTime valueDate = 0, operandDate = 0;
  const bool valueIsDate = ParseDateByOrder(value, valueDate);
  const bool operandIsDate = ParseDateByOrder(operand, operandDate);
  double valueNumber = 0, operandNumber = 0;
  const bool valueIsNumber = !valueIsDate && ReadNumber(DotDecimalText(value), valueNumber);
  const bool operandIsNumber = !operandIsDate && ReadNumber(DotDecimalText(operand), operandNumber);
  if (valueIsNumber && operandIsNumber)
    return valueNumber < operandNumber ? -1 : valueNumber > operandNumber ? 1 : 0;
  if (valueIsDate && operandIsDate) return valueDate < operandDate ? -1 : valueDate > operandDate ? 1 : 0;
  return CompareStr(value.left(kMaxOperand), operand);
}

// The operand after an operator at index at (its "=" already passed):
// blanks skipped; a leading double quote opens a quoted part in which
// blanks, "&", "|" and ")" belong to the operand; a closing quote at the end
// is dropped; at most 255 characters.
QString ReadOperand(const QString& term, qsizetype at) {
  const qsizetype n = term.size();
  while (at < n && term[at] == u' ') ++at;
  bool inQuotes = false;
  if (at < n && term[at] == u'"') {
    inQuotes = true;
    ++at;
  }
  QString operand;
  for (; at < n; ++at) {
    const QChar c = term[at];
    if (c == u'"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && (c == u' ' || c == u'&' || c == u'|' || c == u')')) {
      break;
    }
    operand += c;
  }
  if (operand.endsWith(u'"')) operand.chop(1);
  return operand.left(kMaxOperand);
}

// ---------------------------------------------------------------------------
// Wildcards

// A pattern without "!" and double quotes: "*" matches any run, "?" any one
// character. Greedy with one backtracking point (the last star), which is
// exact for such patterns and takes at most length x length steps.
bool PlainWildcard(QStringView term, QStringView value) {
  const qsizetype m = term.size();
  const qsizetype n = value.size();
  qsizetype p = 0, v = 0, starP = -1, starV = 0;
  while (v < n) {
    if (p < m && term[p] != u'*' && (term[p] == u'?' || term[p] == value[v])) {
      ++p;
      ++v;
    } else if (p < m && term[p] == u'*') {
      starP = p++;
      starV = v;
    } else if (starP >= 0) {
      p = starP + 1;
      v = ++starV;
    } else {
      return false;
    }
  }
  while (p < m && term[p] == u'*') ++p;
  return p == m;
}

// The general pattern. The term is cut at its runs of "*" into segments;
// each segment is walked as the term's rules say (a double quote is
// skipped, one right after a skipped one matches a literal quote, "!" marks
// the walk's result to be inverted unless the segment starts with a double
// quote, "?" takes any one character). A walk that reaches the next star
// succeeds when the rest of the term matches some suffix of the value from
// there on. Those answers are worked out once per segment and value
// position, from the last segment back, so the cost is bounded by the
// product of the two lengths.
class TWildcard {
 public:
  TWildcard(QStringView term, QStringView value) : FValue(value) { Tokenize(term); }

  bool Match() {
    const qsizetype n = FValue.size();
    std::vector<char> tail;  // tail[v]: the next segment matches some suffix from v on
    std::vector<char> current(n + 2, 0);
    for (size_t s = FSegments.size() - 1; s >= 1; --s) {
      current.assign(n + 2, 0);
      for (qsizetype v = n; v >= 0; --v) current[v] = current[v + 1] || Walk(s, v, tail);
      tail.swap(current);
    }
    return Walk(0, 0, tail);
  }

 private:
  enum TKind : char { tkLiteral, tkAny, tkNegate };
  struct TToken {
    TKind Kind;
    QChar Ch;
  };

  void Tokenize(QStringView term) {
    FSegments.emplace_back();
    bool segmentStartsWithQuote = !term.isEmpty() && term[0] == u'"';
    bool skippedQuote = false;
    for (qsizetype p = 0; p < term.size(); ++p) {
      const QChar c = term[p];
      if (c == u'*') {
        while (p + 1 < term.size() && term[p + 1] == u'*') ++p;
        FSegments.emplace_back();
        segmentStartsWithQuote = p + 1 < term.size() && term[p + 1] == u'"';
        skippedQuote = false;
        continue;
      }
      if (c == u'"' && !skippedQuote) {
        skippedQuote = true;
        continue;
      }
      skippedQuote = false;
      if (c == u'?') FSegments.back().push_back({tkAny, c});
      else if (c == u'!' && !segmentStartsWithQuote) FSegments.back().push_back({tkNegate, c});
      else FSegments.back().push_back({tkLiteral, c});
    }
  }

  bool Walk(size_t segment, qsizetype v, const std::vector<char>& tail) const {
    const qsizetype n = FValue.size();
    bool negate = false;
    bool match = true;
    for (const TToken& token : FSegments[segment]) {
      if (token.Kind == tkNegate) {
        negate = true;
      } else if (v < n && (token.Kind == tkAny || token.Ch == FValue[v])) {
        ++v;
      } else {
        match = false;
        break;
      }
    }
    if (match) match = segment + 1 < FSegments.size() ? tail[v] != 0 : v == n;
    return match != negate;
  }

  QStringView FValue;
  std::vector<std::vector<TToken>> FSegments;
};

bool WildcardMatch(const QString& term, const QString& value) {
  if (!term.contains(u'"') && !term.contains(u'!')) return PlainWildcard(term, value);
  return TWildcard(term, value).Match();
}

// ---------------------------------------------------------------------------
// Conditions

// Where each "(" outside double quotes is closed (index of its ")"), or -1.
std::vector<qsizetype> MatchParentheses(const QString& s) {
  std::vector<qsizetype> partner(s.size(), -1);
  std::vector<qsizetype> open;
  bool inQuotes = false;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const QChar c = s[i];
    if (c == u'"') inQuotes = !inQuotes;
    else if (inQuotes) continue;
    else if (c == u'(') open.push_back(i);
    else if (c == u')' && !open.empty()) {
      partner[open.back()] = i;
      open.pop_back();
    }
  }
  return partner;
}

}  // namespace

QString RemoveBlanksOutsideQuotes(const QString& Text) {
  QString result;
  result.reserve(Text.size());
  bool inQuotes = false;
  for (QChar c : Text) {
    if (c == u'"') inQuotes = !inQuotes;
    if (c != u' ' || inQuotes) result += c;
  }
  return result;
}

int FindOperatorOutside(const QString& Text) {
  bool inQuotes = false;
  int depth = 0;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text[i];
    if (c == u'"') inQuotes = !inQuotes;
    else if (inQuotes) continue;
    else if (c == u'(') ++depth;
    else if (c == u')') --depth;
    else if (depth == 0 && IsOperator(c)) return static_cast<int>(i + 1);
  }
  return 0;
}

int MatchingParenPos(const QString& Text) {
  if (!Text.startsWith(u'(')) return 0;
  bool inQuotes = false;
  int depth = 0;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text[i];
    if (c == u'"') inQuotes = !inQuotes;
    else if (inQuotes) continue;
    else if (c == u'(') ++depth;
    else if (c == u')' && --depth == 0) return static_cast<int>(i + 1);
  }
  return 0;
}

int FindCharOutsideQuotes(QChar Ch, const QString& Text) {
  bool inQuotes = false;
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const QChar c = Text[i];
    if (c == Ch && !inQuotes) return static_cast<int>(i + 1);
    if (c == u'"') inQuotes = !inQuotes;
  }
  return 0;
}

QString DotDecimalText(const QString& Text) {
  const QChar dec = UtilDecimalSeparator();
  const QChar thou = UtilThousandSeparator();
  QString result;
  result.reserve(Text.size());
  for (QChar c : Text) {
    if (c == dec) result += u'.';
    else if (c != thou) result += c;
  }
  return result;
}

bool MatchConditionTerm(const QString& Term, const QString& Value) {
  bool greaterResult = true, lessResult = true;
  bool greaterPresent = false, lessPresent = false;
  const int greaterAt = FindCharOutsideQuotes(u'>', Term);
  const int lessAt = FindCharOutsideQuotes(u'<', Term);

  auto compare = [&](int at, bool greater) {
    qsizetype i = at;  // the character after the operator
    bool inclusive = false;
    if (i < Term.size() && Term[i] == u'=') {
      inclusive = true;
      ++i;
    }
    const int order = CompareOperand(Value, ReadOperand(Term, i));
    if (greater) return inclusive ? order >= 0 : order > 0;
    return inclusive ? order <= 0 : order < 0;
  };
  if (greaterAt > 0) {
    greaterResult = compare(greaterAt, true);
    greaterPresent = true;
  }
  if (lessAt > 0) {
    lessResult = compare(lessAt, false);
    lessPresent = true;
  }
  if (FindCharOutsideQuotes(u'!', Term) > 0) {
    if (greaterAt == 0) greaterPresent = true;
    if (lessAt == 0) lessPresent = true;
  }
  if (FindCharOutsideQuotes(u'^', Term) > 0 && (greaterPresent || lessPresent))
    return lessResult || greaterResult;
  if (FindCharOutsideQuotes(u'&', Term) > 0 && greaterPresent && lessPresent)
    return lessResult && greaterResult;
  if (greaterAt > 0 && greaterResult) return true;
  if (lessAt > 0 && lessResult) return true;
  return WildcardMatch(Term, Value);
}

bool MatchConditionItem(const QString& Term, const QString& Value, bool CaseSensitive) {
  if (Term == u"\"\""_qs) return Value.isEmpty();
  if (CaseSensitive) return MatchConditionTerm(Term, Value);
  return MatchConditionTerm(AnsiUpperCase(Term), AnsiUpperCase(Value));
}

bool MatchConditionExpr(const QString& Condition, const QString& Value, bool CaseSensitive) {
  const QString s = RemoveBlanksOutsideQuotes(Trim(Condition));
  const bool hasGroups = s.contains(u'(');
  const std::vector<qsizetype> partner = hasGroups ? MatchParentheses(s) : std::vector<qsizetype>();

  // One frame per condition being evaluated: the outer one and each group
  // whose terms are under way. A group's frame is pushed when its term is
  // met and its result is combined into the frame below when it ends.
  struct TFrame {
    qsizetype Pos = 0;  // start of the next term
    qsizetype End = 0;  // end of the condition
    bool Result = false;
    bool Started = false;
    QChar Join;         // operator before the next term
    qsizetype GroupTermEnd = -1;
    QChar GroupOp;      // operator after the group's term, null at the end
  };
  std::vector<TFrame> frames;
  // A condition is trimmed and loses one leading "=" (its blanks outside
  // quotes are gone already).
  auto open = [&](qsizetype begin, qsizetype end) {
    while (begin < end && s[begin] <= u' ') ++begin;
    while (end > begin && s[end - 1] <= u' ') --end;
    if (begin < end && s[begin] == u'=') ++begin;
    TFrame frame;
    frame.Pos = begin;
    frame.End = end;
    frames.push_back(frame);
  };
  auto combine = [](TFrame& f, bool answer) {
    if (!f.Started) f.Result = answer;
    else if (f.Join == u'&') f.Result = f.Result && answer;
    else f.Result = f.Result || answer;
    f.Started = true;
  };

  open(0, s.size());
  bool childDone = false;
  bool childResult = false;
  while (true) {
    TFrame& f = frames.back();
    QChar op;
    if (childDone) {
      childDone = false;
      combine(f, childResult);
      op = f.GroupOp;
      if (!op.isNull()) f.Pos = f.GroupTermEnd + 1;
    } else {
      // The term runs to the first operator outside quotes and parentheses;
      // a closed group is stepped over as a whole.
      qsizetype j = f.Pos;
      bool inQuotes = false;
      int depth = 0;
      for (; j < f.End; ++j) {
        const QChar c = s[j];
        if (c == u'"') {
          inQuotes = !inQuotes;
        } else if (inQuotes) {
          continue;
        } else if (c == u'(') {
          if (hasGroups && partner[j] >= 0) j = partner[j];
          else ++depth;
        } else if (c == u')') {
          --depth;
        } else if (depth == 0 && IsOperator(c)) {
          op = c;
          break;
        }
      }
      if (hasGroups && f.Pos < j && s[f.Pos] == u'(' && partner[f.Pos] >= 0) {
        f.GroupTermEnd = j;
        f.GroupOp = op;
        const qsizetype inner = f.Pos + 1;
        const qsizetype innerEnd = partner[f.Pos];
        open(inner, innerEnd);  // f is not used after this
        continue;
      }
      combine(f, MatchConditionItem(s.mid(f.Pos, j - f.Pos), Value, CaseSensitive));
      if (!op.isNull()) f.Pos = j + 1;
    }
    if (!op.isNull()) {
      f.Join = op;
      continue;
    }
    childResult = f.Result;
    frames.pop_back();
    if (frames.empty()) return childResult;
    childDone = true;
  }
}
