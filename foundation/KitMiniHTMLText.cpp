#include "foundation/KitMiniHTMLText.h"

#include <QHash>

#include "foundation/KitMiniHTML.h"

namespace {

// Upper case of every UTF-16 unit on its own, so that positions in the
// result match positions in the text.
QString UpperSameLength(const QString& s) {
  QString r = s;
  for (auto& c : r) c = c.toUpper();
  return r;
}

// Removes every occurrence of APattern compared without regard to case.
QString RemoveNoCase(const QString& AText, const QString& APattern) {
  QString r = AText;
  r.remove(APattern, Qt::CaseInsensitive);
  return r;
}

// Replaces APattern by AWith until APattern no longer occurs. Every round
// makes the text shorter, so this ends.
void ReplaceRepeated(QString& s, const QString& APattern, const QString& AWith) {
  while (s.contains(APattern)) s.replace(APattern, AWith);
}

// Controls: the position (0-based, of "<") and the parsed attributes of each
// "<CONTROL " tag of a text, in text order.
struct TControlTag {
  qsizetype Start = 0;  // index of "<"
  qsizetype End = 0;    // index of ">" (or the text's length)
  TMiniHtmlControl Control;
};

QList<TControlTag> ControlTags(const QString& AText) {
  QList<TControlTag> tags;
  qsizetype from = 0;
  for (;;) {
    const qsizetype at = AText.indexOf(QStringLiteral("<CONTROL "), from, Qt::CaseInsensitive);
    if (at < 0) break;
    qsizetype end = AText.indexOf(u'>', at);
    if (end < 0) end = AText.size();
    TControlTag t;
    t.Start = at;
    t.End = end;
    t.Control = ParseMiniHtmlControl(AText.mid(at + 1, end - at - 1));
    tags.append(t);
    from = end;
  }
  return tags;
}

const TControlTag* FindControl(const QList<TControlTag>& ATags, const QString& AID) {
  for (const auto& t : ATags)
    if (t.Control.ID == AID) return &t;
  return nullptr;
}

QString Quoted(const QString& s) { return u'"' + s + u'"'; }

}  // namespace

