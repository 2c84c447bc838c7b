// The drag-and-drop framework and its bridge to Qt's drag and drop.

#include "foundation/ksgdd.h"

#include <QCoreApplication>
#include <QDrag>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWidget>
#include <cstring>

#include "platform/rtl/Encoding.h"
#include "platform/rtl/SysUtils.h"
#include "platform/win32/Messages.h"

namespace {
Q_LOGGING_CATEGORY(lcDnd, "tf.dnd")

bool gRtfSwitch = false;

// An absent format number never matches a real one.
bool Is(Word Format, Word Known) { return Known != 0 && Format == Known; }

QByteArray Utf16Z(const QString& s) {
  QByteArray b(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
  b.append(2, '\0');
  return b;
}

QByteArray AnsiZ(const QString& s) {
  QByteArray b = TEncoding::ANSI()->GetBytes(s);
  b.append('\0');
  return b;
}

QString FromUtf16Z(const QByteArray& b) {
  const qsizetype chars = b.size() / 2;
  QString s(reinterpret_cast<const QChar*>(b.constData()), chars);
  const qsizetype z = s.indexOf(QChar(0));
  if (z >= 0) s.truncate(z);
  return s;
}

QString FromAnsiZ(const QByteArray& b) {
  const qsizetype z = b.indexOf('\0');
  return TEncoding::ANSI()->GetString(z >= 0 ? b.left(z) : b);
}

qint32 LE32(const QByteArray& b, qsizetype at) {
  quint32 v = 0;
  for (int i = 0; i < 4; ++i) v |= quint32(quint8(b[at + i])) << (8 * i);
  return qint32(v);
}

void PutLE32(QByteArray& b, qint32 v) {
  for (int i = 0; i < 4; ++i) b.append(char((quint32(v) >> (8 * i)) & 0xFF));
}

}  // namespace

// ---------------------------------------------------------------------------
// Formats

namespace ksgdd {
Word CF_RTF = 0;
Word CF_GRIDCOL = 0;
Word CF_GRIDCELLS = 0;
Word CF_URL = 0;
Word CF_URI = 0;
Word CF_FILECONTENTS = 0;
Word CF_FILEGROUPDESCRIPTOR = 0;
Word CF_FILEGROUPDESCRIPTORW = 0;

void RegisterDropFormats() {
  auto reg = [](const char* Name) { return Word(RegisterClipboardFormat(QString::fromLatin1(Name))); };
  auto high = [](Word v) { return Word((v & 0x7FFF) | 0x8000); };
  CF_RTF = reg("Rich Text Format");
  CF_GRIDCOL = reg("Grid Column");
  CF_GRIDCELLS = reg("TKitStringGrid Cells");
  CF_URL = reg("UniformResourceLocator");
  CF_URI = reg("UniformResourceLocator");
  CF_FILECONTENTS = high(reg("FileContents"));
  CF_FILEGROUPDESCRIPTOR = high(reg("FileGroupDescriptor"));
  CF_FILEGROUPDESCRIPTORW = high(reg("FileGroupDescriptorW"));
}

bool RTFDragDropEnabled() { return gRtfSwitch; }

QString GridColumnMimeType() { return QStringLiteral("application/x-tkit-grid-column"); }
QString GridCellsMimeType() {
  return ClipboardFormatMimeType(RegisterClipboardFormat(QStringLiteral("TKitStringGrid Cells")));
}
}  // namespace ksgdd

using namespace ksgdd;

void EnableRTFDragDrop(bool Enable) { gRtfSwitch = Enable; }

DWORD ChooseDropEffect(DWORD KeyState, DWORD AllowedEffects) {
  if (KeyState & MK_CONTROL) return DROPEFFECT_COPY;
  return (AllowedEffects & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

// ---------------------------------------------------------------------------
// TEnumFormats

TEnumFormats::TEnumFormats(std::shared_ptr<IDataObject> DataObject) : FDataObject(std::move(DataObject)) {
  if (FDataObject == nullptr || FDataObject->EnumFormatEtc(DATADIR_GET, FEnumerator) != S_OK || !FEnumerator)
    throw Exception(QStringLiteral("Cannot get the format enumerator"));
  Reset();
  FFiles = std::make_unique<TStringList>();
  RegisterDropFormats();
}

TEnumFormats::~TEnumFormats() = default;

bool TEnumFormats::Reset() {
  FValid = false;
  FCount = 0;
  return FEnumerator->Reset() == S_OK;
}

bool TEnumFormats::Next() {
  ULONG fetched = 0;
  FValid = FEnumerator->Next(1, &FFormatEtc, &fetched) == S_OK && fetched == 1;
  if (FValid) ++FCount;
  return FValid;
}

bool TEnumFormats::HasFormat(Word ClipFormat) {
  if (ClipFormat == 0) return false;
  Reset();
  while (Next())
    if (FFormatEtc.cfFormat == ClipFormat) return true;
  return false;
}

QByteArray TEnumFormats::Handle(DWORD Tymed, bool* Ok) {
  if (Ok) *Ok = false;
  if (!FValid || (FFormatEtc.tymed & Tymed) == 0) return QByteArray();
  tagFORMATETC fe = FFormatEtc;
  fe.tymed = Tymed;
  tagSTGMEDIUM medium;
  if (FDataObject->GetData(fe, medium) != S_OK || medium.tymed != Tymed) return QByteArray();
  if (Ok) *Ok = true;
  return medium.hGlobal;
}

int TEnumFormats::Col() {
  if (!HasCol()) return -1;
  const QByteArray b = GlobalHandle();
  return b.size() >= 4 ? LE32(b, 0) : -1;
}

std::unique_ptr<TMemoryStream> TEnumFormats::Stream() {
  if (!HasGridCells()) return nullptr;
  const QByteArray b = GlobalHandle();
  if (b.size() < 8) return nullptr;
  const qint32 n = LE32(b, 0);
  // The size the block claims must fit the block.
  if (n < 0 || qint64(n) > b.size() - 8) return nullptr;
  auto ms = std::make_unique<TMemoryStream>();
  ms->Write(b.constData() + 8, n);
  ms->SetPosition(0);
  return ms;
}

QString TEnumFormats::Text() { return HasText() ? FromUtf16Z(GlobalHandle()) : QString(); }

QString TEnumFormats::RTF() { return HasRTF() ? FromAnsiZ(GlobalHandle()) : QString(); }

QString TEnumFormats::URI() {
  if (!HasURI()) return QString();
  return TEncoding::ANSI()->GetString(TEncoding::ANSI()->GetBytes(FromUtf16Z(GlobalHandle())));
}

bool TEnumFormats::ReadFiles() {
  FFiles->Clear();
  const QByteArray b = GlobalHandle();
  // DROPFILES: offset of the names (32 bits), point (2 x 32), non-client
  // flag (32), wide flag (32).
  if (b.size() < 20) return false;
  qint64 at = qint64(quint32(LE32(b, 0))) & ~qint64(1);
  const bool wide = LE32(b, 16) != 0;
  if (at < 20 || at > b.size()) return false;
  while (at < b.size()) {
    QString name;
    if (wide) {
      qint64 end = at;
      while (end + 1 < b.size() && (b[end] != 0 || b[end + 1] != 0)) end += 2;
      if (end + 1 >= b.size()) break;  // no terminator: the rest is not a name
      name = QString(reinterpret_cast<const QChar*>(b.constData() + at), (end - at) / 2);
      at = end + 2;
    } else {
      const qsizetype end = b.indexOf('\0', at);
      if (end < 0) break;
      name = TEncoding::ANSI()->GetString(b.mid(at, end - at));
      at = end + 1;
    }
    if (name.isEmpty()) break;
    FFiles->Add(name);
  }
  return FFiles->Count() > 0;
}

// ---------------------------------------------------------------------------
// TKSGDropTarget

TKSGDropTarget::TKSGDropTarget() = default;
TKSGDropTarget::~TKSGDropTarget() = default;

namespace {
[[noreturn]] void Abstract() { throw EAbstractError(QStringLiteral("Abstract Error")); }
}  // namespace

bool TKSGDropTarget::DropText(TPoint, const QString&) { Abstract(); }
void TKSGDropTarget::DropStream(TPoint, TMemoryStream*) { Abstract(); }
void TKSGDropTarget::DropCol(TPoint, int) { Abstract(); }
void TKSGDropTarget::DropRTF(TPoint, const QString&) { Abstract(); }
void TKSGDropTarget::DropFiles(TPoint, TStrings*) { Abstract(); }
void TKSGDropTarget::DropFileContents(TPoint) { Abstract(); }
void TKSGDropTarget::DropURL(TPoint, const QString&) { Abstract(); }
void TKSGDropTarget::DragMouseEnter() { Abstract(); }
void TKSGDropTarget::DragMouseLeave() { Abstract(); }

HRESULT TKSGDropTarget::DragEnter(std::shared_ptr<IDataObject> DataObject, DWORD KeyState, TPoint, DWORD& Effect) {
  FIsURI = false;
  FOk = false;
  FDropFormats = TDropFormats();
  try {
    TEnumFormats ef(std::move(DataObject));
    const bool text = ef.HasText(), file = ef.HasFile(), rtf = ef.HasRTF(), col = ef.HasCol();
    const bool url = ef.HasURL() || ef.HasURI(), cells = ef.HasGridCells();
    FOk = (text && FAcceptText) || (file && FAcceptFiles) || (rtf && RTFDragDropEnabled() && FAcceptText) ||
          (col && FAcceptCols) || (url && FAcceptURLs) || cells;
    if (text) FDropFormats.Include(dfText);
    if (file) FDropFormats.Include(dfFile);
    if (rtf) FDropFormats.Include(dfRTF);
    if (col) FDropFormats.Include(dfCol);
    if (url && FAcceptURLs) {
      FDropFormats.Include(dfURL);
      FDropFormats.Include(dfURI);
    }
    if (cells) FDropFormats.Include(dfGridCells);
  } catch (const Exception& e) {
    qCWarning(lcDnd) << "drag refused:" << e.Message();
    FOk = false;
  }
  if (!FOk) Effect = DROPEFFECT_NONE;
  else if (FDropFormats.Contains(dfURI)) {
    Effect = DROPEFFECT_LINK;
    FIsURI = true;
  } else {
    Effect = ChooseDropEffect(KeyState, FAllowedEffects);
  }
  try {
    DragMouseEnter();
  } catch (const Exception& e) {
    qCWarning(lcDnd) << "drag enter:" << e.Message();
  }
  return S_OK;
}

HRESULT TKSGDropTarget::DragOver(DWORD KeyState, TPoint pt, DWORD& Effect) {
  if (FOk) Effect = FIsURI ? DROPEFFECT_LINK : ChooseDropEffect(KeyState, FAllowedEffects);
  else Effect = DROPEFFECT_NONE;
  bool allow = Effect != DROPEFFECT_NONE;
  try {
    DragMouseMove(pt, allow, FDropFormats);
  } catch (const Exception& e) {
    qCWarning(lcDnd) << "drag over:" << e.Message();
    allow = false;
  }
  if (!allow) Effect = DROPEFFECT_NONE;
  return S_OK;
}

HRESULT TKSGDropTarget::DragLeave() {
  FIsURI = false;
  try {
    DragMouseLeave();
  } catch (const Exception& e) {
    qCWarning(lcDnd) << "drag leave:" << e.Message();
  }
  return S_OK;
}

HRESULT TKSGDropTarget::Drop(std::shared_ptr<IDataObject> DataObject, DWORD KeyState, TPoint pt, DWORD& Effect) {
  if (!FOk) {
    Effect = DROPEFFECT_NONE;
    return S_OK;
  }
  bool refused = false;
  FDropRefused = false;
  try {
    TEnumFormats ef(std::move(DataObject));
    const bool url = ef.HasURL();
    if (url && FAcceptURLs) {
      DropURL(pt, ef.Text());
    } else if (ef.HasCol()) {
      DropCol(pt, ef.Col());
    } else {
      if (ef.HasGridCells()) {
        std::unique_ptr<TMemoryStream> stream = ef.Stream();
        if (stream) DropStream(pt, stream.get());
        else refused = true;  // a damaged block
      } else if (ef.HasRTF() && RTFDragDropEnabled()) {
        DropRTF(pt, ef.RTF());
      } else if (ef.HasText()) {
        if (!DropText(pt, ef.Text())) refused = true;
      }
      if (ef.HasFile() && ef.ReadFiles()) DropFiles(pt, ef.Files());
      if (url) DropURL(pt, ef.Text());
    }
  } catch (const Exception& e) {
    qCWarning(lcDnd) << "drop failed:" << e.Message();
    refused = true;
  }
  if (FDropRefused) refused = true;
  Effect = refused ? DROPEFFECT_NONE : (FIsURI ? DROPEFFECT_LINK : ChooseDropEffect(KeyState, FAllowedEffects));
  return S_OK;
}

// ---------------------------------------------------------------------------
// TKSGDropSource

HRESULT TKSGDropSource::QueryContinueDrag(bool EscapePressed, DWORD KeyState) {
  HRESULT result = S_OK;
  if (EscapePressed) {
    DragDropStop();
    result = DRAGDROP_S_CANCEL;
  } else if ((KeyState & MK_LBUTTON) == 0) {
    DragDropStop();
    result = DRAGDROP_S_DROP;
  }
  QueryDrag();
  return result;
}

HRESULT TKSGDropSource::GiveFeedback(DWORD Effect) {
  FNoAccept = Effect == DROPEFFECT_NONE;
  CurrentEffect(Effect);
  return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ---------------------------------------------------------------------------
// TSourceDataObject

TSourceDataObject::TSourceDataObject(const QString& stxt, TMemoryStream* stream, int sidx, const QString& srtf)
    : textdata(stxt), rtfdata(srtf), scolidx(sidx), memstr(stream) {}

HRESULT TSourceDataObject::QueryGetData(const tagFORMATETC& fe) {
  if (fe.dwAspect != DVASPECT_CONTENT || fe.tymed != TYMED_HGLOBAL) return DV_E_FORMATETC;
  const Word f = fe.cfFormat;
  if (!textdata.isEmpty() && (f == CF_TEXT || f == CF_UNICODETEXT || (Is(f, CF_RTF) && RTFDragDropEnabled())))
    return S_OK;
  if (memstr != nullptr && Is(f, CF_GRIDCELLS)) return S_OK;
  if (scolidx != -1 && Is(f, CF_GRIDCOL)) return S_OK;
  return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const tagFORMATETC& fe, tagSTGMEDIUM& Medium) {
  Medium = tagSTGMEDIUM();
  if (QueryGetData(fe) != S_OK) return DV_E_FORMATETC;
  QByteArray block;
  const Word f = fe.cfFormat;
  if (f == CF_TEXT) block = AnsiZ(textdata);
  else if (f == CF_UNICODETEXT) block = Utf16Z(textdata);
  else if (Is(f, CF_RTF)) block = AnsiZ(rtfdata);
  else if (Is(f, CF_GRIDCELLS)) {
    const qint64 n = memstr->Size();
    if (n > 0x7FFFFFFF) return DV_E_FORMATETC;
    PutLE32(block, qint32(n));
    PutLE32(block, 0);
    block.append(static_cast<const char*>(memstr->Memory()), static_cast<qsizetype>(n));
  } else if (Is(f, CF_GRIDCOL)) {
    PutLE32(block, scolidx);
  }
  Medium.tymed = TYMED_HGLOBAL;
  Medium.hGlobal = block;
  return S_OK;
}

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const tagFORMATETC&, tagFORMATETC& FormatEtcOut) {
  FormatEtcOut.ptd = nullptr;
  return E_NOTIMPL;
}

HRESULT TSourceDataObject::EnumDAdvise(void** EnumAdvise) {
  if (EnumAdvise) *EnumAdvise = nullptr;
  return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT TSourceDataObject::EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Enum) {
  if (Direction != DATADIR_GET) {
    Enum.reset();
    return E_NOTIMPL;
  }
  Enum = std::make_shared<TSourceEnumFormatEtc>(scolidx != -1, memstr != nullptr);
  return S_OK;
}

// ---------------------------------------------------------------------------
// TSourceEnumFormatEtc

TSourceEnumFormatEtc::TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, int Index)
    : FIndex(Index), FHasCol(HasCol), FHasGridCells(HasGridCells) {}

std::vector<tagFORMATETC> TSourceEnumFormatEtc::Entries() const {
  std::vector<tagFORMATETC> list;
  auto add = [&](Word f) {
    tagFORMATETC fe;
    fe.cfFormat = f;
    list.push_back(fe);
  };
  add(Word(CF_TEXT));
  add(Word(CF_UNICODETEXT));
  add(CF_RTF);
  if (FHasCol) add(CF_GRIDCOL);
  if (FHasGridCells) add(CF_GRIDCELLS);
  return list;
}

HRESULT TSourceEnumFormatEtc::Next(ULONG celt, tagFORMATETC* rgelt, ULONG* pceltFetched) {
  const std::vector<tagFORMATETC> list = Entries();
  ULONG n = 0;
  while (n < celt && FIndex < static_cast<int>(list.size())) rgelt[n++] = list[FIndex++];
  if (pceltFetched) *pceltFetched = n;
  return n < celt ? S_FALSE : S_OK;
}

HRESULT TSourceEnumFormatEtc::Skip(ULONG celt) {
  const int count = static_cast<int>(Entries().size());
  const qint64 target = qint64(FIndex) + celt;
  FIndex = static_cast<int>(std::min<qint64>(target, count));
  return target > count ? S_FALSE : S_OK;
}

HRESULT TSourceEnumFormatEtc::Reset() {
  FIndex = 0;
  return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& Enum) {
  Enum = std::make_shared<TSourceEnumFormatEtc>(FHasCol, FHasGridCells, FIndex);
  return S_OK;
}

// ---------------------------------------------------------------------------
// The Qt bridge: incoming MIME data as a data object

namespace {

QList<QUrl> UrisOf(const QMimeData* d) { return d->hasUrls() ? d->urls() : QList<QUrl>(); }

QString MozUrl(const QMimeData* d) {
  const QByteArray b = d->data(QStringLiteral("text/x-moz-url"));
  if (b.isEmpty()) return QString();
  // UTF-16: the URL, a line break, the title.
  QString s = FromUtf16Z(b);
  const qsizetype nl = s.indexOf(u'\n');
  return nl >= 0 ? s.left(nl) : s;
}

class TQtDataObject : public IDataObject {
 public:
  explicit TQtDataObject(const QMimeData* Data) : FData(Data) {
    RegisterDropFormats();
    if (FData == nullptr) return;
    for (const QUrl& u : UrisOf(FData)) {
      if (u.isLocalFile()) FFiles << u.toLocalFile();
      else if (u.isValid()) FUrls << u.toString();
    }
    const QString moz = MozUrl(FData);
    if (!moz.isEmpty()) FUrls.prepend(moz);
    // A file list is a file list only: file managers put the names beside
    // it as text too, which a target would otherwise take in as cells.
    if (FData->hasText() && FFiles.isEmpty()) FText = FData->text();
    else if (!FUrls.isEmpty()) FText = FUrls.first();
    auto add = [&](Word f) {
      tagFORMATETC fe;
      fe.cfFormat = f;
      FFormats.push_back(fe);
    };
    if (!FText.isEmpty() || (FData->hasText() && FFiles.isEmpty())) {
      add(Word(CF_TEXT));
      add(Word(CF_UNICODETEXT));
    }
    if (!FFiles.isEmpty()) add(Word(CF_HDROP));
    if (!FUrls.isEmpty()) add(CF_URL);
    if (FData->hasFormat(QStringLiteral("text/rtf")) || FData->hasFormat(QStringLiteral("application/rtf")))
      add(CF_RTF);
    if (FData->hasFormat(GridColumnMimeType())) add(CF_GRIDCOL);
    if (FData->hasFormat(ksgdd::GridCellsMimeType())) add(CF_GRIDCELLS);
  }

  HRESULT GetData(const tagFORMATETC& fe, tagSTGMEDIUM& Medium) override {
    Medium = tagSTGMEDIUM();
    if (QueryGetData(fe) != S_OK) return DV_E_FORMATETC;
    const Word f = fe.cfFormat;
    QByteArray b;
    if (f == CF_TEXT) b = AnsiZ(FText);
    else if (f == CF_UNICODETEXT) b = Utf16Z(FText);
    else if (f == CF_HDROP) {
      PutLE32(b, 20);
      PutLE32(b, 0);
      PutLE32(b, 0);
      PutLE32(b, 0);
      PutLE32(b, 1);
      for (const QString& name : FFiles) b += Utf16Z(name);
      b.append(2, '\0');
    } else if (Is(f, CF_URL)) b = Utf16Z(FUrls.value(0));
    else if (Is(f, CF_RTF)) {
      b = FData->data(QStringLiteral("text/rtf"));
      if (b.isEmpty()) b = FData->data(QStringLiteral("application/rtf"));
      b.append('\0');
    } else if (Is(f, CF_GRIDCOL)) {
      b = FData->data(GridColumnMimeType());
      if (b.size() < 4) return DV_E_FORMATETC;
    } else if (Is(f, CF_GRIDCELLS)) {
      const QByteArray s = FData->data(ksgdd::GridCellsMimeType());
      PutLE32(b, qint32(std::min<qsizetype>(s.size(), 0x7FFFFFFF)));
      PutLE32(b, 0);
      b += s;
    }
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = b;
    return S_OK;
  }
  HRESULT GetDataHere(const tagFORMATETC&, tagSTGMEDIUM&) override { return DV_E_FORMATETC; }
  HRESULT QueryGetData(const tagFORMATETC& fe) override {
    if (fe.dwAspect != DVASPECT_CONTENT || fe.tymed != TYMED_HGLOBAL || FData == nullptr) return DV_E_FORMATETC;
    for (const tagFORMATETC& e : FFormats)
      if (e.cfFormat == fe.cfFormat) return S_OK;
    return DV_E_FORMATETC;
  }
  HRESULT GetCanonicalFormatEtc(const tagFORMATETC&, tagFORMATETC& out) override {
    out.ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT SetData(const tagFORMATETC&, const tagSTGMEDIUM&, bool) override { return DV_E_FORMATETC; }
  HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override;
  HRESULT DAdvise() override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(void** e) override {
    if (e) *e = nullptr;
    return OLE_E_ADVISENOTSUPPORTED;
  }

  std::vector<tagFORMATETC> FFormats;

 private:
  const QMimeData* FData;
  QString FText;
  QStringList FFiles, FUrls;
};

class TListEnum : public IEnumFORMATETC {
 public:
  TListEnum(std::vector<tagFORMATETC> List, int Index) : FList(std::move(List)), FIndex(Index) {}
  HRESULT Next(ULONG celt, tagFORMATETC* rgelt, ULONG* fetched) override {
    ULONG n = 0;
    while (n < celt && FIndex < static_cast<int>(FList.size())) rgelt[n++] = FList[FIndex++];
    if (fetched) *fetched = n;
    return n < celt ? S_FALSE : S_OK;
  }
  HRESULT Skip(ULONG celt) override {
    const qint64 t = qint64(FIndex) + celt;
    FIndex = static_cast<int>(std::min<qint64>(t, FList.size()));
    return t > qint64(FList.size()) ? S_FALSE : S_OK;
  }
  HRESULT Reset() override {
    FIndex = 0;
    return S_OK;
  }
  HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& e) override {
    e = std::make_shared<TListEnum>(FList, FIndex);
    return S_OK;
  }

 private:
  std::vector<tagFORMATETC> FList;
  int FIndex;
};

HRESULT TQtDataObject::EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Enum) {
  if (Direction != DATADIR_GET || FData == nullptr) {
    Enum.reset();
    return E_NOTIMPL;
  }
  Enum = std::make_shared<TListEnum>(FFormats, 0);
  return S_OK;
}

// A source data object as MIME data for Qt's drag.
class TSourceMime : public QMimeData {
 public:
  explicit TSourceMime(std::shared_ptr<IDataObject> Obj) : FObj(std::move(Obj)) { RegisterDropFormats(); }
  // The types of the formats the data object lists (a column drag lists
  // the text formats too, though it gives no text).
  QStringList formats() const override {
    QStringList list;
    std::shared_ptr<IEnumFORMATETC> e;
    if (FObj->EnumFormatEtc(DATADIR_GET, e) != S_OK || !e) return list;
    tagFORMATETC fe;
    ULONG n = 0;
    auto add = [&](const QString& m) {
      if (!list.contains(m)) list << m;
    };
    while (e->Next(1, &fe, &n) == S_OK && n == 1) {
      const Word f = fe.cfFormat;
      if (f == CF_UNICODETEXT || f == CF_TEXT) add(QStringLiteral("text/plain"));
      else if (Is(f, CF_RTF) && FObj->QueryGetData(fe) == S_OK) {
        add(QStringLiteral("text/rtf"));
        add(QStringLiteral("application/rtf"));
      } else if (Is(f, CF_GRIDCOL)) add(GridColumnMimeType());
      else if (Is(f, CF_GRIDCELLS)) add(ksgdd::GridCellsMimeType());
    }
    return list;
  }
  bool hasFormat(const QString& mime) const override { return formats().contains(mime); }

 protected:
  QVariant retrieveData(const QString& mime, QMetaType type) const override {
    auto get = [&](Word f) -> QByteArray {
      tagFORMATETC fe;
      fe.cfFormat = f;
      tagSTGMEDIUM m;
      return FObj->GetData(fe, m) == S_OK ? m.hGlobal : QByteArray();
    };
    if (mime.startsWith(QStringLiteral("text/plain"))) {
      const QString s = FromUtf16Z(get(Word(CF_UNICODETEXT)));
      if (type.id() == QMetaType::QString) return s;
      return s.toUtf8();
    }
    if (mime == QStringLiteral("text/rtf") || mime == QStringLiteral("application/rtf")) {
      QByteArray b = get(CF_RTF);
      if (b.endsWith('\0')) b.chop(1);
      return b;
    }
    if (mime == GridColumnMimeType()) return get(CF_GRIDCOL);
    if (mime == ksgdd::GridCellsMimeType()) {
      const QByteArray b = get(CF_GRIDCELLS);
      return b.size() >= 8 ? b.mid(8) : QByteArray();
    }
    return QVariant();
  }

 private:
  std::shared_ptr<IDataObject> FObj;
};

// Forwards a widget's drag events to a drop target.
class TDropForwarder : public QObject {
 public:
  TDropForwarder(QWidget* W, std::shared_ptr<TKSGDropTarget> T) : QObject(W), FTarget(std::move(T)), FWidget(W) {
    setObjectName(QStringLiteral("tf-drop-target"));
  }
  std::shared_ptr<TKSGDropTarget> FTarget;

 protected:
  bool eventFilter(QObject* Obj, QEvent* E) override {
    if (Obj != FWidget) return false;
    switch (E->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove:
      case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(E);
        const QPoint g = FWidget->mapToGlobal(de->position().toPoint());
        const TPoint pt(g.x(), g.y());
        const DWORD keys = QtKeyState(de->buttons(), de->modifiers());
        DWORD allowed = 0;
        if (de->possibleActions() & Qt::CopyAction) allowed |= DROPEFFECT_COPY;
        if (de->possibleActions() & Qt::MoveAction) allowed |= DROPEFFECT_MOVE;
        if (de->possibleActions() & Qt::LinkAction) allowed |= DROPEFFECT_LINK;
        FTarget->FAllowedEffects = allowed;
        DWORD effect = allowed;
        if (E->type() == QEvent::DragEnter) {
          FTarget->DragEnter(QtDataObject(de->mimeData()), keys, pt, effect);
          // Entering is accepted when the drag may drop here at all, so that
          // moves over other cells are still reported.
          if (FTarget->FOk) effect == DROPEFFECT_NONE ? de->accept() : Answer(de, effect);
          else de->ignore();
        } else if (E->type() == QEvent::DragMove) {
          FTarget->DragOver(keys, pt, effect);
          Answer(de, effect);
        } else {
          FTarget->Drop(QtDataObject(de->mimeData()), keys, pt, effect);
          Answer(de, effect);
        }
        return true;
      }
      case QEvent::DragLeave: FTarget->DragLeave(); return true;
      default: return false;
    }
  }

 private:
  static void Answer(QDropEvent* E, DWORD Effect) {
    if (Effect == DROPEFFECT_NONE) {
      E->setDropAction(Qt::IgnoreAction);
      E->ignore();
      return;
    }
    E->setDropAction(Effect & DROPEFFECT_LINK   ? Qt::LinkAction
                     : Effect & DROPEFFECT_MOVE ? Qt::MoveAction
                                                : Qt::CopyAction);
    E->accept();
  }
  QWidget* FWidget;
};

HRESULT QtDoDragDrop(std::shared_ptr<IDataObject> DataObject, std::shared_ptr<TKSGDropSource> DropSource,
                     DWORD OKEffects, DWORD& Effect) {
  QObject* owner = QGuiApplication::focusObject();
  if (owner == nullptr) owner = qApp;
  QDrag drag(owner);
  drag.setMimeData(SourceMimeData(DataObject));
  QPoint hot;
  const QPixmap pic = DropSource->DragPixmap(hot);
  if (!pic.isNull()) {
    drag.setPixmap(pic);
    drag.setHotSpot(hot);
  }
  auto toEffect = [](Qt::DropAction a) -> DWORD {
    switch (a) {
      case Qt::CopyAction: return DROPEFFECT_COPY;
      case Qt::MoveAction:
      case Qt::TargetMoveAction: return DROPEFFECT_MOVE;
      case Qt::LinkAction: return DROPEFFECT_LINK;
      default: return DROPEFFECT_NONE;
    }
  };
  QObject::connect(&drag, &QDrag::actionChanged, [&](Qt::DropAction a) { DropSource->GiveFeedback(toEffect(a)); });
  QObject::connect(&drag, &QDrag::targetChanged, [&](QObject*) { DropSource->QueryContinueDrag(false, MK_LBUTTON); });
  Qt::DropActions actions;
  if (OKEffects & DROPEFFECT_COPY) actions |= Qt::CopyAction;
  if (OKEffects & DROPEFFECT_MOVE) actions |= Qt::MoveAction;
  if (OKEffects & DROPEFFECT_LINK) actions |= Qt::LinkAction;
  const Qt::DropAction result = drag.exec(actions, (OKEffects & DROPEFFECT_MOVE) ? Qt::MoveAction : Qt::CopyAction);
  Effect = toEffect(result);
  if (Effect == DROPEFFECT_NONE) return DropSource->QueryContinueDrag(true, 0);
  DropSource->GiveFeedback(Effect);
  return DropSource->QueryContinueDrag(false, 0);
}

TDoDragDropHandler& Handler() {
  static TDoDragDropHandler h;
  return h;
}

}  // namespace

