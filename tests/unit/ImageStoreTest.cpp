#include "media/MorvalethImage.h"
#include "media/PowerMapImage.h"
#include "platform/FileSystem.h"

#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <guichan/exception.hpp>
#include <guichan/graphics.hpp>
#include <guichan/image.hpp>
#include <guichan/imageloader.hpp>
#include <sys/stat.h>
#include <unistd.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
// ---- Power-map pictures drawn as text: '#' border, '.' open land, 'r' and 'b' two masters' colours.

const TPackedColor Border = 0xFF0000FF;
const TPackedColor Land = 0xFF808080;
const TPackedColor Red = 0xFF0000C0;
const TPackedColor Blue = 0xFFC00000;

struct TPicture
{
	int width;
	int height;
	std::vector<TPackedColor> pixels;
};

TPicture Picture(const std::vector<std::string>& rows)
{
	TPicture picture = {int(rows[0].size()), int(rows.size()), {}};
	for (const std::string& row : rows)
		for (char c : row)
			picture.pixels.push_back(c == '#' ? Border : c == 'r' ? Red : c == 'b' ? Blue : Land);
	return picture;
}

std::vector<std::string> Rows(const TPicture& picture)
{
	std::vector<std::string> rows;
	for (int y = 0; y < picture.height; ++y) {
		std::string row;
		for (int x = 0; x < picture.width; ++x) {
			const TPackedColor p = picture.pixels[y * picture.width + x];
			row += p == Border ? '#' : p == Red ? 'r' : p == Blue ? 'b' : '.';
		}
		rows.push_back(row);
	}
	return rows;
}

std::vector<std::string> Fill(const std::vector<std::string>& rows, int x, int y, TPackedColor colour)
{
	TPicture picture = Picture(rows);
	FloodFill(picture.pixels.data(), picture.width, picture.height, x, y, colour, Border);
	return Rows(picture);
}

// ---- Images without a texture, loaded from files that hold "width height".

class TSizedImage : public gcn::Image
{
public:
	TSizedImage(int width, int height) : m_Width(width), m_Height(height) { ++s_Alive; }
	~TSizedImage() override { --s_Alive; }
	void free() override {}
	int getWidth() const override { return m_Width; }
	int getHeight() const override { return m_Height; }
	gcn::Color getPixel(int, int) override { return gcn::Color(); }
	void putPixel(int, int, const gcn::Color&) override {}
	void convertToDisplayFormat() override {}

	static int s_Alive;

private:
	int m_Width;
	int m_Height;
};

int TSizedImage::s_Alive = 0;

class TSizedImageLoader : public gcn::ImageLoader
{
public:
	gcn::Image* load(const std::string& filename, bool) override
	{
		std::FILE* file = std::fopen(filename.c_str(), "r");
		if (!file)
			throw GCN_EXCEPTION("Unable to load image file: " + filename);
		int width = 0;
		int height = 0;
		const int read = std::fscanf(file, "%d %d", &width, &height);
		std::fclose(file);
		if (read != 2)
			throw GCN_EXCEPTION("Not an image: " + filename);
		return new TSizedImage(width, height);
	}
};

// One drawImage call: the source rectangle and the destination.
struct TDraw
{
	const gcn::Image* image;
	int srcX;
	int srcY;
	int dstX;
	int dstY;
	int width;
	int height;

	bool operator==(const TDraw& other) const
	{
		return image == other.image && srcX == other.srcX && srcY == other.srcY && dstX == other.dstX
			&& dstY == other.dstY && width == other.width && height == other.height;
	}
};

std::ostream& operator<<(std::ostream& out, const TDraw& draw)
{
	return out << "src (" << draw.srcX << ", " << draw.srcY << ") at (" << draw.dstX << ", " << draw.dstY
		<< ") size " << draw.width << " x " << draw.height;
}

// Graphics that only record the images drawn.
class TRecordingGraphics : public gcn::Graphics
{
public:
	using gcn::Graphics::drawImage;
	void drawImage(const gcn::Image* image, int srcX, int srcY, int dstX, int dstY, int width, int height) override
	{
		m_Draws.push_back(TDraw{image, srcX, srcY, dstX, dstY, width, height});
	}
	void drawPoint(int, int) override {}
	void drawLine(int, int, int, int) override {}
	void drawRectangle(const gcn::Rectangle&) override {}
	void fillRectangle(const gcn::Rectangle&) override {}
	void setColor(const gcn::Color& color) override { m_Color = color; }
	const gcn::Color& getColor() const override { return m_Color; }

