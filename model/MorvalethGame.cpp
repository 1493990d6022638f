#include "model/MorvalethGame.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/RecordTable.h"

#include <algorithm>

namespace
{
/// Share of the definition's stats at ranks 0 to RANK_MAX, in percent.
const int RANK_PERCENT[RANK_MAX + 1] = {100, 108, 116, 125, 133, 166};

/// The six stats of a definition and of a character in play, pairwise.
const std::pair<int TCharaData::*, int TCharaInstance::*> STATS[] = {
	{&TCharaData::PhysicalAttack, &TCharaInstance::PhysicalAttack},
	{&TCharaData::PhysicalDefense, &TCharaInstance::PhysicalDefense},
	{&TCharaData::Skill, &TCharaInstance::Skill},
	{&TCharaData::Speed, &TCharaInstance::Speed},
	{&TCharaData::MagicAttack, &TCharaInstance::MagicAttack},
	{&TCharaData::MagicDefense, &TCharaInstance::MagicDefense},
};

/// The database of a game that has not been given one: every read finds nothing.
const TMorvalethData& EmptyData()
{
	static const TMorvalethData data;
	return data;
}

/// Entry i of the table; outside it an Error and the scratch record, reset, so that writes land nowhere.
template <typename T>
T& EntryOrScratch(std::vector<T>& table, int i, const char* name, T& scratch)
{
	if (T* entry = CheckedSlot(table, i, name))
		return *entry;
	scratch = T();
	return scratch;
}

/// The value kept within 0 and max.
int ClampLevel(int value, int max)
{
	return std::max(0, std::min(value, max));
}
}

int FindCharaInList(const std::vector<TCharaInstance>& list, int charaIndex)
{
	const auto found = std::find_if(list.begin(), list.end(),
		[charaIndex](const TCharaInstance& chara) { return chara.CharaIndex == charaIndex; });
	return found != list.end() ? static_cast<int>(found - list.begin()) : -1;
}

TMorvalethGame::TMorvalethGame()
	: m_OrderPosition(0), m_GameLevel(0), m_Turn(0), m_ProgressedTurn(0), m_ChapterIndex(0), m_CurrentMaster(-1),
	  m_GameEnded(false), m_Data(&EmptyData())
{
}

void TMorvalethGame::SetData(const TMorvalethData* data)
{
	m_Data = data ? data : &EmptyData();
	m_Ledger.Reset();
}

bool TMorvalethGame::SetAreas(std::vector<TAreaInstance> areas)
{
	const TRecount recount(*this);
	std::stable_sort(areas.begin(), areas.end(), [](const TAreaInstance& a, const TAreaInstance& b) { return a.id < b.id; });
	for (TAreaInstance& area : areas) {
		area.Neighbors.clear();
		for (const std::string& id : area.NeighborIds) {
			const int neighbor = FindIndexByID(areas, id);
			if (neighbor < 0) {
				LOG_ERROR("エリア %s の隣接エリア %s の検索に失敗", area.id, id);
				return false;
			}
			area.Neighbors.push_back(neighbor);
		}
	}
	m_Areas.swap(areas);
	m_Ledger.Reset();
	return true;
}

int TMorvalethGame::AddMaster(int dataIndex, int money)
{
	TMasterInstance master;
	master.DataIndex = dataIndex;
	master.Money = money;
	m_Masters.push_back(master);
	return GetMasterCount() - 1;
}

bool TMorvalethGame::SetGameLevel(int level)
{
	if (level < 1 || level > 5) {
		LOG_ERROR("GameLevel %d is outside 1..5", level);
		return false;
	}
	m_GameLevel = level;
	return true;
}

void TMorvalethGame::SetTurn(int turn, int progressedTurn)
{
	m_Turn = turn;
	m_ProgressedTurn = progressedTurn;
}

TAreaInstance& TMorvalethGame::GetArea(int i)
{
	m_Ledger.Touch(i);
	return EntryOrScratch(m_Areas, i, "areas", m_ScratchArea);
}

const TAreaInstance& TMorvalethGame::GetArea(int i) const
{
	return CheckedAt(m_Areas, i, "areas");
}

TMasterInstance& TMorvalethGame::GetMaster(int i)
{
	return EntryOrScratch(m_Masters, i, "masters", m_ScratchMaster);
}

const TMasterInstance& TMorvalethGame::GetMaster(int i) const
{
	return CheckedAt(m_Masters, i, "masters");
}

TAlliance& TMorvalethGame::GetAlliance(int i)
{
	return EntryOrScratch(m_Alliances, i, "alliances", m_ScratchAlliance);
}

const TAlliance& TMorvalethGame::GetAlliance(int i) const
{
	return CheckedAt(m_Alliances, i, "alliances");
}

void TMorvalethGame::SetAreaMusicIndex(int i, int music)
{
	GetArea(i).MusicIndex = music;
}

const TCharaData& TMorvalethGame::CharaData(int charaIndex) const
{
	return m_Data->GetCharaData(charaIndex);
}

