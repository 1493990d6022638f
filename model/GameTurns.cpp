// Turns, master order, standing orders, alliances, defeat and the end of the game.

#include "model/MorvalethGame.h"

#include "app/CheckedNumber.h"
#include "app/GameConfig.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"

#include <algorithm>

namespace
{
/// Turns a new alliance runs, and what an extension tops it up to.
const int ALLIANCE_TURNS = 6;
/// Log level above which every new turn checks that no hero is lost or doubled.
const int CONSISTENCY_LOG_LEVEL = 2;
}

bool TMorvalethGame::ActivateNextMaster()
{
	const TRecount recount(*this);
	LOG_DEBUG("A");
	// A new turn pays what is counted here, before the standing orders below change the areas.
	CalcIncome();
	if (m_CurrentMaster >= 0)
		DoAreaOperations();
	// Only a touched area can hold a character that acted since the marks were last cleared.
	for (int a : m_Ledger.TakeTouched(GetAreaCount())) {
		for (TCharaInstance& chara : m_Areas[a].Charas)
			chara.Actioned = false;
	}
	if (AdvanceOrder()) {
		CheckSearchHero();
		LOG_DEBUG("B");
		return false;
	}
	StartNewTurn();
	if (!AdvanceOrder()) {
		LOG_ERROR("次のマスターの決定に失敗（マスターが全滅？）");
		return true;
	}
	AddAppearingHeroes();
	CheckSearchHero();
	LOG_DEBUG("C");
	return true;
}

bool TMorvalethGame::AdvanceOrder()
{
	const int count = static_cast<int>(m_MasterOrder.size());
	while (m_OrderPosition < count && ++m_OrderPosition < count) {
		const int master = m_MasterOrder[m_OrderPosition].first;
		if (GetMaster(master).Exists) {
			m_CurrentMaster = master;
			return true;
		}
	}
	return false;
}

void TMorvalethGame::StartNewTurn()
{
	for (TMasterInstance& master : m_Masters) {
		master.Money = SubtractSaturated(AddSaturated(master.Money, master.Income), master.Upkeep);
	}
	CountAllianceDown();
	if (g_Config.m_LogLevel > CONSISTENCY_LOG_LEVEL)
		CheckConsistency();
	m_Turn = AddSaturated(m_Turn, 1);
	m_ProgressedTurn = AddSaturated(m_ProgressedTurn, 1);
	BuildMasterOrder();
}

void TMorvalethGame::CountAllianceDown()
{
	// An alliance that reached 0 still held for the turn that just ended.
	PurgeExpiredAlliances();
	for (TAlliance& alliance : m_Alliances) {
		if (alliance.Turns != ALLIANCE_ENDLESS)
			--alliance.Turns;
	}
}

void TMorvalethGame::CheckConsistency() const
{
	std::set<int> met;
	const auto meet = [this, &met](const std::vector<TCharaInstance>& list, const char* doubled) {
		for (const TCharaInstance& chara : list) {
			const TCharaData& data = CharaData(chara.CharaIndex);
			if (data.Hero && !met.insert(chara.CharaIndex).second)
				g_Logger.Debug(FormatText(doubled, data.Name));
		}
	};
	for (const TAreaInstance& area : m_Areas)
		meet(area.Charas, "チェック：人材（エリア所在）[%s]が複数居る？");
	meet(m_WanderCharas, "チェック：人材（放浪中）[%s]が複数居る？");
	meet(m_DeadCharas, "チェック：人材（死亡）[%s]が複数居る？");
	for (int c = 0; c < m_Data->GetCharaCount(); ++c) {
		const TCharaData& data = CharaData(c);
		const bool due = m_Turn > data.TurnMin && (data.TurnMax == -1 || data.TurnMax > m_Turn);
		if (data.Hero && !data.NoWander && due && met.count(c) == 0)
			g_Logger.Debug(FormatText("チェック：人材[%s]が行方不明（エリア所在でも放浪中でも死亡でもない）", data.Name));
	}
}

void TMorvalethGame::BuildMasterOrder()
{
	m_MasterOrder.clear();
	for (int m = 0; m < GetMasterCount(); ++m)
		m_MasterOrder.push_back(std::make_pair(m, m_Masters[m].Power));
	std::stable_sort(m_MasterOrder.begin(), m_MasterOrder.end(),
		[](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.second < b.second; });
	m_OrderPosition = -1;
}

