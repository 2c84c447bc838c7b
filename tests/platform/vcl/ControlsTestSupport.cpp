#include "tests/platform/vcl/ControlsTestSupport.h"

#include "platform/win32/Gdi.h"

QString ShiftText(TShiftState Shift) {
  QString s;
  if (Shift.Contains(ssShift)) s += u'S';
  if (Shift.Contains(ssCtrl)) s += u'C';
  if (Shift.Contains(ssAlt)) s += u'A';
  if (Shift.Contains(ssLeft)) s += u'L';
  if (Shift.Contains(ssRight)) s += u'R';
  if (Shift.Contains(ssDouble)) s += u'D';
  return s.isEmpty() ? QStringLiteral("-") : s;
}

TRecordingControl::TRecordingControl(TComponent* AOwner, QStringList* Events, const QString& AName)
    : TCustomControl(AOwner), FEvents(Events) {
  SetName(AName);
}

TF_MESSAGE_MAP(TRecordingControl, TWinControl) {
  return {
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
  };
}

void TRecordingControl::WMGetDlgCode(TMessage& Message) { Message.Result = DialogCode; }

void TRecordingControl::Paint() {
  ++Paints;
  RECT r{0, 0, Width(), Height()};
  HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
  FillRect(PaintDC(), &r, brush);
  DeleteObject(brush);
}

void TRecordingControl::KeyDown(Word& Key, TShiftState Shift) {
  *FEvents << QStringLiteral("%1 KeyDown %2 %3").arg(Name()).arg(Key).arg(ShiftText(Shift));
  TCustomControl::KeyDown(Key, Shift);
}

void TRecordingControl::KeyPress(QChar& Key) {
  *FEvents << QStringLiteral("%1 KeyPress %2").arg(Name()).arg(Key.unicode());
  TCustomControl::KeyPress(Key);
}

void TRecordingControl::KeyUp(Word& Key, TShiftState Shift) {
  *FEvents << QStringLiteral("%1 KeyUp %2 %3").arg(Name()).arg(Key).arg(ShiftText(Shift));
  TCustomControl::KeyUp(Key, Shift);
}

void TRecordingControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  *FEvents << QStringLiteral("%1 MouseDown %2 %3 %4,%5").arg(Name()).arg(int(Button)).arg(ShiftText(Shift)).arg(X).arg(Y);
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TRecordingControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  *FEvents << QStringLiteral("%1 MouseUp %2 %3 %4,%5").arg(Name()).arg(int(Button)).arg(ShiftText(Shift)).arg(X).arg(Y);
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TRecordingControl::Click() {
  *FEvents << Name() + QStringLiteral(" Click");
  TCustomControl::Click();
}

void TRecordingControl::DblClick() {
  *FEvents << Name() + QStringLiteral(" DblClick");
  TCustomControl::DblClick();
}

void TRecordingControl::DoEnter() {
  *FEvents << Name() + QStringLiteral(" Enter");
  TCustomControl::DoEnter();
}

void TRecordingControl::DoExit() {
  *FEvents << Name() + QStringLiteral(" Exit");
  TCustomControl::DoExit();
}

void VclFormTest::SetUp() {
  Form = std::make_unique<TForm>(nullptr);
  Form->SetName(QStringLiteral("form"));
  Form->SetBounds(10, 10, 400, 300);
  A = Make(QStringLiteral("a"), 10);
  B = Make(QStringLiteral("b"), 130);
  C = Make(QStringLiteral("c"), 250);
  ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
  vcltest::Pump();
  Events.clear();
}

void VclFormTest::TearDown() {
  Form.reset();
  vcltest::Pump();
  ResetInputKeyState();
}

TRecordingControl* VclFormTest::Make(const QString& Name, int Left) {
  auto* c = new TRecordingControl(Form.get(), &Events, Name);
  c->SetBounds(Left, 10, 100, 50);
  c->SetTabStop(true);
  c->SetParent(Form.get());
  return c;
}
