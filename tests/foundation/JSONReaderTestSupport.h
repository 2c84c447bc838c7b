#pragma once
// What the tests of the JSON reader share: a document read token by token
// into a trace.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "foundation/KitJSONReader.h"
#include "platform/rtl/Streams.h"

namespace jsontest {

// Reads the whole document token by token and answers the tokens read,
// separated by blanks, ending with "eof" or with "!" and the message of the
// error that stopped the reading.
inline QString Trace(const QByteArray& json) {
  TBytesStream stream(json);
  TKitJSONReader reader(&stream);
  QStringList out;
  try {
    while (true) {
      switch (reader.Peek()) {
        case jstoBeginObject:
          reader.ReadBeginObject();
          out << u"{"_qs;
          break;
        case jstoEndObject:
          reader.ReadEndObject();
          out << u"}"_qs;
          break;
        case jstoBeginArray:
          reader.ReadBeginArray();
          out << u"["_qs;
          break;
        case jstoEndArray:
          reader.ReadEndArray();
          out << u"]"_qs;
          break;
        case jstoName: out << u"name:"_qs + reader.ReadName(); break;
        case jstoBoolean: out << (reader.ReadBoolean() ? u"true"_qs : u"false"_qs); break;
        case jstoNull:
          reader.ReadNull();
          out << u"null"_qs;
          break;
        case jstoText: out << u"text:"_qs + reader.ReadString(); break;
        case jstoNumber: out << u"num:"_qs + reader.ReadString(); break;
        case jstoEOF: out << u"eof"_qs; return out.join(u' ');
      }
    }
  } catch (const Exception& e) {
    out << u'!' + e.Message();
  }
  return out.join(u' ');
}

}  // namespace jsontest
