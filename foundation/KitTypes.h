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
#include "platform/rtl/Streams.h"
#include "platform/rtl/TypInfo.h"
#include "platform/rtl/Types.h"
#include "platform/vcl/Graphics.h"

#include <functional>

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

// ---------------------------------------------------------------------------
// JSON operations. Every library class carries the same family of JSON
// operations; each is a one-line forward to these routines with the object
// itself.

// The object's JSON text (type member and published properties).
QString ObjectToJSON(TObject* AObject);
// The same with the given property names left out; the global exclude list
// is put back afterwards, also when writing fails.
QString ObjectToJSONExcluding(TObject* AObject, const TKitObjectExcludePropertyListArray& AExcludedProperties);
// Reads JSON text into the object; no type member is required and the
// object is the reference object while reading (both settings are put back
// afterwards, also when reading fails).
void ObjectFromJSON(TObject* AObject, const QString& Value);
// The object's JSON text to the debug output.
void ObjectLog(TObject* AObject);
void ObjectSaveToJSONFile(TObject* AObject, const QString& AFileName);
void ObjectLoadFromJSONFile(TObject* AObject, const QString& AFileName);
void ObjectSaveToJSONStream(TObject* AObject, TStream* AStream);
void ObjectLoadFromJSONStream(TObject* AObject, TStream* AStream);

// Declares the JSON operations and the JSON property in a class body
// (public section).
#define TF_KIT_JSON_OPERATIONS                                                                        \
  QString ToJSON() { return ::ObjectToJSON(this); }                                                   \
  QString ToJSON(const TKitObjectExcludePropertyListArray& AExcludedProperties) {                     \
    return ::ObjectToJSONExcluding(this, AExcludedProperties);                                        \
  }                                                                                                   \
  void FromJSON(const QString& Value) { ::ObjectFromJSON(this, Value); }                              \
  QString JSON() { return ToJSON(); }                                                                 \
  void SetJSON(const QString& Value) { FromJSON(Value); }                                             \
  void Log() { ::ObjectLog(this); }                                                                   \
  void SaveToJSONFile(const QString& AFileName) { ::ObjectSaveToJSONFile(this, AFileName); }          \
  void LoadFromJSONFile(const QString& AFileName) { ::ObjectLoadFromJSONFile(this, AFileName); }      \
  void SaveToJSONStream(TStream* AStream) { ::ObjectSaveToJSONStream(this, AStream); }                \
  void LoadFromJSONStream(TStream* AStream) { ::ObjectLoadFromJSONStream(this, AStream); }

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

// ---------------------------------------------------------------------------
// Pictures

class TKitBitmap;

// The SVG document behind a TKitSVGBitmap. This class only holds the
// rendering options; the concrete class is the SVG engine's
// TKitGraphicsSVGImport (KitGraphicsSVGEngine), which tests may replace
// with SetSVGImportFactory. Every operation but the constructor raises
// EAbstractError here.
class TKitSVGImport : public TPersistent {
 public:
  TF_DECLARE_PUBLISHED(TKitSVGImport)
  TF_KIT_JSON_OPERATIONS
  using TKitSVGImportFactory = std::function<std::unique_ptr<TKitSVGImport>()>;

  TKitSVGImport() = default;

  virtual bool HasElements();
  virtual int ElementCount();
  // A new picture of the document drawn at that size; the caller owns it.
  virtual std::unique_ptr<TKitBitmap> GenerateBitmap(float AWidth, float AHeight);
  virtual void Clear();
  virtual void Draw(TCanvas* ACanvas, const TRectF& ARect, bool ANative);
  virtual void LoadFromText(const QString& AText);
  virtual void LoadFromFile(const QString& AFile);
  virtual void LoadFromStream(TStream* AStream);
  virtual void SaveToStream(TStream* AStream);
  virtual void SaveToFile(const QString& AFile);

