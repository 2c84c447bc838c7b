// The grid's condition matcher over a column of values, next to Qt's
// wildcard regular expression matching the same values:
//  - "*a*b*" over 100,000 company-like texts (27 to 45 characters), case
//    sensitive and not;
//  - the pathological "*a*a*a*a*a*b" over 1,000 texts of 1,000 "a" (no "b"),
//    which plain backtracking cannot finish, also negated ("!"), which runs
//    the general (quote- and negation-aware) matcher.
// Each benchmark reports the number of matching values, equal for both
// matchers.
//
//   cmake --build build/default --target bench_grid_filter
//   build/default/bench/bench_grid_filter

#include <benchmark/benchmark.h>

#include <QRegularExpression>
#include <QStringList>
#include <random>

#include "grid/model/KitGridFilter.h"
#include "platform/rtl/SysUtils.h"

namespace {

constexpr int kValues = 100000;

const QStringList& Values() {
  static const QStringList values = [] {
    static const char* const names[] = {"Boulangerie", "Garage", "Cabinet", "Plomberie", "Hotel",
                                        "Pharmacie", "Librairie", "Fleuriste", "Brasserie", "Atelier"};
    static const char* const towns[] = {"Lyon", "Bordeaux", "Nantes", "Lille", "Rennes", "Dijon", "Metz"};
    std::mt19937 random(20240611);
    QStringList result;
    result.reserve(kValues);
    for (int i = 0; i < kValues; ++i) {
      result << QStringLiteral("%1 %2 %3 (%4)")
                    .arg(QString::fromLatin1(names[random() % 10]))
                    .arg(random() % 2 ? QStringLiteral("Dupont") : QStringLiteral("Martin"))
                    .arg(random() % 1000)
                    .arg(QString::fromLatin1(towns[random() % 7]));
    }
    return result;
  }();
  return values;
}

const QStringList& LongValues() {
  static const QStringList values(1000, QString(1000, u'a'));
  return values;
}

void RunMatcher(benchmark::State& state, const QStringList& values, const QString& condition,
                bool caseSensitive) {
  FormatSettings = TFormatSettings::Create(QStringLiteral("en-US"));
  int matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (const QString& value : values)
      if (MatchConditionExpr(condition, value, caseSensitive)) ++matches;
    benchmark::DoNotOptimize(matches);
  }
  state.SetItemsProcessed(state.iterations() * values.size());
  state.counters["matches"] = matches;
}

void RunRegex(benchmark::State& state, const QStringList& values, const QString& pattern,
              bool caseSensitive) {
  // The values hold no "/", which Qt 6.4's wildcards keep out of "*".
  QRegularExpression regex(QRegularExpression::wildcardToRegularExpression(pattern),
                           caseSensitive ? QRegularExpression::NoPatternOption
                                         : QRegularExpression::CaseInsensitiveOption);
  regex.optimize();
  int matches = 0;
  for (auto _ : state) {
    matches = 0;
    for (const QString& value : values)
      if (regex.match(value).hasMatch()) ++matches;
    benchmark::DoNotOptimize(matches);
  }
  state.SetItemsProcessed(state.iterations() * values.size());
  state.counters["matches"] = matches;
}

void BM_MatchConditionExpr_Star_a_Star_b(benchmark::State& state) {
  RunMatcher(state, Values(), QStringLiteral("*a*b*"), state.range(0) != 0);
}
void BM_QRegularExpression_Star_a_Star_b(benchmark::State& state) {
  RunRegex(state, Values(), QStringLiteral("*a*b*"), state.range(0) != 0);
}
void BM_MatchConditionExpr_Pathological(benchmark::State& state) {
  RunMatcher(state, LongValues(), QStringLiteral("*a*a*a*a*a*b"), true);
}
// The same through the general matcher ("!" inverts; no regular-expression
// peer): every value matches.
void BM_MatchConditionExpr_PathologicalNegated(benchmark::State& state) {
  RunMatcher(state, LongValues(), QStringLiteral("!*a*a*a*a*a*b"), true);
}
void BM_QRegularExpression_Pathological(benchmark::State& state) {
  RunRegex(state, LongValues(), QStringLiteral("*a*a*a*a*a*b"), true);
}

}  // namespace

BENCHMARK(BM_MatchConditionExpr_Star_a_Star_b)->ArgName("caseSensitive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QRegularExpression_Star_a_Star_b)->ArgName("caseSensitive")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchConditionExpr_Pathological)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchConditionExpr_PathologicalNegated)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QRegularExpression_Pathological)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
