#include "media/MorvalethImage.h"

#include "app/Logger.h"
#include "gui/GlQuad.h"
#include "gui/GuiContext.h"
#include "media/PowerMapImage.h"
#include "platform/FileSystem.h"

#include <SDL/SDL.h>
#include <SDL/SDL_image.h>
#include <GL/gl.h>
#include <guichan/color.hpp>
#include <guichan/exception.hpp>
#include <guichan/graphics.hpp>
#include <guichan/opengl/openglimage.hpp>

#include <algorithm>
#include <cstdint>

namespace
{
// Side of a map cell, a flag frame and the chip part of an enlarged chip.
const int CellSize = 32;
// Side of a chip enlarged in place of a missing face.
const int EnlargedChipSize = 96;
// Glyph size of area names.
const int AreaNameGlyphSize = 16;
const TPackedColor AreaNameColor = 0xFFFFFFFF;
const TPackedColor AreaNameOutlineColor = 0xFF000000;
// The top-left pixel of the power map: it holds the border colour in the picture, black in the result.
const TPackedColor PowerMapCornerColor = 0xFF000000;

const char* const CommandImageFiles[COMMAND_COUNT] = {
	"command_wait.png", "command_move.png", "command_attack.png", "command_magic.png", "command_special.png",
	"command_charge.png", "command_redo.png", "command_redo2.png", "command_runaway.png"};
const char* const StatusChipFiles[STATUS_CHIP_COUNT] = {"chip_defense.png", "chip_departure.png"};

// The image at index, or null when the index lies outside the list.
const gcn::Image* ImageAt(const std::vector<gcn::Image*>& list, int index)
{
	return index >= 0 && std::size_t(index) < list.size() ? list[index] : nullptr;
}

// Whole cells of a sheet cut into rows of cellsPerRow.
int SheetCells(const gcn::Image* sheet, int cellsPerRow)
{
	return sheet ? cellsPerRow * (sheet->getHeight() / CellSize) : 0;
}

// n modulo count, never negative, so that frame numbers counting down still cycle.
int WrapIndex(int n, int count)
{
	const int remainder = n % count;
	return remainder < 0 ? remainder + count : remainder;
}

// A side stretched by a scale of which 256 is the image's own size.
int ScaleSide(int side, int scale)
{
	return static_cast<int>((std::int64_t(side) * scale) >> 8);
}

// Draws an image at its own size; nothing for null.
void DrawWhole(gcn::Graphics* graphics, int x, int y, const gcn::Image* image)
{
	if (image)
		graphics->drawImage(image, x, y);
}

// Draws a whole image stretched by the scales; nothing for null.
void DrawWholeScaled(gcn::Graphics* graphics, int x, int y, const gcn::Image* image, int scaleX, int scaleY)
{
	if (!image)
		return;
	const int width = image->getWidth();
	const int height = image->getHeight();
	DrawImageScaled(graphics, image, 0, 0, width, height, x, y, ScaleSide(width, scaleX), ScaleSide(height, scaleY));
}

// Uploads packed pixels into a new texture image; null, with the toolkit's message, when it fails.
gcn::Image* NewTextureImage(const TPackedColor* pixels, int width, int height, std::string& error)
{
	try {
		GlQuadBatch().NoteNewTexture();
		return new gcn::OpenGLImage(pixels, width, height, true);
	} catch (const gcn::Exception& exception) {
		error = exception.getMessage();
		return nullptr;
	}
}

// Deletes an image whose texture quads drawn earlier in the frame may still wait in the quad batch.
void DeleteTexture(gcn::Image* image)
{
	if (image)
		GlQuadBatch().Flush();
	delete image;
}

/// The picture of the file; null when it cannot be read, or is no regular file, whose read would wait for good.
SDL_Surface* LoadPicture(const std::string& path)
{
	return IsRegularFile(path) ? IMG_Load(NativePath(path).c_str()) : nullptr;
}
}

TMorvalethImage::TMorvalethImage()
	: m_FieldMapTilesPerRow(0), m_FieldMapWidth(0), m_FieldMapHeight(0), m_MapChipImage(nullptr),
	  m_MapObjImage(nullptr), m_MapChipsPerRow(0), m_MapObjsPerRow(0), m_CommandImages(), m_StatusChips(), m_PowerMapSurface(nullptr), m_PowerMapImage(nullptr),
	  m_PowerMapWidth(0), m_PowerMapHeight(0), m_PowerMapBoundaryColor(0)
{
}

