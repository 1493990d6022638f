// The world map's per-frame status machine: scripts resumed, messages and battles waited for,
// the turn carried on after a battle, and the hover hint.

#include "world/WorldMapLogic.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>

namespace
{
/// Hover frames are counted against the frame rate; below 2 frames a second the count would divide by 0.
int HoverFrameRate()
{
	return std::max(2, g_Config.GetIntValue(CONFIG_FPS));
}

/// The player answered OK or Yes.
bool IsConsent(unsigned answer)
{
	return answer == BUTTON_OK || answer == BUTTON_YES;
}
}

void TWorldMapLogic::Logic()
{
	UpdateHoverText(-1, 0, m_HoveredArea != -1);
	switch (m_LogicStatus) {
	case WORLD_STRATEGY:
		ResumeStrategy();
		break;
	case WORLD_MARCH:
		March();
		break;
	case WORLD_WORLD_SCRIPT:
		ResumeWorldScript();
		break;
	case WORLD_EVENT_SCRIPT:
		ResumeEventScript();
		break;
	case WORLD_BATTLE:
		WaitForBattle();
		break;
	case WORLD_AFTER_BATTLE:
		AfterBattle();
		break;
	case WORLD_NEXT_MASTER:
		AdvanceMaster();
		break;
	case WORLD_NEXT_HERO:
		CheckFoundHero();
		break;
	case WORLD_MESSAGE:
		WaitForMessage();
		break;
	case WORLD_DISMISS_QUESTION:
		AnswerDismissal();
		break;
	case WORLD_ALLIANCE_QUESTION:
		AnswerAlliance();
		break;
	case WORLD_POWER_MAP:
		if (!m_View.IsWindowVisible(WORLD_POWER_MAP_WINDOW))
			m_LogicStatus = WORLD_PLAYER_IDLE;
		break;
	default:
		break;
	}
}

void TWorldMapLogic::ResumeStrategy()
{
	TMorvalethLuaManager& strategy = Strategy(m_Game.GetCurrentMaster());
	// A failed resume ends the master's turn like a finished one.
	if (strategy.IsSuspended())
		strategy.Resume();
	if (m_LogicStatus == WORLD_STRATEGY && !strategy.IsSuspended())
		m_LogicStatus = WORLD_NEXT_MASTER;
}

bool TWorldMapLogic::CallWorldScript(const char* name, TWorldScriptEvent kind)
{
	if (!m_WorldScript.CallFunction(name)) {
		Halt();
		return false;
	}
	if (m_WorldScript.IsSuspended()) {
		m_ScriptEvent = kind;
		m_LogicStatus = WORLD_WORLD_SCRIPT;
		return false;
	}
	return true;
}

void TWorldMapLogic::FinishWorldScript(int status)
{
	m_LogicStatus = status;
	if (m_ScriptEvent == WORLD_EVENT_TURN_END && m_EndTurnRequested)
		m_LogicStatus = WORLD_NEXT_MASTER;
}

void TWorldMapLogic::ResumeWorldScript()
{
	if (!m_WorldScript.Resume()) {
		Halt();
		return;
	}
	if (m_WorldScript.IsSuspended())
		return;
	FinishWorldScript(m_ScriptEvent == WORLD_EVENT_TURN_END ? WORLD_PLAYER_IDLE : WORLD_AFTER_BATTLE);
}

void TWorldMapLogic::ResumeEventScript()
{
	if (!m_EventScript.Resume()) {
		Halt();
		return;
	}
	if (m_EventScript.IsSuspended())
		return;
	if (m_StartPending) {
		m_StartPending = false;
		HideScriptWindows();
		StartGame();
		return;
	}
	if (m_Game.IsGameEnded()) {
		m_View.Quit();
		m_LogicStatus = WORLD_QUITTING;
		return;
	}
	HideScriptWindows();
	StartTurnAfterEvent();
}