	// The source rectangle and destination of the only draw; a failure when there was not exactly one.
	TDraw Only() const
	{
		EXPECT_EQ(1u, m_Draws.size());
		return m_Draws.empty() ? TDraw{nullptr, -1, -1, -1, -1, -1, -1} : m_Draws.back();
	}

	std::vector<TDraw> m_Draws;

private:
	gcn::Color m_Color;
};

TDraw Source(int srcX, int srcY, int dstX, int dstY, int width, int height)
{
	return TDraw{nullptr, srcX, srcY, dstX, dstY, width, height};
}

// Compares everything but the image.
TDraw WithoutImage(TDraw draw)
{
	draw.image = nullptr;
	return draw;
}

class ImageStore : public ::testing::Test
{
protected:
	void SetUp() override { gcn::Image::setImageLoader(&m_Loader); }
	void TearDown() override { gcn::Image::setImageLoader(nullptr); }

	// Writes an "image" of the given size in the temporary folder; returns its path.
	std::string Image(const std::string& name, int width, int height)
	{
		WriteFile(m_Dir / name, std::to_string(width) + " " + std::to_string(height));
		return m_Dir / name;
	}

	TTempDir m_Dir;
	TSizedImageLoader m_Loader;
	TRecordingGraphics m_Graphics;
};
}

// ---- Flood fill

TEST(FloodFill, FillsTheSeedsRegionUpToBordersAndItsOwnColour)
{
	struct TCase
	{
		const char* name;
		std::vector<std::string> map;
		int x;
		int y;
		TPackedColor colour;
		std::vector<std::string> filled;
	};
	const std::vector<std::string> halves = {"...#...", "...#...", "...#..."};
	const std::vector<std::string> left = {"rrr#...", "rrr#...", "rrr#..."};
	const std::vector<std::string> right = {"...#rrr", "...#rrr", "...#rrr"};
	const std::vector<std::string> small = {"...", "..."};
	const TCase cases[] = {
		{"enclosed region", {"#######", "#...#..", "#.#.#..", "#...###", "#######"}, 1, 1, Red,
			{"#######", "#rrr#..", "#r#r#..", "#rrr###", "#######"}},
		{"top left corner", halves, 0, 0, Red, left},
		{"bottom right corner", halves, 6, 2, Red, right},
		{"bottom left corner", halves, 0, 2, Red, left},
		{"top right corner", halves, 6, 0, Red, right},
		{"seed on a border", halves, 3, 0, Red, halves},
		{"seed right of the picture", small, 3, 0, Red, small},
		{"seed above the picture", small, 0, -1, Red, small},
		{"seed left of the picture", small, -1, 1, Red, small},
		{"seed below the picture", small, 1, 2, Red, small},
		{"regions touching at a corner", {"..#####", "..#####", "##..###", "##..###"}, 0, 0, Red,
			{"rr#####", "rr#####", "##..###", "##..###"}},
		{"passages turning up and down",
			{"..#....#.", "#.#.##.#.", "#.#..#.#.", "#.##.#.#.", "#....#...", "######.##"}, 0, 0, Red,
			{"rr#rrrr#r", "#r#r##r#r", "#r#rr#r#r", "#r##r#r#r", "#rrrr#rrr", "######r##"}},
		// Another master's colour is open land to this fill; its own colour stops it like a border.
		{"over another colour", {"..#...", "rr#..."}, 0, 0, Blue, {"bb#...", "bb#..."}},
		{"on its own colour", {"..#...", "rr#..."}, 0, 1, Red, {"..#...", "rr#..."}},
	};
	for (const TCase& c : cases)
		EXPECT_EQ(c.filled, Fill(c.map, c.x, c.y, c.colour)) << c.name;
}