TMorvalethImage::~TMorvalethImage()
{
	for (gcn::Image* image : m_OwnedImages)
		DeleteTexture(image);
	if (m_PowerMapSurface)
		SDL_FreeSurface(m_PowerMapSurface);
	DeleteTexture(m_PowerMapImage);
}

gcn::Image* TMorvalethImage::LoadMyImage(const std::string& path)
{
	gcn::Image* image = nullptr;
	try {
		// A pipe or a device under a picture's name would hold the load for good.
		if (IsRegularFile(path)) {
			GlQuadBatch().NoteNewTexture();
			image = gcn::Image::load(NativePath(path), true);
		}
	} catch (const gcn::Exception&) {
	}
	if (!image) {
		LOG_ERROR("Failed to load image %s", path);
		return nullptr;
	}
	m_OwnedImages.push_back(image);
	return image;
}

int TMorvalethImage::LoadIntoList(std::vector<gcn::Image*>& list, const std::string& path)
{
	gcn::Image* image = LoadMyImage(path);
	if (!image)
		return -1;
	list.push_back(image);
	return int(list.size()) - 1;
}

int TMorvalethImage::LoadFlagImage(const std::string& folder, const std::string& name)
{
	return LoadIntoList(m_FlagImages, folder + "/" + name);
}

int TMorvalethImage::LoadFaceImage(const std::string& folder, const std::string& name)
{
	return LoadIntoList(m_FaceImages, folder + "/" + name);
}

int TMorvalethImage::LoadCharaImage(const std::string& folder, const std::string& name)
{
	return LoadIntoList(m_CharaImages, folder + "/" + name);
}

int TMorvalethImage::LoadEffectImage(const std::string& path)
{
	return LoadIntoList(m_EffectImages, path);
}

bool TMorvalethImage::LoadSheet(const std::string& path, gcn::Image*& sheet, int& cellsPerRow)
{
	sheet = LoadMyImage(path);
	if (!sheet)
		return false;
	cellsPerRow = sheet->getWidth() / CellSize;
	return true;
}

bool TMorvalethImage::LoadMapChipImage(const std::string& path)
{
	return LoadSheet(path, m_MapChipImage, m_MapChipsPerRow);
}

bool TMorvalethImage::LoadMapObjImage(const std::string& path)
{
	return LoadSheet(path, m_MapObjImage, m_MapObjsPerRow);
}

bool TMorvalethImage::LoadCommandImages()
{
	for (int command = 0; command < COMMAND_COUNT; ++command) {
		const std::string name = CommandImageFiles[command];
		gcn::Image* image = LoadMyImage(m_ScenarioDir + "/System/" + name);
		if (!image)
			image = LoadMyImage(m_SystemDir + "/" + name);
		m_CommandImages[command] = image;
		if (!image)
			return false;
	}
	return true;
}

bool TMorvalethImage::LoadStatusChips()
{
	for (int chip = 0; chip < STATUS_CHIP_COUNT; ++chip) {
		m_StatusChips[chip] = LoadMyImage(m_ScenarioDir + "/System/" + StatusChipFiles[chip]);
		if (!m_StatusChips[chip])
			return false;
	}
	return true;
}

int TMorvalethImage::AddAreaNameImage(const std::string& name)
{
	TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(AreaNameGlyphSize);
	if (!drawer)
		return -1;
	gcn::Image* image = drawer->MakeTextImage(name.c_str(), 2, 1, AreaNameColor, 1, 1, AreaNameOutlineColor);
	if (!image)
		return -1;
	m_OwnedImages.push_back(image);
	m_AreaNameImages.push_back(image);
	return int(m_AreaNameImages.size()) - 1;
}

void TMorvalethImage::ClearAreaNameImages()
{
	for (gcn::Image* image : m_AreaNameImages)
		RemoveMyImage(image);
	m_AreaNameImages.clear();
}

int TMorvalethImage::AddMyImage(const std::string& path)
{
	// A picture is known by its file, not by the spelling of its path ("a.png", "./a.png", "x/../a.png", a
	// link), so that a script loading it under ever new names still has one texture of it.
	TFileIdentity file(0, 0);
	const bool identified = RegularFileIdentity(path, file);
	const std::map<TFileIdentity, int>::const_iterator found = m_MyImageIndex.find(file);
	if (identified && found != m_MyImageIndex.end())
		return found->second;
	const int index = LoadIntoList(m_MyImages, path);
	if (identified && index >= 0)
		m_MyImageIndex[file] = index;
	return index;
}

