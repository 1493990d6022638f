#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "battle/CharaMoveWindow.h"
#include "battle/CharaPlaceWindow.h"
#include "battle/CharaStatusWindow.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/FontSJIS.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GlWindow.h"
#include "support/TestSupport.h"

#include <SDL/SDL_image.h>
#include <algorithm>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <gtest/gtest.h>
#include <guichan/genericinput.hpp>
#include <guichan/gui.hpp>
#include <guichan/mouseinput.hpp>
#include <guichan/opengl.hpp>
#include <guichan/widgets/container.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const std::string SampleRoot = MORVALETH_SOURCE_DIR "/data";
const std::string Sample = SampleRoot + "/Scenario/Default";

const std::uint32_t DARK_PANE = 0xFF000020;
const std::uint32_t FRAME = 0xFFFF00FF;
const std::uint32_t BACKGROUND = 0xFF606060;

/// The sample's database, loaded once; each test takes a copy, since loading the pictures writes indices into it.
const TMorvalethData& SampleData()
{
	static const TMorvalethData* data = [] {
		TMorvalethData* loaded = new TMorvalethData;
		EXPECT_TRUE(loaded->Load(Sample, 0));
		return loaded;
	}();
	return *data;
}

/// The colour of every pixel of a picture as 0xRRGGBB, row by row; -1 where it is not opaque.
std::vector<std::int64_t> OpaquePixels(const std::string& path, int& width)
{
	std::vector<std::int64_t> pixels;
	SDL_Surface* loaded = IMG_Load(path.c_str());
	EXPECT_NE(nullptr, loaded) << path;
	if (!loaded)
		return pixels;
	SDL_PixelFormat format = {};
	format.BitsPerPixel = 32;
	format.BytesPerPixel = 4;
	format.Rmask = 0x00FF0000;
	format.Gmask = 0x0000FF00;
	format.Bmask = 0x000000FF;
	format.Amask = 0xFF000000;
	format.Rshift = 16;
	format.Gshift = 8;
	format.Ashift = 24;
	format.alpha = 255;
	SDL_Surface* surface = SDL_ConvertSurface(loaded, &format, SDL_SWSURFACE);
	SDL_FreeSurface(loaded);
	width = surface->w;
	for (int y = 0; y < surface->h; ++y) {
		const std::uint32_t* row =
			reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(surface->pixels) + y * surface->pitch);
		for (int x = 0; x < width; ++x)
			pixels.push_back(row[x] >> 24 == 0xFF ? std::int64_t(row[x] & 0xFFFFFF) : -1);
	}
	SDL_FreeSurface(surface);
	return pixels;
}

/// Records what the windows report.
struct TRecorder : public TCharaPlaceListener, public TCharaMoveListener
{
	void PlaceEntryChosen(int entry) override { chosen.push_back(entry); }
	void MoveConfirmed() override { ++confirmed; }
	void MoveCancelled() override { ++cancelled; }
	std::vector<int> chosen;
	int confirmed = 0;
	int cancelled = 0;
};