std::shared_ptr<IDataObject> QtDataObject(const QMimeData* Data) { return std::make_shared<TQtDataObject>(Data); }

QMimeData* SourceMimeData(std::shared_ptr<IDataObject> DataObject) { return new TSourceMime(std::move(DataObject)); }

bool RegisterDragDrop(QWidget* Widget, std::shared_ptr<TKSGDropTarget> Target) {
  if (Widget == nullptr || Target == nullptr) return false;
  RevokeDragDrop(Widget);
  auto* f = new TDropForwarder(Widget, std::move(Target));
  Widget->installEventFilter(f);
  Widget->setAcceptDrops(true);
  return true;
}

void RevokeDragDrop(QWidget* Widget) {
  if (Widget == nullptr) return;
  for (QObject* child : Widget->children())
    if (auto* f = dynamic_cast<TDropForwarder*>(child)) {
      Widget->removeEventFilter(f);
      delete f;
    }
  Widget->setAcceptDrops(false);
}

DWORD QtKeyState(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers) {
  DWORD k = 0;
  if (Buttons & Qt::LeftButton) k |= MK_LBUTTON;
  if (Buttons & Qt::RightButton) k |= MK_RBUTTON;
  if (Modifiers & Qt::ShiftModifier) k |= MK_SHIFT;
  if (Modifiers & Qt::ControlModifier) k |= MK_CONTROL;
  return k;
}

