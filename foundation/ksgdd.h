#pragma once
// A small drag-and-drop framework, independent of the grid: a reader of the
// formats a dragged data object offers (TEnumFormats), a drop target that
// sorts a drop by format and hands it to overridable handlers
// (TKSGDropTarget), a drop source (TKSGDropSource), the data object a drag
// offers (TSourceDataObject) with its format enumerator
// (TSourceEnumFormatEtc), and the two routines that run a drag
// (BeginTextDrag, BeginColumnDrag).
//
// The objects keep the shape of the platform interfaces they stand for
// (data objects, format enumerators, drop targets and sources, with their
// result codes), written here as small C++ interfaces held by shared
// pointers. Underneath, drags are Qt's: a QMimeData seen by a drop target
// becomes a read-only data object (QtDataObject), a source data object
// becomes a QMimeData (SourceMimeData), RegisterDragDrop forwards a
// widget's drag events to a drop target, and DoDragDrop runs QDrag::exec
// (replaceable, so that tests decide what a drag returns).
//
// Formats and the MIME types they travel under:
//   CF_TEXT, CF_UNICODETEXT      text/plain
//   CF_HDROP (file list)         text/uri-list holding file: URLs only
//   "UniformResourceLocator"     text/x-moz-url, or a uri-list with URLs of
//                                other schemes (a file list is never a URL)
//   "Rich Text Format"           text/rtf (8-bit)
//   "Grid Column"                application/x-tkit-grid-column (int32 LE)
//   "TKitStringGrid Cells"       the registered format's type; the MIME data
//                                is the bare grid stream, the data object's
//                                block has the 8-byte size prefix in front
//
// Data from other programs is untrusted: the file list's offset and the
// grid cells' size are checked against their block, and no fault of a
// reader or a handler escapes to the platform (the drop then reports no
// effect).
//
// Not covered: file contents and file group descriptors are registered but
// never read (no platform here offers them); advise sinks are refused.

#include <QByteArray>
#include <QPixmap>
#include <QPoint>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "platform/rtl/Streams.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/Types.h"
#include "platform/win32/Clipboard.h"
#include "platform/win32/WinTypes.h"

class QMimeData;
class QWidget;

// Result codes, effects, aspects and media.
inline constexpr HRESULT DRAGDROP_S_DROP = HRESULT(0x00040100);
inline constexpr HRESULT DRAGDROP_S_CANCEL = HRESULT(0x00040101);
inline constexpr HRESULT DRAGDROP_S_USEDEFAULTCURSORS = HRESULT(0x00040102);
inline constexpr HRESULT DV_E_FORMATETC = HRESULT(0x80040064u);
inline constexpr HRESULT OLE_E_ADVISENOTSUPPORTED = HRESULT(0x80040003u);
inline constexpr DWORD DROPEFFECT_NONE = 0;
inline constexpr DWORD DROPEFFECT_COPY = 1;
inline constexpr DWORD DROPEFFECT_MOVE = 2;
inline constexpr DWORD DROPEFFECT_LINK = 4;
inline constexpr DWORD DVASPECT_CONTENT = 1;
inline constexpr DWORD TYMED_NULL = 0;
inline constexpr DWORD TYMED_HGLOBAL = 1;
inline constexpr DWORD DATADIR_GET = 1;
inline constexpr DWORD DATADIR_SET = 2;

struct tagFORMATETC {
  Word cfFormat = 0;
  void* ptd = nullptr;
  DWORD dwAspect = DVASPECT_CONTENT;
  LONG lindex = -1;
  DWORD tymed = TYMED_HGLOBAL;
};
// A storage medium: the global block is its bytes.
struct tagSTGMEDIUM {
  DWORD tymed = TYMED_NULL;
  QByteArray hGlobal;
};

class IEnumFORMATETC {
 public:
  virtual ~IEnumFORMATETC() = default;
  virtual HRESULT Next(ULONG celt, tagFORMATETC* rgelt, ULONG* pceltFetched) = 0;
  virtual HRESULT Skip(ULONG celt) = 0;
  virtual HRESULT Reset() = 0;
  virtual HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) = 0;
};

class IDataObject {
 public:
  virtual ~IDataObject() = default;
  virtual HRESULT GetData(const tagFORMATETC& FormatEtc, tagSTGMEDIUM& Medium) = 0;
  virtual HRESULT GetDataHere(const tagFORMATETC& FormatEtc, tagSTGMEDIUM& Medium) = 0;
  virtual HRESULT QueryGetData(const tagFORMATETC& FormatEtc) = 0;
  virtual HRESULT GetCanonicalFormatEtc(const tagFORMATETC& FormatEtc, tagFORMATETC& FormatEtcOut) = 0;
  virtual HRESULT SetData(const tagFORMATETC& FormatEtc, const tagSTGMEDIUM& Medium, bool Release) = 0;
  virtual HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Enum) = 0;
  virtual HRESULT DAdvise() = 0;
  virtual HRESULT DUnadvise(DWORD Connection) = 0;
  virtual HRESULT EnumDAdvise(void** EnumAdvise) = 0;
};

