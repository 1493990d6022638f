// The game state in XML: the "Area" element that the area data and the save
// share, the game-state elements of a save, and the reader that takes them back.

#include "model/MorvalethGame.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "model/CharaData.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <set>
#include <tinyxml.h>

namespace
{
/// Keywords of the standing orders, numbered as TAreaOperation.
const char* const OPERATION_KEYWORDS[OPERATION_COUNT] = {"Training", "SearchHero", "BuildCity", "BuildWall", "BuildRoad"};

/// The only text a flag of the area data or a save is true for.
const char* const TRUE_TEXT = "true";

/// Reads an integer attribute of the first child of that name; the value stays when either is missing or not a number.
void ReadChildInt(const TiXmlElement* parent, const char* child, const char* name, int& value)
{
	if (const TiXmlElement* element = parent->FirstChildElement(child))
		GetXmlIntAttribute(element, name, value);
}

/// The character index of each "Character" id of AreaCharacter/list; false after an Error naming an unknown id.
bool ReadCharaIds(const TMorvalethData& data, const TiXmlElement* area, const char* list, std::vector<int>& charas)
{
	const TiXmlElement* group = area->FirstChildElement("AreaCharacter");
	group = group ? group->FirstChildElement(list) : nullptr;
	for (const TiXmlElement* chara = group ? group->FirstChildElement("Character") : nullptr; chara;
		 chara = chara->NextSiblingElement("Character")) {
		const std::string id = GetXmlAttribute(chara, "id");
		const int index = data.GetCharaIndex(id);
		if (index < 0) {
			g_Logger.Error(std::string("TMorvalethGame::LoadAreaInstance() ") + list + "キャラIDの検索失敗 id=" + id);
			return false;
		}
		charas.push_back(index);
	}
	return true;
}

/// Reads the base income, the City, Wall and Road levels with their maxima, and the inhabitant cost of an area.
void ReadLevels(const TiXmlElement* element, TAreaInstance& area)
{
	area.BaseIncome = GetXmlTextInt(element->FirstChildElement("BaseIncome"));
	ReadChildInt(element, "City", "max", area.CityMax);
	ReadChildInt(element, "City", "value", area.City);
	ReadChildInt(element, "Wall", "max", area.WallMax);
	ReadChildInt(element, "Wall", "ini", area.WallIni);
	ReadChildInt(element, "Wall", "value", area.Wall);
	ReadChildInt(element, "Road", "max", area.RoadMax);
	ReadChildInt(element, "Road", "value", area.Road);
	ReadChildInt(element, "InhabitCost", "value", area.InhabitCost);
}

/// Reads the keyword of the "Operation" child; another text leaves the order as it was.
void ReadOperation(const TiXmlElement* area, int& operation)
{
	const std::string keyword = GetXmlAttribute(area->FirstChildElement("Operation"), "value");
	const auto found = std::find(std::begin(OPERATION_KEYWORDS), std::end(OPERATION_KEYWORDS), keyword);
	if (found != std::end(OPERATION_KEYWORDS))
		operation = static_cast<int>(found - std::begin(OPERATION_KEYWORDS));
}

/// Appends a new element of that name to the parent and answers it.
TiXmlElement* AppendElement(TiXmlElement* parent, const char* name)
{
	TiXmlElement* element = new TiXmlElement(name);
	parent->LinkEndChild(element);
	return element;
}

/// Appends an element of that name holding the text.
void AppendTextElement(TiXmlElement* parent, const char* name, const std::string& text)
{
	AppendXmlText(AppendElement(parent, name), text);
}

/// Appends an element of that name with the integer attribute "value".
void AppendValueElement(TiXmlElement* parent, const char* name, int value)
{
	AppendElement(parent, name)->SetAttribute("value", value);
}

/// Appends what ReadLevels reads, in that order.
void AppendLevels(TiXmlElement* element, const TAreaInstance& area)
{
	AppendTextElement(element, "BaseIncome", FormatText("%d", area.BaseIncome));
	TiXmlElement* city = AppendElement(element, "City");
	city->SetAttribute("max", area.CityMax);
	city->SetAttribute("value", area.City);
	TiXmlElement* wall = AppendElement(element, "Wall");
	wall->SetAttribute("max", area.WallMax);
	wall->SetAttribute("ini", area.WallIni);
	wall->SetAttribute("value", area.Wall);
	TiXmlElement* road = AppendElement(element, "Road");
	road->SetAttribute("max", area.RoadMax);
	road->SetAttribute("value", area.Road);
	AppendValueElement(element, "InhabitCost", area.InhabitCost);
}

/// Appends AreaCharacter/list with one "Character" per character index.
void AppendCharaIds(const TMorvalethData& data, TiXmlElement* group, const char* list, const std::vector<int>& charas)
{
	TiXmlElement* element = AppendElement(group, list);
	for (int chara : charas)
		SetXmlAttribute(AppendElement(element, "Character"), "id", data.GetCharaData(chara).id);
}

/// The saved character's element: id, area when stationed, rank, experience and, when kept, the wins.
TiXmlElement* NewCharaElement(const TCharaInstance& chara, const TCharaData& data, const TAreaInstance* area, bool dead)
{
	TiXmlElement* element = new TiXmlElement("Character");
	SetXmlAttribute(element, "id", data.id);
	if (area)
		SetXmlAttribute(element, "area", area->id);
	element->SetAttribute("rank", chara.Rank);
	element->SetAttribute("experience", chara.Experience);
	if (dead || data.Hero || data.IsMaster)
		element->SetAttribute("wincount", chara.WinCount);
	if (area)
		element->SetAttribute("actioned", chara.Actioned ? 1 : 0);
	return element;
}

/// The first child of that name; null after the Error "<name> 検索失敗".
const TiXmlElement* SavedChild(const TiXmlElement* parent, const char* name)
{
	const TiXmlElement* child = parent ? parent->FirstChildElement(name) : nullptr;
	if (!child)
		g_Logger.Error(FormatText("%s 検索失敗", name));
	return child;
}

/// Whether the City, Wall and Road of a saved area lie within 0 and their max; false after an Error naming the first that does not.
bool CheckSavedLevels(const TAreaInstance& area)
{
	const struct
	{
		const char* name;
		int value;
		int max;
	} levels[] = {{"City", area.City, area.CityMax}, {"Wall", area.Wall, area.WallMax}, {"Road", area.Road, area.RoadMax}};
	for (const auto& level : levels) {
		if (level.value < 0 || level.value > level.max) {
			g_Logger.Error(FormatText("%s Area id = %s %s = %d max = %d 範囲外。", "AreaList", area.id, level.name, level.value, level.max));
			return false;
		}
	}
	return true;
}

/// Master index of the saved master id in the attribute; -1 after an Error naming the owner element when no master in play has it.
int SavedMasterIndex(const TMorvalethGame& game, const TiXmlElement* element, const char* attribute, const char* owner)
{
	const std::string id = GetXmlAttribute(element, attribute);
	const int master = game.GetMasterIndexByID(id);
	if (master < 0)
		g_Logger.Error(FormatText("%s Master id = %s が見つかりませんでした。", owner, id));
	return master;
}
}

