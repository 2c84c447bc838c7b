// The grid as a table in a word-processor document, through the automation
// objects of platform/office (Office Open XML underneath): the whole grid,
// fixed cells included and hidden columns left out, one table cell per grid
// cell with the cell's exported text and its right or centred alignment.
//
// Beyond the automation calls themselves:
// - appending to a file that is not a document this layer can read (a
//   legacy .doc, a damaged package) raises EKitGridError and leaves the file
//   as it was: it is never replaced by a new document;
// - a save that fails raises EKitGridError with its cause;
// - the server started here quits on every way out.

#include "grid/model/KitGrid.h"
#include "platform/office/Word.h"
#include "platform/vcl/Forms.h"

namespace {

const QString kServer = QStringLiteral("word.application");

struct THourglass {
  TCursor Old = crDefault;
  THourglass() {
    if (Screen) {
      Old = Screen->Cursor();
      Screen->SetCursor(crHourGlass);
    }
  }
  ~THourglass() {
    if (Screen) Screen->SetCursor(Old);
  }
};

struct TServerQuit {
  WordApi::ApplicationPtr App;
  bool Quit = true;
  ~TServerQuit() {
    if (App && Quit) App->Quit();
  }
};

}  // namespace

void TKitStringGrid::SaveToDOC(const QString& Filename, bool CreateNewDocument) {
  WriteDOC(Filename, QString(), false, CreateNewDocument);
}

void TKitStringGrid::AppendToDoc(const QString& Filename, const QString& Bookmark) {
  WriteDOC(Filename, Bookmark, true, false);
}

void TKitStringGrid::WriteDOC(const QString& Filename, const QString& Bookmark, bool Append,
                              bool CreateNewDocument) {
  THourglass hourglass;
  WordApi::ApplicationPtr app;
  bool wasRunning = false;
  try {
    app = WordApi::GetActiveOleObject(kServer);
    wasRunning = app != nullptr;
    if (!app) app = WordApi::CreateOleObject(kServer);
  } catch (const Exception&) {
    app = nullptr;
  }
  if (!app) throw EKitGridError(QStringLiteral("Word OLE server not found"));
  TServerQuit quit{app, !wasRunning};

  try {
    WordApi::DocumentPtr doc;
    if (Append) doc = app->DocumentsOpen(Filename);
    else if (CreateNewDocument || app->DocumentsCount() == 0) doc = app->DocumentsAdd();
    else doc = app->ActiveDocument();
    doc->SetShowSpellingErrors(false);
    app->GetSelection().TypeText(Text());
    app->GetSelection().TypeParagraph();

    WordApi::Range where;
    if (Append && doc->BookmarksExists(Bookmark)) {
      where = doc->Goto(WordApi::wdGoToBookmark, Bookmark);
    } else if (Append) {
      doc->ParagraphsAdd();
      app->GetSelection().Goto(WordApi::wdGoToLine, WordApi::wdGoToLast);
      where = doc->GetRange(app->GetSelection().End(), app->GetSelection().End());
    } else {
      where = doc->GetRange(0, 0);
    }
    WordApi::Table table = doc->TablesAdd(where, RowCount(), ColCount());

    ExportNotification(esExportStart, 0);
    for (int r = 0; r < RowCount(); ++r) {
      ExportNotification(esExportNextRow, r);
      for (int c = 0; c < ColCount(); ++c) {
        WordApi::Cell cell = table.GetCell(r + 1, c + 1);
        cell.InsertAfter(SaveCell(DisplToRealCol(c), r));
        TAlignment ha = taLeftJustify;
        TVAlignment va = vtaTop;
        GetCellAlignment(c, r, ha, va);
        if (ha == taRightJustify) cell.SetAlignment(WordApi::wdAlignParagraphRight);
        else if (ha == taCenter) cell.SetAlignment(WordApi::wdAlignParagraphCenter);
      }
    }
    ExportNotification(esExportDone, -1);
    doc->SaveAs(Filename);
  } catch (const EOleError& e) {
    throw EKitGridError(e.Message());
  }
}
