#include "media/PowerMapImage.h"

#include "app/HexGrid.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cstddef>
#include <vector>

namespace
{
// The smallest tile side: tiny pictures still get a texture of a sensible size.
const int MinTileSide = 16;

// Converts count palette-indexed pixels; indices beyond the palette are skipped.
void ReadPaletteRow(const SDL_Palette* palette, const Uint8* src, int count, TPackedColor* out)
{
	if (!palette)
		return;
	for (int i = 0; i < count; ++i)
		if (src[i] < palette->ncolors) {
			const SDL_Color& entry = palette->colors[src[i]];
			out[i] = PackOpaque(entry.r, entry.g, entry.b);
		}
}

// Converts count pixels of 3 or 4 bytes, taking each channel's byte from its shift; alpha is not read.
void ReadTrueColourRow(const SDL_PixelFormat* format, const Uint8* src, int count, TPackedColor* out)
{
	const int step = format->BytesPerPixel;
	const int red = format->Rshift / 8;
	const int green = format->Gshift / 8;
	const int blue = format->Bshift / 8;
	for (int i = 0; i < count; ++i, src += step)
		out[i] = PackOpaque(src[red], src[green], src[blue]);
}

// The picture a fill works on, with its two stop colours.
struct TFillPicture
{
	TPackedColor* pixels;
	int width;
	int height;
	TPackedColor fill;
	TPackedColor boundary;

	TPackedColor& At(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
	bool IsOpen(int x, int y) const { return At(x, y) != fill && At(x, y) != boundary; }
};

// Fills the open run through (x, y) of its row: rightwards from x, then leftwards from x - 1.
// left and right become the outermost filled columns (right < left when nothing was filled).
void FillSpan(const TFillPicture& picture, int x, int y, int& left, int& right)
{
	int column = x;
	for (; column < picture.width && picture.IsOpen(column, y); ++column)
		picture.At(column, y) = picture.fill;
	right = column - 1;
	column = x - 1;
	for (; column >= 0 && picture.IsOpen(column, y); --column)
		picture.At(column, y) = picture.fill;
	left = column + 1;
}

// Pushes the first column of every open run of row y between left and right.
void PushOpenRuns(const TFillPicture& picture, int y, int left, int right, std::vector<point_t>& stack)
{
	int column = left;
	while (column <= right) {
		while (column <= right && !picture.IsOpen(column, y))
			++column;
		if (column > right)
			break;
		point_t seed;
		seed.x = column;
		seed.y = y;
		stack.push_back(seed);
		while (column <= right && picture.IsOpen(column, y))
			++column;
	}
}
}

TPackedColor PackOpaque(int red, int green, int blue)
{
	return 0xFF000000u + TPackedColor(blue) * 65536 + TPackedColor(green) * 256 + TPackedColor(red);
}

bool IsReadablePixelSize(int bytesPerPixel)
{
	return bytesPerPixel == 1 || bytesPerPixel == 3 || bytesPerPixel == 4;
}

bool ReadSurfacePixels(const SDL_Surface* surface, int x0, int y0, int columns, int rows, TPackedColor* dst,
	int stride)
{
	const SDL_PixelFormat* format = surface->format;
	if (!IsReadablePixelSize(format->BytesPerPixel))
		return false;
	const int left = std::max(x0, 0);
	const int top = std::max(y0, 0);
	const int right = std::min(x0 + columns, surface->w);
	const int bottom = std::min(y0 + rows, surface->h);
	for (int y = top; y < bottom; ++y) {
		const Uint8* src = static_cast<const Uint8*>(surface->pixels) + std::size_t(y) * surface->pitch
			+ std::size_t(left) * format->BytesPerPixel;
		TPackedColor* out = dst + std::size_t(y - y0) * stride + (left - x0);
		if (format->BytesPerPixel == 1)
			ReadPaletteRow(format->palette, src, right - left, out);
		else
			ReadTrueColourRow(format, src, right - left, out);
	}
	return true;
}

void FloodFill(TPackedColor* pixels, int width, int height, int x, int y, TPackedColor fill, TPackedColor boundary)
{
	const TFillPicture picture = {pixels, width, height, fill, boundary};
	// A seed on a border or already filled belongs to no region of this fill: starting there would
	// spill into the region on its left.
	if (x < 0 || x >= width || y < 0 || y >= height || !picture.IsOpen(x, y))
		return;
	std::vector<point_t> stack(1);
	stack[0].x = x;
	stack[0].y = y;
	while (!stack.empty()) {
		const point_t seed = stack.back();
		stack.pop_back();
		int left = 0;
		int right = 0;
		FillSpan(picture, seed.x, seed.y, left, right);
		if (seed.y > 0)
			PushOpenRuns(picture, seed.y - 1, left, right, stack);
		if (seed.y < height - 1)
			PushOpenRuns(picture, seed.y + 1, left, right, stack);
	}
}

int TileSide(int side, int maxSide)
{
	int tile = MinTileSide;
	while (tile < side && tile < maxSide)
		tile *= 2;
	return tile;
}

TTileLayout FieldMapTileLayout(int width, int height, int maxTextureSize)
{
	TTileLayout layout;
	layout.tileWidth = TileSide(width, maxTextureSize / 2);
	layout.tileHeight = TileSide(height, maxTextureSize / 2);
	layout.across = std::max(1, (width + layout.tileWidth - 1) / layout.tileWidth);
	layout.down = std::max(1, (height + layout.tileHeight - 1) / layout.tileHeight);
	return layout;
}
