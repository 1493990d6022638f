#include "battle/BattleMap.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "app/XmlValue.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <tinyxml.h>
#include <utility>

namespace
{
/// The four layers of a map file, in the order their rows are read.
const char* const FILE_LAYER_NAMES[MAP_FILE_LAYER_COUNT] = {"MapChip", "MapObject", "MapObjectNo", "MapHeight"};
const char* const SAVE_ELEMENT = "MapObjectInstance";

/// How reading one row element "L%d" ended.
enum class TRowRead
{
	Read,
	Missing,
	Short,
	/// A number beyond the int range, whose Error is logged.
	Logged,
};

std::string RowName(int y)
{
	return "L" + std::to_string(y);
}

// A row element's text is its first child; a row without one holds no numbers.
// A number beyond the int range ends the row as a word would, but the message
// "< Width" would send the author looking for a missing number.
/// Reads row y of the parent; a number beyond the int range is an Error naming the where (the file), the layer
/// (none for the save's layer), the row and the number.
TRowRead ReadRow(const TiXmlElement* parent, int y, int width, std::vector<int>& row, const std::string& where,
	const char* layer)
{
	const TiXmlElement* element = parent->FirstChildElement(RowName(y).c_str());
	if (!element)
		return TRowRead::Missing;
	std::string number;
	if (ParseIntList(element->GetText(), row, width, &number) == width)
		return TRowRead::Read;
	if (number.empty())
		return TRowRead::Short;
	const std::size_t shown = 24;
	if (number.size() > shown)
		number = number.substr(0, shown) + "...";
	g_Logger.Error(FormatText("%s%s %s の %d 番目の数 %s は %d..%d の範囲の外にあります。", where,
		layer ? std::string(" : ") + layer : std::string(), RowName(y), static_cast<int>(row.size()) + 1, number,
		INT_MIN, INT_MAX));
	return TRowRead::Logged;
}

bool ReadIntAttribute(const TiXmlElement* element, const char* name, const std::string& mapName, int& value)
{
	if (GetXmlIntAttribute(element, name, value))
		return true;
	g_Logger.Error(FormatText("%s : %s not found.", mapName, name));
	return false;
}

bool CheckMapSize(const char* name, int value, const std::string& mapName)
{
	if (value >= 1 && value <= BATTLE_MAP_SIZE_MAX)
		return true;
	g_Logger.Error(FormatText("%s : %s %d is outside 1..%d.", mapName, name, value, BATTLE_MAP_SIZE_MAX));
	return false;
}

// One pass over the children: looking each number up by name would take a
// time that grows with the square of the points.
/// The children "Point0", "Point1", ... in number order up to the first missing number; the first of each name.
std::vector<const TiXmlElement*> NumberedPoints(const TiXmlElement* area)
{
	std::map<int, const TiXmlElement*> byNumber;
	for (const TiXmlElement* e = area->FirstChildElement(); e; e = e->NextSiblingElement()) {
		const std::string name = e->Value();
		int number = 0;
		if (name.compare(0, 5, "Point") == 0 && ParseWholeInt(name.substr(5), number) && name == "Point" + std::to_string(number))
			byNumber.emplace(number, e);
	}
	std::vector<const TiXmlElement*> points;
	for (auto it = byNumber.find(0); it != byNumber.end() && it->first == static_cast<int>(points.size()); ++it)
		points.push_back(it->second);
	return points;
}

bool ChipHasGround(const TMorvalethData& data, int chip)
{
	return chip >= 0 && chip < data.GetMapChipNumberCount();
}

bool ObjectHasKind(const TMorvalethData& data, int number)
{
	return number >= 0 && number < data.GetMapObjNumberCount();
}
}

TBattleMap::TBattleMap(int width, int height)
	: m_MapChip(width, height), m_MapObject(width, height), m_MapObjectNo(width, height),
	  m_MapHeight(width, height), m_CurrentChip(0, 0), m_ObjectInstance(0, 0), m_CurrentHeight(0, 0),
	  m_MapType(0, 0), m_GroundCount(0)
{
}

// The map is read into a fresh object and taken over only when every part
// read well, so that a bad file leaves the map as it was.
bool TBattleMap::Load(const TiXmlElement* element, const std::string& mapName, const TMorvalethData& data)
{
	TBattleMap loaded(0, 0);
	if (!loaded.ReadFrom(element, mapName, data))
		return false;
	*this = std::move(loaded);
	return true;
}

