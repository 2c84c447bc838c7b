// The drag-and-drop framework: the source data object and its enumerator
// as tables, the effect choice, the drop source's answers, the drop
// target's sorting of drops by format, fed through synthesized Qt drag
// events on a widget, and damaged data from other programs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "foundation/ksgdd.h"
#include "platform/win32/Messages.h"

namespace {

tagFORMATETC Fe(Word f, DWORD aspect = DVASPECT_CONTENT, DWORD tymed = TYMED_HGLOBAL) {
  tagFORMATETC fe;
  fe.cfFormat = f;
  fe.dwAspect = aspect;
  fe.tymed = tymed;
  return fe;
}

struct RtfSwitch {
  explicit RtfSwitch(bool On) { EnableRTFDragDrop(On); }
  ~RtfSwitch() { EnableRTFDragDrop(false); }
};

TEST(DragDropSource, QueryGetDataTable) {
  ksgdd::RegisterDropFormats();
  TMemoryStream ms;
  ms.Write("abc", 3);
  TSourceDataObject text("hello", nullptr, -1, "{\\rtf1 x}");
  TSourceDataObject col("", nullptr, 3, "");
  TSourceDataObject cells("t", &ms, -1, "");
  struct Case {
    const char* Name;
    TSourceDataObject* Obj;
    tagFORMATETC Format;
    bool Rtf;
    HRESULT Expected;
  };
  const std::vector<Case> cases = {
      {"text as CF_TEXT", &text, Fe(CF_TEXT), false, S_OK},
      {"text as CF_UNICODETEXT", &text, Fe(CF_UNICODETEXT), false, S_OK},
      {"rich text with the switch off", &text, Fe(ksgdd::CF_RTF), false, DV_E_FORMATETC},
      {"rich text with the switch on", &text, Fe(ksgdd::CF_RTF), true, S_OK},
      {"another aspect", &text, Fe(CF_TEXT, 4), false, DV_E_FORMATETC},
      {"another medium", &text, Fe(CF_TEXT, DVASPECT_CONTENT, 1 | 4), false, DV_E_FORMATETC},
      {"column drag refuses text", &col, Fe(CF_UNICODETEXT), false, DV_E_FORMATETC},
      {"column drag gives its column", &col, Fe(ksgdd::CF_GRIDCOL), false, S_OK},
      {"no column without one", &text, Fe(ksgdd::CF_GRIDCOL), false, DV_E_FORMATETC},
      {"cells with a stream", &cells, Fe(ksgdd::CF_GRIDCELLS), false, S_OK},
      {"no cells without a stream", &text, Fe(ksgdd::CF_GRIDCELLS), false, DV_E_FORMATETC},
  };
  for (const Case& c : cases) {
    RtfSwitch sw(c.Rtf);
    EXPECT_EQ(c.Obj->QueryGetData(c.Format), c.Expected) << c.Name;
    tagSTGMEDIUM m;
    m.tymed = 77;
    EXPECT_EQ(c.Obj->GetData(c.Format, m) == S_OK, c.Expected == S_OK) << c.Name;
    if (c.Expected != S_OK) EXPECT_EQ(m.tymed, TYMED_NULL) << c.Name;
  }
  tagSTGMEDIUM here;
  EXPECT_EQ(text.GetDataHere(Fe(CF_TEXT), here), DV_E_FORMATETC);
  void* adv = &ms;
  EXPECT_EQ(text.EnumDAdvise(&adv), OLE_E_ADVISENOTSUPPORTED);
  EXPECT_EQ(adv, nullptr);
  std::shared_ptr<IEnumFORMATETC> e;
  EXPECT_EQ(text.EnumFormatEtc(DATADIR_SET, e), E_NOTIMPL);
  EXPECT_EQ(e, nullptr);
}

TEST(DragDropSource, BlockLayouts) {
  ksgdd::RegisterDropFormats();
  TMemoryStream ms;
  ms.Write("STREAM", 6);
  TSourceDataObject obj("Zoë", &ms, 7, "");
  tagSTGMEDIUM m;
  ASSERT_EQ(obj.GetData(Fe(CF_TEXT), m), S_OK);
  EXPECT_EQ(m.tymed, TYMED_HGLOBAL);
  EXPECT_EQ(m.hGlobal, QByteArray("Zo\xEB\0", 4));
  ASSERT_EQ(obj.GetData(Fe(CF_UNICODETEXT), m), S_OK);
  EXPECT_EQ(m.hGlobal.size(), 8);
  EXPECT_EQ(m.hGlobal.right(2), QByteArray(2, '\0'));
  ASSERT_EQ(obj.GetData(Fe(ksgdd::CF_GRIDCELLS), m), S_OK);
  EXPECT_EQ(m.hGlobal, QByteArray("\x06\0\0\0\0\0\0\0STREAM", 14));
  ASSERT_EQ(obj.GetData(Fe(ksgdd::CF_GRIDCOL), m), S_OK);
  EXPECT_EQ(m.hGlobal, QByteArray("\x07\0\0\0", 4));
  RtfSwitch sw(true);
  TSourceDataObject empty("x", nullptr, -1, "");
  ASSERT_EQ(empty.GetData(Fe(ksgdd::CF_RTF), m), S_OK);
  EXPECT_EQ(m.hGlobal, QByteArray(1, '\0'));  // one byte for an empty rich text
}

TEST(DragDropSource, EnumeratorListsAndSteps) {
  ksgdd::RegisterDropFormats();
  TSourceEnumFormatEtc plain(false, false), full(true, true);
  tagFORMATETC out[8];
  ULONG got = 0;
  EXPECT_EQ(plain.Next(8, out, &got), S_FALSE);
  EXPECT_EQ(got, 3u);
  EXPECT_EQ(out[0].cfFormat, CF_TEXT);
  EXPECT_EQ(out[1].cfFormat, CF_UNICODETEXT);
  EXPECT_EQ(out[2].cfFormat, ksgdd::CF_RTF);
  EXPECT_EQ(out[2].lindex, -1);
  EXPECT_EQ(full.Next(5, out, &got), S_OK);
  EXPECT_EQ(out[3].cfFormat, ksgdd::CF_GRIDCOL);
  EXPECT_EQ(out[4].cfFormat, ksgdd::CF_GRIDCELLS);
  EXPECT_EQ(full.Next(1, out, nullptr), S_FALSE);
  full.Reset();
  EXPECT_EQ(full.Skip(4), S_OK);
  std::shared_ptr<IEnumFORMATETC> clone;
  ASSERT_EQ(full.Clone(clone), S_OK);
  EXPECT_EQ(clone->Next(1, out, &got), S_OK);
  EXPECT_EQ(out[0].cfFormat, ksgdd::CF_GRIDCELLS);
  EXPECT_EQ(full.Skip(3), S_FALSE);  // clamps at the end
  EXPECT_EQ(full.FIndex, 5);
}

TEST(DragDropSource, EffectChoiceAndSourceAnswers) {
  struct E {
    DWORD Keys, Allowed, Expected;
  };
  for (const E& e : std::vector<E>{{0, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_MOVE},
                                   {MK_CONTROL, DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
                                   {0, DROPEFFECT_COPY, DROPEFFECT_COPY},
                                   {MK_SHIFT, DROPEFFECT_MOVE, DROPEFFECT_MOVE}})
    EXPECT_EQ(ChooseDropEffect(e.Keys, e.Allowed), e.Expected) << e.Keys << " " << e.Allowed;

  struct Src : TKSGDropSource {
    int Stops = 0, Queries = 0;
    std::vector<DWORD> Effects;
    void DragDropStop() override { ++Stops; }
    void QueryDrag() override { ++Queries; }
    void CurrentEffect(DWORD e) override { Effects.push_back(e); }
  } s;
  EXPECT_EQ(s.QueryContinueDrag(true, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(s.QueryContinueDrag(false, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(s.QueryContinueDrag(false, MK_LBUTTON), S_OK);
  EXPECT_EQ(s.Stops, 2);
  EXPECT_EQ(s.Queries, 3);
  EXPECT_EQ(s.GiveFeedback(DROPEFFECT_NONE), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_TRUE(s.FNoAccept);
  s.GiveFeedback(DROPEFFECT_MOVE);
  EXPECT_FALSE(s.FNoAccept);
  EXPECT_EQ(s.Effects, (std::vector<DWORD>{DROPEFFECT_NONE, DROPEFFECT_MOVE}));
}

TEST(DragDropSource, BeginTextDragCancelsWhenTheLastFeedbackRefused) {
  auto src = std::make_shared<TKSGDropSource>();
  QByteArray seen;
  auto old = SetDoDragDropHandler(
      [&](std::shared_ptr<IDataObject> obj, std::shared_ptr<TKSGDropSource> s, DWORD, DWORD& effect) {
        tagSTGMEDIUM m;
        obj->GetData(Fe(CF_UNICODETEXT), m);
        seen = m.hGlobal;
        s->GiveFeedback(DROPEFFECT_NONE);
        effect = DROPEFFECT_MOVE;
        return DRAGDROP_S_DROP;
      });
  DWORD effect = 0;
  EXPECT_EQ(BeginTextDrag(src, "ab", "", effect, DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr), DRAGDROP_S_CANCEL);
  EXPECT_EQ(seen, QByteArray("a\0b\0\0\0", 6));
  SetDoDragDropHandler([](auto, auto, DWORD, DWORD& effect) {
    effect = DROPEFFECT_COPY;
    return DRAGDROP_S_DROP;
  });
  src->FNoAccept = false;
  EXPECT_EQ(BeginColumnDrag(src, 2, DROPEFFECT_COPY, effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DROPEFFECT_COPY);
  SetDoDragDropHandler(old);
}

// ---------------------------------------------------------------------------
// Drop target through synthesized Qt drag events

struct RecordingTarget : TKSGDropTarget {
  std::vector<QString> Log;
  bool RefuseText = false;
  bool DropText(TPoint, const QString& s) override {
    Log.push_back("text:" + s);
    return !RefuseText;
  }
  void DropStream(TPoint, TMemoryStream* st) override { Log.push_back("stream:" + QString::number(st->Size())); }
  void DropCol(TPoint, int c) override { Log.push_back("col:" + QString::number(c)); }
  void DropRTF(TPoint, const QString& s) override { Log.push_back("rtf:" + s); }
  void DropFiles(TPoint, TStrings* f) override {
    Log.push_back("files:" + f->Strings(0) + "|" + QString::number(f->Count()));
  }
  void DropFileContents(TPoint) override { Log.push_back("contents"); }
  void DropURL(TPoint, const QString& s) override { Log.push_back("url:" + s); }
  void DragMouseMove(TPoint pt, bool& Allow, TDropFormats) override { Moves.push_back(pt); }
  void DragMouseEnter() override { Log.push_back("enter"); }
  void DragMouseLeave() override { Log.push_back("leave"); }
  std::vector<TPoint> Moves;
};

struct DragRun {
  Qt::DropAction EnterAction = Qt::IgnoreAction, MoveAction = Qt::IgnoreAction, DropAction = Qt::IgnoreAction;
  bool EnterAccepted = false, DropAccepted = false;
};

DragRun RunDrag(QWidget& W, QMimeData* Data, Qt::KeyboardModifiers Mods = Qt::NoModifier) {
  DragRun run;
  const QPointF at(10, 12);
  const Qt::DropActions acts = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  QDragEnterEvent enter(at.toPoint(), acts, Data, Qt::LeftButton, Mods);
  QApplication::sendEvent(&W, &enter);
  run.EnterAccepted = enter.isAccepted();
  run.EnterAction = enter.dropAction();
  QDragMoveEvent move(at.toPoint(), acts, Data, Qt::LeftButton, Mods);
  QApplication::sendEvent(&W, &move);
  run.MoveAction = move.isAccepted() ? move.dropAction() : Qt::IgnoreAction;
  QDropEvent drop(at, acts, Data, Qt::NoButton, Mods);
  QApplication::sendEvent(&W, &drop);
  run.DropAccepted = drop.isAccepted();
  run.DropAction = drop.dropAction();
  return run;
}

TEST(DragDropTarget, DropsReachTheirHandlers) {
  QWidget w;
  w.resize(100, 100);
  auto target = std::make_shared<RecordingTarget>();
  ASSERT_TRUE(RegisterDragDrop(&w, target));
  EXPECT_TRUE(w.acceptDrops());

  {  // text: moved by default, copied with Ctrl
    QMimeData d;
    d.setText("a\tb");
    DragRun r = RunDrag(w, &d);
    EXPECT_TRUE(r.EnterAccepted);
    EXPECT_EQ(r.MoveAction, Qt::MoveAction);
    EXPECT_EQ(r.DropAction, Qt::MoveAction);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "text:a\tb"}));
    // The point is in screen coordinates.
    ASSERT_EQ(target->Moves.size(), 1u);
    const QPoint g = w.mapToGlobal(QPoint(10, 12));
    EXPECT_EQ(target->Moves[0], TPoint(g.x(), g.y()));
    target->Log.clear();
    r = RunDrag(w, &d, Qt::ControlModifier);
    EXPECT_EQ(r.DropAction, Qt::CopyAction);
    target->Log.clear();
  }
  {  // grid cells with text beside them: only the stream
    QMimeData d;
    d.setText("t");
    d.setData(ksgdd::GridCellsMimeType(), "0123456789");
    RunDrag(w, &d);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "stream:10"}));
    target->Log.clear();
  }
  {  // a file list, never taken for a URL nor for text
    QMimeData d;
    d.setText("/tmp/a b.csv\n/tmp/c.xlsx");
    d.setUrls({QUrl::fromLocalFile("/tmp/a b.csv"), QUrl::fromLocalFile("/tmp/c.xlsx")});
    const DragRun r = RunDrag(w, &d);
    EXPECT_NE(r.DropAction, Qt::LinkAction);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "files:/tmp/a b.csv|2"}));
    target->Log.clear();
  }
  {  // a URL: linked, whatever keys are held
    QMimeData d;
    d.setUrls({QUrl("https://example.org/x")});
    const DragRun r = RunDrag(w, &d, Qt::ControlModifier);
    EXPECT_EQ(r.EnterAction, Qt::LinkAction);
    EXPECT_EQ(r.DropAction, Qt::LinkAction);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "url:https://example.org/x"}));
    target->Log.clear();
  }
  {  // rich text only while the switch is on
    QMimeData d;
    d.setData("text/rtf", "{\\rtf1 hi}");
    d.setText("hi");
    RunDrag(w, &d);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "text:hi"}));
    target->Log.clear();
    RtfSwitch sw(true);
    RunDrag(w, &d);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "rtf:{\\rtf1 hi}"}));
    target->Log.clear();
  }
  {  // a column, accepted only by a target that takes columns
    QMimeData d;
    d.setData(ksgdd::GridColumnMimeType(), QByteArray("\x05\0\0\0", 4));
    DragRun r = RunDrag(w, &d);
    EXPECT_FALSE(r.EnterAccepted);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter"}));
    target->Log.clear();
    target->FAcceptCols = true;
    r = RunDrag(w, &d);
    EXPECT_EQ(target->Log, (std::vector<QString>{"enter", "col:5"}));
    target->Log.clear();
  }
  {  // a refused text drop reports no effect
    target->RefuseText = true;
    QMimeData d;
    d.setText("no");
    const DragRun r = RunDrag(w, &d);
    EXPECT_FALSE(r.DropAccepted);
    target->RefuseText = false;
    target->Log.clear();
  }
  RevokeDragDrop(&w);
  EXPECT_FALSE(w.acceptDrops());
}

