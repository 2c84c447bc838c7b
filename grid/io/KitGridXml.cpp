// XML export and import, JSON export.
//
// The XML file is written in the encoding its prologue declares (the grid's
// XMLEncoding, ISO-8859-1 by default; characters from U+0100 on always as
// numeric references); control characters XML cannot hold are dropped and a
// CR is written as "&#13;" so that it survives parsing. Element names are
// checked to be XML names. JSON is UTF-8 without a byte-order mark, names
// escaped like values. The reader takes the texts as the parser decoded
// them, without decoding entities a second time, and the parser never loads
// external entities or the network (see platform/office/XmlDom.h).

#include <QFileInfo>
#include <QRegularExpression>

#include "grid/io/KitGridIOSupport.h"
#include "grid/model/KitGrid.h"
#include "platform/office/XmlDom.h"
#include "platform/rtl/StringList.h"

using namespace kitgridio;

namespace {

const QLatin1String kEol("\r\n");

QString XmlValue(const QString& Text) {
  QString out;
  out.reserve(Text.size() + 16);
  for (qsizetype i = 0; i < Text.size(); ++i) {
    const char16_t u = Text.at(i).unicode();
    switch (u) {
      case u'&': out += QLatin1String("&amp;"); break;
      case u'>': out += QLatin1String("&gt;"); break;
      case u'<': out += QLatin1String("&lt;"); break;
      case u'"': out += QLatin1String("&quot;"); break;
      case u'\r': out += QLatin1String("&#13;"); break;
      default:
        if (u < 0x20 && u != u'\t' && u != u'\n') break;  // not allowed in XML
        if (QChar::isHighSurrogate(u) && i + 1 < Text.size() && QChar::isLowSurrogate(Text.at(i + 1).unicode())) {
          // One reference for the whole character, never one per half.
          out += QStringLiteral("&#%1;").arg(QChar::surrogateToUcs4(u, Text.at(i + 1).unicode()));
          ++i;
        } else if (QChar::isSurrogate(u) || u == 0xFFFE || u == 0xFFFF) {
          break;  // a lone half or a non-character cannot be written
        } else if (u >= 256) {
          out += QStringLiteral("&#%1;").arg(int(u));
        } else {
          out += QChar(u);
        }
    }
  }
  return out;
}

void CheckXmlName(const QString& Name) {
  static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.\\-]*$"));
  if (!re.match(Name).hasMatch() || Name.startsWith(QLatin1String("xml"), Qt::CaseInsensitive))
    throw EKitGridError(QStringLiteral("Invalid XML element name: ") + Name);
}

QString JsonString(const QString& Text) {
  QString out = QStringLiteral("\"");
  for (QChar ch : Text) {
    const char16_t u = ch.unicode();
    switch (u) {
      case u'\\': out += QLatin1String("\\\\"); break;
      case u'"': out += QLatin1String("\\\""); break;
      case u'\n': out += QLatin1String("\\n"); break;
      case u'\r': out += QLatin1String("\\r"); break;
      default:
        if (u < 0x20) out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QChar(u'0'));
        else out += ch;
    }
  }
  return out + u'"';
}

TBytes EncodeXml(const QString& Text, const QString& EncodingName) {
  const QString name = EncodingName.trimmed().toUpper();
  if (name == u"ISO-8859-1" || name == u"LATIN1" || name == u"ISO8859-1") return Text.toLatin1();
  if (name == u"UTF-8" || name == u"UTF8") return Text.toUtf8();
  if (TEncoding* enc = TEncoding::GetEncodingByName(EncodingName)) return enc->GetBytes(Text);
  throw EKitGridError(QStringLiteral("Unsupported XML encoding: ") + EncodingName);
}

QString FieldName(TStrings* FieldDescr, int Index) {
  if (FieldDescr != nullptr && Index < FieldDescr->Count()) return FieldDescr->Strings(Index);
  return QStringLiteral("FIELD") + QString::number(Index);
}

}  // namespace