bool TBattleMap::ReadFrom(const TiXmlElement* element, const std::string& mapName, const TMorvalethData& data)
{
	if (!element) {
		g_Logger.Error(FormatText("%s : BattleMap not found.", mapName));
		return false;
	}
	if (!ReadSize(element, mapName) || !ReadLayers(element, mapName) || !ReadStartPoints(element, mapName)
		|| !CheckChips(mapName, data))
		return false;
	ResetStandingLayers();
	return FindCastle(mapName, data) && ListObjects(mapName, data);
}

// City, Wall and Road must be present although the area data gives the levels.
bool TBattleMap::ReadSize(const TiXmlElement* element, const std::string& mapName)
{
	int width = 0;
	int height = 0;
	int level = 0;
	if (!ReadIntAttribute(element, "Width", mapName, width) || !ReadIntAttribute(element, "Height", mapName, height))
		return false;
	for (const char* name : {"City", "Wall", "Road"}) {
		if (!ReadIntAttribute(element, name, mapName, level))
			return false;
	}
	if (!CheckMapSize("Width", width, mapName) || !CheckMapSize("Height", height, mapName))
		return false;
	for (TValueLayer<int>* layer : FileLayers())
		layer->Resize(width, height);
	return true;
}

// All four layer elements must be there before any row is read; rows are
// then read row by row across the four layers.
bool TBattleMap::ReadLayers(const TiXmlElement* element, const std::string& mapName)
{
	const std::array<TValueLayer<int>*, MAP_FILE_LAYER_COUNT> layers = FileLayers();
	const TiXmlElement* parents[MAP_FILE_LAYER_COUNT] = {};
	for (int k = 0; k < MAP_FILE_LAYER_COUNT; ++k) {
		parents[k] = element->FirstChildElement(FILE_LAYER_NAMES[k]);
		if (!parents[k]) {
			g_Logger.Error(FormatText("%s : %s not found.", mapName, FILE_LAYER_NAMES[k]));
			return false;
		}
	}
	std::vector<int> row;
	for (int y = 0; y < GetHeight(); ++y) {
		for (int k = 0; k < MAP_FILE_LAYER_COUNT; ++k) {
			const TRowRead read = ReadRow(parents[k], y, GetWidth(), row, mapName, FILE_LAYER_NAMES[k]);
			if (read != TRowRead::Read) {
				const char* what = read == TRowRead::Missing ? "%s : %s Format Error." : "%s : %s < Width.";
				if (read != TRowRead::Logged)
					g_Logger.Error(FormatText(what, mapName, FILE_LAYER_NAMES[k]));
				return false;
			}
			layers[k]->SetRow(y, row);
		}
	}
	return true;
}

bool TBattleMap::ReadStartPoints(const TiXmlElement* element, const std::string& mapName)
{
	const TiXmlElement* neighbors = element->FirstChildElement("NeighborArea");
	if (!neighbors) {
		g_Logger.Error(FormatText("%s : Neighbor not found.", mapName));
		return false;
	}
	m_NeighborIds.clear();
	m_StartPointSets.clear();
	for (const TiXmlElement* area = neighbors->FirstChildElement("Area"); area; area = area->NextSiblingElement("Area")) {
		m_NeighborIds.push_back(GetXmlAttribute(area, "id"));
		TStartPointSet set;
		if (!ReadPoints(area, mapName, set.points))
			return false;
		m_StartPointSets.push_back(set);
	}
	return true;
}

// Points are numbered Point0, Point1, ... and the first missing number ends
// the list. A point off the map could never be stood on, and a cell given
// twice holds one chara only, so both are dropped before the count is
// checked: the points counted are cells a chara can be placed on.
bool TBattleMap::ReadPoints(const TiXmlElement* area, const std::string& mapName, std::vector<point_t>& points) const
{
	points.clear();
	std::set<std::pair<int, int>> cells;
	for (const TiXmlElement* element : NumberedPoints(area)) {
		point_t cell;
		if (!GetXmlIntAttribute(element, "x", cell.x)
			|| !GetXmlIntAttribute(element, "y", cell.y)) {
			g_Logger.Error(FormatText("%s : 初期配置座標の読込に失敗しました。", mapName));
			return false;
		}
		if (!IsOnMap(cell.x, cell.y))
			g_Logger.Error(FormatText("%s : 初期配置座標(%d, %d)がマップの外にあります。", mapName, cell.x, cell.y));
		else if (!cells.insert(std::make_pair(cell.x, cell.y)).second)
			WarningOf("%s : 初期配置座標(%d, %d)が重複しています。", mapName, cell.x, cell.y);
		else
			points.push_back(cell);
	}
	if (points.size() < static_cast<std::size_t>(START_POINT_MIN)) {
		g_Logger.Error(FormatText("%s : 初期配置座標の数が足りません(%d)。最低%d必要です。", mapName,
			static_cast<int>(points.size()), START_POINT_MIN));
		return false;
	}
	return true;
}

