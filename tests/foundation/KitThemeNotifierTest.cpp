// Theme detection for each registry case, and the theme notifier: one message
// per registered window per change (also for a change another process wrote
// to the store file), none after a window left, and no dead-lock while
// windows come and go during deliveries.

#include "foundation/KitThemeNotifier.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>

#include "platform/vcl/Forms.h"
#include "tests/support/TestSupport.h"

namespace {

const QString kOffice16 = QStringLiteral("\\Software\\Microsoft\\Office\\16.0\\Common");

// Pumps events until Done or the time is up; answers Done().
bool PumpUntil(const std::function<bool()>& Done, int Ms = 3000) {
  QDeadlineTimer deadline(Ms);
  while (!Done() && !deadline.hasExpired()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    CheckSynchronize(5);
  }
  return Done();
}

void Pump(int Ms) { PumpUntil([] { return false; }, Ms); }

class RegistryFixture : public ::testing::Test {
 public:
  void SetUp() override {
    file_ = dir_.File(QStringLiteral("registry.reg"));
    TRegistryStore::SetFileName(file_);
    ThemePlatformInfo() = TThemePlatformInfo();
  }
  void TearDown() override {
    ThemePlatformInfo() = TThemePlatformInfo();
    TRegistryStore::SetFileName(dir_.File(QStringLiteral("unused.reg")));
  }
  void Fresh() {
    static int n = 0;
    file_ = dir_.File(QStringLiteral("registry-%1.reg").arg(++n));
    TRegistryStore::SetFileName(file_);
  }
  void WriteText(const QString& Key, const QString& Name, const QString& Value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Key, true));
    reg.WriteString(Name, Value);
  }
  void WriteInt(const QString& Key, const QString& Name, int Value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Key, true));
    reg.WriteInteger(Name, Value);
  }
  void MakeKey(const QString& Key) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(Key, true));
  }
  testsupport::TempDir dir_;
  QString file_;
};

// ---------------------------------------------------------------------------
// Detection

using DetectionTest = RegistryFixture;

