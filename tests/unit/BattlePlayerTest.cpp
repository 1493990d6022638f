#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "model/MorvalethData.h"

#include <SDL/SDL_keysym.h>
#include <gtest/gtest.h>

namespace
{
const int FRAME_CAP = 5000;

/// The player plays brom, the attackers: a wolf and brom himself, both of brom's race, placed on
/// (1,0) and (5,0); the defenders are a guard at their castle.
class BattlePlayer : public BattleRun
{
protected:
	BattlePlayer() : m_WaitKey(g_Config.GetShortcut(SHORTCUT_WAIT)) {}
	~BattlePlayer() override { g_Config.SetShortcut(SHORTCUT_WAIT, m_WaitKey); }

	void StartPlaced()
	{
		game.GetMaster(brom).Player = true;
		Add(0, "guard");
		Add(1, "wolf");
		Add(1, "brom");
		ASSERT_FALSE(Start(BattlePlan()));
		ASSERT_TRUE(RunUntil(STATE_PLAYER_PLACING, 10));
		logic.MapPressed(1, 0, true);
		logic.MapPressed(5, 0, true);
		ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
	}

	/// Gives the chara a full gauge and runs the main step that gives it its turn.
	void GiveTurn(int index)
	{
		Chara(1, index).ActionGauge = 500;
		logic.DoLogic();
	}

