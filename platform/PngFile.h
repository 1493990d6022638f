#ifndef MORVALETH_PLATFORM_PNGFILE_H
#define MORVALETH_PLATFORM_PNGFILE_H

#include <cstdint>
#include <string>

/// Writes an 8-bit RGB (3 bytes a pixel) or RGBA (4 bytes a pixel) image, top row
/// first, as a PNG file; false when the file cannot be written.
bool WritePng(const std::string& path, int width, int height, int bytesPerPixel, const std::uint8_t* pixels);

#endif
