// Saving into an opened .xlsx package: the written sheets' parts are rebuilt
// by streaming the old part and merging the written rows in, added sheets get
// new parts, and the workbook, its relationships and the content types are
// edited only when a sheet was added (or a stale calculation chain has to
// go). Everything else is copied from the old package untouched.

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <QFile>
#include <QHash>
#include <QSet>
#include <cstring>
#include <memory>

#include "platform/office/ComObj.h"
#include "platform/office/Excel.h"
#include "platform/office/XlsxFormat.h"

namespace Excel::detail {

namespace {

const char kMainNs[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
const char kRelNs[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char kWorksheetRel[] = "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
const char kWorksheetType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

bool IsHex(QChar c) { return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f'); }

void AppendAttrEscaped(QByteArray& out, const char* value) {
  for (const char* p = value; *p; ++p) {
    switch (*p) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\t': out += "&#9;"; break;
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      default: out += *p;
    }
  }
}

}  // namespace

void AppendEscapedText(QByteArray& out, const QString& text) {
  QString s;
  s.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar ch = text[i];
    const char16_t c = ch.unicode();
    if (ch.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      s += ch;
      s += text[++i];
    } else if (ch.isSurrogate()) {
      s += QChar(0xFFFD);
    } else if ((c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF) {
      s += QStringLiteral("_x") + QStringLiteral("%1").arg(int(c), 4, 16, QLatin1Char('0')).toUpper() + u'_';
    } else if (c == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && IsHex(text[i + 2]) && IsHex(text[i + 3]) &&
               IsHex(text[i + 4]) && IsHex(text[i + 5]) && text[i + 6] == u'_') {
      s += QStringLiteral("_x005F_");
    } else if (c == u'&') {
      s += QStringLiteral("&amp;");
    } else if (c == u'<') {
      s += QStringLiteral("&lt;");
    } else if (c == u'>') {
      s += QStringLiteral("&gt;");
    } else {
      s += ch;
    }
  }
  out += s.toUtf8();
}

namespace {

// ---------------------------------------------------------------------------
// Worksheet parts

class TSheetRewriter {
 public:
  TSheetRewriter(const TSheetStore& store) : FStore(store), FRows(store.WrittenRows()) {}

  // A new worksheet part holding the written cells only.
  QByteArray NewPart() {
    FOut = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    FOut += "<worksheet xmlns=\"";
    FOut += kMainNs;
    FOut += "\" xmlns:r=\"";
    FOut += kRelNs;
    FOut += "\">";
    TCellRect used;
    if (WrittenBounds(used)) FOut += "<dimension ref=\"" + RangeAddress(used).toUtf8() + "\"/>";
    FOut += "<sheetData>";
    for (int row : FRows) NewRow(row);
    FOut += "</sheetData><pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
            "footer=\"0.3\"/></worksheet>";
    return FOut;
  }

  // The old part with the written rows merged in.
  QByteArray Rewrite(TXmlPartReader& reader) {
    FOut = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
    bool more = reader.Read();
    while (more && !reader.IsStart()) more = reader.Read();
    if (!more) throw EOleException(QStringLiteral("Part %1 holds no worksheet").arg(reader.PartName()));
    const QByteArray rootName = QualifiedName(reader);
    FPrefix = Prefix(reader);
    StartTag(reader, QSet<QByteArray>());
    if (reader.IsEmptyElement()) {  // "<worksheet/>": opened here, closed below
      FOut.chop(2);
      FOut += ">";
    }
    bool sawData = false;
    more = reader.IsEmptyElement() ? false : reader.Read();
    while (more) {
      if (reader.Depth() == 0) break;  // the root's end
      const int type = reader.NodeType();
      if (type == XML_READER_TYPE_ELEMENT && reader.NameIs("dimension")) {
        Dimension(reader);
        more = reader.Next();
      } else if (type == XML_READER_TYPE_ELEMENT && reader.NameIs("sheetData")) {
        FPrefix = Prefix(reader);
        SheetData(reader);
        sawData = true;
        more = reader.Read();
      } else if (type == XML_READER_TYPE_WHITESPACE || type == XML_READER_TYPE_SIGNIFICANT_WHITESPACE) {
        more = reader.Read();
      } else {
        FOut += reader.OuterXml();
        more = reader.Next();
      }
    }
    if (!sawData) {
      Open("sheetData");
      for (int row : FRows) NewRow(row);
      Close("sheetData");
    }
    FOut += "</" + rootName + ">";
    return FOut;
  }

  // An overwritten cell held a formula (a calculation chain may name it).
  bool FormulaReplaced = false;

 private:
  static QByteArray QualifiedName(const TXmlPartReader& reader) {
    return QByteArray(reinterpret_cast<const char*>(xmlTextReaderConstName(reader.Handle())));
  }
  static QByteArray Prefix(const TXmlPartReader& reader) {
    const xmlChar* p = xmlTextReaderConstPrefix(reader.Handle());
    return p ? QByteArray(reinterpret_cast<const char*>(p)) + ':' : QByteArray();
  }
  void Open(const char* name) { FOut += "<" + FPrefix + name + ">"; }
  void Close(const char* name) { FOut += "</" + FPrefix + name + ">"; }

  // "<name attrs...>" (or "/>" for an empty element) with the attributes in
  // skip left out.
  void StartTag(TXmlPartReader& reader, const QSet<QByteArray>& skip, const QByteArray& extra = QByteArray()) {
    xmlTextReaderPtr r = reader.Handle();
    FOut += '<';
    FOut += QualifiedName(reader);
    if (xmlTextReaderMoveToFirstAttribute(r) == 1) {
      do {
        const QByteArray name(reinterpret_cast<const char*>(xmlTextReaderConstName(r)));
        if (skip.contains(name)) continue;
        FOut += ' ' + name + "=\"";
        const xmlChar* v = xmlTextReaderConstValue(r);
        AppendAttrEscaped(FOut, v ? reinterpret_cast<const char*>(v) : "");
        FOut += '"';
      } while (xmlTextReaderMoveToNextAttribute(r) == 1);
      xmlTextReaderMoveToElement(r);
    }
    FOut += extra;
    FOut += reader.IsEmptyElement() ? "/>" : ">";
  }

  bool WrittenBounds(TCellRect& rect) const {
    bool any = false;
    for (const TSheetStore::TBlock& b : FStore.Blocks) {
      if (!any) rect = b.Rect, any = true;
      rect.Row1 = std::min(rect.Row1, b.Rect.Row1);
      rect.Col1 = std::min(rect.Col1, b.Rect.Col1);
      rect.Row2 = std::max(rect.Row2, b.Rect.Row2);
      rect.Col2 = std::max(rect.Col2, b.Rect.Col2);
    }
    return any;
  }

  void Dimension(TXmlPartReader& reader) {
    TCellRect rect;
    const bool hasOld = TryParseRange(QString::fromUtf8(reader.Attr("ref")), rect);
    TCellRect written;
    if (WrittenBounds(written)) {
      if (!hasOld) rect = written;
      rect = {std::min(rect.Row1, written.Row1), std::min(rect.Col1, written.Col1), std::max(rect.Row2, written.Row2),
              std::max(rect.Col2, written.Col2)};
    } else if (!hasOld) {
      FOut += reader.OuterXml();
      return;
    }
    FOut += "<" + FPrefix + "dimension ref=\"" + RangeAddress(rect).toUtf8() + "\"/>";
  }

  void NewCell(int row, int col, const QVariant* value, const QByteArray& style) {
    const bool hasText = value->isValid() && !static_cast<const QString*>(value->constData())->isEmpty();
    if (!hasText) {
      // A cleared cell keeps its formatting, as the application's own
      // clearing does.
      if (!style.isEmpty()) FOut += "<" + FPrefix + "c r=\"" + CellAddress(row, col).toUtf8() + "\" s=\"" + style + "\"/>";
      return;
    }
    const QString& text = *static_cast<const QString*>(value->constData());
    FOut += "<" + FPrefix + "c r=\"" + CellAddress(row, col).toUtf8() + '"';
    if (!style.isEmpty()) FOut += " s=\"" + style + '"';
    FOut += " t=\"inlineStr\"><" + FPrefix + "is><" + FPrefix + "t";
    if (text.front().isSpace() || text.back().isSpace() || text.contains(u'\n')) FOut += " xml:space=\"preserve\"";
    FOut += '>';
    AppendEscapedText(FOut, text);
    FOut += "</" + FPrefix + "t></" + FPrefix + "is></" + FPrefix + "c>";
  }

  void NewRow(int row) {
    FStore.WrittenRow(row, FCells);
    bool any = false;
    for (const auto& [col, value] : FCells)
      if (value->isValid()) any = true;
    if (!any) return;
    FOut += "<" + FPrefix + "row r=\"" + QByteArray::number(row) + "\">";
    for (const auto& [col, value] : FCells) NewCell(row, col, value, QByteArray());
    FOut += "</" + FPrefix + "row>";
  }

  // The element at the reader as XML, with r set when it was missing and
  // its shared formula dropped when that formula's first cell is gone.
  QByteArray CopyElement(TXmlPartReader& reader, const QByteArray& ref, bool missingRef, bool dropFormula) {
    if (!missingRef && !dropFormula) return reader.OuterXml();
    xmlNodePtr node = xmlTextReaderExpand(reader.Handle());
    if (!node) throw EOleException(QStringLiteral("Part %1 is damaged").arg(reader.PartName()));
    std::unique_ptr<xmlNode, void (*)(xmlNodePtr)> copy(xmlCopyNode(node, 1), &xmlFreeNode);
    if (!copy) throw EOleException(QStringLiteral("Out of memory"));
    if (missingRef) xmlSetProp(copy.get(), BAD_CAST "r", BAD_CAST ref.constData());
    if (dropFormula) {
      for (xmlNodePtr child = copy->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(child->name), "f") == 0) {
          xmlUnlinkNode(child);
          xmlFreeNode(child);
          break;
        }
      }
    }
    std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> buffer(xmlBufferCreate(), &xmlBufferFree);
    xmlNodeDump(buffer.get(), node->doc, copy.get(), 0, 0);
    return QByteArray(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())), xmlBufferLength(buffer.get()));
  }

