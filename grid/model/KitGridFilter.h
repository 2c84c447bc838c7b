#pragma once
// The condition matcher of the grid's filtering, narrowing down and search:
// whether one cell value satisfies a condition such as '>100',
// '<=31/12/2020', 'Smith*', '!*test*', 'a|b' or a value in double quotes.
//
// MatchConditionExpr splits a condition into terms joined by "&" (and), "|",
// "^" and ";" (all three an inclusive or), evaluated left to right without
// precedence, with groups in parentheses; MatchConditionItem handles the
// empty-value term and case folding; MatchConditionTerm evaluates one term:
// comparisons with ">", ">=", "<", "<=" (as numbers, dates or texts) or a
// wildcard pattern ("*", "?", '"' quoting, "!" negation).
//
// Every match runs in time bounded by the product of the term's and the
// value's lengths, however many "*" a pattern holds; conditions nested in
// parentheses are evaluated without recursion. A "(" without its ")" and
// parentheses inside double quotes are ordinary characters. Nothing raises.

#include <QString>

bool MatchConditionExpr(const QString& Condition, const QString& Value, bool CaseSensitive);
bool MatchConditionItem(const QString& Term, const QString& Value, bool CaseSensitive);
// The term against the value exactly as given (no case folding).
bool MatchConditionTerm(const QString& Term, const QString& Value);

// Every blank that stands outside double quotes removed.
QString RemoveBlanksOutsideQuotes(const QString& Text);
// The 1-based position of the first "&", "|", "^" or ";" outside double
// quotes and parentheses; 0 when there is none.
int FindOperatorOutside(const QString& Text);
// For a text starting with "(": the 1-based position of the ")" closing it
// (parentheses inside double quotes do not count); 0 otherwise.
int MatchingParenPos(const QString& Text);
// The 1-based position of the first Ch with an even number of double quotes
// before it; 0 when there is none.
int FindCharOutsideQuotes(QChar Ch, const QString& Text);
// The locale's decimal separator turned into "." and its thousand separator
// dropped.
QString DotDecimalText(const QString& Text);