// A terrain chip without a ground would fail the first battle on the map;
// the file is refused at once instead.
bool TBattleMap::CheckChips(const std::string& mapName, const TMorvalethData& data) const
{
	for (int y = 0; y < GetHeight(); ++y) {
		for (int x = 0; x < GetWidth(); ++x) {
			const int chip = m_MapChip.At(x, y);
			if (!ChipHasGround(data, chip)) {
				g_Logger.Error(FormatText("%s : 地形レイヤに未定義のインデックス%dがあります。", mapName, chip));
				return false;
			}
		}
	}
	return true;
}

void TBattleMap::ResetStandingLayers()
{
	m_CurrentChip = m_MapChip;
	m_CurrentHeight = m_MapHeight;
	m_ObjectInstance.Resize(GetWidth(), GetHeight());
	m_CityList.clear();
	m_WallList.clear();
	m_RoadList.clear();
}

std::vector<point_t> TBattleMap::CellsAround(point_t centre) const
{
	const int radius = std::min(std::max(GetWidth() / 2, GetHeight() / 2), NEIGHBOR_RING_MAX);
	std::vector<point_t> cells;
	GetNeighborCells(centre.x, centre.y, GetWidth(), GetHeight(), radius, cells);
	return cells;
}

std::array<TValueLayer<int>*, MAP_FILE_LAYER_COUNT> TBattleMap::FileLayers()
{
	return {&m_MapChip, &m_MapObject, &m_MapObjectNo, &m_MapHeight};
}

bool TBattleMap::LoadedObjectKind(const std::string& mapName, const TMorvalethData& data, point_t cell, int& kind) const
{
	const int number = m_MapObject.At(cell.x, cell.y);
	if (!ObjectHasKind(data, number)) {
		g_Logger.Error(FormatText("%s : 上物レイヤに未定義のインデックスがあります。", mapName));
		return false;
	}
	kind = data.GetMapObjNumber(number);
	return true;
}

// The castle nearest the centre; a map without one uses the centre.
bool TBattleMap::FindCastle(const std::string& mapName, const TMorvalethData& data)
{
	const point_t centre = {GetWidth() / 2, GetHeight() / 2};
	m_CastlePoint = centre;
	for (const point_t& cell : CellsAround(centre)) {
		int kind = 0;
		if (!LoadedObjectKind(mapName, data, cell, kind))
			return false;
		if (kind == MAP_OBJECT_CASTLE) {
			m_CastlePoint = cell;
			break;
		}
	}
	return true;
}

// Cities, walls and roads are listed nearest the castle first, so that an
// area's level builds outwards from its castle; castles stand from the start.
bool TBattleMap::ListObjects(const std::string& mapName, const TMorvalethData& data)
{
	for (const point_t& cell : CellsAround(m_CastlePoint)) {
		int kind = 0;
		if (!LoadedObjectKind(mapName, data, cell, kind))
			return false;
		if (std::vector<point_t>* list = ListOfKind(kind))
			list->push_back(cell);
		else if (kind == MAP_OBJECT_CASTLE)
			m_ObjectInstance.At(cell.x, cell.y) = m_MapObject.At(cell.x, cell.y);
	}
	return true;
}

std::vector<point_t>* TBattleMap::ListOfKind(int kind)
{
	switch (kind) {
	case MAP_OBJECT_CITY:
		return &m_CityList;
	case MAP_OBJECT_WALL:
		return &m_WallList;
	case MAP_OBJECT_ROAD:
		return &m_RoadList;
	default:
		return nullptr;
	}
}

