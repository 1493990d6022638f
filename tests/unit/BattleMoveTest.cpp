#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/HexGrid.h"
#include "battle/HexGeometry.h"
#include "battle/MoveRules.h"
#include "model/MorvalethData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <random>

namespace
{
/// Ring distance between two cells, read from the neighbour table.
int RingDistance(point_t from, point_t to)
{
	for (int r = 0; r <= NEIGHBOR_RING_MAX; ++r)
		for (int i = GetNeighborRingStart(r); i < GetNeighborRingStart(r + 1); ++i) {
			const point_t& d = GetNeighborOffset(RowParity(from.y), i);
			if (from.x + d.x == to.x && from.y + d.y == to.y)
				return r;
		}
	return -1;
}

struct TFill
{
	TFill(const TFieldBoard& board) : move(board.field.Width(), board.field.Height()), from(move.Width(), move.Height()) {}
	TValueLayer<int> move;
	TValueLayer<point_t> from;
};

/// Fills from the chara's cell with its own points.
TFill FillFor(TFieldBoard& board, int side, int index, bool wallPassing = false)
{
	TFill fill(board);
	const TCharaInstance& chara = board.Chara(side, index);
	EXPECT_TRUE(FillMoveLayer(board.field, side, chara, chara.BattleX, chara.BattleY, MovePointsOf(BattleData(), chara),
		fill.move, fill.from, wallPassing));
	return fill;
}

TEST(BattleMove, OnFlatTerrainEachRingCostsTwoOfTheSixPoints)
{
	TFieldBoard board(PlainPlan(9, 9));
	board.Add(0, "guard", 4, 4);
	const TFill fill = FillFor(board, 0, 0);
	for (int y = 0; y < 9; ++y)
		for (int x = 0; x < 9; ++x) {
			const int ring = RingDistance({4, 4}, {x, y});
			const int expected = ring == 1 ? 4 : ring == 2 ? 2 : 0;
			EXPECT_EQ(expected, fill.move.At(x, y)) << "(" << x << "," << y << ") ring " << ring;
		}
}

// Each case: a 7 x 3 map walled above and below, the mover at (0, 1) and the points left on (1..4, 1).
struct TRowCase
{
	const char* name;
	const char* row;
	const char* heights;
	const char* chara;
	int side;
	bool wallPassing;
	int expected[4];
};

// The guard walks (6 points: plain 2, forest 3, city 2, wall 5, road 1); the scout flies (12 points, 1 a cell).
const TRowCase ROW_CASES[] = {
	{"forest costs 3", "..f....", "0000000", "guard", 0, false, {4, 1, 0, 0}},
	{"a road costs 1", ".rr....", "0000000", "guard", 0, false, {5, 4, 2, 0}},
	{"climbing two steps costs two more", ".......", "0020000", "scout", 1, false, {11, 8, 7, 6}},
	{"going down costs nothing extra", ".......", "2200000", "scout", 1, false, {11, 10, 9, 8}},
	{"a wall stops an attacker", "..W....", "0000000", "scout", 1, false, {11, 0, 0, 0}},
	{"an attacker passes a wall for 10", "..W....", "0000000", "scout", 1, true, {11, 1, 0, 0}},
	{"a defender pays the wall's own cost", ".W.....", "0000000", "guard", 0, false, {1, 0, 0, 0}},
	{"a city leaves an attacker one point", ".c.....", "0000000", "scout", 1, false, {1, 0, 0, 0}},
	{"an attacker passing walls pays 9 for a city", ".c.....", "0000000", "scout", 1, true, {3, 2, 1, 0}},
	{"a defender pays the city's own cost", ".c.....", "0000000", "guard", 0, false, {4, 2, 0, 0}},
};

class BattleMoveRow : public ::testing::TestWithParam<TRowCase>
{
};

TEST_P(BattleMoveRow, PointsLeftAlongTheRow)
{
	const TRowCase& c = GetParam();
	TMapPlan plan = PlainPlan(7, 3);
	plan.rows[1] = c.row;
	plan.heights = {"0000000", c.heights, "0000000"};
	// Rows 0 and 2 are walls, so that the row is the only way.
	plan.rows[0] = plan.rows[2] = "WWWWWWW";
	TFieldBoard board(plan);
	board.Add(c.side, c.chara, 0, 1);
	const TFill fill = FillFor(board, c.side, 0, c.wallPassing);
	for (int x = 1; x <= 4; ++x)
		EXPECT_EQ(c.expected[x - 1], fill.move.At(x, 1)) << c.name << ": cell (" << x << ",1)";
}

INSTANTIATE_TEST_SUITE_P(Cases, BattleMoveRow, ::testing::ValuesIn(ROW_CASES));

// Both ring-1 cells (1,1) and (2,1) lead to (2,0) with the same points left: the fill tries the
// neighbours in order, so the first of them, up-left, is where (2,0) is reached from.
TEST(BattleMove, EqualRemaindersKeepTheFirstWayFound)
{
	TFieldBoard board(PlainPlan(6, 6));
	board.Add(0, "guard", 2, 2);
	const TFill fill = FillFor(board, 0, 0);
	EXPECT_EQ(2, fill.move.At(2, 0));
	EXPECT_EQ((point_t{1, 1}), fill.from.At(2, 0));
	EXPECT_EQ(4, fill.move.At(2, 1));
	EXPECT_EQ((point_t{2, 2}), fill.from.At(2, 1));
	// Every reached cell leads back to the mover, each step to a cell holding more points.
	for (int y = 0; y < 6; ++y)
		for (int x = 0; x < 6; ++x) {
			point_t cell = {x, y};
			for (int steps = 0; fill.move.At(cell.x, cell.y) > 0; ++steps) {
				ASSERT_LT(steps, 36) << "(" << x << "," << y << ") does not lead back";
				const point_t back = fill.from.At(cell.x, cell.y);
				if (back == point_t{2, 2})
					break;
				EXPECT_GT(fill.move.At(back.x, back.y), fill.move.At(cell.x, cell.y));
				cell = back;
			}
		}
}

// On the largest map a long move reaches every whole cell and never one of the half cells at the edges.
TEST(BattleMove, TheLargestMapIsFilledToItsEdgesOnly)
{
	TCapturedLog log;
	TFieldBoard board(PlainPlan(BATTLE_MAP_SIZE_MAX, BATTLE_MAP_SIZE_MAX));
	board.Add(0, "scout", 32, 32);
	TFill fill(board);
	const TCharaInstance& scout = board.Chara(0, 0);
	ASSERT_TRUE(FillMoveLayer(board.field, 0, scout, 32, 32, 1 << 30, fill.move, fill.from, false)) << "capped, it ends";
	for (int y = 0; y < BATTLE_MAP_SIZE_MAX; ++y)
		for (int x = 0; x < BATTLE_MAP_SIZE_MAX; ++x) {
			const bool whole = IsInsideMap(x, y, BATTLE_MAP_SIZE_MAX, BATTLE_MAP_SIZE_MAX);
			if (x == 32 && y == 32)
				continue;
			EXPECT_EQ(whole, fill.move.At(x, y) > 0) << "(" << x << "," << y << ")";
		}
	EXPECT_EQ(std::string(), log.Text());
}

// The threat of each enemy covers the rings within twice its movement; the retreat takes the least
// threatened reachable cell out of every zone of control, the first in row order on a tie.
TEST(BattleMove, TheRetreatCellIsTheLeastThreatenedReachableOne)
{
	TFieldBoard board(PlainPlan(20, 5));
	board.Add(1, "scout", 10, 2);
	board.Add(0, "guard", 2, 2);
	board.Add(0, "wolf", 3, 3);
	TFill fill = FillFor(board, 1, 0);
	point_t cell;
	ASSERT_TRUE(FindRunawayCell(board.field, 1, board.Chara(1, 0), fill.move, cell));
	// The guard threatens rings 0..4 and the wolf 0..6 about their cells: the first cell beyond both.
	EXPECT_EQ((point_t{9, 0}), cell);

	// Enemies that have left the map threaten nothing, not even about the column they left by.
	for (int index = 0; index < 2; ++index) {
		board.field.Vacate({0, index});
		board.Chara(0, index).BattleX = -1;
	}
	ASSERT_TRUE(FindRunawayCell(board.field, 1, board.Chara(1, 0), fill.move, cell));
	EXPECT_EQ((point_t{1, 0}), cell);

	TValueLayer<int> nowhere(20, 5);
	EXPECT_FALSE(FindRunawayCell(board.field, 1, board.Chara(1, 0), nowhere, cell));
	EXPECT_EQ((point_t{10, 2}), cell);
}

/// The fill as the rules state it, recursively and with the zone of control asked cell by cell:
/// the oracle for the fill the game runs.
struct TReferenceFill
{
	void Fill(int x, int y, int points)
	{
		for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
			const point_t n = GetAdjacentCell(x, y, k);
			if (!IsInsideMap(n.x, n.y, field.Width(), field.Height()) || field.sideLayer.At(n.x, n.y) != -1)
				continue;
			const TBattleMap& map = *field.map;
			int cost = std::max(0, costs[map.GetMapType().At(n.x, n.y)])
				+ std::max(0, map.GetCurrentHeight().At(n.x, n.y) - map.GetCurrentHeight().At(x, y));
			const int kind = map.GetMapObjectType(n.x, n.y);
			if (side != 0 && kind == MAP_OBJECT_WALL) {
				if (!wallPassing)
					continue;
				cost = 10;
			} else if (side != 0 && kind == MAP_OBJECT_CITY) {
				cost = wallPassing ? 9 : std::max(cost, points - 1);
			}
			const int left = points - cost;
			if (move.At(n.x, n.y) >= left)
				continue;
			move.At(n.x, n.y) = left;
			from.At(n.x, n.y) = {x, y};
			if (!IsEnemyAdjacent(field, side, n.x, n.y, true))
				Fill(n.x, n.y, left);
		}
	}

