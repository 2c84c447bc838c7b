#include "foundation/KitMiniHTMLLayout.h"

#include <algorithm>
#include <cmath>

#include <QRegularExpression>

namespace {

// Distance of list items per level, and of their text from the bullet.
constexpr int kListIndent = 12;

enum TPassMode { pmMeasure, pmDraw, pmHitTest };

// The formatting state: saved before each measuring pass and restored before
// the drawing pass, carried over from line to line.
struct TState {
  TMiniHtmlFont Font;
  TColor Background = 0;
  bool InLink = false;
  QString Href;
  QString Title;
  int LinkCounter = 0;
  bool LinkHovered = false;
  TColor LinkSavedColor = 0;
  TColor LinkSavedBackground = 0;
  int LinkStartX = 0;
  int LinkStartTop = 0;
  int LinkStartLine = 0;
  bool LinkHitPending = false;
  int ListLevel = 0;
  bool Ordered = false;
  int OrderCounter = 1;
  bool Highlight = false;
  TColor HighlightSavedColor = 0;
  TColor HighlightSavedBackground = 0;
  TMiniHtmlFont HighlightSavedFont;
  bool HighlightStyled = false;
  bool Shadow = false;
  bool Sub = false;
  bool Sup = false;
  bool Hidden = false;
  bool Error = false;
  bool ParagraphBackground = false;
  TColor ParagraphColor = 0;
  TColor ParagraphSavedBackground = 0;
  TColor FontSavedBackground = 0;
  double LineHeightFactor = 1.0;
  int ImageCounter = 0;
  int Align = 0;  // 0 left, 1 right, 2 centre
  TColor FontSavedColor = 0;
  // Float area: widths kept free on the left and right, down to FloatBottom
  // (from the rectangle's top).
  int FloatLeft = 0;
  int FloatRight = 0;
  int FloatBottom = 0;
  // Facade engine: the OF offset of every line's start (drawing pass).
  int LineOffset = 0;
};

// One line in one pass.
struct TLine {
  int Index = 0;
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Height = 0;
  int Width = 0;
  int X = 0;
  int SubDepth = 0;
  int SupRise = 0;
  int TextOffset = 0;
  int Indent = 0;
  int BlankWidth = 0;
  bool Ended = false;
  bool HasListItem = false;
  bool HasContent = false;
  QString Text;  // the runs taken so far
  // What the pass found.
  bool OverLinkText = false;
  bool ControlHit = false;
  bool ImageHit = false;
  int Bottom() const { return Top + Height + SubDepth + SupRise; }
  int Available() const { return Right - Left; }
};

class TLayout {
 public:
  TLayout(const QString& AText, const TMiniHtmlLayoutParams& AParams, TMiniHtmlSurface& ASurface)
      : FText(AText), P(AParams), S(ASurface), FCanvas(AParams.Engine == mheCanvas) {
    FNoColor = FCanvas ? mhNoColorCanvas : mhNoColorFacade;
    St.Font = P.Font;
    // No background of its own anywhere, until a tag gives one.
    St.Background = FNoColor;
    St.LinkSavedBackground = St.HighlightSavedBackground = St.ParagraphSavedBackground = St.FontSavedBackground =
        FNoColor;
    St.FontSavedColor = P.Font.Color;
  }

