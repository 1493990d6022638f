#include "app/GameMaster.h"
#include "battle/CharaMoveWindow.h"
#include "battle/CharaPlaceWindow.h"
#include "battle/CharaStatusWindow.h"
#include "gui/GuiContext.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/SampleGuiWindow.h"

#include <gtest/gtest.h>
#include <guichan/gui.hpp>
#include <guichan/mouseinput.hpp>
#include <guichan/opengl.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
const std::uint32_t DARK_PANE = 0xFF000020;
const std::uint32_t FRAME = 0xFFFF00FF;
const std::uint32_t WHITE = 0xFFFFFFFF;
const std::uint32_t HIGHLIGHT = 0xFF80FFFF;

typedef TScreenPoint TPoint;

/// An 800 x 600 window with the game's GUI on a grey top container, the sample's database, pictures and new game
/// in the game master, and input fed to guichan as its own events. It records what the windows report.
class CharaWindowTest : public ::testing::Test, public TCharaPlaceListener, public TCharaMoveListener
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Screen.Open("[GUI]\nDarkPaneColor=FF000020\nSelectedFrameColor=FFFF00FF\n");
	}

	void TearDown() override { m_Screen.Close(); }

	void PlaceEntryChosen(int entry) override { m_Chosen.push_back(entry); }
	void MoveConfirmed() override { ++m_Confirmed; }
	void MoveCancelled() override { ++m_Cancelled; }

	/// Puts a window on the screen; it leaves the screen when it is destroyed.
	void Open(gcn::Widget& window, int x, int y)
	{
		window.setPosition(x, y);
		m_Screen.Top().add(&window);
	}

	void DrawFrame(const char* screenshot = nullptr) { m_Screen.DrawFrame(screenshot); }
	void MoveMouse(const TPoint& point) { m_Screen.MoveMouse(point); }

	void Click(const TPoint& point)
	{
		m_Screen.PushClick(point, gcn::MouseInput::LEFT);
		g_GuiContext.m_Gui->logic();
	}

	static TPoint At(const gcn::Widget& widget, int x = 0, int y = 0) { return TSampleGuiWindow::At(widget, x, y); }
	static TPoint Middle(const gcn::Widget& widget) { return TSampleGuiWindow::Middle(widget); }
	static TPoint Cell(const TCharaListPane& pane, int i) { return At(pane, i % 5 * 40 + 20, i / 5 * 40 + 20); }

	int Count(int x0, int y0, int width, int height, std::uint32_t colour) const
	{
		return m_Screen.Count(x0, y0, width, height, colour);
	}

	/// Checks that an image of the store (a chip or a face of that size), less a border, shows at (x, y) on a dark
	/// pane: the frame is drawn again with the image alone on a dark square at the top right, and the two compared.
	void ExpectImage(void (TMorvalethImage::*draw)(gcn::Graphics*, int, int, int) const, int image, int size,
		const TPoint& at, int inset = 4)
	{
		const int referenceX = 800 - size;
		const int inner = size - 2 * inset;
		TGlWindow& window = m_Screen.Window();
		window.BeginFrame();
		g_GuiContext.m_Gui->draw();
		window.Graphics().setColor(gcn::Color(0, 0, 0x20));
		window.Graphics().fillRectangle(gcn::Rectangle(referenceX, 0, size, size));
		(g_GameMaster.m_Image.get()->*draw)(&window.Graphics(), referenceX, 0, image);
		window.EndFrame();
		int wrong = 0;
		for (int dy = inset; dy < size - inset; ++dy)
			for (int dx = inset; dx < size - inset; ++dx)
				wrong += window.Pixel(at.x + dx, at.y + dy) != window.Pixel(referenceX + dx, dy);
		EXPECT_LT(inner * inner / 8, inner * inner - Count(referenceX + inset, inset, inner, inner, DARK_PANE));
		EXPECT_EQ(0, wrong);
	}

	void ExpectChip(const TCharaInstance& chara, const TPoint& at, int inset = 4)
	{
		ExpectImage(&TMorvalethImage::DrawChara, g_GameMaster.m_Data->GetCharaData(chara.CharaIndex).ChipImage, 32,
			at, inset);
	}

	TCharaInstance Chara(const std::string& id) const
	{
		return g_GameMaster.m_Game->CreateCharaInstance(g_GameMaster.m_Data->GetCharaIndex(id), 0);
	}

	TSampleGuiWindow m_Screen;
	std::vector<int> m_Chosen;
	int m_Confirmed = 0;
	int m_Cancelled = 0;
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
	window.SetListener(this);
	window.m_Pane.SetList(&group, &placed);
	window.m_Pane.m_Selected = 4;
	window.Show();
	EXPECT_EQ(0, window.m_Pane.m_Selected) << "every show starts at the first entry";
	Open(window, 100, 80);
	DrawFrame("chara_place");

	const TPoint p = At(window.m_Pane);
	ExpectChip(group[0], p, 6); // inside the selection frame
	ExpectChip(group[6], At(window.m_Pane, 40, 40));
	EXPECT_EQ(40 * 40, Count(p.x + 40, p.y, 40, 40, DARK_PANE)) << "a placed character leaves its cell empty";
	EXPECT_LT(20, Count(p.x + 80 + 10, p.y + 14, 20, 12, WHITE)) << "End";
	EXPECT_EQ(0, Count(p.x + 120 + 10, p.y + 14, 20, 12, WHITE));
	EXPECT_LT(300, Count(p.x, p.y, 40, 40, FRAME));
	EXPECT_EQ(0, Count(p.x + 40, p.y, 160, 160, FRAME));

	Click(Cell(window.m_Pane, 1));
	Click(Cell(window.m_Pane, 12));
	EXPECT_TRUE(m_Chosen.empty()) << "a placed entry or an empty cell means nobody";
	Click(Cell(window.m_Pane, 3));
	EXPECT_EQ(std::vector<int>({ 3 }), m_Chosen);
	DrawFrame();
	EXPECT_EQ(0, Count(p.x, p.y, 40, 40, FRAME));
	EXPECT_LT(300, Count(p.x + 120, p.y, 40, 40, FRAME));
}