bool TBattleMap::SaveToElementSerialize(TiXmlElement* parent) const
{
	LOG_WARNING("call");
	if (!parent)
		return false;
	TiXmlElement* saved = new TiXmlElement(SAVE_ELEMENT);
	std::vector<int> row;
	for (int y = 0; y < m_ObjectInstance.Height(); ++y) {
		m_ObjectInstance.GetRow(y, row);
		std::string text;
		JoinIntList(text, row);
		TiXmlElement* line = new TiXmlElement(RowName(y).c_str());
		AppendXmlText(line, text);
		saved->LinkEndChild(line);
	}
	parent->LinkEndChild(saved);
	return true;
}

// Only an object this map can hold may come back from a save: none, or the
// object its file puts on the cell.
bool TBattleMap::LoadFromElementSerialize(const TiXmlElement* parent)
{
	const TiXmlElement* saved = parent ? parent->FirstChildElement(SAVE_ELEMENT) : nullptr;
	if (!saved) {
		g_Logger.Error(FormatText("%s not found.", SAVE_ELEMENT));
		return false;
	}
	TValueLayer<int> objects = m_ObjectInstance;
	std::vector<int> row;
	for (int y = 0; y < objects.Height(); ++y) {
		const TRowRead read = ReadRow(saved, y, objects.Width(), row, SAVE_ELEMENT, nullptr);
		if (read != TRowRead::Read) {
			const char* what = read == TRowRead::Missing ? "%s format error." : "%s elements < Width.";
			if (read != TRowRead::Logged)
				g_Logger.Error(FormatText(what, SAVE_ELEMENT));
			return false;
		}
		for (int x = 0; x < objects.Width(); ++x) {
			if (row[x] != 0 && row[x] != m_MapObject.At(x, y)) {
				g_Logger.Error(FormatText("%s : (%d, %d) cannot hold object %d.", SAVE_ELEMENT, x, y, row[x]));
				return false;
			}
		}
		objects.SetRow(y, row);
	}
	m_ObjectInstance = objects;
	return true;
}

int TBattleMap::SetCity(int n)
{
	return PlaceObjects(m_CityList, n);
}

int TBattleMap::SetWall(int n)
{
	return PlaceObjects(m_WallList, n);
}

int TBattleMap::SetRoad(int n)
{
	return PlaceObjects(m_RoadList, n);
}

// Objects beyond n are left standing: a level only ever builds.
int TBattleMap::PlaceObjects(const std::vector<point_t>& list, int n)
{
	const int count = std::min(n, static_cast<int>(list.size()));
	for (int i = 0; i < count; ++i) {
		const point_t& cell = list[i];
		m_ObjectInstance.At(cell.x, cell.y) = m_MapObject.At(cell.x, cell.y);
	}
	return static_cast<int>(list.size());
}

unsigned TBattleMap::CountMapObject(int value) const
{
	unsigned count = 0;
	for (int y = 0; y < m_ObjectInstance.Height(); ++y) {
		for (int x = 0; x < m_ObjectInstance.Width(); ++x) {
			if (m_ObjectInstance.At(x, y) == value)
				++count;
		}
	}
	return count;
}

void TBattleMap::RestoreLayers()
{
	m_CurrentChip = m_MapChip;
	m_CurrentHeight = m_MapHeight;
}

bool TBattleMap::BuildMapType(const TMorvalethData& data)
{
	m_GroundCount = data.GetMapGroundCount();
	m_MapType.Resize(GetWidth(), GetHeight());
	for (int y = 0; y < GetHeight(); ++y) {
		for (int x = 0; x < GetWidth(); ++x) {
			if (!UpdateMapType(data, x, y)) {
				g_Logger.Error("戦闘開始時のエリアマップ生成に失敗しました。");
				ReleaseMapType();
				return false;
			}
		}
	}
	return true;
}

void TBattleMap::ReleaseMapType()
{
	m_MapType.Clear();
}

// Outside a battle the map-type layer is empty and only the check runs.
bool TBattleMap::UpdateMapType(const TMorvalethData& data, int x, int y)
{
	if (!CheckCell(x, y, "UpdateMapType"))
		return false;
	int type = 0;
	const int object = m_ObjectInstance.At(x, y);
	if (object != 0) {
		if (!ObjectHasKind(data, object)) {
			g_Logger.Error(FormatText("TBattleMap::UpdateMapType() Error：上物レイヤに未定義のインデックス%dがあります。", object));
			return false;
		}
		type = data.GetMapGroundCount() + data.GetMapObjNumber(object);
	} else {
		const int chip = m_CurrentChip.At(x, y);
		if (!ChipHasGround(data, chip)) {
			g_Logger.Error(FormatText("TBattleMap::UpdateMapType() Error：地形レイヤに未定義のインデックス%dがあります。", chip));
			return false;
		}
		type = data.GetMapChipNumber(chip);
	}
	if (m_MapType.Contains(x, y))
		m_MapType.At(x, y) = type;
	return true;
}