// The areas are sorted by id before their neighbours are resolved; an unknown
// neighbour or an id given twice would leave lookups pointing at the wrong area.
bool TMorvalethGame::LoadAreaInstance(const TiXmlElement* areaList)
{
	m_Areas.clear();
	if (areaList && !CheckChildCount(areaList, "Area", MAX_AREAS, "AreaList"))
		return false;
	std::vector<TAreaInstance> areas;
	std::set<std::string> ids;
	for (const TiXmlElement* element = areaList ? areaList->FirstChildElement("Area") : nullptr; element;
		 element = element->NextSiblingElement("Area")) {
		const TLogSubject subject("", RecordName(element));
		areas.push_back(TAreaInstance());
		if (!ReadAreaElement(element, areas.back()))
			return false;
		if (!ids.insert(areas.back().id).second) {
			g_Logger.Error("TMorvalethGame::LoadAreaInstance() エリアIDの重複 id=" + areas.back().id);
			return false;
		}
	}
	if (!SetAreas(std::move(areas)))
		return false;
	for (std::size_t i = 0; i < m_Areas.size(); ++i)
		g_Logger.Debug(FormatText("%u:%s", i, m_Areas[i].Name));
	g_Logger.Debug("Resoliving neighbor area id...");
	CopyPaintPoints();
	g_Logger.Debug("All area load OK.");
	return true;
}