  TMiniHtmlLayoutResult Run() {
    const int textHeight0 = S.TextHeight(P.Font);
    int top = P.Rect.top();
    qsizetype pos = 0;
    int lineIndex = 0;
    while (pos < FText.size()) {
      const TState saved = St;
      TLine line;
      line.Index = lineIndex;
      line.Top = top;
      line.Height = S.TextHeight(St.Font);
      line.Left = P.Rect.left() + (FCanvas ? 1 : 0) + St.FloatLeft;
      line.Right = std::max(line.Left, P.Rect.right() + 1 - St.FloatRight);
      if (FFloatedParagraph) {
        line.Left = FFloatLeft;
        FFloatedParagraph = false;
      }
      line.X = line.Left;
      const QString anchor = R.Anchor, title = R.Title;
      const QRect hoverRect = R.HoverRect;
      const int hoverLink = R.HoverLink;
      const int lineTop = top;
      qsizetype end = Pass(pos, FText.size(), pmMeasure, line);
      // Link text under the pointer counts only when the pointer lies
      // within this line's box.
      if (line.OverLinkText && P.Pointer.y() >= line.Bottom()) {
        R.Anchor = anchor;
        R.Title = title;
        R.HoverRect = hoverRect;
        R.HoverLink = hoverLink;
      }
      if (end <= pos) end = pos + 1;  // every line takes something
      if (FCanvas && St.LineHeightFactor != 1.0)
        line.Height = int(std::nearbyint(line.Height * St.LineHeightFactor));
      if (!FCanvas) line.Height = std::max(0, line.Height + P.LineSpacing);
      const int width = line.Width;
      const int height = line.Height + line.SubDepth + line.SupRise;

      // Position of the aligned line.
      int left = line.Left;
      if (St.Align == 1)
        left = std::max(line.Left, line.Right - width);
      else if (St.Align == 2 && line.Available() > width)
        left = line.Left + (line.Available() - width) / 2;
      left += line.Indent;

      if (!P.MeasureOnly) {
        St = saved;
        TLine second;
        second.Index = lineIndex;
        second.Top = top;
        second.Height = line.Height;
        second.SubDepth = line.SubDepth;
        second.SupRise = line.SupRise;
        second.TextOffset = line.TextOffset;
        second.Left = line.Left;
        second.Right = line.Right;
        second.X = left + (FCanvas ? 0 : St.LineOffset);
        // A paragraph with a background colour fills every line of it.
        if (!P.HitTestOnly && St.ParagraphBackground && St.ParagraphColor != FNoColor)
          S.FillBand(QRect(QPoint(P.Rect.left(), second.Top), QPoint(P.Rect.right(), second.Bottom() - 1)),
                     St.ParagraphColor);
        FFixedHeight = true;
        Pass(pos, end, P.HitTestOnly ? pmHitTest : pmDraw, second);
        FFixedHeight = false;
        if (FFocusActive && !P.HitTestOnly) {
          // The focused link goes on on the next line.
          S.DrawFocusRect(FocusPiece(second, FFocusStartX, second.X));
          FFocusStartX = P.Rect.left() + (FCanvas ? 1 : 0) + 1;
        }
        if (second.ControlHit || second.ImageHit) R.Hit = true;
        if (second.OverLinkText) {
          const int bottom = second.Bottom() - second.TextOffset;
          const int th = S.TextHeight(St.Font);
          if (P.Pointer.y() >= bottom - th && P.Pointer.y() <= bottom) R.Hit = true;
        }
      }
      R.Width = std::max(R.Width, width);
      top += height;
      R.Height += height;
      if (FParagraphFloated) {
        // The next line starts where this one started.
        FParagraphFloated = false;
        FFloatedParagraph = true;
        FFloatLeft = line.Left;
        top = lineTop;
      }
      if (St.FloatBottom > 0 && top >= P.Rect.top() + St.FloatBottom) St.FloatLeft = St.FloatRight = St.FloatBottom = 0;
      ++lineIndex;
      pos = end;
      if (FDropRest) break;
      if (!P.MeasureOnly && top + textHeight0 > P.Rect.bottom() + 1) break;
    }
    if (R.Height == 0) R.Height = textHeight0;
    // The facade engine adds 2 to the widest line (when a line has a width).
    if (!FCanvas && R.Width > 0) R.Width += 2;
    R.LineCount = lineIndex;
    R.LinkCount = St.LinkCounter;
    return R;
  }

 private:
  const QString& FText;
  const TMiniHtmlLayoutParams& P;
  TMiniHtmlSurface& S;
  const bool FCanvas;
  TColor FNoColor = 0;
  TState St;
  TMiniHtmlLayoutResult R;
  bool FFixedHeight = false;
  bool FDropRest = false;
  bool FParagraphFloated = false;
  bool FFloatedParagraph = false;
  int FFloatLeft = 0;
  int FHoveredImage = -1;
  bool FFocusActive = false;
  int FFocusStartX = 0;

  QRect FocusPiece(const TLine& L, int AFrom, int ATo) {
    const int bottom = L.Bottom() - L.TextOffset;
    const int th = S.TextHeight(St.Font);
    return VisRect(L, QRect(AFrom - 1, bottom - th, ATo - AFrom + 2, th));
  }

  int Scaled(int v) const { return int(std::nearbyint(v * P.ScaleFactor)); }

  // Where an item at x, w wide, shows: right-to-left lines mirror the line
  // about its middle, so the first item sits at the right edge.
  int Vis(const TLine& L, int x, int w) const { return P.RightToLeft ? L.Left + L.Right - x - w : x; }
  QRect VisRect(const TLine& L, const QRect& r) const {
    return P.RightToLeft ? QRect(Vis(L, r.left(), r.width()), r.top(), r.width(), r.height()) : r;
  }

  void GrowHeight(TLine& L, int h) const {
    if (!FFixedHeight) L.Height = std::max(L.Height, h);
  }

  // The next run: up to the next "<"; with word wrap, up to and including
  // the next blank when that comes first.
  qsizetype RunEnd(qsizetype pos, qsizetype limit) const {
    qsizetype lt = FText.indexOf(u'<', pos);
    if (lt < 0 || lt > limit) lt = limit;
    if (P.WordWrap) {
      const qsizetype blank = QStringView(FText).mid(pos, lt - pos).indexOf(u' ');
      if (blank >= 0) return pos + blank + 1;
    }
    return lt;
  }

