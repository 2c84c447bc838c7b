// The framework grid's input: its messages, key navigation, mouse selection
// and sizing, the wheel and the scroll while selecting.

#include <QWidget>
#include <algorithm>

#include "platform/vcl/Forms.h"
#include "platform/vcl/Grids.h"

namespace {
constexpr UINT_PTR kSelectTimer = 1;
constexpr UINT kSelectTimerMs = 60;
// The band around a line that starts sizing it.
constexpr int kSizingBand = 7;
}  // namespace

// ---------------------------------------------------------------------------
// Messages

TF_MESSAGE_MAP(TCustomGrid, TWinControl) {
  return {
      TF_MESSAGE(WM_SIZE, WMSize),
      TF_MESSAGE(WM_HSCROLL, WMHScroll),
      TF_MESSAGE(WM_VSCROLL, WMVScroll),
      TF_MESSAGE(WM_SETCURSOR, WMSetCursor),
      TF_MESSAGE(WM_GETDLGCODE, WMGetDlgCode),
      TF_MESSAGE(WM_CHAR, WMChar),
      TF_MESSAGE(WM_TIMER, WMTimer),
      TF_MESSAGE(WM_SETFOCUS, WMSetFocus),
      TF_MESSAGE(WM_KILLFOCUS, WMKillFocus),
      TF_MESSAGE(WM_CANCELMODE, WMCancelMode),
      TF_MESSAGE(CM_CANCELMODE, CMCancelMode),
      TF_MESSAGE(WM_ERASEBKGND, WMEraseBkgnd),
      TF_MESSAGE(WM_NCPAINT, WMNCPaint),
      TF_MESSAGE(CM_FONTCHANGED, CMFontChanged),
  };
}

void TCustomGrid::WMSize(TMessage& Message) {
  TWinControl::WMSize(Message);
  UpdateScrollRange();
  UpdateEdit();
}

void TCustomGrid::WMHScroll(TMessage& Message) {
  // A scroll bar control among the children has its own message.
  if (Message.LParam != 0) {
    TWinControl::WMHScroll(Message);
    return;
  }
  ModifyScrollBar(true, Message.WParamLo(), SHORT(Message.WParamHi()));
  Message.Result = 0;
}

void TCustomGrid::WMVScroll(TMessage& Message) {
  if (Message.LParam != 0) {
    TWinControl::WMVScroll(Message);
    return;
  }
  ModifyScrollBar(false, Message.WParamLo(), SHORT(Message.WParamHi()));
  Message.Result = 0;
}

void TCustomGrid::WMSetCursor(TMessage& Message) {
  TWMSetCursor c(Message);
  if (c.HitTest() == HTCLIENT && HandleAllocated() && c.CursorWnd() == Handle() && FGridState == gsNormal) {
    POINT p;
    GetCursorPos(&p);
    const TPoint local = ScreenToClient(TPoint(p.x, p.y));
    TGridState state = gsNormal;
    int index = -1, pos = 0, ofs = 0;
    CalcSizingState(local.X, local.Y, state, index, pos, ofs);
    if (state == gsColSizing || state == gsRowSizing) {
      ApplyCursor(state == gsColSizing ? crHSplit : crVSplit);
      Message.Result = 1;
      return;
    }
  }
  TWinControl::WMSetCursor(Message);
}

void TCustomGrid::WMGetDlgCode(TMessage& Message) {
  Message.Result = DLGC_WANTARROWS;
  if (FOptions.Contains(goRowSelect)) return;
  if (FOptions.Contains(goTabs)) Message.Result |= DLGC_WANTTAB;
  if (FOptions.Contains(goEditing)) Message.Result |= DLGC_WANTCHARS;
}

void TCustomGrid::WMChar(TMessage& Message) {
  const WORD ch = WORD(Message.WParam);
  if (FOptions.Contains(goEditing) && !FOptions.Contains(goRowSelect) && (ch == 8 || ch >= 32)) {
    ShowEditorChar(QChar(char16_t(ch)));
    return;
  }
  TWinControl::WMChar(Message);
}

void TCustomGrid::WMTimer(TMessage& Message) {
  if (Message.WParam != kSelectTimer || FGridState != gsSelecting) {
    Inherited<TWinControl>(Message);
    return;
  }
  POINT p;
  GetCursorPos(&p);
  const TPoint pt = ScreenToClient(TPoint(p.x, p.y));
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  TGridScrollDirection direction;
  if (pt.X < h.FixedBoundary)
    direction.Include(sdLeft);
  else if (pt.X > h.FullVisBoundary)
    direction.Include(sdRight);
  if (pt.Y < v.FixedBoundary)
    direction.Include(sdUp);
  else if (pt.Y > v.FullVisBoundary)
    direction.Include(sdDown);
  if (!direction.Empty()) TimedScroll(direction);
}