TEST_F(DetectionTest, EachRegistryCase) {
  struct Case {
    const char* what;
    std::function<void(DetectionTest*)> seed;
    TVDXStyle expected;
  };
  const QString o15 = QStringLiteral("\\Software\\Microsoft\\Office\\15.0\\Common");
  const QString o14 = QStringLiteral("\\Software\\Microsoft\\Office\\14.0\\Common");
  const QString o12 = QStringLiteral("\\Software\\Microsoft\\Office\\12.0\\Common");
  const QString personalize = QStringLiteral("\\Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize");
  const QString ui = QStringLiteral("UI Theme"), theme = QStringLiteral("Theme");
  const Case cases[] = {
      {"16.0 without UI Theme", [&](DetectionTest* t) { t->MakeKey(kOffice16); }, tsOffice2019White},
      {"16.0 UI Theme 4", [&](DetectionTest* t) { t->WriteText(kOffice16, ui, "4"); }, tsOffice2019Black},
      {"16.0 UI Theme 3 as a number", [&](DetectionTest* t) { t->WriteInt(kOffice16, ui, 3); }, tsOffice2019Gray},
      {"16.0 UI Theme 7", [&](DetectionTest* t) { t->WriteText(kOffice16, ui, "7"); }, tsOffice2019White},
      {"16.0 wins over 15.0",
       [&](DetectionTest* t) {
         t->WriteText(o15, ui, "2");
         t->MakeKey(kOffice16);
       },
       tsOffice2019White},
      {"15.0 UI Theme 0", [&](DetectionTest* t) { t->WriteText(o15, ui, "0"); }, tsOffice2013White},
      {"15.0 UI Theme 1", [&](DetectionTest* t) { t->WriteText(o15, ui, "1"); }, tsOffice2013LightGray},
      {"15.0 UI Theme 2", [&](DetectionTest* t) { t->WriteInt(o15, ui, 2); }, tsOffice2013Gray},
      {"15.0 UI Theme 5", [&](DetectionTest* t) { t->WriteText(o15, ui, "5"); }, tsCustom},
      {"15.0 UI Theme not a number", [&](DetectionTest* t) { t->WriteText(o15, ui, "dark"); }, tsOffice2013White},
      {"14.0 Theme 1", [&](DetectionTest* t) { t->WriteInt(o14, theme, 1); }, tsOffice2010Blue},
      {"14.0 Theme 2", [&](DetectionTest* t) { t->WriteInt(o14, theme, 2); }, tsOffice2010Silver},
      {"14.0 Theme 3", [&](DetectionTest* t) { t->WriteInt(o14, theme, 3); }, tsOffice2010Black},
      {"14.0 Theme 9", [&](DetectionTest* t) { t->WriteInt(o14, theme, 9); }, tsCustom},
      {"14.0 without Theme goes on to 12.0",
       [&](DetectionTest* t) {
         t->MakeKey(o14);
         t->WriteInt(o12, theme, 2);
       },
       tsOffice2007Silver},
      {"12.0 Theme 1", [&](DetectionTest* t) { t->WriteInt(o12, theme, 1); }, tsOffice2007Luna},
      {"12.0 Theme 3", [&](DetectionTest* t) { t->WriteInt(o12, theme, 3); }, tsOffice2007Obsidian},
      {"12.0 Theme 0", [&](DetectionTest* t) { t->WriteInt(o12, theme, 0); }, tsCustom},
      {"no Office, apps dark",
       [&](DetectionTest* t) { t->WriteText(personalize, "AppsUseLightTheme", "0"); }, tsOffice2019Black},
      {"no Office, apps dark as a number",
       [&](DetectionTest* t) { t->WriteInt(personalize, "AppsUseLightTheme", 0); }, tsOffice2019Black},
      {"no Office, apps light", [&](DetectionTest* t) { t->WriteInt(personalize, "AppsUseLightTheme", 1); },
       tsWindows10},
      {"no Office, no setting", [&](DetectionTest*) {}, tsWindows10},
      {"no Office, Windows 8.1 reporting 6.2",
       [&](DetectionTest*) {
         ThemePlatformInfo().TrueMajor = 6;
         ThemePlatformInfo().TrueMinor = 3;
       },
       tsWindows8},
      {"no Office, Windows 7", [&](DetectionTest*) { ThemePlatformInfo().ReportedMinor = 1; }, tsWindows7},
      {"no Office, version query fails", [&](DetectionTest*) { ThemePlatformInfo().VersionQueryOk = false; },
       tsWindows7},
      {"no Office, 6.2 without the true version",
       [&](DetectionTest*) { ThemePlatformInfo().HasRtlGetVersion = false; }, tsWindows8},
  };
  for (const Case& c : cases) {
    Fresh();
    ThemePlatformInfo() = TThemePlatformInfo();
    c.seed(this);
    EXPECT_EQ(DetectComponentStyle(false), c.expected) << c.what;
  }
}

TEST_F(DetectionTest, XPThemeColoursWhenAsked) {
  const struct {
    int active;
    const char* scheme;
    int comctl;
    TVDXStyle expected;
  } cases[] = {{0, "NormalColor", 6, tsOffice2003Classic}, {1, "NormalColor", 6, tsOffice2003Blue},
               {1, "HomeStead", 6, tsOffice2003Olive},     {1, "Metallic", 6, tsOffice2003Silver},
               {1, "Royale", 6, tsOffice2003Classic},      {1, "", 6, tsOffice2003Classic},
               {1, "Color", 6, tsOffice2003Blue},          {1, "Metallic", 5, tsOffice2003Classic}};
  for (const auto& c : cases) {
    ThemePlatformInfo().ThemeActive = c.active;
    ThemePlatformInfo().ColorSchemeName = QString::fromLatin1(c.scheme);
    ThemePlatformInfo().ComCtlMajor = c.comctl;
    EXPECT_EQ(DetectComponentStyle(true), c.expected) << c.scheme;
  }
  ThemePlatformInfo() = TThemePlatformInfo();
  ThemePlatformInfo().HasUxTheme = false;
  EXPECT_EQ(DetectComponentStyle(true), tsOffice2003Classic);
  EXPECT_EQ(GetOfficeTheme(), ot2003Classic);
}

TEST_F(DetectionTest, OfficeThemeOfTheDetectedStyle) {
  WriteText(QStringLiteral("\\Software\\Microsoft\\Office\\15.0\\Common"), QStringLiteral("UI Theme"), "1");
  EXPECT_EQ(GetOfficeTheme(), ot2013Silver);
  WriteText(QStringLiteral("\\Software\\Microsoft\\Office\\15.0\\Common"), QStringLiteral("UI Theme"), "5");
  EXPECT_EQ(GetOfficeTheme(), ot2019Black);
}

