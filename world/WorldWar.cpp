// Wars on the world map: the march of an army, the occupation of an empty area, the battle for a
// defended one and its result applied to the game.

#include "world/WorldMapLogic.h"

#include "app/Logger.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace
{
/// Frames between two characters of one area setting out.
const int MARCH_STAGGER = 3;
/// Pixels the farthest chip covers in a frame along its longer axis.
const int MARCH_SPEED = 4;
}

bool TWorldMapLogic::CheckArmy(int target, const std::vector<std::pair<int, int>>& army) const
{
	const int current = m_Game.GetCurrentMaster();
	const char* refusal = nullptr;
	if (target < 0 || target >= m_Game.GetAreaCount())
		refusal = "出陣先エリアが誤っています。";
	else if (m_Game.GetArea(target).Owner == current)
		refusal = "自エリアへは出陣できません。";
	else if (army.empty())
		refusal = "出陣キャラがいません。";
	for (std::size_t i = 0; !refusal && i < army.size(); ++i) {
		const int source = army[i].first;
		const int position = army[i].second;
		const std::vector<int>& neighbors = m_Game.GetArea(target).Neighbors;
		if (source < 0 || source >= m_Game.GetAreaCount() || m_Game.GetArea(source).Owner != current)
			refusal = "所有していないエリアから出陣しようとしました。";
		else if (std::find(neighbors.begin(), neighbors.end(), source) == neighbors.end())
			refusal = "出陣先に隣接していないエリアから出陣しようとしました。";
		else if (position >= 0 && position < int(m_Game.GetArea(source).Charas.size())
			&& m_Game.GetArea(source).Charas[position].Actioned)
			refusal = "行動済みのキャラは出陣できません。";
	}
	if (refusal) {
		LOG_ERROR("%s (target %d, %d characters)", refusal, target, army.size());
		return false;
	}
	// Positions in range, each character once, at most a full area.
	return m_Game.CheckArmy(army, target, __PRETTY_FUNCTION__);
}

void TWorldMapLogic::Departure(int target, const std::vector<std::pair<int, int>>& departures)
{
	// Only the strategy of the computer master whose turn it is can wait for a march: every other
	// script would be resumed too early or not at all.
	if (m_LogicStatus != WORLD_STRATEGY || m_AskingPartner || m_EndTurnRequested) {
		LOG_ERROR("出陣は手番のコンピュータマスターの戦略スクリプトからのみ行えます。");
		return;
	}
	if (CheckArmy(target, departures))
		StartMarch(target, departures);
}

void TWorldMapLogic::StartMarch(int target, std::vector<std::pair<int, int>> army)
{
	m_View.HideHint();
	m_HoveredArea = -1;
	m_HoverFrames = 0;
	// The game's moves after the march expect the pairs of an area in increasing position.
	std::sort(army.begin(), army.end());
	m_WarTarget = target;
	m_Departures = army;
	const point_t& to = m_Game.GetArea(target).Location;
	m_View.CenterMapOn(to.x, to.y);
	// Chip k marches for pair count - 1 - k and shows that pair's character.
	std::map<int, int> fromArea;
	int distance = 0;
	for (auto pair = m_Departures.rbegin(); pair != m_Departures.rend(); ++pair) {
		const TAreaInstance& source = m_Game.GetArea(pair->first);
		m_View.AddChip(source.Location.x, source.Location.y, source.Charas[pair->second].CharaIndex);
		++fromArea[pair->first];
		distance = std::max(distance,
			std::max(std::abs(to.x - source.Location.x), std::abs(to.y - source.Location.y)));
	}
	int most = 0;
	for (const auto& count : fromArea)
		most = std::max(most, count.second);
	// A march of no distance still takes a frame, so that the positions never divide by 0.
	m_MarchLength = std::max(1, (distance + MARCH_SPEED - 1) / MARCH_SPEED);
	m_MarchTotal = m_MarchLength + MARCH_STAGGER * most;
	m_MarchFrame = 0;
	m_LogicStatus = WORLD_MARCH;
}