void TCustomGrid::WMSetFocus(TMessage& Message) {
  TWinControl::WMSetFocus(Message);
  const HWND from = TWMFocus(Message).FocusedWnd();
  if (!FInplaceEdit || !FInplaceEdit->HandleAllocated() || from != FInplaceEdit->Handle()) {
    InvalidateRect(Selection());
    UpdateEdit();
  }
}

void TCustomGrid::WMKillFocus(TMessage& Message) {
  Inherited<TWinControl>(Message);
  InvalidateRect(Selection());
}

void TCustomGrid::WMCancelMode(TMessage& Message) { CMCancelMode(Message); }

void TCustomGrid::CMCancelMode(TMessage& Message) {
  TControl::WMCancelMode(Message);
  if (FGridState == gsNormal) return;
  if (HandleAllocated()) KillTimer(Handle(), kSelectTimer);
  if (FGridState == gsColSizing || FGridState == gsRowSizing) InvalidateGrid();
  FGridState = gsNormal;
}

void TCustomGrid::WMEraseBkgnd(TMessage& Message) { Message.Result = 1; }

void TCustomGrid::WMNCPaint(TMessage& Message) { Inherited<TWinControl>(Message); }

void TCustomGrid::CMFontChanged(TMessage& Message) {
  if (FInplaceEdit) FInplaceEdit->SetFont(Font());
  Inherited<TWinControl>(Message);
  InvalidateGrid();
}

void TCustomGrid::DoExit() {
  TCustomControl::DoExit();
  if (!FOptions.Contains(goAlwaysShowEditor)) HideEditor();
}

// ---------------------------------------------------------------------------
// Keys

bool TCustomGrid::CanGridAcceptKey(Word Key, TShiftState Shift) { return true; }

void TCustomGrid::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if (Key == 0) return;
  if (!CanGridAcceptKey(Key, Shift)) {
    Key = 0;
    return;
  }
  const bool rowSelect = FOptions.Contains(goRowSelect);
  TGridCoord current = FSel.Current();
  TGridCoord topLeft = FTopLeft;
  const int pageWidth = PageCount(true);
  const int pageHeight = PageCount(false);
  bool moveAnchor = !Shift.Contains(ssShift);
  if (Shift.Contains(ssCtrl)) {
    switch (Key) {
      case VK_UP: --topLeft.Y; break;
      case VK_DOWN: ++topLeft.Y; break;
      case VK_LEFT:
        if (!rowSelect) {
          current.X -= pageWidth;
          topLeft.X -= pageWidth;
        }
        break;
      case VK_RIGHT:
        if (!rowSelect) {
          current.X += pageWidth;
          topLeft.X += pageWidth;
        }
        break;
      case VK_PRIOR: current.Y = FTopLeft.Y; break;
      case VK_NEXT: current.Y = CalcAxis(false).LastFullVisibleCell; break;
      case VK_HOME:
        current = TGridCoord{FFixedCols, FFixedRows};
        break;
      case VK_END:
        current = TGridCoord{ColCount() - 1, RowCount() - 1};
        break;
      default: break;
    }
  } else {
    switch (Key) {
      case VK_UP: --current.Y; break;
      case VK_DOWN: ++current.Y; break;
      case VK_LEFT:
        if (rowSelect)
          --topLeft.X;
        else
          --current.X;
        break;
      case VK_RIGHT:
        if (rowSelect)
          ++topLeft.X;
        else
          ++current.X;
        break;
      case VK_NEXT:
        current.Y += pageHeight;
        topLeft.Y += pageHeight;
        break;
      case VK_PRIOR:
        current.Y -= pageHeight;
        topLeft.Y -= pageHeight;
        break;
      case VK_HOME:
        if (rowSelect)
          current.Y = FFixedRows;
        else
          current.X = FFixedCols;
        break;
      case VK_END:
        if (rowSelect)
          current.Y = RowCount() - 1;
        else
          current.X = ColCount() - 1;
        break;
      case VK_TAB:
        if (FOptions.Contains(goTabs) && !rowSelect && !Shift.Contains(ssAlt)) {
          // Cell by cell along the rows, wrapping at both ends, to the next
          // column that is a tab stop (all of them off: one step).
          const int start = current.X;
          int guard = ColCount() + 1;
          do {
            if (Shift.Contains(ssShift)) {
              if (--current.X < FFixedCols) {
                current.X = ColCount() - 1;
                if (--current.Y < FFixedRows) current.Y = RowCount() - 1;
              }
            } else {
              if (++current.X >= ColCount()) {
                current.X = FFixedCols;
                if (++current.Y >= RowCount()) current.Y = FFixedRows;
              }
            }
          } while (!FTabStops[size_t(current.X)] && current.X != start && --guard > 0);
          moveAnchor = true;
        }
        break;
      case VK_F2:
        if (FOptions.Contains(goEditing)) SetEditorMode(true);
        break;
      default: break;
    }
  }
  const TGridCoord max = MaxTopLeft();
  topLeft.X = std::clamp(topLeft.X, FFixedCols, std::max(max.X, FFixedCols));
  topLeft.Y = std::clamp(topLeft.Y, FFixedRows, std::max(max.Y, FFixedRows));
  if (topLeft.X != FTopLeft.X || topLeft.Y != FTopLeft.Y) MoveTopLeft(topLeft.X, topLeft.Y);
  current.X = std::clamp(current.X, FFixedCols, ColCount() - 1);
  current.Y = std::clamp(current.Y, FFixedRows, RowCount() - 1);
  if (current.X != RawCol() || current.Y != RawRow()) FocusCell(current.X, current.Y, moveAnchor);
}