  // One pass of the line interpreter over [pos, limit); answers where it
  // stopped.
  qsizetype Pass(qsizetype pos, qsizetype limit, TPassMode mode, TLine& L) {
    const bool measuring = mode != pmDraw;
    const bool drawing = mode == pmDraw;
    const bool firstPass = mode == pmMeasure;
    while (pos < limit && !L.Ended) {
      if (FText.at(pos) != u'<') {
        const qsizetype end = RunEnd(pos, limit);
        const QString run = MiniHtmlDecodeRun(FText.mid(pos, end - pos), FCanvas);
        if (run.isEmpty()) {
          pos = end;
          continue;
        }
        const int th = S.TextHeight(St.Font);
        if (St.Sub) L.SubDepth = std::max(L.SubDepth, th / 4);
        if (St.Sup) L.SupRise = std::max(L.SupRise, th / 4);
        GrowHeight(L, th);
        if (St.Hidden) {
          if (firstPass) R.PlainText += run;
          pos = end;
          continue;
        }
        const int w = S.TextWidth(run, St.Font);
        if (firstPass) {
          const int newWidth = L.Width + w;
          bool fits = !P.WordWrap || w >= L.Available();
          if (FCanvas)
            fits = fits || newWidth < L.Available() || !L.Text.endsWith(u' ');
          else
            fits = fits || newWidth < L.Available() - St.LineOffset + 1 || L.Text.isEmpty();
          if (!fits) {
            L.Ended = true;
            break;
          }
          L.Width = newWidth;
          if (!P.WordWrap && L.Width > L.Available() && L.Text.isEmpty() && !L.HasContent) FDropRest = true;
        }
        const int vx = Vis(L, L.X, w);
        if (measuring && St.InLink && P.Pointer.x() >= vx && P.Pointer.x() < vx + w && P.Pointer.y() > L.Top &&
            (mode == pmMeasure || P.Pointer.y() < L.Bottom())) {
          R.Anchor = St.Href;
          R.Title = St.Title;
          St.LinkHitPending = true;
          L.OverLinkText = true;
        }
        // Without word wrap a run that starts beyond the line's end is cut
        // off whole; the run across the end shows an ellipsis.
        const bool cutOff = !P.WordWrap && (P.RightToLeft ? vx + w <= L.Left : vx >= L.Right);
        if (drawing && !cutOff) {
          TMiniHtmlRun r;
          r.Text = run;
          r.X = vx;
          r.Width = w;
          r.Left = L.Left;
          r.Right = L.Right;
          r.Top = L.Top;
          r.Bottom = L.Top + L.SupRise + L.Height + (St.Sub ? L.SubDepth : 0) - (St.Sup ? L.SupRise : 0) -
                     L.TextOffset;
          r.LineBottom = L.Bottom();
          r.Font = St.Font;
          r.Background = St.Background;
          r.Shadow = St.Shadow;
          r.ErrorUnderline = St.Error;
          r.Mirrored = P.RightToLeft;
          S.DrawRun(r);
        }
        if (firstPass) R.PlainText += run;
        L.X += w;
        L.Text += run;
        L.HasContent = true;
        L.BlankWidth = run.endsWith(u' ') ? S.TextWidth(QStringLiteral(" "), St.Font) : 0;
        pos = end;
        continue;
      }
      // A tag.
      const TMiniHtmlTagInfo tag = ParseMiniHtmlTag(QStringView(FText).mid(pos, limit - pos), P.Engine);
      if (!Tag(tag, mode, L)) break;  // the line ends before this tag
      pos += std::max(1, tag.Length);
    }
    if (firstPass) L.Width = std::max(0, L.Width - L.BlankWidth);
    return pos;
  }

  // A picture reference of a tag. The canvas engine reads it from the
  // upper-cased tag, but web addresses, file paths and shell icon paths keep
  // their case: this platform's file names and most servers tell cases
  // apart.
  TMiniHtmlPictureRef PictureRefOf(const QString& t, int ANameLength, const QString& AName, bool* AFound = nullptr) {
    const QString value = MiniHtmlAttribute(t, ANameLength, AName, FCanvas, AFound);
    TMiniHtmlPictureRef ref = ParseMiniHtmlPictureRef(value, P.Engine);
    if (FCanvas && (ref.Kind == mhpURL || ref.Kind == mhpSmallSystemIcon || ref.Kind == mhpLargeSystemIcon))
      ref = ParseMiniHtmlPictureRef(MiniHtmlAttribute(t, ANameLength, AName, false), P.Engine);
    return ref;
  }

