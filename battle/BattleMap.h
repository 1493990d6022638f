#ifndef MORVALETH_BATTLE_BATTLEMAP_H
#define MORVALETH_BATTLE_BATTLEMAP_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"

#include <array>
#include <string>
#include <vector>

/// The scenario's database, whose chip and object tables give each cell its ground and object kind.
class TMorvalethData;
/// An element of a scenario or save file.
class TiXmlElement;

// Kinds of map objects, as the object number table of the scenario gives them.

/// A city: built with the area's city level; the defenders start on it, and an attacker that ends its action on it
/// takes it.
const int MAP_OBJECT_CITY = 1;
/// A wall: built with the area's wall level; the defenders start on it, and an attacker may strike it down.
const int MAP_OBJECT_WALL = 2;
/// A road: built with the area's road level; its cell moves as the road's map type does.
const int MAP_OBJECT_ROAD = 3;
/// A castle: it stands whatever the levels; the defenders gather about the one nearest the map's centre.
const int MAP_OBJECT_CASTLE = 4;

/// Largest width and height of a battle map: the castle search must stay inside the neighbour table.
const int BATTLE_MAP_SIZE_MAX = 2 * NEIGHBOR_RING_MAX + 1;
/// Fewest start points a neighbouring area needs.
const int START_POINT_MIN = 20;
/// Layers a map file holds: terrain chips, objects, object numbers, heights.
const int MAP_FILE_LAYER_COUNT = 4;

/// Where attackers coming from one neighbouring area stand when a battle starts.
struct TStartPointSet
{
	/// Index of the neighbouring area; -1 until the game model resolves the id.
	int area = -1;
	/// The cells, each on the map and given once, in file order; at least START_POINT_MIN of them.
	std::vector<point_t> points;
};

/// The tactical map of one area: terrain, heights and objects as loaded and as they stand, start points and, during a battle, the map types.
class TBattleMap
{
public:
	/// The four loaded layers width x height of zeros, every other layer 0 x 0, every list empty.
	TBattleMap(int width, int height);

	/// Reads a battle map element; false, with the map unchanged, after an Error that begins with the map name.
	bool Load(const TiXmlElement* element, const std::string& mapName, const TMorvalethData& data);

	/// Appends a "MapObjectInstance" element holding the objects as they stand; false only without a parent.
	bool SaveToElementSerialize(TiXmlElement* parent) const;
	/// Reads the "MapObjectInstance" child of the element back into the objects; false, with the objects unchanged, after an Error.
	bool LoadFromElementSerialize(const TiXmlElement* parent);

	/// Builds the first n cities nearest the castle; answers the length of the city list.
	int SetCity(int n);
	/// Builds the first n walls nearest the castle; answers the length of the wall list.
	int SetWall(int n);
	/// Builds the first n roads nearest the castle; answers the length of the road list.
	int SetRoad(int n);
	/// Number of cells whose standing object number equals the value.
	unsigned CountMapObject(int value) const;
	/// Puts the loaded terrain and heights back in force, undoing a battle's changes.
	void RestoreLayers();

	/// Computes the map type of every cell for a battle; false, with the map types released, when a cell has none.
	bool BuildMapType(const TMorvalethData& data);
	/// Empties the map types after a battle.
	void ReleaseMapType();
	/// Recomputes the map type of one cell; false after an Error for a cell off the map or a chip or object without a table entry.
	bool UpdateMapType(const TMorvalethData& data, int x, int y);
	/// Object kind standing on the cell during a battle; 0 for ground.
	int GetMapObjectType(int x, int y) const;
	/// Changes the terrain chip of a cell during a battle; the result of the map type update.
	bool SetMapChip(const TMorvalethData& data, int x, int y, int chip);
	/// Removes the object of a cell during a battle, and the cell from its city, wall or road list.
	bool RemoveMapObject(const TMorvalethData& data, int x, int y);
	/// Removes the cell's object only when it is of the kind; otherwise answers the kind found.
	int RemoveMapObjectOfType(const TMorvalethData& data, int x, int y, int kind);
	/// Erases the first (x, y) from the list; an Error when it is not there.
	static void RemoveMapObjXY(std::vector<point_t>& list, int x, int y);

	/// Copies the start points of the first set of that area index; false when none has it.
	bool GetStartPoints(int area, std::vector<point_t>& points) const;
	/// Sets the area index of start point set i, the one read from the i-th neighbour id; false with an Error for another i.
	bool SetStartPointArea(int i, int area);

	/// Width of the map in cells.
	int GetWidth() const { return m_MapChip.Width(); }
	/// Height of the map in cells (rows).
	int GetHeight() const { return m_MapChip.Height(); }
	/// True when (x, y) is a cell of the map.
	bool IsOnMap(int x, int y) const { return x >= 0 && x < GetWidth() && y >= 0 && y < GetHeight(); }