TEST(FloodFill, FollowsALongWindingPassageThroughALargePicture)
{
	const int width = 1000;
	const int height = 700;
	TPicture picture = {width, height, std::vector<TPackedColor>(std::size_t(width) * height, Land)};
	// Walls on every odd column, open alternately at the bottom and at the top: one passage snakes
	// through the whole picture.
	int walls = 0;
	for (int x = 1; x < width; x += 2)
		for (int y = (x / 2) % 2 == 0 ? 0 : 1; y < ((x / 2) % 2 == 0 ? height - 1 : height); ++y, ++walls)
			picture.pixels[std::size_t(y) * width + x] = Border;
	FloodFill(picture.pixels.data(), width, height, 0, 0, Red, Border);
	int filled = 0;
	for (TPackedColor p : picture.pixels)
		filled += p == Red;
	EXPECT_EQ(width * height - walls, filled);
}

// ---- Reading surfaces

namespace
{
// A surface of the depth and masks with the given colours (r, g, b) in its first row.
SDL_Surface* SurfaceWith(int bits, Uint32 rmask, Uint32 gmask, Uint32 bmask, Uint32 amask,
	const std::vector<SDL_Color>& colours)
{
	SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, int(colours.size()), 2, bits, rmask, gmask, bmask,
		amask);
	for (std::size_t x = 0; x < colours.size(); ++x) {
		const Uint32 value = amask ? SDL_MapRGBA(surface->format, colours[x].r, colours[x].g, colours[x].b, 0x40)
			: SDL_MapRGB(surface->format, colours[x].r, colours[x].g, colours[x].b);
		std::memcpy(static_cast<Uint8*>(surface->pixels) + x * surface->format->BytesPerPixel, &value,
			surface->format->BytesPerPixel);
	}
	return surface;
}

std::vector<TPackedColor> FirstRow(SDL_Surface* surface)
{
	std::vector<TPackedColor> row(surface->w, 0x12345678);
	EXPECT_TRUE(ReadSurfacePixels(surface, 0, 0, surface->w, 1, row.data(), surface->w));
	SDL_FreeSurface(surface);
	return row;
}

const std::vector<SDL_Color> SampleColours = {{0x11, 0x22, 0x33, 0}, {0xFF, 0x00, 0x80, 0}, {0, 0, 0, 0}};
const std::vector<TPackedColor> SampleWords = {0xFF332211, 0xFF8000FF, 0xFF000000};
}

TEST(SurfacePixels, TwentyFourAndThirtyTwoBitPicturesGiveTheSameOpaqueWords)
{
	EXPECT_EQ(SampleWords, FirstRow(SurfaceWith(24, 0x0000FF, 0x00FF00, 0xFF0000, 0, SampleColours)));
	EXPECT_EQ(SampleWords, FirstRow(SurfaceWith(24, 0xFF0000, 0x00FF00, 0x0000FF, 0, SampleColours)));
	EXPECT_EQ(SampleWords, FirstRow(SurfaceWith(32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000, SampleColours)));
	EXPECT_EQ(SampleWords, FirstRow(SurfaceWith(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, SampleColours)));
}

TEST(SurfacePixels, PaletteIndicesBeyondThePaletteLeaveTheirWord)
{
	SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 3, 1, 8, 0, 0, 0, 0);
	SDL_Color palette[2] = {{0x11, 0x22, 0x33, 0}, {0xFF, 0x00, 0x80, 0}};
	SDL_SetColors(surface, palette, 0, 2);
	surface->format->palette->ncolors = 2;
	const Uint8 indices[3] = {1, 0, 2};
	std::memcpy(surface->pixels, indices, 3);
	EXPECT_EQ(std::vector<TPackedColor>({0xFF8000FF, 0xFF332211, 0x12345678}), FirstRow(surface));
}

TEST(SurfacePixels, SixteenBitPicturesAreRefusedAndNothingIsWritten)
{
	SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 16, 0xF800, 0x07E0, 0x001F, 0);
	std::vector<TPackedColor> words(4, 7);
	EXPECT_FALSE(IsReadablePixelSize(surface->format->BytesPerPixel));
	EXPECT_FALSE(ReadSurfacePixels(surface, 0, 0, 2, 2, words.data(), 2));
	EXPECT_EQ(std::vector<TPackedColor>(4, 7), words);
	SDL_FreeSurface(surface);
}

TEST(SurfacePixels, ARectangleReachingBeyondTheSurfaceReadsOnlyItsInside)
{
	SDL_Surface* surface = SurfaceWith(24, 0x0000FF, 0x00FF00, 0xFF0000, 0, SampleColours);
	// A 4 x 3 window whose top-left corner lies at (1, 1) of a 3 x 2 surface: only two pixels are inside.
	std::vector<TPackedColor> words(12, 7);
	EXPECT_TRUE(ReadSurfacePixels(surface, 1, 1, 4, 3, words.data(), 4));
	EXPECT_EQ(std::vector<TPackedColor>({0xFF000000, 0xFF000000, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}), words);
	SDL_FreeSurface(surface);
}

