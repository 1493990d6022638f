#include "BattleFixture.h"
#include "ModelFixture.h"

#include "battle/CharaRules.h"
#include "battle/EffectPlay.h"
#include "battle/HexGeometry.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"

#include <gtest/gtest.h>
#include <sstream>

namespace
{
const int FRAME_CAP = 5000;
/// Hit points that no exchange of the fixture's attacks takes.
const int STURDY = 999;

/// A battle of computer sides in which the test commits the actions: every chara but the one the test
/// waits for waits where it stands.
class BattleActions : public BattleRun
{
protected:
	TCharaRef Acting() const
	{
		TCharaRef ref;
		logic.GetActiveChara(ref.side, ref.index);
		return ref;
	}

	point_t Cell(int side, int index) { return {Chara(side, index).BattleX, Chara(side, index).BattleY}; }

	/// Runs the battle until the chara chooses its action.
	::testing::AssertionResult TurnOf(const TCharaRef& chara)
	{
		for (int turns = 0; turns < 100; ++turns) {
			if (!RunUntil(STATE_COMPUTER, FRAME_CAP))
				return ::testing::AssertionFailure() << "no chara chooses in state " << logic.GetState();
			const TCharaRef acting = Acting();
			if (acting == chara)
				return ::testing::AssertionSuccess();
			const point_t cell = Cell(acting.side, acting.index);
			if (!logic.SetAction(cell.x, cell.y, ACTION_KIND_WAIT, -1, cell.x, cell.y))
				return ::testing::AssertionFailure() << "a wait was refused";
		}
		return ::testing::AssertionFailure() << "never the turn of " << chara.side << "/" << chara.index;
	}

	/// A free cell next to the one that the acting chara reaches.
	point_t ReachableNextTo(point_t cell)
	{
		const TValueLayer<int> layer = logic.GetMovableLayer();
		for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
			const point_t next = GetAdjacentCell(cell.x, cell.y, k);
			if (layer.Contains(next.x, next.y) && layer.At(next.x, next.y) > 0)
				return next;
		}
		ADD_FAILURE() << "nothing reachable next to (" << cell.x << "," << cell.y << ")";
		return cell;
	}

	/// Moves the acting chara next to the cell and lets it wait there.
	void WaitNextTo(point_t cell)
	{
		const point_t next = ReachableNextTo(cell);
		ASSERT_TRUE(logic.SetAction(next.x, next.y, ACTION_KIND_WAIT, -1, next.x, next.y));
	}

	/// Everything an action could change: the charas, the map's objects, the state and the last target.
	std::string Snapshot()
	{
		std::ostringstream out;
		for (const std::vector<TCharaInstance>& side : sides)
			for (const TCharaInstance& c : side)
				out << c.HP << " " << c.MP << " " << c.BattleX << "," << c.BattleY << " " << c.ActionGauge << " "
					<< c.Fleeing << c.Fled << " " << c.Experience << " " << c.Conditions.size() << "|";
		for (int y = 0; y < map->GetHeight(); ++y)
			for (int x = 0; x < map->GetWidth(); ++x)
				out << map->GetMapObjectType(x, y);
		int x = -1;
		int y = -1;
		out << "|" << logic.GetState() << " " << logic.GetLastTarget(x, y) << " " << x << "," << y;
		return out.str();
	}

	void MakeSturdy(int side, int index)
	{
		Chara(side, index).HPMax = STURDY;
		Chara(side, index).HP = STURDY;
	}
};

