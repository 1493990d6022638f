#include "battle/MoveRules.h"

#include "app/Logger.h"
#include "battle/BattleField.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <climits>

int MovePointsOf(const TMorvalethData& data, const TCharaInstance& chara)
{
	return (data.GetCharaData(chara.CharaIndex).Movable + chara.MovableBonus) * 3;
}

namespace
{
/// Entry costs in the fill's grid for cells that may not be entered.
const int COST_BARRED = -1;
/// Object kinds the fill tells apart.
enum TFillKind : unsigned char
{
	FILL_GROUND,
	FILL_CITY,
	FILL_WALL,
};

/// What the fill reads of every cell, in flat arrays with a border of barred cells around the map: the
/// fill visits each cell many times, and reading the layers and the database on each visit would cost
/// more than the fill. The half cells at the edges are barred too, as nothing may move onto them.
struct TMoveGrid
{
	TMoveGrid(const TBattleField& field, int side, const std::vector<int>& costs);

	int Index(int x, int y) const { return (y + 1) * stride + x + 1; }

	int stride;
	/// Cost of entering each cell before climbing (never below 0), or COST_BARRED.
	std::vector<int> enter;
	std::vector<int> cellHeight;
	std::vector<unsigned char> kind;
	/// The fill goes no further from a cell next to an armed enemy.
	std::vector<unsigned char> zone;
	/// Index offsets of the six neighbours by row parity.
	int offsets[2][HEX_NEIGHBOR_COUNT];
};

int EntryCost(const std::vector<int>& costs, int type)
{
	if (type < 0 || type >= static_cast<int>(costs.size())) {
		g_Logger.Error(FormatText("map type out of range (%d >= %d)", type, static_cast<int>(costs.size())));
		return COST_BARRED;
	}
	// A negative cost would let a cell be reached ever better, and the fill would not end.
	return std::max(0, costs[type]);
}

TMoveGrid::TMoveGrid(const TBattleField& field, int side, const std::vector<int>& costs)
	: stride(field.Width() + 2)
{
	const int cells = stride * (field.Height() + 2);
	enter.assign(cells, COST_BARRED);
	cellHeight.assign(cells, 0);
	kind.assign(cells, FILL_GROUND);
	zone.assign(cells, 0);
	TValueLayer<int> zoneLayer(0, 0);
	ComputeZoneOfControl(field, side, zoneLayer);
	const TBattleMap& map = *field.map;
	const int groundCount = field.data->GetMapGroundCount();
	for (int y = 0; y < field.Height(); ++y) {
		for (int x = 0; x < field.Width(); ++x) {
			const int i = Index(x, y);
			const int type = map.GetMapType().At(x, y);
			const int object = type >= groundCount ? type - groundCount : 0;
			kind[i] = object == MAP_OBJECT_CITY ? FILL_CITY : object == MAP_OBJECT_WALL ? FILL_WALL : FILL_GROUND;
			cellHeight[i] = map.GetCurrentHeight().At(x, y);
			zone[i] = zoneLayer.At(x, y) != 0;
			// Charas block cells of either side.
			if (IsInsideMap(x, y, field.Width(), field.Height()) && field.sideLayer.At(x, y) == -1)
				enter[i] = EntryCost(costs, type);
		}
	}
	for (int parity = 0; parity < 2; ++parity) {
		for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
			const point_t n = GetAdjacentCell(0, parity, k);
			offsets[parity][k] = (n.y - parity) * stride + n.x;
		}
	}
}

/// Whether a step in each neighbour direction changes the row's parity (every direction but right and left).
const int PARITY_FLIP[HEX_NEIGHBOR_COUNT] = {1, 1, 0, 1, 1, 0};

/// The rules of one fill: who moves and from where, with how many points, over which grid.
struct TFillRules
{
	const TMoveGrid& grid;
	bool holdsBack;
	bool wallPassing;
	int start;
	int startParity;
	int points;

	/// Points left on stepping from a cell holding the points onto neighbour n; below 0 when barred.
	int Left(int cell, int n, int held) const
	{
		int cost = grid.enter[n];
		if (cost == COST_BARRED)
			return -1;
		cost += std::max(0, grid.cellHeight[n] - grid.cellHeight[cell]);
		// Walls and cities hold attackers back; the defenders pay their normal cost.
		if (holdsBack && grid.kind[n] == FILL_WALL) {
			if (!wallPassing)
				return -1;
			cost = 10;
		} else if (holdsBack && grid.kind[n] == FILL_CITY) {
			cost = wallPassing ? 9 : std::max(cost, held - 1);
		}
		return held - cost;
	}
};