  // Acts on a tag; false when the line ends before it (it is not consumed).
  bool Tag(const TMiniHtmlTagInfo& T, TPassMode mode, TLine& L) {
    const bool drawing = mode == pmDraw;
    const bool firstPass = mode == pmMeasure;
    const QString& t = T.Text;
    if (T.Closing) {
      switch (T.Tag) {
        case mhtA: CloseLink(mode, L); break;
        case mhtB: St.Font.Bold = false; break;
        case mhtBlink: St.Font.Color = FCanvas ? P.Font.Color : St.FontSavedColor; break;
        case mhtE:
          if (drawing) St.Error = false;
          break;
        case mhtFont:
          St.Font.Name = P.Font.Name;
          St.Font.Size = P.Font.Size;
          if (drawing && !P.Selected) {
            // Canvas engine: the base font's colour; facade engine: the
            // colour saved by the last FONT COLOR or link.
            St.Font.Color = FCanvas ? P.Font.Color : St.FontSavedColor;
            St.Background = St.FontSavedBackground;
          }
          break;
        case mhtHI:
          if (St.HighlightStyled) {
            // Both passes, so that the measured widths are the drawn ones.
            St.HighlightStyled = false;
            St.Font.Bold = St.HighlightSavedFont.Bold;
            St.Font.Italic = St.HighlightSavedFont.Italic;
            St.Font.Underline = St.HighlightSavedFont.Underline;
            St.Font.StrikeOut = St.HighlightSavedFont.StrikeOut;
          }
          if (drawing && St.Highlight) {
            St.Highlight = false;
            St.Font.Color = St.HighlightSavedColor;
            St.Background = St.HighlightSavedBackground;
          }
          break;
        case mhtI: St.Font.Italic = false; break;
        case mhtLI: L.Ended = true; break;
        case mhtOF: St.LineOffset = 0; break;
        case mhtOL:
          if (St.ListLevel >= 1) {
            --St.ListLevel;
            if (drawing) St.Ordered = false;
          }
          break;
        case mhtP:
          L.Ended = true;
          St.ParagraphBackground = false;
          if (FCanvas) {
            if (drawing) {
              St.Background = St.ParagraphSavedBackground;
              St.Align = 0;
              St.LineHeightFactor = 1.0;
            }
          } else if (drawing) {
            St.Background = St.ParagraphSavedBackground;
          }
          break;
        case mhtS: St.Font.StrikeOut = false; break;
        case mhtSpan: St.Background = St.FontSavedBackground; break;
        case mhtShad: St.Shadow = false; break;
        case mhtSub: St.Sub = St.Sup = false; break;
        case mhtU:
          St.Font.Underline = false;
          break;
        case mhtUL:
          if (St.ListLevel >= 1)
            --St.ListLevel;
          else
            St.Font.Underline = false;
          break;
        case mhtZ: St.Hidden = false; break;
        case mhtR: St.Font.Orientation = 0; break;
        default: break;
      }
      return true;
    }
    switch (T.Tag) {
      case mhtA: OpenLink(t, mode, L); break;
      case mhtB: St.Font.Bold = true; break;
      case mhtBlink:
        if (P.BlinkOff) St.Font.Color = P.Background;
        break;
      case mhtBody: Body(t, mode, L); break;
      case mhtBR:
        L.Ended = true;
        if (firstPass) R.PlainText += u'\r';
        break;
      case mhtE:
        if (drawing) St.Error = true;
        break;
      case mhtFont: Font(t, drawing); break;
      case mhtHI:
        if (!FCanvas && !St.HighlightStyled) {
          // The facade's highlight styles apply in both passes.
          St.HighlightStyled = true;
          St.HighlightSavedFont = St.Font;
          St.Font.Bold = St.Font.Bold || P.HighlightBold;
          St.Font.Italic = St.Font.Italic || P.HighlightItalic;
          St.Font.Underline = St.Font.Underline || P.HighlightUnderline;
          St.Font.StrikeOut = St.Font.StrikeOut || P.HighlightStrikeOut;
        }
        if (drawing && !St.Highlight) {
          St.Highlight = true;
          St.HighlightSavedColor = St.Font.Color;
          St.HighlightSavedBackground = St.Background;
          St.Font.Color = P.HighlightTextColor;
          St.Background = P.HighlightColor;
        }
        break;
      case mhtHR:
        L.Ended = true;
        if (drawing) {
          const QString c = MiniHtmlAttribute(t, 3, QStringLiteral("COLOR"), false);
          S.DrawHorzLine(L.Left, L.Right, L.Bottom(), c.isEmpty() ? 0 : MiniHtmlColor(c, P.Engine));
        }
        break;
      case mhtI: St.Font.Italic = true; break;
      case mhtImg: return Image(t, mode, L);
      case mhtInd: {
        const QString upper = MiniHtmlUpperAscii(t);
        const qsizetype x = upper.indexOf(u'X', 3);
        if (x < 0) break;
        const int v = MiniHtmlLeadingNumber(MiniHtmlAttribute(t.mid(x + 1), 0, QString(), false));
        if (FCanvas) {
          // Printed, the indent follows the print factor (three times it
          // while measuring); on screen the caller's scale.
          const double pf = std::max(1.0, P.PrintFactor);
          const int indent = !P.Printing ? Scaled(v)
                             : int(std::nearbyint(std::min<double>(v * pf * (firstPass ? 3 : 1), MiniHtmlMaxExtent)));
          L.X = L.Left + indent;
          if (firstPass) L.Width = std::max(L.Width, indent);
        } else if (L.Width < v) {
          if (firstPass) L.Width = v;
          L.X = L.Left + v;
        }
        break;
      }
      case mhtLI: return ListItem(t, mode, L);
      case mhtR:
        // Rotated text (canvas engine): the angle in degrees of an
        // attribute named A.
        if (FCanvas) St.Font.Orientation = MiniHtmlRotation(t);
        break;
      case mhtJ: return Emoji(t, mode, L);
      case mhtOF: {
        const qsizetype x = MiniHtmlUpperAscii(t).indexOf(u'X', 3);
        if (x < 0) break;
        St.LineOffset = MiniHtmlLeadingNumber(MiniHtmlAttribute(t.mid(x + 1), 0, QString(), false));
        L.X = L.Left + St.LineOffset;
        if (firstPass) L.Width = St.LineOffset;
        break;
      }
      case mhtOL:
        // The level rises in both passes (measuring and drawing see the
        // same indent; the state is saved before the measuring pass).
        ++St.ListLevel;
        St.Ordered = true;
        St.OrderCounter = 1;
        if (L.HasContent) L.Ended = true;
        break;
      case mhtUL:
        ++St.ListLevel;
        St.Ordered = false;
        if (L.HasContent || !FCanvas) L.Ended = true;
        break;
      case mhtP: Paragraph(t, mode, L); break;
      case mhtS:
      case mhtStrike: St.Font.StrikeOut = true; break;
      case mhtSpan: {
        QString style = MiniHtmlAttribute(t, 5, QStringLiteral("STYLE"), true);
        if (!style.contains(u"BACKGROUND-COLOR:")) break;
        style = style.mid(17).trimmed();
        if (style.startsWith(u'#')) {
          St.FontSavedBackground = St.Background;
          St.Background = MiniHtmlColor(style, P.Engine);
        }
        break;
      }
      case mhtShad: St.Shadow = true; break;
      case mhtSub: St.Sub = true; break;
      case mhtSup: St.Sup = true; break;
      case mhtU:
        St.Font.Underline = true;
        break;
      case mhtZ: St.Hidden = true; break;
      case mhtControl: return Control(t, mode, L);
      default: break;
    }
    return true;
  }