TEST(DragDropTarget, TextOnlyIntoATargetThatTakesNoTextRunsNoHandler) {
  QWidget w;
  auto target = std::make_shared<RecordingTarget>();
  target->FAcceptText = false;
  RegisterDragDrop(&w, target);
  QMimeData d;
  d.setText("x");
  DWORD effect = DROPEFFECT_COPY;
  target->DragEnter(QtDataObject(&d), 0, TPoint(), effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  target->DragOver(0, TPoint(), effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  target->Drop(QtDataObject(&d), 0, TPoint(), effect);
  EXPECT_EQ(effect, DROPEFFECT_NONE);
  EXPECT_EQ(target->Log, (std::vector<QString>{"enter"}));
}

// A data object from another program that gives no enumerator, or damaged
// blocks: the target answers with no effect and nothing escapes.
struct BrokenObject : IDataObject {
  QByteArray Block;
  Word Format = 0;
  bool NoEnum = false;
  HRESULT GetData(const tagFORMATETC& fe, tagSTGMEDIUM& m) override {
    if (fe.cfFormat != Format) return DV_E_FORMATETC;
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = Block;
    return S_OK;
  }
  HRESULT GetDataHere(const tagFORMATETC&, tagSTGMEDIUM&) override { return DV_E_FORMATETC; }
  HRESULT QueryGetData(const tagFORMATETC& fe) override { return fe.cfFormat == Format ? S_OK : DV_E_FORMATETC; }
  HRESULT GetCanonicalFormatEtc(const tagFORMATETC&, tagFORMATETC&) override { return E_NOTIMPL; }
  HRESULT SetData(const tagFORMATETC&, const tagSTGMEDIUM&, bool) override { return E_NOTIMPL; }
  HRESULT EnumFormatEtc(DWORD, std::shared_ptr<IEnumFORMATETC>& e) override {
    if (NoEnum) return E_NOTIMPL;
    // Offers exactly Format.
    struct One : IEnumFORMATETC {
      Word F;
      int I = 0;
      explicit One(Word f) : F(f) {}
      HRESULT Next(ULONG c, tagFORMATETC* r, ULONG* n) override {
        ULONG k = 0;
        if (c > 0 && I == 0) {
          r[0] = Fe(F);
          I = 1;
          k = 1;
        }
        if (n) *n = k;
        return k < c ? S_FALSE : S_OK;
      }
      HRESULT Skip(ULONG) override { return S_FALSE; }
      HRESULT Reset() override {
        I = 0;
        return S_OK;
      }
      HRESULT Clone(std::shared_ptr<IEnumFORMATETC>&) override { return E_NOTIMPL; }
    };
    e = std::make_shared<One>(Format);
    return S_OK;
  }
  HRESULT DAdvise() override { return E_NOTIMPL; }
  HRESULT DUnadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT EnumDAdvise(void**) override { return E_NOTIMPL; }
};

TEST(DragDropTarget, DamagedDataObjectsAreRefusedQuietly) {
  ksgdd::RegisterDropFormats();
  auto target = std::make_shared<RecordingTarget>();
  DWORD effect = DROPEFFECT_COPY;

  auto none = std::make_shared<BrokenObject>();
  none->NoEnum = true;
  EXPECT_THROW(TEnumFormats{none}, Exception);
  EXPECT_EQ(target->DragEnter(none, 0, TPoint(), effect), S_OK);
  EXPECT_EQ(effect, DROPEFFECT_NONE);

  struct Damage {
    const char* Name;
    Word Format;
    QByteArray Block;
  };
  const std::vector<Damage> damages = {
      {"cells longer than the block", ksgdd::CF_GRIDCELLS, QByteArray("\xFF\xFF\x00\x00\0\0\0\0abc", 11)},
      {"cells with a negative size", ksgdd::CF_GRIDCELLS, QByteArray("\xFF\xFF\xFF\xFF\0\0\0\0abc", 11)},
      {"cells shorter than the prefix", ksgdd::CF_GRIDCELLS, QByteArray("\x01\0", 2)},
      {"file list offset past the block", Word(CF_HDROP), QByteArray("\xFF\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0", 20)},
      {"file list without a terminator", Word(CF_HDROP),
       QByteArray("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\1\0\0\0a\0b\0", 24)},
      {"file list too short", Word(CF_HDROP), QByteArray("\x14\0", 2)},
  };
  for (const Damage& d : damages) {
    auto obj = std::make_shared<BrokenObject>();
    obj->Format = d.Format;
    obj->Block = d.Block;
    target->Log.clear();
    effect = DROPEFFECT_COPY;
    target->DragEnter(obj, 0, TPoint(), effect);
    target->Drop(obj, 0, TPoint(), effect);
    for (const QString& line : target->Log) EXPECT_TRUE(line == "enter") << d.Name << ": " << line.toStdString();
    if (d.Format == ksgdd::CF_GRIDCELLS) EXPECT_EQ(effect, DROPEFFECT_NONE) << d.Name;
  }
}

}  // namespace