int TMorvalethGame::MasterCharaIndex(int master) const
{
	if (master < 0 || master >= GetMasterCount())
		return -1;
	return m_Data->GetMasterData(m_Masters[master].DataIndex).CharaIndex;
}

bool TMorvalethGame::CheckArea(int area, const char* caller) const
{
	if (area >= 0 && area < GetAreaCount())
		return true;
	g_Logger.Error(FormatText("%s: area index %d outside the %d areas", MethodName(caller), area, GetAreaCount()));
	return false;
}

bool TMorvalethGame::CheckMaster(int master, const char* caller) const
{
	if (master >= 0 && master < GetMasterCount())
		return true;
	g_Logger.Error(FormatText("%s: master index %d outside the %d masters", MethodName(caller), master, GetMasterCount()));
	return false;
}

TCharaInstance TMorvalethGame::CreateCharaInstance(int charaIndex, int rank) const
{
	if (rank < 0 || rank > RANK_MAX) {
		LOG_ERROR("character %d: rank %d outside 0..%d", charaIndex, rank, RANK_MAX);
		rank = ClampLevel(rank, RANK_MAX);
	}
	TCharaInstance chara;
	chara.CharaIndex = charaIndex;
	chara.Rank = rank;
	CalcCharaStatus(chara);
	chara.HP = chara.HPMax;
	chara.MP = chara.MPMax;
	const TCharaData& data = CharaData(charaIndex);
	chara.Resistances = data.Resistances;
	chara.MoveType = data.MoveType;
	return chara;
}

void TMorvalethGame::CalcCharaStatus(TCharaInstance& chara) const
{
	const TCharaData& data = CharaData(chara.CharaIndex);
	const int percent = RANK_PERCENT[ClampLevel(chara.Rank, RANK_MAX)];
	chara.HPMax = data.HP;
	chara.MPMax = data.MP;
	for (const auto& stat : STATS)
		chara.*stat.second = ScalePercent(data.*stat.first, percent);
	chara.Power = CalcCharaPower(chara);
}

int TMorvalethGame::FindAreaIndex(const std::string& id) const
{
	return FindIndexByID(m_Areas, id);
}

int TMorvalethGame::GetMasterIndexByData(int dataIndex) const
{
	const auto found = std::find_if(m_Masters.begin(), m_Masters.end(),
		[dataIndex](const TMasterInstance& master) { return master.DataIndex == dataIndex; });
	return found != m_Masters.end() ? static_cast<int>(found - m_Masters.begin()) : -1;
}

int TMorvalethGame::GetMasterIndexByID(const std::string& id) const
{
	const int dataIndex = m_Data->GetMasterIndex(id);
	return dataIndex < 0 ? -1 : GetMasterIndexByData(dataIndex);
}

bool TMorvalethGame::FindMasterChara(int master, int charaIndex, int& area, int& position) const
{
	if (master < 0 || master >= GetMasterCount())
		return false;
	for (int a = 0; a < GetAreaCount(); ++a) {
		if (m_Areas[a].Owner != master)
			continue;
		const int found = FindCharaInList(m_Areas[a].Charas, charaIndex);
		if (found >= 0) {
			area = a;
			position = found;
			return true;
		}
	}
	return false;
}

int TMorvalethGame::GetMasterArea(int master) const
{
	const int chara = MasterCharaIndex(master);
	int area = -1;
	int position = -1;
	return chara >= 0 && FindMasterChara(master, chara, area, position) ? area : -1;
}

bool TMorvalethGame::AreaHasMaster(int area) const
{
	const std::vector<TCharaInstance>& charas = GetArea(area).Charas;
	return std::any_of(charas.begin(), charas.end(),
		[this](const TCharaInstance& chara) { return CharaData(chara.CharaIndex).IsMaster; });
}

bool TMorvalethGame::CharaExists(int charaIndex) const
{
	for (const TAreaInstance& area : m_Areas) {
		if (FindCharaInList(area.Charas, charaIndex) >= 0)
			return true;
	}
	return FindCharaInList(m_WanderCharas, charaIndex) >= 0 || FindCharaInList(m_DeadCharas, charaIndex) >= 0;
}

std::vector<bool> TMorvalethGame::MarkPresentCharas() const
{
	std::vector<bool> present(m_Data->GetCharaCount(), false);
	const auto mark = [&present](const std::vector<TCharaInstance>& list) {
		for (const TCharaInstance& chara : list) {
			if (chara.CharaIndex >= 0 && chara.CharaIndex < static_cast<int>(present.size()))
				present[chara.CharaIndex] = true;
		}
	};
	for (const TAreaInstance& area : m_Areas)
		mark(area.Charas);
	mark(m_WanderCharas);
	mark(m_DeadCharas);
	return present;
}

TCharaInstance TMorvalethGame::GetWanderingChara(int charaIndex) const
{
	const int found = FindCharaInList(m_WanderCharas, charaIndex);
	if (found >= 0)
		return m_WanderCharas[found];
	LOG_ERROR("放浪してない人材を検索しようとした？");
	return CreateCharaInstance(0, 0);
}