// The owner resolves through the masters in play, so the area data of a new
// game (read before any master) gives no owner; a save does. File names must
// stay inside the scenario folder.
bool TMorvalethGame::ReadAreaElement(const TiXmlElement* element, TAreaInstance& area) const
{
	// The save names an area by its id: one without an id would lose its characters at the first save.
	if (!RequireId(element, "TMorvalethGame::LoadAreaInstance()", area.id))
		return false;
	const std::string master = GetXmlAttribute(element, "master");
	if (!master.empty())
		area.Owner = GetMasterIndexByID(master);
	else
		area.Ignore = GetXmlAttribute(element, "ignore") == TRUE_TEXT;
	g_Logger.Debug(FormatText("Area %s loading...", area.id));
	const TiXmlElement* name = element->FirstChildElement("Name");
	if (!name) {
		g_Logger.Error("TMorvalethGame::LoadAreaInstance() Name検索失敗");
		return false;
	}
	area.Name = GetXmlText(name);
	if (!ReadCharaIds(*m_Data, element, "Inhabit", area.Inhabit) || !ReadCharaIds(*m_Data, element, "Employable", area.Employable))
		return false;
	ReadLevels(element, area);
	if (area.CityMax < 0 || area.WallMax < 0 || area.RoadMax < 0) {
		g_Logger.Error(FormatText("TMorvalethGame::LoadAreaInstance() Area %s のmaxが負です City=%d Wall=%d Road=%d", area.id,
			area.CityMax, area.WallMax, area.RoadMax));
		return false;
	}
	if (area.Owner != -1) {
		ReadOperation(element, area.Operation);
		ReadChildInt(element, "OperationEffort", "value", area.OperationEffort);
	}
	const TiXmlElement* location = element->FirstChildElement("Location");
	if (!location) {
		g_Logger.Error("TMorvalethGame::LoadAreaInstance() Location検索失敗");
		return false;
	}
	GetXmlIntAttribute(location, "x", area.Location.x);
	GetXmlIntAttribute(location, "y", area.Location.y);
	for (const TiXmlElement* neighbor = element->FirstChildElement("NeighborArea"); neighbor;
		 neighbor = neighbor->NextSiblingElement("NeighborArea"))
		area.NeighborIds.push_back(GetXmlText(neighbor));
	area.Music = GetXmlText(element->FirstChildElement("Music"));
	area.BattleMapFile = GetXmlText(element->FirstChildElement("BattleMapFile"));
	const std::string where = "Area " + area.id;
	return CheckNameInsideRoot(area.Music, MEDIA_FOLDER_DEPTH, where)
		&& CheckNameInsideRoot(area.BattleMapFile, MEDIA_FOLDER_DEPTH, where);
}

void TMorvalethGame::CopyPaintPoints()
{
	const char* const NO_PAINT_POINTS = "エリア %s の勢力地図情報が見つかりませんでした。このエリアは勢力地図に表示されません。";
	for (TAreaInstance& area : m_Areas) {
		const int found = m_Data->GetPowerMapAreaIndex(area.id);
		if (found >= 0)
			area.PaintPoints = m_Data->GetPowerMapAreaData(found).PaintPoints;
		else
			g_Logger.Warning(MethodText("TMorvalethGame::LoadAreaInstance", __LINE__, NO_PAINT_POINTS, area.id), NO_PAINT_POINTS);
	}
}

