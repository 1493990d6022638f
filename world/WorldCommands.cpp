// The player's commands on the world map, as the windows report them: clicks on the map by status,
// the buttons of the area, master, employ, move, war and hero windows, and the standing orders.

#include "world/WorldMapLogic.h"

#include "app/Logger.h"
#include "gui/MsgDlg.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>

namespace
{
/// Ring colours of the map (AARRGGBB).
const unsigned SELECTED_COLOUR = 0xFFFFFF00;
const unsigned TARGET_COLOUR = 0xFFFF0000;
const unsigned SOURCE_COLOUR = 0xFF0000FF;
const unsigned OWN_MARK_COLOUR = 0xFF00FFFF;
const unsigned OTHER_MARK_COLOUR = 0xFF00FF00;
}

void TWorldMapLogic::SelectArea(int area)
{
	m_View.ClearHighlights();
	m_SelectedArea = area;
	if (area < 0)
		return;
	m_View.SetHighlight(area, SELECTED_COLOUR);
	m_View.ShowArea(area, m_Game.GetArea(area).Owner == m_Game.GetCurrentMaster());
}

void TWorldMapLogic::UpdateHighlights()
{
	m_View.ClearHighlights();
	if (m_WarTarget >= 0)
		m_View.SetHighlight(m_WarTarget, TARGET_COLOUR);
	if (m_WarSource >= 0)
		m_View.SetHighlight(m_WarSource, SOURCE_COLOUR);
}

void TWorldMapLogic::MarkHoverArea(int area)
{
	m_View.ClearMarks();
	if (area < 0 || area >= m_Game.GetAreaCount())
		return;
	// While idle the selected area keeps its own ring.
	const int skipped = m_LogicStatus == WORLD_PLAYER_IDLE ? m_SelectedArea : -1;
	const int owner = m_Game.GetArea(area).Owner;
	if (owner < 0) {
		if (area != skipped)
			m_View.SetHoverMark(area, OTHER_MARK_COLOUR);
		return;
	}
	const unsigned colour = owner == m_Game.GetCurrentMaster() ? OWN_MARK_COLOUR : OTHER_MARK_COLOUR;
	for (int a = 0; a < m_Game.GetAreaCount(); ++a)
		if (m_Game.GetArea(a).Owner == owner && a != skipped)
			m_View.SetHoverMark(a, colour);
}

bool TWorldMapLogic::OpenMoveWindow(int from, int to)
{
	const int current = m_Game.GetCurrentMaster();
	if (from < 0 || to < 0 || from >= m_Game.GetAreaCount() || to >= m_Game.GetAreaCount()
		|| m_Game.GetArea(from).Owner != current || m_Game.GetArea(to).Owner != current)
		return false;
	const std::vector<int>& neighbors = m_Game.GetArea(from).Neighbors;
	if (std::find(neighbors.begin(), neighbors.end(), to) == neighbors.end())
		return false;
	m_View.AddRoute(from, to);
	m_View.ShowMove(from, to);
	return true;
}

void TWorldMapLogic::OpenWarWindow(int target)
{
	m_WarTarget = target;
	m_WarSource = -1;
	m_View.ShowWar(target);
	for (int neighbor : m_Game.GetArea(target).Neighbors)
		if (m_Game.GetArea(neighbor).Owner == m_Game.GetCurrentMaster())
			m_View.AddRoute(target, neighbor);
}

void TWorldMapLogic::ReturnToIdle()
{
	m_View.SetGuideText("");
	m_View.ClearRoutes();
	m_WarTarget = -1;
	m_WarSource = -1;
	SelectArea(m_SelectedArea);
	m_LogicStatus = WORLD_PLAYER_IDLE;
}

