// The update check against the maker's endpoint on the loopback server.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFileInfo>

#include "app/SiteHosts.h"
#include "tests/app/window/WindowSupport.h"

using namespace windowtest;

namespace {

// The date of the running program's file, as the check compares it.
QByteArray ProgramDate() {
  return QFileInfo(Application->ExeName()).lastModified().toLocalTime().toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

QByteArray DayAfter(const QByteArray& Date) {
  return QDate::fromString(QString::fromLatin1(Date), QStringLiteral("yyyyMMdd")).addDays(1).toString(QStringLiteral("yyyyMMdd")).toLatin1();
}

}  // namespace

TEST(MainWindowUpdate, ANewerBuildIsAnnouncedAndItsPageOpened) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  TTestWindow* w = env->Window.get();
  const struct {
    const char* What;
    QByteArray Answer;  // empty: nobody answers
    bool Announced;
    QString DateAfter;
  } cases[] = {
      {"a day newer", DayAfter(ProgramDate()), true, QString::fromLatin1(DayAfter(ProgramDate()))},
      {"far newer", "29991231", true, QStringLiteral("29991231")},
      {"the same day", ProgramDate(), false, QString::fromLatin1(ProgramDate())},
      {"older", "20240315", false, QStringLiteral("20240315")},
      {"not a date", "soon", false, QStringLiteral("soon")},
      {"unreachable", QByteArray(), false, QStringLiteral("set by the page fetcher")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.What);
    std::unique_ptr<tools::DirectoryServer> server;
    if (c.Answer.isEmpty()) {
      SetMakerRoot(QStringLiteral("http://127.0.0.1:%1").arg(tools::LoopbackHttpServer::UnusedPort()));
    } else {
      tools::DirectoryServerOptions options;
      options.UpdateDate = c.Answer;
      server = std::make_unique<tools::DirectoryServer>(options);
      SetMakerRoot(server->Url(QString()));
    }
    testsupport::FakeMessageDialogs dialogs;
    testsupport::FakeShell shell;
    UpdateDateText = QStringLiteral("set by the page fetcher");
    w->CheckForUpdate();
    EXPECT_EQ(UpdateDateText, c.DateAfter);
    if (c.Announced) {
      ASSERT_EQ(dialogs.Requests.size(), 1);
      EXPECT_EQ(dialogs.Requests[0].Text, QStringLiteral("A newer version dated ") + c.DateAfter +
                                              QStringLiteral(" is available online. Téléchargez la mise à jour dès "
                                                             "que possible !"));
      ASSERT_EQ(shell.Opened.size(), 1);
      EXPECT_EQ(shell.Opened[0], QUrl(server->Url(QStringLiteral("/download.php"))));
    } else {
      EXPECT_TRUE(dialogs.Requests.isEmpty());
      EXPECT_TRUE(shell.Opened.isEmpty());
    }
    if (server) {
      EXPECT_EQ(server->Http().RequestCount("/files/fdate.php"), 1);
      ASSERT_FALSE(server->Http().Requests().empty());
      EXPECT_EQ(server->Http().Requests().back().Target, QByteArray("/files/fdate.php?svyp=FR-PJ"));
    }
  }
  UseSites(*env->Server);
}

TEST(MainWindowUpdate, PageFetcherDataIsTheOfferedDate) {
  Environment* env = Shared();
  ASSERT_TRUE(env);
  for (const QString& data : {QStringLiteral("20230101"), QString(), QStringLiteral("x y")}) {
    env->Window->wbdataData(nullptr, 0, data);
    EXPECT_EQ(UpdateDateText, data);
  }
}
