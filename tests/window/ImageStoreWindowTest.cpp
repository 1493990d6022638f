#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "gui/GuiContext.h"
#include "platform/FileSystem.h"
#include "platform/PngFile.h"

#include "support/GlWindow.h"
#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <guichan/color.hpp>
#include <guichan/image.hpp>
#include <guichan/opengl/openglgraphics.hpp>
#include <guichan/rectangle.hpp>
#include <gtest/gtest.h>

#include <boost/shared_ptr.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
const int ScreenWidth = 640;
const int ScreenHeight = 480;

// Colours are 0xAARRGGBB here, as the window reads them back.
typedef std::function<std::uint32_t(int, int)> TPainter;

const std::uint32_t Opaque = 0xFF000000;
const std::uint32_t Grey = 0xFF404040;

std::uint32_t ChipColour(int cell)
{
	return Opaque | (std::uint32_t(10 + 12 * cell) << 16) | (std::uint32_t(250 - 11 * cell) << 8)
		| std::uint32_t(60 + 7 * cell);
}

std::uint32_t EffectColour(int column, int row)
{
	return Opaque | (std::uint32_t(40 + 50 * column) << 16) | (std::uint32_t(50 + 100 * row) << 8) | 30;
}

const std::uint32_t FlagColours[3] = {0xFFC80000, 0xFF00C800, 0xFF0000C8};
const std::uint32_t FaceTop = 0xFFFAFA00;
const std::uint32_t FaceBottom = 0xFF00FAFA;
const std::uint32_t ChipBody = 0xFFFF8000;
const std::uint32_t PowerBorder = 0xFF0000FF;
const std::uint32_t PowerLand = 0xFF808080;

// Writes an RGBA picture whose pixels the painter gives.
void WritePicture(const std::string& path, int width, int height, const TPainter& painter)
{
	std::vector<std::uint8_t> rgba;
	for (int y = 0; y < height; ++y)
		for (int x = 0; x < width; ++x) {
			const std::uint32_t c = painter(x, y);
			rgba.push_back(std::uint8_t(c >> 16));
			rgba.push_back(std::uint8_t(c >> 8));
			rgba.push_back(std::uint8_t(c));
			rgba.push_back(std::uint8_t(c >> 24));
		}
	ASSERT_TRUE(WritePng(path, width, height, 4, rgba.data()));
}

// A power map: a border round the picture, a line down the middle and, on the right, one across;
// so a left region and two right ones. Its top-left pixel is the border colour.
std::uint32_t PowerMapPixel(int x, int y)
{
	const bool border = x == 0 || y == 0 || x == 63 || y == 47 || x == 32 || (x > 32 && y == 24);
	return border ? PowerBorder : PowerLand;
}

class ImageStoreWindow : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Window.reset(new TGlWindow(ScreenWidth, ScreenHeight));
		ASSERT_TRUE(m_Window->IsOpen()) << SDL_GetError();
		m_Graphics = &m_Window->Graphics();
		WritePicture(m_Dir / "BMAPCHAR.png", 320, 64, [](int x, int y) { return ChipColour(y / 32 * 10 + x / 32); });
		WritePicture(m_Dir / "flag.png", 96, 40, [](int x, int) { return FlagColours[x / 32]; });
		WritePicture(m_Dir / "effect.png", 192, 64, [](int x, int y) { return EffectColour(x / 48, y / 32); });
		WritePicture(m_Dir / "face.png", 64, 64, [](int, int y) { return y < 32 ? FaceTop : FaceBottom; });
		// A chip whose top-left 8 x 8 corner is transparent.
		WritePicture(m_Dir / "chip.png", 32, 32, [](int x, int y) { return x < 8 && y < 8 ? 0u : ChipBody; });
		WritePicture(m_Dir / "power.png", 64, 48, PowerMapPixel);
		WritePicture(m_Dir / "field.png", 100, 60, [](int x, int y) { return Opaque | (x << 16) | (y << 8) | 200; });
	}

	std::uint32_t At(int x, int y) const { return m_Window->Pixel(x, y) | Opaque; }

	// Pixels in the rectangle whose colour is the given one.
	int Count(int x0, int y0, int width, int height, std::uint32_t colour) const
	{
		int count = 0;
		for (int y = y0; y < y0 + height; ++y)
			for (int x = x0; x < x0 + width; ++x)
				count += At(x, y) == colour;
		return count;
	}

	TTempDir m_Dir;
	std::unique_ptr<TGlWindow> m_Window;
	gcn::OpenGLGraphics* m_Graphics = nullptr;
};
}

