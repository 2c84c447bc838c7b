// Reading .xlsx packages: relationships, the workbook's sheet list, number
// formats, shared strings and worksheet cells, all streamed.

#include <QDateTime>
#include <QHash>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <cmath>

#include "platform/office/ComObj.h"
#include "platform/office/XlsxFormat.h"

Q_LOGGING_CATEGORY(lcOffice, "tf.office")

namespace Excel::detail {

namespace {

QString Text(const QByteArray& utf8) { return QString::fromUtf8(utf8); }

struct TRelationship {
  QString Type;    // the last segment of the type URI ("worksheet", "styles", ...)
  QString Target;  // resolved part name
  bool External = false;
};

QHash<QString, TRelationship> ReadRelationships(const TZipArchive& archive, const QString& sourcePart) {
  QHash<QString, TRelationship> rels;
  const QString name = RelsPartName(sourcePart);
  if (!archive.Exists(name)) return rels;
  TXmlPartReader reader(archive, name);
  while (reader.Read()) {
    if (!reader.IsStart() || !reader.NameIs("Relationship")) continue;
    TRelationship rel;
    QString type = Text(reader.Attr("Type"));
    rel.Type = type.mid(type.lastIndexOf(u'/') + 1);
    rel.External = reader.Attr("TargetMode") == "External";
    rel.Target = rel.External ? Text(reader.Attr("Target")) : ResolvePartName(sourcePart, Text(reader.Attr("Target")));
    rels.insert(Text(reader.Attr("Id")), rel);
  }
  return rels;
}

bool XmlTrue(const QByteArray& v) { return v == "1" || v == "true" || v == "on"; }

}  // namespace

TPackageInfo ReadPackageInfo(const TZipArchive& archive) {
  TPackageInfo info;
  for (const TRelationship& rel : ReadRelationships(archive, QString()))
    if (rel.Type == u"officeDocument" && !rel.External) info.WorkbookPart = rel.Target;
  if (info.WorkbookPart.isEmpty()) info.WorkbookPart = QStringLiteral("xl/workbook.xml");
  if (!archive.Exists(info.WorkbookPart)) throw EOleException(QStringLiteral("The package holds no workbook"));

  const QHash<QString, TRelationship> rels = ReadRelationships(archive, info.WorkbookPart);
  for (const TRelationship& rel : rels) {
    if (rel.External) continue;
    if (rel.Type == u"styles") info.StylesPart = rel.Target;
    else if (rel.Type == u"sharedStrings") info.SharedStringsPart = rel.Target;
  }

  TXmlPartReader reader(archive, info.WorkbookPart);
  while (reader.Read()) {
    if (!reader.IsStart()) continue;
    if (reader.NameIs("workbookPr")) {
      info.Date1904 = XmlTrue(reader.Attr("date1904"));
    } else if (reader.NameIs("workbookView")) {
      if (reader.HasAttr("activeTab")) info.ActiveTab = reader.Attr("activeTab").toInt();
    } else if (reader.NameIs("sheet")) {
      TPackageInfo::TSheetEntry entry;
      entry.Name = Text(reader.Attr("name"));
      entry.Part.SheetId = reader.Attr("sheetId").toInt();
      entry.Part.RelId = Text(reader.Attr("id"));
      const auto rel = rels.constFind(entry.Part.RelId);
      if (rel != rels.constEnd() && !rel->External) {
        entry.Part.PartName = rel->Target;
        entry.Kind = rel->Type == u"worksheet" ? skWorksheet : rel->Type == u"chartsheet" ? skChart : skOther;
      } else {
        entry.Kind = skOther;
      }
      info.Sheets.push_back(entry);
    }
  }
  if (info.Sheets.empty()) throw EOleException(QStringLiteral("The workbook lists no sheet"));
  if (info.ActiveTab < 0 || info.ActiveTab >= int(info.Sheets.size())) info.ActiveTab = 0;
  return info;
}

// ---------------------------------------------------------------------------
// Number formats

TCellDecoder::TNumberKind ClassifyNumberFormat(int id, const QString& code) {
  if ((id >= 14 && id <= 22) || (id >= 45 && id <= 47)) return TCellDecoder::nkDate;
  if ((id >= 5 && id <= 8) || id == 42 || id == 44) return TCellDecoder::nkCurrency;
  if (code.isEmpty()) return TCellDecoder::nkNumber;
  // Look at what the format shows outside quoted text, escaped characters
  // and [...] blocks; a [$sym-locale] block names a currency.
  bool currency = false;
  QString bare;
  for (qsizetype i = 0; i < code.size(); ++i) {
    const QChar ch = code[i];
    if (ch == u'"') {
      const qsizetype end = code.indexOf(u'"', i + 1);
      const QString quoted = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
      if (quoted.contains(QRegularExpression(QStringLiteral("[$€£¥]")))) currency = true;
      if (end < 0) break;
      i = end;
    } else if (ch == u'\\' || ch == u'_' || ch == u'*') {
      if (ch == u'\\' && i + 1 < code.size() && QStringLiteral("$€£¥").contains(code[i + 1])) currency = true;
      ++i;  // the next character is shown literally (or is padding)
    } else if (ch == u'[') {
      const qsizetype end = code.indexOf(u']', i + 1);
      const QString block = code.mid(i + 1, end < 0 ? -1 : end - i - 1);
      if (block.startsWith(u'$') && block.size() > 1 && block[1] != u'-') currency = true;
      if (end < 0) break;
      i = end;
    } else {
      if (QStringLiteral("$€£¥").contains(ch)) currency = true;
      bare += ch.toLower();
    }
  }
  bare.remove(QStringLiteral("general"));
  for (QChar ch : bare)
    if (ch == u'd' || ch == u'm' || ch == u'y' || ch == u'h' || ch == u's') return TCellDecoder::nkDate;
  return currency ? TCellDecoder::nkCurrency : TCellDecoder::nkNumber;
}

QString DecodeEscapes(const QString& text) {
  if (!text.contains(QStringLiteral("_x"))) return text;
  QString out;
  out.reserve(text.size());
  qsizetype i = 0;
  auto hex = [](QChar c) { return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f'); };
  while (i < text.size()) {
    if (text[i] == u'_' && i + 6 < text.size() && text[i + 1] == u'x' && hex(text[i + 2]) && hex(text[i + 3]) &&
        hex(text[i + 4]) && hex(text[i + 5]) && text[i + 6] == u'_') {
      out += QChar(char16_t(text.mid(i + 2, 4).toUInt(nullptr, 16)));
      i += 7;
    } else {
      out += text[i++];
    }
  }
  return out;
}

namespace {

// The text of an <si> or <is> element: its <t> and the <t> of its runs,
// phonetic runs left out. The reader stands on the element's start.
QString ReadStringItem(TXmlPartReader& reader) {
  QString text;
  if (reader.IsEmptyElement()) return text;
  const int depth = reader.Depth();
  int skipDepth = -1;  // inside a phonetic run
  while (reader.Read()) {
    if (reader.IsEnd()) {
      if (reader.Depth() == depth) break;
      if (reader.Depth() == skipDepth) skipDepth = -1;
      continue;
    }
    if (!reader.IsStart() || skipDepth >= 0) continue;
    if (reader.NameIs("rPh") || reader.NameIs("phoneticPr")) {
      if (!reader.IsEmptyElement()) skipDepth = reader.Depth();
    } else if (reader.NameIs("t")) {
      text += Text(reader.ElementText());
    }
  }
  return DecodeEscapes(text);
}

}  // namespace

void TCellDecoder::Load(const TZipArchive& archive, const TPackageInfo& info) {
  Date1904 = info.Date1904;
  if (!info.StylesPart.isEmpty() && archive.Exists(info.StylesPart)) {
    QHash<int, QString> codes;
    TXmlPartReader reader(archive, info.StylesPart);
    int cellXfsDepth = -1;
    while (reader.Read()) {
      if (reader.IsEnd() && reader.NameIs("cellXfs")) cellXfsDepth = -1;
      if (!reader.IsStart()) continue;
      if (reader.NameIs("numFmt")) {
        codes.insert(reader.Attr("numFmtId").toInt(), Text(reader.Attr("formatCode")));
      } else if (reader.NameIs("cellXfs")) {
        if (!reader.IsEmptyElement()) cellXfsDepth = reader.Depth();
      } else if (cellXfsDepth >= 0 && reader.Depth() == cellXfsDepth + 1 && reader.NameIs("xf")) {
        const int id = reader.Attr("numFmtId").toInt();
        StyleKinds.push_back(ClassifyNumberFormat(id, codes.value(id)));
      }
    }
  }
  if (!info.SharedStringsPart.isEmpty() && archive.Exists(info.SharedStringsPart)) {
    TXmlPartReader reader(archive, info.SharedStringsPart);
    while (reader.Read()) {
      if (!reader.IsStart()) continue;
      if (reader.NameIs("sst")) {
        const qint64 unique = reader.Attr("uniqueCount").toLongLong();
        if (unique > 0 && unique < 10000000) SharedStrings.reserve(size_t(unique));
      } else if (reader.NameIs("si")) {
        SharedStrings.push_back(ReadStringItem(reader));
      }
    }
  }
}

bool TCellDecoder::SerialToDate(double serial, TDateTime& date) const {
  if (!std::isfinite(serial) || serial < 0) return false;
  if (serial < 1) {
    date = serial;  // day 0 of either system: a time of day
  } else if (Date1904) {
    date = serial + 1462;
  } else if (serial < 60) {
    date = serial + 1;  // before the phantom 29 February 1900
  } else {
    date = serial;  // 60 (the phantom day) reads as 28 February
  }
  return date < 2958466;  // 31 December 9999
}

QVariant TCellDecoder::Number(double value, int style) const {
  const TNumberKind kind = style >= 0 && size_t(style) < StyleKinds.size() ? TNumberKind(StyleKinds[size_t(style)]) : nkNumber;
  if (kind == nkDate) {
    TDateTime date;
    if (SerialToDate(value, date)) return QVariant::fromValue(TOleDate{date});
  } else if (kind == nkCurrency) {
    return QVariant::fromValue(TOleCurrency{std::round(value * 10000.0) / 10000.0});
  }
  return value;
}

// ---------------------------------------------------------------------------
// Worksheet cells

namespace {

bool ParseCellRef(const QByteArray& ref, int& row, int& col) {
  qsizetype i = 0;
  int c = 0;
  while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && i < 3) c = c * 26 + (ref[i++] - 'A' + 1);
  if (c == 0 || c > MaxColumns) return false;
  bool ok = false;
  const int r = ref.mid(i).toInt(&ok);
  if (!ok || r < 1 || r > MaxRows) return false;
  row = r;
  col = c;
  return true;
}

bool ParseNumber(const QByteArray& text, double& value) {
  bool ok = false;
  value = text.trimmed().toDouble(&ok);
  return ok;
}

TDateTime IsoToDateTime(const QString& text, bool& ok) {
  QDateTime dt = QDateTime::fromString(text, Qt::ISODateWithMs);
  if (!dt.isValid()) dt = QDateTime::fromString(text, Qt::ISODate);
  if (!dt.isValid()) {
    const QTime t = QTime::fromString(text, Qt::ISODateWithMs);
    ok = t.isValid();
    return ok ? t.msecsSinceStartOfDay() / 86400000.0 : 0;
  }
  ok = true;
  static const QDate epoch(1899, 12, 30);
  return double(epoch.daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

}  // namespace

void ReadSheetCells(const TZipArchive& archive, const QString& partName, const TCellDecoder& decoder,
                    TSheetStore& store) {
  store.Loaded.clear();
  TXmlPartReader reader(archive, partName);
  bool inData = false;
  int row = 0, col = 0;
  while (reader.Read()) {
    if (!inData) {
      if (reader.IsStart() && reader.NameIs("sheetData")) {
        if (reader.IsEmptyElement()) break;
        inData = true;
      }
      continue;
    }
    if (reader.IsEnd() && reader.NameIs("sheetData")) break;
    if (!reader.IsStart()) continue;
    if (reader.NameIs("row")) {
      const QByteArray r = reader.Attr("r");
      bool ok = false;
      const int n = r.toInt(&ok);
      row = ok ? n : row + 1;
      if (row < 1 || row > MaxRows) throw EOleException(QStringLiteral("Row number %1 is outside the sheet").arg(row));
      col = 0;
      if (store.Loaded.empty() || store.Loaded.back().Row != row) store.Loaded.push_back(TRow{row, {}});
      continue;
    }
    if (!reader.NameIs("c")) continue;
    if (row == 0) row = 1, store.Loaded.push_back(TRow{row, {}});
    const QByteArray ref = reader.Attr("r");
    int cellRow = row, cellCol = col + 1;
    if (!ref.isNull() && !ParseCellRef(ref, cellRow, cellCol))
      throw EOleException(QStringLiteral("Invalid cell reference \"%1\"").arg(Text(ref)));
    if (cellCol > MaxColumns) throw EOleException(QStringLiteral("Column beyond the sheet"));
    col = cellCol;
    if (cellRow != row) {
      row = cellRow;
      store.Loaded.push_back(TRow{row, {}});
    }
    const QByteArray type = reader.Attr("t");
    const QByteArray styleText = reader.Attr("s");
    const int style = styleText.isNull() ? 0 : styleText.toInt();
    QByteArray valueText;
    bool hasValue = false;
    QString inlineText;
    bool hasInline = false;
    if (!reader.IsEmptyElement()) {
      const int depth = reader.Depth();
      while (reader.Read()) {
        if (reader.IsEnd() && reader.Depth() == depth) break;
        if (!reader.IsStart()) continue;
        if (reader.NameIs("v")) {
          valueText = reader.ElementText();
          hasValue = true;
        } else if (reader.NameIs("is")) {
          inlineText = ReadStringItem(reader);
          hasInline = true;
        }
      }
    }
    QVariant value;
    if (type == "inlineStr") {
      if (hasInline) value = inlineText;
      else if (hasValue) value = DecodeEscapes(Text(valueText));
    } else if (!hasValue) {
      // An empty cell (style only) or a formula without a cached value.
    } else if (type == "s") {
      bool ok = false;
      const qint64 index = valueText.trimmed().toLongLong(&ok);
      if (!ok || index < 0 || index >= qint64(decoder.SharedStrings.size()))
        throw EOleException(QStringLiteral("Shared string %1 does not exist").arg(Text(valueText)));
      value = decoder.SharedStrings[size_t(index)];
    } else if (type == "str") {
      value = DecodeEscapes(Text(valueText));
    } else if (type == "b") {
      value = valueText.trimmed() == "1" || valueText.trimmed() == "true";
    } else if (type == "e") {
      value = QVariant::fromValue(TOleError{Text(valueText)});
    } else if (type == "d") {
      bool ok = false;
      const TDateTime date = IsoToDateTime(Text(valueText).trimmed(), ok);
      if (!ok) throw EOleException(QStringLiteral("Invalid date \"%1\"").arg(Text(valueText)));
      value = QVariant::fromValue(TOleDate{date});
    } else {
      double number;
      if (!ParseNumber(valueText, number))
        throw EOleException(QStringLiteral("Invalid number \"%1\"").arg(Text(valueText)));
      value = decoder.Number(number, style);
    }
    if (value.isValid()) store.Loaded.back().Cells.push_back(TCell{col, std::move(value)});
  }
  // Rows without cells take no room.
  std::erase_if(store.Loaded, [](const TRow& r) { return r.Cells.empty(); });
  store.Normalise();
}

}  // namespace Excel::detail
