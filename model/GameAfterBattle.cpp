// Moves after a battle: survivors home or into the conquered area, fugitives to neighbours, the dead onto the dead list.

#include "model/MorvalethGame.h"

#include "app/Logger.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <functional>

namespace
{
/// Name the after-battle messages bear, whichever step writes them.
const char* const AFTER_BATTLE = "TMorvalethGame::MoveCharaAfterBattleDepWin";

/// A battle copy is alive while it has hit points.
bool IsAlive(const TCharaInstance& chara)
{
	return chara.HP != 0;
}

/// The characters that joined a side during the battle: the entries behind its first count.
std::vector<TCharaInstance> JoinedCharas(const std::vector<TCharaInstance>& side, std::size_t count)
{
	return std::vector<TCharaInstance>(side.begin() + std::min(count, side.size()), side.end());
}
}

void TMorvalethGame::UpdateCharaFromBattle(TCharaInstance& stationed, const TCharaInstance& copy) const
{
	if (copy.CharaIndex != stationed.CharaIndex) {
		stationed = CreateCharaInstance(copy.CharaIndex, copy.Rank);
	} else if (copy.Rank != stationed.Rank) {
		// A rank won in the battle is kept: the experience it took was spent there.
		stationed.Rank = copy.Rank;
		CalcCharaStatus(stationed);
	}
	stationed.Experience = copy.Experience;
	stationed.WinCount = copy.WinCount;
}

int TMorvalethGame::FleeToNeighborArea(int area, int master, const TCharaInstance& chara)
{
	const TRecount recount(*this);
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return -1;
	const std::vector<int>& neighbors = m_Areas[area].Neighbors;
	for (int neighbor : neighbors) {
		TAreaInstance& refuge = GetArea(neighbor);
		if (refuge.Owner == master && refuge.Charas.size() < AREA_CHARA_MAX) {
			refuge.Charas.push_back(chara);
			return neighbor;
		}
	}
	if (master < 0 || chara.CharaIndex != MasterCharaIndex(master))
		return -1;
	// The master's own character always finds a place while its master holds a neighbour.
	for (int neighbor : neighbors) {
		TAreaInstance& refuge = GetArea(neighbor);
		if (refuge.Owner == master) {
			const TCharaInstance displaced = refuge.Charas[AREA_CHARA_MAX - 1];
			refuge.Charas[AREA_CHARA_MAX - 1] = chara;
			LoseChara(displaced);
			return neighbor;
		}
	}
	return -1;
}

int TMorvalethGame::GetOwnNeighborAreas(int area, std::vector<int>& areas, std::vector<int>& freePlaces) const
{
	areas.clear();
	freePlaces.clear();
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return 0;
	int total = 0;
	for (int neighbor : m_Areas[area].Neighbors) {
		const TAreaInstance& other = GetArea(neighbor);
		if (other.Owner != m_Areas[area].Owner)
			continue;
		const int room = std::max(0, AREA_CHARA_MAX - static_cast<int>(other.Charas.size()));
		areas.push_back(neighbor);
		freePlaces.push_back(room);
		total += room;
	}
	return total;
}

bool TMorvalethGame::CheckArmy(const std::vector<TAreaCharaPos>& army, int area, const char* caller) const
{
	std::vector<TAreaCharaPos> sorted = army;
	std::sort(sorted.begin(), sorted.end());
	const char* refusal = nullptr;
	if (std::adjacent_find(sorted.begin(), sorted.end()) != sorted.end())
		refusal = "a character is listed twice";
	for (const TAreaCharaPos& place : army) {
		if (place.first < 0 || place.first >= GetAreaCount() || place.first == area
			|| place.second < 0 || place.second >= static_cast<int>(m_Areas[place.first].Charas.size()))
			refusal = "a listed character stands nowhere outside the area";
	}
	if (army.size() > AREA_CHARA_MAX)
		refusal = "too many characters";
	if (refusal)
		g_Logger.Error(FormatText("%s: area %d: %s", MethodName(caller), area, refusal));
	return !refusal;
}

