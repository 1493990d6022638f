#ifndef MORVALETH_PLATFORM_GLYPHRASTER_H
#define MORVALETH_PLATFORM_GLYPHRASTER_H

#include <cstdint>
#include <string>
#include <vector>

/// Rasterises Shift-JIS codes white on black into a 24-bit sheet of square cells (width x height x 3 bytes, top row
/// first); false when no face can draw them.
bool RasterizeGlyphSheet(const int* codes, int count, int width, int height, int cell,
	const std::string& faceName, std::vector<std::uint8_t>& rgb);
/// Rasterises the sheet into a PNG file; 0 when written, -1 otherwise.
int RenderGlyphSheet(const int* codes, int count, int width, int height, int cell,
	const std::string& faceName, const std::string& path);

/// Font file for a face name (Shift-JIS), falling back to a Japanese face; empty when none has kana.
std::string FindGlyphFontFile(const std::string& faceName, int* faceIndex);

#endif
