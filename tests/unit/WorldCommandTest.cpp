// The player's commands on the world map as the windows report them, the hover hint and the map's
// area markers.

#include "unit/WorldFixture.h"

#include "app/GameConfig.h"
#include "app/Random.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"

/// leon is the player; the tests act in leon's turn, which comes first.
class WorldPlayerTest : public WorldTest
{
protected:
	WorldPlayerTest()
	{
		game.GetMaster(leon).Player = true;
		Place("A01", "knight");
		Place("A02", "soldier");
	}

	void StartPlayersTurn()
	{
		Start();
		ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE));
		ASSERT_EQ(leon, Current());
		view.ClearCalls();
	}

	/// The text of the last message shown; empty when none was.
	std::string LastMessage() const
	{
		const std::vector<std::string> messages = view.CallsOf("ShowMessage");
		return messages.empty() ? std::string() : messages.back();
	}
};

TEST_F(WorldPlayerTest, TheHintShowsOnceThePointerRestedLongEnoughAtTheFrameRate)
{
	struct TCase
	{
		int fps;
		int frames;
	};
	const int previous = g_Config.GetIntValue(CONFIG_FPS);
	StartPlayersTurn();
	const point_t a03 = game.GetArea(Area("A03")).Location;
	const point_t a06 = game.GetArea(Area("A06")).Location;
	for (const TCase test : {TCase{60, 2}, TCase{30, 1}, TCase{1, 1}}) {
		SCOPED_TRACE(test.fps);
		g_Config.SetIntValue(CONFIG_FPS, test.fps);
		logic->UpdateHoverText(a06.x, a06.y + 30, true);
		logic->UpdateHoverText(a03.x, a03.y + 30, true);
		view.ClearCalls();
		int frames = 0;
		while (view.CallsOf("ShowHint").empty() && frames < 10) {
			Frame();
			++frames;
		}
		EXPECT_EQ(test.frames, frames);
	}
	const std::string garmName = SampleData().GetMasterData(game.GetMaster(garm).DataIndex).Name;
	EXPECT_EQ("ShowHint 2 " + garmName + "\n(戦力指数 " + std::to_string(game.GetAreaPower(Area("A03")) / 1000) + ")",
		view.CallsOf("ShowHint").back());
	logic->UpdateHoverText(a06.x, a06.y + 30, true);
	Frame();
	Frame();
	EXPECT_EQ("ShowHint 5 中立地帯\n(戦力指数 0)", view.CallsOf("ShowHint").back());
	logic->UpdateHoverText(0, 0, false);
	EXPECT_EQ("HideHint", view.Calls().back());
	g_Config.SetIntValue(CONFIG_FPS, previous);
}

TEST_F(WorldTest, AnAreaIsFoundInsideItsMarkerOnly)
{
	struct TCase
	{
		int dx, dy;
		bool inside;
	};
	const TCase cases[] = {{-18, 30, false}, {-17, 30, true}, {29, 30, true}, {30, 30, false}, {0, 6, false},
		{0, 7, true}, {0, 53, true}, {0, 54, false}};
	Start();
	game.GetArea(Area("A04")).Location = point_t{1000, 1000};
	const point_t a04 = game.GetArea(Area("A04")).Location;
	for (const TCase& test : cases)
		EXPECT_EQ(test.inside ? Area("A04") : -1, logic->GetAreaAt(a04.x + test.dx, a04.y + test.dy))
			<< test.dx << ", " << test.dy;
	// Overlapping markers: the lower index wins, an ignored area is never found.
	game.GetArea(Area("A05")).Location = a04;
	EXPECT_EQ(Area("A04"), logic->GetAreaAt(a04.x, a04.y + 30));
	game.GetArea(Area("A04")).Ignore = true;
	EXPECT_EQ(Area("A05"), logic->GetAreaAt(a04.x, a04.y + 30));
}