bool TMorvalethGame::CheckBattleArguments(const std::vector<TAreaCharaPos>& army,
	const std::vector<TCharaInstance>& attackers, const std::vector<TCharaInstance>& defenders, int area, int master) const
{
	if (!CheckArea(area, AFTER_BATTLE) || !CheckMaster(master, AFTER_BATTLE) || !CheckArmy(army, area, AFTER_BATTLE))
		return false;
	if (attackers.size() < army.size() || defenders.size() < m_Areas[area].Charas.size()) {
		g_Logger.Error(MethodText(AFTER_BATTLE, __LINE__, "%d attackers for %d departed, %d defenders for %d stationed",
			attackers.size(), army.size(), defenders.size(), m_Areas[area].Charas.size()));
		return false;
	}
	return true;
}

void TMorvalethGame::EraseArmy(const std::vector<TAreaCharaPos>& places)
{
	// The highest position of an area goes first, so that the lower ones still hold.
	std::vector<TAreaCharaPos> sorted = places;
	std::sort(sorted.begin(), sorted.end(), std::greater<TAreaCharaPos>());
	for (const TAreaCharaPos& place : sorted) {
		m_Ledger.Touch(place.first);
		std::vector<TCharaInstance>& charas = m_Areas[place.first].Charas;
		charas.erase(charas.begin() + place.second);
	}
}

void TMorvalethGame::PlaceJoinedCharas(const std::vector<TCharaInstance>& joined, int area, int fleeMaster, bool allFlee,
	const char* fleeWarning, const char* fullWarning, std::set<int>& sortSet)
{
	for (const TCharaInstance& copy : joined) {
		if (!IsAlive(copy) || copy.SummonState == SUMMON_STATE_SUMMONED)
			continue;
		TCharaInstance chara = CreateCharaInstance(copy.CharaIndex, copy.Rank);
		UpdateCharaFromBattle(chara, copy);
		const std::string& name = CharaData(chara.CharaIndex).Name;
		if (allFlee || copy.Fled) {
			const int refuge = FleeToNeighborArea(area, fleeMaster, chara);
			if (refuge >= 0) {
				sortSet.insert(refuge);
				continue;
			}
			g_Logger.Warning(MethodText(AFTER_BATTLE, __LINE__, fleeWarning, name));
		} else if (m_Areas[area].Charas.size() < AREA_CHARA_MAX) {
			m_Areas[area].Charas.push_back(chara);
			sortSet.insert(area);
			continue;
		} else {
			g_Logger.Warning(MethodText(AFTER_BATTLE, __LINE__, fullWarning, name));
		}
		LoseChara(chara);
	}
}

void TMorvalethGame::MoveDefendersAfterBattle(const std::vector<TCharaInstance>& defenders,
	std::vector<TCharaInstance>& homeless, int area, int master, bool attackerWon, std::set<int>& sortSet)
{
	std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
	const std::size_t stationed = charas.size();
	// Whether each stationed character is still in the area when the fighting is over.
	std::vector<bool> stayed(stationed, false);
	for (std::size_t i = 0; i < stationed; ++i) {
		const TCharaInstance& copy = defenders[i];
		if (!IsAlive(copy)) {
			if (CharaData(copy.CharaIndex).Hero)
				m_DeadCharas.push_back(copy);
			continue;
		}
		UpdateCharaFromBattle(charas[i], copy);
		charas[i].Actioned = true;
		stayed[i] = !copy.Fled;
		if (!copy.Fled)
			continue;
		const int refuge = FleeToNeighborArea(area, m_Areas[area].Owner, charas[i]);
		if (refuge >= 0) {
			sortSet.insert(refuge);
		} else {
			g_Logger.Error(MethodText(AFTER_BATTLE, __LINE__, "プログラムのバグ：守備側逃走キャラを移せる隣接エリアが無い"));
			LoseChara(charas[i]);
		}
	}
	if (!attackerWon) {
		for (std::size_t i = stationed; i-- > 0;) {
			if (!stayed[i])
				charas.erase(charas.begin() + i);
		}
	}
	PlaceJoinedCharas(JoinedCharas(defenders, stationed), area, m_Areas[area].Owner, false,
		"守備側逃走キャラ %s を移せる隣接エリアが無いので破棄しました（死霊復活で発生したキャラがあふれた？）",
		"守備側キャラ %s をエリアに置けないので破棄しました（死霊復活で発生したキャラがあふれた？）", sortSet);
	if (!attackerWon)
		return;
	// The survivors that held the area to the end lose it; the joined ones stayed by definition.
	stayed.resize(charas.size(), true);
	for (std::size_t i = 0; i < charas.size(); ++i) {
		const TCharaData& data = CharaData(charas[i].CharaIndex);
		if (stayed[i] && data.Hero && !data.NoWander)
			homeless.push_back(charas[i]);
	}
	charas.clear();
	m_Areas[area].Owner = master;
	m_Areas[area].OperationEffort = 0;
}

