// Routines on float rectangles and points, the JSON operations shared by the
// library classes, and the picture base types.

#include "foundation/KitTypes.h"

#include "foundation/KitGraphicsSVGEngine.h"

#include <QFile>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "foundation/KitPersistence.h"
#include "foundation/KitUtils.h"
#include "platform/rtl/Encoding.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/ImagingGraphics.h"

namespace {
// Two singles that differ by at most max(1E-4, 1E-4 * the smaller
// magnitude) are the same value.
bool SameSingle(float A, float B) {
  constexpr float resolution = 1E-4f;
  const float epsilon = std::max(std::min(std::fabs(A), std::fabs(B)) * resolution, resolution);
  return std::fabs(A - B) <= epsilon;
}
}  // namespace

bool RectFOffset(TRectF& R, float DX, float DY) {
  R.Left += DX;
  R.Right += DX;
  R.Top += DY;
  R.Bottom += DY;
  return true;
}

void RectFInflate(TRectF& R, float DX, float DY) {
  R.Left -= DX;
  R.Right += DX;
  R.Top -= DY;
  R.Bottom += DY;
}

bool RectFHasPoint(const TRectF& R, const TPointF& P) {
  return R.Left <= P.X && P.X < R.Right && R.Top <= P.Y && P.Y < R.Bottom;
}

bool RectFOverlaps(const TRectF& A, const TRectF& B) {
  return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

TRectF RectFIntersection(const TRectF& A, const TRectF& B) {
  const TRectF result(std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right),
                      std::min(A.Bottom, B.Bottom));
  if (RectFIsVoid(result)) return TRectF();
  return result;
}

bool RectFIsVoid(const TRectF& R) {
  return R.Left > R.Right || SameSingle(R.Left, R.Right) || R.Top > R.Bottom || SameSingle(R.Top, R.Bottom);
}

float RectFWidth(const TRectF& R) { return R.Right - R.Left; }

float RectFHeight(const TRectF& R) { return R.Bottom - R.Top; }

void RectFCenter(TRectF& R, const TRectF& Within) {
  RectFOffset(R, -R.Left, -R.Top);
  RectFOffset(R, static_cast<float>(Round((RectFWidth(Within) - RectFWidth(R)) / 2)),
              static_cast<float>(Round((RectFHeight(Within) - RectFHeight(R)) / 2)));
  RectFOffset(R, Within.Left, Within.Top);
}

TRectF RectFCenterIn(const TRectF& R, const TRectF& Within) {
  TRectF result = R;
  RectFCenter(result, Within);
  return result;
}

TRectF RectFFitIn(const TRectF& R, const TRectF& Within, float& Scale) {
  if (RectFWidth(Within) > 0 && RectFHeight(Within) > 0) {
    Scale = std::max(RectFHeight(R) / RectFHeight(Within), RectFWidth(R) / RectFWidth(Within));
    if (!(Scale > 0)) {
      // R has no extent to scale: it is only centred.
      Scale = 1;
      return RectFCenterIn(R, Within);
    }
    TRectF result(0, 0, RectFWidth(R) / Scale, RectFHeight(R) / Scale);
    RectFCenter(result, Within);
    return result;
  }
  Scale = 1;
  return R;
}

TRectF RectFFitIn(const TRectF& R, const TRectF& Within) {
  float scale = 1;
  return RectFFitIn(R, Within, scale);
}

void RectFSnapToPixels(const TRectF& R, bool AHalfPixel, TRectF& Result, float Scale) {
  if (Scale <= 0) Scale = 1;
  Result.Left = static_cast<float>(Trunc(R.Left * Scale)) / Scale;
  Result.Top = static_cast<float>(Trunc(R.Top * Scale)) / Scale;
  Result.Right = static_cast<float>(Round(Scale * RectFWidth(R))) / Scale + Result.Left;
  Result.Bottom = static_cast<float>(Round(Scale * RectFHeight(R))) / Scale + Result.Top;
  if (AHalfPixel) {
    const float half = 1 / (2 * Scale);
    RectFOffset(Result, half, half);
  }
}

TRect RectFToRect(const TRectF& R) {
  return TRect(static_cast<int>(Round(R.Left)), static_cast<int>(Round(R.Top)), static_cast<int>(Round(R.Right)),
               static_cast<int>(Round(R.Bottom)));
}

TRectF RectToRectF(const TRect& R) {
  return TRectF(static_cast<float>(R.Left), static_cast<float>(R.Top), static_cast<float>(R.Right),
                static_cast<float>(R.Bottom));
}

TPointF PointToPointF(const TPoint& P) { return TPointF(static_cast<float>(P.X), static_cast<float>(P.Y)); }