// Each area ends with its battle map's standing objects, so that every area,
// whatever its map file is called, reads back its own.
void TMorvalethGame::SaveAreaInstance(TiXmlElement* areaList) const
{
	for (const TAreaInstance& area : m_Areas) {
		TiXmlElement* element = AppendElement(areaList, "Area");
		SetXmlAttribute(element, "id", area.id);
		if (area.Owner >= 0)
			SetXmlAttribute(element, "master", m_Data->GetMasterData(GetMaster(area.Owner).DataIndex).id);
		else if (area.Ignore)
			element->SetAttribute("ignore", TRUE_TEXT);
		AppendTextElement(element, "Name", area.Name);
		TiXmlElement* group = AppendElement(element, "AreaCharacter");
		AppendCharaIds(*m_Data, group, "Inhabit", area.Inhabit);
		AppendCharaIds(*m_Data, group, "Employable", area.Employable);
		AppendLevels(element, area);
		if (area.Owner >= 0) {
			const bool known = area.Operation >= 0 && area.Operation < OPERATION_COUNT;
			AppendElement(element, "Operation")->SetAttribute("value", known ? OPERATION_KEYWORDS[area.Operation] : "");
			AppendValueElement(element, "OperationEffort", area.OperationEffort);
		}
		TiXmlElement* location = AppendElement(element, "Location");
		location->SetAttribute("x", area.Location.x);
		location->SetAttribute("y", area.Location.y);
		for (std::size_t i = 0; i < area.NeighborIds.size(); ++i) {
			TiXmlElement* neighbor = AppendElement(element, "NeighborArea");
			neighbor->SetAttribute("index", static_cast<int>(i));
			AppendXmlText(neighbor, area.NeighborIds[i]);
		}
		AppendTextElement(element, "Music", area.Music);
		AppendTextElement(element, "BattleMapFile", area.BattleMapFile);
		if (area.BattleMap)
			area.BattleMap->SaveToElementSerialize(element);
	}
}

// A save that could never be loaded back is refused before anything is written.
bool TMorvalethGame::SaveToXML(TiXmlElement* parent) const
{
	const TWarningSummary summary;
	if (!parent || !CheckSavable())
		return false;
	AppendValueElement(parent, "GameLevel", m_GameLevel);
	AppendValueElement(parent, "Turn", m_Turn);
	AppendValueElement(parent, "ProgressedTurn", m_ProgressedTurn);
	SaveMasters(parent);
	SaveAreaInstance(AppendElement(parent, "AreaList"));
	SaveCharas(AppendElement(parent, "CharacterList"));
	return true;
}

// Masters are named by their ids, never by index.
void TMorvalethGame::SaveMasters(TiXmlElement* parent) const
{
	const auto masterId = [this](int master) { return m_Data->GetMasterData(m_Masters[master].DataIndex).id; };
	TiXmlElement* masters = AppendElement(parent, "MasterList");
	for (int m = 0; m < GetMasterCount(); ++m) {
		TiXmlElement* element = AppendElement(masters, "Master");
		SetXmlAttribute(element, "id", masterId(m));
		element->SetAttribute("exists", m_Masters[m].Exists ? 1 : 0);
		element->SetAttribute("player", m_Masters[m].Player ? 1 : 0);
		element->SetAttribute("money", m_Masters[m].Money);
	}
	TiXmlElement* alliances = AppendElement(parent, "AllianceList");
	for (const TAlliance& alliance : m_Alliances) {
		TiXmlElement* element = AppendElement(alliances, "Alliance");
		SetXmlAttribute(element, "id1", masterId(alliance.Master1));
		SetXmlAttribute(element, "id2", masterId(alliance.Master2));
		SetXmlAttribute(element, "turn", alliance.Turns == ALLIANCE_ENDLESS ? "infinite" : FormatText("%d", alliance.Turns));
	}
	TiXmlElement* order = AppendElement(parent, "MasterOrder");
	order->SetAttribute("index", m_OrderPosition);
	for (const std::pair<int, int>& entry : m_MasterOrder)
		SetXmlAttribute(AppendElement(order, "Master"), "id", masterId(entry.first));
}

// The stationed characters area by area, then the wandering and the dead.
void TMorvalethGame::SaveCharas(TiXmlElement* list) const
{
	for (const TAreaInstance& area : m_Areas) {
		for (const TCharaInstance& chara : area.Charas)
			list->LinkEndChild(NewCharaElement(chara, CharaData(chara.CharaIndex), &area, false));
	}
	const auto appendListed = [this, list](const std::vector<TCharaInstance>& charas, const char* mark, bool dead) {
		for (const TCharaInstance& chara : charas) {
			TiXmlElement* element = NewCharaElement(chara, CharaData(chara.CharaIndex), nullptr, dead);
			element->SetAttribute(mark, TRUE_TEXT);
			list->LinkEndChild(element);
		}
	};
	appendListed(m_WanderCharas, "wander", false);
	appendListed(m_DeadCharas, "dead", true);
}