TEST_F(WorldPlayerTest, TheAreaButtonsRefuseWhatTheSelectionDoesNotAllow)
{
	struct TCase
	{
		const char* area;
		TAreaButton button;
		int row;
		const char* message;
		int status;
	};
	const TCase cases[] = {
		{"A03", AREA_BUTTON_EMPLOY, 0, "選択エリアが所有エリアではありません。", WORLD_PLAYER_IDLE},
		{"A01", AREA_BUTTON_EMPLOY, -1, "雇用を行うキャラを選択して下さい。", WORLD_PLAYER_IDLE},
		{"A02", AREA_BUTTON_EMPLOY, 0, "エリアの部隊数が20に達しているため雇用できません。", WORLD_PLAYER_IDLE},
		{"A01", AREA_BUTTON_DISMISS, 0, "マスターは解雇できません。", WORLD_PLAYER_IDLE},
		{"A01", AREA_BUTTON_DISMISS, -1, "解雇するキャラを選択して下さい。", WORLD_PLAYER_IDLE},
		{"A03", AREA_BUTTON_DISMISS, 0, "選択エリアが所有エリアではありません。", WORLD_PLAYER_IDLE},
		{"A01", AREA_BUTTON_DISMISS, 1, "を解雇します。", WORLD_DISMISS_QUESTION},
		{"A01", AREA_BUTTON_EMPLOY, 1, "", WORLD_EMPLOY_OPEN},
		{"A01", AREA_BUTTON_MOVE, -1, "", WORLD_PICK_MOVE_DESTINATION},
	};
	FillArea("A02", "soldier", 20);
	StartPlayersTurn();
	view.SetMessageReply(1, BUTTON_CANCEL);
	for (const TCase& test : cases) {
		SCOPED_TRACE(std::string(test.area) + " " + std::to_string(test.button) + " " + std::to_string(test.row));
		view.ClearCalls();
		logic->PressMap(Area(test.area), true);
		logic->PressAreaButton(test.button, test.row);
		EXPECT_NE(std::string::npos, LastMessage().find(test.message)) << LastMessage();
		EXPECT_EQ(test.status, Status());
		// Back to the idle player for the next case.
		logic->CancelEmploy();
		logic->PressMap(-1, false);
		RunUntilStatus(WORLD_PLAYER_IDLE, 5);
	}
}

/// The answer to the dismissal question.
class WorldDismissalTest : public WorldPlayerTest, public ::testing::WithParamInterface<unsigned>
{
};

TEST_P(WorldDismissalTest, HappensOnlyOnConsent)
{
	StartPlayersTurn();
	view.SetMessageReply(2, GetParam());
	logic->PressAreaButton(AREA_BUTTON_DISMISS, 1);
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE, 5));
	const bool consent = GetParam() == BUTTON_OK || GetParam() == BUTTON_YES;
	const std::vector<std::string> expected = consent ? std::vector<std::string>{"leon"}
													  : std::vector<std::string>{"leon", "knight"};
	EXPECT_EQ(expected, Roster("A01"));
}

INSTANTIATE_TEST_SUITE_P(Answer, WorldDismissalTest,
	::testing::Values(unsigned(BUTTON_OK), unsigned(BUTTON_YES), unsigned(BUTTON_NO), unsigned(BUTTON_CANCEL), 0u));

TEST_F(WorldPlayerTest, HiringThroughTheEmployWindowPaysAndFillsTheArea)
{
	StartPlayersTurn();
	logic->PressAreaButton(AREA_BUTTON_EMPLOY, 0);
	ASSERT_EQ(WORLD_EMPLOY_OPEN, Status());
	std::vector<int> candidates;
	game.GetEmployableCharas(Area("A01"), 0, candidates);
	ASSERT_FALSE(candidates.empty());
	logic->ConfirmEmploy(-1);
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(2u, Charas("A01").size());
	logic->PressAreaButton(AREA_BUTTON_EMPLOY, 0);
	logic->ConfirmEmploy(candidates[0]);
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(3u, Charas("A01").size());
}

TEST_F(WorldPlayerTest, AMoveGoesOnlyToANeighbourOfTheSameMaster)
{
	StartPlayersTurn();
	logic->PressAreaButton(AREA_BUTTON_MOVE, -1);
	EXPECT_EQ("移動先のエリアを選んで下さい", view.GuideText());
	for (const char* refused : {"A03", "A05", "A04"}) {
		logic->PressMap(Area(refused), true);
		EXPECT_EQ(WORLD_PICK_MOVE_DESTINATION, Status()) << refused;
	}
	logic->PressMap(-1, false);
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ("", view.GuideText());
	logic->PressAreaButton(AREA_BUTTON_MOVE, -1);
	logic->PressMap(Area("A02"), true);
	ASSERT_EQ(WORLD_MOVE_OPEN, Status());
	EXPECT_EQ(1u, view.CallsOf("ShowMove 0 1").size());
	logic->ConfirmMove({1}, {});
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ((std::vector<std::string>{"leon"}), Roster("A01"));
	EXPECT_EQ(2u, Charas("A02").size());
}