// ---- Field-map tiles

TEST(FieldMapTiles, TileSidesArePowersOfTwoFromSixteenUpToHalfTheLargestTexture)
{
	// Picture width and height, largest texture, and the tiles' width, height, columns and rows.
	const int cases[][7] = {{20, 10, 16384, 32, 16, 1, 1}, {16, 3, 16384, 16, 16, 1, 1},
		{1000, 700, 1024, 512, 512, 2, 2}, {1000, 700, 2048, 1024, 1024, 1, 1}, {5000, 100, 4096, 2048, 128, 3, 1}};
	for (const auto& c : cases) {
		const TTileLayout layout = FieldMapTileLayout(c[0], c[1], c[2]);
		EXPECT_EQ((std::vector<int>{c[3], c[4], c[5], c[6]}),
			(std::vector<int>{layout.tileWidth, layout.tileHeight, layout.across, layout.down})) << c[0] << " x " << c[1];
	}
}

// ---- The store's indices and cells (images without textures)

TEST_F(ImageStore, ListLoadersHandOutPositionsAndNothingForAFileThatDoesNotLoad)
{
	TCapturedLog log;
	TMorvalethImage store;
	Image("flag_a.png", 96, 40);
	Image("flag_b.png", 64, 32);
	EXPECT_EQ(0, store.LoadFlagImage(m_Dir.Path(), "flag_a.png"));
	EXPECT_EQ(-1, store.LoadFlagImage(m_Dir.Path(), "missing.png"));
	EXPECT_EQ(1, store.LoadFlagImage(m_Dir.Path(), "flag_b.png"));
	EXPECT_EQ(1, log.CountLines("TMorvalethImage::LoadMyImage:"));
	EXPECT_EQ(1, log.CountLines("Failed to load image " + (m_Dir / "missing.png")));
	// A pipe under a picture's name is refused as a missing picture is, never waited on.
	ASSERT_EQ(0, ::mkfifo((m_Dir / "pipe.png").c_str(), 0600));
	EXPECT_EQ(-1, store.LoadFlagImage(m_Dir.Path(), "pipe.png"));
	EXPECT_FALSE(store.LoadPowerMap(m_Dir / "pipe.png"));
	EXPECT_FALSE(store.LoadFieldMapImage(m_Dir / "pipe.png"));
	EXPECT_EQ(1, log.CountLines("Failed to load image " + (m_Dir / "pipe.png")));
	EXPECT_EQ(0, store.LoadFaceImage(m_Dir.Path(), "flag_a.png"));
	EXPECT_EQ(0, store.LoadCharaImage(m_Dir.Path(), "flag_b.png"));
	EXPECT_EQ(0, store.LoadEffectImage(m_Dir / "flag_b.png"));
}

