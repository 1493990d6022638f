#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GridWindows.h"
#include "gui/GuiContext.h"
#include "gui/HintPane.h"
#include "gui/ImagePane.h"
#include "gui/SkinManager.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GuiScreen.h"

#include <gtest/gtest.h>
#include <boost/make_shared.hpp>
#include <cstdlib>
#include <guichan/actionlistener.hpp>
#include <guichan/image.hpp>
#include <guichan/widgets/container.hpp>
#include <memory>
#include <string>
#include <vector>

namespace
{
const std::string SAMPLE = MORVALETH_SOURCE_DIR "/data/Scenario/Default";
const gcn::Color DARK_PANE(0, 0, 0x20, 255);
const gcn::Color HINT_GROUND(255, 255, 225, 255);

bool IsWhite(const gcn::Color& c)
{
	return c.r > 200 && c.g > 200 && c.b > 200;
}

bool IsDark(const gcn::Color& c)
{
	return c.r < 80 && c.g < 80 && c.b < 80;
}

/// Counts the actions of the buttons it listens to.
class TActionCounter : public gcn::ActionListener
{
public:
	void action(const gcn::ActionEvent&) override { ++m_Count; }
	int m_Count = 0;
};

/// A screen of a size whose game master holds a new game of the sample's first chapter.
class GameScreen : public ::testing::TestWithParam<std::pair<int, int>>
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.reset(new TGuiScreen(GetParam().first, GetParam().second));
		ASSERT_TRUE(m_Screen->IsOpen());
		g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
		ASSERT_TRUE(g_GameMaster.m_Data->Load(SAMPLE, 0));
		g_GameMaster.m_Game = boost::make_shared<TMorvalethGame>();
		ASSERT_TRUE(g_GameMaster.m_Game->LoadNew(g_GameMaster.m_Data.get(), SAMPLE, 0, 3));
		g_GameMaster.m_Game->ActivateNextMaster();
	}

	void TearDown() override
	{
		g_GameMaster.ReleaseGame();
		m_Screen.reset();
	}

	std::string Suffix() const { return FormatText("_%dx%d", GetParam().first, GetParam().second); }

	/// White pixels in the three pixel columns around x of a widget, over a height from y.
	int WhiteAround(const gcn::Widget& widget, int x, int y, int height) const
	{
		const gcn::Rectangle area = TGuiScreen::ScreenArea(widget);
		return m_Screen->CountPixels(gcn::Rectangle(area.x + x - 1, area.y + y, 3, height), IsWhite);
	}

	std::unique_ptr<TGuiScreen> m_Screen;
};

/// Where a rectangle lies, for comparisons.
std::vector<int> Place(const gcn::Rectangle& r)
{
	return { r.x, r.y, r.width, r.height };
}

/// A table window, its model, and a column of numbers to click.
struct TTable
{
	TGcnGridWindow* window;
	const TGcnGridModel* model;
	int numberColumn;
};
}