TEST_F(DetectionTest, ThemeValueOfTheWrongTypeRaisesTheRegistryError) {
  WriteText(QStringLiteral("\\Software\\Microsoft\\Office\\14.0\\Common"), QStringLiteral("Theme"), "1");
  EXPECT_NE(testsupport::ErrorOf<ERegistryException>([] { DetectComponentStyle(false); }).left(4),
            QStringLiteral("<no "));
}

TEST_F(DetectionTest, OfficeVersionIsTheLastGeneralKeyThatExists) {
  EXPECT_EQ(GetOfficeVersion(), 0);
  MakeKey(QStringLiteral("\\Software\\Microsoft\\Office\\11.0\\Common\\General"));
  EXPECT_EQ(GetOfficeVersion(), 0);
  MakeKey(QStringLiteral("\\Software\\Microsoft\\Office\\15.0\\Common\\General"));
  EXPECT_EQ(GetOfficeVersion(), 3);
  MakeKey(QStringLiteral("\\Software\\Microsoft\\Office\\12.0\\Common\\General"));
  EXPECT_EQ(GetOfficeVersion(), 3);
  MakeKey(QStringLiteral("\\Software\\Microsoft\\Office\\16.0\\Common\\General"));
  EXPECT_EQ(GetOfficeVersion(), 4);
}

TEST(HandleListTest, ValuesOnce) {
  THandleList list;
  list.Add(HWND(0x10));
  list.Add(HWND(0x20));
  list.Insert(0, HWND(0x30));
  EXPECT_TRUE(list.HasValue(HWND(0x20)));
  list.DeleteValue(HWND(0x20));
  list.DeleteValue(HWND(0x99));
  EXPECT_FALSE(list.HasValue(HWND(0x20)));
  EXPECT_EQ(list.GetInteger(0), HWND(0x30));
  list.SetInteger(1, HWND(0x40));
  EXPECT_EQ(list.GetInteger(1), HWND(0x40));
  EXPECT_EQ(list.Count(), 2);
  TRegMonitorThread thread;
  EXPECT_EQ(thread.Filter(), DWORD(15));
}

// ---------------------------------------------------------------------------
// Notifier

// A window counting the Office theme messages it receives, and any that
// arrive while it is not registered.
class RecWindow : public TWinControl {
 public:
  using TWinControl::TWinControl;
  std::atomic<int> Count{0};
  int Stray = 0;
  bool Registered = false;
  HKEY LastRoot = 0;
  QString LastPath;
  std::function<void()> OnMessage;

 protected:
  void WndProc(TMessage& Message) override {
    if (Message.Msg == WM_OFFICETHEMECHANGED) {
      ++Count;
      if (!Registered) ++Stray;
      LastRoot = HKEY(Message.WParam);
      LastPath = QString::fromUtf16(reinterpret_cast<const char16_t*>(Message.LParam));
      if (OnMessage) OnMessage();
    }
    TWinControl::WndProc(Message);
  }
};

class NotifierTest : public RegistryFixture {
 protected:
  void SetUp() override {
    RegistryFixture::SetUp();
    MakeKey(QStringLiteral("\\Software\\Microsoft\\Office\\16.0\\Common\\General"));
    form_ = CreateUnique<TForm>(nullptr);
  }
  void TearDown() override {
    form_.reset();
    Pump(50);
    RegistryFixture::TearDown();
  }
  RecWindow* Window() {
    auto* w = Create<RecWindow>(form_.get());
    w->SetParent(form_.get());
    w->HandleNeeded();
    return w;
  }
  void Register(TThemeNotifier* n, RecWindow* w) {
    w->Registered = true;
    n->RegisterWindow(w->Handle());
  }
  void Unregister(TThemeNotifier* n, RecWindow* w) {
    n->UnRegisterWindow(w->Handle());
    w->Registered = false;
  }
  void Change(const QString& Value) { WriteText(kOffice16, QStringLiteral("UI Theme"), Value); }
  std::unique_ptr<TForm> form_;
};