TEST_F(ImageStore, CellsAreCutFromTheirSheetsAndCallsThatCannotBeCutDrawNothing)
{
	TCapturedLog log;
	TMorvalethImage store;
	store.DrawMapChip(&m_Graphics, 0, 0, 0);
	store.DrawMapObj(&m_Graphics, 0, 0, 3);
	EXPECT_EQ(1, log.CountLines("map chip image is null"));
	EXPECT_EQ(1, log.CountLines("map obj image is null"));
	Image("flag.png", 96, 40);
	Image("narrow.png", 20, 40);
	ASSERT_EQ(0, store.LoadFlagImage(m_Dir.Path(), "flag.png"));
	ASSERT_EQ(1, store.LoadFlagImage(m_Dir.Path(), "narrow.png"));
	ASSERT_TRUE(store.LoadMapChipImage(Image("BMAPCHAR.png", 320, 64)));
	// A sheet narrower than one cell has every object out of range.
	ASSERT_TRUE(store.LoadMapObjImage(Image("BMAPOBJ.png", 16, 64)));
	ASSERT_EQ(0, store.LoadEffectImage(Image("effect.png", 192, 96)));
	TMorvalethImage* const s = &store;
	gcn::Graphics* const g = &m_Graphics;
	const TDraw nothing = Source(-1, -1, -1, -1, -1, -1);
	const char* const effectRange = "Error effect image out of range";
	const char* const effectSize = "Error effect image invalid size for animation";
	struct TCase
	{
		const char* what;
		std::function<void()> draw;
		TDraw source;
		const char* logged;
	};
	const TCase cases[] = {
		// Flag frames are 32 pixels wide, full height, and cycle; a flag narrower than a frame, or none (a master
		// without one has -1), draws nothing.
		{"flag frame 4", [=] { s->DrawFlag(g, 5, 6, 0, 4); }, Source(32, 0, 5, 6, 32, 40), nullptr},
		{"flag frame -1", [=] { s->DrawFlag(g, 5, 6, 0, -1); }, Source(64, 0, 5, 6, 32, 40), nullptr},
		{"narrow flag", [=] { s->DrawFlag(g, 0, 0, 1, 0); }, nothing, nullptr},
		{"no flag", [=] { s->DrawFlag(g, 0, 0, -1, 0); }, nothing, nullptr},
		{"flag past the list", [=] { s->DrawFlag(g, 0, 0, 2, 0); }, nothing, nullptr},
		// Map chips are cut row by row.
		{"chip 0", [=] { s->DrawMapChip(g, 1, 2, 0); }, Source(0, 0, 1, 2, 32, 32), nullptr},
		{"chip 9", [=] { s->DrawMapChip(g, 1, 2, 9); }, Source(288, 0, 1, 2, 32, 32), nullptr},
		{"chip 10", [=] { s->DrawMapChip(g, 1, 2, 10); }, Source(0, 32, 1, 2, 32, 32), nullptr},
		{"chip 19", [=] { s->DrawMapChip(g, 1, 2, 19); }, Source(288, 32, 1, 2, 32, 32), nullptr},
		{"chip 20", [=] { s->DrawMapChip(g, 1, 2, 20); }, nothing, "Warning map chip index out of range 20"},
		{"chip -1", [=] { s->DrawMapChip(g, 1, 2, -1); }, nothing, "Warning map chip index out of range -1"},
		{"object 0", [=] { s->DrawMapObj(g, 0, 0, 0); }, nothing, "map obj index out of range 0"},
		// Effect frames wrap within their row.
		{"effect frame 5", [=] { s->DrawEffect(g, 7, 8, 0, 48, 32, 5, 2); }, Source(48, 64, 7, 8, 48, 32), nullptr},
		{"effect frame -1", [=] { s->DrawEffect(g, 7, 8, 0, 48, 32, -1, 0); }, Source(144, 0, 7, 8, 48, 32), nullptr},
		{"effect past the list", [=] { s->DrawEffect(g, 0, 0, 1, 48, 32, 0, 0); }, nothing, effectRange},
		{"effect -1", [=] { s->DrawEffect(g, 0, 0, -1, 48, 32, 0, 0); }, nothing, effectRange},
		{"effect frame wider than the image", [=] { s->DrawEffect(g, 0, 0, 0, 200, 32, 0, 0); }, nothing, effectSize},
		{"effect frame of no width", [=] { s->DrawEffect(g, 0, 0, 0, 0, 32, 0, 0); }, nothing, effectSize},
		{"effect frame of no height", [=] { s->DrawEffect(g, 0, 0, 0, 48, 0, 0, 0); }, nothing, effectSize},
		{"effect row past the image", [=] { s->DrawEffect(g, 0, 0, 0, 48, 32, 0, 3); }, nothing, nullptr},
		{"effect row -1", [=] { s->DrawEffect(g, 0, 0, 0, 48, 32, 0, -1); }, nothing, nullptr},
	};
	for (const TCase& c : cases) {
		m_Graphics.m_Draws.clear();
		const int logged = c.logged ? log.CountLines(c.logged) : 0;
		c.draw();
		if (c.source.width == -1) {
			EXPECT_TRUE(m_Graphics.m_Draws.empty()) << c.what;
		} else {
			EXPECT_EQ(c.source, WithoutImage(m_Graphics.Only())) << c.what;
		}
		if (c.logged) {
			EXPECT_EQ(logged + 1, log.CountLines(c.logged)) << c.what;
		}
	}
	int width = 0;
	int height = 0;
	store.GetEffectImageSize(0, width, height);
	EXPECT_EQ(std::make_pair(192, 96), std::make_pair(width, height));
}