/// An 800 x 600 window with the game's GUI on a grey top container, the sample's database, pictures and new game
/// installed in the game master, and input fed to guichan as its own events.
class CharaWindowTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		const fs::path source(MORVALETH_SOURCE_DIR);
		fs::create_directories(m_Dir / "System");
		fs::copy_file(source / "data/System/window.png", m_Dir / "System/window.png");
		fs::copy_file(source / "data/sjis.txt", m_Dir / "sjis.txt");
		m_Home = fs::current_path().string();
		m_Cwd.reset(new TScopedCwd(m_Dir.Path()));
		m_Window.reset(new TGlWindow(800, 600));
		ASSERT_TRUE(m_Window->IsOpen());
		WriteFile("morvaleth.ini", "[GUI]\nDarkPaneColor=FF000020\nSelectedFrameColor=FFFF00FF\n");
		g_Config.Load("morvaleth.ini");
		ASSERT_TRUE(g_Font.Load(16, ""));
		m_Window->Graphics().setFont(&g_Font);
		gcn::Widget::setGlobalFont(&g_Font);

		m_Top.reset(new gcn::Container());
		m_Top->setSize(800, 600);
		m_Top->setBaseColor(gcn::Color(0x60, 0x60, 0x60));
		gcn::Gui* gui = new gcn::Gui();
		gui->setGraphics(&m_Window->Graphics());
		gui->setInput(&m_Input);
		gui->setTop(m_Top.get());
		g_GuiContext.SetGui(gui);
		g_GameMaster.m_Skin.reset(new TGcnSkinManager());
		ASSERT_TRUE(g_GameMaster.m_Skin->LoadImage("."));
		LoadSample();
	}

	void LoadSample()
	{
		boost::shared_ptr<TMorvalethData> data = boost::make_shared<TMorvalethData>(SampleData());
		boost::shared_ptr<TMorvalethImage> image = boost::make_shared<TMorvalethImage>();
		boost::shared_ptr<TMorvalethGame> game = boost::make_shared<TMorvalethGame>();
		TDremoGameMaster master;
		master.m_RootDir = SampleRoot;
		ASSERT_TRUE(master.LoadPermanentImage(data, image, game, Sample)) << master.m_LastError;
		BuildNeighborTable();
		ASSERT_TRUE(game->LoadNew(data.get(), Sample, 0, 1));
		g_GameMaster.m_Data = data;
		g_GameMaster.m_Image = image;
		g_GameMaster.m_Game = game;
	}

	void TearDown() override
	{
		g_GuiContext.Release();
		m_Top.reset();
		// Textures belong to this test's GL context: drop them before it closes.
		g_GameMaster.m_Data.reset();
		g_GameMaster.m_Image.reset();
		g_GameMaster.m_Game.reset();
		g_GameMaster.m_Skin.reset();
		g_GuiContext.m_CharDrawers.clear();
		g_Font.m_CharDrawer = nullptr;
		gcn::Widget::setGlobalFont(nullptr);
		m_Window.reset();
		m_Cwd.reset();
	}

	/// Puts a window on the screen at the position; it leaves the screen when it is destroyed.
	void Open(gcn::Widget& window, int x, int y)
	{
		window.setPosition(x, y);
		m_Top->add(&window);
	}

	void DrawFrame()
	{
		m_Window->BeginFrame();
		g_GuiContext.m_Gui->draw();
		m_Window->EndFrame();
	}

	/// Keeps a screenshot among the artefacts of the test working folder, outside the scratch folder.
	void KeepScreenshot(const std::string& name)
	{
		TScopedCwd home(m_Home);
		m_Window->Screenshot(name);
	}

	void MoveMouse(int x, int y)
	{
		m_Input.pushMouseMoved(x, y);
		g_GuiContext.m_Gui->logic();
	}

	void Click(int x, int y)
	{
		m_Input.pushMouseMoved(x, y);
		m_Input.pushMouseButtonPressed(x, y, gcn::MouseInput::LEFT);
		m_Input.pushMouseButtonReleased(x, y, gcn::MouseInput::LEFT);
		g_GuiContext.m_Gui->logic();
	}

	/// Clicks the middle of a widget.
	void Click(const gcn::Widget& widget)
	{
		int x = 0;
		int y = 0;
		widget.getAbsolutePosition(x, y);
		Click(x + widget.getWidth() / 2, y + widget.getHeight() / 2);
	}

	/// The screen position of a point of a widget.
	static void At(const gcn::Widget& widget, int x, int y, int& screenX, int& screenY)
	{
		widget.getAbsolutePosition(screenX, screenY);
		screenX += x;
		screenY += y;
	}

	/// Clicks the middle of cell i of a chip list.
	void ClickCell(const TCharaListPane& pane, int i)
	{
		int x = 0;
		int y = 0;
		At(pane, i % 5 * 40 + 20, i / 5 * 40 + 20, x, y);
		Click(x, y);
	}

	/// Number of pixels of the rectangle (screen coordinates) that pass the test.
	template <typename Test>
	int Count(int x0, int y0, int width, int height, Test test) const
	{
		int count = 0;
		for (int y = y0; y < y0 + height; ++y)
			for (int x = x0; x < x0 + width; ++x)
				count += test(m_Window->Pixel(x, y)) ? 1 : 0;
		return count;
	}

	int CountColour(int x0, int y0, int width, int height, std::uint32_t colour) const
	{
		return Count(x0, y0, width, height, [colour](std::uint32_t pixel) { return pixel == colour; });
	}

	int CountWhite(int x0, int y0, int width, int height) const
	{
		return CountColour(x0, y0, width, height, 0xFFFFFFFF);
	}

	/// Checks that the opaque pixels of a square of a picture, inset on each side, show 1:1 at (x, y).
	void ExpectPicture(const std::string& path, int size, int inset, int x, int y) const
	{
		SCOPED_TRACE(path);
		int width = 0;
		const std::vector<std::int64_t> pixels = OpaquePixels(path, width);
		ASSERT_FALSE(pixels.empty());
		int compared = 0;
		int wrong = 0;
		for (int sy = inset; sy < size - inset; ++sy)
			for (int sx = inset; sx < size - inset; ++sx) {
				const std::int64_t rgb = pixels[std::size_t(sy) * width + sx];
				if (rgb < 0)
					continue;
				++compared;
				wrong += (m_Window->Pixel(x + sx, y + sy) & 0xFFFFFF) != rgb;
			}
		EXPECT_LT((size - 2 * inset) * (size - 2 * inset) / 8, compared);
		EXPECT_EQ(0, wrong);
	}

	/// Checks that a character's chip, less a border, shows at the screen position.
	void ExpectChip(const TCharaInstance& chara, int x, int y, int inset = 4) const
	{
		const TCharaData& def = g_GameMaster.m_Data->GetCharaData(chara.CharaIndex);
		ExpectPicture(Sample + "/" + g_GameMaster.m_Data->GetCharaDirectory(def.DirIndex) + "/" + def.BattleChip,
			32, inset, x, y);
	}

	TCharaInstance Chara(const std::string& id) const
	{
		return g_GameMaster.m_Game->CreateCharaInstance(g_GameMaster.m_Data->GetCharaIndex(id), 0);
	}

	/// The test working folder, where screenshots are kept.
	std::string m_Home;
	TTempDir m_Dir;
	std::unique_ptr<TScopedCwd> m_Cwd;
	std::unique_ptr<TGlWindow> m_Window;
	std::unique_ptr<gcn::Container> m_Top;
	gcn::GenericInput m_Input;
	TRecorder m_Recorder;
};
}

