#pragma once
// Base types of the library's pictures and drawing: the owned collection
// typed on its item class, the product-information interface, the list of
// property names left out of JSON output, and the routines on float
// rectangles and points used throughout the drawing code.

#include <QString>
#include <QStringList>
#include <memory>

#include "platform/rtl/Collections.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/SysUtils.h"
#include "platform/rtl/System.h"
#include "platform/rtl/Types.h"

// Names of properties that ToJSON(AExcludedProperties) leaves out.
using TKitObjectExcludePropertyListArray = QStringList;

// Version and help addresses of a library component.
class IKitProductInfo {
 public:
  static constexpr const char* IID = "{C53329EA-7B3A-4507-AD9E-88ACD6A85054}";
  virtual ~IKitProductInfo() = default;
  virtual QString GetVersion() = 0;
  virtual QString GetDocURL() = 0;
  virtual QString GetTipsURL() = 0;
};

// An owned collection whose items are all of class T.
template <class T>
class TKitOwnedCollection : public TOwnedCollection {
  static_assert(std::is_base_of_v<TCollectionItem, T>);

 public:
  explicit TKitOwnedCollection(TPersistent* AOwner) : TOwnedCollection(AOwner, CollectionItemClassOf<T>()) {}

  // The item at AIndex (EListError outside the list), checked against T
  // (EInvalidCast "Invalid class typecast").
  T* GetItem(int AIndex) const {
    T* item = dynamic_cast<T*>(TCollection::Items(AIndex));
    if (item == nullptr) throw EInvalidCast(QString::fromUtf8(RtlConsts::SInvalidCast));
    return item;
  }

  // Walks the items in order: MoveNext advances while there is a next item
  // and answers whether it did; Current is the item reached.
  class TEnumerator {
   public:
    explicit TEnumerator(const TKitOwnedCollection* ACol) : FCol(ACol) {}
    bool MoveNext() {
      if (FIndex >= FCol->Count() - 1) return false;
      ++FIndex;
      return true;
    }
    T* Current() const { return FCol->GetItem(FIndex); }

   private:
    int FIndex = -1;
    const TKitOwnedCollection* FCol;
  };
  TEnumerator GetEnumerator() const { return TEnumerator(this); }

  // Range-for over the items, through the enumerator.
  class iterator {
   public:
    explicit iterator(const TKitOwnedCollection* ACol) : FEnum(ACol), FAtEnd(ACol == nullptr || !FEnum.MoveNext()) {}
    iterator() : FEnum(nullptr), FAtEnd(true) {}
    T* operator*() const { return FEnum.Current(); }
    iterator& operator++() {
      FAtEnd = !FEnum.MoveNext();
      return *this;
    }
    bool operator==(const iterator& other) const { return FAtEnd && other.FAtEnd; }

   private:
    TEnumerator FEnum;
    bool FAtEnd;
  };
  iterator begin() const { return iterator(this); }
  iterator end() const { return iterator(); }
};

// ---------------------------------------------------------------------------
// Rectangles and points. Rounding is Round (halves to even), truncation
// Trunc (towards zero).

// Moves R by DX and DY; answers true.
bool RectFOffset(TRectF& R, float DX, float DY);
// Left - DX, Top - DY, Right + DX, Bottom + DY (negative values shrink).
void RectFInflate(TRectF& R, float DX, float DY);
// Left <= X < Right and Top <= Y < Bottom.
bool RectFHasPoint(const TRectF& R, const TPointF& P);
// The interiors meet (rectangles that only share an edge do not overlap).
bool RectFOverlaps(const TRectF& A, const TRectF& B);
// The common part; all zero when that is empty.
TRectF RectFIntersection(const TRectF& A, const TRectF& B);
// True when the width or height is negative or (nearly) zero; coordinates
// within max(1E-4, 1E-4 * the smaller magnitude) count as equal.
bool RectFIsVoid(const TRectF& R);
float RectFWidth(const TRectF& R);
float RectFHeight(const TRectF& R);
// R moved to the origin, then centred in Within by whole-pixel offsets.
void RectFCenter(TRectF& R, const TRectF& Within);
TRectF RectFCenterIn(const TRectF& R, const TRectF& Within);
// R scaled (aspect ratio kept) to fit Within and centred there; Scale is
// the divisor used (1 when Within has no area, R then unchanged; 1 when R
// has neither width nor height, R then only centred).
TRectF RectFFitIn(const TRectF& R, const TRectF& Within, float& Scale);
TRectF RectFFitIn(const TRectF& R, const TRectF& Within);
// R's edges placed on the device pixels of Scale (0 or less counts as 1);
// with AHalfPixel moved by half a device pixel so that lines drawn along
// the edges fall on pixel centres.
void RectFSnapToPixels(const TRectF& R, bool AHalfPixel, TRectF& Result, float Scale);
TRect RectFToRect(const TRectF& R);
TRectF RectToRectF(const TRect& R);
TPointF PointToPointF(const TPoint& P);
TSize PointFToSize(const TPointF& P);
float PointFLength(const TPointF& P);
TRect RectCopy(const TRect& R);