	const TBattleField& field;
	int side;
	const std::vector<int>& costs;
	bool wallPassing;
	TValueLayer<int>& move;
	TValueLayer<point_t>& from;
};

// Random maps of every terrain, height, object and chara, movers of every kind on either side: the
// fill's points and came-from cells are the oracle's, cell for cell.
TEST(BattleMove, TheFillGivesWhatTheRulesStateOnRandomMaps)
{
	std::mt19937 random(2024);
	const auto pick = [&random](int n) { return static_cast<int>(random() % n); };
	const char* const charas[] = {"guard", "lamb", "wolf", "scout", "mole"};
	for (int round = 0; round < 300; ++round) {
		const int width = 4 + pick(10);
		const int height = 3 + pick(8);
		TMapPlan plan = PlainPlan(width, height);
		plan.heights.assign(height, std::string(width, '0'));
		for (int y = 0; y < height; ++y)
			for (int x = 0; x < width; ++x) {
				plan.rows[y][x] = "....ffhcWr"[pick(10)];
				plan.heights[y][x] = static_cast<char>('0' + pick(4));
			}
		TFieldBoard board(plan);
		ASSERT_TRUE(board.map);
		for (int i = pick(8); i > 0; --i) {
			const int x = pick(width);
			const int y = pick(height);
			if (board.field.sideLayer.At(x, y) == -1)
				board.Add(pick(2), charas[pick(5)], x, y);
		}
		const int side = pick(2);
		const point_t start = {pick(width), pick(height)};
		// The mover stands on its cell, unless the cell is taken: then it is asked about as a script may.
		const int mover = board.Add(side, charas[pick(5)]);
		if (board.field.sideLayer.At(start.x, start.y) == -1 && pick(2))
			board.field.Put({side, mover}, start.x, start.y);
		const TCharaInstance chara = board.Chara(side, mover);
		const int points = pick(40);
		const bool wallPassing = pick(4) == 0;
		TValueLayer<int> expectedMove(width, height);
		TValueLayer<point_t> expectedFrom(width, height);
		const std::vector<int>& costs = BattleData().GetMoveTypeData(chara.MoveType).MoveCost;
		TReferenceFill{board.field, side, costs, wallPassing, expectedMove, expectedFrom}.Fill(start.x, start.y, points);
		TFill fill(board);
		ASSERT_TRUE(FillMoveLayer(board.field, side, chara, start.x, start.y, points, fill.move, fill.from,
			wallPassing));
		for (int y = 0; y < height; ++y)
			for (int x = 0; x < width; ++x) {
				ASSERT_EQ(expectedMove.At(x, y), fill.move.At(x, y)) << "round " << round << " cell (" << x << "," << y << ")";
				ASSERT_EQ(expectedFrom.At(x, y), fill.from.At(x, y)) << "round " << round << " cell (" << x << "," << y << ")";
			}
	}
}
}