TEST_F(CharaWindowTest, TheStatusWindowsShowTheSheetsTheShortOneDodgesTheMouseAClickClosesTheFullOne)
{
	TCharaStatusWindow window;
	Open(window, 0, 0);
	TCharaInstance leon = Chara("leon");
	leon.PhysicalAttackBonus = 3;
	window.Show(leon);
	EXPECT_EQ(8, window.getX());
	EXPECT_EQ(600 - 8 - window.getHeight(), window.getY());
	DrawFrame("chara_status");
	const TPoint p = At(window.m_Pane);
	ExpectChip(leon, At(window.m_Pane, 122, 0), 0);
	EXPECT_LT(30, Count(p.x + 2, p.y, 40, 13, WHITE)) << "the name";
	EXPECT_EQ(0, Count(p.x + 40, p.y, 80, 13, WHITE));
	EXPECT_LT(10, Count(p.x + 2, p.y + 65, 48, 12, HIGHLIGHT)) << "the raised attack";
	EXPECT_EQ(0, Count(p.x + 54, p.y + 65, 48, 12, HIGHLIGHT));
	MoveMouse(At(window.m_Pane, 80, 50));
	EXPECT_EQ(800 - 8 - window.getWidth(), window.getX());
	MoveMouse(At(window.m_Pane, 80, 50));
	EXPECT_EQ(8, window.getX());
	window.setVisible(false);

	TCharaStatusFullWindow full;
	Open(full, 20, 20);
	full.Show(leon);
	EXPECT_EQ(352 + 4, full.getWidth());
	DrawFrame("chara_status_full");
	const TPoint f = At(full.m_Pane);
	ExpectChip(leon, f, 0);
	ExpectImage(&TMorvalethImage::DrawFace, g_GameMaster.m_Data->GetCharaData(leon.CharaIndex).FaceImage, 96,
		At(full.m_Pane, 256, 0), 0);
	EXPECT_LT(60, Count(f.x + 40, f.y, 60, 17, WHITE)) << "the name in the large glyphs";
	full.Show(Chara("soldier"));
	EXPECT_EQ(256 + 4, full.getWidth()) << "no face, narrower";
	Click(Middle(full));
	EXPECT_FALSE(full.isVisible());
}