void TMorvalethImage::RemoveMyImage(gcn::Image* image)
{
	const std::vector<gcn::Image*>::iterator found = std::find(m_OwnedImages.begin(), m_OwnedImages.end(), image);
	if (found == m_OwnedImages.end()) {
		LOG_ERROR("存在しない画像を削除しようとしました。");
		return;
	}
	DeleteTexture(image);
	m_OwnedImages.erase(found);
}

void TMorvalethImage::DrawFlag(gcn::Graphics* graphics, int x, int y, int flag, int frame) const
{
	const gcn::Image* image = ImageAt(m_FlagImages, flag);
	if (!image)
		return;
	const int frames = image->getWidth() / CellSize;
	if (frames < 1)
		return;
	graphics->drawImage(image, WrapIndex(frame, frames) * CellSize, 0, x, y, CellSize, image->getHeight());
}

void TMorvalethImage::DrawFace(gcn::Graphics* graphics, int x, int y, int face) const
{
	DrawWhole(graphics, x, y, ImageAt(m_FaceImages, face));
}

void TMorvalethImage::DrawChara(gcn::Graphics* graphics, int x, int y, int chara) const
{
	DrawWhole(graphics, x, y, ImageAt(m_CharaImages, chara));
}

void TMorvalethImage::DrawMyImage(gcn::Graphics* graphics, int x, int y, int image) const
{
	DrawWhole(graphics, x, y, ImageAt(m_MyImages, image));
}

void TMorvalethImage::DrawAreaName(gcn::Graphics* graphics, int x, int y, int areaName) const
{
	DrawWhole(graphics, x, y, ImageAt(m_AreaNameImages, areaName));
}

void TMorvalethImage::DrawFaceScaled(gcn::Graphics* graphics, int x, int y, int face, int scaleX, int scaleY) const
{
	DrawWholeScaled(graphics, x, y, ImageAt(m_FaceImages, face), scaleX, scaleY);
}

void TMorvalethImage::DrawCharaScaled(gcn::Graphics* graphics, int x, int y, int chara, int scaleX,
	int scaleY) const
{
	DrawWholeScaled(graphics, x, y, ImageAt(m_CharaImages, chara), scaleX, scaleY);
}

void TMorvalethImage::DrawMyImageScaled(gcn::Graphics* graphics, int x, int y, int image, int scaleX,
	int scaleY) const
{
	DrawWholeScaled(graphics, x, y, ImageAt(m_MyImages, image), scaleX, scaleY);
}

void TMorvalethImage::DrawFaceOrChara(gcn::Graphics* graphics, int x, int y, int face, int chara) const
{
	if (face != -1) {
		DrawFace(graphics, x, y, face);
		return;
	}
	const gcn::Image* chip = ImageAt(m_CharaImages, chara);
	if (chip)
		DrawImageScaled(graphics, chip, 0, 0, CellSize, CellSize, x, y, EnlargedChipSize, EnlargedChipSize);
}

void TMorvalethImage::DrawEffect(gcn::Graphics* graphics, int x, int y, int effect, int frameWidth,
	int frameHeight, int frame, int row) const
{
	const gcn::Image* image = ImageAt(m_EffectImages, effect);
	if (!image) {
		g_Logger.Error("effect image out of range");
		return;
	}
	const int perRow = frameWidth > 0 && frameHeight > 0 ? image->getWidth() / frameWidth : 0;
	if (perRow == 0) {
		g_Logger.Error("effect image invalid size for animation");
		return;
	}
	// A row that starts below the sheet has nothing to show.
	if (row < 0 || row >= (image->getHeight() + frameHeight - 1) / frameHeight)
		return;
	graphics->drawImage(image, WrapIndex(frame, perRow) * frameWidth, row * frameHeight, x, y, frameWidth,
		frameHeight);
}

void TMorvalethImage::DrawSheetCell(gcn::Graphics* graphics, int x, int y, const gcn::Image* sheet,
	int cellsPerRow, int cell, const char* nullText, const char* rangeText) const
{
	if (!sheet) {
		g_Logger.Warning(nullText);
		return;
	}
	// Every column of a row lies inside the sheet, so only the row can run beyond it.
	if (cell < 0 || cellsPerRow < 1 || cell / cellsPerRow >= sheet->getHeight() / CellSize) {
		g_Logger.Warning(FormatText(rangeText, cell));
		return;
	}
	graphics->drawImage(sheet, (cell % cellsPerRow) * CellSize, (cell / cellsPerRow) * CellSize, x, y, CellSize,
		CellSize);
}

