#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/HexGeometry.h"

void TBattleMapLogic::StartMove(int x, int y)
{
	m_View.SetHover(-1, -1, -1);
	const TCharaInstance& chara = Active();
	const point_t start = {chara.BattleX, chara.BattleY};
	// Every reachable cell leads back to the chara's cell; the bound guards against one that does not.
	int steps = 0;
	const int bound = m_Field.Width() * m_Field.Height();
	for (point_t cell = {x, y}; cell != start; cell = m_FromLayer.At(cell.x, cell.y)) {
		if (++steps > bound) {
			LOG_ERROR("(%d,%d) does not lead back to (%d,%d)", x, y, start.x, start.y);
			return;
		}
	}
	m_MoveTarget = {x, y};
	m_Moved = true;
	m_MoveFrames = m_FramesPerCell * steps;
	m_MoveFrame = 0;
	if (!m_Watching) {
		DoActionLogic();
		return;
	}
	m_State = STATE_MOVING;
}

void TBattleMapLogic::DoActionLogic()
{
	TCharaInstance& chara = Active();
	m_Field.Vacate(m_Active);
	m_PreviousCell = {chara.BattleX, chara.BattleY};
	m_Field.Put(m_Active, m_MoveTarget.x, m_MoveTarget.y);
	UpdateCharaDrawRecord(m_Active);
	if (m_Commandable) {
		m_View.SetCursor(chara.BattleX, chara.BattleY);
		const point_t centre = CellCenterPixel(chara.BattleX, chara.BattleY);
		m_View.ScrollTo(centre.x, centre.y);
		OfferCommands(true);
		m_State = STATE_COMMAND_MOVED;
		return;
	}
	switch (m_Action.kind) {
	case ACTION_KIND_WAIT:
		DoWaitLogic();
		break;
	case ACTION_KIND_RUNAWAY:
		DoRunawayLogic();
		break;
	default:
		Fail("AI routine error.");
		break;
	}
}

// The refund follows whether the chara moved, watched or not.
void TBattleMapLogic::DoWaitLogic()
{
	m_View.SetHover(-1, -1, -1);
	CaptureCityObject();
	Active().ActionGauge += m_Moved ? 100 : 200;
	RebuildSprites();
	m_State = STATE_MAIN;
}

void TBattleMapLogic::DoRunawayLogic()
{
	CaptureCityObject();
	m_FleeList.push_back(m_Active);
	Active().Fleeing = true;
	m_State = STATE_MAIN;
}

// An attacker that ends its action on a city takes it: the city is gone from the map.
void TBattleMapLogic::CaptureCityObject()
{
	const TCharaInstance& chara = Active();
	if (m_Active.side != 0 && m_Field.map->GetMapObjectType(chara.BattleX, chara.BattleY) == MAP_OBJECT_CITY)
		RemoveMapObj(chara.BattleX, chara.BattleY);
}

bool TBattleMapLogic::CheckMoveTarget(int moveX, int moveY, const char* method) const
{
	const TCharaInstance& chara = Active();
	if ((moveX == chara.BattleX && moveY == chara.BattleY)
		|| (m_MoveLayer.Contains(moveX, moveY) && m_MoveLayer.At(moveX, moveY) > 0))
		return true;
	g_Logger.Error(FormatText("TBattleMapLogic::%s error:移動できない座標(%d,%d)が指定されました。", method, moveX, moveY));
	return false;
}

bool TBattleMapLogic::CheckAction(int moveX, int moveY, int kind, const char* method) const
{
	if (!HasActiveChara(method) || !CheckMoveTarget(moveX, moveY, method))
		return false;
	if (kind == ACTION_KIND_RUNAWAY && !CanFlee(m_Active.side, m_Active.index, moveX, moveY)) {
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:(%d,%d)からは逃走できません。", method, moveX, moveY));
		return false;
	}
	if (kind != ACTION_KIND_WAIT && kind != ACTION_KIND_RUNAWAY) {
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:行動タイプ %d は使えません。", method, kind));
		return false;
	}
	return true;
}

void TBattleMapLogic::GetActionList(int x, int y, std::vector<TBattleAction>& actions)
{
	actions.clear();
	if (!HasActiveChara("GetActionList") || !CheckCell(x, y, "GetActionList"))
		return;
	if (CanFlee(m_Active.side, m_Active.index, x, y))
		actions.push_back({ACTION_KIND_RUNAWAY, x, y, -1});
}

bool TBattleMapLogic::EvalAction(int moveX, int moveY, int kind, int, int, int, std::vector<TEffectPreview>& previews)
{
	previews.clear();
	return CheckAction(moveX, moveY, kind, "EvalAction");
}

// A wait or a flight without a move is carried out at once, as after a move.
bool TBattleMapLogic::SetAction(int moveX, int moveY, int kind, int special, int targetX, int targetY)
{
	if (m_State != STATE_COMPUTER) {
		LOG_ERROR("no computer chara is choosing its action (state %d)", m_State);
		return false;
	}
	if (!CheckAction(moveX, moveY, kind, "SetAction"))
		return false;
	m_Action = {kind, targetX, targetY, special};
	const TCharaInstance& chara = Active();
	if (moveX != chara.BattleX || moveY != chara.BattleY) {
		StartMove(moveX, moveY);
		return true;
	}
	m_MoveTarget = {moveX, moveY};
	DoActionLogic();
	return true;
}
