#pragma once
// Pictures the framework cannot decode itself (TIFF, WMF, EMF) decoded
// through the GDI+ runtime, and the installation of that decoder into the
// framework's imaging and metafile graphics.

#include <QByteArray>
#include <QImage>

// The pixels of picture bytes as premultiplied ARGB at the picture's size
// in pixels (a metafile at its header's size and resolution at 96 dots per
// inch); a null image when they do not decode or are larger than the
// drawing surfaces take (32767 pixels a side, 2^26 pixels in all). GDI+ is
// started through the shared start-up on first use.
QImage GdiplusDecodeImage(const QByteArray& Bytes);

// Makes GdiplusDecodeImage the framework's external image decoder (once;
// later calls do nothing).
void InstallGdiplusImageDecoder();