TEST_F(ImageStoreWindow, DrawsChipsFramesFacesAndMapsWhereTheyBelong)
{
	TCapturedLog log;
	std::unique_ptr<TMorvalethImage> store(new TMorvalethImage());
	ASSERT_TRUE(store->LoadMapChipImage(m_Dir / "BMAPCHAR.png"));
	ASSERT_EQ(0, store->LoadFlagImage(m_Dir.Path(), "flag.png"));
	ASSERT_EQ(0, store->LoadEffectImage(m_Dir / "effect.png"));
	ASSERT_EQ(0, store->LoadFaceImage(m_Dir.Path(), "face.png"));
	ASSERT_EQ(0, store->LoadCharaImage(m_Dir.Path(), "chip.png"));
	ASSERT_TRUE(store->LoadPowerMap(m_Dir / "power.png"));
	ASSERT_TRUE(store->LoadFieldMapImage(m_Dir / "field.png"));
	ASSERT_EQ(1u, store->m_FieldMapTiles.size());
	EXPECT_EQ(1, store->m_FieldMapTilesPerRow);
	EXPECT_EQ(128, store->m_FieldMapTiles[0]->getWidth());
	EXPECT_EQ(64, store->m_FieldMapTiles[0]->getHeight());

	store->InitPowerMap();
	point_t left;
	left.x = 5;
	left.y = 5;
	point_t rightTop = left;
	rightTop.x = 40;
	point_t rightBottom = rightTop;
	rightBottom.y = 30;
	point_t outside = left;
	outside.x = 64;
	store->PaintPowerMap(0xFF0000C0, {left, outside});
	store->PaintPowerMap(0xFFC00000, {rightTop, rightBottom});
	gcn::Image* powerMap = store->GetPowerMap();
	ASSERT_NE(nullptr, powerMap);

	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(0x40, 0x40, 0x40));
	m_Graphics->fillRectangle(gcn::Rectangle(0, 0, 300, 50));
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	store->DrawMapChip(m_Graphics, 10, 10, 0);
	store->DrawMapChip(m_Graphics, 50, 10, 9);
	store->DrawMapChip(m_Graphics, 90, 10, 10);
	store->DrawMapChip(m_Graphics, 130, 10, 20);
	store->DrawChara(m_Graphics, 170, 10, 0);
	store->DrawFlag(m_Graphics, 10, 60, 0, 4);
	store->DrawEffect(m_Graphics, 60, 60, 0, 48, 32, 5, 1);
	store->DrawFaceScaled(m_Graphics, 130, 60, 0, 128, 256);
	store->DrawFaceOrChara(m_Graphics, 180, 60, -1, 0);
	m_Graphics->drawImage(powerMap, 300, 60);
	m_Graphics->drawImage(store->m_FieldMapTiles[0], 10, 200);
	m_Window->EndFrame();
	m_Window->Screenshot("image_store");

	// Terrain chips 0, 9 and 10 come from (0, 0), (288, 0) and (0, 32) of the sheet; 20 lies beyond it.
	EXPECT_EQ(ChipColour(0), At(26, 26));
	EXPECT_EQ(ChipColour(9), At(66, 26));
	EXPECT_EQ(ChipColour(10), At(106, 26));
	EXPECT_EQ(Grey, At(146, 26));
	EXPECT_EQ(1, log.CountLines("map chip index out of range 20"));
	EXPECT_EQ(32 * 32, Count(10, 10, 32, 32, ChipColour(0)));
	// The chip's transparent corner shows the grey below it.
	EXPECT_EQ(Grey, At(172, 12));
	EXPECT_EQ(ChipBody, At(190, 30));

	// Flag frame 4 of 3 is frame 1, 32 pixels wide and the whole 40 pixels high.
	EXPECT_EQ(32 * 40, Count(0, 50, 60, 60, FlagColours[1]));
	EXPECT_EQ(FlagColours[1], At(10, 60));
	EXPECT_EQ(FlagColours[1], At(41, 99));
	// Effect frame 5 of 4 a row is column 1, here of row 1.
	EXPECT_EQ(48 * 32, Count(55, 55, 60, 45, EffectColour(1, 1)));
	// Half as wide, full height: 32 x 64.
	EXPECT_EQ(32 * 32, Count(120, 50, 60, 90, FaceTop));
	EXPECT_EQ(32 * 32, Count(120, 50, 60, 90, FaceBottom));
	EXPECT_EQ(FaceBottom, At(161, 123));
	// A chip in place of a missing face is three times its size.
	EXPECT_EQ(ChipBody, At(275, 155));
	EXPECT_EQ(Opaque, At(277, 157));

	// The power map: the left region red, both right regions blue, borders kept, the corner black.
	EXPECT_EQ(Opaque, At(300, 60));
	EXPECT_EQ(0xFFC00000, At(305, 65));
	EXPECT_EQ(0xFFC00000, At(330, 105));
	EXPECT_EQ(0xFF0000C0, At(340, 65));
	EXPECT_EQ(0xFF0000C0, At(362, 105));
	EXPECT_EQ(PowerBorder, At(332, 70));
	EXPECT_EQ(PowerBorder, At(350, 84));

	// The field map's tile holds the picture at its top left and nothing beyond it.
	EXPECT_EQ(Opaque | (50 << 16) | (30 << 8) | 200, At(60, 230));
	EXPECT_EQ(Opaque, At(120, 230));
	store.reset();
}