  // Replaces the concrete import; an empty factory brings back the engine's.
  static void SetSVGImportFactory(TKitSVGImportFactory AFactory);
  // A new import of the factory's class, else the engine's.
  static std::unique_ptr<TKitSVGImport> CreateSVGImport();

  bool GrayScale() const { return FGrayScale; }
  void SetGrayScale(bool Value) { FGrayScale = Value; }
  TColor CustomFillColor() const { return FCustomFillColor; }
  void SetCustomFillColor(TColor Value) { FCustomFillColor = Value; }
  TColor CustomStrokeColor() const { return FCustomStrokeColor; }
  void SetCustomStrokeColor(TColor Value) { FCustomStrokeColor = Value; }
  TColor TintColor() const { return FTintColor; }
  void SetTintColor(TColor Value) { FTintColor = Value; }
  float CustomOpacity() const { return FCustomOpacity; }
  void SetCustomOpacity(float Value) { FCustomOpacity = Value; }
  float RotationAngle() const { return FRotationAngle; }
  void SetRotationAngle(float Value) { FRotationAngle = Value; }
  // The view box of the loaded document.
  const TRectF& ViewRect() const { return FViewRect; }
  void SetViewRect(const TRectF& Value) { FViewRect = Value; }

 protected:
  float FRotationAngle = 0;
  TRectF FViewRect{};
  bool FGrayScale = false;
  TColor FCustomFillColor = -1;
  TColor FCustomStrokeColor = -1;
  TColor FTintColor = -1;
  float FCustomOpacity = -1.0f;
};

// A graphic that keeps SVG bytes exactly as loaded and draws them through
// the SVG import. Bytes that do not parse are kept and streamed, but nothing
// is drawn and the size is 0 x 0.
class TKitSVGBitmap : public TGraphic {
 public:
  TF_DECLARE_PUBLISHED(TKitSVGBitmap)
  TF_KIT_JSON_OPERATIONS
  TKitSVGBitmap();
  ~TKitSVGBitmap() override;

  virtual bool HasSVG() const;
  // Only from another TKitSVGBitmap: its bytes, parsed anew (a parse error
  // ends the copy quietly). Other sources are ignored. Signals a change.
  void Assign(TPersistent* Source) override;
  // Clears the document and the file name (the bytes stay); signals a change.
  void Clear();

  bool Empty() const override;
  // The view box size times the main form's monitor scale against 96 DPI.
  int Width() const override;
  int Height() const override;
  // The size comes from the document.
  void SetSize(int AWidth, int AHeight) override {}

  // Copies the whole stream (from its start) and parses it; a parse error
  // is swallowed. Signals a change. Nothing for a null stream.
  void LoadFromStream(TStream* Stream) override;
  // The stored bytes from their start; nothing for a null stream.
  void SaveToStream(TStream* Stream) override;
  // Loads and parses the file; errors propagate.
  void LoadFromFile(const QString& FileName);
  // Writes the stored bytes; nothing without a document object.
  void SaveToFile(const QString& FileName);
  // True when the bytes carry no raster or metafile signature.
  static bool CanLoadFromStream(TStream* Stream);

  // Form data: 4-byte little-endian signed count N, then N bytes. A count
  // below 0 or beyond the data raises EReadError; a parse error propagates.
  void ReadData(TStream* Stream) override;
  void WriteData(TStream* Stream) override;
  bool Equals(TGraphic* Graphic) override;
  QImage ToImage() override;

  TKitSVGImport* SVG() const { return FSVG.get(); }
  const QString& FileName() const { return FFileName; }
  // A different name loads that file.
  void SetFileName(const QString& Value);
  // The stored bytes.
  const TMemoryStream* Data() const { return FStream.get(); }

 protected:
  void AssignTo(TPersistent* Dest) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;

 private:
  void Parse();

  std::unique_ptr<TKitSVGImport> FSVG;
  std::unique_ptr<TMemoryStream> FStream;
  QString FFileName;
};

