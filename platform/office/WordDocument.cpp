// Word-processor documents as Office Open XML packages (see Word.h): the
// main document part held as a libxml2 tree while the document is open, the
// package written with libzip.

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <QFile>
#include <QFileInfo>

#include "platform/office/Word.h"
#include "platform/office/XlsxPackage.h"

using Excel::detail::TAtomicFile;
using Excel::detail::TZipArchive;

namespace WordApi {

namespace {

const char* const kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const char* const kMainType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";
const QString kDefaultPart = QStringLiteral("word/document.xml");

// Bounds for documents read from outside: nesting and blocks walked.
constexpr int kMaxBlocks = 1 << 22;

[[noreturn]] void Incorrect() { throw EOleException(QStringLiteral("Incorrect Word document")); }

bool IsW(xmlNodePtr n, const char* local) {
  return n && n->type == XML_ELEMENT_NODE && n->ns && xmlStrEqual(n->ns->href, BAD_CAST kW) &&
         xmlStrEqual(n->name, BAD_CAST local);
}

xmlNodePtr FirstW(xmlNodePtr parent, const char* local) {
  for (xmlNodePtr c = parent ? parent->children : nullptr; c; c = c->next)
    if (IsW(c, local)) return c;
  return nullptr;
}

// XML 1.0 characters only; surrogate pairs kept whole.
QString XmlSafe(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t ch = text[i].unicode();
    if (QChar::isHighSurrogate(ch)) {
      if (i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        out += text[i];
        out += text[++i];
      }
      continue;
    }
    if (QChar::isLowSurrogate(ch)) continue;
    if (ch < 0x20 && ch != u'\t' && ch != u'\n' && ch != u'\r') continue;
    if (ch == 0xFFFE || ch == 0xFFFF) continue;
    out += text[i];
  }
  return out;
}

QString DocumentXmlNew() {
  return QStringLiteral(
      "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
      "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
      "<w:body><w:p/><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
      "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" w:header=\"708\" "
      "w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>");
}

const char* const kContentTypes =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "</Types>";

const char* const kPackageRels =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

xmlDocPtr ParseXml(const QByteArray& bytes) {
  xmlDocPtr doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR);
  if (doc && (!xmlDocGetRootElement(doc) || doc->intSubset)) {
    xmlFreeDoc(doc);
    return nullptr;
  }
  return doc;
}

}  // namespace

// One open document: the package it came from (if any), its main part's
// name and tree.
class TDocumentData {
 public:
  ~TDocumentData() {
    if (Doc) xmlFreeDoc(Doc);
  }
  QString Source;    // the package read, empty for a new document
  QString PartName = kDefaultPart;
  QString FullName;  // as the document calls itself
  xmlDocPtr Doc = nullptr;
  xmlNodePtr Body = nullptr;
  xmlNsPtr W = nullptr;
  bool ShowSpellingErrors = true;

  void Attach(xmlDocPtr doc) {
    Doc = doc;
    xmlNodePtr root = xmlDocGetRootElement(doc);
    if (!IsW(root, "document")) Incorrect();
    Body = FirstW(root, "body");
    if (!Body) Incorrect();
    W = root->ns;
  }

  // Blocks of the body: every element but the section properties.
  std::vector<xmlNodePtr> Blocks() const {
    std::vector<xmlNodePtr> out;
    for (xmlNodePtr c = Body->children; c && int(out.size()) < kMaxBlocks; c = c->next)
      if (c->type == XML_ELEMENT_NODE && !IsW(c, "sectPr")) out.push_back(c);
    return out;
  }

  // The node before which position p inserts (nullptr: at the end, before
  // the section properties when there are some).
  void InsertAt(int p, xmlNodePtr node) {
    const std::vector<xmlNodePtr> blocks = Blocks();
    xmlNodePtr before = nullptr;
    if (p >= 0 && size_t(p) < blocks.size()) before = blocks[size_t(p)];
    if (!before) before = FirstW(Body, "sectPr");
    if (before) xmlAddPrevSibling(before, node);
    else xmlAddChild(Body, node);
  }

