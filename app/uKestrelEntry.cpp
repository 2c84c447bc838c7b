#include "app/uKestrelEntry.h"

TF_PUBLISHED(TKestrelEntry, TObject) {
  using T = TKestrelEntry;
  return TPublished<T>()
      .String("fFullEntry", &T::fFullEntry, &T::SetfFullEntry)
      .String("fNameOnly", &T::fNameOnly, &T::SetfNameOnly)
      .String("fFullNameANDAddress", &T::fFullNameANDAddress, &T::SetfFullNameANDAddress)
      .String("fStreet", &T::fStreet, &T::SetfStreet)
      .String("fZIP", &T::fZIP, &T::SetfZIP)
      .String("fCity", &T::fCity, &T::SetfCity)
      .String("fPhone", &T::fPhone, &T::SetfPhone)
      .String("fActividad", &T::fActividad, &T::SetfActividad)
      .String("fActiv2", &T::fActiv2, &T::SetfActiv2)
      .String("fFax", &T::fFax, &T::SetfFax)
      .String("fHTTP", &T::fHTTP, &T::SetfHTTP)
      .String("fEmail", &T::fEmail, &T::SetfEmail)
      .String("fProvincia", &T::fProvincia, &T::SetfProvincia)
      .String("fProvince", &T::fProvince, &T::SetfProvince)
      .String("fLongitude", &T::fLongitude, &T::SetfLongitude)
      .String("fdescription", &T::fdescription, &T::Setfdescription)
      .String("fLatitude", &T::fLatitude, &T::SetfLatitude)
      .String("fYPlisting", &T::fYPlisting, &T::SetfYPlisting)
      .String("fFormatEntryResult", &T::fFormatEntryResult, &T::SetfFormatEntryResult);
}

TKestrelEntry::TKestrelEntry(const QString& FullEntry) : _fFullEntry(FullEntry) {}

void TKestrelEntry::Execute() {}

void TKestrelEntry::FormatEntryResult() {
  const QString crlf = QStringLiteral("\r\n");
  _FormatEntryResult = _fFullName + crlf + _fStreet + crlf + _fZIP + QStringLiteral(" - ") + _fCity + crlf +
                       _fProvincia + crlf + QStringLiteral("T: ") + _fPhone + crlf + QStringLiteral("F: ") +
                       _fFax + crlf + QStringLiteral("H: ") + _fHTTP + crlf + QStringLiteral("E: ") + _fEmail +
                       crlf;
}
