// The rich-text reader (RtfToDocument): cell texts, clipboard and dropped
// data that start with "{\rtf".
//
// Properties checked on every input: the document read writes as RTF that
// reads back with the same paragraphs, and that RTF written again is the
// same text (the writer's output is a fixed point after one round).

#include <QTextBlock>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>

#include "fuzz/support/FuzzSupport.h"
#include "platform/vcl/RichText.h"

namespace {

QStringList Paragraphs(const QTextDocument& doc) {
  QStringList l;
  for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) l << b.text();
  return l;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  fuzz::StartGuiApplication();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  // Inputs that lack the header are read as a document's body too.
  QByteArray rtf = fuzz::Bytes(Data, Size);
  if (!LooksLikeRtf(rtf)) rtf.prepend("{\\rtf1 ");
  QTextDocument doc;
  RtfToDocument(rtf, doc);
  RtfToPlainText(rtf);

  const QByteArray written = DocumentToRtf(doc);
  QTextDocument back;
  fuzz::Check(RtfToDocument(written, back), "the RTF written for a document does not read back");
  fuzz::Check(Paragraphs(back) == Paragraphs(doc), "the RTF written for a document reads back as other text");
  const QByteArray again = DocumentToRtf(back);
  QTextDocument third;
  RtfToDocument(again, third);
  fuzz::Check(DocumentToRtf(third) == again, "written RTF is not stable after one round");
  return 0;
}