// The scout moves next to the guard and attacks it: both strike once, the guard striking back, the
// scout stays where it moved, and its turn is over within the frame.
TEST_F(BattleActions, AMoveThenAnAttackIsOneExchangeOnTheNewCell)
{
	TCapturedLog log;
	Add(0, "guard");
	Add(1, "scout");
	ASSERT_TRUE(Start(BattlePlan()));
	ASSERT_TRUE(TurnOf({1, 0}));
	Chara(1, 0).PhysicalAttack = 400;
	const point_t guard = Cell(0, 0);
	const point_t next = ReachableNextTo(guard);
	std::vector<TEffectPreview> previews;
	ASSERT_TRUE(logic.EvalAction(next.x, next.y, ACTION_KIND_ATTACK, -1, guard.x, guard.y, previews));
	ASSERT_EQ(2u, previews.size()) << "a strike of each";
	EXPECT_EQ((TCharaRef{0, 0}), (TCharaRef{previews[0].side, previews[0].index}));
	EXPECT_EQ((TCharaRef{1, 0}), (TCharaRef{previews[1].side, previews[1].index}));
	const int popups = view.Count("AddPopup");
	ASSERT_TRUE(logic.SetAction(next.x, next.y, ACTION_KIND_ATTACK, -1, guard.x, guard.y));
	EXPECT_EQ(next, Cell(1, 0));
	EXPECT_EQ(STATE_MAIN, logic.GetState());
	EXPECT_EQ(2, view.Count("AddPopup") - popups);
	EXPECT_LT(Chara(0, 0).HP, 40);
	int x = -1;
	int y = -1;
	EXPECT_TRUE(logic.GetLastTarget(x, y));
	EXPECT_EQ(guard, (point_t{x, y}));
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}

// A charge repeats each chara's first attack for sixteen steps each; a chara that cannot strike back
// lets its steps pass, and a charge that fells its target takes the target's cell.
struct TChargeCase
{
	const char* target;
	bool sturdy;
	int strikes;
	bool takesCell;
};

class BattleCharge : public BattleActions, public ::testing::WithParamInterface<TChargeCase>
{
};

TEST_P(BattleCharge, AChargeRunsItsStrikes)
{
	const TChargeCase& c = GetParam();
	TCapturedLog log;
	Add(0, c.target);
	Add(1, "scout");
	// No castle under the defender: a charge cannot go onto a map object.
	TMapPlan plan = BattlePlan();
	plan.rows[5][5] = '.';
	ASSERT_TRUE(Start(plan));
	ASSERT_TRUE(TurnOf({1, 0}));
	WaitNextTo(Cell(0, 0));
	ASSERT_TRUE(TurnOf({1, 0}));
	if (c.sturdy) {
		MakeSturdy(0, 0);
		MakeSturdy(1, 0);
	} else {
		Chara(0, 0).HP = 1;
		Chara(1, 0).PhysicalAttack = 400;
	}
	const point_t target = Cell(0, 0);
	std::vector<TEffectPreview> previews;
	ASSERT_TRUE(logic.EvalAction(Cell(1, 0).x, Cell(1, 0).y, ACTION_KIND_CHARGE, -1, target.x, target.y, previews));
	const int popups = view.Count("AddPopup");
	ASSERT_TRUE(logic.SetAction(Cell(1, 0).x, Cell(1, 0).y, ACTION_KIND_CHARGE, -1, target.x, target.y));
	EXPECT_EQ(c.strikes, view.Count("AddPopup") - popups);
	EXPECT_EQ(c.takesCell, Cell(1, 0) == target);
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}

const TChargeCase CHARGE_CASES[] = {
	{"guard", true, 32, false},
	{"lamb", true, 16, false},
	{"guard", false, 1, true},
};
INSTANTIATE_TEST_SUITE_P(Cases, BattleCharge, ::testing::ValuesIn(CHARGE_CASES));

