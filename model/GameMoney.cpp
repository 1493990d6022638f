// Money, power and costs of the game state.

#include "model/MorvalethGame.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/RecordTable.h"

#include <algorithm>

namespace
{
/// What a computer master pays for a hire at game levels 1 to 5, in percent of the EmployCost.
const int COM_EMPLOY_PERCENT[] = {60, 100, 180, 270, 400};
/// Race distance from which a candidate always refuses.
const int AFFINITY_REFUSED = 3;
/// Experience at which a character ranks up.
const int EXPERIENCE_MAX = 100;
}

int TMorvalethGame::CalcCharaPower(const TCharaInstance& chara) const
{
	return AddSaturated(MultiplySaturated(CharaData(chara.CharaIndex).Power, 1000), chara.Rank * 101);
}

int TMorvalethGame::GetAreaIncome(int area) const
{
	const TAreaInstance& target = GetArea(area);
	const int income = AddSaturated(target.City / 4, target.BaseIncome);
	return target.Road == target.RoadMax ? MultiplySaturated(income, 2) : income;
}

void TMorvalethGame::CalcIncome()
{
	UpdateLedger();
	for (int master : m_Ledger.TakeMovedMasters()) {
		const TAreaEarnings& earnings = m_Ledger.MasterEarnings(master);
		m_Masters[master].Income = ClampToInt(earnings.income);
		m_Masters[master].Upkeep = ClampToInt(earnings.upkeep);
	}
}

void TMorvalethGame::UpdateLedger()
{
	m_Ledger.Update(m_Areas, GetMasterCount(), [this](int area) { return AreaEarnings(area); });
}

TAreaEarnings TMorvalethGame::AreaEarnings(int area) const
{
	TAreaEarnings earnings;
	earnings.income = GetAreaIncome(area);
	for (const TCharaInstance& chara : m_Areas[area].Charas) {
		const TCharaData& data = CharaData(chara.CharaIndex);
		if (data.Hero)
			earnings.upkeep += data.TurnCost;
	}
	return earnings;
}

void TMorvalethGame::CalcMasterPower()
{
	for (TMasterInstance& master : m_Masters)
		master.Power = 0;
	for (int a = 0; a < GetAreaCount(); ++a) {
		if (m_Areas[a].Owner < 0)
			continue;
		TMasterInstance& owner = GetMaster(m_Areas[a].Owner);
		owner.Power = AddSaturated(owner.Power, GetAreaPower(a));
	}
}

int TMorvalethGame::GetCOMEmployCost(int charaIndex) const
{
	if (m_GameLevel < 1 || m_GameLevel > 5) {
		g_Logger.Error("TMorvalethGame::GetCOMEmployCost gorua");
		return 1;
	}
	return ScalePercent(CharaData(charaIndex).EmployCost, COM_EMPLOY_PERCENT[m_GameLevel - 1]);
}

bool TMorvalethGame::CheckEmployAffinity(int master, int charaIndex) const
{
	const int masterChara = MasterCharaIndex(master);
	if (masterChara < 0) {
		LOG_ERROR("master %d has no character of its own", master);
		return false;
	}
	const int masterRace = CharaData(masterChara).Race;
	const int candidateRace = CharaData(charaIndex).Race;
	if (masterRace == candidateRace)
		return true;
	const int distance = CheckedAt(m_Data->GetRaceData(masterRace).Affinity, candidateRace, "race affinity");
	if (distance >= AFFINITY_REFUSED)
		return false;
	// A distance of 0 or less is the closest there is; a draw over it would have no range.
	return distance <= 0 || mtrand_n(distance + 1) == 0;
}

bool TMorvalethGame::CheckRankUp(TCharaInstance& chara) const
{
	if (chara.Experience <= EXPERIENCE_MAX)
		return false;
	if (chara.Rank >= RANK_MAX) {
		chara.Experience = EXPERIENCE_MAX;
		return false;
	}
	chara.Experience = 0;
	++chara.Rank;
	const int next = CharaData(chara.CharaIndex).ClassChange;
	const bool changesClass = chara.Rank == RANK_MAX && next >= 0;
	if (changesClass) {
		// The new class keeps the points the character had lost.
		const TCharaData& nextData = CharaData(next);
		chara.HP = std::max(1, ClampToInt(static_cast<long long>(chara.HP) + nextData.HP - chara.HPMax));
		chara.MP = std::max(0, ClampToInt(static_cast<long long>(chara.MP) + nextData.MP - chara.MPMax));
		chara.CharaIndex = next;
		chara.Rank = 0;
	}
	CalcCharaStatus(chara);
	return changesClass;
}
