#pragma once
// Small published classes shared by the reflection tests. Their tables are in
// TypInfoTest.cpp; TypInfoOtherUnit.cpp publishes a descendant of its own.

#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/TypInfo.h"

enum TSampleFill { sfNone, sfSolid, sfHatch };
TF_ENUM_NAMES(TSampleFill, sfNone, sfSolid, sfHatch)

enum class TSampleStyle { ssBold, ssItalic, ssUnderline };
TF_ENUM_NAMES(TSampleStyle, ssBold, ssItalic, ssUnderline)
using TSampleStyles = TSet<TSampleStyle>;

class TSampleEllipse;

class TSampleFont : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TSampleFont)
  int Size() const { return FSize; }
  void SetSize(int value) { FSize = value; }
  // Typed with a class whose table refers back to this one.
  TSampleEllipse* Shape() const { return FShape; }
  void SetShape(TSampleEllipse* value) { FShape = value; }

 private:
  int FSize = 8;
  TSampleEllipse* FShape = nullptr;
};

class TSampleBigFont : public TSampleFont {
 public:
  TF_DECLARE_PUBLISHED(TSampleBigFont)
};

class TSampleShape : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TSampleShape)

  int Width() const { return FWidth; }
  void SetWidth(int value) { FWidth = value; }
  int32_t Color() const { return FColor; }
  void SetColor(int32_t value) { FColor = value; }
  TSampleFill Fill() const { return FFill; }
  void SetFill(TSampleFill value) { FFill = value; }
  TSampleStyles Style() const { return FStyle; }
  void SetStyle(TSampleStyles value) { FStyle = value; }
  bool Visible() const { return FVisible; }
  void SetVisible(bool value) { FVisible = value; }
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& value) { FCaption = value; }
  int Id() const { return 7; }
  TSampleFont* Font() const { return FFont.get(); }
  TSampleFont* Buddy() const { return FBuddy; }
  void SetBuddy(TSampleFont* value) { FBuddy = value; }
  uint32_t Tag() const { return FTag; }
  void SetTag(uint32_t value) { FTag = value; }

  std::function<void(TObject*)> OnChange;
  std::function<void(TObject*, int)> OnResize;

  void ShapeChanged(TObject*) { ++ChangeCount; }
  void ShapeResized(TObject*, int delta) { ResizedBy += delta; }
  int ChangeCount = 0;
  int ResizedBy = 0;

 protected:
  int FWidth = 10;

 private:
  int32_t FColor = 0;
  TSampleFill FFill = sfSolid;
  TSampleStyles FStyle;
  bool FVisible = true;
  QString FCaption;
  std::unique_ptr<TSampleFont> FFont = std::make_unique<TSampleFont>();
  TSampleFont* FBuddy = nullptr;
  uint32_t FTag = 0;
};

class TSampleEllipse : public TSampleShape {
 public:
  TF_DECLARE_PUBLISHED(TSampleEllipse)
  TSampleEllipse() { FWidth = 20; }

  double Ratio() const { return FRatio; }
  void SetRatio(double value) { FRatio = value; }
  bool IsRatioStored() const { return FRatio != 1.0; }
  float Weight() const { return FWeight; }
  void SetWeight(float value) { FWeight = value; }
  double Created() const { return FCreated; }
  void SetCreated(double value) { FCreated = value; }
  int64_t Big() const { return FBig; }
  void SetBig(int64_t value) { FBig = value; }
  QVariant Data() const { return FData; }
  void SetData(const QVariant& value) { FData = value; }
  QChar Letter() const { return FLetter; }
  void SetLetter(QChar value) { FLetter = value; }
  void SetPassword(const QString& value) { Password = value; }
  int Hidden() const { return 0; }
  void SetHidden(int) {}

  void EllipseChanged(TObject*) { ChangeCount += 10; }
  QString Password;

 private:
  double FRatio = 1.0;
  float FWeight = 0;
  double FCreated = 0;
  int64_t FBig = 0;
  QVariant FData;
  QChar FLetter = u'A';
};

// A class family created with an owner that keeps what it owns.
class TSampleOwner : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TSampleOwner)
  std::vector<std::unique_ptr<TObject>> Items;
};

class TSampleItem : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TSampleItem)
  explicit TSampleItem(TSampleOwner* AOwner) : Owner(AOwner) {
    if (AOwner) AOwner->Items.emplace_back(this);
  }
  TSampleOwner* Owner;
};
TSampleOwner* TypInfoOwnerClass(TSampleItem*);

class TSampleButton : public TSampleItem {
 public:
  TF_DECLARE_PUBLISHED(TSampleButton)
  using TSampleItem::TSampleItem;
};

class TSampleAbstract : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TSampleAbstract)
  virtual void Draw() = 0;
};
