#ifndef MORVALETH_PLATFORM_PNGFILE_H
#define MORVALETH_PLATFORM_PNGFILE_H

#include <cstdint>
#include <functional>
#include <string>

/// Writes an 8-bit RGB (3 bytes a pixel) or RGBA (4 bytes a pixel) image, top row
/// first, as a new PNG file (whatever had its name is replaced, never written through); false, with no file
/// left behind, when it cannot be written whole.
bool WritePng(const std::string& path, int width, int height, int bytesPerPixel, const std::uint8_t* pixels);

/// Receives the size of a picture before any row is read; false stops the reading.
typedef std::function<bool(int width, int height)> TPngSizeCheck;
/// Receives one row of a picture, top row first, as width x 3 bytes of 8-bit red, green and blue.
typedef std::function<void(int y, const std::uint8_t* rgb)> TPngRowSink;

/// Reads a PNG file of any colour type row by row as 8-bit RGB (alpha dropped, grey and palette
/// expanded); false when it cannot be opened or read, or when the size check refuses it.
bool ReadPngRows(const std::string& path, const TPngSizeCheck& checkSize, const TPngRowSink& takeRow);

#endif