TEST_F(CharaWindowTest, TheMoveWindowCarriesChipsAcrossAndReportsTheChoice)
{
	TMorvalethGame& game = *g_GameMaster.m_Game;
	const int areaA = game.GetAreaIndex("A01");
	for (const char* id : { "archer", "wolf", "acolyte", "militia" })
		game.InsertAreaChara(areaA, g_GameMaster.m_Data->GetCharaIndex(id));
	std::vector<TCharaInstance> charasA = game.GetArea(areaA).Charas;
	ASSERT_EQ(6u, charasA.size());
	charasA[1].Actioned = true;
	TCharaMoveWindow window;
	window.SetListener(this);
	window.Setup(areaA, charasA, game.GetAreaIndex("A02"), game.GetArea(game.GetAreaIndex("A02")).Charas);
	Open(window, 150, 60);
	EXPECT_EQ(nullptr, window.GetHoveredChara());
	const TCharaListPane& stationedA = window.m_Panes[MOVE_PANE_STATIONED_A];
	const TCharaListPane& arrivingB = window.m_Panes[MOVE_PANE_ARRIVING_B];
	Click(Cell(stationedA, 2));
	DrawFrame("chara_move");

	const TPoint a = At(stationedA);
	const TPoint b = At(arrivingB);
	ExpectChip(charasA[0], a);
	EXPECT_EQ(40 * 40, Count(a.x + 80, a.y, 40, 40, DARK_PANE)) << "the marked character left its cell";
	ExpectChip(charasA[2], b);
	EXPECT_LT(20, Count(a.x + 2, a.y - 18, 60, 18, WHITE)) << "area A's name";
	EXPECT_LT(20, Count(b.x + 2, b.y - 18, 60, 18, WHITE)) << "area B's name";
	EXPECT_LT(20, Count(window.getX() + 4, window.getY() + 2, 34, 14, WHITE)) << "the title";

	Click(Middle(window.m_AllRightButton));
	std::vector<int> moved;
	window.GetMoveIndices1(moved);
	EXPECT_EQ(std::vector<int>({ 0, 2, 3, 4, 5 }), moved) << "all but the one that acted";
	Click(Cell(arrivingB, 0));
	window.GetMoveIndices1(moved);
	EXPECT_EQ(std::vector<int>({ 0, 3, 4, 5 }), moved) << "the first one marked goes back";
	MoveMouse(At(stationedA, 45, 5));
	ASSERT_NE(nullptr, window.GetHoveredChara());
	EXPECT_EQ(charasA[1].CharaIndex, window.GetHoveredChara()->CharaIndex);
	Click(Middle(window.m_ConfirmButton));
	Click(Middle(window.m_CancelButton));
	EXPECT_EQ(1, m_Confirmed);
	EXPECT_EQ(1, m_Cancelled);
}

TEST_F(CharaWindowTest, TheBattlePanesLineShowsNameRankAndPointsAndABadRankDrawsNoRank)
{
	TCharaInstance sera = Chara("sera");
	sera.Rank = 9;
	m_Screen.Window().BeginFrame();
	DrawCharaHPMP(&m_Screen.Window().Graphics(), 300, 100, sera);
	m_Screen.Window().EndFrame();
	EXPECT_LT(30, Count(302, 102, 26, 13, WHITE)) << "the name";
	EXPECT_EQ(0, Count(302, 116, 48, 13, WHITE)) << "no rank line for rank 9";
	EXPECT_LT(10, Count(302, 130, 48, 13, WHITE)) << "Exp";
	EXPECT_LT(10, Count(352, 116, 66, 26, WHITE)) << "HP and MP";
}
