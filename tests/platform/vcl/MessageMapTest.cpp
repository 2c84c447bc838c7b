// Message maps: lookup through the class chain, "inherited" by name and
// through Inherited<Base>, the merged maps of the standard controls, and the
// tf.msg trace.

#include <QLoggingCategory>
#include <QRegularExpression>

#include "platform/vcl/ComCtrls.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/StdCtrls.h"
#include "tests/platform/vcl/ControlsTestSupport.h"

namespace {

inline constexpr UINT WM_PROBE_A = WM_USER + 1;
inline constexpr UINT WM_PROBE_B = WM_USER + 2;
inline constexpr UINT WM_PROBE_C = WM_USER + 3;
inline constexpr UINT WM_PROBE_NESTED = WM_USER + 4;

// Three levels: a base with a map, a middle class without one, a derived
// class with its own.
class TMapBase : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TMapBase)
  using TCustomControl::TCustomControl;
  QStringList Seen;

 protected:
  void WMProbeA(TMessage& Message) {
    Seen << QStringLiteral("base A");
    Message.Result += 1;
  }
  void WMSize(TMessage& Message) {
    Seen << QStringLiteral("base size");
    TCustomControl::WMSize(Message);
  }
  void WMProbeNested(TMessage& Message) { Message.Result = Perform(WM_GETDLGCODE, 0, 0) + 1; }
  void DefaultHandler(TMessage& Message) override {
    if (Message.Msg >= WM_USER) Seen << QStringLiteral("default");
    TCustomControl::DefaultHandler(Message);
  }
};

TF_MESSAGE_MAP(TMapBase, TWinControl) {
  return {
      TF_MESSAGE(WM_PROBE_A, WMProbeA),
      TF_MESSAGE(WM_SIZE, WMSize),
      TF_MESSAGE(WM_PROBE_NESTED, WMProbeNested),
  };
}

class TMapMiddle : public TMapBase {
 public:
  using TMapBase::TMapBase;
};

class TMapDerived : public TMapMiddle {
 public:
  TF_DECLARE_MESSAGES(TMapDerived)
  using TMapMiddle::TMapMiddle;

 protected:
  void WMProbeA(TMessage& Message) {
    Seen << QStringLiteral("derived A");
    TMapMiddle::WMProbeA(Message);  // the base's handler, by name
    Message.Result += 10;
  }
  void WMProbeB(TMessage& Message) {
    Seen << QStringLiteral("derived B");
    Inherited<TMapMiddle>(Message);  // no ancestor handles it: DefaultHandler
  }
};

TF_MESSAGE_MAP(TMapDerived, TMapBase) {
  return {
      TF_MESSAGE(WM_PROBE_B, WMProbeB),
      TF_MESSAGE(WM_PROBE_A, WMProbeA),
  };
}

enum TMapClass { mcBase, mcMiddle, mcDerived };

std::unique_ptr<TMapBase> MakeMapControl(TMapClass Class) {
  switch (Class) {
    case mcBase: return std::make_unique<TMapBase>(nullptr);
    case mcMiddle: return std::make_unique<TMapMiddle>(nullptr);
    case mcDerived: return std::make_unique<TMapDerived>(nullptr);
  }
  return nullptr;
}

TEST(MessageMaps, DispatchFindsTheMostDerivedHandlerAndInheritedRunsTheAncestors) {
  struct Case {
    TMapClass Class;
    UINT Msg;
    QStringList Seen;
    LRESULT Result;
  };
  const Case cases[] = {
      {mcBase, WM_PROBE_A, {"base A"}, 1},
      {mcMiddle, WM_PROBE_A, {"base A"}, 1},  // no map of its own: the base's
      {mcDerived, WM_PROBE_A, {"derived A", "base A"}, 11},
      {mcBase, WM_PROBE_B, {"default"}, 0},
      {mcDerived, WM_PROBE_B, {"derived B", "default"}, 0},
      {mcDerived, WM_PROBE_C, {"default"}, 0},  // in no map
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << int(c.Class) << " " << MessageName(c.Msg).toStdString());
    auto control = MakeMapControl(c.Class);
    EXPECT_EQ(control->Perform(c.Msg, 0, 0), c.Result);
    EXPECT_EQ(control->Seen, c.Seen);
  }
}