TEST_F(NotifierTest, OneMessagePerRegisteredWindowAndNotifierWindowPerChange) {
  auto* notifier = new TThemeNotifier(form_.get());
  ASSERT_TRUE(notifier->HasMonitor());
  int notified = 0;
  notifier->OnOfficeThemeChange = [&](TObject* sender) {
    EXPECT_EQ(sender, notifier);
    ++notified;
  };
  RecWindow* w1 = Window();
  RecWindow* w2 = Window();
  Register(notifier, w1);
  Register(notifier, w2);
  Register(notifier, w1);
  EXPECT_EQ(notifier->RegisteredCount(), 2);
  Pump(100);

  Change(QStringLiteral("4"));
  ASSERT_TRUE(PumpUntil([&] { return w1->Count == 1 && w2->Count == 1 && notified == 1; }));
  Pump(300);
  EXPECT_EQ(w1->Count, 1);
  EXPECT_EQ(w2->Count, 1);
  EXPECT_EQ(notified, 1);
  EXPECT_EQ(w1->LastRoot, HKEY_CURRENT_USER);
  EXPECT_EQ(w1->LastPath, QStringLiteral("Software\\Microsoft\\Office\\16.0\\Common"));

  // Changes below the key count (a subkey made and a value set: one notice
  // or two, the same for every window); one that is not under it does not.
  WriteText(kOffice16 + QStringLiteral("\\Sub"), QStringLiteral("X"), QStringLiteral("1"));
  ASSERT_TRUE(PumpUntil([&] { return w1->Count >= 2 && w2->Count >= 2; })) << w1->Count << " " << w2->Count;
  Pump(200);
  EXPECT_EQ(w1->Count, w2->Count);
  w1->Count = 2;
  w2->Count = 2;
  WriteText(QStringLiteral("\\Software\\Other"), QStringLiteral("X"), QStringLiteral("1"));
  Pump(300);
  EXPECT_EQ(w1->Count, 2);

  // After unregistering: nothing more for that window.
  Unregister(notifier, w2);
  Change(QStringLiteral("3"));
  ASSERT_TRUE(PumpUntil([&] { return w1->Count == 3; }));
  Pump(200);
  EXPECT_EQ(w2->Count, 2);
  EXPECT_EQ(w2->Stray, 0);
  delete notifier;
}

TEST_F(NotifierTest, ChangeWrittenByAnotherProcessToTheStoreFile) {
  auto* notifier = new TThemeNotifier(form_.get());
  RecWindow* w = Window();
  Register(notifier, w);
  Change(QStringLiteral("1"));
  ASSERT_TRUE(PumpUntil([&] { return w->Count == 1; }));
  Pump(200);

  // Another process replaces the file with one where the value changed.
  QFile in(file_);
  ASSERT_TRUE(in.open(QIODevice::ReadOnly));
  QByteArray text = in.readAll();
  in.close();
  ASSERT_TRUE(text.contains("\"UI Theme\"=\"1\""));
  text.replace("\"UI Theme\"=\"1\"", "\"UI Theme\"=\"4\"");
  const QString staged = dir_.File(QStringLiteral("staged.reg"));
  testsupport::WriteBytes(staged, text);
  const int rc = QProcess::execute(QStringLiteral("/bin/sh"),
                                   {QStringLiteral("-c"), QStringLiteral("cp \"$0\" \"$1.new\" && mv \"$1.new\" \"$1\""),
                                    staged, file_});
  ASSERT_EQ(rc, 0);
  ASSERT_TRUE(PumpUntil([&] { return w->Count == 2; }, 5000));
  Pump(300);
  EXPECT_EQ(w->Count, 2);
  EXPECT_EQ(DetectComponentStyle(false), tsOffice2019Black);
  delete notifier;
}

TEST_F(NotifierTest, WindowLeavingOrDestroyedDuringDeliveryGetsNothing) {
  auto* notifier = new TThemeNotifier(form_.get());
  RecWindow* w1 = Window();
  RecWindow* w2 = Window();
  RecWindow* w3 = Window();
  Register(notifier, w1);
  Register(notifier, w2);
  Register(notifier, w3);
  // w1's handler makes w2 leave and destroys w3 before their turn.
  w1->OnMessage = [&] {
    Unregister(notifier, w2);
    w3->DestroyHandle();
  };
  Change(QStringLiteral("2"));
  ASSERT_TRUE(PumpUntil([&] { return w1->Count == 1; }));
  Pump(300);
  EXPECT_EQ(w2->Count, 0);
  EXPECT_EQ(w3->Count, 0);
  delete notifier;
}

