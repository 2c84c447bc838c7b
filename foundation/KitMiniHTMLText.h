#pragma once
// Plain string routines over mini-HTML text: the plain text of a cell,
// escaping for HTML export and form-control values, search marks put into
// and taken out of marked-up text, and the values of the form controls
// (CONTROL tags) inside a text. None of them draws.

#include <QString>

#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

// Plain text: every "<BR>" and "<HR>" (any case) becomes CR LF, then every
// tag from "<" to the first ">" after it is removed; a "<" without a ">"
// after it is kept with everything after it.
QString MiniHtmlToText(const QString& AText);
// The text with its tags removed left to right; stops, keeping the rest,
// when the rest has no ">" or its first ">" stands before its first "<".
QString RemoveHtmlTags(const QString& AText);
// "&quot;", "&amp;", "&gt;" and "&lt;" back into characters, each step
// repeated until its entity no longer occurs; with AWithNames also the
// named entities of the entity table (exact spelling).
QString UnescapeHtmlText(const QString& AText, bool AWithNames);
// "&", double quote, "<" and ">" as entities; with AWithNames also every
// character of the entity table by its name (a blank as "&nbsp;") and every
// UTF-16 code unit of 257 or more as "&#<decimal>;".
QString EscapeHtmlText(const QString& AText, bool AWithNames);
// Every blank as "&nbsp;".
QString SpacesToNbsp(const QString& AText);
// True when the text contains "<CONTROL" in any case.
bool HasHtmlControl(const QString& AText);

enum TMarkTextOption { mtoWholeText, mtoCaseSensitive };
TF_ENUM_NAMES(TMarkTextOption, mtoWholeText, mtoCaseSensitive)
using TMarkTextOptions = TSet<TMarkTextOption>;

// Wraps every occurrence of ASearch in "<TAG>" ... "</TAG>" (ATag
// upper-cased). Existing marks of that tag are removed first. In marked-up
// text, tags count as no characters and entities as one, and the mark is
// reopened after every closing FONT tag inside an occurrence. With
// mtoWholeText only a text equal to ASearch is marked, as a whole. An empty
// search text leaves the text as it is.
QString MarkTextInHtml(const QString& AText, const QString& ASearch, const QString& ATag,
                       TMarkTextOptions AOptions = {});
// Every "<tag>" and "</tag>" removed in any case; when that removed the last
// "</", the four basic entities are turned back into characters.
QString UnmarkTextInHtml(const QString& AText, const QString& ATag);

// Form controls in a text ("<CONTROL ...>" tags).

// ID of the first control after the one with ACurrentID (from the start
// when it is empty) that is not a BUTTON, CHECK or RADIO; empty when none.
QString NextHtmlControlID(const QString& AText, const QString& ACurrentID);
// The text with the VALUE of every RADIO control set to "FALSE".
QString ClearHtmlRadioControls(const QString& AText);
// VALUE of the first control with AID; false when there is none.
bool GetHtmlControlValue(const QString& AText, const QString& AID, QString& AValue);
// PROP of the first control with AID; empty when there is none.
QString GetHtmlControlProp(const QString& AText, const QString& AID);
// MAXLEN of the first control with AID; 0 when there is none or it is empty.
int GetHtmlControlMaxLen(const QString& AText, const QString& AID);
// Rewrites the tag of the first control with AID with ANewValue; false, the
// text unchanged, when there is none.
bool SetHtmlControlValue(QString& AText, const QString& AID, const QString& ANewValue);
