#include "model/MorvalethData.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "model/DataFile.h"
#include "model/RecordTable.h"

#include <algorithm>
#include <tinyxml.h>

namespace
{
/// The grounds or the objects: their element name, their first map type, how many there are.
struct TTerrainKind
{
	const char* element;
	int first;
	int count;
	const char* rangeName;
};

bool ReadTerrainNames(const TiXmlElement* list, const char* element, const std::string& path, std::vector<std::string>& names)
{
	if (!CheckChildCount(list, element, MAX_KINDS, path))
		return false;
	for (const TiXmlElement* e = list->FirstChildElement(element); e; e = e->NextSiblingElement(element)) {
		int index = 0;
		if (!GetXmlIntAttribute(e, "index", index)) {
			g_Logger.Error(path + " index読込失敗");
			return false;
		}
		if (index != static_cast<int>(names.size())) {
			g_Logger.Warning(path + " indexの値がとんでいるか、または不順です。"
				"現在indexはチェックのみしており実際には要素の並び順でインデックスが割り当てられます。");
		}
		const TiXmlElement* name = RequireChild(e, "Name", path, " Name検索失敗");
		if (!name)
			return false;
		names.push_back(GetXmlText(name));
	}
	return true;
}

/// The move type's entries for the grounds or the objects; every index must lie inside that kind's range.
bool ReadMoveCosts(const TiXmlElement* element, const std::string& path, const TTerrainKind& kind,
	TMoveTypeData& moveType, int& count)
{
	for (const TiXmlElement* e = element->FirstChildElement(kind.element); e; e = e->NextSiblingElement(kind.element)) {
		int index = 0, cost = 0, skill = 0;
		if (!GetXmlIntAttribute(e, "index", index)) {
			g_Logger.Error(path + " index読込失敗");
			return false;
		}
		if (index < 0 || index >= kind.count) {
			g_Logger.Error(FormatText("%s 移動タイプ\"%s\"のindex %dが%sの範囲(%d)を超えています。",
				path, moveType.Name, index, kind.rangeName, kind.count));
			return false;
		}
		if (!GetXmlIntAttribute(e, "MoveCost", cost)) {
			g_Logger.Error(path + " MoveCost読込失敗");
			return false;
		}
		if (!GetXmlIntAttribute(e, "Skill", skill)) {
			g_Logger.Error(path + " Skill読込失敗");
			return false;
		}
		moveType.MoveCost[kind.first + index] = cost;
		moveType.Skill[kind.first + index] = skill;
		++count;
	}
	return true;
}

bool ReadMoveType(const TiXmlElement* element, const std::string& path, int grounds, int objects, TMoveTypeData& moveType)
{
	const TiXmlElement* name
		= RequireId(element, path, moveType.id) ? RequireChild(element, "Name", path, " Name検索失敗") : nullptr;
	if (!name)
		return false;
	moveType.Name = GetXmlText(name);
	moveType.MoveCost.assign(grounds + objects, 0);
	moveType.Skill.assign(grounds + objects, 0);
	int count = 0;
	const TTerrainKind groundKind = {"MapGround", 0, grounds, "地形データ"};
	const TTerrainKind objectKind = {"MapObject", grounds, objects, "上物データ"};
	if (!ReadMoveCosts(element, path, groundKind, moveType, count) || !ReadMoveCosts(element, path, objectKind, moveType, count))
		return false;
	if (count < grounds + objects)
		g_Logger.Warning(path + " " + moveType.Name + " MapObjectの数が足りません。読み込めなかった分のデータは0とみなします。",
			path + " MapObjectの数");
	if (std::find(moveType.MoveCost.begin(), moveType.MoveCost.end(), 0) != moveType.MoveCost.end()) {
		g_Logger.Error(FormatText("%s 移動タイプ\"%s\"の移動コストに0の要素が含まれています。", path, moveType.Name));
		return false;
	}
	return true;
}

/// Every chip must name an existing ground or object: the battle indexes its move tables with it.
bool CheckChipNumbers(const std::string& path, const std::vector<int>& table, int limit)
{
	for (std::size_t chip = 0; chip < table.size(); ++chip) {
		if (table[chip] < 0 || table[chip] >= limit) {
			g_Logger.Error(path + FormatText(" チップ%dの値 %d が範囲 0..%d の外にあります。", chip, table[chip], limit - 1));
			return false;
		}
	}
	return true;
}
}

bool TMorvalethData::LoadMapChipType(const std::string& path)
{
	m_MapGroundNames.clear();
	m_MapObjectNames.clear();
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, true)
		? RequireChild(&document, "GroundList", path, " GroundList検索失敗") : nullptr;
	const TiXmlElement* grounds = list ? RequireChild(list, "MapGroundList", path, " MapGroundList検索失敗") : nullptr;
	if (!grounds || !ReadTerrainNames(grounds, "MapGround", path, m_MapGroundNames))
		return false;
	const TiXmlElement* objects = RequireChild(list, "MapObjectList", path, " MapObjectList検索失敗");
	return objects && ReadTerrainNames(objects, "MapObject", path, m_MapObjectNames);
}

bool TMorvalethData::LoadMoveAndSkill(const std::string& path)
{
	m_MoveTypes.clear();
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, true)
		? RequireChild(&document, "MoveTypeList", path, " MoveTypeList検索失敗") : nullptr;
	if (!list || !CheckChildCount(list, "MoveType", MAX_KINDS, path))
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("MoveType"); e; e = e->NextSiblingElement("MoveType")) {
		const TLogSubject subject(path, RecordName(e));
		TMoveTypeData moveType;
		if (!ReadMoveType(e, path, GetMapGroundCount(), GetMapObjectCount(), moveType))
			return false;
		m_MoveTypes.push_back(moveType);
	}
	SortByID(m_MoveTypes, path);
	return true;
}

bool TMorvalethData::LoadMapObj(const std::string& path)
{
	m_MapObjNumbers.clear();
	return LoadNumberTable(path, m_MapObjNumbers) && CheckChipNumbers(path, m_MapObjNumbers, GetMapObjectCount());
}

bool TMorvalethData::LoadMapChip(const std::string& path)
{
	m_MapChipNumbers.clear();
	return LoadNumberTable(path, m_MapChipNumbers) && CheckChipNumbers(path, m_MapChipNumbers, GetMapGroundCount());
}

bool LoadNumberTable(const std::string& path, std::vector<int>& table)
{
	std::string text;
	if (!ReadWholeFile(path, text)) {
		g_Logger.Error(path + " file not found");
		return false;
	}
	// The separators are the ASCII blanks of any locale; the process-wide locale is left alone.
	const char* const blanks = " \t\n\r\v\f";
	for (std::size_t start = text.find_first_not_of(blanks); start != std::string::npos;
		start = text.find_first_not_of(blanks, start)) {
		const std::size_t end = text.find_first_of(blanks, start);
		int value = 0;
		if (!ParseWholeInt(text.substr(start, end - start), value)) {
			g_Logger.Error(path + " 読込失敗（文字列→数値変換エラー）");
			return false;
		}
		table.push_back(value);
		start = end;
	}
	return true;
}