  xmlNodePtr NewW(const char* name) { return xmlNewDocNode(Doc, W, BAD_CAST name, nullptr); }
  void SetW(xmlNodePtr n, const char* attr, const QByteArray& v) { xmlSetNsProp(n, W, BAD_CAST attr, BAD_CAST v.constData()); }

  // A paragraph holding text (runs with tabs for TAB characters).
  void AppendText(xmlNodePtr p, const QString& text) {
    const QStringList pieces = text.split(u'\t');
    xmlNodePtr r = xmlNewChild(p, W, BAD_CAST "r", nullptr);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
      if (i > 0) xmlNewChild(r, W, BAD_CAST "tab", nullptr);
      if (pieces[i].isEmpty()) continue;
      xmlNodePtr t = xmlNewChild(r, W, BAD_CAST "t", nullptr);
      xmlNodeAddContent(t, BAD_CAST pieces[i].toUtf8().constData());
      xmlNodeSetSpacePreserve(t, 1);
    }
  }

  // Text width of the page in twips (page width less the margins).
  int TextWidth() const {
    int width = 11906, left = 1440, right = 1440;
    if (xmlNodePtr sect = FirstW(Body, "sectPr")) {
      auto num = [&](xmlNodePtr n, const char* attr, int& out) {
        if (!n) return;
        xmlChar* v = xmlGetNsProp(n, BAD_CAST attr, BAD_CAST kW);
        if (!v) return;
        bool ok = false;
        const int x = QByteArray(reinterpret_cast<const char*>(v)).toInt(&ok);
        if (ok && x >= 0 && x < 1000000) out = x;
        xmlFree(v);
      };
      num(FirstW(sect, "pgSz"), "w", width);
      num(FirstW(sect, "pgMar"), "left", left);
      num(FirstW(sect, "pgMar"), "right", right);
    }
    return std::max(width - left - right, 720);
  }

  QByteArray Dump() const {
    xmlChar* mem = nullptr;
    int size = 0;
    xmlDocDumpMemoryEnc(Doc, &mem, &size, "UTF-8");
    if (!mem) throw EOleException(QStringLiteral("Out of memory"));
    QByteArray out(reinterpret_cast<const char*>(mem), size);
    xmlFree(mem);
    return out;
  }
};

// ---------------------------------------------------------------------------

void Cell::InsertAfter(const QString& Text) {
  auto* tc = static_cast<xmlNodePtr>(FNode);
  // The cell's last paragraph takes the first line; every further line
  // starts a paragraph of its own.
  xmlNodePtr p = nullptr;
  for (xmlNodePtr c = tc->children; c; c = c->next)
    if (IsW(c, "p")) p = c;
  if (!p) p = xmlNewChild(tc, FDoc->W, BAD_CAST "p", nullptr);
  QString text = XmlSafe(Text);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
  const QStringList lines = text.split(u'\n');
  xmlNodePtr jc = nullptr;
  if (xmlNodePtr ppr = FirstW(p, "pPr")) jc = FirstW(ppr, "jc");
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) {
      p = xmlNewChild(tc, FDoc->W, BAD_CAST "p", nullptr);
      if (jc) xmlAddChild(xmlNewChild(p, FDoc->W, BAD_CAST "pPr", nullptr), xmlCopyNode(jc, 1));
    }
    if (!lines[i].isEmpty()) FDoc->AppendText(p, lines[i]);
  }
}

void Cell::SetAlignment(int Value) {
  const char* v = Value == wdAlignParagraphRight    ? "right"
                  : Value == wdAlignParagraphCenter ? "center"
                                                    : "left";
  auto* tc = static_cast<xmlNodePtr>(FNode);
  for (xmlNodePtr p = tc->children; p; p = p->next) {
    if (!IsW(p, "p")) continue;
    xmlNodePtr ppr = FirstW(p, "pPr");
    if (!ppr) {
      ppr = FDoc->NewW("pPr");
      if (p->children) xmlAddPrevSibling(p->children, ppr);
      else xmlAddChild(p, ppr);
    }
    xmlNodePtr jc = FirstW(ppr, "jc");
    if (!jc) jc = xmlNewChild(ppr, FDoc->W, BAD_CAST "jc", nullptr);
    FDoc->SetW(jc, "val", v);
  }
}