  // Formula facts of the cell at the reader (expanded, not moved).
  struct TFormula {
    bool Any = false;
    bool SharedMaster = false;
    bool SharedMember = false;
    QByteArray Si;
  };
  static TFormula FormulaOf(TXmlPartReader& reader) {
    TFormula f;
    if (reader.IsEmptyElement()) return f;
    xmlNodePtr node = xmlTextReaderExpand(reader.Handle());
    if (!node) throw EOleException(QStringLiteral("Part %1 is damaged").arg(reader.PartName()));
    for (xmlNodePtr child = node->children; child; child = child->next) {
      if (child->type != XML_ELEMENT_NODE || std::strcmp(reinterpret_cast<const char*>(child->name), "f") != 0) continue;
      f.Any = true;
      std::unique_ptr<xmlChar, void (*)(void*)> t(xmlGetProp(child, BAD_CAST "t"), xmlFree);
      if (t && std::strcmp(reinterpret_cast<const char*>(t.get()), "shared") == 0) {
        std::unique_ptr<xmlChar, void (*)(void*)> si(xmlGetProp(child, BAD_CAST "si"), xmlFree);
        std::unique_ptr<xmlChar, void (*)(void*)> ref(xmlGetProp(child, BAD_CAST "ref"), xmlFree);
        f.Si = si ? QByteArray(reinterpret_cast<const char*>(si.get())) : QByteArray();
        if (ref) f.SharedMaster = true;
        else f.SharedMember = true;
      }
    }
    return f;
  }

