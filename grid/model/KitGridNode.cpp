#include "grid/model/KitGridNode.h"

namespace {

class TAssigning {
 public:
  explicit TAssigning(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
  ~TAssigning() { FFlag = FOld; }

 private:
  bool& FFlag;
  bool FOld;
};

}  // namespace

// ---------------------------------------------------------------------------
// TCellNode

TF_PUBLISHED(TCellNode, TPersistent) {
  using N = TCellNode;
  return TPublished<N>()
      .Color("Color", &N::Color, &N::SetColor).Default(0xC0C0C0)
      .Boolean("ExpandOne", &N::ExpandOne, &N::SetExpandOne).Default(false)
      .Enum("NodeType", &N::NodeType, &N::SetNodeType).Default(cnXP)
      .Color("NodeColor", &N::NodeColor, &N::SetNodeColor).Default(0)
      .Integer("NodeColumn", &N::NodeColumn, &N::SetNodeColumn).Default(0)
      .Integer("NodeIndent", &N::NodeIndent, &N::SetNodeIndent).Default(12)
      .Object("ExpandGlyph", &N::ExpandGlyph, &N::SetExpandGlyph)
      .Object("ContractGlyph", &N::ContractGlyph, &N::SetContractGlyph)
      .Boolean("ShowTree", &N::ShowTree, &N::SetShowTree).Default(true)
      .Boolean("ShowTreeFull", &N::ShowTreeFull, &N::SetShowTreeFull).Default(true)
      .Color("TreeColor", &N::TreeColor, &N::SetTreeColor).Default(0x808080);
}

TCellNode::TCellNode(IKitGridSettingsOwner* AGrid)
    : FGrid(AGrid), FExpandGlyph(std::make_unique<TBitmap>()), FContractGlyph(std::make_unique<TBitmap>()) {}

TCellNode::~TCellNode() = default;

TPersistent* TCellNode::GetOwner() const { return FGrid ? FGrid->SettingsComponent() : nullptr; }

void TCellNode::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCellNode*>(Source);
  if (!source) return;
  TAssigning assigning(FAssigning);
  AssignPublishedProperties(StaticClassInfo(), this, source);
}

template <class V>
void TCellNode::SetRepaintWhenChanged(V& Field, const V& Value) {
  if (Field == Value) return;
  Field = Value;
  if (!FAssigning && FGrid) FGrid->SettingsRepaint();
}

void TCellNode::SetNodeType(TNodeType Value) { SetRepaintWhenChanged(FNodeType, Value); }
void TCellNode::SetShowTree(bool Value) { SetRepaintWhenChanged(FShowTree, Value); }
void TCellNode::SetShowTreeFull(bool Value) { SetRepaintWhenChanged(FShowTreeFull, Value); }
void TCellNode::SetTreeColor(TColor Value) { SetRepaintWhenChanged(FTreeColor, Value); }
void TCellNode::SetNodeIndent(int Value) { SetRepaintWhenChanged(FNodeIndent, Value); }

void TCellNode::SetNodeColumn(int Value) {
  if (FNodeColumn == Value) return;
  if (!FAssigning && FGrid && FGrid->SettingsNodeCount() > 0)
    throw Exception(QStringLiteral("Cannot change node column when grid has nodes"));
  FNodeColumn = Value;
}

// ---------------------------------------------------------------------------
// TSizeWhileTyping

TF_PUBLISHED(TSizeWhileTyping, TPersistent) {
  using S = TSizeWhileTyping;
  return TPublished<S>()
      .Boolean("Height", &S::Height, &S::SetHeight).Default(false)
      .Boolean("Width", &S::Width, &S::SetWidth).Default(false);
}

// ---------------------------------------------------------------------------
// TColumnSize

TF_PUBLISHED(TColumnSize, TPersistent) {
  using C = TColumnSize;
  return TPublished<C>()
      .Boolean("Save", &C::Save, &C::SetSave).Default(false)
      .String("Key", &C::Key, &C::SetKey)
      .String("Section", &C::Section, &C::SetSection)
      .Enum("Location", &C::Location, &C::SetLocation).Default(clRegistry)
      .Boolean("Stretch", &C::Stretch, &C::SetStretch).Default(false)
      .Boolean("StretchAll", &C::StretchAll, &C::SetStretchAll).Default(false)
      .Integer("StretchColumn", &C::StretchColumn, &C::SetStretchColumn).Default(-1)
      .Boolean("SynchWithGrid", &C::SynchWithGrid, &C::SetSynchWithGrid).Default(false)
      .Boolean("SynchNormalCellsOnly", &C::SynchNormalCellsOnly, &C::SetSynchNormalCellsOnly).Default(false)
      .Enum("Rows", &C::Rows, &C::SetRows).Default(arAll);
}

TPersistent* TColumnSize::GetOwner() const { return FGrid ? FGrid->SettingsComponent() : nullptr; }

void TColumnSize::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TColumnSize*>(Source);
  if (!source) return;
  AssignPublishedProperties(StaticClassInfo(), this, source, {"Stretch", "StretchAll"});
  FStretch = source->FStretch;
}

void TColumnSize::SetStretch(bool Value) {
  FStretch = Value;
  if (FGrid && FGrid->SettingsHasParent()) FGrid->SettingsStretchColumn(FStretchColumn, -1);
}

void TColumnSize::SetStretchAll(bool Value) {
  if (FStretchAll == Value) return;
  if (Value) FStretchColumn = -1;
  FStretchAll = Value;
  if (FGrid) FGrid->SettingsStretchColumn(-1, -1);
}