QString MiniHtmlToText(const QString& AText) {
  QString s = AText;
  s.replace(QStringLiteral("<BR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
  s.replace(QStringLiteral("<HR>"), QStringLiteral("\r\n"), Qt::CaseInsensitive);
  QString r;
  r.reserve(s.size());
  qsizetype i = 0;
  while (i < s.size()) {
    const qsizetype lt = s.indexOf(u'<', i);
    if (lt < 0) break;
    const qsizetype gt = s.indexOf(u'>', lt);
    if (gt < 0) break;
    r += QStringView(s).mid(i, lt - i);
    i = gt + 1;
  }
  r += QStringView(s).mid(i);
  return r;
}

QString RemoveHtmlTags(const QString& AText) {
  QString r;
  qsizetype i = 0;
  while (i < AText.size()) {
    const qsizetype lt = AText.indexOf(u'<', i);
    const qsizetype gt = AText.indexOf(u'>', i);
    if (lt < 0 || gt < 0 || gt < lt) break;
    r += QStringView(AText).mid(i, lt - i);
    i = gt + 1;
  }
  r += QStringView(AText).mid(i);
  return r;
}

QString UnescapeHtmlText(const QString& AText, bool AWithNames) {
  QString s = AText;
  if (!s.contains(u'&')) return s;
  ReplaceRepeated(s, QStringLiteral("&quot;"), QStringLiteral("\""));
  ReplaceRepeated(s, QStringLiteral("&amp;"), QStringLiteral("&"));
  ReplaceRepeated(s, QStringLiteral("&gt;"), QStringLiteral(">"));
  ReplaceRepeated(s, QStringLiteral("&lt;"), QStringLiteral("<"));
  if (AWithNames)
    for (int i = 3; i < MiniHtmlEntityCount() && s.contains(u'&'); ++i)
      s.replace(MiniHtmlEntityName(i), QString(MiniHtmlEntityChar(i)));
  return s;
}

QString EscapeHtmlText(const QString& AText, bool AWithNames) {
  // Character -> entity name; the first table row naming a character wins.
  static const QHash<char16_t, QString> names = [] {
    QHash<char16_t, QString> h;
    for (int i = 3; i < MiniHtmlEntityCount(); ++i) {
      const char16_t c = MiniHtmlEntityChar(i).unicode();
      if (!h.contains(c)) h.insert(c, MiniHtmlEntityName(i));
    }
    return h;
  }();
  QString r;
  r.reserve(AText.size() + AText.size() / 4);
  for (const QChar ch : AText) {
    const char16_t c = ch.unicode();
    switch (c) {
      case u'&': r += QStringLiteral("&amp;"); continue;
      case u'"': r += QStringLiteral("&quot;"); continue;
      case u'<': r += QStringLiteral("&lt;"); continue;
      case u'>': r += QStringLiteral("&gt;"); continue;
      default: break;
    }
    if (AWithNames) {
      const auto it = names.constFind(c);
      if (it != names.constEnd()) {
        r += *it;
        continue;
      }
      if (c >= 257) {
        r += QStringLiteral("&#") + QString::number(int(c)) + u';';
        continue;
      }
    }
    r += ch;
  }
  return r;
}

QString SpacesToNbsp(const QString& AText) {
  QString r = AText;
  r.replace(QStringLiteral(" "), QStringLiteral("&nbsp;"));
  return r;
}

bool HasHtmlControl(const QString& AText) { return AText.contains(QStringLiteral("<CONTROL"), Qt::CaseInsensitive); }

QString MarkTextInHtml(const QString& AText, const QString& ASearch, const QString& ATag, TMarkTextOptions AOptions) {
  const QString tag = ATag.toUpper();
  const QString open = u'<' + tag + u'>';
  const QString close = QStringLiteral("</") + tag + u'>';
  QString text = RemoveNoCase(RemoveNoCase(AText, open), close);
  const bool caseSensitive = AOptions.Contains(mtoCaseSensitive);
  const QString search = caseSensitive ? ASearch : UpperSameLength(ASearch);
  const bool isHtml = text.contains(QStringLiteral("</"));
  QString comp = isHtml ? UnescapeHtmlText(RemoveHtmlTags(text), true) : text;
  if (!caseSensitive) comp = UpperSameLength(comp);

  if (AOptions.Contains(mtoWholeText)) {
    if (comp != search) return text;
    return open + (isHtml ? text : EscapeHtmlText(text, true)) + close;
  }
  if (search.isEmpty()) return text;

  if (!isHtml) {
    QString r;
    qsizetype from = 0;
    bool found = false;
    for (;;) {
      const qsizetype at = comp.indexOf(search, from);
      if (at < 0) break;
      found = true;
      r += EscapeHtmlText(text.mid(from, at - from), false) + open +
           EscapeHtmlText(text.mid(at, search.size()), false) + close;
      from = at + search.size();
    }
    if (!found) return text;
    return r + EscapeHtmlText(text.mid(from), false);
  }

  // Marked-up text: walk the text and the comparison text side by side; a
  // tag counts as no characters, an entity as one.
  QString r;
  qsizetype pos = 0;  // in text
  auto copyChars = [&](qsizetype count, bool reopen) {
    while (pos < text.size()) {
      const QChar c = text.at(pos);
      if (c == u'<') {
        qsizetype gt = text.indexOf(u'>', pos);
        gt = gt < 0 ? text.size() : gt + 1;
        const QString t = text.mid(pos, gt - pos);
        // A tag at the very end of the wanted characters belongs after them.
        if (count == 0) break;
        r += t;
        pos = gt;
        if (reopen && t.startsWith(QStringLiteral("</FONT"), Qt::CaseInsensitive)) r += close + open;
        continue;
      }
      if (count == 0) break;
      if (c == u'&') {
        qsizetype sc = text.indexOf(u';', pos);
        sc = sc < 0 ? text.size() : sc + 1;
        r += QStringView(text).mid(pos, sc - pos);
        pos = sc;
      } else {
        r += c;
        ++pos;
      }
      --count;
    }
  };
  qsizetype compPos = 0;
  for (;;) {
    const qsizetype at = comp.indexOf(search, compPos);
    if (at < 0) break;
    copyChars(at - compPos, false);
    // Tags in front of the occurrence stay outside the mark.
    while (pos < text.size() && text.at(pos) == u'<') {
      qsizetype gt = text.indexOf(u'>', pos);
      gt = gt < 0 ? text.size() : gt + 1;
      r += QStringView(text).mid(pos, gt - pos);
      pos = gt;
    }
    r += open;
    copyChars(search.size(), true);
    r += close;
    compPos = at + search.size();
  }
  return r + text.mid(pos);
}

QString UnmarkTextInHtml(const QString& AText, const QString& ATag) {
  const bool hadClosing = AText.contains(QStringLiteral("</"));
  QString r = RemoveNoCase(RemoveNoCase(AText, u'<' + ATag + u'>'), QStringLiteral("</") + ATag + u'>');
  if (hadClosing && !r.contains(QStringLiteral("</"))) r = UnescapeHtmlText(r, false);
  return r;
}

QString NextHtmlControlID(const QString& AText, const QString& ACurrentID) {
  const auto tags = ControlTags(AText);
  qsizetype start = 0;
  if (!ACurrentID.isEmpty()) {
    start = -1;
    for (qsizetype i = 0; i < tags.size(); ++i)
      if (tags[i].Control.ID == ACurrentID) {
        start = i + 1;
        break;
      }
    if (start < 0) return QString();
  }
  for (qsizetype i = start; i < tags.size(); ++i) {
    const QString& t = tags[i].Control.ControlType;
    if (t != u"BUTTON" && t != u"CHECK" && t != u"RADIO") return tags[i].Control.ID;
  }
  return QString();
}

QString ClearHtmlRadioControls(const QString& AText) {
  QString r = AText;
  for (const auto& t : ControlTags(AText))
    if (t.Control.ControlType == u"RADIO") SetHtmlControlValue(r, t.Control.ID, QStringLiteral("FALSE"));
  return r;
}

bool GetHtmlControlValue(const QString& AText, const QString& AID, QString& AValue) {
  const auto tags = ControlTags(AText);
  const TControlTag* t = FindControl(tags, AID);
  if (!t) return false;
  AValue = t->Control.Value;
  return true;
}

QString GetHtmlControlProp(const QString& AText, const QString& AID) {
  const auto tags = ControlTags(AText);
  const TControlTag* t = FindControl(tags, AID);
  return t ? t->Control.Prop : QString();
}

int GetHtmlControlMaxLen(const QString& AText, const QString& AID) {
  const auto tags = ControlTags(AText);
  const TControlTag* t = FindControl(tags, AID);
  return t ? MiniHtmlLeadingNumber(t->Control.MaxLen) : 0;
}

bool SetHtmlControlValue(QString& AText, const QString& AID, const QString& ANewValue) {
  const auto tags = ControlTags(AText);
  const TControlTag* t = FindControl(tags, AID);
  if (!t) return false;
  const TMiniHtmlControl& c = t->Control;
  QString tag = QStringLiteral("CONTROL ID=") + Quoted(c.ID) + QStringLiteral(" VALUE=") +
                Quoted(EscapeHtmlText(ANewValue, true)) + QStringLiteral(" WIDTH=") + Quoted(c.Width) +
                QStringLiteral(" TYPE=") + Quoted(c.ControlType);
  if (c.HasHeight) tag += QStringLiteral(" HEIGHT=") + Quoted(c.Height);
  if (c.HasProp) tag += QStringLiteral(" PROP=") + Quoted(EscapeHtmlText(c.Prop, true));
  if (c.HasMaxLen) tag += QStringLiteral(" MAXLEN=") + Quoted(c.MaxLen);
  tag += u'>';
  AText = AText.left(t->Start + 1) + tag + AText.mid(t->End + 1);
  return true;
}