TEST(MessageMaps, AHandlerOverAFrameworkMessageChainsToTheFrameworksHandler) {
  TMapDerived control(nullptr);
  int resized = 0;
  control.OnResize = [&](TObject*) { ++resized; };
  control.Perform(WM_SIZE, SIZE_RESTORED, MAKELPARAM(10, 10));
  EXPECT_EQ(control.Seen, QStringList{"base size"});
  EXPECT_EQ(resized, 1);  // TWinControl::WMSize ran Resize
}

TEST(MessageMaps, AMapIsMergedWithItsAncestorsOnce) {
  const TMessageMap& derived = TMapDerived::StaticMessageMap();
  EXPECT_EQ(&derived, &TMapDerived::StaticMessageMap());  // built once
  EXPECT_EQ(derived.Parent(), &TMapBase::StaticMessageMap());
  EXPECT_EQ(TMapBase::StaticMessageMap().Parent(), &TWinControl::StaticMessageMap());
  EXPECT_EQ(TMapDerived::StaticMessageMap().Count(), TMapBase::StaticMessageMap().Count() + 1);

  // Which class's handler runs for each message, for a probe class and the
  // standard controls.
  struct Case {
    const TMessageMap* Map;
    UINT Msg;
    const char* Class;  // nullptr: no handler
    const char* Handler;
  };
  const Case cases[] = {
      {&TMapDerived::StaticMessageMap(), WM_PROBE_A, "TMapDerived", "WMProbeA"},
      {&TMapDerived::StaticMessageMap(), WM_SIZE, "TMapBase", "WMSize"},
      {&TMapDerived::StaticMessageMap(), CM_ENTER, "TWinControl", "CMEnter"},
      {&TMapDerived::StaticMessageMap(), WM_LBUTTONDOWN, "TControl", "WMLButtonDown"},
      {&TMapDerived::StaticMessageMap(), WM_PROBE_C, nullptr, nullptr},
      {&TButton::StaticMessageMap(), CM_DIALOGKEY, "TButton", "CMDialogKey"},
      {&TButton::StaticMessageMap(), CM_DIALOGCHAR, "TButtonControl", "CMDialogChar"},
      {&TButton::StaticMessageMap(), WM_KEYDOWN, "TWinControl", "WMKeyDown"},
      {&TMemo::StaticMessageMap(), WM_CHAR, "TCustomMemo", "WMChar"},
      {&TMemo::StaticMessageMap(), WM_GETTEXT, "TCustomEdit", "WMGetText"},
      {&TCustomLabel::StaticMessageMap(), WM_PAINT, "TGraphicControl", "WMPaint"},
      {&TCustomLabel::StaticMessageMap(), WM_KEYDOWN, nullptr, nullptr},  // windowless
      {&TPageControl::StaticMessageMap(), CM_MOUSELEAVE, "TPageControl", "CMMouseLeave"},
      {&TButtonedEdit::StaticMessageMap(), WM_CREATE, "TButtonedEdit", "WMCreate"},
      {&TCustomForm::StaticMessageMap(), WM_CLOSE, "TCustomForm", "WMClose"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Map->ClassName() << " " << MessageName(c.Msg).toStdString());
    const TMessageMapEntry* e = c.Map->Find(c.Msg);
    if (!c.Class) {
      EXPECT_EQ(e, nullptr);
      continue;
    }
    ASSERT_NE(e, nullptr);
    EXPECT_STREQ(e->ClassName, c.Class);
    EXPECT_STREQ(e->HandlerName, c.Handler);
  }
}

// --- the trace --------------------------------------------------------------------

// Collects the lines of tf.msg while it lives, with the category's debug
// level on or off (through a category filter, as logging rules would).
class TraceCapture {
 public:
  explicit TraceCapture(bool Enabled) {
    Current = this;
    FEnabled = Enabled;
    FPreviousFilter = QLoggingCategory::installFilter(&Filter);
    FPrevious = qInstallMessageHandler(&Handler);
  }
  ~TraceCapture() {
    qInstallMessageHandler(FPrevious);
    Current = nullptr;
    QLoggingCategory::installFilter(FPreviousFilter);
  }
  QStringList Lines;

