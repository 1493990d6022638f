#include "BattleFixture.h"
#include "ModelFixture.h"

#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>

namespace
{
std::vector<point_t> CellsInRange(const TValueLayer<int>& layer, int fill)
{
	std::vector<point_t> cells;
	for (int y = 0; y < layer.Height(); ++y)
		for (int x = 0; x < layer.Width(); ++x)
			if (layer.At(x, y) == !fill)
				cells.push_back({x, y});
	return cells;
}

std::vector<point_t> TargetCells(const TFieldBoard& board, int side, point_t caster, point_t aim, int radius, int type,
	int height = 0)
{
	std::vector<point_t> cells;
	std::vector<TCharaRef> dead;
	GetTargetCells(board.field, side, caster, aim, radius, type, height, cells, dead);
	return cells;
}

TEST(BattleRange, NormalReachesTheRingsUpToItsRangeAtMost32)
{
	TFieldBoard board(PlainPlan(9, 9));
	TValueLayer<int> layer(0, 0);
	ASSERT_TRUE(GetRange(board.field, layer, 4, 4, RANGE_NORMAL, 1, 0, 1));
	EXPECT_EQ(7u, CellsInRange(layer, 1).size());
	EXPECT_EQ(1, layer.At(4, 2)) << "outside the range the fill value stays";
	ASSERT_TRUE(GetRange(board.field, layer, 0, 0, RANGE_NORMAL, 1, 0, 1));
	EXPECT_EQ(3u, CellsInRange(layer, 1).size()) << "a corner clips the ring";

	TFieldBoard large(PlainPlan(BATTLE_MAP_SIZE_MAX, BATTLE_MAP_SIZE_MAX));
	TValueLayer<int> at32(0, 0);
	TValueLayer<int> at40(0, 0);
	ASSERT_TRUE(GetRange(large.field, at32, 32, 32, RANGE_NORMAL, 32, 0, 0));
	ASSERT_TRUE(GetRange(large.field, at40, 32, 32, RANGE_NORMAL, 40, 0, 0));
	EXPECT_EQ(CellsInRange(at32, 0), CellsInRange(at40, 0));
	EXPECT_EQ(1, at40.At(32, 32)) << "a fill of 0 marks the range with 1";
}

TEST(BattleRange, StreamReachesSixLinesAndStopsAtTheEdge)
{
	TFieldBoard board(PlainPlan(9, 9));
	TValueLayer<int> layer(0, 0);
	ASSERT_TRUE(GetRange(board.field, layer, 4, 4, RANGE_STREAM, 1, 1, 1));
	EXPECT_EQ(12u, CellsInRange(layer, 1).size()) << "six lines of two cells";
	EXPECT_EQ(0, layer.At(6, 4));
	EXPECT_EQ(1, layer.At(4, 4)) << "the caster's own cell is not in range";
	ASSERT_TRUE(GetRange(board.field, layer, 1, 4, RANGE_STREAM, 1, 3, 1));
	EXPECT_EQ(0, layer.At(0, 4));
	EXPECT_EQ(0, layer.At(0, 2)) << "up-left from an even row: (0,3), then (0,2)";
	EXPECT_EQ(17u, CellsInRange(layer, 1).size()) << "24 cells less those beyond the left edge";
	EXPECT_FALSE(GetRange(board.field, layer, 4, 4, RANGE_ME, 1, 1, 1)) << "the other types aim at nothing";
}

TEST(BattleRange, AreasAndLinesOfTargetSets)
{
	TFieldBoard board(PlainPlan(9, 9));
	const std::vector<point_t> area = TargetCells(board, 0, {1, 1}, {4, 4}, 1, RANGE_NORMAL);
	ASSERT_EQ(7u, area.size());
	EXPECT_EQ((point_t{4, 4}), area[0]) << "the centre first";
	EXPECT_EQ(7u, TargetCells(board, 0, {4, 4}, {0, 0}, 1, RANGE_ME).size()) << "about the caster";
	EXPECT_EQ(1u, TargetCells(board, 0, {4, 4}, {0, 0}, 0, RANGE_ME).size());
	EXPECT_TRUE(TargetCells(board, 0, {4, 4}, {0, 0}, -1, RANGE_ME).empty());
	// A line towards the right: radius 2 gives three cells after the caster.
	const std::vector<point_t> line = TargetCells(board, 0, {2, 4}, {8, 4}, 2, RANGE_STREAM);
	EXPECT_EQ((std::vector<point_t>{{3, 4}, {4, 4}, {5, 4}}), line);
	EXPECT_EQ(2u, TargetCells(board, 0, {6, 4}, {8, 4}, 5, RANGE_STREAM).size()) << "cut at the edge";
	EXPECT_TRUE(TargetCells(board, 0, {6, 4}, {8, 4}, -1, RANGE_STREAM).empty());
}

// Charas of the sides that died or left keep a stale cell: the side-wide sets leave them out.
TEST(BattleRange, SideWideSetsTakeTheCharasStandingOnTheMap)
{
	TFieldBoard board(PlainPlan(9, 9));
	board.Add(0, "guard", 1, 1);
	board.Add(0, "guard", 2, 1);
	board.Add(1, "wolf", 5, 5);
	board.Add(1, "wolf", 6, 5);
	board.Add(1, "wolf", 7, 5);
	board.Chara(0, 1).HP = 0;
	board.field.Vacate({0, 1});
	board.Chara(1, 1).BattleX = -1;
	EXPECT_EQ((std::vector<point_t>{{1, 1}}), TargetCells(board, 0, {1, 1}, {1, 1}, 0, RANGE_ALLMYSIDE));
	EXPECT_EQ((std::vector<point_t>{{5, 5}, {7, 5}}), TargetCells(board, 0, {1, 1}, {1, 1}, 0, RANGE_ALLENEMY));
	EXPECT_EQ((std::vector<point_t>{{1, 1}}), TargetCells(board, 1, {1, 1}, {1, 1}, 0, RANGE_ALLENEMY));
}

TEST(BattleRange, TheDeadAreTakenInTheOrderOfTheirDeaths)
{
	TFieldBoard board(PlainPlan(9, 9));
	for (int i = 0; i < 3; ++i)
		board.Add(0, "guard", 1 + i, 1);
	for (int i = 0; i < 2; ++i)
		board.Add(1, "wolf", 1 + i, 6);
	board.field.dead = {{2, 0}, {1}};
	std::vector<point_t> cells;
	std::vector<TCharaRef> dead;
	GetTargetCells(board.field, 0, {0, 0}, {0, 0}, 0, RANGE_ALLDEADMYSIDE, 0, cells, dead);
	EXPECT_EQ((std::vector<point_t>{{3, 1}, {1, 1}}), cells);
	EXPECT_EQ((std::vector<TCharaRef>{{0, 2}, {0, 0}}), dead);
	EXPECT_EQ((std::vector<point_t>{{1, 1}}), TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_LASTDEADMYSIDE));
	EXPECT_EQ((std::vector<point_t>{{2, 6}}), TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_LASTDEADENEMY));
	EXPECT_EQ((std::vector<point_t>{{2, 6}}), TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_ALLDEADENEMY));
	board.field.dead[1].clear();
	EXPECT_TRUE(TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_LASTDEADENEMY).empty());
}