	point_t Cell(int side, int index) { return {Chara(side, index).BattleX, Chara(side, index).BattleY}; }

private:
	int m_WaitKey;
};

// The bar offers the wolf what it may do; the player moves it two cells, watches it walk, takes the
// move back and chooses its own cell.
TEST_F(BattlePlayer, TheCommandsOfAMoveThatIsTakenBack)
{
	StartPlaced();
	GiveTurn(0);
	ASSERT_EQ(STATE_COMMAND, logic.GetState());
	const TCommandMenu& menu = view.m_Menu;
	EXPECT_EQ("再実行：なし", menu.labels[COMMAND_REPEAT_OWN]);
	const bool offered[COMMAND_COUNT] = {true, true, false, true, false, false, false, false, true};
	for (int i = 0; i < COMMAND_COUNT; ++i)
		EXPECT_EQ(offered[i], menu.enabled[i]) << menu.labels[i];
	EXPECT_EQ("wolfに命令を", view.m_StatusLine);
	logic.CommandPressed(COMMAND_ATTACK);
	EXPECT_EQ(STATE_COMMAND, logic.GetState()) << "a disabled command does nothing";
	const point_t start = Cell(1, 0);
	logic.CommandPressed(COMMAND_MOVE);
	EXPECT_EQ(STATE_CHOOSE_MOVE, logic.GetState());
	EXPECT_FALSE(view.m_CommandBarVisible);
	logic.MapPressed(9, 7, true);
	EXPECT_EQ(STATE_CHOOSE_MOVE, logic.GetState()) << "out of reach";
	const point_t target = {start.x + 2, start.y};
	logic.MapPressed(target.x, target.y, true);
	ASSERT_EQ(STATE_MOVING, logic.GetState());
	// Speed 3 takes 3 frames a cell.
	const int sprites = view.Count("SetSprite ");
	for (int frame = 1; frame < 6; ++frame) {
		logic.DoLogic();
		EXPECT_EQ(STATE_MOVING, logic.GetState()) << "frame " << frame;
	}
	EXPECT_EQ(5, view.Count("SetSprite ") - sprites);
	// The wolf (slot 1, after the guard) goes a third and two thirds of the way to each next cell.
	EXPECT_EQ(1, view.Count("SetSprite 1 (1,0) (2,0) 85"));
	EXPECT_EQ(1, view.Count("SetSprite 1 (2,0) (3,0) 170"));
	logic.DoLogic();
	ASSERT_EQ(STATE_COMMAND_MOVED, logic.GetState());
	EXPECT_EQ(target, Cell(1, 0));
	EXPECT_FALSE(view.m_Menu.enabled[COMMAND_MOVE]);
	EXPECT_FALSE(view.m_Menu.enabled[COMMAND_MAGIC]);
	EXPECT_TRUE(LayersAgree(logic.GetField()));

	logic.MapPressed(0, 0, false);
	EXPECT_EQ(STATE_COMMAND, logic.GetState());
	EXPECT_EQ(start, Cell(1, 0));
	EXPECT_TRUE(view.m_Menu.enabled[COMMAND_MOVE]);
	EXPECT_TRUE(LayersAgree(logic.GetField()));

	// Choosing its own cell moves the chara nowhere and offers the commands again.
	logic.CommandPressed(COMMAND_MOVE);
	logic.MapPressed(start.x, start.y, true);
	EXPECT_EQ(STATE_COMMAND, logic.GetState());
	EXPECT_TRUE(view.m_CommandBarVisible);
}

// The bottom pane shows the wolf as its turn begins, any chara the pointer rests on while the player
// chooses, and the wolf again over an empty cell.
TEST_F(BattlePlayer, TheBottomPaneShowsTheCharaUnderThePointer)
{
	StartPlaced();
	GiveTurn(0);
	ASSERT_TRUE(view.m_BottomCharaShown);
	EXPECT_EQ(CharaIndexOf("wolf"), view.m_BottomChara.CharaIndex);
	const point_t guard = Cell(0, 0);
	const point_t brom = Cell(1, 1);
	const struct
	{
		point_t cell;
		const char* shown;
		int side;
	} hovers[] = {{guard, "guard", 0}, {{9, 7}, "wolf", 1}, {brom, "brom", 1}};
	// While the commands are up, then while a cell to move to is chosen.
	const int commands[] = {-1, COMMAND_MOVE};
	for (int command : commands) {
		if (command >= 0)
			logic.CommandPressed(command);
		for (const auto& hover : hovers) {
			logic.MapHovered(hover.cell.x, hover.cell.y);
			ASSERT_TRUE(view.m_BottomCharaShown);
			EXPECT_EQ(CharaIndexOf(hover.shown), view.m_BottomChara.CharaIndex) << hover.shown;
			EXPECT_EQ(hover.side, view.m_BottomSide) << hover.shown;
		}
	}
	logic.MapPressed(0, 0, false);
	logic.CommandPressed(COMMAND_WAIT);
	EXPECT_FALSE(view.m_BottomCharaShown);
	logic.MapHovered(guard.x, guard.y);
	EXPECT_FALSE(view.m_BottomCharaShown) << "nobody is being commanded";
}

// While the settings window is open the battle waits behind it: a shortcut key stays in the queue for
// the window, and neither F1, F2, a command button nor a press on the map acts.
TEST_F(BattlePlayer, AShortcutKeyPressesItsCommandUnlessTheSettingsAreOpen)
{
	StartPlaced();
	GiveTurn(0);
	g_Config.SetShortcut(SHORTCUT_WAIT, SDLK_w);
	g_GameMaster.PushKey(SDLK_w);
	view.m_ConfigVisible = true;
	logic.DoLogic();
	EXPECT_EQ(STATE_COMMAND, logic.GetState());
	int key = 0;
	EXPECT_TRUE(g_GameMaster.PeekKey(key)) << "the key waits in the queue";
	logic.KeyPressed(SDLK_F1);
	logic.KeyPressed(SDLK_F2);
	logic.CommandPressed(COMMAND_WAIT);
	logic.CommandPressed(COMMAND_MOVE);
	logic.MapPressed(Cell(0, 0).x, Cell(0, 0).y, true);
	EXPECT_EQ(STATE_COMMAND, logic.GetState());
	EXPECT_TRUE(view.m_CommandBarVisible);
	EXPECT_EQ(0, view.Count("ShowCharaList"));
	EXPECT_EQ(0, view.Count("ShowFullStatus"));
	view.m_ConfigVisible = false;
	logic.DoLogic();
	EXPECT_EQ(STATE_MAIN, logic.GetState());
	EXPECT_EQ(200, Chara(1, 0).ActionGauge) << "a wait without a move gives back 200";
	EXPECT_FALSE(g_GameMaster.PeekKey(key));
}

TEST_F(BattlePlayer, F2HandsTheCharaToItsSidesScriptAndF1ShowsTheList)
{
	StartPlaced();
	logic.KeyPressed(SDLK_F2);
	EXPECT_EQ(STATE_MAIN, logic.GetState()) << "F2 only while choosing a command";
	GiveTurn(1);
	ASSERT_EQ(STATE_COMMAND, logic.GetState()) << "the master obeys";
	logic.KeyPressed(SDLK_F2);
	EXPECT_EQ(STATE_COMPUTER, logic.GetState());
	EXPECT_FALSE(view.m_CommandBarVisible);
	logic.KeyPressed(SDLK_F1);
	EXPECT_EQ(1, view.Count("ShowCharaList 1"));
}

// A wish to run away, answered by the side's script, keeps the chara from the player: no bar, and its
// turn is spent.
TEST_F(BattlePlayer, AWishToRunAwaySkipsTheCommandBar)
{
	WriteScript("battlecom.lua", "function on_battle_progress() end\n"
								 "function check_wish_runaway() return true end\n"
								 "function on_chara_action() end\n");
	StartPlaced();
	GiveTurn(0);
	EXPECT_EQ(STATE_MAIN, logic.GetState());
	EXPECT_EQ(0, Chara(1, 0).ActionGauge);
	EXPECT_EQ(0, view.Count("ShowCommandBar"));
}

/// Which battles are shown, and at which speed.
struct TWatchCase
{
	const char* name;
	std::vector<int> switches;
	std::vector<const char*> defenders;
	std::vector<const char*> attackers;
	bool neutralDefenders;
	bool player;
	bool watched;
	int speed;
};

class BattleWatch : public BattleRun, public ::testing::WithParamInterface<TWatchCase>
{
};

TEST_P(BattleWatch, TheSettingsAndTheBattleDecideWhetherItIsShown)
{
	const TWatchCase& c = GetParam();
	g_Config.SetIntValue(CONFIG_ANIMATION_SPEED, 4);
	for (int s : c.switches)
		g_Config.SetBoolValue(s, true);
	if (c.neutralDefenders)
		masters = {-1, brom};
	game.GetMaster(brom).Player = c.player;
	for (const char* id : c.defenders)
		Add(0, id);
	for (const char* id : c.attackers)
		Add(1, id);
	EXPECT_EQ(!c.watched, Start(BattlePlan()));
	EXPECT_EQ(c.watched, logic.IsWatching());
	EXPECT_EQ(c.watched, view.m_MapWindowVisible);
	EXPECT_EQ(c.speed, logic.GetSpeedLevel());
	const int framesPerCell[] = {1, 2, 3, 4, 8};
	const int attackFrames[] = {2, 4, 8, 16, 32};
	EXPECT_EQ(framesPerCell[c.speed - 1], logic.GetFramesPerCell());
	EXPECT_EQ(attackFrames[c.speed - 1], logic.GetAttackFrames());
	if (c.watched && !c.player) {
		logic.StopWatching();
		EXPECT_FALSE(logic.IsWatching());
		EXPECT_FALSE(view.m_MapWindowVisible);
		logic.UpdateSpeed();
		EXPECT_EQ(1, logic.GetSpeedLevel());
	}
}

const std::vector<const char*> SMALL = {"guard"};
const std::vector<const char*> LARGE = {"guard", "guard", "guard", "guard", "guard"};
const TWatchCase WATCH_CASES[] = {
	{"nothing set", {}, SMALL, {"scout"}, false, false, false, 1},
	{"a player's battle always", {}, SMALL, {"scout"}, false, true, true, 4},
	{"watching on", {SWITCH_WATCH_USE}, SMALL, {"scout"}, false, false, true, 4},
	{"at full speed", {SWITCH_WATCH_USE, SWITCH_WATCH_MAX_SPEED}, SMALL, {"scout"}, false, false, true, 1},
	{"a player's battle ignores full speed", {SWITCH_WATCH_USE, SWITCH_WATCH_MAX_SPEED}, SMALL, {"scout"}, false, true,
		true, 4},
	{"only large or with a master: small", {SWITCH_WATCH_USE, SWITCH_WATCH_ONLY_LARGE, SWITCH_WATCH_ONLY_MASTER},
		SMALL, {"scout"}, false, false, false, 1},
	{"only large or with a master: large", {SWITCH_WATCH_USE, SWITCH_WATCH_ONLY_LARGE, SWITCH_WATCH_ONLY_MASTER},
		LARGE, {"scout"}, false, false, true, 4},
	{"only large or with a master: a master", {SWITCH_WATCH_USE, SWITCH_WATCH_ONLY_LARGE, SWITCH_WATCH_ONLY_MASTER},
		SMALL, {"brom"}, false, false, true, 4},
	{"only large, any master: small", {SWITCH_WATCH_USE, SWITCH_WATCH_ONLY_LARGE}, SMALL, {"scout"}, false, false,
		true, 4},
	{"no neutral side", {SWITCH_WATCH_USE, SWITCH_WATCH_NO_NEUTRAL}, SMALL, {"scout"}, true, false, false, 1},
};

INSTANTIATE_TEST_SUITE_P(Cases, BattleWatch, ::testing::ValuesIn(WATCH_CASES));

/// Which music a shown battle plays: masters alda (battle 11, own battle 12) and brom (battle 21 or none,
/// own battle 22), the area's music 30.
struct TMusicCase
{
	const char* name;
	std::vector<const char*> defenders;
	std::vector<const char*> attackers;
	bool bromBattleMusic;
	bool musicOn;
	const char* played;
};

/// The fixture's database with the masters' music, brom's battle music given or not.
const TMorvalethData& MusicData(bool bromBattleMusic)
{
	static TMorvalethData withBattleMusic;
	static TMorvalethData without;
	TMorvalethData& data = bromBattleMusic ? withBattleMusic : without;
	if (data.GetMasterCount() == 0) {
		data = BattleData();
		data.SetMasterMusicIndex(data.GetMasterIndex("alda"), 10, 11, 12);
		data.SetMasterMusicIndex(data.GetMasterIndex("brom"), 20, bromBattleMusic ? 21 : -1, 22);
	}
	return data;
}

class BattleMusic : public BattleRun, public ::testing::WithParamInterface<TMusicCase>
{
protected:
	BattleMusic() : BattleRun(MusicData(GetParam().bromBattleMusic)), m_Music(g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED))
	{
	}
	~BattleMusic() override { g_Config.SetBoolValue(SWITCH_MUSIC_ENABLED, m_Music); }

private:
	bool m_Music;
};