TEST_P(GameScreen, EachTableOpensCentredUnderItsCloseButtonAndSortsOnAClick)
{
	TAreaGridWindow areas;
	TMasterGridWindow masters;
	THeroGridWindow heroes;
	const TTable tables[] = { { &areas, &areas.m_Model, 6 }, { &masters, &masters.m_Model, 3 },
		{ &heroes, &heroes.m_Model, 3 } };
	for (const TTable& table : tables) {
		TGcnGridWindow& window = *table.window;
		const TGcnGridModel& model = *table.model;
		SCOPED_TRACE(model.GetCellText(0, 0));
		TActionCounter closes;
		window.m_CloseButton.addActionListener(&closes);
		m_Screen->Top().add(&window);
		window.setVisible(false);
		window.Open();
		m_Screen->Frame();
		m_Screen->Screenshot("grid_" + std::to_string(&table - tables) + Suffix());

		// Sized to the table: the header, the rows and the last line; centred; the close button top right.
		const int width = model.GetTotalWidth();
		const int height = 14 * (model.GetRowCount() - 1) + 15;
		EXPECT_TRUE(window.isVisible());
		EXPECT_EQ(width, window.m_Grid.getWidth());
		EXPECT_EQ(height, window.m_Grid.getHeight());
		EXPECT_EQ(std::min(height, 512), window.m_ScrollArea.getHeight());
		EXPECT_EQ(width + 16, window.m_ScrollArea.getWidth());
		EXPECT_EQ(width + 16 - 64, window.m_CloseButton.getX());
		EXPECT_EQ(m_Screen->Width() / 2 - window.getWidth() / 2, window.getX());
		EXPECT_EQ(m_Screen->Height() / 2 - window.getHeight() / 2, window.getY());
		EXPECT_EQ(1, model.GetCellText(0, 1) <= model.GetCellText(0, 2)) << "opened sorted by its first column";

		// White lines at the column edges, white titles, the dark pane around the texts.
		EXPECT_GE(WhiteAround(window.m_Grid, model.GetColumnWidth(0), 0, height), height);
		EXPECT_GE(WhiteAround(window.m_Grid, width - 1, 0, height), height);
		const gcn::Rectangle grid = TGuiScreen::ScreenArea(window.m_Grid);
		EXPECT_GT(m_Screen->CountPixels(gcn::Rectangle(grid.x + model.GetColumnWidth(0) + 2, grid.y + 2, 36, 12),
			IsWhite), 10) << "the second title";
		EXPECT_TRUE(NearColor(DARK_PANE, m_Screen->Pixel(grid.x + model.GetColumnWidth(0) - 6, grid.y + 14 + 7)));

		// A click on the title of a column of numbers sorts ascending, a second one descending.
		int titleX = 0;
		for (int c = 0; c < table.numberColumn; ++c)
			titleX += model.GetColumnWidth(c);
		titleX += grid.x + model.GetColumnWidth(table.numberColumn) / 2;
		const int rows = model.GetRowCount() - 1;
		m_Screen->Click(titleX, grid.y + 7);
		const std::string lowest = model.GetCellText(table.numberColumn, 1);
		EXPECT_LE(std::atoi(lowest.c_str()), std::atoi(model.GetCellText(table.numberColumn, rows).c_str()));
		m_Screen->Click(titleX, grid.y + 7);
		EXPECT_EQ(lowest, model.GetCellText(table.numberColumn, rows));

		m_Screen->ClickOn(window.m_CloseButton);
		EXPECT_EQ(1, closes.m_Count) << "the close button's action goes to its listener";
		m_Screen->Top().remove(&window);
	}
}

TEST_P(GameScreen, ATableTallerThan512PixelsScrolls)
{
	std::vector<TAreaInstance> areas(40);
	for (std::size_t i = 0; i < areas.size(); ++i) {
		areas[i].id = FormatText("B%02d", i);
		areas[i].Name = FormatText("area %02d", i);
	}
	TMorvalethGame& game = *g_GameMaster.m_Game;
	game = TMorvalethGame();
	game.SetData(g_GameMaster.m_Data.get());
	ASSERT_TRUE(game.SetAreas(areas));
	TAreaGridWindow window;
	m_Screen->Top().add(&window);
	window.Open();
	m_Screen->Frame();
	EXPECT_EQ(575, window.m_Grid.getHeight());
	EXPECT_EQ(512, window.m_ScrollArea.getHeight());
	EXPECT_EQ(575 - 512, window.m_ScrollArea.getVerticalMaxScroll());
	EXPECT_EQ(0, window.m_ScrollArea.getHorizontalMaxScroll()) << "the table's width fits beside the scroll bar";

	// Scrolled to its end, the last row sits at the bottom of the visible part.
	window.m_ScrollArea.setVerticalScrollAmount(window.m_ScrollArea.getVerticalMaxScroll());
	m_Screen->Frame();
	m_Screen->Screenshot("grid_scrolled" + Suffix());
	const gcn::Rectangle visible = TGuiScreen::ScreenArea(window.m_ScrollArea);
	EXPECT_GT(m_Screen->CountPixels(gcn::Rectangle(visible.x + 2, visible.y + 512 - 14, 60, 12), IsWhite), 10);
	EXPECT_EQ("area 39", window.m_Model.GetCellText(0, 40));
	m_Screen->Top().remove(&window);
}