void TMorvalethGame::DoAreaOperations()
{
	const TRecount recount(*this);
	if (m_CurrentMaster >= GetMasterCount())
		return;
	UpdateLedger();
	for (int a : m_Ledger.OwnedAreas(m_CurrentMaster)) {
		TAreaInstance& area = m_Areas[a];
		const int idle = static_cast<int>(std::count_if(area.Charas.begin(), area.Charas.end(),
			[](const TCharaInstance& chara) { return !chara.Actioned; }));
		switch (area.Operation) {
		case OPERATION_TRAINING:
			TrainArea(a);
			break;
		case OPERATION_SEARCH_HERO:
			// The search itself runs when the master's next turn begins.
			area.OperationEffort = idle;
			break;
		case OPERATION_BUILD_CITY:
			SetAreaCity(a, AddSaturated(area.City, idle / 4 + (idle % 4 != 0 && mtrand_n(4) < idle % 4 ? 1 : 0)));
			break;
		case OPERATION_BUILD_WALL:
			SetAreaWall(a, AddSaturated(area.Wall, idle));
			break;
		case OPERATION_BUILD_ROAD:
			SetAreaRoad(a, AddSaturated(area.Road, idle / 2 + (idle % 2 != 0 && mtrand_n(2) != 0 ? 1 : 0)));
			break;
		default:
			break;
		}
	}
}

void TMorvalethGame::TrainArea(int area)
{
	m_Ledger.Touch(area);
	for (TCharaInstance& chara : m_Areas[area].Charas) {
		if (chara.Actioned)
			continue;
		chara.Experience = AddSaturated(chara.Experience, mtrand_n((6 - m_GameLevel) * 2) + (8 - chara.Rank));
		CheckRankUp(chara);
	}
	SortAreaCharas(area);
}

void TMorvalethGame::SetMasterPlayer(int dataIndex, bool player)
{
	const int master = GetMasterIndexByData(dataIndex);
	if (master < 0)
		return;
	m_Masters[master].Player = player;
	g_Logger.Debug(FormatText("SetMasterPlayer=%u", master));
}

bool TMorvalethGame::CheckGameEnd() const
{
	for (int m = 0; m < GetMasterCount(); ++m) {
		if (m_Masters[m].Exists && ExistsConstantEnemyMaster(m))
			return false;
	}
	return true;
}

bool TMorvalethGame::ExistsConstantEnemyMaster(int master) const
{
	for (int j = 0; j < GetMasterCount(); ++j) {
		if (j == master)
			continue;
		const int alliance = FindAlliance(master, j);
		if (alliance >= 0 && m_Alliances[alliance].Turns == ALLIANCE_ENDLESS)
			continue;
		// The line is formatted only when the log writes debug lines.
		if (g_Logger.GetLevel() >= 3)
			g_Logger.Debug(FormatText("%s %d %d", "TMorvalethGame::ExistsConstantEnemyMaster", j, m_Masters[j].Exists ? 1 : 0));
		if (m_Masters[j].Exists)
			return true;
	}
	return false;
}

void TMorvalethGame::SetGameEnd()
{
	m_GameEnded = true;
	if (m_CurrentMaster >= 0 && m_CurrentMaster < GetMasterCount() && m_Masters[m_CurrentMaster].Exists)
		return;
	const auto first = std::find_if(m_Masters.begin(), m_Masters.end(),
		[](const TMasterInstance& master) { return master.Exists; });
	if (first != m_Masters.end())
		m_CurrentMaster = static_cast<int>(first - m_Masters.begin());
}

bool TMorvalethGame::NoPlayerMasterExists() const
{
	return std::none_of(m_Masters.begin(), m_Masters.end(),
		[](const TMasterInstance& master) { return master.Exists && master.Player; });
}

void TMorvalethGame::GetDefeatedMasters(std::vector<int>& masters) const
{
	masters.clear();
	for (int m = 0; m < GetMasterCount(); ++m) {
		if (m_Masters[m].Exists && GetMasterArea(m) < 0)
			masters.push_back(m);
	}
}

void TMorvalethGame::RemoveDefeatedMasters()
{
	std::vector<int> defeated;
	GetDefeatedMasters(defeated);
	for (int master : defeated)
		RemoveMaster(master);
}