  void OpenLink(const QString& t, TPassMode mode, TLine& L) {
    ++St.LinkCounter;
    St.InLink = true;
    if (FCanvas) {
      St.Href = MiniHtmlAttribute(t, 2, QStringLiteral("HREF"), false);
      St.Title = MiniHtmlAttribute(t, 2, QStringLiteral("TITLE"), false);
    } else {
      St.Href = MiniHtmlAttribute(t, 2, QString(), false);
      St.Title.clear();
    }
    St.LinkStartX = L.X;
    St.LinkStartTop = L.Top;
    St.LinkStartLine = L.Index;
    St.LinkHitPending = false;
    St.LinkHovered = !P.HoverOnly || St.LinkCounter == P.HoverLink;
    St.LinkSavedColor = St.Font.Color;
    if (!FCanvas) St.FontSavedColor = St.Font.Color;
    if (mode == pmDraw && St.LinkCounter == P.FocusLink + 1) {
      FFocusActive = true;
      FFocusStartX = L.X;
    }
    St.LinkSavedBackground = St.Background;
    if (mode == pmDraw && St.LinkHovered) {
      if (FCanvas || P.URLUnderline) St.Font.Underline = true;
      if (P.HoverColor != FNoColor) St.Background = P.HoverColor;
      if (P.HoverFontColor != FNoColor) St.Font.Color = P.HoverFontColor;
    }
    const bool keepHoverColor = P.HoverOnly && St.LinkCounter == P.HoverLink && P.HoverFontColor != FNoColor;
    if (!P.Selected && !keepHoverColor) St.Font.Color = P.URLColor;
    if (mode != pmMeasure && St.LinkCounter == P.FocusLink + 1) R.FocusAnchor = St.Href;
  }

  void CloseLink(TPassMode mode, TLine& L) {
    if (St.LinkHovered && mode == pmDraw) {
      St.Font.Underline = false;
      St.Background = St.LinkSavedBackground;
      St.Font.Color = St.LinkSavedColor;
    }
    if (!P.Selected) St.Font.Color = FCanvas ? P.Font.Color : St.LinkSavedColor;
    if (FFocusActive && mode == pmDraw) {
      S.DrawFocusRect(FocusPiece(L, FFocusStartX, L.X));
      FFocusActive = false;
    }
    if (St.InLink && St.LinkHitPending) {
      const int left = St.LinkStartLine == L.Index ? St.LinkStartX : L.Left;
      const int top = St.LinkStartLine == L.Index ? St.LinkStartTop : L.Top;
      R.HoverRect = VisRect(L, QRect(QPoint(left, top), QPoint(L.X - 1, L.Bottom() - 1)));
      R.HoverLink = St.LinkCounter;
      St.LinkHitPending = false;
    }
    St.InLink = false;
  }

  void Font(const QString& t, bool drawing) {
    bool found = false;
    const QString face = MiniHtmlAttribute(t, 5, QStringLiteral("FACE"), true, &found);
    if (found && !face.isEmpty()) St.Font.Name = face;
    const QString color = MiniHtmlAttribute(t, 5, QStringLiteral(" COLOR"), true, &found);
    if (found && !P.Selected) {
      // The colour to return to: the current one (facade engine: black when
      // the surface had no background colour at the call).
      St.FontSavedColor = (!FCanvas && P.Background == mhNoColorFacade) ? 0 : St.Font.Color;
      St.Font.Color = MiniHtmlColor(color, P.Engine);
    }
    const QString bg = MiniHtmlAttribute(t, 5, QStringLiteral("BGCOLOR"), true, &found);
    if (found && drawing && !P.Selected) {
      St.FontSavedBackground = St.Background;
      St.Background = MiniHtmlColor(bg, P.Engine);
    }
    St.Font.Size = MiniHtmlFontTagSize(t, St.Font.Size);
  }

  // The value of a BODY style attribute: from the second character after
  // the name up to the first ";", "'" or double quote.
  static QString BodyStyleValue(const QString& AUpper, const QString& AName, bool& AFound) {
    const qsizetype at = AUpper.indexOf(AName);
    AFound = at >= 0;
    if (at < 0) return QString();
    QString v = AUpper.mid(at + AName.size() + 1);
    const qsizetype stop = v.indexOf(QRegularExpression(QStringLiteral("[;'\"]")));
    if (stop >= 0) v.truncate(stop);
    return v.trimmed();
  }

