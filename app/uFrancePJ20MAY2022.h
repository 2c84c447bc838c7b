#pragma once
// Listing parser for the French business directory: turns the text of one
// search-result listing (its plain text immediately followed by its HTML)
// into fields and one result line, plus the text routines the capture loop
// uses around it.

#include <QString>

#include "app/uKestrelEntry.h"

// Every text property below is published, after those of TKestrelEntry.
class TFrancePJEntry : public TKestrelEntry {
 public:
  TF_DECLARE_PUBLISHED(TFrancePJEntry)

  using TKestrelEntry::TKestrelEntry;

  void Execute() override;
  // Parses fFullEntry into the fields and ResultLine.
  void ExecutePagesJaunes();
  // Activity taken from "class == text" pairs of the entry's markup; empty
  // when none is found. fFullEntry is not changed.
  QString GetCategory();
  // Older field patterns (phone, fax and mobile after their labels, the
  // listing address, "siteweb:"); not part of ExecutePagesJaunes.
  void GetAddress();
  // The white-pages variant has no parser: does nothing.
  void ExecutePagesBlanches();

  TF_ENTRY_TEXT_PROPERTY(fMobile, _fMobile)
  TF_ENTRY_TEXT_PROPERTY(fPhone2, _fphone2)
  TF_ENTRY_TEXT_PROPERTY(fImage, _fImage)
  TF_ENTRY_TEXT_PROPERTY(fSlogan, _fSlogan)
  TF_ENTRY_TEXT_PROPERTY(fRegion, _fregion)
  TF_ENTRY_TEXT_PROPERTY(ResultLine, _fResultLine)
  TF_ENTRY_TEXT_PROPERTY(fInnerText, _InnerText)
  TF_ENTRY_TEXT_PROPERTY(fInnerHTML, _InnerHTML)

 private:
  QString _fMobile;
  QString _fphone2;
  QString _fImage;
  QString _fSlogan;
  QString _fregion;
  QString _fResultLine;
  QString _InnerText;
  QString _InnerHTML;
};

// True for a result line of twelve empty fields, the line of a text in which
// no field was found (a listing index the page does not have): such a line
// is not a listing.
bool IsEmptyResultLine(const QString& Line);

// HTML character references decoded by the run-time's HTML encoding: "&amp;",
// "&lt;", "&gt;", "&quot;" and numeric references; any other "&" text stays.
QString DecodeHtmlEntities(const QString& Text);
// Text without its tags, comments, and style and script elements.
QString StripHtmlTags(const QString& Text);
// The address of the next result page from the text of the page's
// next-page attribute ('{"url":"<Base64>","ucod":"b64u8"}'): the Base64 run
// decoded as UTF-8 and prefixed with DirectoryRoot(); empty when the text
// holds no such run.
QString DecodeNextPageLink(const QString& Text);
// Text without CR and LF characters.
QString RemoveLineBreaks(const QString& Text);
// The rest of the line after a house number followed by at least two blanks;
// the text unchanged when it has none.
QString StripHouseNumber(const QString& Text);