  // A block written since the sheet was read covers the cell.
  bool Written(int row, int col) const {
    for (const TSheetStore::TBlock& block : FStore.Blocks)
      if (block.Rect.Contains(row, col)) return true;
    return false;
  }

  // One old row with its written cells merged in. The reader stands on the
  // row's start and is left on its end (or on the empty row element). A row
  // whose number is missing or unreadable gets the one it was read under, in
  // place of whatever its r held (a second r would make the part malformed).
  void MergeRow(TXmlPartReader& reader, int row, bool written, bool numberless) {
    if (written) FStore.WrittenRow(row, FCells);
    else FCells.clear();
    QSet<QByteArray> skip;
    if (written) skip.insert("spans");
    if (numberless) skip.insert("r");
    const QByteArray rowRef = "r=\"" + QByteArray::number(row) + '"';
    StartTag(reader, skip, numberless ? " " + rowRef : QByteArray());
    size_t k = 0;
    if (!reader.IsEmptyElement()) {
      const int depth = reader.Depth();
      int col = 0;
      bool more = reader.Read();
      while (more) {
        if (reader.IsEnd() && reader.Depth() == depth) break;
        if (reader.IsStart() && reader.NameIs("c")) {
          const QByteArray ref = reader.Attr("r");
          int r = row, c = col + 1;
          int refRow = row;
          if (!ref.isNull()) {
            TCellRect cell;
            if (!TryParseRange(QString::fromUtf8(ref), cell))
              throw EOleException(QStringLiteral("Invalid cell reference \"%1\"").arg(QString::fromUtf8(ref)));
            c = cell.Col1;
            refRow = cell.Row1;
          }
          col = c;
          while (k < FCells.size() && FCells[k].first < c) {
            NewCell(row, FCells[k].first, FCells[k].second, QByteArray());
            ++k;
          }
          const TFormula formula = FormulaOf(reader);
          if (k < FCells.size() && FCells[k].first == c) {
            if (formula.Any) FormulaReplaced = true;
            if (formula.SharedMaster) FOrphans.insert(formula.Si);
            NewCell(row, c, FCells[k].second, reader.Attr("s"));
            ++k;
          } else if (Written(refRow, c)) {
            // A damaged sheet files this cell under another row than its
            // reference names, or after a cell of a later column (so the
            // written value went out before it); the readers take the
            // reference and the last cell of a place, so a value written to
            // that cell replaces it here too.
            if (formula.SharedMaster) FOrphans.insert(formula.Si);
          } else {
            const bool drop = formula.SharedMember && FOrphans.contains(formula.Si);
            FOut += CopyElement(reader, CellAddress(r, c).toUtf8(), ref.isNull(), drop);
          }
          more = reader.Next();
          continue;
        }
        if (reader.IsStart()) {
          // Flush the written cells before anything that follows the cells.
          while (k < FCells.size()) {
            NewCell(row, FCells[k].first, FCells[k].second, QByteArray());
            ++k;
          }
          FOut += reader.OuterXml();
          more = reader.Next();
          continue;
        }
        more = reader.Read();
      }
    }
    if (reader.IsEmptyElement()) {
      if (k < FCells.size()) {
        FOut.chop(2);
        FOut += ">";
      } else {
        return;
      }
    }
    while (k < FCells.size()) {
      NewCell(row, FCells[k].first, FCells[k].second, QByteArray());
      ++k;
    }
    FOut += "</" + QualifiedName(reader) + ">";
  }