int TBattleMap::GetMapObjectType(int x, int y) const
{
	const int type = m_MapType.At(x, y);
	return type >= m_GroundCount ? type - m_GroundCount : 0;
}

// A chip without a ground is refused before it is put down, so that the
// terrain in force never holds one.
bool TBattleMap::SetMapChip(const TMorvalethData& data, int x, int y, int chip)
{
	if (!CheckCell(x, y, "SetMapChip"))
		return false;
	if (!ChipHasGround(data, chip)) {
		g_Logger.Error(FormatText("TBattleMap::SetMapChip() Error：未定義の地形チップ%dです。", chip));
		return false;
	}
	m_CurrentChip.At(x, y) = chip;
	return UpdateMapType(data, x, y);
}

// A removed city, wall or road leaves its list until the map is loaded
// again, so later levels count only the cells still listed.
bool TBattleMap::RemoveMapObject(const TMorvalethData& data, int x, int y)
{
	if (!CheckCell(x, y, "RemoveMapObject"))
		return false;
	if (std::vector<point_t>* list = ListOfKind(GetMapObjectType(x, y)))
		RemoveMapObjXY(*list, x, y);
	m_ObjectInstance.At(x, y) = 0;
	return UpdateMapType(data, x, y);
}

int TBattleMap::RemoveMapObjectOfType(const TMorvalethData& data, int x, int y, int kind)
{
	if (!CheckCell(x, y, "RemoveMapObjectOfType"))
		return 0;
	const int found = GetMapObjectType(x, y);
	if (found != kind)
		return found;
	return RemoveMapObject(data, x, y) ? 1 : 0;
}

void TBattleMap::RemoveMapObjXY(std::vector<point_t>& list, int x, int y)
{
	const auto found = std::find(list.begin(), list.end(), point_t{x, y});
	if (found == list.end()) {
		g_Logger.Error("TBattleMap::RemoveMapObjXY() logic error");
		return;
	}
	list.erase(found);
}

bool TBattleMap::GetStartPoints(int area, std::vector<point_t>& points) const
{
	for (const TStartPointSet& set : m_StartPointSets) {
		if (set.area == area) {
			points = set.points;
			return true;
		}
	}
	return false;
}

bool TBattleMap::SetStartPointArea(int i, int area)
{
	if (i < 0 || i >= static_cast<int>(m_StartPointSets.size())) {
		g_Logger.Error(FormatText("TBattleMap::SetStartPointArea: no start point set %d of %d", i,
			static_cast<int>(m_StartPointSets.size())));
		return false;
	}
	m_StartPointSets[i].area = area;
	return true;
}

bool TBattleMap::CheckCell(int x, int y, const char* method) const
{
	if (IsOnMap(x, y))
		return true;
	g_Logger.Error(FormatText("TBattleMap::%s (%d, %d) is off the %d x %d map", method, x, y, GetWidth(), GetHeight()));
	return false;
}

// Numbers are read like "%d" (blanks before a number allowed); each next
// number follows the next comma. A number beyond the int range ends the list.
int ParseIntList(const char* text, std::vector<int>& values, int n, std::string* outOfRange)
{
	values.clear();
	const char* p = text;
	while (p && static_cast<int>(values.size()) < n) {
		char* end = nullptr;
		errno = 0;
		const long value = std::strtol(p, &end, 10);
		if (end == p)
			break;
		if (errno == ERANGE || value > INT_MAX || value < INT_MIN) {
			const char* digits = p + std::strspn(p, " \t\n\v\f\r");
			if (outOfRange)
				*outOfRange = std::string(digits, static_cast<std::size_t>(end - digits));
			break;
		}
		values.push_back(static_cast<int>(value));
		p = std::strchr(end, ',');
		if (p)
			++p;
	}
	return static_cast<int>(values.size());
}

void JoinIntList(std::string& text, const std::vector<int>& values)
{
	for (std::size_t i = 0; i < values.size(); ++i) {
		if (i > 0)
			text += ",";
		text += std::to_string(values[i]);
	}
}