TEST_F(WorldPlayerTest, TheWarWindowTakesATargetAndSourcesAndMarchesOrGivesTheTurnBack)
{
	StartPlayersTurn();
	logic->PressMasterButton(MASTER_BUTTON_WAR);
	ASSERT_EQ(WORLD_PICK_WAR_TARGET, Status());
	logic->PressMap(Area("A02"), true);
	EXPECT_EQ(WORLD_PICK_WAR_TARGET, Status());
	logic->PressMap(Area("A06"), true);
	ASSERT_EQ(WORLD_WAR_OPEN, Status());
	EXPECT_EQ(0xFFFF0000u, view.Highlights().at(Area("A06")));
	logic->PressMap(Area("A01"), true);
	EXPECT_EQ(0u, view.Highlights().count(Area("A01")));
	logic->PressMap(Area("A02"), true);
	EXPECT_EQ(0xFF0000FFu, view.Highlights().at(Area("A02")));
	// A confirmation without an army gives the turn back.
	logic->ConfirmWar({});
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(1, log.CountLines("戦争キャラが未選択"));

	// The village, selected before the war, is shown again once taken, with the controls of its new owner.
	logic->PressMap(Area("A06"), true);
	EXPECT_EQ("ShowArea " + std::to_string(Area("A06")) + " 0", view.CallsOf("ShowArea").back());
	logic->PressMasterButton(MASTER_BUTTON_WAR);
	logic->PressMap(Area("A06"), true);
	logic->ConfirmWar({{Area("A02"), 0}});
	ASSERT_EQ(WORLD_MARCH, Status());
	EXPECT_FALSE(view.IsWindowVisible(WORLD_AREA_WINDOW));
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE, 100));
	EXPECT_EQ(leon, game.GetArea(Area("A06")).Owner);
	EXPECT_TRUE(view.IsWindowVisible(WORLD_AREA_WINDOW));
	EXPECT_TRUE(view.IsWindowVisible(WORLD_MASTER_WINDOW));
	EXPECT_EQ("ShowArea " + std::to_string(Area("A06")) + " 1", view.CallsOf("ShowArea").back());
	EXPECT_EQ(0xFFFFFF00u, view.Highlights().at(Area("A06")));
}

TEST_F(WorldPlayerTest, FoundHeroesAreOfferedOneByOneAndRefusedWhenTheyCannotBeHired)
{
	SeedRandom(7);
	TAreaInstance& a01 = game.GetArea(Area("A01"));
	a01.Operation = OPERATION_SEARCH_HERO;
	a01.OperationEffort = 2000;
	for (const char* hero : {"elwin", "kaya", "mage"})
		game.AddWanderChara(game.CreateCharaInstance(Chara(hero), 0));
	game.GetMaster(leon).Money = 0;
	Start();
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_HERO_OFFERED || Status() == WORLD_PLAYER_IDLE; }));
	const std::size_t wandering = game.GetWanderCharas().size();
	int offers = 0;
	while (Status() == WORLD_HERO_OFFERED && offers < 10) {
		++offers;
		view.ClearCalls();
		logic->PressHeroButton(offers % 2 ? HERO_BUTTON_HIRE : HERO_BUTTON_DECLINE);
		if (offers % 2) {
			EXPECT_NE(std::string::npos, LastMessage().find("軍資金が足りません"));
			EXPECT_EQ(WORLD_MESSAGE, Status());
		}
		RunUntil([this] { return Status() == WORLD_HERO_OFFERED || Status() == WORLD_PLAYER_IDLE; }, 5);
	}
	EXPECT_LE(2, offers);
	EXPECT_EQ(WORLD_PLAYER_IDLE, Status());
	EXPECT_EQ(wandering, game.GetWanderCharas().size());
}

TEST_F(WorldPlayerTest, AFoundHeroCannotBeHiredIntoAFullArea)
{
	SeedRandom(7);
	TAreaInstance& a01 = game.GetArea(Area("A01"));
	a01.Operation = OPERATION_SEARCH_HERO;
	a01.OperationEffort = 2000;
	game.AddWanderChara(game.CreateCharaInstance(Chara("elwin"), 0));
	Start();
	ASSERT_TRUE(RunUntilStatus(WORLD_HERO_OFFERED));
	const std::size_t wandering = game.GetWanderCharas().size();
	FillArea("A01", "soldier", 20);
	logic->PressHeroButton(HERO_BUTTON_HIRE);
	EXPECT_NE(std::string::npos, LastMessage().find("エリアの部隊数が20に達しているため雇用できません。"));
	ASSERT_TRUE(RunUntil([this] {
		logic->PressHeroButton(HERO_BUTTON_DECLINE);
		return Status() == WORLD_PLAYER_IDLE;
	}, 20));
	EXPECT_EQ(20u, Charas("A01").size());
	EXPECT_EQ(wandering, game.GetWanderCharas().size());
}