// An attacker breaks an empty wall with the scenario's wall attack; a defender may not attack one.
TEST_F(BattleActions, AnAttackerBreaksAnEmptyWallAndADefenderMayNot)
{
	TCapturedLog log;
	Add(0, "guard");
	Add(1, "scout");
	TMapPlan plan = BattlePlan();
	plan.rows[3][2] = 'W';
	plan.rows[6][8] = 'W';
	ASSERT_TRUE(Start(plan));
	ASSERT_TRUE(TurnOf({1, 0}));
	const point_t next = ReachableNextTo({2, 3});
	std::vector<TBattleAction> actions;
	logic.GetActionList(next.x, next.y, actions);
	ASSERT_FALSE(actions.empty());
	EXPECT_EQ(ACTION_KIND_ATTACK, actions[0].kind);
	EXPECT_EQ((point_t{2, 3}), (point_t{actions[0].targetX, actions[0].targetY}));
	ASSERT_TRUE(logic.SetAction(next.x, next.y, ACTION_KIND_ATTACK, -1, 2, 3));
	EXPECT_EQ(STATE_EFFECT, logic.GetState());
	Run(1);
	EXPECT_EQ(0, map->GetMapObjectType(2, 3)) << "the wall is broken";
	EXPECT_EQ(MAP_OBJECT_WALL, map->GetMapObjectType(8, 6));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();

	ASSERT_TRUE(TurnOf({0, 0}));
	const point_t byWall = ReachableNextTo({8, 6});
	logic.GetActionList(byWall.x, byWall.y, actions);
	for (const TBattleAction& action : actions)
		EXPECT_NE(ACTION_KIND_ATTACK, action.kind);
	const std::string before = Snapshot();
	EXPECT_FALSE(logic.SetAction(byWall.x, byWall.y, ACTION_KIND_ATTACK, -1, 8, 6));
	EXPECT_EQ(before, Snapshot());
	EXPECT_EQ(1, log.CountLines("SetAction error:攻撃できない座標(8,6)")) << log.Text();
}

// Waiting gives back 200 gauge points where the chara stands and 100 after a move. A chara that moves
// to the edge of the map and flees leaves the battle at the end of the turn; next to an armed enemy it
// may not flee.
TEST_F(BattleActions, AWaitGivesBackMoreWithoutAMoveAndAFleeingCharaLeavesAtTheEndOfTheTurn)
{
	TCapturedLog log;
	Add(0, "guard");
	Add(1, "scout");
	Add(1, "wolf");
	ASSERT_TRUE(Start(BattlePlan()));
	for (int moved = 0; moved < 2; ++moved) {
		ASSERT_TRUE(TurnOf({1, 0}));
		const point_t to = moved ? ReachableNextTo(Cell(1, 0)) : Cell(1, 0);
		const int gauge = Chara(1, 0).ActionGauge;
		ASSERT_TRUE(logic.SetAction(to.x, to.y, ACTION_KIND_WAIT, -1, to.x, to.y));
		EXPECT_EQ(gauge + (moved ? 100 : 200), Chara(1, 0).ActionGauge) << "moved " << moved;
		EXPECT_EQ(to, Cell(1, 0));
	}
	ASSERT_TRUE(TurnOf({1, 0}));
	const point_t guard = Cell(0, 0);
	const point_t next = ReachableNextTo(guard);
	std::vector<TBattleAction> actions;
	logic.GetActionList(next.x, next.y, actions);
	for (const TBattleAction& action : actions)
		EXPECT_NE(ACTION_KIND_RUNAWAY, action.kind) << "next to the guard";
	const point_t edge = {0, 1};
	ASSERT_GT(logic.GetMovableLayer().At(edge.x, edge.y), 0);
	logic.GetActionList(edge.x, edge.y, actions);
	ASSERT_FALSE(actions.empty());
	EXPECT_EQ(ACTION_KIND_RUNAWAY, actions.back().kind);
	ASSERT_TRUE(logic.SetAction(edge.x, edge.y, ACTION_KIND_RUNAWAY, -1, edge.x, edge.y));
	EXPECT_TRUE(Chara(1, 0).Fleeing);
	EXPECT_EQ(edge, Cell(1, 0));
	for (int frames = 0; frames < FRAME_CAP && logic.IsInBattle() && !Chara(1, 0).Fled && !HasFailure(); ++frames)
		Run(1);
	EXPECT_TRUE(Chara(1, 0).Fled);
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}

