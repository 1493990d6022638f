#ifndef MORVALETH_BATTLE_RANGERULES_H
#define MORVALETH_BATTLE_RANGERULES_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"
#include "battle/BattleField.h"

#include <vector>

/// Builds the range of a special used from (x, y) into a map-sized layer: the cells in range hold the
/// fill value negated as a truth value (0 for any fill but 0, 1 for 0), every other cell the fill value. Normal reaches the cells within maxRange (at
/// most 32), Stream six lines of maxRadius + 1 steps. True when a range was built; range type None is
/// an Error, and the other types aim at nothing.
bool GetRange(const TBattleField& field, TValueLayer<int>& layer, int x, int y, int rangeType, int maxRange,
	int maxRadius, int fill);

/// Appends, in its order, the target set of a special that a chara of the side aims from the caster's cell
/// at a cell, with the dead charas it takes.
void GetTargetCells(const TBattleField& field, int side, point_t caster, point_t aim, int radius, int rangeType,
	int rangeHeight, std::vector<point_t>& cells, std::vector<TCharaRef>& deadCharas);

/// The flagged cells that the special's attribute admits for the side, in order; a cell with a chara
/// only when the special targets any chara or the chara's target group.
void FilterTargetCells(const TBattleField& field, const std::vector<point_t>& cells, const std::vector<bool>& flags,
	int side, int special, std::vector<point_t>& out);

/// Aiming the special of the side from the caster's cell at the cell would take in at least one cell.
bool HasTargetAt(const TBattleField& field, point_t caster, point_t aim, int side, int special);

#endif
