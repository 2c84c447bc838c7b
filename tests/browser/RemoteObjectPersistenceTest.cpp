// The browser's persisted class, the bridge object, saves and loads to an
// equal object through JSON and through component streaming.

#include <gtest/gtest.h>

#include "browser/KitWebBrowser.Win.h"
#include "foundation/KitPersistence.h"
#include "platform/rtl/Classes.h"
#include "tests/support/TestSupport.h"

TEST(RemoteObjectPersistence, ObjectMessageSurvivesJSONAndComponentStreaming) {
  TCoreWebView2RemoteObject source(nullptr);
  source.SetObjectMessage(u"https://exemple.fr/annuaire?q=été&p=2"_qs);

  TStringStream json;
  TKitPersistence::SaveSettingsToStream(&source, &json);
  EXPECT_EQ(json.DataString(),
            u"{\"$type\":\"TCoreWebView2RemoteObject\",\"ObjectMessage\":\"https://exemple.fr/annuaire?q="
            "\\u00E9t\\u00E9&p=2\"}"_qs);
  TCoreWebView2RemoteObject fromJSON(nullptr);
  TKitPersistence::LoadSettingsFromStream(&fromJSON, &json);
  EXPECT_EQ(fromJSON.ObjectMessage(), source.ObjectMessage());

  // Its properties as component streaming writes those of a nested object.
  TMemoryStream stream;
  {
    TWriter writer(&stream);
    writer.WriteProperties(&source);
    writer.WriteListEnd();
  }
  stream.SetPosition(0);
  TCoreWebView2RemoteObject fromStream(nullptr);
  TReader reader(&stream);
  while (!reader.EndOfList()) reader.ReadProperty(&fromStream);
  reader.ReadListEnd();
  EXPECT_EQ(fromStream.ObjectMessage(), source.ObjectMessage());
}