TEST_F(CharaWindowTest, PlacementListsTheUnplacedChipsFramesTheChosenOneAndReportsOnlyThoseNotYetPlaced)
{
	std::vector<TCharaInstance> group;
	for (const char* id : { "leon", "soldier", "knight", "archer", "mage", "elwin", "bran" })
		group.push_back(Chara(id));
	group[2].Actioned = true;
	std::vector<int> placed(group.size(), 0);
	placed[1] = 1;
	TCharaPlaceWindow window;
	window.SetListener(&m_Recorder);
	window.m_Pane.SetList(&group, &placed);
	window.m_Pane.m_Selected = 4;
	window.Show();
	EXPECT_EQ(0, window.m_Pane.m_Selected) << "every show starts at the first entry";
	Open(window, 100, 80);
	DrawFrame();
	KeepScreenshot("chara_place");

	int x = 0;
	int y = 0;
	At(window.m_Pane, 0, 0, x, y);
	ExpectChip(group[0], x, y, 6); // inside the selection frame
	ExpectChip(group[6], x + 40, y + 40);
	EXPECT_EQ(40 * 40, CountColour(x + 40, y, 40, 40, DARK_PANE)) << "a placed character leaves its cell empty";
	EXPECT_LT(20, CountWhite(x + 80 + 10, y + 14, 20, 12)) << "End";
	EXPECT_EQ(0, CountWhite(x + 120 + 10, y + 14, 20, 12));
	EXPECT_LT(300, CountColour(x, y, 40, 40, FRAME));
	EXPECT_EQ(0, CountColour(x + 40, y, 160, 160, FRAME));

	ClickCell(window.m_Pane, 1);
	ClickCell(window.m_Pane, 12);
	EXPECT_TRUE(m_Recorder.chosen.empty()) << "a placed entry or an empty cell means nobody";
	EXPECT_EQ(0, window.m_Pane.m_Selected);
	ClickCell(window.m_Pane, 3);
	EXPECT_EQ(std::vector<int>({ 3 }), m_Recorder.chosen);
	DrawFrame();
	EXPECT_EQ(0, CountColour(x, y, 40, 40, FRAME));
	EXPECT_LT(300, CountColour(x + 120, y, 40, 40, FRAME));
}