void TCustomGrid::KeyPress(QChar& Key) {
  TCustomControl::KeyPress(Key);
  if (Key.unicode() == 13 && !FOptions.Contains(goAlwaysShowEditor) && FOptions.Contains(goEditing)) {
    if (FEditorMode)
      HideEditor();
    else
      ShowEditor();
    Key = QChar();
  }
}

// ---------------------------------------------------------------------------
// Mouse

void TCustomGrid::CalcSizingState(int X, int Y, TGridState& State, int& Index, int& SizingPos, int& SizingOfs) {
  State = gsNormal;
  Index = -1;
  if (!FOptions.Contains(goColSizing) && !FOptions.Contains(goRowSizing)) return;
  const TAxisInfo h = CalcAxis(true);
  const TAxisInfo v = CalcAxis(false);
  // The line after each scrolled cell in view, with a band of 7 pixels
  // around it (the line's own width when wider).
  auto axisState = [&](const TAxisInfo& Info, const GridsDetail::TGridAxis& Axis, int Pos, TGridState NewState) {
    int range = Info.Line;
    int back = 0;
    if (range < kSizingBand) {
      range = kSizingBand;
      back = (range - Info.Line) / 2;
    }
    int line = Info.FixedBoundary;
    for (int i = Info.FirstGridCell; i < Info.GridCellCount; ++i) {
      const int size = Axis.Size(i);
      if (size < 0) continue;
      line += size;
      if (line > Info.GridBoundary) break;
      if (Pos >= line - back && Pos <= line - back + range) {
        State = NewState;
        SizingPos = line;
        SizingOfs = line - Pos;
        Index = i;
        return;
      }
      line += Info.Line;
    }
  };
  if (X > h.FixedBoundary && FOptions.Contains(goColSizing)) {
    if (Y >= v.FixedBoundary) return;  // only in the fixed rows
    axisState(h, FCols, X, gsColSizing);
  } else if (Y > v.FixedBoundary && FOptions.Contains(goRowSizing)) {
    if (X >= h.FixedBoundary) return;  // only in the fixed columns
    axisState(v, FRows, Y, gsRowSizing);
  }
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FLastMouse = TPoint(X, Y);
  FFixedPress = TGridCoord{-1, -1};
  if (!ComponentState().Contains(csDesigning) && CanFocus()) {
    SetFocus();
    if (!IsActiveControl()) {
      SetMouseCapture(false);
      return;
    }
  }
  if (Button == mbLeft && Shift.Contains(ssDouble)) {
    DblClick();
  } else if (Button == mbLeft) {
    CalcSizingState(X, Y, FGridState, FSizingIndex, FSizingPos, FSizingOfs);
    if (FGridState != gsNormal) {
      InvalidateGrid();
      return;
    }
    const TGridCoord cell{CoordFromPoint(CalcAxis(true), FCols, X), CoordFromPoint(CalcAxis(false), FRows, Y)};
    if (cell.X >= FFixedCols && cell.Y >= FFixedRows) {
      if (FOptions.Contains(goEditing)) {
        if (cell.X == RawCol() && cell.Y == RawRow()) {
          ShowEditor();
        } else {
          MoveCurrent(cell.X, cell.Y, true, true);
          UpdateEdit();
        }
        Click();
      } else {
        FGridState = gsSelecting;
        if (HandleAllocated()) SetTimer(Handle(), kSelectTimer, kSelectTimerMs, nullptr);
        if (Shift.Contains(ssShift))
          MoveAnchor(cell);
        else
          MoveCurrent(cell.X, cell.Y, true, true);
      }
    } else if (cell.X >= 0 && cell.Y >= 0) {
      FFixedPress = cell;
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TCustomGrid::MouseMove(TShiftState Shift, int X, int Y) {
  FLastMouse = TPoint(X, Y);
  switch (FGridState) {
    case gsSelecting: {
      const TAxisInfo h = CalcAxis(true);
      const TAxisInfo v = CalcAxis(false);
      const TGridCoord cell{CoordFromPoint(h, FCols, X), CoordFromPoint(v, FRows, Y)};
      if (cell.X >= FFixedCols && cell.Y >= FFixedRows && cell.X <= h.LastFullVisibleCell + 1 &&
          cell.Y <= v.LastFullVisibleCell + 1 && !(cell == SelectionAnchor()))
        MoveAnchor(cell);
      break;
    }
    case gsColSizing:
    case gsRowSizing: {
      const int pos = (FGridState == gsColSizing ? X : Y) + FSizingOfs;
      if (pos != FSizingPos) {
        FSizingPos = pos;
        InvalidateGrid();
      }
      break;
    }
    default: break;
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TCustomGrid::ResizeLine(bool Horz, int Index, int Pos) {
  const TAxisInfo info = CalcAxis(Horz);
  const GridsDetail::TGridAxis& axis = Axis(Horz);
  if (Index < 0 || Index >= axis.Count()) return;
  int start = 0;
  if (!LinePos(info, axis, Index, start)) return;
  const int size = std::max(Pos - start, 1);
  if (Horz)
    SetColWidths(Index, size);
  else
    SetRowHeights(Index, size);
}

void TCustomGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  struct TEnd {
    TGridState& State;
    ~TEnd() { State = gsNormal; }
  } end{FGridState};
  switch (FGridState) {
    case gsSelecting:
      MouseMove(Shift, X, Y);
      if (HandleAllocated()) KillTimer(Handle(), kSelectTimer);
      UpdateEdit();
      Click();
      break;
    case gsColSizing:
    case gsRowSizing: {
      const bool horz = FGridState == gsColSizing;
      const int pos = (horz ? X : Y) + FSizingOfs;
      FGridState = gsNormal;
      ResizeLine(horz, FSizingIndex, pos);
      InvalidateGrid();
      break;
    }
    default: {
      UpdateEdit();
      if (Button == mbLeft && FFixedPress.X >= 0) {
        const TGridCoord cell = MouseCoord(X, Y);
        const bool colClick = FOptions.Contains(goFixedColClick) && cell.Y < FFixedRows && cell.X >= FFixedCols;
        const bool rowClick = FOptions.Contains(goFixedRowClick) && cell.X < FFixedCols && cell.Y >= FFixedRows;
        if (cell == FFixedPress && (colClick || rowClick)) FixedCellClick(cell.X, cell.Y);
      }
      break;
    }
  }
  FFixedPress = TGridCoord{-1, -1};
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TCustomGrid::FixedCellClick(int ACol, int ARow) {}

bool TCustomGrid::DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheel) OnMouseWheel(this, Shift, WheelDelta, MousePos, handled);
  if (handled) return true;
  FWheelAccumulator += WheelDelta;
  while (FWheelAccumulator <= -WHEEL_DELTA || FWheelAccumulator >= WHEEL_DELTA) {
    const bool down = FWheelAccumulator < 0;
    FWheelAccumulator += down ? WHEEL_DELTA : -WHEEL_DELTA;
    handled = down ? DoMouseWheelDown(Shift, MousePos) : DoMouseWheelUp(Shift, MousePos);
  }
  return handled;
}

bool TCustomGrid::DoMouseWheelDown(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelDown) OnMouseWheelDown(this, Shift, MousePos, handled);
  if (!handled && RawRow() < RowCount() - 1) SetRawRow(RawRow() + 1);
  return true;
}

bool TCustomGrid::DoMouseWheelUp(TShiftState Shift, TPoint MousePos) {
  bool handled = false;
  if (OnMouseWheelUp) OnMouseWheelUp(this, Shift, MousePos, handled);
  if (!handled && RawRow() > FFixedRows) SetRawRow(RawRow() - 1);
  return true;
}

void TCustomGrid::TimedScroll(TGridScrollDirection Direction) {
  TGridCoord anchor = SelectionAnchor();
  if (Direction.Contains(sdLeft) && anchor.X > FFixedCols) --anchor.X;
  if (Direction.Contains(sdRight) && anchor.X < ColCount() - 1) ++anchor.X;
  if (Direction.Contains(sdUp) && anchor.Y > FFixedRows) --anchor.Y;
  if (Direction.Contains(sdDown) && anchor.Y < RowCount() - 1) ++anchor.Y;
  if (!(anchor == SelectionAnchor())) MoveAnchor(anchor);
}

void TCustomGrid::TopLeftChanged() {
  if (FEditorMode && FInplaceEdit) FInplaceEdit->UpdateLoc(RawCellRect(RawCol(), RawRow()));
}