// The loader takes the current master from the order position, and every
// area's objects from its battle map.
bool TMorvalethGame::CheckSavable() const
{
	const auto unmapped = std::find_if(m_Areas.begin(), m_Areas.end(), [](const TAreaInstance& area) { return !area.BattleMap; });
	std::string refusal;
	if (m_GameLevel < 1 || m_GameLevel > 5)
		refusal = FormatText("ゲームレベル %d が範囲外です。", m_GameLevel);
	else if (m_CurrentMaster < 0 || m_CurrentMaster >= GetMasterCount())
		refusal = "手番のマスターが居ません。";
	else if (m_OrderPosition < 0 || m_OrderPosition >= static_cast<int>(m_MasterOrder.size()))
		refusal = FormatText("マスター順の位置 %d が範囲外です。", m_OrderPosition);
	else if (unmapped != m_Areas.end())
		refusal = FormatText("エリア %s に戦闘マップがありません。", unmapped->id);
	if (refusal.empty())
		return true;
	LOG_ERROR("セーブできません：%s", refusal);
	return false;
}

bool TMorvalethGame::LoadSaved(const TMorvalethData* data, const std::string& folder, int chapter,
	const TiXmlElement* parent, const TMorvalethGame* sameScenario)
{
	const TWarningSummary summary;
	// Read aside and taken over whole, so that a bad save leaves this game as it was.
	TMorvalethGame loaded;
	loaded.SetData(data);
	if (sameScenario && sameScenario->m_Data == loaded.m_Data)
		loaded.m_MapFiles = sameScenario->m_MapFiles;
	if (!loaded.ReadSavedGame(folder, parent))
		return false;
	loaded.m_ChapterIndex = chapter;
	*this = std::move(loaded);
	return true;
}

bool TMorvalethGame::ReadSavedGame(const std::string& folder, const TiXmlElement* parent)
{
	if (!ReadSavedCounters(parent) || !ReadSavedMasters(parent) || !ReadSavedAlliances(parent) || !ReadSavedOrder(parent)
		|| !ReadSavedAreas(folder, parent) || !ReadSavedCharas(parent))
		return false;
	m_GameEnded = false;
	CalcIncome();
	CalcMasterPower();
	m_CurrentMaster = m_MasterOrder[m_OrderPosition].first;
	g_Logger.Debug("Saved Game start.");
	return true;
}

bool TMorvalethGame::ReadSavedCounters(const TiXmlElement* parent)
{
	int level = 0;
	const std::pair<const char*, int*> counters[] = {{"GameLevel", &level}, {"Turn", &m_Turn}, {"ProgressedTurn", &m_ProgressedTurn}};
	for (const auto& counter : counters) {
		if (!QueryChildIntAttribute(parent, counter.first, "value", *counter.second, FormatText("%s value not found.", counter.first)))
			return false;
	}
	return SetGameLevel(level);
}

// A master id given twice would make the second master unreachable by id.
bool TMorvalethGame::ReadSavedMasters(const TiXmlElement* parent)
{
	const TiXmlElement* list = SavedChild(parent, "MasterList");
	if (!list)
		return false;
	for (const TiXmlElement* element = list->FirstChildElement("Master"); element; element = element->NextSiblingElement("Master")) {
		const std::string id = GetXmlAttribute(element, "id");
		const int dataIndex = m_Data->GetMasterIndex(id);
		int exists = 0;
		int player = 0;
		int money = 0;
		const char* fault = nullptr;
		if (dataIndex < 0)
			fault = "検索失敗。";
		else if (GetMasterIndexByData(dataIndex) >= 0)
			fault = "が重複しています。";
		else if (!GetXmlIntAttribute(element, "exists", exists))
			fault = "exists属性検出失敗。";
		else if (!GetXmlIntAttribute(element, "player", player))
			fault = "player属性検出失敗。";
		else if (!GetXmlIntAttribute(element, "money", money))
			fault = "money属性検出失敗。";
		if (fault) {
			g_Logger.Error(FormatText("%s Master id = %s ", "MasterList", id) + fault);
			return false;
		}
		TMasterInstance& master = m_Masters[AddMaster(dataIndex, money)];
		master.Exists = exists != 0;
		master.Player = player != 0;
	}
	return true;
}

