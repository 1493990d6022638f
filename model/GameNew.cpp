// A new game: the scenario's areas and their battle maps, then the chapter's
// masters, owners, characters and alliances, and the areas' starting levels.

#include "model/MorvalethGame.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "model/CharaData.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"
#include "model/ScenarioInfo.h"

#include <algorithm>
#include <tinyxml.h>

namespace
{
/// Money of every master when a new game starts.
const int START_MONEY = 100;

/// Reads the battle map file at the path into the map; false after an Error naming the path.
bool ReadBattleMapFile(const std::string& path, const TMorvalethData& data, TBattleMap& map)
{
	TiXmlDocument document;
	std::string reason;
	const TXmlFileState state = LoadXmlFile(document, path, reason);
	if (state != TXmlFileState::Loaded) {
		g_Logger.Error(state == TXmlFileState::Missing ? path + " File not found" : FormatText("%s : XML Parse Error.", path) + reason);
		return false;
	}
	const TiXmlElement* element = document.FirstChildElement("BattleMap");
	if (!element) {
		g_Logger.Error(FormatText("%s %s検索失敗", path, "BattleMap"));
		return false;
	}
	if (!map.Load(element, path, data)) {
		g_Logger.Error(path + " エリアマップ読込失敗");
		return false;
	}
	return true;
}

// An army marches in from any neighbour of the area, so the map needs start
// points for each: without them the battle could never place it.
/// Whether the map at the path has start points for every neighbour of the area; false after an Error naming
/// the first it lacks.
bool CheckStartPoints(const TAreaInstance& area, const TBattleMap& map, const std::string& path)
{
	std::vector<point_t> points;
	for (std::size_t i = 0; i < area.Neighbors.size(); ++i) {
		if (!map.GetStartPoints(area.Neighbors[i], points)) {
			g_Logger.Error(FormatText("%s : 隣接エリア %s の初期配置座標がありません。最低%d必要です。", path,
				area.NeighborIds[i], START_POINT_MIN));
			return false;
		}
	}
	return true;
}

/// The battle map read from the file at the path, read once and kept in the cache; null after an Error naming the path.
boost::shared_ptr<const TBattleMap> CachedMapFile(std::map<std::string, boost::shared_ptr<const TBattleMap>>& cache,
	const std::string& path, const TMorvalethData& data)
{
	boost::shared_ptr<const TBattleMap>& file = cache[path];
	if (!file) {
		const TLogSubject subject(path);
		boost::shared_ptr<TBattleMap> read(new TBattleMap(0, 0));
		if (!ReadBattleMapFile(path, data, *read)) {
			cache.erase(path);
			return nullptr;
		}
		file = read;
	}
	return file;
}
}

bool TMorvalethGame::LoadNew(const TMorvalethData* data, const std::string& folder, int chapter, int level)
{
	const TWarningSummary summary;
	// Built aside and taken over whole, so that a failure leaves this game as it was.
	TMorvalethGame built;
	built.SetData(data);
	if (!built.BuildNewGame(folder, chapter, level))
		return false;
	*this = std::move(built);
	return true;
}

bool TMorvalethGame::BuildNewGame(const std::string& folder, int chapter, int level)
{
	if (!ReadAreaData(folder) || !SetGameLevel(level))
		return false;
	g_Logger.Debug("Loading chapter file...");
	const std::string path = ChapterPath(folder, chapter + 1);
	const TLogSubject subject(path);
	// The database read the chapter it was loaded for: a long chapter file is not parsed twice.
	TChapterInfo read;
	const bool held = m_Data->GetChapterPath() == path;
	if (!held && !read.Load(path)) {
		g_Logger.Error(MethodText("TMorvalethGame::LoadNew", __LINE__, "failed to load %s", path));
		return false;
	}
	const TChapterInfo& info = held ? m_Data->GetChapter() : read;
	if (!AddChapterMasters(info, path) || !SetChapterAreas(info))
		return false;
	std::vector<int> placed(m_Data->GetCharaCount(), 0);
	PlaceChapterCharas(info, placed);
	SetStartingLevels();
	if (!SetChapterAlliances(info))
		return false;
	m_ChapterIndex = chapter;
	SetTurn(SubtractSaturated(info.Turn, 1), -1);
	AddUnplacedHeroes(placed);
	g_Logger.Debug("All data and instance OK, starting game...");
	m_GameEnded = false;
	CalcIncome();
	CalcMasterPower();
	// The order is exhausted, so that the first master's activation begins the chapter's first turn.
	m_OrderPosition = GetMasterCount();
	g_Logger.Debug("New Game start.");
	return true;
}