QString TKitStringGrid::XMLText(const QString& ListDescr, const QString& RecordDescr, TStrings* FieldDescr,
                                bool ExportEmptyCells) {
  const TSaveArea area = SaveArea(*this);
  const int hidden = SaveHiddenCells() ? NumHiddenColumns() : 0;
  CheckXmlName(ListDescr);
  CheckXmlName(RecordDescr);
  for (int c = area.StartCol; c <= area.EndCol + hidden; ++c) CheckXmlName(FieldName(FieldDescr, c - area.StartCol));

  QString out = QStringLiteral("<?xml version=\"1.0\" encoding=\"") + XMLEncoding() + QStringLiteral("\" ?>") + kEol;
  out += u'<' + ListDescr + u'>' + kEol;
  TProgress progress(OnFileProgress ? [this](short p) { OnFileProgress(this, p); } : std::function<void(short)>());
  ExportNotification(esExportStart, area.StartRow);
  struct TDone {
    TKitStringGrid* G;
    ~TDone() { G->ExportNotification(esExportDone, -1); }
  } done{this};
  for (int r = area.StartRow; r <= area.EndRow; ++r) {
    ExportNotification(esExportNextRow, r);
    out += u'<' + RecordDescr + u'>' + kEol;
    for (int i = area.StartCol; i <= area.EndCol + hidden; ++i) {
      const int c = hidden > 0 ? i : DisplToRealCol(i);
      if (TCellProperties* rec = FindCellProperties(c, r); rec != nullptr && !rec->IsBaseCell()) continue;
      QString value = SaveCell(c, r);
      if (value.isEmpty()) {
        if (!ExportEmptyCells) continue;
        if (QuoteEmptyCells()) value = QStringLiteral("\"\"");
      }
      const QString name = FieldName(FieldDescr, c - area.StartCol);
      out += u'<' + name + u'>' + XmlValue(value) + QLatin1String("</") + name + u'>' + kEol;
    }
    out += QLatin1String("</") + RecordDescr + u'>' + kEol;
    progress.Step(r - area.StartRow, area.EndRow - area.StartRow);
  }
  out += QLatin1String("</") + ListDescr + u'>' + kEol;
  return out;
}

void TKitStringGrid::SaveToXML(const QString& FileName, const QString& ListDescr, const QString& RecordDescr,
                               TStrings* FieldDescr, bool ExportEmptyCells) {
  const TBytes bytes = EncodeXml(XMLText(ListDescr, RecordDescr, FieldDescr, ExportEmptyCells), XMLEncoding());
  WriteFileBytes(FileName, bytes);
}

void TKitStringGrid::SaveToJSON(const QString& RecordDescr, TStrings* FieldDescr, QString& JSON) {
  const TSaveArea area = SaveArea(*this);
  const bool named = FieldDescr != nullptr && FieldDescr->Count() >= area.ColCount;
  QString out;
  bool first = true;
  for (int r = area.StartRow; r <= area.EndRow; ++r) {
    if (IsSuppressedRow(r)) continue;
    QStringList cells;
    for (int c = area.StartCol; c <= area.EndCol; ++c) {
      const QString value = JsonString(SaveCell(c, r));
      cells << (named ? u'{' + JsonString(FieldDescr->Strings(c - area.StartCol)) + u':' + value + u'}' : value);
    }
    QString row = u'[' + cells.join(u',') + u']';
    if (!RecordDescr.isEmpty()) row = u'{' + JsonString(RecordDescr) + QLatin1String(":") + row + u'}';
    out += (first ? QStringLiteral("{\"grid\":[") : QStringLiteral(",")) + row + kEol;
    first = false;
  }
  if (first) out += QStringLiteral("{\"grid\":[") + kEol;
  out += QStringLiteral("]}") + kEol;
  JSON = out;
}

void TKitStringGrid::SaveToJSON(const QString& FileName, const QString& RecordDescr, TStrings* FieldDescr) {
  QString json;
  SaveToJSON(RecordDescr, FieldDescr, json);
  WriteFileBytes(FileName, json.toUtf8());
}

namespace {

struct TXmlWalk {
  TKitStringGrid& G;
  bool LevelToRow;
  bool LoadFieldDescr;
  int StartCol, StartRow;
  int Col = 0, Row = 0, Level = 1;
  int MaxCol = 0, MaxRow = 0;
  int Depth = 0;