// The saver writes an alliance without end as "infinite" and any other with
// the turns it has left, which the countdown never takes below 0; the rules
// keep one alliance per pair of masters, never a master with itself.
bool TMorvalethGame::ReadSavedAlliances(const TiXmlElement* parent)
{
	const TiXmlElement* list = SavedChild(parent, "AllianceList");
	if (!list || !CheckChildCount(list, "Alliance", MAX_ALLIANCES, "AllianceList"))
		return false;
	for (const TiXmlElement* element = list->FirstChildElement("Alliance"); element;
		 element = element->NextSiblingElement("Alliance")) {
		TAlliance alliance;
		alliance.Master1 = SavedMasterIndex(*this, element, "id1", "Alliance");
		alliance.Master2 = alliance.Master1 < 0 ? -1 : SavedMasterIndex(*this, element, "id2", "Alliance");
		if (alliance.Master2 < 0)
			return false;
		const std::string id1 = GetXmlAttribute(element, "id1");
		const std::string turn = GetXmlAttribute(element, "turn");
		const bool endless = turn == "infinite";
		std::string fault;
		if (alliance.Master1 == alliance.Master2)
			fault = FormatText("Master id = %s が自身と同盟しています。", id1);
		else if (FindAlliance(alliance.Master1, alliance.Master2) >= 0)
			fault = FormatText("Master id = %s と %s の同盟が重複しています。", id1, GetXmlAttribute(element, "id2"));
		else if (!endless && !ParseWholeInt(turn, alliance.Turns))
			fault = "turn解釈失敗";
		else if (!endless && alliance.Turns < 0)
			fault = FormatText("turn = %s 範囲外。", turn);
		if (!fault.empty()) {
			g_Logger.Error(FormatText("%s ", "Alliance") + fault);
			return false;
		}
		if (endless)
			alliance.Turns = ALLIANCE_ENDLESS;
		m_Alliances.push_back(alliance);
	}
	return true;
}

// The order of a turn holds every master once, fallen ones included.
bool TMorvalethGame::ReadSavedOrder(const TiXmlElement* parent)
{
	const TiXmlElement* order = SavedChild(parent, "MasterOrder");
	if (!order)
		return false;
	std::vector<bool> listed(GetMasterCount(), false);
	for (const TiXmlElement* element = order->FirstChildElement("Master"); element; element = element->NextSiblingElement("Master")) {
		const int master = SavedMasterIndex(*this, element, "id", "MasterOrder");
		if (master < 0)
			return false;
		if (listed[master]) {
			g_Logger.Error(FormatText("%s Master id = %s が重複しています。", "MasterOrder", GetXmlAttribute(element, "id")));
			return false;
		}
		listed[master] = true;
		m_MasterOrder.push_back(std::make_pair(master, 0));
	}
	for (int m = 0; m < GetMasterCount(); ++m) {
		if (!listed[m]) {
			g_Logger.Error(FormatText("%s Master id = %s が含まれていません。", "MasterOrder", m_Data->GetMasterData(m_Masters[m].DataIndex).id));
			return false;
		}
	}
	if (!GetXmlIntAttribute(order, "index", m_OrderPosition)) {
		g_Logger.Error(FormatText("%s index属性検出失敗。", "MasterOrder"));
		return false;
	}
	if (m_OrderPosition < 0 || m_OrderPosition >= static_cast<int>(m_MasterOrder.size())) {
		g_Logger.Error(FormatText("%s のindex属性値がMaster要素数を超えています。", "MasterOrder"));
		return false;
	}
	return true;
}

