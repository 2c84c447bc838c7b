// The grid's answers to its window's notifications: the embedded date
// picker's change and the balloon tool tip's text request (WM_NOTIFY), the
// picker editors' selections, and the search panel's place at the grid's
// bottom.

#include <QDate>
#include <QTime>
#include <algorithm>

#include "foundation/KitMiniHTMLText.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridUtils.h"
#include "platform/win32/WinUser.h"

void TKitStringGrid::WMNotify(TMessage& Message) {
  const NMHDR* hdr = reinterpret_cast<const NMHDR*>(Message.LParam);
  if (hdr == nullptr) {
    TWinControl::WMNotify(Message);
    return;
  }
  switch (int(hdr->code)) {
    case GN_DATETIMECHANGE: {
      const auto* n = reinterpret_cast<const TGridDateTimeNotify*>(hdr);
      if (OnDateTimeChange) {
        TDateTime picked = 0;
        // A date of year, month or day 0 is no date: 0.
        if (n->Year != 0 && n->Month != 0 && n->Day != 0) {
          const QDate date(n->Year, n->Month, n->Day);
          const QTime time(std::clamp(n->Hour, 0, 23), std::clamp(n->Minute, 0, 59), std::clamp(n->Second, 0, 59),
                           std::clamp(n->MSec, 0, 999));
          if (date.isValid())
            picked = double(QDate(1899, 12, 30).daysTo(date)) + time.msecsSinceStartOfDay() / 86400000.0;
        }
        OnDateTimeChange(this, Col(), Row(), picked);
      }
      TWinControl::WMNotify(Message);
      return;
    }
    case GN_BALLOONTEXT: {
      auto* n = reinterpret_cast<TGridBalloonNotify*>(const_cast<NMHDR*>(hdr));
      if (!FBalloon->Enable()) return;
      int c = -1, r = -1;
      MouseToCell(n->At.X, n->At.Y, c, r);
      if (c < 0 || r < 0 || c >= ColCount() || r >= RowCount()) return;
      // The floating footer's panel answers for the last row.
      if (FFloatingFooter->Visible() && r == RowCount() - 1) return;
      const TPoint base = BaseCell(c, r);
      BalloonCellAnswer(base.X, base.Y, 0, *n);
      if (n->Answered) FLastBalloonCell = TGridCoord{base.X, base.Y};
      return;
    }
    case GN_BALLOONSHOW:
    case GN_BALLOONPOP:
      return;
    default:
      TWinControl::WMNotify(Message);
  }
}

void TKitStringGrid::BalloonCellAnswer(int ACol, int ARow, int DefaultIcon, TGridBalloonNotify& Answer) {
  Answer.Answered = false;
  if (!FBalloon->Enable() || ACol < 0 || ARow < 0) return;
  const int rc = RealColIndex(ACol);
  QString text = GetCellEx(rc, ARow);
  switch (GetCellTextKind(text, FEnableHTML)) {
    case 1: text = MiniHtmlToText(text); break;
    case 2: text = GetStrippedCell(rc, ARow); break;
    case 5: text = DecodeWideText(text); break;
    default: break;
  }
  QString title = QStringLiteral(" ");
  if (!FBalloon->ShowCell()) {
    title.clear();
    text.clear();
  }
  int icon = DefaultIcon;
  QString ownTitle, ownText;
  TBalloonIcon ownIcon = biNone;
  if (IsBalloon(rc, ARow, ownTitle, ownText, ownIcon)) {
    title = ownTitle;
    text = ownText;
    icon = int(ownIcon);
  }
  if (OnCellBalloon) OnCellBalloon(this, rc, ARow, title, text, icon);
  Answer.Text = BalloonText(text);
  Answer.Title = BalloonTitle(title);
  Answer.Icon = icon;
  Answer.MaxWidth = 300;
  Answer.TextColor = FBalloon->TextColor();
  Answer.BackgroundColor = FBalloon->BackgroundColor();
  Answer.Answered = true;
}

void TKitStringGrid::UpdateSearchPanel() {
  if (FSearchPanel == nullptr || !HandleAllocated() || !FSearchFooter->Visible()) return;
  const int height = GetSearchPanelHeight();
  int top = Height() - height;
  int columns = 0;
  for (int c = 0; c < ColCount(); ++c) columns += ColWidths(c);
  if (columns > ClientWidth() || FScrollBarAlways == saHorz || FScrollBarAlways == saBoth)
    top -= ::GetSystemMetrics(SM_CYHSCROLL);
  FSearchPanel->SetBounds(0, top, ClientWidth(), height);
}

void TKitStringGrid::ColorSelect(TObject* Sender) {
  if (!OnColorSelect || Sender == nullptr) return;
  TColor colour = clNone;
  QString text;
  if (const TPropInfo* p = GetPropInfo(Sender, QStringLiteral("SelectedColor"))) colour = TColor(GetOrdProp(Sender, p));
  if (const TPropInfo* p = GetPropInfo(Sender, QStringLiteral("Text"))) text = GetStrProp(Sender, p);
  OnColorSelect(this, Col(), RealRowIndex(Row()), colour, text);
}

void TKitStringGrid::ImageSelect(TObject* Sender) {
  if (!OnImageSelect || Sender == nullptr) return;
  int index = -1;
  if (const TPropInfo* p = GetPropInfo(Sender, QStringLiteral("ItemIndex"))) index = int(GetOrdProp(Sender, p));
  OnImageSelect(this, Col(), RealRowIndex(Row()), index);
}