// The unit's format numbers (0 until registered; see RegisterDropFormats).
namespace ksgdd {
extern Word CF_RTF;
extern Word CF_GRIDCOL;
extern Word CF_GRIDCELLS;
extern Word CF_URL;
extern Word CF_URI;
extern Word CF_FILECONTENTS;
extern Word CF_FILEGROUPDESCRIPTOR;
extern Word CF_FILEGROUPDESCRIPTORW;
// Registers the named formats (file contents and descriptors with the top
// bit set). TEnumFormats does it on creation, the drag routines too.
void RegisterDropFormats();
// The rich-text switch: only while it is on does a drop take rich text and
// a data object answer for it.
bool RTFDragDropEnabled();
// The MIME types the Qt bridge uses.
QString GridColumnMimeType();
QString GridCellsMimeType();
}  // namespace ksgdd

void EnableRTFDragDrop(bool Enable);

enum TDropFormat { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells, dfURI, dfFileContents };
using TDropFormats = TSet<TDropFormat>;

// Copy with Ctrl held, else move when allowed, else copy.
DWORD ChooseDropEffect(DWORD KeyState, DWORD AllowedEffects);

class TEnumFormats {
 public:
  // Raises Exception "Cannot get the format enumerator" when the data object
  // gives none.
  explicit TEnumFormats(std::shared_ptr<IDataObject> DataObject);
  ~TEnumFormats();

  bool Reset();
  bool Next();
  bool HasFormat(Word ClipFormat);
  // The data of the current entry, when it is valid and offers the medium.
  QByteArray Handle(DWORD Tymed, bool* Ok = nullptr);
  QByteArray GlobalHandle(bool* Ok = nullptr) { return Handle(TYMED_HGLOBAL, Ok); }

  int Col();
  // A new stream owned by the caller; null when absent or damaged.
  std::unique_ptr<TMemoryStream> Stream();
  QString Text();
  QString RTF();
  QString URI();

  bool HasText() { return HasFormat(Word(CF_UNICODETEXT)); }
  bool HasRTF() { return ksgdd::CF_RTF != 0 && HasFormat(ksgdd::CF_RTF); }
  bool HasCol() { return ksgdd::CF_GRIDCOL != 0 && HasFormat(ksgdd::CF_GRIDCOL); }
  bool HasFile() { return HasFormat(Word(CF_HDROP)); }
  bool HasURI() { return ksgdd::CF_URI != 0 && HasFormat(ksgdd::CF_URI); }
  bool HasURL() { return ksgdd::CF_URL != 0 && HasFormat(ksgdd::CF_URL); }
  bool HasGridCells() { return ksgdd::CF_GRIDCELLS != 0 && HasFormat(ksgdd::CF_GRIDCELLS); }
  bool HasFileContents() { return false; }
  // Fills Files from the current file list; true when a name was read.
  bool ReadFiles();

  TStringList* Files() const { return FFiles.get(); }
  const tagFORMATETC& FormatEtc() const { return FFormatEtc; }
  Word Format() const { return FFormatEtc.cfFormat; }
  void SetFormat(Word Value) { FFormatEtc.cfFormat = Value; }
  DWORD Aspect() const { return FFormatEtc.dwAspect; }
  void SetAspect(DWORD Value) { FFormatEtc.dwAspect = Value; }
  LONG Index() const { return FFormatEtc.lindex; }
  void SetIndex(LONG Value) { FFormatEtc.lindex = Value; }
  DWORD Medium() const { return FFormatEtc.tymed; }
  void SetMedium(DWORD Value) { FFormatEtc.tymed = Value; }
  bool Valid() const { return FValid; }
  int Count() const { return FCount; }

 private:
  std::shared_ptr<IDataObject> FDataObject;
  std::shared_ptr<IEnumFORMATETC> FEnumerator;
  tagFORMATETC FFormatEtc;
  bool FValid = false;
  int FCount = 0;
  std::unique_ptr<TStringList> FFiles;
};

// A drop target: the platform calls DragEnter, DragOver, DragLeave and Drop;
// descendants handle the drops. pt is in screen coordinates.
class TKSGDropTarget {
 public:
  TKSGDropTarget();
  virtual ~TKSGDropTarget();

  HRESULT DragEnter(std::shared_ptr<IDataObject> DataObject, DWORD KeyState, TPoint pt, DWORD& Effect);
  HRESULT DragOver(DWORD KeyState, TPoint pt, DWORD& Effect);
  HRESULT DragLeave();
  HRESULT Drop(std::shared_ptr<IDataObject> DataObject, DWORD KeyState, TPoint pt, DWORD& Effect);