void TWorldMapLogic::March()
{
	if (m_MarchFrame == 0)
		m_View.PlaySound(0);
	if (m_MarchFrame == m_MarchTotal) {
		EndMarch();
		return;
	}
	++m_MarchFrame;
	const point_t& to = m_Game.GetArea(m_WarTarget).Location;
	std::map<int, int> started;
	int chip = 0;
	for (auto pair = m_Departures.rbegin(); pair != m_Departures.rend(); ++pair, ++chip) {
		const point_t& from = m_Game.GetArea(pair->first).Location;
		const int t = std::min(m_MarchLength, std::max(0, m_MarchFrame - MARCH_STAGGER * started[pair->first]++));
		const int rest = m_MarchLength - t;
		m_View.SetChipPosition(chip, (from.x * rest + to.x * t) / m_MarchLength, (from.y * rest + to.y * t) / m_MarchLength);
	}
}

void TWorldMapLogic::EndMarch()
{
	m_View.ClearChips();
	const int current = m_Game.GetCurrentMaster();
	if (!m_Game.GetArea(m_WarTarget).Charas.empty()) {
		StartBattle();
		return;
	}
	// A refused occupation (logged by the game) leaves the game as it was; the turn goes on.
	m_Game.OccupyArea(m_Departures, m_WarTarget, current);
	ShowTimedMessage(FormatText("%s軍の勝利です", MasterName(current)), WORLD_AFTER_BATTLE);
}

void TWorldMapLogic::StartBattle()
{
	TAreaInstance& target = m_Game.GetArea(m_WarTarget);
	TBattleMap* map = GetAreaBattleMap(m_WarTarget);
	if (!m_Battle || !map) {
		Stop(METHOD_TEXT("エリア %s の戦闘を開始できません。", target.id));
		return;
	}
	m_Defenders = target.Charas;
	m_Attackers.clear();
	std::vector<int> sources;
	for (const std::pair<int, int>& place : m_Departures) {
		m_Attackers.push_back(m_Game.GetArea(place.first).Charas[place.second]);
		sources.push_back(place.first);
	}
	const bool unwatched = m_Battle->Start(*map, {&m_Defenders, &m_Attackers},
		{target.Owner, m_Game.GetCurrentMaster()}, m_WarTarget,
		{std::vector<int>(m_Defenders.size(), -1), sources});
	m_LogicStatus = WORLD_BATTLE;
	if (!m_Battle->IsRunning() && m_Battle->HasFailed()) {
		AbandonBattle();
		return;
	}
	m_View.ShowWindow(WORLD_MAP_WINDOW, unwatched);
	if (!unwatched && m_Battle->HasNoPlayerSide())
		m_View.ShowWindow(WORLD_MENU_WINDOW, true);
}

void TWorldMapLogic::WaitForBattle()
{
	if (m_Battle->IsRunning())
		return;
	if (m_Battle->HasFailed())
		AbandonBattle();
	else
		OnBattleEnd();
}

void TWorldMapLogic::AbandonBattle()
{
	m_View.ShowWindow(WORLD_MAP_WINDOW, true);
	m_View.ShowWindow(WORLD_MENU_WINDOW, false);
	// The sides were copies: the characters stand where they stood before the march.
	Stop(METHOD_TEXT("エリア %s の戦闘が異常終了しました。", m_Game.GetArea(m_WarTarget).id));
}

void TWorldMapLogic::OnBattleEnd()
{
	m_View.ShowWindow(WORLD_MAP_WINDOW, true);
	m_View.ShowWindow(WORLD_MENU_WINDOW, false);
	const int winner = m_Battle->GetWinner();
	LOG_DEBUG("WinMaster %d", winner);
	std::vector<TCharaInstance> homeless;
	m_Game.MoveCharaAfterBattleDepWin(m_Departures, m_Attackers, m_Defenders, homeless, m_WarTarget,
		m_Game.GetCurrentMaster(), winner != 0);
	m_Game.UpdateAreaFromBattleMap(m_WarTarget);
	// Heroes whose area fell wander, whether or not a master was defeated, so that none is lost.
	for (const TCharaInstance& hero : homeless)
		m_Game.AddWanderChara(hero);
	std::vector<int> defeated;
	m_Game.GetDefeatedMasters(defeated);
	m_LogicStatus = WORLD_AFTER_BATTLE;
	if (defeated.empty())
		return;
	if (CallWorldScript("MasterDead", WORLD_EVENT_MASTER_DEAD))
		m_LogicStatus = WORLD_AFTER_BATTLE;
}