TEST_F(ImageStore, WholeImagesDrawAtTheirOwnSizeAndBadIndicesDrawNothing)
{
	TMorvalethImage store;
	Image("face.png", 96, 96);
	Image("chip.png", 32, 32);
	ASSERT_EQ(0, store.LoadFaceImage(m_Dir.Path(), "face.png"));
	ASSERT_EQ(0, store.LoadCharaImage(m_Dir.Path(), "chip.png"));
	ASSERT_EQ(0, store.AddMyImage(m_Dir / "chip.png"));
	store.DrawFace(&m_Graphics, 3, 4, 0);
	EXPECT_EQ(Source(0, 0, 3, 4, 96, 96), WithoutImage(m_Graphics.Only()));
	m_Graphics.m_Draws.clear();
	store.DrawChara(&m_Graphics, 3, 4, 0);
	store.DrawMyImage(&m_Graphics, 3, 4, 0);
	store.DrawFaceOrChara(&m_Graphics, 3, 4, 0, -1);
	EXPECT_EQ(3u, m_Graphics.m_Draws.size());
	m_Graphics.m_Draws.clear();

	for (int bad : {-1, 1, 1000}) {
		store.DrawFace(&m_Graphics, 0, 0, bad);
		store.DrawChara(&m_Graphics, 0, 0, bad);
		store.DrawMyImage(&m_Graphics, 0, 0, bad);
		store.DrawAreaName(&m_Graphics, 0, 0, bad);
		store.DrawFaceScaled(&m_Graphics, 0, 0, bad, 128, 128);
		store.DrawCharaScaled(&m_Graphics, 0, 0, bad, 128, 128);
		store.DrawMyImageScaled(&m_Graphics, 0, 0, bad, 128, 128);
		store.DrawFaceOrChara(&m_Graphics, 0, 0, bad, bad);
		store.DrawFaceOrChara(&m_Graphics, 0, 0, -1, bad);
		int width = 5;
		int height = 5;
		store.GetMyImageSize(bad, width, height);
		EXPECT_EQ(0, width + height);
		store.GetEffectImageSize(bad, width, height);
		EXPECT_EQ(0, width + height);
	}
	store.DrawStatusChip(&m_Graphics, 0, 0, -1);
	store.DrawStatusChip(&m_Graphics, 0, 0, 2);
	EXPECT_EQ(nullptr, store.GetCommandImage(-1));
	EXPECT_EQ(nullptr, store.GetCommandImage(COMMAND_COUNT));
	EXPECT_TRUE(m_Graphics.m_Draws.empty());
}

// One picture is one image, whatever name leads to its file: doubled slashes, "." and ".." steps, a path
// relative to the working folder, other ASCII case, a symbolic link. Another file is another image.
TEST_F(ImageStore, ScriptImagesAreLoadedOncePerFileWhateverItsNameAndFailuresAreRetried)
{
	TMorvalethImage store;
	Image("a.png", 10, 20);
	ASSERT_TRUE(CreateDirectories(m_Dir / "sub"));
	ASSERT_EQ(0, ::symlink((m_Dir / "a.png").c_str(), (m_Dir / "link.png").c_str()));
	const int alive = TSizedImage::s_Alive;
	const TScopedCwd cwd(m_Dir.Path());
	const std::string dir = m_Dir.Path();
	for (const std::string& name : {dir + "/a.png", dir + "/a.png", dir + "//a.png", dir + "/./a.png",
			dir + "/sub/../a.png", dir + "/sub//.././/a.png", std::string("a.png"), std::string("./a.png"),
			std::string("sub/../a.png"), dir + "/A.PNG", dir + "/link.png"})
		EXPECT_EQ(0, store.AddMyImage(name)) << name;
	EXPECT_EQ(alive + 1, TSizedImage::s_Alive);
	EXPECT_EQ(-1, store.AddMyImage(m_Dir / "b.png"));
	Image("b.png", 30, 40);
	EXPECT_EQ(1, store.AddMyImage(m_Dir / "b.png"));
	int width = 0;
	int height = 0;
	store.GetMyImageSize(1, width, height);
	EXPECT_EQ(30, width);
	EXPECT_EQ(40, height);
}