TEST_F(ImageStoreWindow, APowerMapIsRebuiltFromThePictureOnEveryRefresh)
{
	std::unique_ptr<TMorvalethImage> store(new TMorvalethImage());
	ASSERT_TRUE(store->LoadPowerMap(m_Dir / "power.png"));
	point_t seed;
	seed.x = 40;
	seed.y = 5;
	store->InitPowerMap();
	store->PaintPowerMap(0xFF0000C0, {seed});
	// A second master's colour paints over the first where no border parts them.
	store->PaintPowerMap(0xFF00C000, {seed});
	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	m_Graphics->drawImage(store->GetPowerMap(), 0, 0);
	// Asked for again without a reset: the first image is replaced, not leaked.
	m_Graphics->drawImage(store->GetPowerMap(), 100, 0);
	store->InitPowerMap();
	m_Graphics->drawImage(store->GetPowerMap(), 200, 0);
	m_Window->EndFrame();
	EXPECT_EQ(0xFF00C000, At(40, 5));
	EXPECT_EQ(0xFF00C000, At(140, 5));
	EXPECT_EQ(PowerLand, At(240, 5));
	// A picture that fails to load leaves no map behind, not the last one.
	EXPECT_FALSE(store->LoadPowerMap(m_Dir / "missing.png"));
	store->InitPowerMap();
	EXPECT_EQ(nullptr, store->GetPowerMap());
	store.reset();
}