  void Body(const QString& t, TPassMode mode, TLine& L) {
    if (!FCanvas && P.Selected) return;
    const QString upper = MiniHtmlUpperAscii(t);
    bool found = false;
    if (FCanvas) {
      const QString family = MiniHtmlAttribute(t, 5, QStringLiteral("FONT-FAMILY"), true, &found);
      if (found && !family.isEmpty()) St.Font.Name = family;
      QString size = BodyStyleValue(upper, QStringLiteral("FONT-SIZE"), found);
      if (found) {
        if (size.endsWith(u"PT")) size.chop(2);
        bool ok = false;
        const int points = size.trimmed().toInt(&ok);
        if (ok && points > 0) {
          St.Font.Size = std::min(points, MiniHtmlMaxFontSize);
          GrowHeight(L, S.TextHeight(St.Font));
        }
      }
      const QString style = BodyStyleValue(upper, QStringLiteral("FONT-STYLE"), found);
      if (found && style == u"BOLD") {
        St.Font.Bold = true;
        St.Font.Italic = St.Font.Underline = St.Font.StrikeOut = false;
      } else if (found && style == u"ITALIC") {
        St.Font.Italic = true;
        St.Font.Bold = St.Font.Underline = St.Font.StrikeOut = false;
      }
    }
    if (mode != pmDraw) return;
    const QString bg = MiniHtmlAttribute(t, 5, QStringLiteral("BGCOLOR"), true, &found);
    if (found) {
      if (FCanvas) {
        if (bg.contains(u'#') || bg.contains(u"CL")) S.FillBand(P.Rect, MiniHtmlColor(bg, P.Engine));
      } else if (!upper.contains(u"BGCOLORTO")) {
        S.FillBand(QRect(QPoint(P.Rect.left() - 2, P.Rect.top()), P.Rect.bottomRight()), MiniHtmlColor(bg, P.Engine));
      }
    }
    QString background = MiniHtmlAttribute(t, 5, QStringLiteral("BACKGROUND"), FCanvas, &found);
    if (found && !background.isEmpty()) {
      TMiniHtmlPictureRef ref;
      if (FCanvas) {
        ref = PictureRefOf(t, 5, QStringLiteral("BACKGROUND"));
      } else {
        if (MiniHtmlUpperAscii(background).startsWith(u"IDX:")) background.remove(0, 4);
        ref = ParseMiniHtmlPictureRef(background, P.Engine);
      }
      if (ref.Kind == mhpContainer || ref.Kind == mhpURL || ref.Kind == mhpFile)
        S.DrawBackgroundPicture(ref, P.Rect, true);
    }
    if (!FCanvas) {
      for (const bool right : {false, true}) {
        const QString name =
            MiniHtmlAttribute(t, 5, right ? QStringLiteral("BGTOPRIGHT") : QStringLiteral("BGTOPLEFT"), false, &found);
        if (!found || name.isEmpty()) continue;
        TMiniHtmlPictureRef ref;
        ref.Kind = mhpContainer;
        ref.Name = name;
        const QSize size = P.PictureSize ? P.PictureSize(ref) : QSize();
        if (size.isEmpty()) continue;
        const int x = right ? P.Rect.right() + 1 - size.width() : P.Rect.left();
        S.DrawBackgroundPicture(ref, QRect(QPoint(x, P.Rect.top()), size), false);
      }
    }
  }

  void Paragraph(const QString& t, TPassMode mode, TLine& L) {
    bool found = false;
    const QString align = MiniHtmlAttribute(t, 2, QStringLiteral("ALIGN"), true, &found);
    if (found) {
      if (align.contains(u"RIGHT")) St.Align = 1;
      if (align.contains(u"LEFT")) St.Align = 0;
      if (align.contains(u"CENTER")) St.Align = 2;
    }
    const QString indent = MiniHtmlAttribute(t, 2, QStringLiteral("INDENT"), false, &found);
    if (found) L.Indent = MiniHtmlLeadingNumber(indent);
    if (FCanvas) {
      const QString lh = MiniHtmlAttribute(t, 2, QStringLiteral("LINE-HEIGHT"), false, &found);
      if (found) {
        QString v = lh;
        v.replace(u',', u'.');
        bool ok = false;
        double f = v.trimmed().toDouble(&ok);
        if (!ok || !(f > 0) || f > 100) f = 1.0;
        St.LineHeightFactor = f;
      }
    }
    const QString pfloat = MiniHtmlAttribute(t, 2, QStringLiteral("FLOAT"), true, &found);
    if (found && (pfloat == u"LEFT" || pfloat == u"RIGHT") && mode != pmMeasure) FParagraphFloated = true;
    if (found && P.MeasureOnly && (pfloat == u"LEFT" || pfloat == u"RIGHT")) FParagraphFloated = true;
    const QString bg = MiniHtmlAttribute(t, 2, QStringLiteral("BGCOLOR"), true, &found);
    if (found && mode == pmDraw) {
      St.ParagraphBackground = true;
      St.ParagraphSavedBackground = St.Background;
      St.ParagraphColor = bg.isEmpty() ? FNoColor : MiniHtmlColor(bg, P.Engine);
      St.Background = St.ParagraphColor;
      S.FillBand(QRect(QPoint(P.Rect.left(), L.Top), QPoint(P.Rect.right(), L.Bottom() - 1)), St.ParagraphColor);
    }
  }

