#include "model/MorvalethData.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "model/DataFile.h"
#include "model/RecordTable.h"

#include <set>
#include <tinyxml.h>

namespace
{
// Character folders lie in the scenario folder, one level below the scenario root.
const int CHARA_FOLDER_DEPTH = 1;

bool ReadCharaDirectories(const TiXmlElement* masterList, const std::string& path, std::vector<std::string>& folders)
{
	const TiXmlElement* list = RequireChild(masterList, "Character", path, " Character検索失敗");
	if (!list)
		return false;
	// A folder listed again would only repeat every id it defines; it is read once.
	std::set<std::string> listed;
	std::set<std::string> warned;
	for (const TiXmlElement* e = list->FirstChildElement("Directory"); e; e = e->NextSiblingElement("Directory")) {
		const std::string folder = GetXmlText(e);
		if (!CheckNameInsideRoot(folder, CHARA_FOLDER_DEPTH, path))
			return false;
		if (listed.insert(folder).second)
			folders.push_back(folder);
		else if (warned.insert(folder).second)
			g_Logger.Warning(path + " キャラクターフォルダ " + folder + " が重複しています。一度だけ読み込みます。",
				"キャラクターフォルダの重複");
	}
	return true;
}

/// Event music and decisive music, each only when the file names it.
bool ReadCommonMusic(const TiXmlElement* masterList, const std::string& path, std::vector<std::string>& music)
{
	music.assign(2, std::string());
	const TiXmlElement* common = masterList->FirstChildElement("CommonMusic");
	return !common || (ReadMediaName(common, "EventMusic", path, music[0])
		&& ReadMediaName(common, "DecisiveMusic", path, music[1]));
}

bool ReadMaster(const TiXmlElement* element, const std::string& path, TMasterData& master)
{
	// Areas, alliances and the master order of a save name a master by its id.
	if (!RequireId(element, path, master.id))
		return false;
	const TiXmlElement* name = RequireChild(element, "Name", path, " MasterのName検索失敗");
	if (!name)
		return false;
	master.Name = GetXmlText(name);
	if (const TiXmlElement* color = element->FirstChildElement("PowerMapColor"))
		master.PowerMapColor = ParseColorWord(GetXmlText(color));
	return ReadMediaName(element, "Music", path, master.Music)
		&& ReadMediaName(element, "BattleMusic", path, master.BattleMusic)
		&& ReadMediaName(element, "MasterBattleMusic", path, master.MasterBattleMusic)
		&& ReadMediaName(element, "FlagFile", path, master.FlagFile);
}

bool ReadPowerMapAreas(const TiXmlElement* root, const std::string& path, std::vector<TPowerMapAreaData>& areas)
{
	const TiXmlElement* list = RequireChild(root, "AreaList", path, " AreaList検索失敗");
	if (!list || !CheckChildCount(list, "Area", MAX_AREAS, path))
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Area"); e; e = e->NextSiblingElement("Area")) {
		const TLogSubject subject(path, RecordName(e));
		TPowerMapAreaData area;
		if (!RequireId(e, path, area.id))
			return false;
		for (const TiXmlElement* p = e->FirstChildElement("PaintPoint"); p; p = p->NextSiblingElement("PaintPoint")) {
			point_t point;
			GetXmlIntAttribute(p, "x", point.x);
			GetXmlIntAttribute(p, "y", point.y);
			// (0, 0) is the border colour's pixel and stands for "no point".
			if (point.x != 0 || point.y != 0)
				area.PaintPoints.push_back(point);
		}
		areas.push_back(area);
	}
	return true;
}
}

bool TMorvalethData::LoadMasterData(const std::string& path)
{
	m_CharaDirectories.clear();
	m_Masters.clear();
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, false)
		? RequireChild(&document, "MasterList", path, " MasterList検索失敗") : nullptr;
	if (!list || !CheckChildCount(list, "Master", MAX_MASTERS, path) || !ReadCharaDirectories(list, path, m_CharaDirectories)
		|| !ReadCommonMusic(list, path, m_CommonMusic))
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Master"); e; e = e->NextSiblingElement("Master")) {
		const TLogSubject subject(path, RecordName(e));
		TMasterData master;
		if (!ReadMaster(e, path, master))
			return false;
		m_Masters.push_back(master);
	}
	SortByID(m_Masters, path);
	return true;
}

bool TMorvalethData::LoadPowerMap(const std::string& path)
{
	m_PowerMapAreas.clear();
	TiXmlDocument document;
	const TiXmlElement* root = ReadXmlDataFile(document, path, true) ? RequireRoot(document, path) : nullptr;
	const TiXmlElement* image = root ? RequireChild(root, "Image", path, " Image not found") : nullptr;
	const TiXmlElement* file = image ? RequireChild(image, "File", path, " File not found") : nullptr;
	if (!file)
		return false;
	m_PowerMapFile = GetXmlText(file);
	if (!CheckNameInsideRoot(m_PowerMapFile, MEDIA_FOLDER_DEPTH, path) || !ReadPowerMapAreas(root, path, m_PowerMapAreas))
		return false;
	SortByID(m_PowerMapAreas, path);
	return true;
}

bool TMorvalethData::LoadFieldMap(const std::string& path)
{
	TiXmlDocument document;
	const TiXmlElement* fieldMap = ReadXmlDataFile(document, path, false)
		? RequireChild(&document, "FieldMap", path, " FieldMap検索失敗") : nullptr;
	if (!fieldMap)
		return false;
	if (!GetXmlIntAttribute(fieldMap, "Width", m_FieldMapWidth)) {
		g_Logger.Error(path + " FieldMap Width検索失敗");
		return false;
	}
	if (!GetXmlIntAttribute(fieldMap, "Height", m_FieldMapHeight)) {
		g_Logger.Error(path + " FieldMap Height検索失敗");
		return false;
	}
	const TiXmlElement* image = fieldMap->FirstChildElement("Image");
	const TiXmlElement* file = image ? image->FirstChildElement("File") : nullptr;
	if (file)
		m_FieldMapFile = GetXmlText(file);
	return CheckNameInsideRoot(m_FieldMapFile, MEDIA_FOLDER_DEPTH, path);
}
