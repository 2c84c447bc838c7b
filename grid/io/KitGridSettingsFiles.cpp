// Settings kept in files of their own: the visual properties as key=value
// lines, the print settings in an INI section, and the grid's reaction to a
// scale change.
//
// Visual properties: a file is read whole and every value converted before
// anything is applied, so a malformed file (an integer key that is missing
// or no number, a colour that is neither a colour name nor a number) raises
// EConvertError and changes nothing.
//
// Print settings: an ordinal outside its type's range, or a value that is
// not a number, leaves that setting as it is.

#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <cmath>
#include <functional>
#include <map>

#include "foundation/KitStyles.h"
#include "grid/model/KitGrid.h"
#include "grid/model/KitGridLook.h"
#include "grid/model/KitGridNode.h"
#include "grid/model/KitGridSettingGroups.h"
#include "grid/model/KitGridSettings.h"
#include "grid/model/KitGridUtils.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/IniFiles.h"
#include "platform/vcl/Graphics.h"

namespace {

enum class TKind { Colour, Bool, Int, Font, Enum, Look };

// One key of the file and the property behind it.
struct TVisualKey {
  QString Key;
  TKind Kind;
  std::function<qint64()> Get;
  std::function<void(qint64)> Set;
  QStringList Names;      // enumerations: value names in ordinal order
  TFont* Font = nullptr;  // fonts: four keys Key.Color, .Style, .Size, .Name
};

const QStringList kLookNames{"glStandard", "glSoft", "glClassic", "glVDX", "glXP",
                             "glListView", "glVista", "glWin7",   "glOffice2007"};

// In file order.
std::vector<TVisualKey> VisualKeys(TKitStringGrid& G) {
  std::vector<TVisualKey> k;
#define TF_VK(Key, Kind, Obj, Name, Type) \
  k.push_back({QStringLiteral(Key), Kind, [&G] { return qint64(Obj Name()); }, [&G](qint64 v) { Obj Set##Name(Type(v)); }, {}, nullptr})
#define TF_COLOUR(Key, Obj, Name) TF_VK(Key, TKind::Colour, Obj, Name, TColor)
#define TF_BOOL(Key, Obj, Name) TF_VK(Key, TKind::Bool, Obj, Name, bool)
#define TF_FONT(Key, F) k.push_back({QStringLiteral(Key), TKind::Font, {}, {}, {}, F})
  TF_COLOUR("Color", G., Color);
  TF_COLOUR("HintColor", G., HintColor);
  TF_COLOUR("SelectionColor", G., SelectionColor);
  TF_COLOUR("SelectionColorTo", G., SelectionColorTo);
  TF_COLOUR("SelectionMirrorColor", G., SelectionMirrorColor);
  TF_COLOUR("SelectionMirrorColorTo", G., SelectionMirrorColorTo);
  TF_COLOUR("SelectionTextColor", G., SelectionTextColor);
  TF_COLOUR("URLColor", G., URLColor);
  TF_BOOL("URLShow", G., URLShow);
  TF_BOOL("URLShowInText", G., URLShowInText);
  TF_COLOUR("ScrollColor", G., ScrollColor);
  TF_COLOUR("ActiveRowColor", G., ActiveRowColor);
  TF_BOOL("ActiveRowShow", G., ActiveRowShow);
  TF_BOOL("ActiveCellShow", G., ActiveCellShow);
  TF_FONT("Font", G.Font());
  TF_COLOUR("ActiveCellColor", G., ActiveCellColor);
  TF_COLOUR("ActiveCellColorTo", G., ActiveCellColorTo);
  TF_FONT("ActiveCellFont", G.ActiveCellFont());
  TF_FONT("FixedFont", G.FixedFont());
  TF_COLOUR("Balloon.BackgroundColor", G.Balloon()->, BackgroundColor);
  TF_COLOUR("Balloon.TextColor", G.Balloon()->, TextColor);
  TF_VK("Balloon.Transparency", TKind::Int, G.Balloon()->, Transparency, Byte);
  TF_COLOUR("Bands.PrimaryColor", G.Bands()->, PrimaryColor);
  TF_COLOUR("Bands.SecondaryColor", G.Bands()->, SecondaryColor);
  TF_BOOL("Bands.Active", G.Bands()->, Active);
  TF_COLOUR("SortSettings.IndexColor", G.SortSettings()->, IndexColor);
  TF_COLOUR("FloatingFooter.Color", G.FloatingFooter()->, Color);
  TF_VK("ControlLook.CheckSize", TKind::Int, G.ControlLook()->, CheckSize, int);
  TF_COLOUR("ControlLook.Color", G.ControlLook()->, Color);
  TF_COLOUR("ControlLook.CommentColor", G.ControlLook()->, CommentColor);
  TF_VK("ControlLook.ControlStyle", TKind::Enum, G.ControlLook()->, ControlStyle, TControlLook::TControlStyle);
  k.back().Names = {"csClassic", "csFlat", "csWinXP", "csQuarvel", "csVDX", "csGlyph", "csTheme"};
  TF_COLOUR("ControlLook.FixedGradientFrom", G.ControlLook()->, FixedGradientFrom);
  TF_COLOUR("ControlLook.FixedGradientTo", G.ControlLook()->, FixedGradientTo);
  TF_VK("ControlLook.RadioSize", TKind::Int, G.ControlLook()->, RadioSize, int);
  TF_BOOL("ControlLook.FlatButton", G.ControlLook()->, FlatButton);
  TF_COLOUR("ControlLook.ProgressBorderColor", G.ControlLook()->, ProgressBorderColor);
  TF_BOOL("ControlLook.ProgressXP", G.ControlLook()->, ProgressXP);
  k.push_back({QStringLiteral("Look"), TKind::Look, {}, {}, {}, nullptr});
  TF_COLOUR("SearchFooter.Color", G.SearchFooter()->, Color);
  TF_COLOUR("SearchFooter.ColorTo", G.SearchFooter()->, ColorTo);
  TF_COLOUR("Grouping.HeaderColor", G.Grouping()->, HeaderColor);
  TF_COLOUR("Grouping.HeaderColorTo", G.Grouping()->, HeaderColorTo);
  TF_COLOUR("Grouping.HeaderTextColor", G.Grouping()->, HeaderTextColor);
  TF_BOOL("Grouping.HeaderUnderline", G.Grouping()->, HeaderUnderline);
  TF_COLOUR("Grouping.HeaderLineColor", G.Grouping()->, HeaderLineColor);
  TF_VK("Grouping.HeaderLineWidth", TKind::Int, G.Grouping()->, HeaderLineWidth, int);
  TF_COLOUR("Grouping.SummaryColor", G.Grouping()->, SummaryColor);
  TF_COLOUR("Grouping.SummaryColorTo", G.Grouping()->, SummaryColorTo);
  TF_COLOUR("Grouping.SummaryTextColor", G.Grouping()->, SummaryTextColor);
  TF_BOOL("Grouping.SummaryLine", G.Grouping()->, SummaryLine);
  TF_COLOUR("Grouping.SummaryLineColor", G.Grouping()->, SummaryLineColor);
  TF_VK("Grouping.SummaryLineWidth", TKind::Int, G.Grouping()->, SummaryLineWidth, int);
  TF_COLOUR("GridLineColor", G., GridLineColor);
  TF_COLOUR("GridFixedLineColor", G., GridFixedLineColor);
  TF_VK("BackGround.Top", TKind::Int, G.BackGround()->, Top, int);
  TF_VK("BackGround.Left", TKind::Int, G.BackGround()->, Left, int);
  TF_VK("BackGround.Display", TKind::Enum, G.BackGround()->, Display, TBackGroundDisplay);
  k.back().Names = {"bdTile", "bdFixed", "bdGradientHorz", "bdGradientVert"};
  TF_VK("BackGround.Cells", TKind::Enum, G.BackGround()->, Cells, TBackGroundCells);
  k.back().Names = {"bcNormal", "bcFixed", "bcAll"};
  TF_COLOUR("BackGround.Color", G.BackGround()->, Color);
  TF_COLOUR("BackGround.ColorTo", G.BackGround()->, ColorTo);
  TF_COLOUR("VDXGradFrom", G., VDXGradientFrom);
  TF_COLOUR("VDXGradTo", G., VDXGradientTo);
  TF_COLOUR("VDXGradMirrorFrom", G., VDXGradientMirrorFrom);
  TF_COLOUR("VDXGradMirrorTo", G., VDXGradientMirrorTo);
  TF_VK("SelectionStyle", TKind::Int, G., SelectionStyle, TGridSelectionStyle);
#undef TF_VK
#undef TF_COLOUR
#undef TF_BOOL
#undef TF_FONT
  return k;
}

QString StylesText(TFontStyles s) {
  QStringList out;
  if (s.Contains(fsBold)) out << QStringLiteral("fsBold");
  if (s.Contains(fsItalic)) out << QStringLiteral("fsItalic");
  if (s.Contains(fsUnderline)) out << QStringLiteral("fsUnderline");
  if (s.Contains(fsStrikeOut)) out << QStringLiteral("fsStrikeOut");
  return out.join(u',');
}

TFontStyles StylesOf(const QString& v) {
  TFontStyles s;
  if (v.contains(QStringLiteral("fsBold"), Qt::CaseInsensitive)) s.Include(fsBold);
  if (v.contains(QStringLiteral("fsItalic"), Qt::CaseInsensitive)) s.Include(fsItalic);
  if (v.contains(QStringLiteral("fsUnderline"), Qt::CaseInsensitive)) s.Include(fsUnderline);
  if (v.contains(QStringLiteral("fsStrikeOut"), Qt::CaseInsensitive)) s.Include(fsStrikeOut);
  return s;
}

QString ColourText(TColor c) { return c == clNone ? QString() : ColorToString(c); }

// A colour read back by name or number; empty is no colour.
TColor ColourOf(const QString& v, const QString& key) {
  const QString t = v.trimmed();
  if (t.isEmpty()) return clNone;
  int value = 0;
  if (!IdentToColor(t, value)) {
    bool ok = false;
    value = t.startsWith(u'$') ? t.mid(1).toInt(&ok, 16) : t.toInt(&ok, 0);
    if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid colour value for %2").arg(v, key));
  }
  return TColor(value);
}

int IntOf(const QString& v, const QString& key) {
  bool ok = false;
  const int x = v.trimmed().toInt(&ok);
  if (!ok) throw EConvertError(QStringLiteral("'%1' is not a valid integer value for %2").arg(v, key));
  return x;
}

int NameIndex(const QStringList& names, const QString& v) {
  for (int i = 0; i < names.size(); ++i)
    if (names[i].compare(v.trimmed(), Qt::CaseInsensitive) == 0) return i;
  return -1;
}

}  // namespace

void TKitStringGrid::SaveVisualProps(const QString& FileName) {
  QStringList lines;
  auto add = [&](const QString& key, const QString& value) { lines << key + u'=' + value; };
  for (const TVisualKey& k : VisualKeys(*this)) {
    switch (k.Kind) {
      case TKind::Font:
        add(k.Key + QStringLiteral(".Color"), ColourText(k.Font->Color()));
        add(k.Key + QStringLiteral(".Style"), StylesText(k.Font->Style()));
        add(k.Key + QStringLiteral(".Size"), QString::number(k.Font->Size()));
        add(k.Key + QStringLiteral(".Name"), k.Font->Name());
        break;
      case TKind::Look:
        add(k.Key, Look() == glCustom ? QString() : kLookNames.value(int(Look())));
        break;
      case TKind::Colour:
        add(k.Key, ColourText(TColor(k.Get())));
        break;
      case TKind::Bool:
        add(k.Key, k.Get() ? QStringLiteral("true") : QStringLiteral("false"));
        break;
      case TKind::Int:
        add(k.Key, QString::number(k.Get()));
        break;
      case TKind::Enum:
        add(k.Key, k.Names.value(int(k.Get())));
        break;
    }
  }
  QFile f(FileName);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) throw Exception(QStringLiteral("Cannot Create ") + FileName);
  const QByteArray bytes = TEncoding::ANSI()->GetBytes(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
  if (f.write(bytes) != bytes.size() || !f.flush())
    throw Exception(QStringLiteral("Cannot Create ") + FileName + QStringLiteral(": ") + f.errorString());
}

void TKitStringGrid::LoadVisualProps(const QString& FileName) {
  QFile f(FileName);
  if (!f.open(QIODevice::ReadOnly)) throw Exception(QStringLiteral("Cannot open file ") + FileName);
  // A settings file is small; a bigger one is not one.
  constexpr qint64 kMaxBytes = 1 << 20;
  if (f.size() > kMaxBytes) throw EConvertError(QStringLiteral("%1 is not a visual properties file").arg(FileName));
  LoadVisualPropsText(TEncoding::ANSI()->GetString(f.read(kMaxBytes)));
}

void TKitStringGrid::LoadVisualPropsText(const QString& Text) {
  std::map<QString, QString> values;  // lower-cased key: the first line counts
  for (const QString& line : Text.split(u'\n')) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq <= 0) continue;
    values.emplace(line.left(eq).trimmed().toLower(), QString(line.mid(eq + 1)).remove(u'\r'));
  }
  auto value = [&](const QString& key) {
    auto it = values.find(key.toLower());
    return it == values.end() ? QString() : it->second;
  };
  const bool gradients = values.count(QStringLiteral("vdxgradfrom")) > 0;

  // Every value is converted first; only then is anything applied.
  std::vector<std::function<void()>> apply, selectionAgain;
  for (const TVisualKey& k : VisualKeys(*this)) {
    if ((k.Key.startsWith(QStringLiteral("VDXGrad")) || k.Key == QStringLiteral("SelectionStyle")) && !gradients)
      continue;
    const QString v = value(k.Key);
    switch (k.Kind) {
      case TKind::Font: {
        TFont* font = k.Font;
        const TColor colour = ColourOf(value(k.Key + QStringLiteral(".Color")), k.Key + QStringLiteral(".Color"));
        const TFontStyles styles = StylesOf(value(k.Key + QStringLiteral(".Style")));
        const int size = IntOf(value(k.Key + QStringLiteral(".Size")), k.Key + QStringLiteral(".Size"));
        const QString name = value(k.Key + QStringLiteral(".Name"));
        apply.push_back([=] {
          font->SetColor(colour);
          font->SetStyle(styles);
          font->SetSize(size);
          font->SetName(name);
        });
        break;
      }
      case TKind::Look: {
        const int look = NameIndex(kLookNames, v);
        // The look resets colours and fonts: it goes first, so that the
        // file's own values win over it.
        if (look >= 0) apply.insert(apply.begin(), [this, look] { SetLook(TGridLook(look)); });
        break;
      }
      case TKind::Colour: {
        const TColor c = ColourOf(v, k.Key);
        auto set = [set = k.Set, c] { set(c); };
        apply.push_back(set);
        if (k.Key.startsWith(QStringLiteral("Selection"))) selectionAgain.push_back(set);
        break;
      }
      case TKind::Bool: {
        const bool b = v.trimmed().compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0;
        apply.push_back([set = k.Set, b] { set(b ? 1 : 0); });
        break;
      }
      case TKind::Int: {
        const int x = IntOf(v, k.Key);
        // The selection style is an ordinal: one outside its range leaves
        // the setting as it is (as the print settings' ordinals do).
        if (k.Key == QLatin1String("SelectionStyle") && (x < ssDefault || x > ssOffice2007)) break;
        apply.push_back([set = k.Set, x] { set(x); });
        break;
      }
      case TKind::Enum: {
        const int x = NameIndex(k.Names, v);
        if (x >= 0) apply.push_back([set = k.Set, x] { set(x); });
        break;
      }
    }
  }
  if (gradients) {
    // The four gradient colours also become the control look's fixed-cell
    // gradient.
    const TColor from = ColourOf(value(QStringLiteral("VDXGradFrom")), QStringLiteral("VDXGradFrom"));
    const TColor to = ColourOf(value(QStringLiteral("VDXGradTo")), QStringLiteral("VDXGradTo"));
    const TColor mFrom = ColourOf(value(QStringLiteral("VDXGradMirrorFrom")), QStringLiteral("VDXGradMirrorFrom"));
    const TColor mTo = ColourOf(value(QStringLiteral("VDXGradMirrorTo")), QStringLiteral("VDXGradMirrorTo"));
    apply.push_back([=, this] {
      ControlLook()->SetFixedGradientFrom(from);
      ControlLook()->SetFixedGradientTo(to);
      ControlLook()->SetFixedGradientMirrorFrom(mFrom);
      ControlLook()->SetFixedGradientMirrorTo(mTo);
    });
  }

  for (auto& a : apply) a();
  // The selection colours once more (a look's reset must never win).
  for (auto& a : selectionAgain) a();
  FLook = glCustom;
  Invalidate();
}

// ---------------------------------------------------------------------------
// Print settings in an INI file.

namespace {

int StyleBits(TFontStyles s) {
  return (s.Contains(fsBold) ? 1 : 0) | (s.Contains(fsItalic) ? 2 : 0) | (s.Contains(fsUnderline) ? 4 : 0) |
         (s.Contains(fsStrikeOut) ? 8 : 0);
}

}  // namespace

void TKitStringGrid::SavePrintSettings(const QString& Key, const QString& Section) {
  TMemIniFile ini(Key);
  TPrintSettings* ps = PrintSettings();
  auto yn = [&](const char* key, bool v) {
    ini.WriteString(Section, QString::fromLatin1(key), v ? QStringLiteral("Y") : QStringLiteral("N"));
  };
  auto num = [&](const char* key, int v) { ini.WriteInteger(Section, QString::fromLatin1(key), v); };
  auto str = [&](const char* key, const QString& v) { ini.WriteString(Section, QString::fromLatin1(key), v); };
  num("ColumnSpacing", ps->ColumnSpacing());
  num("RowSpacing", ps->RowSpacing());
  num("TitleSpacing", ps->TitleSpacing());
  num("FixedHeight", ps->FixedHeight());
  num("FixedWidth", ps->FixedWidth());
  yn("Centered", ps->Centered());
  yn("NoAutoSize", ps->NoAutoSize());
  yn("NoAutoSizeRow", ps->NoAutoSizeRow());
  yn("UseFixedHeight", ps->UseFixedHeight());
  yn("UseFixedWidth", ps->UseFixedWidth());
  yn("RepeatFixedRows", ps->RepeatFixedRows());
  yn("RepeatFixedCols", ps->RepeatFixedCols());
  yn("UseDisplFont", ps->UseDisplayFont());
  yn("UseDefOrientation", ps->UseDefaultOrientation());
  num("Borders", int(ps->Borders()));
  num("BorderColor", ps->BorderColor());
  num("BorderStyle", int(ps->BorderStyle()));
  num("Date", int(ps->Date()));
  num("PageNr", int(ps->PageNr()));
  num("Title", int(ps->Title()));
  num("Time", int(ps->Time()));
  str("DateFormat", ps->DateFormat());
  str("TitleText", ps->TitleText());
  num("FooterSize", ps->FooterSize());
  num("HeaderSize", ps->HeaderSize());
  num("LeftSize", ps->LeftSize());
  num("RightSize", ps->RightSize());
  num("FitToPage", int(ps->FitToPage()));
  const std::pair<const char*, TFont*> fonts[] = {
      {"Font", ps->Font()}, {"FixedFont", ps->FixedFont()}, {"HeaderFont", ps->HeaderFont()}, {"FooterFont", ps->FooterFont()}};
  for (const auto& [prefix, font] : fonts) {
    const QString p = QString::fromLatin1(prefix);
    ini.WriteString(Section, p + QStringLiteral("Name"), font->Name());
    ini.WriteInteger(Section, p + QStringLiteral("Size"), font->Size());
    ini.WriteInteger(Section, p + QStringLiteral("Style"), StyleBits(font->Style()));
    ini.WriteInteger(Section, p + QStringLiteral("Color"), font->Color());
  }
  str("PageNumSep", ps->PageNumSep());
  str("PageSuffix", ps->PageSuffix());
  str("PagePrefix", ps->PagePrefix());
  num("Orientation", ps->Orientation() == poLandscape ? 1 : 0);
  str("TitleLines", EscapeNewlines(ps->TitleLines()->Text()));
  yn("PrintGraphics", ps->PrintGraphics());
  ini.UpdateFile();
}

void TKitStringGrid::LoadPrintSettings(const QString& Key, const QString& Section) {
  TMemIniFile ini(Key);
  TPrintSettings* ps = PrintSettings();
  auto yn = [&](const char* key, const char* def) {
    return ini.ReadString(Section, QString::fromLatin1(key), QString::fromLatin1(def)).trimmed().toUpper() ==
           QStringLiteral("Y");
  };
  // A value that is no number gives the default.
  auto num = [&](const char* key, int def) { return ini.ReadInteger(Section, QString::fromLatin1(key), def); };
  auto str = [&](const char* key) { return ini.ReadString(Section, QString::fromLatin1(key), QString()); };
  // Ordinals outside their range leave the setting as it is.
  auto ordinal = [&](const char* key, int max, auto set) {
    const int v = num(key, 0);
    if (v >= 0 && v <= max) set(v);
  };
  ps->SetColumnSpacing(num("ColumnSpacing", 20));
  ps->SetRowSpacing(num("RowSpacing", 20));
  ps->SetTitleSpacing(num("TitleSpacing", 20));
  ps->SetFixedHeight(num("FixedHeight", 0));
  ps->SetFixedWidth(num("FixedWidth", 0));
  ps->SetCentered(yn("Centered", "Y"));
  ps->SetNoAutoSize(yn("NoAutoSize", "N"));
  ps->SetNoAutoSizeRow(yn("NoAutoSizeRow", "N"));
  ps->SetUseFixedHeight(yn("UseFixedHeight", "N"));
  ps->SetUseFixedWidth(yn("UseFixedWidth", "N"));
  ps->SetRepeatFixedRows(yn("RepeatFixedRows", "N"));
  ps->SetRepeatFixedCols(yn("RepeatFixedCols", "N"));
  ps->SetUseDisplayFont(yn("UseDisplFont", "N"));
  ps->SetUseDefaultOrientation(yn("UseDefOrientation", "N"));
  ordinal("Borders", 8, [&](int v) { ps->SetBorders(TPrintBorders(v)); });
  ps->SetBorderColor(num("BorderColor", 0));
  ordinal("BorderStyle", 6, [&](int v) { ps->SetBorderStyle(TPenStyle(v)); });
  ordinal("Date", 6, [&](int v) { ps->SetDate(TPrintPosition(v)); });
  ordinal("PageNr", 6, [&](int v) { ps->SetPageNr(TPrintPosition(v)); });
  ordinal("Title", 6, [&](int v) { ps->SetTitle(TPrintPosition(v)); });
  ordinal("Time", 6, [&](int v) { ps->SetTime(TPrintPosition(v)); });
  ps->SetDateFormat(str("DateFormat"));
  ps->SetTitleText(str("TitleText"));
  ps->SetFooterSize(num("FooterSize", 100));
  ps->SetHeaderSize(num("HeaderSize", 100));
  ps->SetLeftSize(num("LeftSize", 100));
  ps->SetRightSize(num("RightSize", 100));
  ordinal("FitToPage", 4, [&](int v) { ps->SetFitToPage(TFitToPage(v)); });
  const std::pair<const char*, TFont*> fonts[] = {
      {"Font", ps->Font()}, {"FixedFont", ps->FixedFont()}, {"HeaderFont", ps->HeaderFont()}, {"FooterFont", ps->FooterFont()}};
  for (const auto& [prefix, font] : fonts) {
    const QString p = QString::fromLatin1(prefix);
    font->SetName(ini.ReadString(Section, p + QStringLiteral("Name"), QStringLiteral("Arial")));
    const int size = ini.ReadInteger(Section, p + QStringLiteral("Size"), 10);
    if (size > 0 && size <= 1638) font->SetSize(size);
    // Style bits are added to the font's style; none is taken away.
    const int bits = ini.ReadInteger(Section, p + QStringLiteral("Style"), 0);
    TFontStyles style = font->Style();
    if (bits & 1) style.Include(fsBold);
    if (bits & 2) style.Include(fsItalic);
    if (bits & 4) style.Include(fsUnderline);
    if (bits & 8) style.Include(fsStrikeOut);
    font->SetStyle(style);
    font->SetColor(ini.ReadInteger(Section, p + QStringLiteral("Color"), 0));
  }
  ps->SetPageNumSep(str("PageNumSep"));
  ps->SetPageSuffix(str("PageSuffix"));
  ps->SetPagePrefix(str("PagePrefix"));
  ordinal("Orientation", 1, [&](int v) { ps->SetOrientation(v == 1 ? poLandscape : poPortrait); });
  const QString title = UnescapeNewlines(str("TitleLines"));
  ps->TitleLines()->SetText(title);
  ps->SetPrintGraphics(yn("PrintGraphics", "N"));
}

// ---------------------------------------------------------------------------
// Scale changes.

namespace {

int MulDivRound(int v, int m, int d) {
  if (d == 0) return v;
  return static_cast<int>(std::lround(double(v) * m / d));
}

}  // namespace

void TKitStringGrid::ChangeScale(int M, int D, bool isDpiChange) {
  if (M == D || D == 0) {
    TBaseGrid::ChangeScale(M, D, isDpiChange);
  } else {
    std::vector<int> widths(size_t(std::max(ColCount(), 0))), heights(size_t(std::max(RowCount(), 0)));
    for (int c = 0; c < ColCount(); ++c) widths[size_t(c)] = ColWidths(c);
    for (int r = 0; r < RowCount(); ++r) heights[size_t(r)] = RowHeights(r);
    const int defaultHeight = DefaultRowHeight();
    const int minHeight = MinRowHeight(), maxHeight = MaxRowHeight();
    TBaseGrid::ChangeScale(M, D, isDpiChange);
    SetDefaultRowHeight(MulDivRound(defaultHeight, M, D));
    for (int c = 0; c < ColCount() && size_t(c) < widths.size(); ++c) SetColWidths(c, MulDivRound(widths[size_t(c)], M, D));
    for (int r = 0; r < RowCount() && size_t(r) < heights.size(); ++r)
      SetRowHeights(r, MulDivRound(heights[size_t(r)], M, D));
    SetMinRowHeight(MulDivRound(minHeight, M, D));
    SetMaxRowHeight(MulDivRound(maxHeight, M, D));
    if (isDpiChange) {
      EnumStoredObjects([&](int, int, TObject* Object) {
        if (auto* props = dynamic_cast<TCellProperties*>(Object))
          if (props->FontSize() != 0) props->SetFontSize(MulDivRound(props->FontSize(), M, D));
      });
    }
  }
  FDPIScale = GetFormDpiScale(this);
  FPrevDPIScale = FDPIScale;
  if (OnChangeScale) OnChangeScale(this, static_cast<float>(FDPIScale));
}
