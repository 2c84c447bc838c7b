#pragma once
// Fixtures of the grid tests: a string grid that records its paint calls and
// opens its protected members, on a form shown and activated offscreen.

#include <gtest/gtest.h>

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"
#include "tests/harness/Harness.h"
#include "tests/support/TestSupport.h"

struct TDrawnCell {
  int Col;
  int Row;
  TRect Rect;
  TGridDrawState State;
};

class TProbeGrid : public TStringGrid {
 public:
  explicit TProbeGrid(TComponent* AOwner) : TStringGrid(AOwner) {}

  using TCustomGrid::CalcSizingState;
  using TCustomGrid::DeleteColumn;
  using TCustomGrid::DeleteRow;
  using TCustomGrid::EditorMode;
  using TCustomGrid::FocusCell;
  using TCustomGrid::HideEditor;
  using TCustomGrid::InvalidateCell;
  using TCustomGrid::MoveColumn;
  using TCustomGrid::MoveCurrent;
  using TCustomGrid::MoveRow;
  using TCustomGrid::SetUpdating;
  using TCustomGrid::ShowEditor;
  using TCustomGrid::Updating;
  using TStringGrid::EnumStoredObjects;

  std::vector<TDrawnCell> Drawn;
  int EditLimit = 0;
  // Cells SelectCell refuses (empty: all allowed).
  std::vector<TGridCoord> Refused;
  QStringList Hooks;  // "TopLeftChanged", "ColWidthsChanged", ...

 protected:
  void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override {
    Drawn.push_back({ACol, ARow, ARect, AState});
    TStringGrid::DrawCell(ACol, ARow, ARect, AState);
  }
  bool SelectCell(int ACol, int ARow) override {
    for (const TGridCoord& c : Refused)
      if (c.X == ACol && c.Y == ARow) return false;
    return TStringGrid::SelectCell(ACol, ARow);
  }
  int GetEditLimit() override { return EditLimit; }
  void TopLeftChanged() override {
    Hooks << QStringLiteral("TopLeftChanged");
    TStringGrid::TopLeftChanged();
  }
  void ColWidthsChanged() override {
    Hooks << QStringLiteral("ColWidthsChanged");
    TStringGrid::ColWidthsChanged();
  }
  void RowHeightsChanged() override {
    Hooks << QStringLiteral("RowHeightsChanged");
    TStringGrid::RowHeightsChanged();
  }
  void SizeChanged(int OldColCount, int OldRowCount) override {
    Hooks << QStringLiteral("SizeChanged %1 %2").arg(OldColCount).arg(OldRowCount);
    TStringGrid::SizeChanged(OldColCount, OldRowCount);
  }
};

// A form 500 x 400 with one probe grid at (10, 10), 300 x 200, without a
// border or scroll bars unless a test asks: columns of 50 and rows of 20
// with a line of 1, ten of each, one fixed each. Shown, activated, the grid
// focused.
class GridFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 500, 400);
    Grid = new TProbeGrid(Form.get());
    Grid->SetName(QStringLiteral("grid"));
    Grid->SetBounds(10, 10, 300, 200);
    Grid->SetBorderStyle(bsNone);
    Grid->SetScrollBars(ssNone);
    Grid->SetDefaultColWidth(50);
    Grid->SetDefaultRowHeight(20);
    Grid->SetColCount(10);
    Grid->SetRowCount(10);
    Grid->SetParent(Form.get());
    ASSERT_TRUE(vcltest::ShowAndActivate(Form.get()));
    Grid->SetFocus();
    vcltest::Pump();
    Grid->Drawn.clear();
    Grid->Hooks.clear();
  }
  void TearDown() override {
    Form.reset();
    vcltest::Pump();
    ResetInputKeyState();
  }
  // Paints the grid now and answers what it drew.
  const std::vector<TDrawnCell>& PaintNow() {
    Grid->Drawn.clear();
    Grid->WidgetIfAllocated()->repaint();
    return Grid->Drawn;
  }

  std::unique_ptr<TForm> Form;
  TProbeGrid* Grid = nullptr;
};

inline QString StateText(TGridDrawState S) {
  QString t;
  if (S.Contains(gdFixed)) t += u'F';
  if (S.Contains(gdSelected)) t += u'S';
  if (S.Contains(gdFocused)) t += u'C';
  if (S.Contains(gdRowSelected)) t += u'R';
  return t.isEmpty() ? QStringLiteral("-") : t;
}

inline QString RectText(const TRect& R) {
  return QStringLiteral("%1,%2,%3,%4").arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom);
}

inline QString SelText(const TGridRect& R) {
  return QStringLiteral("%1,%2-%3,%4").arg(R.Left).arg(R.Top).arg(R.Right).arg(R.Bottom);
}
