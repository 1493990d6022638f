#ifndef MORVALETH_BATTLE_MOVERULES_H
#define MORVALETH_BATTLE_MOVERULES_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"
#include "model/GameRecords.h"

#include <vector>

/// The battle map, whose map types the move costs are read by.
class TBattleMap;
/// The scenario's database: move types, their costs and skills.
class TMorvalethData;
/// The battlefield: who stands where.
struct TBattleField;

/// Most move points a fill starts with: more reach no further on any map and only cost time.
const int MOVE_POINTS_MAX = 256;

/// Move points a chara starts its move with: three per point of its character's movement and bonus.
int MovePointsOf(const TMorvalethData& data, const TCharaInstance& chara);

/// Fills map-sized move and came-from layers for the chara of the side moving from (x, y) with the points
/// (at most MOVE_POINTS_MAX): each cell gets the most points left on reaching it, where that is more than
/// the layer held, and the cell it was reached from. Neighbours are tried in order and a better remainder
/// goes on at once, so that equal remainders keep the first way found. A value below 0 in the move layer
/// counts as 0. False, the layers unchanged, when they or the cell do not fit the map.
bool FillMoveLayer(const TBattleField& field, int side, const TCharaInstance& chara, int x, int y, int points,
	TValueLayer<int>& move, TValueLayer<point_t>& from, bool wallPassing);

/// The cell the chara of the side should retreat to: reachable on the move layer, out of every zone
/// of control and least threatened by the enemy, the first in row order on a tie. False, with the
/// chara's own cell, when no cell is reachable.
bool FindRunawayCell(const TBattleField& field, int side, const TCharaInstance& chara, const TValueLayer<int>& move,
	point_t& cell);

/// Per move type, the cost and the skill of every cell of the map added up.
struct TMoveTotals
{
	/// Sums every cell of the map for every move type.
	void Compute(const TMorvalethData& data, const TBattleMap& map);
	/// A cell's map type changed: its old cost and skill leave the sums, the new ones join them.
	void Replace(const TMorvalethData& data, int oldType, int newType);

	/// Per move type index, the move costs of all cells added up.
	std::vector<int> cost;
	/// Per move type index, the skills of all cells added up.
	std::vector<int> skill;
};

#endif