void TWorldMapLogic::PressMap(int area, bool left)
{
	switch (m_LogicStatus) {
	case WORLD_PLAYER_IDLE:
		if (left && area >= 0 && area < m_Game.GetAreaCount()) {
			SelectArea(area);
			MarkHoverArea(area);
		}
		break;
	case WORLD_PICK_MOVE_DESTINATION:
		if (!left) {
			m_View.SetGuideText("");
			m_LogicStatus = WORLD_PLAYER_IDLE;
		} else if (OpenMoveWindow(m_SelectedArea, area)) {
			m_View.SetGuideText("");
			m_MoveSource = m_SelectedArea;
			m_MoveDestination = area;
			m_LogicStatus = WORLD_MOVE_OPEN;
		}
		break;
	case WORLD_MOVE_OPEN:
		if (!left)
			CancelMove();
		break;
	case WORLD_PICK_WAR_TARGET:
		if (!left) {
			ReturnToIdle();
		} else if (area >= 0 && m_Game.CanInvadeArea(area)) {
			m_View.SetGuideText("出陣元エリアから出陣するキャラを選んで下さい");
			OpenWarWindow(area);
			UpdateHighlights();
			m_LogicStatus = WORLD_WAR_OPEN;
		}
		break;
	case WORLD_WAR_OPEN:
		if (!left) {
			CancelWar();
		} else if (area >= 0 && m_Game.GetArea(area).Owner == m_Game.GetCurrentMaster()) {
			const std::vector<int>& neighbors = m_Game.GetArea(m_WarTarget).Neighbors;
			if (std::find(neighbors.begin(), neighbors.end(), area) != neighbors.end()) {
				m_WarSource = area;
				m_View.SetWarSource(area);
				UpdateHighlights();
			}
		}
		break;
	case WORLD_PICK_ALLY:
		if (left) {
			OfferAllianceTo(area);
		} else {
			m_View.SetGuideText("");
			m_LogicStatus = WORLD_PLAYER_IDLE;
		}
		break;
	default:
		break;
	}
}

void TWorldMapLogic::PressAreaButton(TAreaButton button, int row)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_PLAYER_IDLE)
		return;
	switch (button) {
	case AREA_BUTTON_MOVE:
		if (m_SelectedArea >= 0) {
			m_View.SetGuideText("移動先のエリアを選んで下さい");
			m_LogicStatus = WORLD_PICK_MOVE_DESTINATION;
		}
		break;
	case AREA_BUTTON_EMPLOY:
		PressEmploy(row);
		break;
	case AREA_BUTTON_DISMISS:
		PressDismiss(row);
		break;
	}
}

void TWorldMapLogic::PressEmploy(int row)
{
	const int current = m_Game.GetCurrentMaster();
	if (m_SelectedArea < 0) {
		ShowInformation("雇用を行うエリアを選択して下さい。");
		return;
	}
	const TAreaInstance& area = m_Game.GetArea(m_SelectedArea);
	if (area.Owner != current) {
		ShowInformation("選択エリアが所有エリアではありません。");
	} else if (row < 0 || row >= int(area.Charas.size())) {
		ShowInformation("雇用を行うキャラを選択して下さい。");
	} else if (area.Charas.size() >= AREA_CHARA_MAX) {
		ShowInformation(FormatText("エリアの部隊数が%dに達しているため雇用できません。", AREA_CHARA_MAX));
	} else {
		std::vector<int> candidates;
		m_Game.GetEmployableCharas(m_SelectedArea, row, candidates);
		m_EmployArea = m_SelectedArea;
		m_EmployEmployer = row;
		m_View.ShowEmploy(m_SelectedArea, row, candidates, m_Game.GetMaster(current).Money);
		m_LogicStatus = WORLD_EMPLOY_OPEN;
	}
}

void TWorldMapLogic::PressDismiss(int row)
{
	if (m_SelectedArea < 0) {
		ShowInformation("解雇を行うエリアを選択して下さい。");
		return;
	}
	const TAreaInstance& area = m_Game.GetArea(m_SelectedArea);
	const int master = m_Game.GetCurrentMaster();
	if (area.Owner != master) {
		ShowInformation("選択エリアが所有エリアではありません。");
	} else if (row < 0 || row >= int(area.Charas.size())) {
		ShowInformation("解雇するキャラを選択して下さい。");
	} else if (area.Charas[row].CharaIndex == m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex).CharaIndex) {
		ShowInformation("マスターは解雇できません。");
	} else {
		m_DismissArea = m_SelectedArea;
		m_DismissPosition = row;
		const std::string& name = m_Data.GetCharaData(area.Charas[row].CharaIndex).Name;
		m_View.ShowMessage("確認", FormatText("%sを解雇します。", name), BUTTON_OK | BUTTON_CANCEL, 0);
		m_LogicStatus = WORLD_DISMISS_QUESTION;
	}
}