void TMorvalethImage::DrawMapChip(gcn::Graphics* graphics, int x, int y, int chip) const
{
	DrawSheetCell(graphics, x, y, m_MapChipImage, m_MapChipsPerRow, chip, "map chip image is null",
		"map chip index out of range %d");
}

void TMorvalethImage::DrawMapObj(gcn::Graphics* graphics, int x, int y, int object) const
{
	DrawSheetCell(graphics, x, y, m_MapObjImage, m_MapObjsPerRow, object, "map obj image is null",
		"map obj index out of range %d");
}

void TMorvalethImage::DrawStatusChip(gcn::Graphics* graphics, int x, int y, int chip) const
{
	if (chip >= 0 && chip < STATUS_CHIP_COUNT)
		DrawWhole(graphics, x, y, m_StatusChips[chip]);
}

int TMorvalethImage::GetMapChipCells() const
{
	return SheetCells(m_MapChipImage, m_MapChipsPerRow);
}

int TMorvalethImage::GetMapObjCells() const
{
	return SheetCells(m_MapObjImage, m_MapObjsPerRow);
}

gcn::Image* TMorvalethImage::GetCommandImage(int command) const
{
	return command >= 0 && command < COMMAND_COUNT ? m_CommandImages[command] : nullptr;
}

void TMorvalethImage::GetEffectImageSize(int effect, int& width, int& height) const
{
	const gcn::Image* image = ImageAt(m_EffectImages, effect);
	width = image ? image->getWidth() : 0;
	height = image ? image->getHeight() : 0;
}

void TMorvalethImage::GetMyImageSize(int image, int& width, int& height) const
{
	const gcn::Image* found = ImageAt(m_MyImages, image);
	width = found ? found->getWidth() : 0;
	height = found ? found->getHeight() : 0;
}

bool TMorvalethImage::LoadPowerMap(const std::string& path)
{
	if (m_PowerMapSurface)
		SDL_FreeSurface(m_PowerMapSurface);
	m_PowerMapSurface = LoadPicture(path);
	if (!m_PowerMapSurface) {
		LOG_ERROR("failed to load %s", path);
		return false;
	}
	const int bytesPerPixel = m_PowerMapSurface->format->BytesPerPixel;
	if (!IsReadablePixelSize(bytesPerPixel)) {
		LOG_ERROR("unknown pixel format (BytesPerPixel = %d)", bytesPerPixel);
		return false;
	}
	return true;
}

void TMorvalethImage::InitPowerMap()
{
	DeleteTexture(m_PowerMapImage);
	m_PowerMapImage = nullptr;
	// Nothing of an earlier map may show through when the picture cannot be read.
	m_PowerMapPixels.clear();
	m_PowerMapWidth = 0;
	m_PowerMapHeight = 0;
	if (!m_PowerMapSurface) {
		LOG_ERROR("power map is not loaded");
		return;
	}
	const int width = m_PowerMapSurface->w;
	const int height = m_PowerMapSurface->h;
	std::vector<TPackedColor> pixels(std::size_t(width) * height, 0);
	if (!ReadSurfacePixels(m_PowerMapSurface, 0, 0, width, height, pixels.data(), width)) {
		LOG_ERROR("unknown pixel format (BytesPerPixel = %d)", int(m_PowerMapSurface->format->BytesPerPixel));
		return;
	}
	if (!pixels.empty()) {
		m_PowerMapBoundaryColor = pixels[0];
		pixels[0] = PowerMapCornerColor;
	}
	m_PowerMapPixels.swap(pixels);
	m_PowerMapWidth = width;
	m_PowerMapHeight = height;
}

void TMorvalethImage::PaintPowerMap(TPackedColor color, const std::vector<point_t>& seeds)
{
	for (const point_t& seed : seeds)
		if (seed.x >= 0 && seed.x < m_PowerMapWidth && seed.y >= 0 && seed.y < m_PowerMapHeight)
			FloodFill(m_PowerMapPixels.data(), m_PowerMapWidth, m_PowerMapHeight, seed.x, seed.y, color,
				m_PowerMapBoundaryColor);
}

gcn::Image* TMorvalethImage::GetPowerMap()
{
	// An image asked for twice without a reset replaces the first, which would otherwise leak.
	DeleteTexture(m_PowerMapImage);
	m_PowerMapImage = nullptr;
	if (m_PowerMapPixels.empty())
		return nullptr;
	std::string error;
	m_PowerMapImage = NewTextureImage(m_PowerMapPixels.data(), m_PowerMapWidth, m_PowerMapHeight, error);
	if (!m_PowerMapImage)
		LOG_ERROR("failed to create gcn::OpenGLImage exception=%s", error);
	return m_PowerMapImage;
}

