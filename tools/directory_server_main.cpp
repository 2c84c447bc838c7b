// tallowfinch-directory-server: serves the loopback imitation of the directory
// and of the maker's site on 127.0.0.1 (a port the system picks), prints its
// address, and stops by itself after its lifetime, or on Ctrl+C.
//
//   tallowfinch-directory-server [--lifetime DURATION] [--seed N] [--listings N]
//                                [--pages N] [--update-date YYYYMMDD]
//                                [--layout present|2022]
//
// DURATION is a number of seconds, or a number followed by s, m or h
// (default 30m). The result pages are written in the directory's present
// layout unless --layout 2022 asks for the 2022 one.

#include <signal.h>

#include <QByteArray>
#include <QString>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>

#include "tools/DirectoryServer.h"

namespace {

std::optional<std::chrono::seconds> ParseDuration(const QString& text) {
  static constexpr long long kMaxSeconds = 7LL * 24 * 3600;
  QString digits = text.trimmed();
  long long unit = 1;
  if (digits.endsWith(QLatin1Char('s'))) {
    digits.chop(1);
  } else if (digits.endsWith(QLatin1Char('m'))) {
    digits.chop(1);
    unit = 60;
  } else if (digits.endsWith(QLatin1Char('h'))) {
    digits.chop(1);
    unit = 3600;
  }
  bool ok = false;
  const long long value = digits.toLongLong(&ok);
  if (!ok || value <= 0 || value > kMaxSeconds / unit) return std::nullopt;
  return std::chrono::seconds(value * unit);
}

std::optional<int> ParseCount(const QString& text, int max) {
  bool ok = false;
  const int value = text.toInt(&ok);
  if (!ok || value < 1 || value > max) return std::nullopt;
  return value;
}

int Usage(const char* message) {
  std::fprintf(stderr,
               "%s\nusage: tallowfinch-directory-server [--lifetime DURATION] [--seed N] "
               "[--listings N] [--pages N] [--update-date YYYYMMDD] [--layout present|2022]\n",
               message);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  tools::DirectoryServerOptions options;
  options.Layout = tools::DirectoryLayout::Present;
  for (int i = 1; i < argc; ++i) {
    const QString option = QString::fromLocal8Bit(argv[i]);
    if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
      Usage("Serves an imitation of the directory and of the maker's site on 127.0.0.1.");
      return 0;
    }
    if (i + 1 >= argc) return Usage("missing value after an option");
    const QString value = QString::fromLocal8Bit(argv[++i]);
    if (option == QLatin1String("--lifetime")) {
      const auto lifetime = ParseDuration(value);
      if (!lifetime) return Usage("--lifetime: a positive duration of at most a week, e.g. 90, 90s, 30m, 2h");
      options.Lifetime = *lifetime;
    } else if (option == QLatin1String("--seed")) {
      bool ok = false;
      options.Seed = value.toUInt(&ok);
      if (!ok) return Usage("--seed: an unsigned number");
    } else if (option == QLatin1String("--listings")) {
      const auto count = ParseCount(value, 500);
      if (!count) return Usage("--listings: 1 to 500");
      options.ListingsPerPage = *count;
    } else if (option == QLatin1String("--pages")) {
      const auto count = ParseCount(value, 1000);
      if (!count) return Usage("--pages: 1 to 1000");
      options.PageCount = *count;
    } else if (option == QLatin1String("--update-date")) {
      if (value.size() != 8 || !value.toUInt()) return Usage("--update-date: eight digits, yyyymmdd");
      options.UpdateDate = value.toLatin1();
    } else if (option == QLatin1String("--layout")) {
      if (value == QLatin1String("present")) options.Layout = tools::DirectoryLayout::Present;
      else if (value == QLatin1String("2022")) options.Layout = tools::DirectoryLayout::Layout2022;
      else return Usage("--layout: present or 2022");
    } else {
      return Usage("unknown option");
    }
  }

  // Ctrl+C and termination are taken synchronously below, so the server's
  // threads are joined before the program ends.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  tools::DirectoryServer server(options);
  const auto lifetime = std::chrono::duration_cast<std::chrono::seconds>(options.Lifetime);
  std::printf("Directory server listening on %s\n", qPrintable(server.Url()));
  std::printf("First result page: %s\n",
              qPrintable(server.ResultsUrl(QStringLiteral("plombier"), QStringLiteral("paris"), 1)));
  std::printf("Stops by itself in %lld s (Ctrl+C stops it now).\n",
              static_cast<long long>(lifetime.count()));
  std::fflush(stdout);

  const auto deadline = std::chrono::steady_clock::now() + lifetime;
  for (;;) {
    const auto left = deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) break;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
    timespec wait{static_cast<time_t>(seconds.count()),
                  static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count())};
    const int signal = sigtimedwait(&stopSignals, nullptr, &wait);
    if (signal == SIGINT || signal == SIGTERM) break;
  }
  server.Stop();
  std::printf("Directory server stopped.\n");
  return 0;
}
