#pragma once
// Base class of a directory listing entry: the listing's text and the fields
// a parser takes from it.

#include <QString>

#include "platform/rtl/System.h"
#include "platform/rtl/TypInfo.h"

// Declares the getter Name() and the setter SetName(v) of a text property
// stored in Field.
#define TF_ENTRY_TEXT_PROPERTY(Name, Field)          \
  const QString& Name() const { return Field; }      \
  void Set##Name(const QString& value) { Field = value; }

// Every text property below is published.
class TKestrelEntry : public TObject {
 public:
  TF_DECLARE_PUBLISHED(TKestrelEntry)

  // A new entry holding FullEntry; every other field is empty.
  explicit TKestrelEntry(const QString& FullEntry);

  // Parsing hook of the entry kinds; the base entry does nothing.
  virtual void Execute();

  // Stores in fFormatEntryResult a postal-style block of the entry: name,
  // street, "postcode - city", province, then "T: ", "F: ", "H: " and "E: "
  // lines, each line ended by CR LF.
  void FormatEntryResult();

  TF_ENTRY_TEXT_PROPERTY(fFullEntry, _fFullEntry)
  TF_ENTRY_TEXT_PROPERTY(fNameOnly, _fFullName)
  TF_ENTRY_TEXT_PROPERTY(fFullNameANDAddress, _fFullAddress)
  TF_ENTRY_TEXT_PROPERTY(fStreet, _fStreet)
  TF_ENTRY_TEXT_PROPERTY(fZIP, _fZIP)
  TF_ENTRY_TEXT_PROPERTY(fCity, _fCity)
  TF_ENTRY_TEXT_PROPERTY(fPhone, _fPhone)
  TF_ENTRY_TEXT_PROPERTY(fActividad, _fActividad)
  TF_ENTRY_TEXT_PROPERTY(fActiv2, _fActiv2)
  TF_ENTRY_TEXT_PROPERTY(fFax, _fFax)
  TF_ENTRY_TEXT_PROPERTY(fHTTP, _fHTTP)
  TF_ENTRY_TEXT_PROPERTY(fEmail, _fEmail)
  TF_ENTRY_TEXT_PROPERTY(fProvincia, _fProvincia)
  TF_ENTRY_TEXT_PROPERTY(fProvince, _fProvince)
  TF_ENTRY_TEXT_PROPERTY(fLongitude, _fLongitude)
  TF_ENTRY_TEXT_PROPERTY(fdescription, _fdescription)
  TF_ENTRY_TEXT_PROPERTY(fLatitude, _fLatitude)
  TF_ENTRY_TEXT_PROPERTY(fYPlisting, _fYPlisting)
  TF_ENTRY_TEXT_PROPERTY(fFormatEntryResult, _FormatEntryResult)

 private:
  QString _fFullEntry;
  QString _fFullName;
  QString _fFullAddress;
  QString _fStreet;
  QString _fAddress;  // kept for the entry kinds that split addresses; no property
  QString _fZIP;
  QString _fCity;
  QString _fPhone;
  QString _fActividad;
  QString _fActiv2;
  QString _fFax;
  QString _fHTTP;
  QString _fEmail;
  QString _fProvincia;
  QString _fProvince;
  QString _fLongitude;
  QString _fdescription;
  QString _fLatitude;
  QString _fYPlisting;
  QString _FormatEntryResult;
};
