#pragma once
// Fixture of the standard and extra control tests: an empty form 400 x 300,
// shown and activated, with the system style on before and after each test.

#include <gtest/gtest.h>

#include <QImage>
#include <memory>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Themes.h"
#include "tests/harness/Harness.h"
#include "tests/support/TestSupport.h"

class StdFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    TStyleManager::SetStyle("Windows");
    Form = std::make_unique<TForm>(nullptr);
    Form->SetName(QStringLiteral("form"));
    Form->SetBounds(10, 10, 400, 300);
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
  }
  void TearDown() override {
    Form.reset();
    vcltest::Pump();
    ResetInputKeyState();
    TStyleManager::SetStyle("Windows");
  }
  // A control of the class on the form.
  template <class T>
  T* Make(int Left, int Top, int Width, int Height, const QString& Name = QString()) {
    auto* c = new T(Form.get());
    if (!Name.isEmpty()) c->SetName(Name);
    c->SetBounds(Left, Top, Width, Height);
    c->SetParent(Form.get());
    return c;
  }
  // The control as it looks under a style.
  static QImage GrabIn(TControl* Control, const char* Style) {
    TStyleManager::SetStyle(Style);
    vcltest::Pump();
    Control->Repaint();
    vcltest::Pump();
    return vcltest::Grab(Control);
  }

  std::unique_ptr<TForm> Form;
};
