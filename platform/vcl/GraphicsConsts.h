#pragma once
// Fixed English messages of the graphics classes. Placeholders follow
// Format's rules.

namespace GraphicsConsts {
inline constexpr const char* SInvalidBitmap = "Bitmap image is not valid";
inline constexpr const char* SInvalidIcon = "Icon image is not valid";
inline constexpr const char* SInvalidJpeg = "JPEG image is not valid: %s";
inline constexpr const char* SInvalidPng = "PNG image is not valid";
inline constexpr const char* SInvalidGif = "GIF image is not valid";
inline constexpr const char* SInvalidImage = "The image is not valid or its format is not supported";
inline constexpr const char* SInvalidMetafile = "Metafile is not valid";
inline constexpr const char* SCannotSaveDecoded = "The image can only be saved as it was loaded";
inline constexpr const char* SImageTooLarge = "Image dimensions %d x %d exceed the supported size";
inline constexpr const char* SUnknownExtension = "Unknown picture file extension (.%s)";
inline constexpr const char* SUnknownStreamFormat = "Unsupported stream format";
inline constexpr const char* SUnknownGraphicClass = "Unknown picture class %s";
inline constexpr const char* SScanLine = "Scan line index out of range";
inline constexpr const char* SNoCanvasHandle = "Canvas does not allow drawing";
inline constexpr const char* SInvalidPixelFormat = "Invalid pixel format";
inline constexpr const char* SGifCannotSave = "A GIF image can only be saved as it was loaded";
inline constexpr const char* SInvalidImageSize = "Invalid image size";
inline constexpr const char* SImageIndexError = "Invalid ImageList Index";
}  // namespace GraphicsConsts