void TMorvalethGame::RemoveMaster(int master)
{
	const TRecount recount(*this);
	if (!CheckMaster(master, __PRETTY_FUNCTION__))
		return;
	for (int a = 0; a < GetAreaCount(); ++a) {
		TAreaInstance& area = m_Areas[a];
		if (area.Owner != master)
			continue;
		m_Ledger.Touch(a);
		for (const TCharaInstance& chara : area.Charas) {
			const TCharaData& data = CharaData(chara.CharaIndex);
			if (data.Hero && !data.NoWander)
				AddWanderChara(chara);
		}
		area.Owner = -1;
		area.Charas.clear();
		PlaceInhabitants(a);
	}
	m_Masters[master].Exists = false;
	bool ended = false;
	for (TAlliance& alliance : m_Alliances) {
		if (alliance.Master1 == master || alliance.Master2 == master) {
			alliance.Turns = 0;
			ended = true;
		}
	}
	if (ended)
		PurgeExpiredAlliances();
}

int TMorvalethGame::GetAllianceCost(int master1, int master2, int turns) const
{
	if (!CheckMaster(master1, __PRETTY_FUNCTION__) || !CheckMaster(master2, __PRETTY_FUNCTION__))
		return 0;
	if (turns == -1) {
		const int alliance = FindAlliance(master1, master2);
		const int remaining = alliance >= 0 ? m_Alliances[alliance].Turns : 0;
		// An alliance without end has nothing left to buy.
		if (remaining == ALLIANCE_ENDLESS)
			return 0;
		turns = ALLIANCE_TURNS - remaining;
	}
	return MultiplySaturated(std::max(1, m_Masters[master2].Income / 10), std::max(0, turns));
}

bool TMorvalethGame::MakeAlliance(int master1, int master2, int turns, int price)
{
	if (!CheckMaster(master1, __PRETTY_FUNCTION__) || !CheckMaster(master2, __PRETTY_FUNCTION__))
		return false;
	const int alliance = FindAlliance(master1, master2);
	const char* refusal = nullptr;
	if (master1 == master2)
		refusal = "a master cannot ally with itself";
	else if (turns <= 0)
		refusal = "an alliance must gain at least one turn";
	else if (alliance >= 0 && m_Alliances[alliance].Turns == ALLIANCE_ENDLESS)
		refusal = "the alliance has no end already";
	if (refusal) {
		LOG_ERROR("(%d, %d, %d, %d) %s", master1, master2, turns, price, refusal);
		return false;
	}
	m_Masters[master1].Money = SubtractSaturated(m_Masters[master1].Money, price);
	m_Masters[master2].Money = AddSaturated(m_Masters[master2].Money, price);
	if (alliance >= 0)
		m_Alliances[alliance].Turns = AddSaturated(m_Alliances[alliance].Turns, turns);
	else
		SetAlliance(master1, master2, turns);
	return true;
}

void TMorvalethGame::SetAlliance(int master1, int master2, int turns)
{
	if (!CheckMaster(master1, __PRETTY_FUNCTION__) || !CheckMaster(master2, __PRETTY_FUNCTION__))
		return;
	// Below -1 an alliance would count down for ever without being one without end.
	if (turns < ALLIANCE_ENDLESS) {
		LOG_ERROR("(%d, %d, %d) turns below %d, the mark of an alliance without end", master1, master2, turns, ALLIANCE_ENDLESS);
		return;
	}
	if (master1 == master2) {
		LOG_ERROR("(%d, %d, %d) a master cannot ally with itself", master1, master2, turns);
		return;
	}
	const int alliance = FindAlliance(master1, master2);
	if (alliance >= 0) {
		m_Alliances[alliance].Turns = turns;
		return;
	}
	TAlliance added;
	added.Master1 = master1;
	added.Master2 = master2;
	added.Turns = turns;
	m_Alliances.push_back(added);
}

void TMorvalethGame::PurgeExpiredAlliances()
{
	m_Alliances.erase(std::remove_if(m_Alliances.begin(), m_Alliances.end(),
		[](const TAlliance& alliance) { return alliance.Turns == 0; }), m_Alliances.end());
}

bool TMorvalethGame::CanInvadeArea(int area) const
{
	if (!CheckArea(area, __PRETTY_FUNCTION__) || m_CurrentMaster < 0)
		return false;
	const TAreaInstance& target = m_Areas[area];
	if (target.Owner >= 0 && (target.Owner == m_CurrentMaster || FindAlliance(m_CurrentMaster, target.Owner) >= 0))
		return false;
	return std::any_of(target.Neighbors.begin(), target.Neighbors.end(),
		[this](int neighbor) { return GetArea(neighbor).Owner == m_CurrentMaster; });
}
