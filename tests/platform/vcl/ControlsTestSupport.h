#pragma once
// Fixtures of the control tests: a form with recording controls, shown and
// activated offscreen.

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"
#include "tests/harness/Harness.h"
#include "tests/support/TestSupport.h"

// A custom control that records its events as "name Event args".
class TRecordingControl : public TCustomControl {
 public:
  TF_DECLARE_MESSAGES(TRecordingControl)
  TRecordingControl(TComponent* AOwner, QStringList* Events, const QString& AName);
  LRESULT DialogCode = 0;  // answered to WM_GETDLGCODE
  int Paints = 0;

 protected:
  void WMGetDlgCode(TMessage& Message);
  void Paint() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyPress(QChar& Key) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Click() override;
  void DblClick() override;
  void DoEnter() override;
  void DoExit() override;

 private:
  QStringList* FEvents;
};

QString ShiftText(TShiftState Shift);

// A form 400 x 300 with three recording controls a, b, c side by side
// (tab order a, b, c; all tab stops), shown and activated.
class VclFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TRecordingControl* Make(const QString& Name, int Left);

  QStringList Events;
  std::unique_ptr<TForm> Form;
  TRecordingControl* A = nullptr;
  TRecordingControl* B = nullptr;
  TRecordingControl* C = nullptr;
};
