#ifndef MORVALETH_BATTLE_MAGICRULES_H
#define MORVALETH_BATTLE_MAGICRULES_H

#include "model/GameRecords.h"

#include <array>
#include <string>
#include <vector>

/// The scenario's database: magic groups, magic, specials and characters.
class TMorvalethData;

/// Most entries (ranks) one magic holds.
const int MAGIC_ENTRY_MAX = 4;

/// The title of a magic group's pane: the group's name with "魔法" after it, unless the name already
/// ends with it ("暗黒" and "暗黒魔法" both give "暗黒魔法").
std::string MagicGroupTitle(const std::string& groupName);

/// The chara may cast some magic now: a rank it holds in the magic's group, and the MP its special costs.
bool CanUseMagic(const TMorvalethData& data, const TCharaInstance& chara);
/// The chara may cast the special as magic: the first magic entry listing it is within the chara's rank and MP.
bool CanCastSpecial(const TMorvalethData& data, const TCharaInstance& chara, int special);

/// One cell of the magic window: an entry of a magic within the chara's rank.
struct TMagicCell
{
	/// Special cast by the entry; -1 for an empty cell (an entry above the rank, or none).
	int special = -1;
	/// Affordable in MP and not spent up for this battle.
	bool enabled = false;
};

/// One magic of a group the chara holds at least one entry of.
struct TMagicRow
{
	/// Index of the magic in the database.
	int magic = 0;
	/// The magic's entries in rank order, one column each; an entry above the chara's rank is an empty cell.
	std::array<TMagicCell, MAGIC_ENTRY_MAX> cells;
};

/// The rows of a magic group for a character definition with that MP, given the side's uses of each magic.
std::vector<TMagicRow> BuildMagicRows(const TMorvalethData& data, int charaData, int mp, int group,
	const std::vector<int>& useCounts);

/// Where a point of a magic group pane lies among its cells.
struct TMagicHit
{
	/// Row of the rows given; -1 for no cell.
	int row = -1;
	/// Column, the entry's index in its magic; -1 for no cell.
	int column = -1;
	/// The cell's special; -1 on an empty cell.
	int special = -1;
	/// The cell may be chosen.
	bool enabled = false;
	/// The row's magic (index in the database); -1 for none.
	int magic = -1;
};

// Pixel layout of a magic group pane: cells of 20 pixels in rows of 24 from (128, 24).

/// Left edge of the first column of cells, in pane pixels (the magic's name stands left of it).
const int MAGIC_CELL_LEFT = 128;
/// Top edge of the first row of cells, in pane pixels (under the group's title).
const int MAGIC_CELL_TOP = 24;
/// Width and height of a cell; the columns touch.
const int MAGIC_CELL_SIZE = 20;
/// Distance from one row's top to the next; the rest below the cell is a gap.
const int MAGIC_ROW_HEIGHT = 24;

/// The cell under pane pixel (x, y) among the rows; row -1 for none (the gap under a row included).
TMagicHit MagicHitTest(const std::vector<TMagicRow>& rows, int x, int y);

#endif