// Every action a script may set with bad arguments is refused with one Error and changes nothing,
// previewed or committed.
struct TBadAction
{
	const char* what;
	/// Where the scout acts from: its own cell, a cell next to the guard, or the guard's cell.
	enum { OWN, NEXT_TO_GUARD, ON_GUARD } from;
	int kind;
	const char* special;
	/// The target: the guard's cell, the lamb's, the scout's own, or the cell given.
	enum { GUARD, LAMB, SELF, CELL } target;
	point_t cell;
	const char* error;
};

class BattleBadAction : public BattleActions, public ::testing::WithParamInterface<TBadAction>
{
};

TEST_P(BattleBadAction, IsRefusedAndChangesNothing)
{
	const TBadAction& c = GetParam();
	Add(0, "guard");
	Add(1, "scout");
	Add(1, "lamb");
	TMapPlan plan = BattlePlan();
	plan.rows[3][2] = 'W';
	ASSERT_TRUE(Start(plan));
	ASSERT_TRUE(TurnOf({1, 0}));
	const point_t own = Cell(1, 0);
	const point_t target = c.target == TBadAction::GUARD ? Cell(0, 0)
		: c.target == TBadAction::LAMB					 ? Cell(1, 1)
		: c.target == TBadAction::SELF					 ? own
														 : c.cell;
	const point_t from = c.from == TBadAction::OWN ? own
		: c.from == TBadAction::NEXT_TO_GUARD		? ReachableNextTo(Cell(0, 0))
													: Cell(0, 0);
	const int special = c.special ? SpecialIndexOf(c.special) : -1;
	const std::string before = Snapshot();
	for (const char* method : {"EvalAction", "SetAction"}) {
		TCapturedLog log;
		std::vector<TEffectPreview> previews;
		const bool accepted = std::string(method) == "EvalAction"
			? logic.EvalAction(from.x, from.y, c.kind, special, target.x, target.y, previews)
			: logic.SetAction(from.x, from.y, c.kind, special, target.x, target.y);
		EXPECT_FALSE(accepted) << c.what << ", " << method;
		EXPECT_TRUE(previews.empty()) << c.what << ", " << method;
		EXPECT_EQ(1, CountErrors(log)) << c.what << ", " << method << "\n" << log.Text();
		EXPECT_EQ(1, log.CountLines(std::string("TBattleMapLogic::") + method + " error:"))
			<< c.what << ", " << method << "\n" << log.Text();
		EXPECT_EQ(1, log.CountLines(c.error)) << c.what << ", " << method << "\n" << log.Text();
		EXPECT_EQ(before, Snapshot()) << c.what << ", " << method;
	}
}

const TBadAction BAD_ACTIONS[] = {
	{"a move onto another chara", TBadAction::ON_GUARD, ACTION_KIND_WAIT, nullptr, TBadAction::SELF, {}, "移動できない座標"},
	{"a charge after a move", TBadAction::NEXT_TO_GUARD, ACTION_KIND_CHARGE, nullptr, TBadAction::GUARD, {},
		"移動後は不可能な操作"},
	{"a magic after a move", TBadAction::NEXT_TO_GUARD, ACTION_KIND_SPECIAL, "smash", TBadAction::SELF, {},
		"移動後は不可能な操作"},
	{"an attack out of reach", TBadAction::OWN, ACTION_KIND_ATTACK, nullptr, TBadAction::GUARD, {}, "攻撃できない座標"},
	{"an attack on a friend", TBadAction::OWN, ACTION_KIND_ATTACK, nullptr, TBadAction::LAMB, {}, "攻撃できない座標"},
	{"an attack on an empty plain", TBadAction::OWN, ACTION_KIND_ATTACK, nullptr, TBadAction::CELL, {0, 1},
		"攻撃できない座標(0,1)"},
	{"a charge at a wall", TBadAction::OWN, ACTION_KIND_CHARGE, nullptr, TBadAction::CELL, {2, 3},
		"突撃できない座標(2,3)"},
	{"a special the chara does not have", TBadAction::OWN, ACTION_KIND_SPECIAL, "heal", TBadAction::SELF, {},
		"使えない特殊能力"},
	{"a flight next to an armed enemy", TBadAction::NEXT_TO_GUARD, ACTION_KIND_RUNAWAY, nullptr, TBadAction::SELF, {},
		"逃走できません"},
	{"an unknown kind", TBadAction::OWN, 7, nullptr, TBadAction::SELF, {}, "行動タイプ 7 は使えません"},
};
INSTANTIATE_TEST_SUITE_P(Cases, BattleBadAction, ::testing::ValuesIn(BAD_ACTIONS));

