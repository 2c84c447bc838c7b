// The check list box.

#include "platform/vcl/CheckLst.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <QStyle>
#include <QStyledItemDelegate>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"

namespace {

// Draws each item with its check box, in the state the list keeps.
class TCheckDelegate : public QStyledItemDelegate {
 public:
  using TStateOf = std::function<std::pair<TCheckBoxState, bool>(int Row)>;
  TCheckDelegate(TStateOf StateOf, QObject* Parent) : QStyledItemDelegate(Parent), FStateOf(std::move(StateOf)) {}

  // The check indicator of an item in the view's viewport.
  QRect IndicatorRect(const QListView* View, const QModelIndex& Index) const {
    QStyleOptionViewItem option;
    option.initFrom(View);
    option.rect = View->visualRect(Index);
    initStyleOption(&option, Index);
    const QStyle* style = View->style();
    return style->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, View);
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* Option, const QModelIndex& Index) const override {
    QStyledItemDelegate::initStyleOption(Option, Index);
    const auto [state, enabled] = FStateOf(Index.row());
    Option->features |= QStyleOptionViewItem::HasCheckIndicator;
    Option->checkState = state == cbChecked ? Qt::Checked : state == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked;
    if (!enabled) Option->state &= ~QStyle::State_Enabled;
  }

 private:
  TStateOf FStateOf;
};

TCheckDelegate* DelegateOf(QListView* View) {
  return View ? dynamic_cast<TCheckDelegate*>(View->itemDelegate()) : nullptr;
}

}  // namespace

TCheckListBox::TCheckListBox(TComponent* AOwner) : TListBox(AOwner) {
  QAbstractItemModel* model = Model();
  FConnections << QObject::connect(model, &QAbstractItemModel::rowsInserted, model,
                                   [this](const QModelIndex&, int First, int Last) {
                                     for (int i = First; i <= Last; ++i) FStates.insert(i, TItemState());
                                   });
  FConnections << QObject::connect(
      model, &QAbstractItemModel::rowsRemoved, model,
      [this](const QModelIndex&, int First, int Last) { FStates.remove(First, Last - First + 1); });
  FConnections << QObject::connect(model, &QAbstractItemModel::rowsMoved, model,
                                   [this](const QModelIndex&, int Start, int End, const QModelIndex&, int Row) {
                                     // Qt counts the destination before the rows left.
                                     const QList<TItemState> block = FStates.mid(Start, End - Start + 1);
                                     FStates.remove(Start, block.size());
                                     const int at = Row > Start ? Row - int(block.size()) : Row;
                                     for (int i = 0; i < block.size(); ++i) FStates.insert(at + i, block[i]);
                                   });
  FConnections << QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset, model, [this] { Snapshot(); });
  FConnections << QObject::connect(model, &QAbstractItemModel::modelReset, model, [this] { Rematch(); });
}

TCheckListBox::~TCheckListBox() {
  for (const QMetaObject::Connection& c : FConnections) QObject::disconnect(c);
  DestroyHandle();
}

QWidget* TCheckListBox::CreateWidget(const TCreateParams& Params, QWidget* ParentWidget) {
  QWidget* w = TListBox::CreateWidget(Params, ParentWidget);
  if (auto* view = qobject_cast<QListView*>(w); view && Style() == lbStandard)
    view->setItemDelegate(new TCheckDelegate(
        [this](int Row) {
          if (Row < 0 || Row >= FStates.size()) return std::make_pair(cbUnchecked, true);
          return std::make_pair(FStates[Row].State, FStates[Row].Enabled);
        },
        view));
  return w;
}

void TCheckListBox::CheckIndex(int Index) const {
  if (Index < 0 || Index >= FStates.size()) throw EListError(Format(RtlConsts::SListIndexError, {Index}));
}

void TCheckListBox::RepaintItem(int Index) {
  if (QListView* view = View()) view->update(Model()->index(Index));
}

TCheckBoxState TCheckListBox::State(int Index) const {
  CheckIndex(Index);
  return FStates[Index].State;
}

void TCheckListBox::SetState(int Index, TCheckBoxState Value) {
  CheckIndex(Index);
  if (FStates[Index].State == Value) return;
  FStates[Index].State = Value;
  RepaintItem(Index);
}

bool TCheckListBox::ItemEnabled(int Index) const {
  CheckIndex(Index);
  return FStates[Index].Enabled;
}