void TWorldMapLogic::AfterBattle()
{
	m_Game.RemoveDefeatedMasters();
	if (!m_GameOverCalled && m_Game.NoPlayerMasterExists()) {
		m_GameOverCalled = true;
		// Finished at once, the turn goes on with the next frame.
		CallWorldScript("GameOver", WORLD_EVENT_GAME_OVER);
		return;
	}
	const int current = m_Game.GetCurrentMaster();
	if (m_FallBeforeTurn) {
		m_FallBeforeTurn = false;
		// The master's turn has not begun: it begins now, unless the fall decided the game or took the master.
		if (m_Game.CheckGameEnd() || !m_Game.GetMaster(current).Exists)
			m_LogicStatus = WORLD_NEXT_MASTER;
		else
			StartCurrentMaster();
		return;
	}
	if (!m_Game.GetMaster(current).Exists) {
		m_LogicStatus = WORLD_NEXT_MASTER;
		return;
	}
	if (!m_Game.GetMaster(current).Player) {
		// The strategy that sent the army goes on; one that is no longer suspended has ended its turn.
		m_LogicStatus = Strategy(current).IsSuspended() ? WORLD_STRATEGY : WORLD_NEXT_MASTER;
		return;
	}
	if (m_EndTurnRequested) {
		m_LogicStatus = WORLD_NEXT_MASTER;
		return;
	}
	m_View.ShowWindow(WORLD_AREA_WINDOW, true);
	m_View.ShowWindow(WORLD_MASTER_WINDOW, true);
	m_View.ShowWindow(WORLD_STATUS_WINDOW, true);
	m_View.SetSystemMenuCompact(false);
	// The selected area may have changed hands: it shows again with its ring and its new owner's controls.
	SelectArea(m_SelectedArea);
	PlayMasterMusic(current);
	m_LogicStatus = WORLD_PLAYER_IDLE;
}

void TWorldMapLogic::WaitForMessage()
{
	if (!m_View.IsMessageVisible())
		m_LogicStatus = m_StatusAfterMessage;
}

void TWorldMapLogic::AnswerDismissal()
{
	if (m_View.IsMessageVisible())
		return;
	if (IsConsent(m_View.GetMessageAnswer()) && m_Game.DismissCharacter(m_DismissArea, m_DismissPosition))
		m_View.ShowArea(m_DismissArea, true);
	m_LogicStatus = WORLD_PLAYER_IDLE;
}

void TWorldMapLogic::AnswerAlliance()
{
	if (m_View.IsMessageVisible())
		return;
	const bool consent = IsConsent(m_View.GetMessageAnswer());
	const int current = m_Game.GetCurrentMaster();
	if (!IsPlayerTurn()) {
		// A computer master offered; its strategy goes on whatever the answer.
		if (consent)
			m_Game.MakeAlliance(current, m_AlliancePartner, m_AllianceTurns, m_AllianceCost);
		m_LogicStatus = WORLD_STRATEGY;
		return;
	}
	m_LogicStatus = WORLD_PLAYER_IDLE;
	if (!consent)
		return;
	bool accepted = true;
	if (!m_Game.GetMaster(m_AlliancePartner).Player && !AskProposedAlliance(current, m_AlliancePartner, accepted)) {
		Halt();
		return;
	}
	if (accepted) {
		m_Game.MakeAlliance(current, m_AlliancePartner, m_AllianceTurns, m_AllianceCost);
		ShowInformation(FormatText("%sと同盟を結びました。", MasterName(m_AlliancePartner)));
	} else {
		ShowInformation(FormatText("%sに同盟を断られました。", MasterName(m_AlliancePartner)));
	}
}

void TWorldMapLogic::UpdateHoverText(int x, int y, bool keep)
{
	const int area = !keep ? -1 : x == -1 ? m_HoveredArea : GetAreaAt(x, y);
	if (area < 0) {
		if (m_HoveredArea != -1 || m_HoverFrames != 0)
			m_View.HideHint();
		m_HoveredArea = -1;
		m_HoverFrames = 0;
		return;
	}
	if (area != m_HoveredArea) {
		m_HoveredArea = area;
		m_HoverFrames = 1;
		return;
	}
	++m_HoverFrames;
	if (m_HoverFrames * 60 / HoverFrameRate() <= 2)
		return;
	const TAreaInstance& hovered = m_Game.GetArea(area);
	const int strength = m_Game.GetAreaPower(area) / 1000;
	m_View.ShowHint(area, hovered.Owner >= 0 ? FormatText("%s\n(戦力指数 %d)", MasterName(hovered.Owner), strength)
											: FormatText("中立地帯\n(戦力指数 %d)", strength));
}

int TWorldMapLogic::GetAreaAt(int x, int y) const
{
	for (int a = 0; a < m_Game.GetAreaCount(); ++a) {
		const TAreaInstance& area = m_Game.GetArea(a);
		const point_t& p = area.Location;
		if (!area.Ignore && p.x - 18 < x && x < p.x + 30 && p.y + 6 < y && y < p.y + 54)
			return a;
	}
	return -1;
}

TBattleMap* TWorldMapLogic::GetAreaBattleMap(int area) const
{
	return area >= 0 && area < m_Game.GetAreaCount() ? m_Game.GetArea(area).BattleMap.get() : nullptr;
}