Cell Table::GetCell(int Row, int Column) {
  if (Row < 1 || Row > FRows || Column < 1 || Column > FColumns)
    throw EOleException(QStringLiteral("The requested member of the collection does not exist (%1, %2)").arg(Row).arg(Column));
  // Rows and cells are found by walking; callers fill cells row by row, so
  // the walk starts at the row last found when it can.
  auto* tbl = static_cast<xmlNodePtr>(FNode);
  int r = 0;
  xmlNodePtr from = tbl->children;
  if (FRowNode && Row >= FRowIndex) {
    r = FRowIndex - 1;
    from = static_cast<xmlNodePtr>(FRowNode);
  }
  xmlNodePtr tr = nullptr;
  for (xmlNodePtr c = from; c; c = c->next)
    if (IsW(c, "tr") && ++r == Row) {
      tr = c;
      break;
    }
  FRowIndex = tr ? Row : 0;
  FRowNode = tr;
  int k = 0;
  Cell cell;
  cell.FDoc = FDoc;
  for (xmlNodePtr c = tr ? tr->children : nullptr; c; c = c->next)
    if (IsW(c, "tc") && ++k == Column) {
      cell.FNode = c;
      break;
    }
  if (!cell.FNode) throw EOleException(QStringLiteral("The table is damaged"));
  return cell;
}

// ---------------------------------------------------------------------------

QString Document::FullName() const { return FData->FullName; }
void Document::SetShowSpellingErrors(bool Value) { FData->ShowSpellingErrors = Value; }
bool Document::ShowSpellingErrors() const { return FData->ShowSpellingErrors; }

namespace {

// The block of the body that holds a bookmark start of that name, or -1.
int BookmarkBlock(const TDocumentData& d, const QString& name) {
  const QByteArray want = name.toUtf8();
  const std::vector<xmlNodePtr> blocks = d.Blocks();
  for (size_t i = 0; i < blocks.size(); ++i) {
    // Depth-first through the block, bounded by the tree libxml2 built.
    xmlNodePtr n = blocks[i];
    while (n) {
      if (IsW(n, "bookmarkStart")) {
        xmlChar* v = xmlGetNsProp(n, BAD_CAST "name", BAD_CAST kW);
        const bool hit = v && want == reinterpret_cast<const char*>(v);
        if (v) xmlFree(v);
        if (hit) return int(i);
      }
      if (n->children && n->type == XML_ELEMENT_NODE) {
        n = n->children;
        continue;
      }
      while (n && n != blocks[i] && !n->next) n = n->parent;
      if (!n || n == blocks[i]) break;
      n = n->next;
    }
  }
  return -1;
}

}  // namespace

bool Document::BookmarksExists(const QString& Name) const {
  return !Name.isEmpty() && BookmarkBlock(*FData, Name) >= 0;
}

Range Document::Goto(int What, const QString& Name) const {
  if (What != wdGoToBookmark) throw EOleException(QStringLiteral("Go to: kind %1 is not supported").arg(What));
  const int b = BookmarkBlock(*FData, Name);
  if (b < 0) throw EOleException(QStringLiteral("The bookmark \"%1\" does not exist").arg(Name));
  return Range{b, b};
}

void Document::ParagraphsAdd() { FData->InsertAt(-1, FData->NewW("p")); }

int Document::ParagraphsCount() const {
  int n = 0;
  for (xmlNodePtr b : FData->Blocks())
    if (IsW(b, "p")) ++n;
  return n;
}

Range Document::GetRange(int Start, int End) const { return Range{Start, End}; }

int Document::TablesCount() const {
  int n = 0;
  for (xmlNodePtr b : FData->Blocks())
    if (IsW(b, "tbl")) ++n;
  return n;
}