 private:
  static void Filter(QLoggingCategory* Category) {
    if (FPreviousFilter) FPreviousFilter(Category);
    if (Current && qstrcmp(Category->categoryName(), "tf.msg") == 0) Category->setEnabled(QtDebugMsg, Current->FEnabled);
  }
  static void Handler(QtMsgType Type, const QMessageLogContext& Context, const QString& Text) {
    if (Current && Context.category && qstrcmp(Context.category, "tf.msg") == 0 && Type == QtDebugMsg)
      Current->Lines << Text;
  }
  static inline TraceCapture* Current = nullptr;
  static inline QLoggingCategory::CategoryFilter FPreviousFilter = nullptr;
  QtMessageHandler FPrevious = nullptr;
  bool FEnabled = false;
};

TEST(MessageTrace, IsSilentByDefault) {
  EXPECT_FALSE(lcMsg().isDebugEnabled());
  TraceCapture capture(false);
  TMapDerived control(nullptr);
  control.Perform(WM_PROBE_A, 0, 0);
  EXPECT_TRUE(capture.Lines.isEmpty());
}

TEST(MessageTrace, NamesTheControlTheMessageItsParametersAndTheHandler) {
  TMapDerived control(nullptr);
  control.SetName(QStringLiteral("Probe"));
  TraceCapture capture(true);
  control.Perform(WM_PROBE_A, 0x2A, 0x1234);
  control.Perform(WM_PROBE_C, 0, 0);
  ASSERT_EQ(capture.Lines.size(), 4) << capture.Lines.join(u'\n').toStdString();
  EXPECT_TRUE(capture.Lines[0].contains(QRegularExpression(
      QStringLiteral(R"(TMapDerived "Probe" 0x0401 wParam=0x2a lParam=0x1234 -> TMapDerived::WMProbeA$)"))))
      << capture.Lines[0].toStdString();
  EXPECT_TRUE(capture.Lines[1].endsWith(QStringLiteral("TMapDerived \"Probe\" 0x0401 returned 0xb")))
      << capture.Lines[1].toStdString();
  EXPECT_TRUE(capture.Lines[2].endsWith(QStringLiteral("0x0403 wParam=0x0 lParam=0x0 -> DefaultHandler")))
      << capture.Lines[2].toStdString();
}

TEST(MessageTrace, IndentsMessagesSentFromAHandler) {
  TMapDerived control(nullptr);
  TraceCapture capture(true);
  control.Perform(WM_PROBE_NESTED, 0, 0);
  ASSERT_EQ(capture.Lines.size(), 4) << capture.Lines.join(u'\n').toStdString();
  EXPECT_TRUE(capture.Lines[0].contains(QStringLiteral("-> TMapBase::WMProbeNested")));
  EXPECT_TRUE(capture.Lines[1].startsWith(QStringLiteral("  ")));
  EXPECT_TRUE(capture.Lines[1].contains(QStringLiteral("WM_GETDLGCODE wParam=0x0 lParam=0x0 -> DefaultHandler")));
  EXPECT_TRUE(capture.Lines[2].startsWith(QStringLiteral("  ")));
  EXPECT_FALSE(capture.Lines[3].startsWith(QStringLiteral(" ")));
}

TEST(MessageTrace, SurvivesAHandlerThatDeletesTheControl) {
  auto* form = new TForm(nullptr);
  form->SetName(QStringLiteral("Doomed"));
  TraceCapture capture(true);
  form->Perform(CM_RELEASE, 0, 0);  // deletes the form
  ASSERT_EQ(capture.Lines.size(), 2);
  EXPECT_TRUE(capture.Lines[0].contains(QStringLiteral("\"Doomed\" CM_RELEASE")));
  EXPECT_TRUE(capture.Lines[0].endsWith(QStringLiteral("-> TCustomForm::CMRelease")));
  EXPECT_TRUE(capture.Lines[1].endsWith(QStringLiteral("\"Doomed\" CM_RELEASE returned 0x0")));
}

TEST(MessageTrace, ReportsAHandlerThatRaises) {
  TButton button(nullptr);
  button.OnClick = [](TObject*) { throw Exception(QStringLiteral("boom")); };
  TraceCapture capture(true);
  EXPECT_THROW(button.Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0), Exception);
  ASSERT_FALSE(capture.Lines.isEmpty());
  EXPECT_TRUE(capture.Lines.last().endsWith(QStringLiteral("CN_COMMAND raised an exception")))
      << capture.Lines.last().toStdString();
}

}  // namespace