// The maps come from the scenario again; each saved area then puts back the
// objects that stood on its own map. An owner that names no master in play
// would silently turn the area neutral. The rules keep every level within 0
// and its max.
bool TMorvalethGame::ReadSavedAreas(const std::string& folder, const TiXmlElement* parent)
{
	const TiXmlElement* list = SavedChild(parent, "AreaList");
	if (!list)
		return false;
	if (!LoadAreaInstance(list)) {
		g_Logger.Error("エリアデータ読込失敗");
		return false;
	}
	if (!LoadAreaMap(folder))
		return false;
	for (const TiXmlElement* element = list->FirstChildElement("Area"); element; element = element->NextSiblingElement("Area")) {
		TAreaInstance& area = m_Areas[FindAreaIndex(GetXmlAttribute(element, "id"))];
		const std::string master = GetXmlAttribute(element, "master");
		if (!master.empty() && area.Owner < 0) {
			g_Logger.Error(FormatText("%s Area id = %s master = %s が見つかりませんでした。", "AreaList", area.id, master));
			return false;
		}
		if (!CheckSavedLevels(area))
			return false;
		if (!area.BattleMap->LoadFromElementSerialize(element)) {
			g_Logger.Error(FormatText("%s %s 読み込み失敗", area.id, area.BattleMapFile));
			return false;
		}
	}
	return true;
}

bool TMorvalethGame::ReadSavedCharas(const TiXmlElement* parent)
{
	const TiXmlElement* list = parent->FirstChildElement("CharacterList");
	if (!list) {
		g_Logger.Error(MethodText("TMorvalethGame::LoadSaved", __LINE__, "%s 検索失敗", "CharacterList"));
		return false;
	}
	// Heroes already placed, marked as they come: a search of every list for each would take quadratic time.
	std::vector<bool> placedHeroes(m_Data->GetCharaCount(), false);
	for (const TiXmlElement* element = list->FirstChildElement("Character"); element;
		 element = element->NextSiblingElement("Character")) {
		if (!ReadSavedChara(element, placedHeroes))
			return false;
	}
	return true;
}

// Status, points and power are rebuilt from the definition and the rank. A
// hero stands in one place only, in an area or on the wandering or dead list.
// An area may hold more than 20: a script can place characters beyond the limit.
bool TMorvalethGame::ReadSavedChara(const TiXmlElement* element, std::vector<bool>& placedHeroes)
{
	const char* const NOWHERE = "%s Character id = %s はエリア所在でも放浪でも死亡でもない？";
	const std::string id = GetXmlAttribute(element, "id");
	const int index = m_Data->GetCharaIndex(id);
	int rank = 0;
	GetXmlIntAttribute(element, "rank", rank);
	const std::string areaId = GetXmlAttribute(element, "area");
	const int area = areaId.empty() ? -1 : FindAreaIndex(areaId);
	std::string fault;
	if (index < 0)
		fault = FormatText("%s Character id = %s 検索失敗。", "CharacterList", id);
	else if (rank < 0 || rank > RANK_MAX)
		fault = FormatText("%s Character id = %s rank = %d 範囲外。", "CharacterList", id, rank);
	else if (!areaId.empty() && area < 0)
		fault = FormatText("%s area = %s 検索失敗。", "CharacterList", areaId);
	else if (CharaData(index).Hero && placedHeroes[index])
		fault = FormatText("%s Character id = %s が重複しています。", "CharacterList", id);
	if (!fault.empty()) {
		g_Logger.Error(MethodText("TMorvalethGame::LoadSaved", __LINE__, "%s", fault));
		return false;
	}
	TCharaInstance chara = CreateCharaInstance(index, rank);
	GetXmlIntAttribute(element, "experience", chara.Experience);
	if (CharaData(index).Hero || CharaData(index).IsMaster)
		GetXmlIntAttribute(element, "wincount", chara.WinCount);
	if (area >= 0) {
		int actioned = 0;
		GetXmlIntAttribute(element, "actioned", actioned);
		chara.Actioned = actioned != 0;
		m_Ledger.Touch(area);
		m_Areas[area].Charas.push_back(chara);
	} else if (GetXmlAttribute(element, "wander") == TRUE_TEXT)
		m_WanderCharas.push_back(chara);
	else if (GetXmlAttribute(element, "dead") == TRUE_TEXT)
		m_DeadCharas.push_back(chara);
	else {
		g_Logger.Warning(MethodText("TMorvalethGame::LoadSaved", __LINE__, NOWHERE, "CharacterList", id), NOWHERE);
		return true;
	}
	placedHeroes[index] = placedHeroes[index] || CharaData(index).Hero;
	return true;
}
