#ifndef MORVALETH_BATTLE_BATTLEFIELD_H
#define MORVALETH_BATTLE_BATTLEFIELD_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"
#include "model/GameRecords.h"

#include <vector>

/// The battle map: terrain, objects and map types.
class TBattleMap;
/// The scenario's database.
class TMorvalethData;
/// A character definition of the database.
struct TCharaData;

/// A chara of a battle: its side and its index in the side's list.
struct TCharaRef
{
	/// The side, from 0 (the defenders); -1 for no chara.
	int side = -1;
	/// Index in the side's list; -1 for no chara.
	int index = -1;

	/// The same side and index.
	bool operator==(const TCharaRef& other) const { return side == other.side && index == other.index; }
};

/// The battlefield as the rules read it: the map, the database, the sides and who stands where.
/// The rules of movement and ranges are free functions over it, so that they can be asked
/// about any chara and any cell without a running battle.
struct TBattleField
{
	/// Width and height of the map; 0 before the layers are sized to one.
	int Width() const { return sideLayer.Width(); }
	int Height() const { return sideLayer.Height(); }
	/// Number of sides of the battle.
	int SideCount() const { return static_cast<int>(sides.size()); }
	/// True for an existing side and index.
	bool IsChara(int side, int index) const;
	/// The chara; side and index must exist.
	TCharaInstance& Chara(const TCharaRef& ref) { return (*sides[ref.side])[ref.index]; }
	/// The chara, read only; side and index must exist.
	const TCharaInstance& Chara(const TCharaRef& ref) const { return (*sides[ref.side])[ref.index]; }
	/// The character definition of a chara.
	const TCharaData& CharaData(const TCharaInstance& chara) const;
	/// The chara standing on the cell; false when the cell is empty or off the map.
	bool CharaOn(int x, int y, TCharaRef& ref) const;
	/// Puts the chara on the cell: its position and both layers.
	void Put(const TCharaRef& ref, int x, int y);
	/// Empties the chara's cell on the side layer; the chara keeps its position (put it elsewhere or mark it off
	/// the field).
	void Vacate(const TCharaRef& ref);
	/// Sizes both layers to the map, every cell empty; the map must be set.
	void ClearLayers();

	/// The database the charas' definitions come from.
	const TMorvalethData* data = nullptr;
	/// The map of the battle; null before the first.
	TBattleMap* map = nullptr;
	/// The caller's chara lists, changed in place; side 0 defends.
	std::vector<std::vector<TCharaInstance>*> sides;
	/// Master index of each side; -1 for a neutral side.
	std::vector<int> masters;
	/// Side of the chara on each cell, -1 for none.
	TValueLayer<int> sideLayer{0, 0};
	/// Index in its side of the chara on each cell; read only where the side layer holds a side.
	TValueLayer<int> charaLayer{0, 0};
	/// Per side, the indices of its charas that died, in the order of their deaths.
	std::vector<std::vector<int>> dead;
};

/// A neighbour of (x, y) inside the map's rectangle holds a chara of another side than the given one;
/// with armedOnly, only a chara whose character has a usable attack counts.
bool IsEnemyAdjacent(const TBattleField& field, int side, int x, int y, bool armedOnly);
/// A neighbour of (x, y) inside the map holds a wall.
bool IsNextToWall(const TBattleField& field, int x, int y);
/// Marks with 1 every cell next to an armed chara of another side than the given one, 0 elsewhere.
void ComputeZoneOfControl(const TBattleField& field, int side, TValueLayer<int>& zone);

#endif
