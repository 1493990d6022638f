#ifndef MORVALETH_BATTLE_BATTLEMAP_H
#define MORVALETH_BATTLE_BATTLEMAP_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"

#include <array>
#include <string>
#include <vector>

class TMorvalethData;
class TiXmlElement;

/// Kinds of map objects, as the object number table of the scenario gives them.
const int MAP_OBJECT_CITY = 1;
const int MAP_OBJECT_WALL = 2;
const int MAP_OBJECT_ROAD = 3;
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

	int GetWidth() const { return m_MapChip.Width(); }
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
	bool ReadFrom(const TiXmlElement* element, const std::string& mapName, const TMorvalethData& data);
	bool ReadSize(const TiXmlElement* element, const std::string& mapName);
	bool ReadLayers(const TiXmlElement* element, const std::string& mapName);
	bool ReadStartPoints(const TiXmlElement* element, const std::string& mapName);
	bool ReadPoints(const TiXmlElement* area, const std::string& mapName, std::vector<point_t>& points) const;
	bool CheckChips(const std::string& mapName, const TMorvalethData& data) const;
	void ResetStandingLayers();
	bool FindCastle(const std::string& mapName, const TMorvalethData& data);
	bool ListObjects(const std::string& mapName, const TMorvalethData& data);
	std::vector<point_t>* ListOfKind(int kind);
	std::vector<point_t> CellsAround(point_t centre) const;
	std::array<TValueLayer<int>*, MAP_FILE_LAYER_COUNT> FileLayers();
	bool LoadedObjectKind(const std::string& mapName, const TMorvalethData& data, point_t cell, int& kind) const;
	int PlaceObjects(const std::vector<point_t>& list, int n);
	bool CheckCell(int x, int y, const char* method) const;

	TValueLayer<int> m_MapChip;
	TValueLayer<int> m_MapObject;
	TValueLayer<int> m_MapObjectNo;
	TValueLayer<int> m_MapHeight;
	TValueLayer<int> m_CurrentChip;
	TValueLayer<int> m_ObjectInstance;
	TValueLayer<int> m_CurrentHeight;
	std::vector<std::string> m_NeighborIds;
	std::vector<TStartPointSet> m_StartPointSets;
	point_t m_CastlePoint;
	std::vector<point_t> m_CityList;
	std::vector<point_t> m_WallList;
	std::vector<point_t> m_RoadList;
	TValueLayer<int> m_MapType;
	/// Number of grounds of the database the map types were built with.
	int m_GroundCount;
};

/// Reads up to n integers separated by commas, stopping at the first that does not parse; answers how many were read.
int ParseIntList(const char* text, std::vector<int>& values, int n);
/// Appends the values to the text, joined by ",".
void JoinIntList(std::string& text, const std::vector<int>& values);

#endif
