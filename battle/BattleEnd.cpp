#include "battle/BattleMapLogic.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>

bool TBattleMapLogic::CheckDeath()
{
	std::string text;
	for (const TCharaRef& ref : m_DeadList) {
		const TCharaData& data = m_Field.CharaData(m_Field.Chara(ref));
		if (!data.DeadMessage && !data.IsMaster)
			continue;
		if (!text.empty())
			text += "\n";
		text += FormatText("%sが死んだ！", data.Name);
	}
	m_DeadList.clear();
	if (text.empty())
		return false;
	// Shown unwatched too; it closes by itself after its time-out.
	m_View.ShowMessage(text);
	m_State = STATE_DEATH_MESSAGE;
	return true;
}

bool TBattleMapLogic::CheckVictory()
{
	int side = -1;
	if (!GetStandingSide(side))
		return false;
	// Those who chose to flee leave as the battle ends, so that they go where the fled go.
	CarryOutFlight();
	m_View.HideFullStatus();
	m_Hovered = TCharaRef();
	m_View.HideCharaList();
	m_Winner = side < 0 ? 0 : side;
	if (m_Watching) {
		const int master = m_Field.masters[m_Winner];
		m_View.ShowMessage(master < 0
				? std::string("中立軍の勝利です")
				: FormatText("%s軍の勝利です", m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex).Name));
	}
	m_State = STATE_VICTORY;
	return true;
}

bool TBattleMapLogic::MasterFellIn(int side) const
{
	const int master = m_Field.masters[side];
	if (master < 0)
		return false;
	const int masterChara = m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex).CharaIndex;
	for (const TCharaInstance& chara : *m_Field.sides[side])
		if (chara.CharaIndex == masterChara && chara.HP == 0)
			return true;
	return false;
}

// A chara that fled, or chose to flee, fights no more: a side left with such charas only has lost.
bool TBattleMapLogic::GetStandingSide(int& side) const
{
	int standing = 0;
	side = -1;
	for (int s = 0; s < m_Field.SideCount(); ++s) {
		if (MasterFellIn(s))
			continue;
		const std::vector<TCharaInstance>& charas = *m_Field.sides[s];
		if (std::any_of(charas.begin(), charas.end(), IsStanding)) {
			++standing;
			side = s;
		}
	}
	if (standing > 1)
		return false;
	if (standing == 0)
		side = -1;
	return true;
}

// The last turn has no end of its own: those who chose to flee in it leave now.
void TBattleMapLogic::ReachTurnLimit()
{
	CarryOutFlight();
	m_View.HideFullStatus();
	m_Hovered = TCharaRef();
	m_View.HideCharaList();
	m_Winner = 0;
	m_View.ShowMessage(FormatText("%dターンが経過しました", g_Config.GetIntValue(CONFIG_TURN_MAX)));
	m_State = STATE_TURN_LIMIT;
}

void TBattleMapLogic::MessageStep()
{
	if (m_View.IsMessageVisible())
		return;
	switch (m_State) {
	case STATE_DEATH_MESSAGE:
		m_State = STATE_MAIN;
		break;
	case STATE_TURN_LIMIT:
		m_View.ShowMessage("攻撃軍は退却します");
		m_State = STATE_RETREAT;
		break;
	default:
		EndBattle();
		break;
	}
}

void TBattleMapLogic::EndBattle()
{
	ReleaseAllSummoners();
	m_Field.map->ReleaseMapType();
	m_View.EndBattle();
	m_State = STATE_IDLE;
}