void TWorldMapLogic::PressMasterButton(TMasterButton button)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_PLAYER_IDLE)
		return;
	switch (button) {
	case MASTER_BUTTON_AREA_GRID:
		m_View.ShowWindow(WORLD_AREA_GRID_WINDOW, true);
		m_LogicStatus = WORLD_AREA_GRID;
		break;
	case MASTER_BUTTON_MASTER_GRID:
		m_View.ShowWindow(WORLD_MASTER_GRID_WINDOW, true);
		m_LogicStatus = WORLD_MASTER_GRID;
		break;
	case MASTER_BUTTON_HERO_GRID:
		m_View.ShowWindow(WORLD_HERO_GRID_WINDOW, true);
		m_LogicStatus = WORLD_HERO_GRID;
		break;
	case MASTER_BUTTON_POWER_MAP:
		m_View.ShowWindow(WORLD_POWER_MAP_WINDOW, true);
		m_LogicStatus = WORLD_POWER_MAP;
		break;
	case MASTER_BUTTON_ALLIANCE:
		m_View.SetGuideText("同盟を申し込む勢力を選んで下さい");
		m_LogicStatus = WORLD_PICK_ALLY;
		break;
	case MASTER_BUTTON_WAR:
		m_View.SetGuideText("戦争先のエリアを選んで下さい");
		m_WarTarget = -1;
		m_WarSource = -1;
		UpdateHighlights();
		m_LogicStatus = WORLD_PICK_WAR_TARGET;
		break;
	case MASTER_BUTTON_TURN_END:
		PressTurnEnd();
		break;
	}
}

void TWorldMapLogic::PressTurnEnd()
{
	m_ScriptEvent = WORLD_EVENT_TURN_END;
	if (CallWorldScript("OnTurnEndButton", WORLD_EVENT_TURN_END))
		FinishWorldScript(m_LogicStatus);
}

void TWorldMapLogic::ConfirmEmploy(int candidate)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_EMPLOY_OPEN)
		return;
	m_View.ShowWindow(WORLD_EMPLOY_WINDOW, false);
	if (m_EmployArea < 0 || m_EmployEmployer < 0)
		LOG_ERROR("雇用操作が行われたにも関わらず雇用エリアまたは雇用担当キャラが未選択（プログラムのバグ？）");
	else if (candidate < 0)
		LOG_ERROR("雇用操作が行われたにも関わらず雇用キャラが未選択（プログラムのバグ？）");
	else if (m_Game.EmployCharacter(m_EmployArea, m_EmployEmployer, candidate))
		m_View.ShowArea(m_EmployArea, true);
	m_LogicStatus = WORLD_PLAYER_IDLE;
}

void TWorldMapLogic::CancelEmploy()
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_EMPLOY_OPEN)
		return;
	m_View.ShowWindow(WORLD_EMPLOY_WINDOW, false);
	m_LogicStatus = WORLD_PLAYER_IDLE;
}

void TWorldMapLogic::ConfirmMove(const std::vector<int>& positions1, const std::vector<int>& positions2)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_MOVE_OPEN)
		return;
	m_View.ShowWindow(WORLD_MOVE_WINDOW, false);
	if (!m_Game.MoveCharacter(m_MoveSource, m_MoveDestination, positions1, positions2))
		m_View.ShowMessage("Error", "キャラの移動に失敗しました（プログラムのバグ？）", BUTTON_OK, 0);
	ReturnToIdle();
}