  // Slots, in order. All but DragMouseMove raise EAbstractError here.
  virtual bool DropText(TPoint pt, const QString& s);
  virtual void DropStream(TPoint pt, TMemoryStream* Stream);
  virtual void DropCol(TPoint pt, int Col);
  virtual void DropRTF(TPoint pt, const QString& s);
  virtual void DropFiles(TPoint pt, TStrings* Files);
  virtual void DropFileContents(TPoint pt);
  virtual void DropURL(TPoint pt, const QString& s);
  virtual void DragMouseMove(TPoint pt, bool& Allow, TDropFormats DropFormats) {}
  virtual void DragMouseEnter();
  virtual void DragMouseLeave();

  bool FOk = false;
  bool FIsURI = false;
  bool FAcceptText = true;
  bool FAcceptFiles = true;
  bool FAcceptCols = false;
  bool FAcceptURLs = true;
  TDropFormats FDropFormats;
  // Set by a handler that took nothing in (a damaged stream, a point
  // outside the cells): the drop then reports no effect, so that a source
  // does not take away what it moved.
  bool FDropRefused = false;
  // The effects the drag allows (from the platform), for the effect choice.
  DWORD FAllowedEffects = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
};

class TKSGDropSource {
 public:
  virtual ~TKSGDropSource() = default;
  HRESULT QueryContinueDrag(bool EscapePressed, DWORD KeyState);
  HRESULT GiveFeedback(DWORD Effect);
  virtual void DragDropStop() {}
  virtual void CurrentEffect(DWORD dwEffect) {}
  virtual void QueryDrag() {}
  // The picture shown beside the cursor while dragging (none by default),
  // with its hot spot.
  virtual QPixmap DragPixmap(QPoint& HotSpot) { return QPixmap(); }
  bool FNoAccept = false;
};

class TSourceDataObject : public IDataObject {
 public:
  // Stream is not owned and must outlive the data object's use.
  TSourceDataObject(const QString& stxt, TMemoryStream* stream, int sidx, const QString& srtf);
  HRESULT GetData(const tagFORMATETC& FormatEtc, tagSTGMEDIUM& Medium) override;
  HRESULT GetDataHere(const tagFORMATETC&, tagSTGMEDIUM&) override { return DV_E_FORMATETC; }
  HRESULT QueryGetData(const tagFORMATETC& FormatEtc) override;
  HRESULT GetCanonicalFormatEtc(const tagFORMATETC& FormatEtc, tagFORMATETC& FormatEtcOut) override;
  HRESULT SetData(const tagFORMATETC&, const tagSTGMEDIUM&, bool) override { return DV_E_FORMATETC; }
  HRESULT EnumFormatEtc(DWORD Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override;
  HRESULT DAdvise() override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT EnumDAdvise(void** EnumAdvise) override;

  QString textdata;
  QString rtfdata;
  int scolidx = -1;
  TMemoryStream* memstr = nullptr;
};

class TSourceEnumFormatEtc : public IEnumFORMATETC {
 public:
  TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, int Index = 0);
  HRESULT Next(ULONG celt, tagFORMATETC* rgelt, ULONG* pceltFetched) override;
  HRESULT Skip(ULONG celt) override;
  HRESULT Reset() override;
  HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) override;
  int FIndex = 0;
  bool FHasCol = false;
  bool FHasGridCells = false;

 private:
  std::vector<tagFORMATETC> Entries() const;
};

// The platform's drag loop: by default QDrag::exec over SourceMimeData.
using TDoDragDropHandler =
    std::function<HRESULT(std::shared_ptr<IDataObject> DataObject, std::shared_ptr<TKSGDropSource> DropSource,
                          DWORD OKEffects, DWORD& Effect)>;
// Installs a handler (an empty one restores Qt's) and hands back the former.
TDoDragDropHandler SetDoDragDropHandler(TDoDragDropHandler Handler);
HRESULT DoDragDrop(std::shared_ptr<IDataObject> DataObject, std::shared_ptr<TKSGDropSource> DropSource, DWORD OKEffects,
                   DWORD& Effect);

int BeginTextDrag(std::shared_ptr<TKSGDropSource> DropSource, const QString& Text, const QString& RTF, DWORD& Effect,
                  DWORD OKEffects, TMemoryStream* Stream);
int BeginColumnDrag(std::shared_ptr<TKSGDropSource> DropSource, int Column, DWORD OKEffects, DWORD& Effect);

// --- the Qt bridge
// A read-only data object over a QMimeData (kept by the caller for the
// object's lifetime).
std::shared_ptr<IDataObject> QtDataObject(const QMimeData* Data);
// A QMimeData that answers from a data object.
QMimeData* SourceMimeData(std::shared_ptr<IDataObject> DataObject);
// Forwards the widget's drag events to the target (and accepts drops);
// revoking stops it. Registering a widget twice replaces its target.
bool RegisterDragDrop(QWidget* Widget, std::shared_ptr<TKSGDropTarget> Target);
void RevokeDragDrop(QWidget* Widget);
// The key state of the mouse buttons and modifier keys (MK_ flags).
DWORD QtKeyState(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers);