bool TMorvalethGame::ReadAreaData(const std::string& folder)
{
	const std::string path = folder + "/Data/AreaData.xml";
	const TLogSubject subject(path);
	TiXmlDocument document;
	std::string reason;
	const TXmlFileState state = LoadXmlFile(document, path, reason);
	if (state != TXmlFileState::Loaded) {
		g_Logger.Error(FormatText(state == TXmlFileState::Missing ? "%s File not found" : "%s XML parse error", path) + reason);
		return false;
	}
	const TiXmlElement* areaList = document.FirstChildElement("AreaList");
	if (!areaList) {
		g_Logger.Error(FormatText("%s %s検索失敗", path, "AreaList"));
		return false;
	}
	if (!LoadAreaInstance(areaList)) {
		g_Logger.Error(FormatText("%s エリアデータ読込失敗", path));
		return false;
	}
	return LoadAreaMap(folder);
}

// Each map lists the neighbours it can be entered from; the start point set of
// each is tied to that neighbour's area index.
bool TMorvalethGame::LoadAreaMap(const std::string& folder)
{
	g_Logger.Debug("Loading areamap file...");
	for (TAreaInstance& area : m_Areas) {
		const std::string path = FormatText("%s/Data/%s", folder, area.BattleMapFile);
		const boost::shared_ptr<const TBattleMap> file = CachedMapFile(m_MapFiles, path, *m_Data);
		if (!file) {
			// The file's own reason names only the path, which an empty or "." name makes a folder.
			g_Logger.Error(FormatText("Area %s の BattleMapFile \"%s\" を読めませんでした。", area.id, area.BattleMapFile));
			return false;
		}
		const TLogSubject subject(path);
		boost::shared_ptr<TBattleMap> map(new TBattleMap(*file));
		const std::vector<std::string>& ids = map->GetNeighborIds();
		for (std::size_t i = 0; i < ids.size(); ++i) {
			const int neighbor = FindAreaIndex(ids[i]);
			if (neighbor < 0) {
				g_Logger.Error(path + " 隣接エリア " + ids[i] + " の検索に失敗");
				return false;
			}
			map->SetStartPointArea(static_cast<int>(i), neighbor);
		}
		if (!CheckStartPoints(area, *map, path))
			return false;
		area.BattleMap = map;
	}
	return true;
}

// A master named twice would have two places in the game but one id in a save.
bool TMorvalethGame::AddChapterMasters(const TChapterInfo& chapter, const std::string& path)
{
	g_Logger.Debug("Constructing master instance...");
	// Without a master no turn could begin, and the game could never be saved.
	if (chapter.Masters.empty()) {
		g_Logger.Error(path + " Master検索失敗");
		return false;
	}
	for (const TChapterMaster& master : chapter.Masters) {
		const int dataIndex = m_Data->GetMasterIndex(master.id);
		if (dataIndex < 0) {
			g_Logger.Error(path + " マスターID " + master.id + " の検索に失敗");
			return false;
		}
		if (GetMasterIndexByData(dataIndex) >= 0) {
			g_Logger.Error(path + " マスターID " + master.id + " が重複しています");
			return false;
		}
		AddMaster(dataIndex, START_MONEY);
	}
	return true;
}

// Areas the chapter does not name keep what the area data gave them.
bool TMorvalethGame::SetChapterAreas(const TChapterInfo& chapter)
{
	g_Logger.Debug("Constructing area instance...");
	for (const TChapterArea& entry : chapter.Areas) {
		const int found = FindAreaIndex(entry.id);
		if (found < 0) {
			g_Logger.Error(FormatText("マスター保有エリア設定処理： Area %s の検索に失敗", entry.id));
			return false;
		}
		TAreaInstance& area = m_Areas[found];
		area.Owner = entry.Master.empty() ? -1 : GetMasterIndexByID(entry.Master);
		area.Ignore = area.Owner == -1 && entry.Ignore;
	}
	return true;
}