  // The reader stands on <sheetData> and is left on its end.
  void SheetData(TXmlPartReader& reader) {
    Open("sheetData");
    size_t w = 0;
    if (!reader.IsEmptyElement()) {
      const int depth = reader.Depth();
      int last = 0;
      bool more = reader.Read();
      while (more) {
        if (reader.IsEnd() && reader.Depth() == depth) break;
        if (reader.IsStart() && reader.NameIs("row")) {
          const QByteArray r = reader.Attr("r");
          bool ok = false;
          int row = r.toInt(&ok);
          if (!ok) row = last + 1;
          if (row <= last || row > MaxRows)
            throw EOleException(QStringLiteral("Part %1 lists its rows out of order").arg(reader.PartName()));
          last = row;
          while (w < FRows.size() && FRows[w] < row) NewRow(FRows[w++]);
          const bool written = w < FRows.size() && FRows[w] == row;
          if (written) ++w;
          // Rows are read cell by cell while anything was written: a cell
          // filed under another row than its reference may be one written.
          if (written || !FOrphans.isEmpty() || !ok || !FRows.empty()) {
            MergeRow(reader, row, written, !ok);
            more = reader.Read();
          } else {
            FOut += reader.OuterXml();
            more = reader.Next();
          }
          continue;
        }
        if (reader.IsStart()) {
          FOut += reader.OuterXml();
          more = reader.Next();
          continue;
        }
        more = reader.Read();
      }
    }
    while (w < FRows.size()) NewRow(FRows[w++]);
    Close("sheetData");
  }