Table Document::TablesAdd(const Range& Where, int NumRows, int NumColumns) {
  if (NumRows < 1 || NumColumns < 1 || qint64(NumRows) * NumColumns > (qint64(1) << 26))
    throw EOleException(QStringLiteral("The number must be between 1 and the table's limit"));
  TDocumentData& d = *FData;
  xmlNodePtr tbl = d.NewW("tbl");
  xmlNodePtr pr = xmlNewChild(tbl, d.W, BAD_CAST "tblPr", nullptr);
  xmlNodePtr w = xmlNewChild(pr, d.W, BAD_CAST "tblW", nullptr);
  d.SetW(w, "w", "0");
  d.SetW(w, "type", "auto");
  xmlNodePtr borders = xmlNewChild(pr, d.W, BAD_CAST "tblBorders", nullptr);
  for (const char* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) {
    xmlNodePtr b = xmlNewChild(borders, d.W, BAD_CAST side, nullptr);
    d.SetW(b, "val", "single");
    d.SetW(b, "sz", "4");
    d.SetW(b, "space", "0");
    d.SetW(b, "color", "auto");
  }
  const QByteArray colWidth = QByteArray::number(std::max(d.TextWidth() / NumColumns, 1));
  xmlNodePtr grid = xmlNewChild(tbl, d.W, BAD_CAST "tblGrid", nullptr);
  for (int c = 0; c < NumColumns; ++c) d.SetW(xmlNewChild(grid, d.W, BAD_CAST "gridCol", nullptr), "w", colWidth);
  for (int r = 0; r < NumRows; ++r) {
    xmlNodePtr tr = xmlNewChild(tbl, d.W, BAD_CAST "tr", nullptr);
    for (int c = 0; c < NumColumns; ++c) {
      xmlNodePtr tc = xmlNewChild(tr, d.W, BAD_CAST "tc", nullptr);
      xmlNodePtr tcw = xmlNewChild(xmlNewChild(tc, d.W, BAD_CAST "tcPr", nullptr), d.W, BAD_CAST "tcW", nullptr);
      d.SetW(tcw, "w", colWidth);
      d.SetW(tcw, "type", "dxa");
      xmlNewChild(tc, d.W, BAD_CAST "p", nullptr);
    }
  }
  d.InsertAt(Where.Start, tbl);
  Table t;
  t.FDoc = FData;
  t.FNode = tbl;
  t.FRows = NumRows;
  t.FColumns = NumColumns;
  return t;
}

void Document::SaveAs(const QString& FileName) {
  TDocumentData& d = *FData;
  const QByteArray main = d.Dump();
  TAtomicFile file(FileName);
  QString error;
  TZipArchive out;
  if (d.Source.isEmpty()) {
    if (!out.Create(file.TempPath(), error))
      throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(FileName, error));
    out.Put(QStringLiteral("[Content_Types].xml"), kContentTypes);
    out.Put(QStringLiteral("_rels/.rels"), kPackageRels);
    out.Put(d.PartName, main);
  } else {
    // Every other part copied as it is.
    QFile::remove(file.TempPath());
    if (!QFile::copy(d.Source, file.TempPath()))
      throw EOleException(QStringLiteral("Cannot write \"%1\": the document cannot be copied").arg(FileName));
    if (!out.OpenWrite(file.TempPath(), error))
      throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(FileName, error));
    out.Put(d.PartName, main);
  }
  out.Commit();
  file.Commit(d.Source.isEmpty() ? QString() : d.Source);
  d.FullName = FileName;
}

// ---------------------------------------------------------------------------

void Selection::TypeText(const QString& Text) { FPending += Text; }

void Selection::TypeParagraph() {
  DocumentPtr doc = FApp->ActiveDocument();
  if (!doc) throw EOleException(QStringLiteral("This command is not available because no document is open"));
  TDocumentData& d = *doc->Data();
  xmlNodePtr p = d.NewW("p");
  const QString text = XmlSafe(FPending);
  if (!text.isEmpty()) d.AppendText(p, QString(text).replace(u'\r', u' ').replace(u'\n', u' '));
  FPending.clear();
  d.InsertAt(FApp->SelectionPos, p);
  ++FApp->SelectionPos;
}

void Selection::Goto(int What, int Which) {
  DocumentPtr doc = FApp->ActiveDocument();
  if (!doc) throw EOleException(QStringLiteral("This command is not available because no document is open"));
  if (What != wdGoToLine || Which != wdGoToLast)
    throw EOleException(QStringLiteral("Go to: kind %1, direction %2 is not supported").arg(What).arg(Which));
  const std::vector<xmlNodePtr> blocks = doc->Data()->Blocks();
  FApp->SelectionPos = blocks.empty() ? 0 : int(blocks.size()) - 1;
}