TEST_F(ImageStoreWindow, ScaledAndScriptImagesAndCommandImages)
{
	std::unique_ptr<TMorvalethImage> store(new TMorvalethImage());
	store->m_ScenarioDir = m_Dir / "Scenario";
	store->m_SystemDir = m_Dir / "System";
	CreateDirectories(store->m_ScenarioDir + "/System");
	CreateDirectories(store->m_SystemDir);
	const char* const commands[] = {"command_wait.png", "command_move.png", "command_attack.png", "command_magic.png",
		"command_special.png", "command_charge.png", "command_redo.png", "command_redo2.png", "command_runaway.png"};
	for (int i = 0; i < COMMAND_COUNT; ++i)
		WritePicture(store->m_SystemDir + "/" + commands[i], 24, 24, [i](int, int) { return ChipColour(i); });
	WritePicture(store->m_ScenarioDir + "/System/chip_defense.png", 32, 32, [](int, int) { return FaceTop; });
	WritePicture(store->m_ScenarioDir + "/System/chip_departure.png", 32, 32, [](int, int) { return FaceBottom; });
	ASSERT_TRUE(store->LoadCommandImages());
	ASSERT_TRUE(store->LoadStatusChips());
	const int script = store->AddMyImage(m_Dir / "face.png");
	ASSERT_EQ(0, script);
	EXPECT_EQ(script, store->AddMyImage(m_Dir / "face.png"));

	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	m_Graphics->drawImage(store->GetCommandImage(COMMAND_MAGIC), 0, 0);
	store->DrawStatusChip(m_Graphics, 40, 0, STATUS_CHIP_DEPARTURE);
	store->DrawMyImageScaled(m_Graphics, 100, 0, script, 512, 64);
	m_Window->EndFrame();
	EXPECT_EQ(ChipColour(COMMAND_MAGIC), At(12, 12));
	EXPECT_EQ(FaceBottom, At(56, 16));
	// Twice as wide, a quarter as high: 128 x 16, the face's top and bottom halves 8 rows each.
	EXPECT_EQ(128 * 8, Count(90, 0, 150, 30, FaceTop));
	EXPECT_EQ(128 * 8, Count(90, 0, 150, 30, FaceBottom));
	store.reset();
}

namespace
{
// Puts a drawer among the GUI context's drawers for the lifetime of the object.
class TInstalledDrawer
{
public:
	explicit TInstalledDrawer(boost::shared_ptr<TGcnCharDrawer> drawer) : m_Drawer(drawer)
	{
		g_GuiContext.m_CharDrawers.push_back(drawer);
	}
	~TInstalledDrawer() { g_GuiContext.m_CharDrawers.remove(m_Drawer); }

private:
	boost::shared_ptr<TGcnCharDrawer> m_Drawer;
};
}

TEST_F(ImageStoreWindow, AreaNamesAreWhiteTextThatCanBeClearedAndMadeAnew)
{
	WriteFile(m_Dir / "sjis.txt", " \nA\nB\n");
	boost::shared_ptr<TGcnCharDrawer> drawer(new TGcnCharDrawer());
	{
		TScopedCwd cwd(m_Dir.Path());
		ASSERT_TRUE(drawer->Load("sjis.txt", nullptr, 16, 16, "")) << drawer->m_LastError;
	}
	const TInstalledDrawer installed(drawer);
	std::unique_ptr<TMorvalethImage> store(new TMorvalethImage());
	EXPECT_EQ(0, store->AddAreaNameImage("AB"));
	EXPECT_EQ(-1, store->AddAreaNameImage(""));
	EXPECT_EQ(1, store->AddAreaNameImage("BA"));

	m_Window->BeginFrame();
	m_Graphics->setColor(gcn::Color(0x40, 0x40, 0x40));
	m_Graphics->fillRectangle(gcn::Rectangle(90, 90, 60, 40));
	m_Graphics->setColor(gcn::Color(255, 255, 255));
	store->DrawAreaName(m_Graphics, 100, 100, 1);
	m_Window->EndFrame();
	// White letters with a black outline, on the grey below.
	const int white = Count(90, 90, 60, 40, 0xFFFFFFFF);
	EXPECT_GT(white, 20);
	EXPECT_EQ(white, Count(0, 0, ScreenWidth, ScreenHeight, 0xFFFFFFFF));
	EXPECT_GT(Count(90, 90, 60, 40, Opaque), 20);

	store->ClearAreaNameImages();
	EXPECT_EQ(0, store->AddAreaNameImage("BA"));
	m_Window->BeginFrame();
	store->DrawAreaName(m_Graphics, 100, 100, 1);
	m_Window->EndFrame();
	EXPECT_EQ(0, Count(90, 90, 60, 40, 0xFFFFFFFF));
	store.reset();
}