  const TSheetStore& FStore;
  const std::vector<int> FRows;
  std::vector<std::pair<int, const QVariant*>> FCells;
  QSet<QByteArray> FOrphans;  // shared formulas whose first cell was overwritten
  QByteArray FOut;
  QByteArray FPrefix;
};

// ---------------------------------------------------------------------------
// Small parts edited as documents

struct TXmlDoc {
  xmlDocPtr Doc = nullptr;
  ~TXmlDoc() {
    if (Doc) xmlFreeDoc(Doc);
  }
};

void ParseDoc(TXmlDoc& doc, const QByteArray& bytes, const QString& name) {
  doc.Doc = xmlReadMemory(bytes.constData(), int(bytes.size()), nullptr, nullptr,
                          XML_PARSE_NONET | XML_PARSE_NOWARNING | XML_PARSE_NOERROR);
  if (!doc.Doc || !xmlDocGetRootElement(doc.Doc) || doc.Doc->intSubset)
    throw EOleException(QStringLiteral("Part %1 is damaged").arg(name));
}

QByteArray DumpDoc(const TXmlDoc& doc) {
  xmlChar* mem = nullptr;
  int size = 0;
  xmlDocDumpMemoryEnc(doc.Doc, &mem, &size, "UTF-8");
  if (!mem) throw EOleException(QStringLiteral("Out of memory"));
  QByteArray out(reinterpret_cast<const char*>(mem), size);
  xmlFree(mem);
  return out;
}

bool LocalNameIs(xmlNodePtr node, const char* name) {
  return node && node->type == XML_ELEMENT_NODE && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

void FindAll(xmlNodePtr node, const char* name, std::vector<xmlNodePtr>& found) {
  for (xmlNodePtr n = node; n; n = n->next) {
    if (LocalNameIs(n, name)) found.push_back(n);
    if (n->children) FindAll(n->children, name, found);
  }
}

xmlNodePtr FindFirst(xmlDocPtr doc, const char* name) {
  std::vector<xmlNodePtr> found;
  FindAll(xmlDocGetRootElement(doc), name, found);
  return found.empty() ? nullptr : found.front();
}

QByteArray Prop(xmlNodePtr node, const char* name) {
  xmlChar* v = xmlGetProp(node, BAD_CAST name);
  if (!v) return QByteArray();
  QByteArray out(reinterpret_cast<const char*>(v));
  xmlFree(v);
  return out;
}

// The r:id attribute of a <sheet> (namespace-aware).
QByteArray RelIdOf(xmlNodePtr sheet) {
  xmlChar* v = xmlGetNsProp(sheet, BAD_CAST "id", BAD_CAST kRelNs);
  if (!v) {
    // Strict documents use another namespace URI; take any "id" attribute
    // that has a namespace.
    for (xmlAttrPtr a = sheet->properties; a; a = a->next)
      if (a->ns && std::strcmp(reinterpret_cast<const char*>(a->name), "id") == 0)
        return QByteArray(reinterpret_cast<const char*>(a->children ? a->children->content : BAD_CAST ""));
    return QByteArray();
  }
  QByteArray out(reinterpret_cast<const char*>(v));
  xmlFree(v);
  return out;
}

void CopyFile(const QString& from, const QString& to) {
  QFile in(from), out(to);
  if (!in.open(QIODevice::ReadOnly))
    throw EOleException(QStringLiteral("Cannot read \"%1\": %2").arg(from, in.errorString()));
  if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
    throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(to, out.errorString()));
  QByteArray buffer;
  while (!(buffer = in.read(1 << 20)).isEmpty())
    if (out.write(buffer) != buffer.size())
      throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(to, out.errorString()));
  if (in.error() != QFileDevice::NoError)
    throw EOleException(QStringLiteral("Cannot read \"%1\": %2").arg(from, in.errorString()));
  if (!out.flush()) throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(to, out.errorString()));
}

}  // namespace