TEST_F(CharaWindowTest, TheStatusWindowShowsTheShortSheetInABottomCornerAndDodgesTheMouse)
{
	TCharaStatusWindow window;
	Open(window, 0, 0);
	TCharaInstance leon = Chara("leon");
	leon.PhysicalAttackBonus = 3;
	window.Show(leon);
	EXPECT_EQ(8, window.getX());
	EXPECT_EQ(600 - 8 - window.getHeight(), window.getY());
	EXPECT_EQ(160, window.m_Pane.getWidth());
	DrawFrame();
	KeepScreenshot("chara_status");

	int x = 0;
	int y = 0;
	At(window.m_Pane, 0, 0, x, y);
	ExpectChip(leon, x + 122, y, 0);
	EXPECT_LT(30, CountWhite(x + 2, y, 40, 13)) << "the name";
	EXPECT_EQ(0, CountWhite(x + 40, y, 80, 13));
	EXPECT_LT(10, CountColour(x + 2, y + 65, 48, 12, 0xFF80FFFF)) << "the raised attack";
	EXPECT_EQ(0, CountColour(x + 54, y + 65, 48, 12, 0xFF80FFFF));
	EXPECT_LT(2000, CountColour(x, y + 40, 160, 56, DARK_PANE));

	MoveMouse(x + 80, y + 50);
	EXPECT_EQ(800 - 8 - window.getWidth(), window.getX());
	At(window.m_Pane, 80, 50, x, y);
	MoveMouse(x, y);
	EXPECT_EQ(8, window.getX());
	EXPECT_EQ(600 - 8 - window.getHeight(), window.getY());
}

TEST_F(CharaWindowTest, TheFullStatusWindowShowsFaceChipAndNameAndAClickClosesIt)
{
	TCharaStatusFullWindow window;
	Open(window, 20, 20);
	const TCharaInstance leon = Chara("leon");
	window.Show(leon);
	EXPECT_EQ(352, window.m_Pane.getWidth());
	EXPECT_EQ(424, window.m_Pane.getHeight());
	EXPECT_EQ(352 + 4, window.getWidth());
	DrawFrame();
	KeepScreenshot("chara_status_full");

	int x = 0;
	int y = 0;
	At(window.m_Pane, 0, 0, x, y);
	ExpectChip(leon, x, y, 0);
	ExpectPicture(Sample + "/DefChar/face_leon.png", 96, 0, x + 256, y);
	EXPECT_LT(60, CountWhite(x + 40, y, 60, 17)) << "the name in the large glyphs";
	EXPECT_LT(30, CountWhite(x + 4, y + 40, 97, 145)) << "the status frame and table";

	window.Show(Chara("soldier"));
	EXPECT_EQ(256 + 4, window.getWidth()) << "no face, narrower";
	EXPECT_EQ(400, window.m_Pane.getHeight());
	ASSERT_TRUE(window.isVisible());
	Click(window);
	EXPECT_FALSE(window.isVisible());
}

