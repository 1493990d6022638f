#include "platform/PngFile.h"

#include "platform/FileSystem.h"

#include <png.h>
#include <csetjmp>
#include <vector>

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
	// The pictures written are flat colour (glyph sheets, screenshots): without row filters they come out
	// smaller and read back twice as fast, which the glyph sheets do at every start.
	png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
	// Long runs of one colour compress nearly as well at zlib's fastest level, at a fraction of the time
	// that a first start spends writing its glyph sheets.
	png_set_compression_level(png, 1);
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

// Asks libpng for 8-bit RGB whatever the file holds.
void RequestRgb8(png_structp png, png_infop info)
{
	const png_byte type = png_get_color_type(png, info);
	if (type == PNG_COLOR_TYPE_PALETTE)
		png_set_palette_to_rgb(png);
	if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA) {
		png_set_expand_gray_1_2_4_to_8(png);
		png_set_gray_to_rgb(png);
	}
	if (png_get_bit_depth(png, info) == 16)
		png_set_strip_16(png);
	if (type & PNG_COLOR_MASK_ALPHA)
		png_set_strip_alpha(png);
	png_read_update_info(png, info);
}

// Like WriteRows, keeps libpng's long jump away from objects with destructors: the row
// buffer and the callbacks belong to the caller.
bool ReadRows(std::FILE* file, const TPngSizeCheck& checkSize, const TPngRowSink& takeRow,
	std::vector<std::uint8_t>& rows)
{
	png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
	if (!png)
		return false;
	png_infop info = png_create_info_struct(png);
	if (!info || setjmp(png_jmpbuf(png))) {
		png_destroy_read_struct(&png, &info, nullptr);
		return false;
	}
	png_init_io(png, file);
	// Every chunk's CRC is still checked, which covers the compressed data; the second checksum over the
	// inflated bytes costs a tenth of the reading time and adds nothing to it.
	png_set_option(png, PNG_IGNORE_ADLER32, PNG_OPTION_ON);
	png_read_info(png, info);
	const int width = int(png_get_image_width(png, info));
	const int height = int(png_get_image_height(png, info));
	if (!checkSize(width, height)) {
		png_destroy_read_struct(&png, &info, nullptr);
		return false;
	}
	// An interlaced file fills each row over several passes, so it is held whole; any other is read a row at a time.
	const int passes = png_set_interlace_handling(png);
	RequestRgb8(png, info);
	const std::size_t stride = std::size_t(width) * 3;
	rows.resize(stride * (passes > 1 ? height : 1));
	for (int pass = 0; pass < passes; ++pass)
		for (int y = 0; y < height; ++y) {
			std::uint8_t* row = &rows[passes > 1 ? y * stride : 0];
			png_read_row(png, row, nullptr);
			if (pass == passes - 1)
				takeRow(y, row);
		}
	png_read_end(png, nullptr);
	png_destroy_read_struct(&png, &info, nullptr);
	return true;
}
}

bool ReadPngRows(const std::string& path, const TPngSizeCheck& checkSize, const TPngRowSink& takeRow)
{
	std::FILE* file = OpenRegularFile(path);
	if (!file)
		return false;
	std::vector<std::uint8_t> rows;
	const bool read = ReadRows(file, checkSize, takeRow, rows);
	std::fclose(file);
	return read;
}

bool WritePng(const std::string& path, int width, int height, int bytesPerPixel, const std::uint8_t* pixels)
{
	if (width <= 0 || height <= 0 || (bytesPerPixel != 3 && bytesPerPixel != 4))
		return false;
	std::FILE* file = CreateNewFile(path);
	if (!file)
		return false;
	const bool written = WriteRows(file, width, height, bytesPerPixel, pixels);
	if (std::fclose(file) == 0 && written)
		return true;
	// A picture cut short (a full disk) is removed: it would read as damaged.
	RemoveFile(path);
	return false;
}
