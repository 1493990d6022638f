#ifndef MORVALETH_TESTS_UNIT_BATTLEFIXTURE_H
#define MORVALETH_TESTS_UNIT_BATTLEFIXTURE_H

#include "battle/BattleField.h"
#include "battle/BattleMap.h"
#include "battle/BattleMapLogic.h"
#include "battle/RecordingBattleView.h"
#include "model/MorvalethGame.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <memory>
#include <boost/shared_ptr.hpp>
#include <string>
#include <vector>

class TMorvalethData;

/// A small scenario database written for the battle tests, loaded once:
///
/// - grounds: 0 plain, 1 forest, 2 hill; objects 1 city, 2 wall, 3 road, 4 castle;
/// - move types: "walk" (plain 2, forest 3, hill 4, city 2, wall 5, road 1, castle 2),
///   "fly" (1 everywhere), "sink" (hill -1, else as walk);
/// - attributes by type: "cut" Attack, "mend" Boost, "crash" CrashWall, "call" Summon, "raise" Revive, "null" None;
/// - specials: "blade" (cut), "heal" (mend), "smash" (crash), "summon" (call), "revive" (raise),
///   "nothing" (null), "tame" (cut, aimed at the target group "beasts"), "prayer" (mend, Me),
///   "quake" (cut, every cell below height 1);
/// - for every system effect from Poison on, an attribute and a special "fx" + its keyword ("fxPoison", ...;
///   ChangeResistance makes cut strong, ChangeMoveType gives fly, Summon calls a wolf), the Revive ones by
///   the rules "same" (fxRevive), "hire" (fxReviveHire) and "list" of a wolf (fxReviveList, enemy dead);
///   "fxReviveHireFoe" (raise) brings the enemy dead back by the rule "hire";
/// - masters "alda" and "brom", whose characters are masters;
/// - characters: alda (human master, walk 2, speed 10), brom (beast master, walk 2, speed 20),
///   guard (human, walk 2, speed 0, DeadMessage), lamb (human, walk 2, no attack), scout (human, fly 4,
///   speed 100), squire (human, a second attack of fxPoison at power 20, becomes a guard at its class change,
///   employs lambs), wolf (beast, walk 3, speed 50, target group "beasts"), tamer (human, commands beasts),
///   mole (human, sink 2); mourner, martyr and avenger (human, walk 2, speed 0) run the battle script's
///   "mourn" when a chara of their side dies, use "prayer" (a heal of themselves for 5 MP, allowed by the
///   battle script's "may_pray") when they die, and run "avenge" when an enemy dies.
const TMorvalethData& BattleData();

int CharaIndexOf(const std::string& id);
int SpecialIndexOf(const std::string& id);
int MoveTypeOf(const std::string& id);

/// A battle map written as rows of letters, one per cell: '.' plain, 'f' forest, 'h' hill,
/// 'c' city, 'W' wall, 'r' road, 'K' castle (objects stand on plain).
struct TMapPlan
{
	std::vector<std::string> rows;
	/// Digits of the heights, row by row; all 0 when empty.
	std::vector<std::string> heights;
	/// Neighbouring areas (by area index) and their start points.
	std::vector<std::pair<int, std::vector<point_t>>> startPoints;
};

/// Builds the map of a plan, every object standing and the map types built; null after a load failure.
std::unique_ptr<TBattleMap> BuildMap(const TMapPlan& plan);

/// A plain map of width x height.
TMapPlan PlainPlan(int width, int height);

/// Start points for a neighbour: the first n cells of the rows from y, left to right, skipping the half cells.
std::vector<point_t> RowPoints(int width, int y, int n);

/// A battlefield on a built map with two sides of charas made on the fixture database.
class TFieldBoard
{
public:
	explicit TFieldBoard(const TMapPlan& plan);

	/// Adds a chara of the character to the side; when x is not -1, it stands on (x, y). Its index in the side.
	int Add(int side, const std::string& chara, int x = -1, int y = -1);
	TCharaInstance& Chara(int side, int index) { return sides[side][index]; }

	TMorvalethGame game;
	std::unique_ptr<TBattleMap> map;
	std::vector<std::vector<TCharaInstance>> sides;
	TBattleField field;
};

/// The side and chara layers agree with every chara standing on the map, and nothing else stands.
::testing::AssertionResult LayersAgree(const TBattleField& field);

#endif

/// A battle between two computer sides run through the controller with a recording view:
/// defenders of master alda (side 0) in area 0, attackers of master brom (side 1) from area 2.
/// The scripts of the sides only wait. Area 1, alda's neighbour, has room for 20 fleeing defenders.
class BattleRun : public ::testing::Test
{
protected:
	/// A battle over the database, the fixture's by default.
	explicit BattleRun(const TMorvalethData& data = BattleData());
	~BattleRun() override;

	/// Replaces one of the battle's scripts; an empty text removes the file.
	void WriteScript(const std::string& name, const std::string& text);
	/// Adds a chara to a side; attackers come from area 2.
	int Add(int side, const std::string& chara, int source = -2);
	/// Starts the battle on the plan's map.
	bool Start(const TMapPlan& plan);
	/// Runs frames, checking the invariants after each, until the battle is over or the cap is reached; the frames run.
	int Run(int cap);
	/// Runs frames until the state is reached or the cap; true when it was reached.
	bool RunUntil(int state, int cap);
	/// The invariants of a battle: layers, hit points, turn.
	void CheckInvariants() const;
	TCharaInstance& Chara(int side, int index) { return sides[side][index]; }

	static constexpr int alda = 0;
	static constexpr int brom = 1;
	TTempDir scenario;
	TMorvalethGame game;
	TRecordingBattleView view{3};
	TBattleMapLogic logic;
	std::unique_ptr<TBattleMap> map;
	std::vector<std::vector<TCharaInstance>> sides{2};
	std::vector<std::vector<int>> sources{2};
	std::vector<int> masters{alda, brom};

private:
	boost::shared_ptr<TMorvalethData> m_Data;
	std::string m_ScenarioDir;
	std::string m_RootDir;
	int m_TurnMax;
	int m_Speed;
	bool m_Watch[5];
};

/// A 10 x 8 plain map with a castle at (5, 5) and 20 start points in the first rows for area 2.
TMapPlan BattlePlan();