// The picture of fills, textures and bitmap properties; it can hold an SVG
// graphic.
class TKitBitmap : public TPicture {
 public:
  TF_DECLARE_PUBLISHED(TKitBitmap)
  TF_KIT_JSON_OPERATIONS
  TKitBitmap() = default;

  // The graphic is a TKitSVGBitmap with a document that has elements.
  virtual bool HasSVG() const;
  // That graphic's document, else null.
  TKitSVGImport* SVG() const;

  // A new picture loaded from the stream; the caller owns it.
  static std::unique_ptr<TKitBitmap> CreateFromStream(TStream* AStream);
  static std::unique_ptr<TKitBitmap> CreateFromResource(const QString& AName);
  static std::unique_ptr<TKitBitmap> CreateFromResource(const QString& AName, NativeInt AInstance);
  // Loads the raw-data resource of that name; a missing one leaves the
  // picture as it is.
  void LoadFromResource(const QString& AName);
  void LoadFromResource(const QString& AName, NativeInt AInstance);
};

class TKitScaledBitmap : public TCollectionItem {
 public:
  TF_DECLARE_PUBLISHED(TKitScaledBitmap)
  TF_KIT_JSON_OPERATIONS
  explicit TKitScaledBitmap(TCollection* Collection);
  ~TKitScaledBitmap() override;

  // From another scaled bitmap: picture, name and scale; others are ignored.
  void Assign(TPersistent* Source) override;

  TKitBitmap* Bitmap() const { return FBitmap.get(); }
  // Assigned into the owned picture.
  void SetBitmap(TKitBitmap* Value);
  const QString& BitmapName() const { return FBitmapName; }
  void SetBitmapName(const QString& Value);
  float Scale() const { return FScale; }
  void SetScale(float Value);

 private:
  std::unique_ptr<TKitBitmap> FBitmap;
  float FScale = 1.0f;
  QString FBitmapName;
};

class TKitScaledBitmaps : public TKitOwnedCollection<TKitScaledBitmap> {
 public:
  TF_DECLARE_PUBLISHED(TKitScaledBitmaps)
  TF_KIT_JSON_OPERATIONS
  explicit TKitScaledBitmaps(TPersistent* AOwner);

  TKitScaledBitmap* Add(float Scale = 1.0f);
  TKitScaledBitmap* AddBitmap(TKitBitmap* Bitmap, float Scale = 1.0f);
  TKitScaledBitmap* AddDrawBitmap(TGraphic* Bitmap, float Scale = 1.0f);
  TKitScaledBitmap* AddBitmapFromFile(const QString& FileName, float Scale = 1.0f);
  TKitScaledBitmap* AddBitmapFromResource(const QString& ResourceName, float Scale = 1.0f);
  TKitScaledBitmap* AddBitmapFromResource(const QString& ResourceName, NativeInt AInstance, float Scale);
  TKitScaledBitmap* AddBitmapName(const QString& BitmapName, float Scale = 1.0f);
  TKitScaledBitmap* Insert(int Index, float Scale = 1.0f);
  TKitScaledBitmap* Items(int Index) const { return GetItem(Index); }
  void SetItems(int Index, TKitScaledBitmap* Value) { GetItem(Index)->Assign(Value); }
  // The item of exactly that scale, else the one with the largest scale
  // above 0 (the first of equal ones); null when empty.
  TKitScaledBitmap* GetItemByScale(float Scale) const;
  TKitBitmap* GetBitmapByScale(float Scale) const;
  TKitBitmap* Bitmaps(float Scale) const { return GetBitmapByScale(Scale); }
  // Into the item GetItemByScale answers, or a new item of that scale when
  // the collection is empty.
  void SetBitmaps(float Scale, TKitBitmap* Value);

  TNotifyEvent OnChange;

 protected:
  void Update(TCollectionItem* Item) override;
};

// True for null, a picture without graphic, or an empty graphic.
bool IsBitmapEmpty(TPicture* APicture);
// The picture's graphic; null for null.
TGraphic* GetBitmapGraphic(TPicture* APicture);
