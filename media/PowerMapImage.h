#ifndef MORVALETH_MEDIA_POWERMAPIMAGE_H
#define MORVALETH_MEDIA_POWERMAPIMAGE_H

#include "media/CharDrawer.h"

struct SDL_Surface;

// The parts of the power map and the field map that need no OpenGL: reading
// surface pixels into packed words, the flood fill and the tile layout.

/// The opaque packed word of a red, green and blue byte.
TPackedColor PackOpaque(int red, int green, int blue);

/// Whether pixels of that many bytes (1, 3 or 4) can be read.
bool IsReadablePixelSize(int bytesPerPixel);

/// Converts a rectangle of the surface, clipped to it, into opaque packed words at dst (stride words a row);
/// palette indices beyond the palette leave their word alone; false, writing nothing, for an unreadable pixel size.
bool ReadSurfacePixels(const SDL_Surface* surface, int x0, int y0, int columns, int rows, TPackedColor* dst,
	int stride);

/// 4-connected scanline fill of the region around (x, y) with fill; pixels of fill or boundary stop it, and
/// a seed outside the picture or on such a pixel fills nothing.
void FloodFill(TPackedColor* pixels, int width, int height, int x, int y, TPackedColor fill, TPackedColor boundary);

/// How a picture is cut into equal power-of-two tiles.
struct TTileLayout
{
	int tileWidth;
	int tileHeight;
	int across;
	int down;
};

/// The smallest power of two from 16 up that covers the side, but never doubled past maxSide.
int TileSide(int side, int maxSide);

/// Tiles for a picture, each side at most half the largest texture OpenGL accepts.
TTileLayout FieldMapTileLayout(int width, int height, int maxTextureSize);

#endif