TEST(BattleRange, WallsAndLowCellsOfTheWholeMap)
{
	TMapPlan plan = PlainPlan(6, 4);
	plan.rows[1] = ".WWK.W";
	plan.heights = {"222222", "222222", "222222", "012345"};
	TFieldBoard board(plan);
	EXPECT_EQ(3u, TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_ALLWALL).size());
	board.map->RemoveMapObject(BattleData(), 1, 1);
	EXPECT_EQ(2u, TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_ALLWALL).size()) << "a broken wall is no wall";
	EXPECT_EQ((std::vector<point_t>{{0, 3}, {1, 3}}), TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_LOWERTHAN, 2));
	EXPECT_TRUE(TargetCells(board, 0, {0, 0}, {0, 0}, 0, RANGE_LOWERTHAN, 0).empty());
}

// The cells: the caster's ally, an enemy of the beasts' group, a wall, an empty cell, an enemy of no group.
TEST(BattleRange, TheAttributeTypeAndTheTargetGroupChooseTheCellsThatTakePart)
{
	TMapPlan plan = PlainPlan(6, 3);
	plan.rows[1] = "...W..";
	TFieldBoard board(plan);
	board.Add(0, "guard", 1, 1);
	board.Add(1, "wolf", 2, 1);
	board.Add(1, "guard", 5, 0);
	const std::vector<point_t> cells = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 0}};
	struct TCase
	{
		const char* special;
		std::vector<point_t> kept;
	};
	const TCase cases[] = {
		{"blade", {{2, 1}, {5, 0}}},
		{"heal", {{1, 1}}},
		{"smash", {{3, 1}}},
		{"summon", {{3, 1}, {4, 1}}},
		{"revive", cells},
		{"nothing", {}},
		{"tame", {{2, 1}}},
	};
	for (const TCase& c : cases) {
		std::vector<point_t> kept;
		FilterTargetCells(board.field, cells, std::vector<bool>(cells.size(), true), 0, SpecialIndexOf(c.special), kept);
		EXPECT_EQ(c.kept, kept) << c.special;
	}
	std::vector<point_t> kept;
	FilterTargetCells(board.field, cells, {true, false, true, true, true}, 0, SpecialIndexOf("blade"), kept);
	EXPECT_EQ((std::vector<point_t>{{5, 0}}), kept) << "a cell without its flag never takes part";

	struct TAimCase
	{
		point_t aim;
		int special;
		bool takes;
	};
	const TAimCase aims[] = {
		{{2, 1}, SpecialIndexOf("blade"), true},
		{{4, 1}, SpecialIndexOf("blade"), false},
		{{1, 1}, SpecialIndexOf("heal"), true},
		{{1, 1}, -1, false},
		{{4, 1}, SpecialIndexOf("quake"), true},
	};
	for (const TAimCase& c : aims)
		EXPECT_EQ(c.takes, HasTargetAt(board.field, {1, 1}, c.aim, 0, c.special)) << c.special;
}

// Enemies count next to a cell within the map's rectangle, walls only on the whole cells about it.
TEST(BattleRange, NeighboursOfACell)
{
	TMapPlan plan = PlainPlan(6, 4);
	plan.rows[0] = "W.....";
	plan.rows[3] = "...W..";
	TFieldBoard board(plan);
	board.Add(1, "lamb", 2, 2);
	board.Add(0, "guard", 4, 2);
	EXPECT_TRUE(IsEnemyAdjacent(board.field, 0, 2, 1, false));
	EXPECT_FALSE(IsEnemyAdjacent(board.field, 0, 2, 1, true)) << "the lamb has no attack";
	EXPECT_FALSE(IsEnemyAdjacent(board.field, 1, 2, 1, false)) << "an ally";
	EXPECT_TRUE(IsEnemyAdjacent(board.field, 1, 3, 2, true));
	EXPECT_TRUE(IsNextToWall(board.field, 3, 2));
	EXPECT_FALSE(IsNextToWall(board.field, 0, 1)) << "(0,0) is a half cell off the map";
	EXPECT_FALSE(IsNextToWall(board.field, 5, 1));
}
}