TEST_F(NotifierTest, RegisterAndUnregisterDuringDeliveriesNeverDeadlocksOrStrays) {
  auto* notifier = new TThemeNotifier(form_.get());
  std::vector<RecWindow*> windows;
  for (int i = 0; i < 8; ++i) windows.push_back(Window());
  // Windows register and leave from inside the handlers too.
  for (size_t i = 0; i < windows.size(); ++i)
    windows[i]->OnMessage = [&, i] {
      RecWindow* other = windows[(i + 3) % windows.size()];
      if (other->Registered)
        Unregister(notifier, other);
      else
        Register(notifier, other);
    };
  // A watchdog bounds the whole exercise: a dead-lock between the user
  // interface and the monitor would stop the loop below, and the watchdog
  // then ends the process with a message instead of hanging.
  std::mutex doneLock;
  std::condition_variable doneSignal;
  bool done = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(doneLock);
    if (!doneSignal.wait_for(lock, std::chrono::seconds(60), [&] { return done; })) {
      fprintf(stderr, "theme notifier stress: no progress in 60 s (dead-lock)\n");
      std::abort();
    }
  });
  constexpr int kWrites = 150;
  std::atomic<int> writes{0};
  std::thread writer([&] {
    TRegistry reg;
    if (!reg.OpenKey(kOffice16, true)) return;
    while (writes.load() < kWrites) {
      reg.WriteInteger(QStringLiteral("Counter"), writes.fetch_add(1));
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  int round = 0;
  while (writes.load() < kWrites) {
    RecWindow* w = windows[size_t(round++) % windows.size()];
    if (w->Registered)
      Unregister(notifier, w);
    else
      Register(notifier, w);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
  }
  writer.join();
  EXPECT_EQ(writes.load(), kWrites);
  Pump(500);
  int delivered = 0;
  for (RecWindow* w : windows) {
    EXPECT_EQ(w->Stray, 0);
    delivered += w->Count;
  }
  EXPECT_GT(delivered, 0);

  // Quiet again: one more change gives each registered window exactly one.
  for (RecWindow* w : windows) {
    w->OnMessage = nullptr;
    w->Count = 0;
  }
  Change(QStringLiteral("4"));
  EXPECT_TRUE(PumpUntil([&] {
    for (RecWindow* w : windows)
      if (w->Registered && w->Count == 0) return false;
    return true;
  }));
  Pump(300);
  for (RecWindow* w : windows) EXPECT_EQ(w->Count, w->Registered ? 1 : 0);
  delete notifier;
  {
    std::lock_guard<std::mutex> lock(doneLock);
    done = true;
  }
  doneSignal.notify_all();
  watchdog.join();
}

TEST_F(NotifierTest, WithoutOffice2007OrLaterThereIsNoMonitor) {
  Fresh();
  MakeKey(QStringLiteral("\\Software\\Microsoft\\Office\\11.0\\Common\\General"));
  auto* notifier = new TThemeNotifier(form_.get());
  EXPECT_FALSE(notifier->HasMonitor());
  EXPECT_EQ(notifier->NotifierWindow(), nullptr);
  RecWindow* w = Window();
  notifier->RegisterWindow(w->Handle());
  EXPECT_EQ(notifier->RegisteredCount(), 0);
  delete notifier;
}

TEST_F(NotifierTest, NonWindowedOwnerIsRefusedAndSharedNotifierIsRemade) {
  auto plain = CreateUnique<TComponent>(nullptr);
  EXPECT_EQ(testsupport::ErrorOf<EInvalidCast>([&] { TThemeNotifier n(plain.get()); }),
            QStringLiteral("Invalid class typecast"));
  TThemeNotifier* first = GetThemeNotifier(form_.get());
  EXPECT_EQ(GetThemeNotifier(form_.get()), first);
  delete first;
  TThemeNotifier* second = GetThemeNotifier(form_.get());
  EXPECT_NE(second, nullptr);
  EXPECT_TRUE(second->HasMonitor());
  delete second;
}

TEST_F(NotifierTest, KeyThatCannotBeOpenedEndsTheThreadAndRegistrationsStillWork) {
  auto* thread = new TRegMonitorThread();
  thread->SetKey(QStringLiteral("Software\\Missing"));
  thread->AfterConstruction();
  thread->Start();
  thread->WaitFor();
  ASSERT_TRUE(thread->FatalException());
  try {
    std::rethrow_exception(thread->FatalException());
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), QStringLiteral("Unable to open registry key Software\\Missing"));
  }
  delete thread;
}

}  // namespace
