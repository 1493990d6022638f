#ifndef MORVALETH_MEDIA_MORVALETHIMAGE_H
#define MORVALETH_MEDIA_MORVALETHIMAGE_H

#include "app/HexGrid.h"
#include "media/CharDrawer.h"
#include "platform/FileSystem.h"

#include <guichan/color.hpp>

#include <map>
#include <string>
#include <vector>

struct SDL_Surface;
struct TTileLayout;

namespace gcn
{
class Graphics;
class Image;
}

/// Battle command images, by command number.
enum { COMMAND_WAIT = 0, COMMAND_MOVE, COMMAND_ATTACK, COMMAND_MAGIC, COMMAND_SPECIAL, COMMAND_CHARGE,
	COMMAND_REDO, COMMAND_REDO2, COMMAND_RUNAWAY, COMMAND_COUNT };
/// Status chips: a character defending its area, a character departing.
enum { STATUS_CHIP_DEFENSE = 0, STATUS_CHIP_DEPARTURE, STATUS_CHIP_COUNT };

/// The image store of one game: every picture the game draws, as OpenGL textures handed out by index.
class TMorvalethImage
{
public:
	/// Empty lists, null pointers, zero counts and empty folders.
	TMorvalethImage();
	/// Deletes every image the store owns and the power map.
	~TMorvalethImage();
	TMorvalethImage(const TMorvalethImage&) = delete;
	TMorvalethImage& operator=(const TMorvalethImage&) = delete;

	/// Loads one file into an owned image; null, with an Error logged, when it cannot be loaded.
	gcn::Image* LoadMyImage(const std::string& path);
	/// Loads folder + "/" + name as a flag (a strip of 32-pixel frames); its index, or -1.
	int LoadFlagImage(const std::string& folder, const std::string& name);
	/// Loads folder + "/" + name as a face; its index, or -1.
	int LoadFaceImage(const std::string& folder, const std::string& name);
	/// Loads folder + "/" + name as a character chip; its index, or -1.
	int LoadCharaImage(const std::string& folder, const std::string& name);
	/// Loads an effect animation sheet; its index, or -1.
	int LoadEffectImage(const std::string& path);
	/// Loads the terrain chip sheet (32 x 32 cells); false when it cannot be loaded.
	bool LoadMapChipImage(const std::string& path);
	/// Loads the map-object chip sheet (32 x 32 cells); false when it cannot be loaded.
	bool LoadMapObjImage(const std::string& path);
	/// Loads the nine battle command images from the scenario's "System" folder or the system folder.
	bool LoadCommandImages();
	/// Loads the two status chips from the scenario's "System" folder.
	bool LoadStatusChips();
	/// Renders an area name (Shift-JIS) white with a black outline; its index, or -1.
	int AddAreaNameImage(const std::string& name);
	/// Deletes every area-name image.
	void ClearAreaNameImages();
	/// The script image index of the file a path names, loading it on first use; -1 when it cannot be loaded.
	int AddMyImage(const std::string& path);
	/// Deletes an owned image; an image the store does not own is reported and left alone.
	void RemoveMyImage(gcn::Image* image);

	/// One 32-pixel-wide frame of a flag, the frame number wrapping around.
	void DrawFlag(gcn::Graphics* graphics, int x, int y, int flag, int frame) const;
	/// A whole face.
	void DrawFace(gcn::Graphics* graphics, int x, int y, int face) const;
	/// A whole character chip.
	void DrawChara(gcn::Graphics* graphics, int x, int y, int chara) const;
	/// A whole script image.
	void DrawMyImage(gcn::Graphics* graphics, int x, int y, int image) const;
	/// A whole area-name image.
	void DrawAreaName(gcn::Graphics* graphics, int x, int y, int areaName) const;
	/// A face stretched by the scales (256 = own size).
	void DrawFaceScaled(gcn::Graphics* graphics, int x, int y, int face, int scaleX, int scaleY) const;
	/// A character chip stretched by the scales (256 = own size).
	void DrawCharaScaled(gcn::Graphics* graphics, int x, int y, int chara, int scaleX, int scaleY) const;
	/// A script image stretched by the scales (256 = own size).
	void DrawMyImageScaled(gcn::Graphics* graphics, int x, int y, int image, int scaleX, int scaleY) const;
	/// The face, or for face -1 the chip's top-left 32 x 32 pixels enlarged to 96 x 96.
	void DrawFaceOrChara(gcn::Graphics* graphics, int x, int y, int face, int chara) const;
	/// One frame of an effect sheet: frame wraps around within the row, row counts from the top.
	void DrawEffect(gcn::Graphics* graphics, int x, int y, int effect, int frameWidth, int frameHeight, int frame,
		int row) const;
	/// One 32 x 32 cell of the terrain sheet.
	void DrawMapChip(gcn::Graphics* graphics, int x, int y, int chip) const;
	/// One 32 x 32 cell of the map-object sheet.
	void DrawMapObj(gcn::Graphics* graphics, int x, int y, int object) const;
	/// A status chip (STATUS_CHIP_*).
	void DrawStatusChip(gcn::Graphics* graphics, int x, int y, int chip) const;
	/// Whole 32 x 32 cells of the terrain sheet; 0 without one.
	int GetMapChipCells() const;
	/// Whole 32 x 32 cells of the map-object sheet; 0 without one.
	int GetMapObjCells() const;
	/// The image of a battle command (COMMAND_*), owned by the store; null for another number.
	gcn::Image* GetCommandImage(int command) const;
	/// Size of an effect sheet; 0 x 0 for a bad index.
	void GetEffectImageSize(int effect, int& width, int& height) const;
	/// Size of a script image; 0 x 0 for a bad index.
	void GetMyImageSize(int image, int& width, int& height) const;