void PatchWorkbook(const QString& source, const QString& target, const TPackageInfo& info,
                   std::vector<TPatchSheet>& sheets) {
  TAtomicFile file(target);
  CopyFile(source, file.TempPath());
  TZipArchive in, out;
  QString error;
  if (!in.OpenRead(source, error)) throw EOleException(QStringLiteral("Incorrect Excel file"));
  if (!out.OpenWrite(file.TempPath(), error))
    throw EOleException(QStringLiteral("Cannot write \"%1\": %2").arg(target, error));

  bool formulaReplaced = false;
  bool added = false;
  for (TPatchSheet& sheet : sheets) {
    if (sheet.Added) {
      added = true;
      continue;
    }
    if (!sheet.Dirty) continue;
    TSheetRewriter rewriter(*sheet.Store);
    TXmlPartReader reader(in, sheet.Part->PartName);
    out.Put(sheet.Part->PartName, rewriter.Rewrite(reader));
    formulaReplaced |= rewriter.FormulaReplaced;
  }

  const QString relsName = RelsPartName(info.WorkbookPart);
  // Relationships of the workbook: new worksheets, the calculation chain.
  TXmlDoc rels;
  xmlNodePtr relsRoot = nullptr;
  std::vector<xmlNodePtr> relNodes;
  bool hasCalcChain = false;
  if (added || (formulaReplaced && in.Exists(relsName))) {
    ParseDoc(rels, in.Read(relsName), relsName);
    relsRoot = xmlDocGetRootElement(rels.Doc);
    FindAll(relsRoot->children, "Relationship", relNodes);
    for (xmlNodePtr n : relNodes)
      if (Prop(n, "Type").endsWith("/calcChain")) hasCalcChain = true;
  }
  if (!added && !(formulaReplaced && hasCalcChain)) {
    out.Commit();
    file.Commit(source);
    return;
  }
  QSet<QByteArray> relIds;
  for (xmlNodePtr n : relNodes) relIds.insert(Prop(n, "Id"));

  TXmlDoc types;
  ParseDoc(types, in.Read(QStringLiteral("[Content_Types].xml")), QStringLiteral("[Content_Types].xml"));
  xmlNodePtr typesRoot = xmlDocGetRootElement(types.Doc);

  QString calcChainPart;
  if (formulaReplaced) {
    for (xmlNodePtr n : relNodes) {
      if (Prop(n, "Type").endsWith("/calcChain")) {
        calcChainPart = ResolvePartName(info.WorkbookPart, QString::fromUtf8(Prop(n, "Target")));
        xmlUnlinkNode(n);
        xmlFreeNode(n);
      }
    }
    if (!calcChainPart.isEmpty()) {
      out.Remove(calcChainPart);
      std::vector<xmlNodePtr> overrides;
      FindAll(typesRoot->children, "Override", overrides);
      for (xmlNodePtr n : overrides)
        if (Prop(n, "PartName") == "/" + calcChainPart.toUtf8()) {
          xmlUnlinkNode(n);
          xmlFreeNode(n);
        }
    }
  }

  if (added) {
    TXmlDoc book;
    ParseDoc(book, in.Read(info.WorkbookPart), info.WorkbookPart);
    xmlNodePtr sheetsNode = FindFirst(book.Doc, "sheets");
    if (!sheetsNode) throw EOleException(QStringLiteral("Part %1 is damaged").arg(info.WorkbookPart));
    std::vector<xmlNodePtr> oldSheets;
    FindAll(sheetsNode->children, "sheet", oldSheets);
    QHash<QByteArray, xmlNodePtr> byRel;
    int maxSheetId = 0;
    for (xmlNodePtr n : oldSheets) {
      byRel.insert(RelIdOf(n), n);
      maxSheetId = std::max(maxSheetId, Prop(n, "sheetId").toInt());
    }
    xmlNsPtr relNs = xmlSearchNsByHref(book.Doc, sheetsNode, BAD_CAST kRelNs);
    int nextPart = 1, nextRel = 1;
    // Old position of each sheet (by relationship id) and its new position.
    QHash<int, int> newIndexOfOld;
    for (size_t i = 0; i < info.Sheets.size(); ++i)
      for (size_t j = 0; j < sheets.size(); ++j)
        if (!sheets[j].Added && sheets[j].Part->RelId == info.Sheets[i].Part.RelId) newIndexOfOld.insert(int(i), int(j));

    for (xmlNodePtr n : oldSheets) xmlUnlinkNode(n);
    for (TPatchSheet& sheet : sheets) {
      if (!sheet.Added) {
        xmlNodePtr n = byRel.take(sheet.Part->RelId.toUtf8());
        if (n) xmlAddChild(sheetsNode, n);
        continue;
      }
      QString partName;
      do partName = QStringLiteral("xl/worksheets/sheet%1.xml").arg(nextPart++);
      while (in.Exists(partName) || out.Exists(partName));
      QByteArray relId;
      do relId = "rId" + QByteArray::number(nextRel++);
      while (relIds.contains(relId));
      relIds.insert(relId);
      sheet.Part->PartName = partName;
      sheet.Part->RelId = QString::fromUtf8(relId);
      sheet.Part->SheetId = ++maxSheetId;

      TSheetRewriter rewriter(*sheet.Store);
      out.Put(partName, rewriter.NewPart());

      xmlNodePtr node = xmlNewChild(sheetsNode, sheetsNode->ns, BAD_CAST "sheet", nullptr);
      xmlNewProp(node, BAD_CAST "name", BAD_CAST sheet.Name.toUtf8().constData());
      xmlNewProp(node, BAD_CAST "sheetId", BAD_CAST QByteArray::number(sheet.Part->SheetId).constData());
      if (!relNs) relNs = xmlNewNs(node, BAD_CAST kRelNs, BAD_CAST "r");
      xmlNewNsProp(node, relNs, BAD_CAST "id", BAD_CAST relId.constData());

      xmlNodePtr rel = xmlNewChild(relsRoot, relsRoot->ns, BAD_CAST "Relationship", nullptr);
      xmlNewProp(rel, BAD_CAST "Id", BAD_CAST relId.constData());
      xmlNewProp(rel, BAD_CAST "Type", BAD_CAST kWorksheetRel);
      xmlNewProp(rel, BAD_CAST "Target",
                 BAD_CAST RelativeTarget(info.WorkbookPart, partName).toUtf8().constData());

      xmlNodePtr over = xmlNewChild(typesRoot, typesRoot->ns, BAD_CAST "Override", nullptr);
      xmlNewProp(over, BAD_CAST "PartName", BAD_CAST("/" + partName.toUtf8()).constData());
      xmlNewProp(over, BAD_CAST "ContentType", BAD_CAST kWorksheetType);
    }
    // Sheets the model did not know (none expected) stay at the end.
    for (xmlNodePtr n : byRel) xmlAddChild(sheetsNode, n);

    // Indexes into the sheet list follow the sheets they named.
    auto remap = [&](xmlNodePtr node, const char* attr, bool defaultsToZero = false) {
      const QByteArray v = Prop(node, attr);
      if (v.isNull() && !defaultsToZero) return;
      const int old = v.toInt();
      const auto it = newIndexOfOld.constFind(old);
      if (it != newIndexOfOld.constEnd() && *it != old)
        xmlSetProp(node, BAD_CAST attr, BAD_CAST QByteArray::number(*it).constData());
    };
    std::vector<xmlNodePtr> views, names;
    FindAll(xmlDocGetRootElement(book.Doc), "workbookView", views);
    for (xmlNodePtr v : views) {
      remap(v, "activeTab", true);
      remap(v, "firstSheet");
    }
    FindAll(xmlDocGetRootElement(book.Doc), "definedName", names);
    for (xmlNodePtr n : names) remap(n, "localSheetId");
    out.Put(info.WorkbookPart, DumpDoc(book));
  }
  out.Put(relsName, DumpDoc(rels));
  out.Put(QStringLiteral("[Content_Types].xml"), DumpDoc(types));
  out.Commit();
  file.Commit(source);
}

}  // namespace Excel::detail