int Selection::End() const { return FApp->SelectionPos; }

// ---------------------------------------------------------------------------

Application::Application() { FSelection.FApp = this; }

void Application::CheckRunning() const {
  if (FQuit) throw EOleException(QStringLiteral("The server has quit"));
}

DocumentPtr Application::DocumentsAdd() {
  CheckRunning();
  auto data = std::make_shared<TDocumentData>();
  const QByteArray xml = DocumentXmlNew().toUtf8();
  xmlDocPtr doc = ParseXml(xml);
  if (!doc) throw EOleException(QStringLiteral("Out of memory"));
  data->Attach(doc);
  data->FullName = QStringLiteral("Document%1").arg(FDocuments.size() + 1);
  FActive = std::make_shared<Document>(data);
  FDocuments.push_back(FActive);
  SelectionPos = 0;
  return FActive;
}

namespace {

// The main document part named by the package relationships.
QString MainPart(const TZipArchive& zip) {
  if (!zip.Exists(QStringLiteral("_rels/.rels"))) return kDefaultPart;
  xmlDocPtr rels = ParseXml(zip.Read(QStringLiteral("_rels/.rels"), 1 << 20));
  if (!rels) Incorrect();
  QString part = kDefaultPart;
  for (xmlNodePtr c = xmlDocGetRootElement(rels)->children; c; c = c->next) {
    if (c->type != XML_ELEMENT_NODE || !xmlStrEqual(c->name, BAD_CAST "Relationship")) continue;
    xmlChar* type = xmlGetProp(c, BAD_CAST "Type");
    xmlChar* target = xmlGetProp(c, BAD_CAST "Target");
    if (type && target && QByteArray(reinterpret_cast<const char*>(type)).endsWith("/officeDocument")) {
      part = QString::fromUtf8(reinterpret_cast<const char*>(target));
      while (part.startsWith(u'/')) part.remove(0, 1);
    }
    if (type) xmlFree(type);
    if (target) xmlFree(target);
  }
  xmlFreeDoc(rels);
  if (part.contains(QStringLiteral(".."))) Incorrect();
  return part;
}

}  // namespace

DocumentPtr Application::DocumentsOpen(const QString& FileName) {
  CheckRunning();
  if (!QFileInfo(FileName).isFile())
    throw EOleException(QStringLiteral("The file \"%1\" does not exist").arg(FileName));
  TZipArchive zip;
  QString error;
  if (!zip.OpenRead(FileName, error)) Incorrect();
  auto data = std::make_shared<TDocumentData>();
  data->Source = FileName;
  data->FullName = FileName;
  try {
    data->PartName = MainPart(zip);
    xmlDocPtr doc = ParseXml(zip.Read(data->PartName, qint64(1) << 28));
    if (!doc) Incorrect();
    data->Attach(doc);
  } catch (const EOleException&) {
    Incorrect();
  }
  FActive = std::make_shared<Document>(data);
  FDocuments.push_back(FActive);
  SelectionPos = 0;
  return FActive;
}

DocumentPtr Application::ActiveDocument() const {
  CheckRunning();
  return FActive;
}

void Application::Quit() {
  FDocuments.clear();
  FActive.reset();
  FQuit = true;
}

ApplicationPtr GetActiveOleObject(const QString&) { return nullptr; }

ApplicationPtr CreateOleObject(const QString& ClassName) {
  if (ClassName.compare(QStringLiteral("word.application"), Qt::CaseInsensitive) != 0)
    throw EOleSysError(QStringLiteral("Invalid class string"));
  return std::make_shared<Application>();
}

void CheckDocumentBytes(const QByteArray& DocumentXml) {
  xmlDocPtr doc = ParseXml(DocumentXml);
  if (!doc) Incorrect();
  TDocumentData d;
  d.Attach(doc);
  Document view(std::shared_ptr<TDocumentData>(&d, [](TDocumentData*) {}));
  view.BookmarksExists(QStringLiteral("x"));
  view.ParagraphsAdd();
  (void)d.TextWidth();
}

}  // namespace WordApi