TSize PointFToSize(const TPointF& P) { return TSize(static_cast<int>(Round(P.X)), static_cast<int>(Round(P.Y))); }

float PointFLength(const TPointF& P) { return static_cast<float>(std::sqrt(P.X * P.X + P.Y * P.Y)); }

TRect RectCopy(const TRect& R) { return R; }

// ---------------------------------------------------------------------------
// JSON operations

QString ObjectToJSON(TObject* AObject) {
  // The writer escapes every character above U+007F, so the 8-bit stream
  // holds the text without loss.
  TStringStream stream(QString(), TEncoding::ANSI());
  TKitPersistence::SaveSettingsToStream(AObject, &stream);
  return stream.DataString();
}

QString ObjectToJSONExcluding(TObject* AObject, const TKitObjectExcludePropertyListArray& AExcludedProperties) {
  const TKitExcludePropertyListArray previous = ExcludeProperties;
  ExcludeProperties = AExcludedProperties;
  try {
    QString result = ObjectToJSON(AObject);
    ExcludeProperties = previous;
    return result;
  } catch (...) {
    ExcludeProperties = previous;
    throw;
  }
}

void ObjectFromJSON(TObject* AObject, const QString& Value) {
  const QString previousTypeKey = TypeKeyName;
  TObject* const previousReference = IOReference;
  TypeKeyName.clear();
  IOReference = AObject;
  try {
    TStringStream stream(Value, TEncoding::ANSI());
    TKitPersistence::LoadSettingsFromStream(AObject, &stream);
  } catch (...) {
    TypeKeyName = previousTypeKey;
    IOReference = previousReference;
    throw;
  }
  TypeKeyName = previousTypeKey;
  IOReference = previousReference;
}

void ObjectLog(TObject* AObject) { TKitUtils::Log(ObjectToJSON(AObject)); }

void ObjectSaveToJSONFile(TObject* AObject, const QString& AFileName) {
  TKitPersistence::SaveSettingsToFile(AObject, AFileName);
}

void ObjectLoadFromJSONFile(TObject* AObject, const QString& AFileName) {
  TKitPersistence::LoadSettingsFromFile(AObject, AFileName);
}

void ObjectSaveToJSONStream(TObject* AObject, TStream* AStream) {
  TKitPersistence::SaveSettingsToStream(AObject, AStream);
}

void ObjectLoadFromJSONStream(TObject* AObject, TStream* AStream) {
  TKitPersistence::LoadSettingsFromStream(AObject, AStream);
}

// ---------------------------------------------------------------------------
// Published tables

TF_PUBLISHED(TKitSVGImport, TPersistent) {
  using S = TKitSVGImport;
  return TPublished<S>()
      .Boolean("GrayScale", &S::GrayScale, &S::SetGrayScale)
      .Default(false)
      .Color("CustomFillColor", &S::CustomFillColor, &S::SetCustomFillColor)
      .Default(-1)
      .Color("CustomStrokeColor", &S::CustomStrokeColor, &S::SetCustomStrokeColor)
      .Default(-1)
      .Color("TintColor", &S::TintColor, &S::SetTintColor)
      .Default(-1)
      .Float("CustomOpacity", &S::CustomOpacity, &S::SetCustomOpacity)
      .Stored([](const S& s) { return s.CustomOpacity() != -1.0f; })
      .Float("RotationAngle", &S::RotationAngle, &S::SetRotationAngle)
      .Stored([](const S& s) { return s.RotationAngle() != 0; });
}

TF_PUBLISHED(TKitSVGBitmap, TGraphic) { return TPublished<TKitSVGBitmap>(); }

TF_PUBLISHED(TKitBitmap, TPicture) { return TPublished<TKitBitmap>(); }

TF_PUBLISHED(TKitScaledBitmap, TCollectionItem) {
  using B = TKitScaledBitmap;
  return TPublished<B>()
      .Object("Bitmap", &B::Bitmap, &B::SetBitmap)
      .String("BitmapName", &B::BitmapName, &B::SetBitmapName)
      .Float("Scale", &B::Scale, &B::SetScale)
      .Stored([](const B& b) { return b.Scale() != 1.0f; });
}

TF_PUBLISHED(TKitScaledBitmaps, TOwnedCollection) { return TPublished<TKitScaledBitmaps>(); }

// ---------------------------------------------------------------------------
// TKitSVGImport