void TMorvalethGame::MoveArmyAfterBattle(const std::vector<TAreaCharaPos>& army,
	const std::vector<TCharaInstance>& attackers, int area, bool attackerWon, std::set<int>& sortSet)
{
	std::vector<TAreaCharaPos> leaving;
	for (std::size_t k = army.size(); k-- > 0;) {
		const TCharaInstance& copy = attackers[k];
		if (!IsAlive(copy)) {
			if (CharaData(copy.CharaIndex).Hero)
				m_DeadCharas.push_back(copy);
			leaving.push_back(army[k]);
			continue;
		}
		TCharaInstance& source = m_Areas[army[k].first].Charas[army[k].second];
		UpdateCharaFromBattle(source, copy);
		source.Actioned = true;
		if (attackerWon && !copy.Fled) {
			m_Areas[area].Charas.push_back(source);
			sortSet.insert(area);
			leaving.push_back(army[k]);
		}
	}
	// The rest stay home: survivors of a lost battle and those that fled.
	EraseArmy(leaving);
}

bool TMorvalethGame::MoveCharaAfterBattleDepWin(const std::vector<TAreaCharaPos>& army,
	const std::vector<TCharaInstance>& attackers, const std::vector<TCharaInstance>& defenders,
	std::vector<TCharaInstance>& homeless, int area, int master, bool attackerWon)
{
	const TRecount recount(*this);
	if (!CheckBattleArguments(army, attackers, defenders, area, master))
		return false;
	m_Ledger.Touch(area);
	for (const TAreaCharaPos& place : army)
		m_Ledger.Touch(place.first);
	std::set<int> sortSet;
	MoveDefendersAfterBattle(defenders, homeless, area, master, attackerWon, sortSet);
	MoveArmyAfterBattle(army, attackers, area, attackerWon, sortSet);
	PlaceJoinedCharas(JoinedCharas(attackers, army.size()), area, master, !attackerWon,
		"攻撃側退却キャラ %s を移せる隣接エリアが無いので破棄しました（死霊復活で発生したキャラがあふれた？）",
		"攻撃側キャラ %s をエリアに置けないので破棄しました（死霊復活で発生したキャラがあふれた？）", sortSet);
	SortAreaCharasOf(sortSet);
	return true;
}

bool TMorvalethGame::OccupyArea(const std::vector<TAreaCharaPos>& army, int area, int master)
{
	const TRecount recount(*this);
	if (!CheckArea(area, __PRETTY_FUNCTION__) || !CheckMaster(master, __PRETTY_FUNCTION__)
		|| !CheckArmy(army, area, __PRETTY_FUNCTION__))
		return false;
	std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
	if (charas.size() + army.size() > AREA_CHARA_MAX) {
		LOG_ERROR("area %d holds %d characters and cannot take %d more", area, charas.size(), army.size());
		return false;
	}
	m_Ledger.Touch(area);
	m_Areas[area].Owner = master;
	for (auto it = army.rbegin(); it != army.rend(); ++it)
		charas.push_back(m_Areas[it->first].Charas[it->second]);
	EraseArmy(army);
	SortAreaCharas(area);
	return true;
}
