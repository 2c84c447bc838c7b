#pragma once
// Settings of the grid's node rows (TCellNode), of sizing the current cell
// while the user types (TSizeWhileTyping) and of column sizes and
// stretching (TColumnSize).

#include <QString>
#include <memory>

#include "grid/model/KitGridSettings.h"
#include "platform/rtl/Persistent.h"
#include "platform/rtl/TypInfo.h"
#include "platform/vcl/Graphics.h"

// How expand and contract nodes are drawn.
enum TNodeType { cnFlat, cn3D, cnGlyph, cnLeaf, cnXP };
TF_ENUM_NAMES(TNodeType, cnFlat, cn3D, cnGlyph, cnLeaf, cnXP)

// The "Cannot change node column when grid has nodes" error is a plain
// Exception.
class TCellNode : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TCellNode)
  explicit TCellNode(IKitGridSettingsOwner* AGrid);
  ~TCellNode() override;
  TPersistent* GetOwner() const override;

  // From another node setting: every value, without repaint or checks.
  void Assign(TPersistent* Source) override;

  // Store and repaint the grid when changed.
  TNodeType NodeType() const { return FNodeType; }
  void SetNodeType(TNodeType Value);
  bool ShowTree() const { return FShowTree; }
  void SetShowTree(bool Value);
  bool ShowTreeFull() const { return FShowTreeFull; }
  void SetShowTreeFull(bool Value);
  TColor TreeColor() const { return FTreeColor; }
  void SetTreeColor(TColor Value);
  int NodeIndent() const { return FNodeIndent; }
  void SetNodeIndent(int Value);
  // The real column of the node boxes; cannot change while the grid holds
  // nodes.
  int NodeColumn() const { return FNodeColumn; }
  void SetNodeColumn(int Value);
  // Owned glyphs of cnGlyph; the setters copy.
  TBitmap* ExpandGlyph() const { return FExpandGlyph.get(); }
  void SetExpandGlyph(TBitmap* Value) { FExpandGlyph->Assign(Value); }
  TBitmap* ContractGlyph() const { return FContractGlyph.get(); }
  void SetContractGlyph(TBitmap* Value) { FContractGlyph->Assign(Value); }

  TF_PLAIN_PROPERTY(TColor, Color, 0xC0C0C0)
  TF_PLAIN_PROPERTY(bool, ExpandOne, false)
  TF_PLAIN_PROPERTY(TColor, NodeColor, 0)

 private:
  template <class V>
  void SetRepaintWhenChanged(V& Field, const V& Value);

  IKitGridSettingsOwner* FGrid;
  bool FAssigning = false;
  TNodeType FNodeType = cnXP;
  int FNodeColumn = 0;
  int FNodeIndent = 12;
  std::unique_ptr<TBitmap> FExpandGlyph;
  std::unique_ptr<TBitmap> FContractGlyph;
  bool FShowTree = true;
  bool FShowTreeFull = true;
  TColor FTreeColor = 0x808080;
};

class TSizeWhileTyping : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TSizeWhileTyping)
  TSizeWhileTyping() = default;

  // Grow the current row (Height) or size the current column (Width) while
  // the user types.
  TF_PLAIN_PROPERTY(bool, Height, false)
  TF_PLAIN_PROPERTY(bool, Width, false)
};

// Where column widths and positions are saved.
enum TColumnSizeLocation { clRegistry, clIniFile };
TF_ENUM_NAMES(TColumnSizeLocation, clRegistry, clIniFile)

// Which rows column autosizing considers.
enum TAutoSizeRows { arAll, arNormal, arFixed, arVisible };
TF_ENUM_NAMES(TAutoSizeRows, arAll, arNormal, arFixed, arVisible)

// The grid's column-size settings. The saving and loading of widths they
// drive is the grid's; the two stretch setters ask the grid to stretch.
class TColumnSize : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TColumnSize)
  explicit TColumnSize(IKitGridSettingsOwner* AGrid) : FGrid(AGrid) {}
  TPersistent* GetOwner() const override;

  // From another column-size setting: every value but StretchAll, without
  // the stretch effects. Anything else does nothing.
  void Assign(TPersistent* Source) override;

  // Stores, then (when the grid sits on a parent) stretches StretchColumn,
  // also when switched off.
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  // When changed: switching on makes StretchColumn -1 (the last column);
  // then the grid stretches all columns.
  bool StretchAll() const { return FStretchAll; }
  void SetStretchAll(bool Value);

  TF_PLAIN_PROPERTY(bool, Save, false)
  TF_PLAIN_PROPERTY(QString, Key, QString())
  TF_PLAIN_PROPERTY(QString, Section, QString())
  TF_PLAIN_PROPERTY(TColumnSizeLocation, Location, clRegistry)
  TF_PLAIN_PROPERTY(int, StretchColumn, -1)
  TF_PLAIN_PROPERTY(bool, SynchWithGrid, false)
  TF_PLAIN_PROPERTY(bool, SynchNormalCellsOnly, false)
  TF_PLAIN_PROPERTY(TAutoSizeRows, Rows, arAll)

 private:
  IKitGridSettingsOwner* FGrid;
  bool FStretch = false;
  bool FStretchAll = false;
};