  void Put(int c, int r, const QString& Text, bool Load) {
    const int tc = StartCol + c, tr = StartRow + r;
    if (tc < 0 || tr < 0) return;
    CheckLoadSize(tc + 1, tr + 1, QStringLiteral("XML document"));
    if (tc >= G.ColCount()) G.SetColCount(tc + 1);
    if (tr >= G.RowCount()) G.SetRowCount(tr + 1);
    if (Load) G.LoadCell(tc, tr, Text);
    else G.SetCells(tc, tr, Text);
    MaxCol = std::max(MaxCol, tc);
    MaxRow = std::max(MaxRow, tr);
  }
  void Header(const QString& Name, bool NeedDescr) {
    const bool fixed = G.SaveFixedCells() || G.SaveFixedRows();
    if (!fixed || (NeedDescr && !LoadFieldDescr)) return;
    const int tc = StartCol + Col;
    if (tc < G.ColCount() && !G.Cells(tc, 0).isEmpty()) return;
    CheckLoadSize(tc + 1, 1, QStringLiteral("XML document"));
    if (tc >= G.ColCount()) G.SetColCount(tc + 1);
    G.SetCells(tc, 0, Name);
    MaxCol = std::max(MaxCol, tc);
  }
  void Read(const TXMLDOMNode& Node) {
    if (++Depth > 256) throw EKitGridError(QStringLiteral("XML document nested too deeply"));
    bool newRow = false;
    if (Node.HasAttributes()) {
      const int n = Node.AttributesLength();
      for (int k = 0; k < n; ++k) {
        Header(Node.AttributeName(k), false);
        Put(Col, Row, Node.AttributeText(k), true);
        ++Col;
      }
      if (LevelToRow && n > 0) {
        ++Row;
        Col = Level;
        newRow = true;
      }
    }
    const int children = Node.ChildNodesLength();
    if (children > 1) {
      if (LevelToRow && !newRow) {
        ++Row;
        Col = 0;
      }
      ++Level;
      for (int i = 0; i < children; ++i) Read(Node.ChildNode(i));
    } else if (children == 1) {
      Header(Node.nodeName(), true);
      QString text = Node.Text();
      if (G.QuoteEmptyCells() && text == u"\"\"") text.clear();
      Put(Col, Row, text, true);
      ++Col;
    } else {
      Put(Col, Row, QString(), true);
      ++Col;
    }
    --Depth;
  }
};

}  // namespace

void TKitStringGrid::LoadFromXML(const QString& FileName, bool LevelToRow, bool LoadFieldDescr) {
  if (!QFileInfo(FileName).isFile()) throw Exception(QStringLiteral("XML file not found"));
  TXMLDOMDocument doc;
  doc.load(FileName);
  LoadXMLDocument(&doc, LevelToRow, LoadFieldDescr);
}

void TKitStringGrid::LoadFromXMLBytes(const QByteArray& Bytes, bool LevelToRow, bool LoadFieldDescr) {
  TXMLDOMDocument doc;
  doc.loadXML(Bytes);
  LoadXMLDocument(&doc, LevelToRow, LoadFieldDescr);
}

void TKitStringGrid::LoadXMLDocument(TXMLDOMDocument* Doc, bool LevelToRow, bool LoadFieldDescr) {
  if (Doc->ParseErrorCode() != 0)
    throw Exception(QStringLiteral("XMLDOM Parsing error %1 on line %2").arg(Doc->ParseErrorCode()).arg(Doc->ParseErrorLine()));
  const TSaveArea area = SaveArea(*this);
  const bool fixed = SaveFixedCells() || SaveFixedRows();
  TXmlWalk w{*this, LevelToRow, LoadFieldDescr, area.StartCol, (!fixed || LoadFieldDescr) ? FixedRows() : 0};
  w.MaxCol = w.StartCol;
  w.MaxRow = w.StartRow;
  const TXMLDOMNode root = Doc->DocumentElement();
  BeginUpdate();
  struct TEnd {
    TKitStringGrid* G;
    ~TEnd() { G->EndUpdate(); }
  } end{this};
  const int n = root.ChildNodesLength();
  for (int i = 0; i < n; ++i) {
    const TXMLDOMNode child = root.ChildNode(i);
    w.Col = 0;
    w.Level = 1;
    if (LevelToRow && i == 0 && child.AttributesLength() == 0) w.Row = -1;
    w.Read(child);
    if (!LevelToRow) ++w.Row;
  }
  SetColCount(w.MaxCol + 1);
  SetRowCount(w.MaxRow + 1);
  RecalcAllFooters();
}