bool TMorvalethImage::LoadFieldMapImage(const std::string& path)
{
	RemoveFieldMapTiles();
	SDL_Surface* picture = LoadPicture(path);
	if (!picture)
		return false;
	// Tiles of a picture that cannot be read would show nothing but black.
	if (!IsReadablePixelSize(picture->format->BytesPerPixel)) {
		LOG_ERROR("unknown pixel format (BytesPerPixel = %d)", int(picture->format->BytesPerPixel));
		SDL_FreeSurface(picture);
		return false;
	}
	GLint maxTextureSize = 0;
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
	const TTileLayout layout = FieldMapTileLayout(picture->w, picture->h, maxTextureSize);
	const bool complete = CutFieldMapTiles(picture, layout);
	const int width = picture->w;
	const int height = picture->h;
	SDL_FreeSurface(picture);
	if (!complete) {
		for (gcn::Image* tile : m_FieldMapTiles)
			DeleteTexture(tile);
		m_FieldMapTiles.clear();
		return false;
	}
	m_OwnedImages.insert(m_OwnedImages.end(), m_FieldMapTiles.begin(), m_FieldMapTiles.end());
	m_FieldMapTilesPerRow = layout.across;
	m_FieldMapWidth = width;
	m_FieldMapHeight = height;
	return true;
}

void TMorvalethImage::RemoveFieldMapTiles()
{
	for (gcn::Image* tile : m_FieldMapTiles)
		RemoveMyImage(tile);
	m_FieldMapTiles.clear();
	m_FieldMapWidth = 0;
	m_FieldMapHeight = 0;
}

bool TMorvalethImage::CutFieldMapTiles(SDL_Surface* picture, const TTileLayout& layout)
{
	// One buffer serves every tile; tiles at the right and bottom edges are cleared first so that the
	// part beyond the picture is transparent.
	std::vector<TPackedColor> buffer(std::size_t(layout.tileWidth) * layout.tileHeight, 0);
	m_FieldMapTiles.reserve(std::size_t(layout.across) * layout.down);
	for (int tileY = 0; tileY < layout.down; ++tileY) {
		const int y0 = tileY * layout.tileHeight;
		const int rows = std::min(picture->h - y0, layout.tileHeight);
		for (int tileX = 0; tileX < layout.across; ++tileX) {
			const int x0 = tileX * layout.tileWidth;
			const int columns = std::min(picture->w - x0, layout.tileWidth);
			if (columns < layout.tileWidth || rows < layout.tileHeight)
				std::fill(buffer.begin(), buffer.end(), 0);
			BltSDLToOpenGL(picture, buffer.data(), x0, y0, columns, rows, layout.tileWidth);
			std::string error;
			gcn::Image* tile = NewTextureImage(buffer.data(), layout.tileWidth, layout.tileHeight, error);
			if (!tile) {
				LOG_ERROR("failed to create gcn::OpenGLImage");
				return false;
			}
			m_FieldMapTiles.push_back(tile);
		}
	}
	return true;
}

void TMorvalethImage::BltSDLToOpenGL(SDL_Surface* surface, TPackedColor* dst, int x0, int y0, int columns,
	int rows, int stride)
{
	if (!ReadSurfacePixels(surface, x0, y0, columns, rows, dst, stride))
		LOG_ERROR("unknown pixel format (BytesPerPixel = %d)", int(surface->format->BytesPerPixel));
}

void DrawImageScaled(gcn::Graphics* graphics, const gcn::Image* image, int srcX, int srcY, int srcWidth,
	int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight)
{
	const gcn::OpenGLImage* texture = dynamic_cast<const gcn::OpenGLImage*>(image);
	if (!texture)
		return;
	// Blending stays as the graphics left it: on only for a translucent current colour.
	TQuadStyle style;
	style.texture = texture->getTextureHandle();
	style.blend = GlQuadBatch().Blend();
	// The image takes nothing of the current colour.
	AddTexturedQuad(style, texture, graphics->getCurrentClipArea(), srcX, srcY, srcWidth, srcHeight,
		dstX, dstY, dstWidth, dstHeight, IMAGE_COLOR);
	GlQuadBatch().SetBlend(false);
	FlushUnlessBatching(graphics);
}

gcn::Color ColorFromPacked(TPackedColor packed)
{
	return gcn::Color(packed & 255, (packed >> 8) & 255, (packed >> 16) & 255, packed >> 24);
}