TEST_P(GameScreen, TheHintFadesInBlackOnPaleYellowAndOutAgain)
{
	TGcnHintPane hint;
	hint.setVisible(false);
	m_Screen->Top().add(&hint, 100, 100);
	hint.SetText("中立地帯\n(戦力指数 3)");
	hint.FadeIn();
	for (int i = 0; i < 4; ++i)
		m_Screen->Frame();
	m_Screen->Screenshot("hint" + Suffix());
	const gcn::Rectangle box = TGuiScreen::ScreenArea(hint);
	EXPECT_EQ((std::vector<int>{ 100, 100, 10 + 6 * 12, 36 }), Place(box));
	EXPECT_TRUE(NearColor(HINT_GROUND, m_Screen->Pixel(box.x + box.width - 4, box.y + box.height - 4)));
	EXPECT_GT(m_Screen->CountPixels(gcn::Rectangle(box.x + 4, box.y + 4, 48, 12), IsDark), 20) << "the first line";
	EXPECT_GT(m_Screen->CountPixels(gcn::Rectangle(box.x + 4, box.y + 18, 60, 12), IsDark), 20) << "the second line";

	// Half faded out, the ground lies half over the top colour.
	hint.FadeOut();
	m_Screen->Frame();
	m_Screen->Frame();
	const gcn::Color top = g_Config.GetColor(EXTRACOLOR_TOP);
	auto half = [](int a, int b) { return (a * 127 + b * 128) / 255; };
	EXPECT_TRUE(NearColor(gcn::Color(half(255, top.r), half(255, top.g), half(225, top.b), 255),
		m_Screen->Pixel(box.x + box.width - 4, box.y + box.height - 4), 3));
	m_Screen->Frame();
	m_Screen->Frame();
	EXPECT_FALSE(hint.isVisible());
	EXPECT_TRUE(NearColor(top, m_Screen->Pixel(box.x + box.width - 4, box.y + box.height - 4)));
	m_Screen->Top().remove(&hint);
}

TEST_P(GameScreen, ImagePanesShowTheirImageAndTilesWhereTheyBelong)
{
	std::unique_ptr<gcn::Image> image(TGcnSkinManager::LoadImageFile("System/window.png"));
	std::unique_ptr<gcn::Image> pixels(gcn::Image::load("System/window.png", false));
	ASSERT_TRUE(image && pixels);
	const int w = image->getWidth();
	const int h = image->getHeight();
	TGcnImagePane single;
	single.SetImage(image.get());
	TGcnImagePaneLarge tiled;
	tiled.SetImage({ image.get(), image.get(), image.get(), image.get() }, 2);
	m_Screen->Top().add(&single, 10, 10);
	m_Screen->Top().add(&tiled, 10, 100);
	m_Screen->Frame();
	m_Screen->Screenshot("image_panes" + Suffix());
	EXPECT_EQ((std::vector<int>{ 10, 100, 2 * w, 2 * h }), Place(TGuiScreen::ScreenArea(tiled)));
	const int x = w / 3;
	const int y = h / 2;
	const gcn::Color expected = pixels->getPixel(x, y);
	EXPECT_TRUE(NearColor(expected, m_Screen->Pixel(10 + x, 10 + y)));
	for (int tile = 0; tile < 4; ++tile)
		EXPECT_TRUE(NearColor(expected, m_Screen->Pixel(10 + (tile % 2) * w + x, 100 + (tile / 2) * h + y))) << tile;
	m_Screen->Top().remove(&single);
	m_Screen->Top().remove(&tiled);
}

INSTANTIATE_TEST_SUITE_P(Sizes, GameScreen, ::testing::Values(std::make_pair(800, 600), std::make_pair(1280, 1024)));