// An entry that names an unknown area or character, or a full area, is skipped;
// a rank outside 0..RANK_MAX is clamped.
void TMorvalethGame::PlaceChapterCharas(const TChapterInfo& chapter, std::vector<int>& placed)
{
	g_Logger.Debug("Placing character on area...");
	for (const TChapterChara& entry : chapter.Charas) {
		const int area = FindAreaIndex(entry.Area);
		if (area < 0) {
			WarningOf("Area %s の検索に失敗", entry.Area);
			continue;
		}
		g_Logger.Debug(FormatText("chara配置 Area %s %s", entry.Area, entry.id));
		const int chara = m_Data->GetCharaIndex(entry.id);
		if (chara < 0) {
			WarningOf("Chara %s の検索に失敗", entry.id);
			continue;
		}
		std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
		if (m_Data->GetCharaData(chara).Hero && placed[chara] > 0) {
			WarningOf("Chara %s はヒーローで配置済みなので Area %s には配置しません", entry.id, entry.Area);
			continue;
		}
		if (charas.size() >= AREA_CHARA_MAX) {
			WarningOf("Area %s は満員なので Chara %s を配置しません", entry.Area, entry.id);
			continue;
		}
		const int rank = std::max(0, std::min(entry.Rank, RANK_MAX));
		if (rank != entry.Rank)
			WarningOf("Chara %s のrank %d が範囲 0..%d の外にあるので %d にします", entry.id, entry.Rank, RANK_MAX, rank);
		charas.push_back(CreateCharaInstance(chara, rank));
		++placed[chara];
		g_Logger.Debug(FormatText("chara配置 Area %s %s OK", entry.Area, entry.id));
	}
}

// A neutral area starts at a tenth of its City and Road, an owned one at a
// sixth, and one where a master stands at a third with its wall complete. The
// wall is figured in 64 bits and every level is kept within 0 and its max.
void TMorvalethGame::SetStartingLevels()
{
	for (int a = 0; a < GetAreaCount(); ++a) {
		const TAreaInstance& area = m_Areas[a];
		const bool owned = area.Owner >= 0;
		const bool master = owned && AreaHasMaster(a);
		const int divisor = master ? 3 : owned ? 6 : 10;
		const long long ini = owned ? area.WallIni + 40LL : area.WallIni;
		const long long wall = master ? area.WallMax : ini * area.WallMax / 100;
		SetAreaCity(a, area.CityMax / divisor);
		SetAreaWall(a, static_cast<int>(std::max(0LL, std::min(wall, static_cast<long long>(area.WallMax)))));
		SetAreaRoad(a, area.RoadMax / divisor);
	}
}

// An alliance with a master outside the chapter is skipped; an id that no
// master has is an error in the chapter.
bool TMorvalethGame::SetChapterAlliances(const TChapterInfo& chapter)
{
	const int unknown = -2;
	const auto resolve = [this, unknown](const std::string& id, const char* name) {
		const int dataIndex = m_Data->GetMasterIndex(id);
		if (dataIndex < 0) {
			g_Logger.Error(FormatText("Allianceで指定された%s %s の検索に失敗", name, id));
			return unknown;
		}
		const int master = GetMasterIndexByData(dataIndex);
		if (master < 0)
			WarningOf("Allianceで指定された%s %s のマスターはこの章に存在しません。この同盟設定を無視します。", name, id);
		return master;
	};
	for (const TChapterAlliance& entry : chapter.Alliances) {
		const int master1 = resolve(entry.MasterId1, "id1");
		const int master2 = master1 < 0 ? master1 : resolve(entry.MasterId2, "id2");
		if (master2 == unknown)
			return false;
		if (master2 >= 0)
			SetAlliance(master1, master2, entry.Turn);
	}
	return true;
}

void TMorvalethGame::AddUnplacedHeroes(const std::vector<int>& placed)
{
	g_Logger.Debug("人材の放浪状況を構築します...");
	for (int c = 0; c < m_Data->GetCharaCount(); ++c) {
		const TCharaData& data = CharaData(c);
		if (placed[c] == 0 && data.Hero && !data.NoWander)
			m_WanderCharas.push_back(CreateCharaInstance(c, 0));
	}
}
