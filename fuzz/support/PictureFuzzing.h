#pragma once
// The common body of the picture targets: one graphic class loading hostile
// bytes, then everything the program does with a picture it loaded.
//
// Properties checked: loading leaves the stream's position inside the
// stream; a loaded picture draws, converts to an image of its own size, and
// saves into bytes that load back as a picture of the same size.

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "fuzz/support/FuzzSupport.h"
#include "platform/vcl/Graphics.h"

namespace fuzz {

template <class TGraphicClass>
void FuzzPicture(const uint8_t* Data, size_t Size) {
  TInputStream stream(Data, Size);
  TGraphicClass::CanLoadFromStream(&stream);
  Check(stream.Position() == 0, "CanLoadFromStream moved the stream");
  TGraphicClass graphic;
  Refusable([&] { graphic.LoadFromStream(&stream); });
  Check(stream.Position() >= 0 && stream.Position() <= stream.Size(), "loading left the stream outside itself");
  if (graphic.Empty()) return;

  const int width = graphic.Width(), height = graphic.Height();
  const QImage image = graphic.ToImage();
  Check(image.width() == width && image.height() == height, "the picture's image is not its size");

  // Drawn as the program draws pictures: stretched into a cell, and with
  // constant opacity.
  TBitmap target(24, 16);
  target.Canvas()->StretchDraw(TRect(0, 0, 24, 16), &graphic);
  target.Canvas()->Draw(-3, 2, &graphic, 128);

  TBytesStream saved;
  Refusable([&] { graphic.SaveToStream(&saved); });
  if (saved.Size() == 0) return;
  saved.SetPosition(0);
  TGraphicClass again;
  try {
    again.LoadFromStream(&saved);
  } catch (const Exception& e) {
    std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
    Check(false, "a saved picture does not load back");
  }
  Check(again.Width() == width && again.Height() == height, "a saved picture loads back at another size");
}

}  // namespace fuzz