TEST_F(ImageStore, TheStoreDeletesWhatItOwnsAndRefusesWhatItDoesNot)
{
	TCapturedLog log;
	const int alive = TSizedImage::s_Alive;
	TSizedImage stranger(1, 1);
	{
		TMorvalethImage store;
		gcn::Image* mine = store.LoadMyImage(Image("a.png", 1, 1));
		store.LoadFlagImage(m_Dir.Path(), "a.png");
		store.LoadMapChipImage(m_Dir / "a.png");
		EXPECT_EQ(alive + 4, TSizedImage::s_Alive);
		store.RemoveMyImage(&stranger);
		EXPECT_EQ(1, log.CountLines("TMorvalethImage::RemoveMyImage:"));
		EXPECT_EQ(1, log.CountLines("存在しない画像を削除しようとしました。"));
		EXPECT_EQ(alive + 4, TSizedImage::s_Alive);
		store.RemoveMyImage(mine);
		EXPECT_EQ(alive + 3, TSizedImage::s_Alive);
		store.RemoveMyImage(mine);
		EXPECT_EQ(2, log.CountLines("存在しない画像を削除しようとしました。"));
	}
	EXPECT_EQ(alive + 1, TSizedImage::s_Alive);
}

TEST_F(ImageStore, CommandImagesFallBackToTheSystemFolderAndStatusChipsDoNot)
{
	TCapturedLog log;
	TMorvalethImage store;
	store.m_ScenarioDir = m_Dir / "Scenario";
	store.m_SystemDir = m_Dir / "System";
	CreateDirectories(store.m_ScenarioDir + "/System");
	CreateDirectories(store.m_SystemDir);
	const char* const names[] = {"command_wait.png", "command_move.png", "command_attack.png", "command_magic.png",
		"command_special.png", "command_charge.png", "command_redo.png", "command_redo2.png", "command_runaway.png"};
	for (const char* name : names)
		Image(std::string(name == std::string("command_move.png") ? "System/" : "Scenario/System/") + name, 40,
			40);
	Image("System/chip_defense.png", 32, 32);
	Image("System/chip_departure.png", 32, 32);

	EXPECT_TRUE(store.LoadCommandImages());
	EXPECT_EQ(1, log.CountLines("Failed to load image"));
	EXPECT_EQ(1, log.CountLines(store.m_ScenarioDir + "/System/command_move.png"));
	for (int command = 0; command < COMMAND_COUNT; ++command)
		EXPECT_NE(nullptr, store.GetCommandImage(command));
	EXPECT_FALSE(store.LoadStatusChips());

	RemoveFile(m_Dir / "System/command_move.png");
	TMorvalethImage another;
	another.m_ScenarioDir = store.m_ScenarioDir;
	another.m_SystemDir = store.m_SystemDir;
	EXPECT_FALSE(another.LoadCommandImages());
	EXPECT_NE(nullptr, another.GetCommandImage(COMMAND_WAIT));
	EXPECT_EQ(nullptr, another.GetCommandImage(COMMAND_ATTACK));
}

TEST_F(ImageStore, PowerAndFieldMapsWithoutAPictureGiveNothing)
{
	TCapturedLog log;
	TMorvalethImage store;
	store.InitPowerMap();
	store.PaintPowerMap(Red, std::vector<point_t>(1));
	EXPECT_EQ(nullptr, store.GetPowerMap());
	EXPECT_EQ(1, log.CountLines("TMorvalethImage::InitPowerMap:"));
	EXPECT_FALSE(store.LoadPowerMap(m_Dir / "missing.png"));
	EXPECT_EQ(1, log.CountLines("failed to load " + (m_Dir / "missing.png")));
	const std::string before = log.Text();
	EXPECT_FALSE(store.LoadFieldMapImage(m_Dir / "missing.png"));
	EXPECT_TRUE(store.m_FieldMapTiles.empty());
	EXPECT_EQ(before, log.Text());
}

TEST(PackedColor, RedIsTheLowByteAndAlphaTheHighOne)
{
	const gcn::Color colour = ColorFromPacked(0x80402010);
	EXPECT_EQ(0x10, colour.r);
	EXPECT_EQ(0x20, colour.g);
	EXPECT_EQ(0x40, colour.b);
	EXPECT_EQ(0x80, colour.a);
	EXPECT_EQ(0xFF332211u, PackOpaque(0x11, 0x22, 0x33));
}