	/// Terrain chips in force.
	const TValueLayer<int>& GetCurrentChip() const { return m_CurrentChip; }
	/// Object numbers standing, 0 where none.
	const TValueLayer<int>& GetObjectInstance() const { return m_ObjectInstance; }
	/// Heights in force.
	const TValueLayer<int>& GetCurrentHeight() const { return m_CurrentHeight; }
	/// Map types during a battle; 0 x 0 outside one.
	const TValueLayer<int>& GetMapType() const { return m_MapType; }
	/// Ids of the neighbouring areas, in file order.
	const std::vector<std::string>& GetNeighborIds() const { return m_NeighborIds; }
	/// One start point set per neighbour id, in the same order.
	const std::vector<TStartPointSet>& GetStartPointSets() const { return m_StartPointSets; }
	/// The castle cell, or the centre of a map without a castle.
	point_t GetCastlePoint() const { return m_CastlePoint; }
	/// City cells nearest the castle first.
	const std::vector<point_t>& GetCityList() const { return m_CityList; }
	/// Wall cells nearest the castle first.
	const std::vector<point_t>& GetWallList() const { return m_WallList; }
	/// Road cells nearest the castle first.
	const std::vector<point_t>& GetRoadList() const { return m_RoadList; }

private:
	/// Reads every part of the element into this fresh map, which Load takes over only when all went well;
	/// false after an Error that begins with the map name.
	bool ReadFrom(const TiXmlElement* element, const std::string& mapName, const TMorvalethData& data);
	/// Reads Width and Height (each 1..BATTLE_MAP_SIZE_MAX), requires City, Wall and Road, and sizes the four
	/// file layers.
	bool ReadSize(const TiXmlElement* element, const std::string& mapName);
	/// Reads rows L0, L1, ... of the four layer elements, each row at least Width numbers long.
	bool ReadLayers(const TiXmlElement* element, const std::string& mapName);
	/// Reads each Area of NeighborArea: its id and its set of start points.
	bool ReadStartPoints(const TiXmlElement* element, const std::string& mapName);
	/// Reads an area's Point0, Point1, ... cells, dropping those off the map or given twice; false when a
	/// point lacks x or y or fewer than START_POINT_MIN cells remain.
	bool ReadPoints(const TiXmlElement* area, const std::string& mapName, std::vector<point_t>& points) const;
	/// Every loaded terrain chip has a ground in the database.
	bool CheckChips(const std::string& mapName, const TMorvalethData& data) const;
	/// Terrain and heights in force as loaded, no object standing, the object lists empty.
	void ResetStandingLayers();
	/// The castle cell nearest the centre, or the centre; false when an object number has no kind.
	bool FindCastle(const std::string& mapName, const TMorvalethData& data);
	/// Lists the city, wall and road cells nearest the castle first, and stands the castles; false when an
	/// object number has no kind.
	bool ListObjects(const std::string& mapName, const TMorvalethData& data);
	/// The city, wall or road list for the kind; null for any other kind.
	std::vector<point_t>* ListOfKind(int kind);
	/// The map's cells nearest the centre first, out to half its larger side (at most NEIGHBOR_RING_MAX rings).
	std::vector<point_t> CellsAround(point_t centre) const;
	/// The four file layers, in the order of the file and of FILE_LAYER_NAMES.
	std::array<TValueLayer<int>*, MAP_FILE_LAYER_COUNT> FileLayers();
	/// Kind of the loaded object on the cell (0 for none); false, with an Error, for a number the database lacks.
	bool LoadedObjectKind(const std::string& mapName, const TMorvalethData& data, point_t cell, int& kind) const;
	/// Stands the objects of the first n cells of the list, leaving the others as they are; answers the list's length.
	int PlaceObjects(const std::vector<point_t>& list, int n);
	/// The cell lies on the map; false, with an Error naming the method, otherwise.
	bool CheckCell(int x, int y, const char* method) const;

	/// Terrain chips as loaded.
	TValueLayer<int> m_MapChip;
	/// Object numbers as loaded, 0 where none: what each cell can hold.
	TValueLayer<int> m_MapObject;
	/// The file's MapObjectNo layer as loaded; nothing reads it after loading.
	TValueLayer<int> m_MapObjectNo;
	/// Heights as loaded.
	TValueLayer<int> m_MapHeight;
	/// Terrain chips in force; a battle's scripts may change them, RestoreLayers puts the loaded ones back.
	TValueLayer<int> m_CurrentChip;
	/// Object numbers standing, 0 where none: built by the area's levels, taken down in battle, saved with the game.
	TValueLayer<int> m_ObjectInstance;
	/// Heights in force.
	TValueLayer<int> m_CurrentHeight;
	/// Ids of the neighbouring areas, in file order.
	std::vector<std::string> m_NeighborIds;
	/// One start point set per neighbour id, in the same order.
	std::vector<TStartPointSet> m_StartPointSets;
	/// The castle cell nearest the centre, or the centre of a map without a castle.
	point_t m_CastlePoint;
	/// City cells nearest the castle first; a city removed in battle leaves the list.
	std::vector<point_t> m_CityList;
	/// Wall cells nearest the castle first; a wall removed in battle leaves the list.
	std::vector<point_t> m_WallList;
	/// Road cells nearest the castle first; a road removed in battle leaves the list.
	std::vector<point_t> m_RoadList;
	/// During a battle, each cell's map type: its chip's ground, or the ground count plus its object's kind;
	/// 0 x 0 outside a battle.
	TValueLayer<int> m_MapType;
	/// Number of grounds of the database the map types were built with.
	int m_GroundCount;
};

/// Reads up to n integers separated by commas, stopping at the first that does not parse; answers how many were read.
/// When a number beyond the int range stopped it, the number's text goes to outOfRange (when given).
int ParseIntList(const char* text, std::vector<int>& values, int n, std::string* outOfRange = nullptr);
/// Appends the values to the text, joined by ",".
void JoinIntList(std::string& text, const std::vector<int>& values);

#endif