namespace {
[[noreturn]] void RaiseAbstract() { throw EAbstractError(QString::fromUtf8(RtlConsts::SAbstractError)); }

TKitSVGImport::TKitSVGImportFactory& SVGImportFactory() {
  static TKitSVGImport::TKitSVGImportFactory factory;
  return factory;
}

// The main form's monitor against 96 DPI when the form is scaled; 1 without
// a main form or for an unscaled one.
float DPIScale() { return TKitUtils::GetDPIScale(nullptr, -1); }
}  // namespace

bool TKitSVGImport::HasElements() { RaiseAbstract(); }
int TKitSVGImport::ElementCount() { RaiseAbstract(); }
std::unique_ptr<TKitBitmap> TKitSVGImport::GenerateBitmap(float, float) { RaiseAbstract(); }
void TKitSVGImport::Clear() { RaiseAbstract(); }
void TKitSVGImport::Draw(TCanvas*, const TRectF&, bool) { RaiseAbstract(); }
void TKitSVGImport::LoadFromText(const QString&) { RaiseAbstract(); }
void TKitSVGImport::LoadFromFile(const QString&) { RaiseAbstract(); }
void TKitSVGImport::LoadFromStream(TStream*) { RaiseAbstract(); }
void TKitSVGImport::SaveToStream(TStream*) { RaiseAbstract(); }
void TKitSVGImport::SaveToFile(const QString&) { RaiseAbstract(); }

void TKitSVGImport::SetSVGImportFactory(TKitSVGImportFactory AFactory) { SVGImportFactory() = std::move(AFactory); }

std::unique_ptr<TKitSVGImport> TKitSVGImport::CreateSVGImport() {
  const auto& factory = SVGImportFactory();
  return factory ? factory() : std::make_unique<TKitGraphicsSVGImport>();
}

// ---------------------------------------------------------------------------
// TKitSVGBitmap

TKitSVGBitmap::TKitSVGBitmap()
    : FSVG(TKitSVGImport::CreateSVGImport()), FStream(std::make_unique<TMemoryStream>()) {}

TKitSVGBitmap::~TKitSVGBitmap() = default;

bool TKitSVGBitmap::HasSVG() const { return FSVG && FSVG->HasElements(); }

bool TKitSVGBitmap::Empty() const { return !FSVG || !FSVG->HasElements(); }

namespace {
// A side of the view box in pixels: 0 for a box that is empty, inverted
// (a document that did not load keeps the "nothing yet" box) or beyond any
// picture size.
int ViewSide(float ALength) {
  const double pixels = double(ALength) * DPIScale();
  if (!std::isfinite(pixels) || pixels <= 0 || pixels > double(std::numeric_limits<int>::max())) return 0;
  return static_cast<int>(Round(pixels));
}
}  // namespace

int TKitSVGBitmap::Width() const {
  if (!FSVG) return 0;
  const TRectF& r = FSVG->ViewRect();
  return ViewSide(r.Right - r.Left);
}

int TKitSVGBitmap::Height() const {
  if (!FSVG) return 0;
  const TRectF& r = FSVG->ViewRect();
  return ViewSide(r.Bottom - r.Top);
}

void TKitSVGBitmap::Parse() {
  if (!FSVG) return;
  FStream->SetPosition(0);
  FSVG->LoadFromStream(FStream.get());
  FStream->SetPosition(0);
}

void TKitSVGBitmap::Clear() {
  if (FSVG) FSVG->Clear();
  FFileName.clear();
  Changed(this);
}

void TKitSVGBitmap::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TKitSVGBitmap*>(Source);
  if (source == nullptr || source == this) return;
  try {
    if (FSVG) FSVG->Clear();
    FStream->Clear();
    FStream->LoadFromStream(source->FStream.get());
    source->FStream->SetPosition(0);
    Parse();
  } catch (const Exception&) {
    // A document that does not parse leaves the bytes copied so far.
  }
  Changed(this);
}