TEST_P(BattleMusic, TheMastersAndTheStrengthChooseTheMusic)
{
	const TMusicCase& c = GetParam();
	game.SetAreaMusicIndex(0, 30);
	g_Config.SetBoolValue(SWITCH_MUSIC_ENABLED, c.musicOn);
	g_Config.SetBoolValue(SWITCH_WATCH_USE, true);
	for (const char* id : c.defenders)
		Add(0, id);
	for (const char* id : c.attackers)
		Add(1, id);
	EXPECT_FALSE(Start(BattlePlan()));
	const int plays = view.Count("PlayMusic") + view.Count("PlayCommonMusic");
	if (c.played[0] == '\0') {
		EXPECT_EQ(0, plays);
		return;
	}
	EXPECT_EQ(1, plays);
	EXPECT_EQ(1, view.Count(c.played));
}

const std::vector<const char*> TEN_GUARDS(10, "guard");
const TMusicCase MUSIC_CASES[] = {
	{"the attacking master fights", {"guard"}, {"brom"}, true, true, "PlayMusic 22"},
	{"both masters fight: the last side's", {"alda"}, {"brom"}, true, true, "PlayMusic 22"},
	{"the defending master fights", {"alda"}, {"scout"}, true, true, "PlayMusic 12"},
	{"no master: the last side's battle music", {"guard"}, {"scout"}, true, true, "PlayMusic 21"},
	{"none of its own: the area's", {"guard"}, {"scout"}, false, true, "PlayMusic 30"},
	{"none of its own, strong sides: the decisive music", TEN_GUARDS, {"scout"}, false, true, "PlayCommonMusic 1"},
	{"music off", {"guard"}, {"brom"}, true, false, ""},
};

INSTANTIATE_TEST_SUITE_P(Cases, BattleMusic, ::testing::ValuesIn(MUSIC_CASES));
}