  bool ListItem(const QString& t, TPassMode mode, TLine& L) {
    if (L.HasListItem) {
      L.Ended = true;
      return false;
    }
    L.HasListItem = true;
    L.HasContent = true;
    if (mode == pmMeasure) L.Width += kListIndent * St.ListLevel;
    L.X += kListIndent * St.ListLevel - kListIndent;
    const QString type = MiniHtmlAttribute(t, 3, QStringLiteral("TYPE"), true);
    bool hasColor = false;
    const QString color = MiniHtmlAttribute(t, 3, QStringLiteral("COLOR"), true, &hasColor);
    const TColor bulletColor = hasColor ? MiniHtmlColor(color, P.Engine) : St.Font.Color;
    // What moves the text on beyond the indent (a wide picture, an order
    // number) counts in every pass, so measuring and drawing agree.
    int extra = 0;
    if (FCanvas && type == u"IMAGE") {
      TMiniHtmlPictureRef ref;
      ref.Kind = mhpContainer;
      ref.Name = MiniHtmlAttribute(t, 3, QStringLiteral("NAME"), true);
      const QSize size = P.PictureSize && !ref.Name.isEmpty() ? P.PictureSize(ref) : QSize();
      if (!size.isEmpty()) {
        if (mode == pmDraw && !St.Hidden) S.DrawPicture(ref, VisRect(L, QRect(QPoint(L.X, L.Top + 2), size)));
        if (size.width() > kListIndent) extra = size.width() - kListIndent;
      }
    } else if (type == u"SQUARE" || type == u"CIRCLE") {
      if (mode == pmDraw && !St.Hidden) S.DrawBullet(Vis(L, L.X, 8), L.Top + 2, QString(), type, bulletColor, St.Font);
    } else if (FCanvas && St.Ordered) {
      const QString number = QString::number(St.OrderCounter++) + QStringLiteral(". ");
      const int w = S.TextWidth(number, St.Font);
      if (mode == pmDraw && !St.Hidden) S.DrawBullet(Vis(L, L.X, w), L.Top, number, QString(), bulletColor, St.Font);
      extra = w - kListIndent;
    } else if (mode == pmDraw && !St.Hidden) {
      const QString bullet = St.ListLevel % 2 == 1 ? QString(QChar(0x2022)) : QStringLiteral("o");
      S.DrawBullet(Vis(L, L.X, S.TextWidth(bullet, St.Font)), L.Top, bullet, QString(), bulletColor, St.Font);
    }
    L.X += extra;
    if (mode == pmMeasure) L.Width += extra;
    L.X += kListIndent;
    return true;
  }

  bool Image(const QString& t, TPassMode mode, TLine& L) {
    ++St.ImageCounter;
    // The canvas engine reads the reference from the upper-cased tag.
    const TMiniHtmlPictureRef ref = PictureRefOf(t, 4, QStringLiteral("SRC"));
    QSize natural;
    if (ref.Kind == mhpImageIndex) {
      if (ref.Index < P.ImageCount) natural = P.ImageSize;
    } else if (ref.Kind != mhpNone && P.PictureSize) {
      natural = P.PictureSize(ref);
    }
    if (natural.isEmpty()) return true;  // takes no space
    bool hasW = false, hasH = false;
    int w = MiniHtmlLeadingNumber(MiniHtmlAttribute(t, 4, QStringLiteral("WIDTH"), false, &hasW));
    int h = MiniHtmlLeadingNumber(MiniHtmlAttribute(t, 4, QStringLiteral("HEIGHT"), false, &hasH));
    if (hasW && hasH) {
    } else if (hasW) {
      h = int(std::nearbyint(double(w) * natural.height() / natural.width()));
    } else if (hasH) {
      w = int(std::nearbyint(double(h) * natural.width() / natural.height()));
    } else {
      w = natural.width();
      h = natural.height();
    }
    if (FCanvas) {
      w = Scaled(w);
      h = Scaled(h);
    }
    if (w <= 0 || h <= 0) return true;
    const int extent = w + 2;
    bool hasFloat = false;
    const QString imgFloat = MiniHtmlAttribute(t, 4, QStringLiteral("FLOAT"), true, &hasFloat);
    if (hasFloat && (imgFloat == u"LEFT" || imgFloat == u"RIGHT")) {
      const bool right = imgFloat == u"RIGHT";
      if (right) {
        St.FloatRight = extent;
      } else {
        St.FloatLeft = extent;
      }
      St.FloatBottom = std::max(St.FloatBottom, L.Top - P.Rect.top() + h);
      const QRect box(right ? L.Right - w : L.X, L.Top, w, h);
      if (mode == pmDraw) S.DrawPicture(ref, VisRect(L, box));
      if (right) {
        if (mode == pmMeasure) L.Width = std::max(L.Width, L.Available());
        L.Ended = true;
      } else {
        if (mode == pmMeasure) L.Width += extent;
        L.X += extent;
      }
      L.HasContent = true;
      return true;
    }
    if (mode == pmMeasure) {
      if (P.WordWrap && L.Width + extent > L.Available() && extent <= L.Available() && L.HasContent) {
        L.Ended = true;
        return false;
      }
      L.Width += extent;
    }
    const bool wrap = MiniHtmlUpperAscii(t).contains(u"WRAP");
    if (!wrap) {
      GrowHeight(L, h);
    } else if (!FFixedHeight) {
      L.Height = S.TextHeight(St.Font);
      L.TextOffset = 0;
    }
    const QString upper = MiniHtmlUpperAscii(t);
    if (upper.contains(u"ALIGN") && !FFixedHeight) {
      const int free = L.Height - S.TextHeight(St.Font);
      if (upper.contains(u"\"TOP"))
        L.TextOffset = std::max(0, free);
      else if (upper.contains(u"\"MIDDLE"))
        L.TextOffset = std::max(0, free / 2);
    }
    int top = L.Top;
    if (!FCanvas && ref.Kind == mhpImageIndex && FFixedHeight && h < L.Height) {
      // The facade engine sets image list pictures lower than the line on
      // its bottom or its middle as ALIGN says.
      const QString align = MiniHtmlAttribute(t, 4, QStringLiteral("ALIGN"), true);
      if (align.startsWith(u"BOTTOM"))
        top += L.Height - h;
      else if (align.startsWith(u"MIDDLE"))
        top += (L.Height - h) / 2;
    }
    const QRect box = VisRect(L, QRect(L.X, top, w, h));
    if (St.InLink && box.contains(P.Pointer)) {
      R.Anchor = St.Href;
      R.Title = St.Title;
      L.ImageHit = true;
      FHoveredImage = St.ImageCounter;
    }
    if (mode == pmDraw) {
      bool hasAlt = false;
      const TMiniHtmlPictureRef alt = PictureRefOf(t, 4, QStringLiteral("ALT"), &hasAlt);
      S.DrawPicture(hasAlt && FHoveredImage == St.ImageCounter ? alt : ref, box);
    }
    L.X += extent;
    L.HasContent = true;
    return true;
  }

