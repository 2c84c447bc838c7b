#pragma once
// The word-processor automation objects the grid drives: application,
// documents, document, selection, ranges and tables, with the member names
// and call order of the automation server they stand in for. The real one
// (CreateOleObject("word.application")) reads and writes Office Open XML
// documents (.docx) itself:
//
// - Documents.Add starts a document with one empty paragraph on an A4 page
//   with 1440-twip margins; SaveAs writes [Content_Types].xml, _rels/.rels
//   and word/document.xml.
// - Documents.Open reads a .docx package, whatever its extension; anything
//   else (a legacy .doc, a damaged archive, a package without a main
//   document) raises EOleException "Incorrect Word document". SaveAs of an
//   opened document replaces only word/document.xml and copies every other
//   part unchanged.
// - Every save goes to a temporary file beside the target that is renamed
//   over it at the end; a failure raises EOleException and leaves the old
//   file as it was.
//
// Positions: this layer counts positions in blocks of the document's body
// (paragraphs and tables), not in characters: Range(p, p) is the point
// before block p, Selection.End after Goto(last line) is the point before
// the last paragraph, a bookmark's range is the point before the paragraph
// that holds the bookmark. Tables.Add puts the table at that point.
// TypeText and TypeParagraph at the selection add a paragraph with the text
// there and move the selection after it.
//
// Text put into the document drops the characters XML cannot hold; a line
// break inside a cell's text starts a new paragraph of the cell, a TAB
// becomes a tab. Tables get single borders and equal column widths across
// the page's text width. Not covered: styles, fields, headers, anything the
// grid does not call. Word's own 63-column limit for tables does not apply.

#include <QString>
#include <QByteArray>
#include <memory>
#include <vector>

#include "platform/office/ComObj.h"

namespace WordApi {

// Go-to kinds and directions, paragraph alignments, as their numbers.
constexpr int wdGoToLine = 3;
constexpr int wdGoToBookmark = -1;
constexpr int wdGoToLast = -1;
constexpr int wdAlignParagraphLeft = 0;
constexpr int wdAlignParagraphCenter = 1;
constexpr int wdAlignParagraphRight = 2;

class TDocumentData;
class Document;
class Application;
using DocumentPtr = std::shared_ptr<Document>;
using ApplicationPtr = std::shared_ptr<Application>;

// A point in a document's body (see above).
struct Range {
  int Start = 0;
  int End = 0;
};

// A cell of a table, 1-based.
class Cell {
 public:
  // Adds text at the end of the cell.
  void InsertAfter(const QString& Text);
  // wdAlignParagraph... for every paragraph of the cell.
  void SetAlignment(int Value);

 private:
  friend class Table;
  std::shared_ptr<TDocumentData> FDoc;
  void* FNode = nullptr;  // the w:tc element
};

class Table {
 public:
  int Rows() const { return FRows; }
  int Columns() const { return FColumns; }
  // Raises EOleException outside 1..Rows, 1..Columns.
  Cell GetCell(int Row, int Column);

 private:
  friend class Document;
  std::shared_ptr<TDocumentData> FDoc;
  void* FNode = nullptr;  // the w:tbl element
  int FRows = 0, FColumns = 0;
  int FRowIndex = 0;         // the row last found (1-based), 0 for none
  void* FRowNode = nullptr;  // its w:tr element
};

class Document {
 public:
  explicit Document(std::shared_ptr<TDocumentData> Data) : FData(std::move(Data)) {}
  QString FullName() const;
  void SetShowSpellingErrors(bool Value);
  bool ShowSpellingErrors() const;
  bool BookmarksExists(const QString& Name) const;
  // Goto(wdGoToBookmark, name): the point before the bookmark's paragraph.
  Range Goto(int What, const QString& Name) const;
  // An empty paragraph at the end of the body.
  void ParagraphsAdd();
  int ParagraphsCount() const;
  Range GetRange(int Start, int End) const;
  // Rows x Columns empty cells at Where (both at least 1, else raises).
  Table TablesAdd(const Range& Where, int NumRows, int NumColumns);
  int TablesCount() const;
  void SaveAs(const QString& FileName);
  TDocumentData* Data() const { return FData.get(); }

 private:
  std::shared_ptr<TDocumentData> FData;
};

class Selection {
 public:
  void TypeText(const QString& Text);
  void TypeParagraph();
  // Goto(wdGoToLine, wdGoToLast): to the last paragraph.
  void Goto(int What, int Which);
  int End() const;

 private:
  friend class Application;
  Application* FApp = nullptr;
  QString FPending;
};

class Application {
 public:
  Application();
  int DocumentsCount() const { return static_cast<int>(FDocuments.size()); }
  DocumentPtr DocumentsAdd();
  // Raises EOleException for a file that is missing or not a .docx package.
  DocumentPtr DocumentsOpen(const QString& FileName);
  // nullptr when no document is open.
  DocumentPtr ActiveDocument() const;
  Selection& GetSelection() { return FSelection; }
  // Closes every document without saving; later calls raise.
  void Quit();
  // Where the selection stands: the active document and a block index.
  int SelectionPos = 0;

 private:
  void CheckRunning() const;
  std::vector<DocumentPtr> FDocuments;
  DocumentPtr FActive;
  Selection FSelection;
  bool FQuit = false;
};

// The running instance: there never is one in this system (nullptr).
ApplicationPtr GetActiveOleObject(const QString& ClassName);
// A new instance for "word.application" (any letter case); other names
// raise EOleSysError "Invalid class string".
ApplicationPtr CreateOleObject(const QString& ClassName);

// Checks a package the way DocumentsOpen reads it and walks its body
// (bounded; for fuzzing): raises EOleException on anything it refuses.
void CheckDocumentBytes(const QByteArray& DocumentXml);

}  // namespace WordApi
