// The foundation's pull parser (TKitJSONReader), with which object
// persistence reads settings files, and its writer.
//
// Every input is read twice: once token by token and copied to a
// TKitJSONWriter, once with the typed reads and skips persistence uses.
// Property checked: a document the reader read whole is written by the
// writer into one that reads back as the same tokens, names and texts.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/KitJSONReader.h"
#include "foundation/KitJSONWriter.h"
#include "fuzz/support/FuzzSupport.h"

namespace {

struct TToken {
  TKitJSONToken Kind;
  QString Text;  // names, texts and booleans
  double Number = 0;
};

// Does Copy, read from the writer's output, stand for Original? The writer
// writes numbers as the run-time's float text (15 significant digits) and
// the values JSON numbers cannot hold as the texts "NAN", "INF", "-INF".
bool SameToken(const TToken& Original, const TToken& Copy) {
  if (Original.Kind == jstoNumber && !std::isfinite(Original.Number)) {
    const QString expected = std::isnan(Original.Number) ? QStringLiteral("NAN")
                             : Original.Number > 0      ? QStringLiteral("INF")
                                                        : QStringLiteral("-INF");
    return Copy.Kind == jstoText && Copy.Text == expected;
  }
  if (Original.Kind != Copy.Kind || Original.Text != Copy.Text) return false;
  if (Original.Kind != jstoNumber) return true;
  const double a = Original.Number, b = Copy.Number;
  return a == b || std::fabs(a - b) <= 1e-13 * std::max(std::fabs(a), std::fabs(b));
}

bool SameTokens(const std::vector<TToken>& Original, const std::vector<TToken>& Copy) {
  if (Original.size() != Copy.size()) return false;
  for (size_t i = 0; i < Original.size(); ++i)
    if (!SameToken(Original[i], Copy[i])) return false;
  return true;
}

// Reads the whole document token by token; writes each token to Writer
// when given. Raises the reader's exceptions for a malformed document.
std::vector<TToken> ReadTokens(TStream* Source, TKitJSONWriter* Writer) {
  TKitJSONReader reader(Source);
  std::vector<TToken> tokens;
  for (;;) {
    const TKitJSONToken kind = reader.Peek();
    TToken token{kind, QString()};
    switch (kind) {
      case jstoBeginObject:
        reader.ReadBeginObject();
        if (Writer) Writer->WriteBeginObject();
        break;
      case jstoEndObject:
        reader.ReadEndObject();
        if (Writer) Writer->WriteEndObject();
        break;
      case jstoBeginArray:
        reader.ReadBeginArray();
        if (Writer) Writer->WriteBeginArray();
        break;
      case jstoEndArray:
        reader.ReadEndArray();
        if (Writer) Writer->WriteEndArray();
        break;
      case jstoName:
        token.Text = reader.ReadName();
        // The writer refuses empty names; such a document is read but not copied.
        if (Writer) Writer->WriteName(token.Text);
        break;
      case jstoBoolean: {
        const bool value = reader.ReadBoolean();
        token.Text = value ? QStringLiteral("true") : QStringLiteral("false");
        if (Writer) Writer->WriteBoolean(value);
        break;
      }
      case jstoNull:
        reader.ReadNull();
        if (Writer) Writer->WriteNull();
        break;
      case jstoText:
        token.Text = reader.ReadString();
        if (Writer) Writer->WriteString(token.Text);
        break;
      case jstoNumber:
        token.Number = reader.ReadDouble();
        if (Writer) Writer->WriteDouble(token.Number);
        break;
      case jstoEOF:
        tokens.push_back(token);
        return tokens;
    }
    tokens.push_back(token);
  }
}

// The reads object persistence makes: typed numbers, names peeked before
// they are read, and whole values skipped. Choice steers which is used.
void ReadTyped(TStream* Source, uint8_t Choice) {
  TKitJSONReader reader(Source);
  for (int step = 0;; ++step) {
    const uint8_t pick = uint8_t(Choice >> (step % 8)) ^ uint8_t(step);
    switch (reader.Peek()) {
      case jstoBeginObject:
      case jstoBeginArray:
        if (pick % 5 == 0) {
          reader.SkipValue();
        } else if (reader.Peek() == jstoBeginObject) {
          reader.ReadBeginObject();
        } else {
          reader.ReadBeginArray();
        }
        break;
      case jstoEndObject:
        reader.ReadEndObject();
        break;
      case jstoEndArray:
        reader.ReadEndArray();
        break;
      case jstoName:
        reader.PeekName();
        if (pick % 3 == 0) {
          reader.ReadName();
          reader.SkipValue();
        } else {
          reader.ReadName();
        }
        break;
      case jstoNumber:
        switch (pick % 4) {
          case 0: reader.ReadInteger(); break;
          case 1: reader.ReadInt64(); break;
          case 2: reader.ReadString(); break;
          default: reader.ReadDouble(); break;
        }
        break;
      case jstoText:
        if (pick % 2) reader.ReadDouble(); else reader.ReadString();
        break;
      case jstoBoolean:
        reader.ReadBoolean();
        break;
      case jstoNull:
        reader.HasNext();
        reader.ReadNull();
        break;
      case jstoEOF:
        return;
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::QuietMessages();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  std::vector<TToken> tokens;
  TBytesStream copy;
  bool copied = false;
  fuzz::Refusable([&] {
    fuzz::TInputStream source(Data, Size);
    {
      TKitJSONWriter writer(&copy);
      tokens = ReadTokens(&source, &writer);
      writer.Close();
    }
    copied = true;
  });
  if (copied) {
    copy.SetPosition(0);
    std::vector<TToken> again;
    try {
      again = ReadTokens(&copy, nullptr);
    } catch (const Exception&) {
      fuzz::Check(false, "the writer's copy of a document does not read");
    }
    fuzz::Check(SameTokens(tokens, again), "the writer's copy of a document reads as other tokens");
  }

  fuzz::Refusable([&] {
    fuzz::TInputStream source(Data, Size);
    ReadTyped(&source, Size ? Data[Size / 2] : 0);
  });
  return 0;
}