int TMorvalethGame::FindAlliance(int a, int b) const
{
	const auto found = std::find_if(m_Alliances.begin(), m_Alliances.end(), [a, b](const TAlliance& alliance) {
		return (alliance.Master1 == a && alliance.Master2 == b) || (alliance.Master1 == b && alliance.Master2 == a);
	});
	return found != m_Alliances.end() ? static_cast<int>(found - m_Alliances.begin()) : -1;
}

bool TMorvalethGame::GetChampion(int n, std::string& id) const
{
	std::vector<const TCharaInstance*> heroes;
	for (const TAreaInstance& area : m_Areas) {
		for (const TCharaInstance& chara : area.Charas) {
			if (CharaData(chara.CharaIndex).Hero)
				heroes.push_back(&chara);
		}
	}
	std::stable_sort(heroes.begin(), heroes.end(),
		[](const TCharaInstance* a, const TCharaInstance* b) { return a->WinCount > b->WinCount; });
	if (n < 0 || n >= static_cast<int>(heroes.size()) || heroes[n]->WinCount < 1)
		return false;
	id = CharaData(heroes[n]->CharaIndex).id;
	return true;
}

int TMorvalethGame::GetMasterAreaCount(int master) const
{
	return static_cast<int>(std::count_if(m_Areas.begin(), m_Areas.end(),
		[master](const TAreaInstance& area) { return area.Owner == master; }));
}

int TMorvalethGame::GetMasterHeroCount(int master) const
{
	int count = 0;
	for (const TAreaInstance& area : m_Areas) {
		if (area.Owner != master)
			continue;
		count += static_cast<int>(std::count_if(area.Charas.begin(), area.Charas.end(),
			[this](const TCharaInstance& chara) { return CharaData(chara.CharaIndex).Hero; }));
	}
	return count;
}

int TMorvalethGame::GetAreaPower(int area) const
{
	int power = 0;
	for (const TCharaInstance& chara : GetArea(area).Charas)
		power = AddSaturated(power, chara.Power);
	return power;
}

int TMorvalethGame::GetMasterPower(int master) const
{
	int power = 0;
	for (int a = 0; a < GetAreaCount(); ++a) {
		if (m_Areas[a].Owner == master)
			power = AddSaturated(power, GetAreaPower(a));
	}
	return power;
}

int TMorvalethGame::GetAreaCity(int area) const
{
	return GetArea(area).City;
}

int TMorvalethGame::GetAreaWall(int area) const
{
	return GetArea(area).Wall;
}

int TMorvalethGame::GetAreaRoad(int area) const
{
	return GetArea(area).Road;
}

void TMorvalethGame::SetAreaLevel(int area, int value, int TAreaInstance::*level, int TAreaInstance::*max,
	int (TBattleMap::*show)(int))
{
	const TRecount recount(*this);
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return;
	m_Ledger.Touch(area);
	TAreaInstance& target = m_Areas[area];
	target.*level = ClampLevel(value, target.*max);
	if (target.BattleMap)
		((*target.BattleMap).*show)(target.*level);
}

void TMorvalethGame::SetAreaCity(int area, int value)
{
	SetAreaLevel(area, value, &TAreaInstance::City, &TAreaInstance::CityMax, &TBattleMap::SetCity);
}

void TMorvalethGame::SetAreaWall(int area, int value)
{
	SetAreaLevel(area, value, &TAreaInstance::Wall, &TAreaInstance::WallMax, &TBattleMap::SetWall);
}

void TMorvalethGame::SetAreaRoad(int area, int value)
{
	SetAreaLevel(area, value, &TAreaInstance::Road, &TAreaInstance::RoadMax, &TBattleMap::SetRoad);
}

void TMorvalethGame::UpdateAreaFromBattleMap(int area)
{
	const TRecount recount(*this);
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return;
	m_Ledger.Touch(area);
	TAreaInstance& target = m_Areas[area];
	if (!target.BattleMap) {
		LOG_ERROR("area %s has no battle map", target.id);
		return;
	}
	target.City = ClampLevel(static_cast<int>(target.BattleMap->CountMapObject(MAP_OBJECT_CITY)), target.CityMax);
	target.Wall = ClampLevel(static_cast<int>(target.BattleMap->CountMapObject(MAP_OBJECT_WALL)), target.WallMax);
	target.Road = ClampLevel(static_cast<int>(target.BattleMap->CountMapObject(MAP_OBJECT_ROAD)), target.RoadMax);
	target.BattleMap->RestoreLayers();
}

void TMorvalethGame::PlusMasterMoney(int master, int amount)
{
	if (CheckMaster(master, __PRETTY_FUNCTION__))
		m_Masters[master].Money = AddSaturated(m_Masters[master].Money, amount);
}

void TMorvalethGame::GetSaveCaption(std::string& caption) const
{
	const bool hasMaster = m_CurrentMaster >= 0 && m_CurrentMaster < GetMasterCount();
	const std::string master = hasMaster ? m_Data->GetMasterData(m_Masters[m_CurrentMaster].DataIndex).Name : "";
	caption = FormatText("%s %s %s %dターン", m_Data->GetScenarioTitle(), m_Data->GetChapter().Name, master, m_Turn);
}