	/// Loads the power-map picture; false, with an Error logged, when it is missing or unreadable.
	bool LoadPowerMap(const std::string& path);
	/// Drops the last power-map image and resets the working pixels from the picture.
	void InitPowerMap();
	/// Flood-fills the working pixels with the colour from every seed inside the map.
	void PaintPowerMap(TPackedColor color, const std::vector<point_t>& seeds);
	/// A new image of the working pixels, owned by the store until the next InitPowerMap or GetPowerMap; or null.
	gcn::Image* GetPowerMap();
	/// Cuts a picture into field-map tiles; false, with no tiles, when it cannot be loaded.
	bool LoadFieldMapImage(const std::string& path);
	/// Converts a rectangle of the surface into packed words at dst, stride words a row.
	static void BltSDLToOpenGL(SDL_Surface* surface, TPackedColor* dst, int x0, int y0, int columns, int rows,
		int stride);

	/// The field-map tiles row by row, left to right (owned by the store).
	std::vector<gcn::Image*> m_FieldMapTiles;
	/// Tiles in one row of m_FieldMapTiles.
	int m_FieldMapTilesPerRow;
	/// Size of the picture the field-map tiles were cut from; 0 x 0 without tiles.
	int m_FieldMapWidth;
	int m_FieldMapHeight;
	/// Folder of the running scenario; command images and status chips come from its "System" folder.
	std::string m_ScenarioDir;
	/// Folder the command images fall back to (data root + "/System").
	std::string m_SystemDir;

private:
	/// Loads folder + "/" + name onto the end of a list; the new index, or -1.
	int LoadIntoList(std::vector<gcn::Image*>& list, const std::string& path);
	/// Loads a chip sheet and counts its cells per row; false when it cannot be loaded.
	bool LoadSheet(const std::string& path, gcn::Image*& sheet, int& cellsPerRow);
	/// Draws cell number of a sheet, reporting a missing sheet or a cell beyond it with the given texts.
	void DrawSheetCell(gcn::Graphics* graphics, int x, int y, const gcn::Image* sheet, int cellsPerRow, int cell,
		const char* nullText, const char* rangeText) const;
	/// Deletes the tiles, empties their list.
	void RemoveFieldMapTiles();
	/// Cuts the picture into tiles of the layout; false when a tile cannot be made (the tiles made are kept).
	bool CutFieldMapTiles(SDL_Surface* picture, const TTileLayout& layout);

	/// Flags by flag index.
	std::vector<gcn::Image*> m_FlagImages;
	/// Faces by face index.
	std::vector<gcn::Image*> m_FaceImages;
	/// Character chips by chip index.
	std::vector<gcn::Image*> m_CharaImages;
	/// Effect animation sheets by effect index.
	std::vector<gcn::Image*> m_EffectImages;
	/// Rendered area names by area-name index.
	std::vector<gcn::Image*> m_AreaNameImages;
	/// Script images by script image index.
	std::vector<gcn::Image*> m_MyImages;
	/// Script image index of every file loaded, by its identity.
	std::map<TFileIdentity, int> m_MyImageIndex;
	/// Terrain chip sheet; null until loaded.
	gcn::Image* m_MapChipImage;
	/// Map-object chip sheet; null until loaded.
	gcn::Image* m_MapObjImage;
	/// Cells in one row of the terrain sheet.
	int m_MapChipsPerRow;
	/// Cells in one row of the map-object sheet.
	int m_MapObjsPerRow;
	/// Battle command images by command number.
	gcn::Image* m_CommandImages[COMMAND_COUNT];
	/// Status chips by STATUS_CHIP_*.
	gcn::Image* m_StatusChips[STATUS_CHIP_COUNT];
	/// The power-map picture as loaded (owned).
	SDL_Surface* m_PowerMapSurface;
	/// The last image built from the power map (owned on its own).
	gcn::Image* m_PowerMapImage;
	/// Working pixels, row by row, m_PowerMapWidth x m_PowerMapHeight.
	std::vector<TPackedColor> m_PowerMapPixels;
	/// Width of the working pixels.
	int m_PowerMapWidth;
	/// Height of the working pixels.
	int m_PowerMapHeight;
	/// Colour of the border lines: the picture's top-left pixel.
	TPackedColor m_PowerMapBoundaryColor;
	/// Every image the store loaded or rendered, except the power-map image.
	std::vector<gcn::Image*> m_OwnedImages;
};

/// Draws part of an OpenGL image stretched into the destination as one textured quad; leaves blending off.
void DrawImageScaled(gcn::Graphics* graphics, const gcn::Image* image, int srcX, int srcY, int srcWidth,
	int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight);

/// The colour of a packed colour word.
gcn::Color ColorFromPacked(TPackedColor packed);

#endif