TEST_F(CharaWindowTest, TheMoveWindowCarriesChipsAcrossAndReportsTheChoice)
{
	TMorvalethGame& game = *g_GameMaster.m_Game;
	const int areaA = game.GetAreaIndex("A01");
	const int areaB = game.GetAreaIndex("A02");
	for (const char* id : { "archer", "wolf", "acolyte", "militia" })
		game.InsertAreaChara(areaA, g_GameMaster.m_Data->GetCharaIndex(id));
	std::vector<TCharaInstance> charasA = game.GetArea(areaA).Charas;
	std::vector<TCharaInstance> charasB = game.GetArea(areaB).Charas;
	ASSERT_EQ(6u, charasA.size());
	charasA[1].Actioned = true;

	TCharaMoveWindow window;
	window.SetListener(&m_Recorder);
	window.Setup(areaA, charasA, areaB, charasB);
	Open(window, 150, 60);
	EXPECT_EQ(nullptr, window.GetHoveredChara());
	const TCharaListPane& stationedA = window.m_Panes[MOVE_PANE_STATIONED_A];
	const TCharaListPane& arrivingB = window.m_Panes[MOVE_PANE_ARRIVING_B];
	ClickCell(stationedA, 2);
	DrawFrame();
	KeepScreenshot("chara_move");

	int ax = 0;
	int ay = 0;
	At(stationedA, 0, 0, ax, ay);
	int bx = 0;
	int by = 0;
	At(arrivingB, 0, 0, bx, by);
	ExpectChip(charasA[0], ax, ay);
	EXPECT_EQ(40 * 40, CountColour(ax + 80, ay, 40, 40, DARK_PANE)) << "the marked character left its cell";
	ExpectChip(charasA[2], bx, by);
	EXPECT_LT(20, CountWhite(ax + 2, ay - 18, 60, 18)) << "area A's name";
	EXPECT_LT(20, CountWhite(bx + 2, by - 18, 60, 18)) << "area B's name";
	EXPECT_LT(20, CountWhite(window.getX() + 4, window.getY() + 2, 34, 14)) << "the title";

	Click(window.m_AllRightButton);
	std::vector<int> moved;
	window.GetMoveIndices1(moved);
	ASSERT_LE(charasA.size() + charasB.size(), std::size_t(AREA_CHARA_MAX));
	std::vector<int> expected;
	for (int i = 0; i < static_cast<int>(charasA.size()); ++i)
		if (i != 1)
			expected.push_back(i);
	EXPECT_EQ(expected, moved) << "all but the one that acted";
	ClickCell(arrivingB, 0);
	window.GetMoveIndices1(moved);
	EXPECT_EQ(expected.size() - 1, moved.size());
	EXPECT_EQ(0, std::count(moved.begin(), moved.end(), 2)) << "the first one marked goes back";

	int hx = 0;
	int hy = 0;
	At(stationedA, 45, 5, hx, hy);
	MoveMouse(hx, hy);
	ASSERT_NE(nullptr, window.GetHoveredChara());
	EXPECT_EQ(charasA[1].CharaIndex, window.GetHoveredChara()->CharaIndex);

	Click(window.m_ConfirmButton);
	Click(window.m_CancelButton);
	EXPECT_EQ(1, m_Recorder.confirmed);
	EXPECT_EQ(1, m_Recorder.cancelled);
}

TEST_F(CharaWindowTest, TheBattlePanesLineShowsNameRankAndPointsAndABadRankDrawsNoLetter)
{
	TCharaInstance sera = Chara("sera");
	sera.Rank = 9;
	m_Window->BeginFrame();
	DrawCharaHPMP(&m_Window->Graphics(), 300, 100, sera);
	m_Window->EndFrame();
	EXPECT_LT(30, CountWhite(302, 102, 26, 13)) << "the name";
	EXPECT_EQ(0, CountWhite(302, 116, 48, 13)) << "no rank line for rank 9";
	EXPECT_LT(10, CountWhite(302, 130, 48, 13)) << "Exp";
	EXPECT_LT(10, CountWhite(352, 116, 66, 13)) << "HP";
	EXPECT_LT(10, CountWhite(352, 130, 66, 13)) << "MP";
	EXPECT_EQ(0, CountWhite(0, 0, 300, 600));
}