/// A cell to expand and its row's parity.
struct TFillEntry
{
	int cell;
	int parity;
};

// The most points each cell can be reached with, for the cells where that beats what the layer
// holds (-1 elsewhere). Points never grow along a step, so the cells are settled from the most points
// down, each expanding once, as the fill does but without its detours.
std::vector<int> BestPoints(const TFillRules& rules, const std::vector<int>& initial)
{
	const TMoveGrid& grid = rules.grid;
	std::vector<int> best(initial.size(), -1);
	std::vector<std::vector<TFillEntry>> buckets(rules.points + 1);
	buckets[rules.points].push_back({rules.start, rules.startParity});
	bool root = true;
	for (int points = rules.points; points > 0; --points) {
		for (std::size_t i = 0; i < buckets[points].size(); ++i) {
			const TFillEntry entry = buckets[points][i];
			if (!root && (best[entry.cell] != points || grid.zone[entry.cell]))
				continue;
			root = false;
			for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
				const int n = entry.cell + grid.offsets[entry.parity][k];
				const int left = rules.Left(entry.cell, n, points);
				if (left <= std::max(best[n], initial[n]))
					continue;
				best[n] = left;
				buckets[left].push_back({n, entry.parity ^ PARITY_FLIP[k]});
			}
		}
	}
	return best;
}

/// One level of the depth-first fill: a cell, its row's parity, the points held there and the next neighbour to try.
struct TFillFrame
{
	int cell;
	int parity;
	int points;
	int next;
};

// The fill proper: depth first, neighbours in order, a cell re-entered on every better remainder.
// A cell's points and came-from cell are those of the first step that brings it its best points.
// When a step from a cell holding fewer points always brings fewer, steps that bring less than a
// cell's best are overtaken later and leave nothing behind, and no step from a cell holding less
// than its best brings any cell its best: given the best points, only the steps that bring them need
// taking, in the fill's order, and the result is the fill's own. A city caps what an attacker keeps
// at one point whatever it came with, so every step is taken until each city within reach holds
// its point; from then on the shortcut holds again.
void RunFill(const TFillRules& rules, const std::vector<int>& best, std::vector<int>& move, std::vector<int>& from)
{
	const TMoveGrid& grid = rules.grid;
	const bool citiesCap = rules.holdsBack && !rules.wallPassing;
	int citiesLeft = 0;
	if (citiesCap)
		for (std::size_t i = 0; i < best.size(); ++i)
			citiesLeft += grid.kind[i] == FILL_CITY && best[i] > 0;
	std::vector<TFillFrame> stack;
	stack.reserve(256);
	stack.push_back({rules.start, rules.startParity, rules.points, 0});
	while (!stack.empty()) {
		TFillFrame& frame = stack.back();
		int k = frame.next;
		int n = 0;
		for (; k < HEX_NEIGHBOR_COUNT; ++k) {
			n = frame.cell + grid.offsets[frame.parity][k];
			const int left = rules.Left(frame.cell, n, frame.points);
			if ((citiesLeft == 0 && left != best[n]) || move[n] >= left)
				continue;
			move[n] = left;
			from[n] = frame.cell;
			if (citiesCap && grid.kind[n] == FILL_CITY)
				--citiesLeft;
			if (!grid.zone[n])
				break;
		}
		if (k == HEX_NEIGHBOR_COUNT) {
			stack.pop_back();
			continue;
		}
		frame.next = k + 1;
		stack.push_back({n, frame.parity ^ PARITY_FLIP[k], move[n], 0});
	}
}

template <typename T>
bool FitsMap(const TBattleField& field, const TValueLayer<T>& layer)
{
	return layer.Width() == field.Width() && layer.Height() == field.Height();
}
}