  // The emoji of a J tag: the two characters after "<J ". The position moves
  // on by the advance the surface answers, measuring or not; it is drawn in
  // the drawing pass unless hidden.
  bool Emoji(const QString& t, TPassMode mode, TLine& L) {
    if (t.size() < 4) return true;
    const QString glyph = t.mid(3, 2).trimmed();
    if (glyph.isEmpty()) return true;
    const int w = S.DrawEmoji(0, 0, glyph, St.Font, false);
    if (mode == pmMeasure) {
      if (P.WordWrap && L.Width + w > L.Available() && w <= L.Available() && L.HasContent) {
        L.Ended = true;
        return false;
      }
      L.Width += w;
    }
    if (mode == pmDraw && !St.Hidden) {
      // On the line's text, as the runs are.
      const int top = L.Top + L.SupRise + L.Height - L.TextOffset - S.TextHeight(St.Font);
      S.DrawEmoji(Vis(L, L.X, w), top, glyph, St.Font, true);
    }
    L.X += w;
    L.HasContent = true;
    return true;
  }

  bool Control(const QString& t, TPassMode mode, TLine& L) {
    const TMiniHtmlControl c = ParseMiniHtmlControl(t.mid(1), P.Engine);
    const bool checkLike = c.ControlType == u"CHECK" || c.ControlType == u"RADIO";
    if (!c.HasWidth && (FCanvas || !checkLike)) return true;
    int w = 0, h = 0, lineHeight = 0;
    const int th = S.TextHeight(St.Font);
    const double printFactor = std::max(1.0, P.PrintFactor);
    if (FCanvas) {
      if (checkLike) {
        w = int(std::nearbyint(16 * printFactor * P.ScaleFactor));
        h = Scaled(16);
        lineHeight = Scaled(16);
      } else {
        w = Scaled(MiniHtmlLeadingNumber(c.Width));
        h = (c.ControlType == u"COMBO" || c.ControlType == u"BUTTON") ? Scaled(25) : th + Scaled(10);
        lineHeight = Scaled(23);
      }
      const int scaledHeight = Scaled(MiniHtmlLeadingNumber(c.Height));
      if (c.HasHeight && scaledHeight > Scaled(25)) lineHeight = scaledHeight - 2;
    } else {
      // The facade engine's sizes are not scaled.
      if (checkLike) {
        w = h = int(std::nearbyint(16 * printFactor)) + 2;
        lineHeight = 16;
      } else {
        w = MiniHtmlLeadingNumber(c.Width);
        h = c.ControlType == u"COMBO" ? 25 : c.ControlType == u"BUTTON" ? 22 : th + 10;
        lineHeight = 23;
      }
      const int height = MiniHtmlLeadingNumber(c.Height);
      if (c.HasHeight && height > 25) lineHeight = height - 2;
    }
    if (mode == pmMeasure) {
      if (P.WordWrap && L.Width + w > L.Available() && w <= L.Available() && L.HasContent) {
        L.Ended = true;
        return false;
      }
      L.Width += w;
    }
    if (!FFixedHeight) L.Height = std::max({L.Height, lineHeight, h});
    // Once the line's height is known (the second pass) the canvas engine's
    // controls sit on the line's bottom and the facade engine's are centred.
    int top = L.Top;
    if (FFixedHeight) top = FCanvas ? L.Bottom() - h : L.Top + (L.Bottom() - L.Top - h) / 2;
    const QRect box = VisRect(L, QRect(L.X, top, w, h));
    const bool hit = (P.HitTestOnly && !P.HitControlID.isEmpty()) ? c.ID == P.HitControlID : box.contains(P.Pointer);
    if (hit && mode != pmMeasure) {
      L.ControlHit = true;
      R.Anchor = QStringLiteral("ctrl");
      R.ControlRect = box;
      R.ControlValue = c.Value;
      R.ControlID = c.ID;
      R.ControlType = c.ControlType;
    }
    if (mode == pmDraw) {
      TMiniHtmlControlPlace place;
      place.Box = box;
      place.LineTop = L.Top;
      place.LineBottom = L.Bottom();
      place.LineHeight = L.Height;
      S.DrawControl(c, place);
    }
    L.X += w;
    L.HasContent = true;
    return true;
  }
};

}  // namespace

TMiniHtmlLayoutResult LayoutMiniHtml(const QString& AText, const TMiniHtmlLayoutParams& AParams,
                                     TMiniHtmlSurface& ASurface) {
  TLayout layout(AText, AParams, ASurface);
  return layout.Run();
}