// When the cells of one use strike and when it ends, for each way of playing a special: nothing struck
// is ever planned before the first frame or after the end.
struct TScheduleCase
{
	int type;
	int frames;
	int unit;
	int divisor;
	int radius;
	std::vector<int> distances;
	std::vector<int> strikes;
	int end;
};

TEST(EffectSchedule, EveryWayOfPlayingStrikesEveryCellBeforeTheEnd)
{
	const TScheduleCase cases[] = {
		{ANIMATION_NONE, 4, 3, 3, 2, {0, 32, 64}, {0, 0, 0}, 0},
		{ANIMATION_CHIP, 4, 3, 3, 2, {0, 32, 64}, {11, 11, 11}, 12},
		{ANIMATION_CENTER, 4, 3, 3, 2, {0, 32}, {11, 11}, 12},
		{ANIMATION_SCREENCENTER, 1, 1, 1, 0, {0}, {0}, 1},
		{ANIMATION_STREAM, 4, 2, 2, 3, {32, 64, 96}, {7, 9, 11}, 14},
		{ANIMATION_STREAM, 2, 1, 1, 0, {32, 64, 96}, {1, 2, 3}, 3},
		{ANIMATION_SHOT, 4, 2, 2, 2, {32, 64, 100}, {3, 7, 11}, 11},
		{ANIMATION_SHOT, 4, 2, 99, 2, {0, 5}, {0, 9}, 9},
		{ANIMATION_CHIP, 0, 0, 1, 2, {0}, {0}, 1},
	};
	for (const TScheduleCase& c : cases) {
		const TEffectSchedule schedule = ScheduleEffect(c.type, static_cast<int>(c.distances.size()), c.frames, c.unit,
			c.divisor, c.radius, c.distances);
		EXPECT_EQ(c.strikes, schedule.strikes) << "type " << c.type;
		EXPECT_EQ(c.end, schedule.end) << "type " << c.type;
		for (int strike : schedule.strikes) {
			EXPECT_GE(strike, 0);
			EXPECT_LE(strike, schedule.end);
		}
	}
}
}

/// The player commands brom's wolf (placed on (1,0)) against a guard at the castle on (3,2), on a map with walls.
class BattlePlayerActions : public BattleActions
{
protected:
	void StartCommanding()
	{
		game.GetMaster(brom).Player = true;
		Add(0, "guard");
		Add(1, "wolf");
		TMapPlan plan = BattlePlan();
		plan.rows[5][5] = '.';
		plan.rows[2][3] = 'K';
		plan.rows[3][8] = 'W';
		plan.rows[7][1] = 'W';
		ASSERT_FALSE(Start(plan)) << "the player's battle is watched";
		ASSERT_TRUE(RunUntil(STATE_PLAYER_PLACING, 10));
		logic.MapPressed(1, 0, true);
		ASSERT_TRUE(RunUntil(STATE_MAIN, 10));
		Chara(1, 0).ActionGauge = 500;
		logic.DoLogic();
		ASSERT_EQ(STATE_COMMAND, logic.GetState());
	}

	/// Frames until the main step comes back; false at the cap.
	bool PlayOut()
	{
		for (int frame = 0; frame < FRAME_CAP; ++frame) {
			if (logic.GetState() == STATE_MAIN)
				return true;
			logic.DoLogic();
			view.Tick();
		}
		return false;
	}
};