TDoDragDropHandler SetDoDragDropHandler(TDoDragDropHandler H) {
  TDoDragDropHandler old = std::move(Handler());
  Handler() = std::move(H);
  return old;
}

HRESULT DoDragDrop(std::shared_ptr<IDataObject> DataObject, std::shared_ptr<TKSGDropSource> DropSource, DWORD OKEffects,
                   DWORD& Effect) {
  if (Handler()) return Handler()(std::move(DataObject), std::move(DropSource), OKEffects, Effect);
  return QtDoDragDrop(std::move(DataObject), std::move(DropSource), OKEffects, Effect);
}

int BeginTextDrag(std::shared_ptr<TKSGDropSource> DropSource, const QString& Text, const QString& RTF, DWORD& Effect,
                  DWORD OKEffects, TMemoryStream* Stream) {
  RegisterDropFormats();
  auto obj = std::make_shared<TSourceDataObject>(Text, Stream, -1, RTF);
  const HRESULT r = DoDragDrop(obj, DropSource, OKEffects, Effect);
  return DropSource->FNoAccept ? DRAGDROP_S_CANCEL : r;
}

int BeginColumnDrag(std::shared_ptr<TKSGDropSource> DropSource, int Column, DWORD OKEffects, DWORD& Effect) {
  RegisterDropFormats();
  auto obj = std::make_shared<TSourceDataObject>(QString(), nullptr, Column, QString());
  const HRESULT r = DoDragDrop(obj, DropSource, OKEffects, Effect);
  return DropSource->FNoAccept ? DRAGDROP_S_CANCEL : r;
}
