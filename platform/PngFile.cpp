#include "platform/PngFile.h"

#include "platform/FileSystem.h"

#include <png.h>
#include <csetjmp>

namespace
{
// libpng reports errors by long jump; this keeps the jump away from objects with destructors.
bool WriteRows(std::FILE* file, int width, int height, int bytesPerPixel, const std::uint8_t* pixels)
{
	png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	if (!png)
		return false;
	png_infop info = png_create_info_struct(png);
	if (!info || setjmp(png_jmpbuf(png))) {
		png_destroy_write_struct(&png, &info);
		return false;
	}
	png_init_io(png, file);
	png_set_IHDR(png, info, width, height, 8,
		bytesPerPixel == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB,
		PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
	png_write_info(png, info);
	for (int y = 0; y < height; ++y)
		png_write_row(png, const_cast<png_bytep>(pixels + std::size_t(y) * width * bytesPerPixel));
	png_write_end(png, nullptr);
	png_destroy_write_struct(&png, &info);
	return true;
}
}

bool WritePng(const std::string& path, int width, int height, int bytesPerPixel, const std::uint8_t* pixels)
{
	if (width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4))
		return false;
	std::FILE* file = OpenFile(path, "wb");
	if (!file)
		return false;
	const bool written = WriteRows(file, width, height, bytesPerPixel, pixels);
	const bool closed = std::fclose(file) == 0;
	return written && closed;
}