void TCheckListBox::SetItemEnabled(int Index, bool Value) {
  CheckIndex(Index);
  if (FStates[Index].Enabled == Value) return;
  FStates[Index].Enabled = Value;
  RepaintItem(Index);
}

void TCheckListBox::CheckAll(TCheckBoxState AState, bool AllowGrayed, bool AllowDisabled) {
  const TCheckBoxState state = AState == cbGrayed && !AllowGrayed ? cbUnchecked : AState;
  for (int i = 0; i < FStates.size(); ++i)
    if (FStates[i].Enabled || AllowDisabled) FStates[i].State = state;
  if (QListView* view = View()) view->viewport()->update();
}

TRect TCheckListBox::CheckRect(int Index) const {
  QListView* view = View();
  TCheckDelegate* delegate = DelegateOf(view);
  if (!delegate || Index < 0 || Index >= FStates.size()) return TRect();
  const QModelIndex index = Model()->index(Index);
  const QRect item = view->visualRect(index);
  if (item.isEmpty()) return TRect();
  const QRect indicator = delegate->IndicatorRect(view, index);
  const QPoint tl = view->viewport()->mapTo(view, QPoint(item.left(), item.top()));
  const QPoint right = view->viewport()->mapTo(view, QPoint(indicator.right() + 1 + 2, item.top()));
  return TRect(tl.x(), tl.y(), right.x(), tl.y() + item.height());
}

int TCheckListBox::CheckWidth() const {
  QListView* view = View();
  TCheckDelegate* delegate = DelegateOf(view);
  if (!delegate || FStates.isEmpty()) {
    const QStyle* style = QApplication::style();
    return style->pixelMetric(QStyle::PM_IndicatorWidth) + 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1) +
           2;
  }
  const QModelIndex index = Model()->index(0);
  return delegate->IndicatorRect(view, index).right() + 1 + 2 - view->visualRect(index).left();
}

void TCheckListBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TListBox::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !Enabled()) return;
  const int index = ItemAtPos(TPoint(X, Y), true);
  if (index >= 0 && CheckRect(index).Contains(TPoint(X, Y))) ToggleClickCheck(index);
}

void TCheckListBox::KeyPress(QChar& Key) {
  TListBox::KeyPress(Key);
  if (Key != u' ') return;
  ToggleClickCheck(ItemIndex());
  Key = QChar(0);
}

void TCheckListBox::ToggleClickCheck(int Index) {
  if (Index < 0 || Index >= FStates.size() || !FStates[Index].Enabled || !Enabled()) return;
  TCheckBoxState next = cbChecked;
  switch (FStates[Index].State) {
    case cbUnchecked: next = FAllowGrayed ? cbGrayed : cbChecked; break;
    case cbChecked: next = cbUnchecked; break;
    case cbGrayed: next = cbChecked; break;
  }
  SetState(Index, next);
  ClickCheck();
}

void TCheckListBox::ClickCheck() {
  if (OnClickCheck) OnClickCheck(this);
}

void TCheckListBox::Snapshot() {
  FSaved.clear();
  for (int i = 0; i < FStates.size() && i < Model()->Count(); ++i)
    FSaved.append(TSaved{Model()->Text(i), Model()->Object(i), FStates[i]});
}

void TCheckListBox::Rematch() {
  // The same items in a new order (sorting): each takes the state of the
  // first saved item with its text and object not taken yet.
  FStates.clear();
  for (int i = 0; i < Model()->Count(); ++i) {
    TItemState state;
    for (int j = 0; j < FSaved.size(); ++j) {
      if (FSaved[j].Text == Model()->Text(i) && FSaved[j].Object == Model()->Object(i)) {
        state = FSaved[j].State;
        FSaved.removeAt(j);
        break;
      }
    }
    FStates.append(state);
  }
  FSaved.clear();
}

TF_PUBLISHED(TCheckListBox, TListBox) {
  return TPublished<TCheckListBox>()
      .Boolean("AllowGrayed", &TCheckListBox::AllowGrayed, &TCheckListBox::SetAllowGrayed)
      .Default(false)
      .Boolean("Flat", &TCheckListBox::Flat, &TCheckListBox::SetFlat)
      .Default(true)
      .Event("OnClickCheck", &TCheckListBox::OnClickCheck);
}