bool FillMoveLayer(const TBattleField& field, int side, const TCharaInstance& chara, int x, int y, int points,
	TValueLayer<int>& move, TValueLayer<point_t>& from, bool wallPassing)
{
	if (!FitsMap(field, move) || !FitsMap(field, from) || !field.sideLayer.Contains(x, y)) {
		LOG_ERROR("cell (%d,%d) or layers %dx%d, %dx%d do not fit the %dx%d map", x, y, move.Width(), move.Height(),
			from.Width(), from.Height(), field.Width(), field.Height());
		return false;
	}
	if (chara.MoveType < 0 || chara.MoveType >= field.data->GetMoveTypeCount()) {
		LOG_ERROR("movetype %d out of range", chara.MoveType);
		return false;
	}
	const TMoveGrid grid(field, side, field.data->GetMoveTypeData(chara.MoveType).MoveCost);
	// The layers' values move into the grid's indices and back, the border holding nothing.
	std::vector<int> moveValues(grid.enter.size(), 0);
	std::vector<int> fromValues(grid.enter.size(), 0);
	for (int cy = 0; cy < field.Height(); ++cy)
		for (int cx = 0; cx < field.Width(); ++cx) {
			moveValues[grid.Index(cx, cy)] = std::max(0, move.At(cx, cy));
			fromValues[grid.Index(cx, cy)] = -1;
		}
	const TFillRules rules = {grid, side != 0, wallPassing, grid.Index(x, y), RowParity(y),
		std::max(0, std::min(points, MOVE_POINTS_MAX))};
	RunFill(rules, BestPoints(rules, moveValues), moveValues, fromValues);
	for (int cy = 0; cy < field.Height(); ++cy)
		for (int cx = 0; cx < field.Width(); ++cx) {
			const int i = grid.Index(cx, cy);
			move.At(cx, cy) = moveValues[i];
			if (fromValues[i] >= 0)
				from.At(cx, cy) = {fromValues[i] % grid.stride - 1, fromValues[i] / grid.stride - 1};
		}
	return true;
}

bool FindRunawayCell(const TBattleField& field, int side, const TCharaInstance& chara, const TValueLayer<int>& move,
	point_t& cell)
{
	TValueLayer<int> threat(field.Width(), field.Height());
	std::vector<point_t> cells;
	for (int s = 0; s < field.SideCount(); ++s) {
		if (s == side)
			continue;
		// Dead enemies still weigh where they fell; those off the map weigh nowhere.
		for (const TCharaInstance& enemy : *field.sides[s]) {
			if (!IsOnField(enemy))
				continue;
			const int radius = std::min(2 * field.CharaData(enemy).Movable, NEIGHBOR_RING_MAX);
			cells.clear();
			GetNeighborCells(enemy.BattleX, enemy.BattleY, field.Width(), field.Height(), radius, cells);
			for (const point_t& c : cells)
				++threat.At(c.x, c.y);
		}
	}
	TValueLayer<int> zone(0, 0);
	ComputeZoneOfControl(field, side, zone);
	cell = {chara.BattleX, chara.BattleY};
	int best = INT_MAX;
	for (int y = 0; y < field.Height(); ++y) {
		for (int x = 0; x < field.Width(); ++x) {
			if (move.At(x, y) != 0 && zone.At(x, y) == 0 && threat.At(x, y) < best) {
				best = threat.At(x, y);
				cell = {x, y};
			}
		}
	}
	return best != INT_MAX;
}

namespace
{
int ValueFor(const std::vector<int>& values, int type)
{
	return type >= 0 && type < static_cast<int>(values.size()) ? values[type] : 0;
}
}

void TMoveTotals::Compute(const TMorvalethData& data, const TBattleMap& map)
{
	cost.assign(data.GetMoveTypeCount(), 0);
	skill.assign(data.GetMoveTypeCount(), 0);
	for (int y = 0; y < map.GetHeight(); ++y)
		for (int x = 0; x < map.GetWidth(); ++x)
			Replace(data, -1, map.GetMapType().At(x, y));
}

void TMoveTotals::Replace(const TMorvalethData& data, int oldType, int newType)
{
	for (int m = 0; m < static_cast<int>(cost.size()); ++m) {
		const TMoveTypeData& moveType = data.GetMoveTypeData(m);
		cost[m] += ValueFor(moveType.MoveCost, newType) - ValueFor(moveType.MoveCost, oldType);
		skill[m] += ValueFor(moveType.Skill, newType) - ValueFor(moveType.Skill, oldType);
	}
}