void TKitSVGBitmap::AssignTo(TPersistent* Dest) {
  if (auto* dest = dynamic_cast<TKitSVGBitmap*>(Dest)) {
    dest->Assign(this);
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TKitSVGBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (!FSVG || !FSVG->HasElements()) return;
  FSVG->Draw(ACanvas, RectToRectF(Rect), true);
}

void TKitSVGBitmap::LoadFromFile(const QString& FileName) {
  FStream->Clear();
  FStream->LoadFromFile(FileName);
  Parse();
  Changed(this);
}

void TKitSVGBitmap::SaveToFile(const QString& FileName) {
  if (!FSVG) return;
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

void TKitSVGBitmap::SetFileName(const QString& Value) {
  if (Value == FFileName) return;
  LoadFromFile(Value);
  FFileName = Value;
}

void TKitSVGBitmap::LoadFromStream(TStream* Stream) {
  if (Stream == nullptr) return;
  FFileName.clear();
  try {
    FStream->LoadFromStream(Stream);
    Parse();
  } catch (const Exception&) {
    // An unreadable document leaves the graphic without elements.
  }
  Changed(this);
}

void TKitSVGBitmap::SaveToStream(TStream* Stream) {
  if (Stream == nullptr) return;
  FStream->SetPosition(0);
  if (FStream->Size() > 0) Stream->CopyFrom(FStream.get(), FStream->Size());
  FStream->SetPosition(0);
}

bool TKitSVGBitmap::CanLoadFromStream(TStream* Stream) {
  if (Stream == nullptr) return false;
  if (!TKitUtils::GetImageType(Stream, false).isEmpty()) return false;
  // Metafiles carry no signature of GetImageType's table either.
  return !TMetafile::CanLoadFromStream(Stream);
}

void TKitSVGBitmap::ReadData(TStream* Stream) {
  qint32 count = 0;
  if (Stream->ReadData(count) != static_cast<Int64>(sizeof(count)))
    throw EReadError(QString::fromUtf8(RtlConsts::SReadError));
  const Int64 available = Stream->Size() - Stream->Position();
  // A count that is negative or runs past the data is a broken form, not a
  // request to read beyond it.
  if (count < 0 || count > available) throw EReadError(QString::fromUtf8(RtlConsts::SReadError));
  FStream->Clear();
  if (count > 0) {
    FStream->CopyFrom(Stream, count);
    Parse();
  }
  Changed(this);
}

void TKitSVGBitmap::WriteData(TStream* Stream) {
  const Int64 size = FStream->Size();
  if (size > std::numeric_limits<qint32>::max()) throw EWriteError(QString::fromUtf8(RtlConsts::SWriteError));
  Stream->WriteData(static_cast<qint32>(size));
  SaveToStream(Stream);
}

bool TKitSVGBitmap::Equals(TGraphic* Graphic) {
  auto* other = dynamic_cast<TKitSVGBitmap*>(Graphic);
  if (other == nullptr) return false;
  const Int64 size = FStream->Size();
  if (size != other->FStream->Size()) return false;
  return size == 0 || std::memcmp(FStream->Memory(), other->FStream->Memory(), static_cast<size_t>(size)) == 0;
}

QImage TKitSVGBitmap::ToImage() {
  if (Empty() || Width() <= 0 || Height() <= 0) return QImage();
  std::unique_ptr<TKitBitmap> picture = FSVG->GenerateBitmap(Width(), Height());
  if (!picture || picture->Graphic() == nullptr) return QImage();
  return picture->Graphic()->ToImage();
}

// ---------------------------------------------------------------------------
// TKitBitmap

bool TKitBitmap::HasSVG() const {
  auto* svg = dynamic_cast<TKitSVGBitmap*>(Graphic());
  return svg != nullptr && svg->HasSVG();
}

TKitSVGImport* TKitBitmap::SVG() const {
  return HasSVG() ? static_cast<TKitSVGBitmap*>(Graphic())->SVG() : nullptr;
}

std::unique_ptr<TKitBitmap> TKitBitmap::CreateFromStream(TStream* AStream) {
  auto result = std::make_unique<TKitBitmap>();
  result->LoadFromStream(AStream);
  return result;
}

std::unique_ptr<TKitBitmap> TKitBitmap::CreateFromResource(const QString& AName) {
  auto result = std::make_unique<TKitBitmap>();
  result->LoadFromResource(AName);
  return result;
}

std::unique_ptr<TKitBitmap> TKitBitmap::CreateFromResource(const QString& AName, NativeInt AInstance) {
  auto result = std::make_unique<TKitBitmap>();
  result->LoadFromResource(AName, AInstance);
  return result;
}

void TKitBitmap::LoadFromResource(const QString& AName) {
  if (std::unique_ptr<TResourceStream> stream = TKitUtils::GetResourceStream(AName)) LoadFromStream(stream.get());
}

void TKitBitmap::LoadFromResource(const QString& AName, NativeInt AInstance) {
  if (std::unique_ptr<TResourceStream> stream = TKitUtils::GetResourceStream(AName, AInstance))
    LoadFromStream(stream.get());
}

// ---------------------------------------------------------------------------
// TKitScaledBitmap

TKitScaledBitmap::TKitScaledBitmap(TCollection* Collection)
    : TCollectionItem(Collection), FBitmap(std::make_unique<TKitBitmap>()) {
  FBitmap->OnChange = [this](TObject*) { Changed(false); };
}

TKitScaledBitmap::~TKitScaledBitmap() { FBitmap->OnChange = nullptr; }

void TKitScaledBitmap::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TKitScaledBitmap*>(Source);
  if (source == nullptr || source == this) return;
  FBitmap->Assign(source->FBitmap.get());
  FBitmapName = source->FBitmapName;
  FScale = source->FScale;
}

void TKitScaledBitmap::SetBitmap(TKitBitmap* Value) {
  if (Value == FBitmap.get()) return;
  FBitmap->Assign(Value);
}

void TKitScaledBitmap::SetBitmapName(const QString& Value) {
  if (Value == FBitmapName) return;
  FBitmapName = Value;
  Changed(false);
}

void TKitScaledBitmap::SetScale(float Value) {
  if (Value == FScale) return;
  FScale = Value;
  Changed(false);
}

// ---------------------------------------------------------------------------
// TKitScaledBitmaps

TKitScaledBitmaps::TKitScaledBitmaps(TPersistent* AOwner) : TKitOwnedCollection<TKitScaledBitmap>(AOwner) {}

TKitScaledBitmap* TKitScaledBitmaps::Add(float Scale) {
  auto* item = static_cast<TKitScaledBitmap*>(TCollection::Add());
  item->SetScale(Scale);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::AddBitmap(TKitBitmap* Bitmap, float Scale) {
  TKitScaledBitmap* item = Add(Scale);
  item->SetBitmap(Bitmap);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::AddDrawBitmap(TGraphic* Bitmap, float Scale) {
  TKitScaledBitmap* item = Add(Scale);
  item->Bitmap()->Assign(Bitmap);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::AddBitmapFromFile(const QString& FileName, float Scale) {
  TKitScaledBitmap* item = Add(Scale);
  item->Bitmap()->LoadFromFile(FileName);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::AddBitmapFromResource(const QString& ResourceName, float Scale) {
  TKitScaledBitmap* item = Add(Scale);
  item->Bitmap()->LoadFromResource(ResourceName);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::AddBitmapFromResource(const QString& ResourceName, NativeInt AInstance,
                                                           float Scale) {
  TKitScaledBitmap* item = Add(Scale);
  item->Bitmap()->LoadFromResource(ResourceName, AInstance);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::AddBitmapName(const QString& BitmapName, float Scale) {
  TKitScaledBitmap* item = Add(Scale);
  item->SetBitmapName(BitmapName);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::Insert(int Index, float Scale) {
  auto* item = static_cast<TKitScaledBitmap*>(TCollection::Insert(Index));
  item->SetScale(Scale);
  return item;
}

TKitScaledBitmap* TKitScaledBitmaps::GetItemByScale(float Scale) const {
  TKitScaledBitmap* best = nullptr;
  for (int i = 0; i < Count(); ++i) {
    TKitScaledBitmap* item = GetItem(i);
    if (item->Scale() == Scale) return item;
    if (item->Scale() > 0 && (best == nullptr || item->Scale() > best->Scale())) best = item;
  }
  return best;
}

TKitBitmap* TKitScaledBitmaps::GetBitmapByScale(float Scale) const {
  TKitScaledBitmap* item = GetItemByScale(Scale);
  return item ? item->Bitmap() : nullptr;
}

void TKitScaledBitmaps::SetBitmaps(float Scale, TKitBitmap* Value) {
  TKitScaledBitmap* item = GetItemByScale(Scale);
  if (item == nullptr && Count() == 0) item = Add(Scale);
  if (item != nullptr) item->SetBitmap(Value);
}

void TKitScaledBitmaps::Update(TCollectionItem* Item) {
  TKitOwnedCollection<TKitScaledBitmap>::Update(Item);
  if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// Picture routines

bool IsBitmapEmpty(TPicture* APicture) {
  return APicture == nullptr || APicture->Graphic() == nullptr || APicture->Graphic()->Empty();
}

TGraphic* GetBitmapGraphic(TPicture* APicture) { return APicture ? APicture->Graphic() : nullptr; }

// ---------------------------------------------------------------------------
// The SVG picture format, registered for the life of the program.

namespace {
struct TKitSVGFormatRegistration {
  TKitSVGFormatRegistration() {
    TPicture::RegisterFileFormat(QStringLiteral("SVG"), QStringLiteral("Scalable Vector Graphics (KWF)"),
                                 TGraphicClass::Of<TKitSVGBitmap>());
  }
  ~TKitSVGFormatRegistration() { TPicture::UnregisterGraphicClass(TGraphicClass::Of<TKitSVGBitmap>()); }
};
const TKitSVGFormatRegistration SVGFormatRegistration;
}  // namespace