// The player moves the wolf next to the guard, chooses to attack, changes its mind with the right
// button, then strikes the guard: the exchange is played frame by frame and the turn ends.
TEST_F(BattlePlayerActions, ThePlayerMovesThenAttacksThroughTheBarAndTheMap)
{
	StartCommanding();
	const point_t guard = Cell(0, 0);
	const point_t next = ReachableNextTo(guard);
	logic.CommandPressed(COMMAND_MOVE);
	logic.MapPressed(next.x, next.y, true);
	for (int frame = 0; frame < FRAME_CAP && logic.GetState() == STATE_MOVING; ++frame)
		logic.DoLogic();
	ASSERT_EQ(STATE_COMMAND_MOVED, logic.GetState());
	ASSERT_TRUE(view.m_Menu.enabled[COMMAND_ATTACK]);
	EXPECT_FALSE(view.m_Menu.enabled[COMMAND_CHARGE]) << "no charge after a move";
	logic.CommandPressed(COMMAND_ATTACK);
	ASSERT_EQ(STATE_CHOOSE_ATTACK, logic.GetState());
	logic.MapPressed(0, 7, true);
	EXPECT_EQ(STATE_CHOOSE_ATTACK, logic.GetState()) << "a shaded cell is no choice";
	logic.MapPressed(guard.x, guard.y, false);
	EXPECT_EQ(STATE_COMMAND_MOVED, logic.GetState());
	EXPECT_TRUE(view.m_CommandBarVisible);
	logic.CommandPressed(COMMAND_ATTACK);
	logic.MapPressed(next.x, next.y, true);
	EXPECT_EQ(STATE_CHOOSE_ATTACK, logic.GetState()) << "the wolf does not attack itself";
	const int popups = view.Count("AddPopup");
	logic.MapPressed(guard.x, guard.y, true);
	ASSERT_EQ(STATE_ATTACKING, logic.GetState());
	EXPECT_FALSE(view.m_CommandBarVisible);
	ASSERT_TRUE(PlayOut());
	EXPECT_EQ(2, view.Count("AddPopup") - popups) << "the wolf strikes, the guard strikes back";
	EXPECT_TRUE(LayersAgree(logic.GetField()));
}

// The magic window's choice is used at once when it has no point of aim: the storm breaks every wall and
// counts as the side's one use of it in this battle, after which neither its repeat nor the window casts it.
TEST_F(BattlePlayerActions, AMagicChosenInTheWindowIsCastAndCountedOnce)
{
	TCapturedLog log;
	StartCommanding();
	ASSERT_TRUE(view.m_Menu.enabled[COMMAND_MAGIC]);
	logic.CommandPressed(COMMAND_MAGIC);
	ASSERT_EQ(STATE_CHOOSE_MAGIC, logic.GetState());
	EXPECT_EQ(1, view.Count("ShowMagicWindow"));
	logic.MagicChosen(-1);
	EXPECT_EQ(STATE_COMMAND, logic.GetState()) << "no magic chosen";
	logic.CommandPressed(COMMAND_MAGIC);
	logic.MagicChosen(SpecialIndexOf("smash"));
	ASSERT_EQ(STATE_EFFECT, logic.GetState());
	ASSERT_TRUE(PlayOut());
	EXPECT_EQ(0, map->GetMapObjectType(8, 3));
	EXPECT_EQ(0, map->GetMapObjectType(1, 7));
	for (int turn = 0; turn < 100 && logic.GetState() != STATE_COMMAND; ++turn) {
		Chara(1, 0).ActionGauge = 500;
		Run(1);
	}
	ASSERT_EQ(STATE_COMMAND, logic.GetState());
	EXPECT_EQ("再実行：smash", view.m_Menu.labels[COMMAND_REPEAT_OWN]);
	EXPECT_FALSE(view.m_Menu.enabled[COMMAND_REPEAT_OWN]) << "the storm is spent for this battle";
	logic.CommandPressed(COMMAND_MAGIC);
	logic.MagicChosen(SpecialIndexOf("smash"));
	EXPECT_EQ(STATE_COMMAND, logic.GetState()) << "a spent magic is not cast";
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}