void TWorldMapLogic::CancelMove()
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_MOVE_OPEN)
		return;
	m_View.ShowWindow(WORLD_MOVE_WINDOW, false);
	ReturnToIdle();
}

void TWorldMapLogic::ConfirmWar(const std::vector<std::pair<int, int>>& army)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_WAR_OPEN)
		return;
	m_View.ShowWindow(WORLD_WAR_WINDOW, false);
	if (army.empty())
		LOG_ERROR("戦争操作が行われたにも関わらず戦争キャラが未選択（プログラムのバグ？）");
	if (army.empty() || !CheckArmy(m_WarTarget, army)) {
		// The player keeps the turn: the area and master windows act again.
		ReturnToIdle();
		return;
	}
	m_View.ShowWindow(WORLD_AREA_WINDOW, false);
	m_View.ShowWindow(WORLD_MASTER_WINDOW, false);
	m_View.ShowWindow(WORLD_STATUS_WINDOW, false);
	m_View.SetSystemMenuCompact(true);
	m_View.ClearHighlights();
	m_View.ClearRoutes();
	m_View.SetGuideText("");
	StartMarch(m_WarTarget, army);
}

void TWorldMapLogic::CancelWar()
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_WAR_OPEN)
		return;
	m_View.ShowWindow(WORLD_WAR_WINDOW, false);
	ReturnToIdle();
}

void TWorldMapLogic::PressHeroButton(THeroButton button)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_LogicStatus != WORLD_HERO_OFFERED)
		return;
	switch (button) {
	case HERO_BUTTON_STATUS:
		m_View.ShowStatus(m_Game.GetWanderingChara(m_HeroChara), true);
		break;
	case HERO_BUTTON_HIRE:
		m_View.ShowWindow(WORLD_HERO_WINDOW, false);
		HireHero();
		break;
	case HERO_BUTTON_DECLINE:
		m_View.ShowWindow(WORLD_HERO_WINDOW, false);
		CheckFoundHero();
		break;
	}
}

void TWorldMapLogic::HireHero()
{
	const int current = m_Game.GetCurrentMaster();
	std::string refusal;
	if (m_Game.GetMaster(current).Money < m_Data.GetCharaData(m_HeroChara).EmployCost)
		refusal = "軍資金が足りません";
	else if (m_Game.GetArea(m_HeroArea).Charas.size() >= AREA_CHARA_MAX)
		refusal = FormatText("エリアの部隊数が%dに達しているため雇用できません。", AREA_CHARA_MAX);
	else if (!m_Game.CheckEmployAffinity(current, m_HeroChara))
		refusal = "誘いを断られました";
	if (!refusal.empty()) {
		ShowTimedMessage(refusal, WORLD_NEXT_HERO);
		return;
	}
	m_Game.EmployWanderingChara(m_HeroArea, m_HeroChara);
	CheckFoundHero();
}

void TWorldMapLogic::CloseGrid(TWorldWindow window)
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	m_View.ShowWindow(window, false);
	if (m_LogicStatus == WORLD_AREA_GRID || m_LogicStatus == WORLD_MASTER_GRID || m_LogicStatus == WORLD_HERO_GRID)
		m_LogicStatus = WORLD_PLAYER_IDLE;
}

void TWorldMapLogic::StopWatching()
{
	m_View.ShowWindow(WORLD_FULL_STATUS_WINDOW, false);
	if (m_Battle)
		m_Battle->StopWatching();
	m_View.ShowWindow(WORLD_MAP_WINDOW, true);
	m_View.ShowWindow(WORLD_MENU_WINDOW, false);
}

void TWorldMapLogic::SetAreaStandbyOperation(int operation)
{
	if (m_SelectedArea < 0) {
		LOG_ERROR("待機時行動変更操作が行われたにも関わらずエリアが未選択？ありえないはず。");
		return;
	}
	TAreaInstance& area = m_Game.GetArea(m_SelectedArea);
	if (operation >= 0 && operation < OPERATION_COUNT && area.Owner == m_Game.GetCurrentMaster())
		area.Operation = operation;
}
