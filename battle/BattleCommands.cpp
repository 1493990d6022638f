#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "battle/MagicRules.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <SDL/SDL_keysym.h>

namespace
{
std::string RepeatLabel(const TMorvalethData& data, int special)
{
	return special < 0 ? std::string("再実行：なし") : "再実行：" + data.GetSpecialData(special).Name;
}
}

TCommandMenu TBattleMapLogic::BuildCommandMenu(bool moved) const
{
	const TCharaInstance& chara = Active();
	const TCharaData& data = m_Field.CharaData(chara);
	const int side = m_Active.side;
	const int x = chara.BattleX;
	const int y = chara.BattleY;
	const bool armed = HasUsableAttack(data);
	const bool enemyNext = IsEnemyAdjacent(m_Field, side, x, y, false);
	const auto own = m_LastSpecials[side].find(m_Active.index);
	const int ownLast = own != m_LastSpecials[side].end() ? own->second : -1;
	const int sideLast = m_SideLastSpecial[side];
	TCommandMenu menu;
	menu.labels = {"待機", "移動", "攻撃", "魔法", data.Special >= 0 ? m_Data.GetSpecialData(data.Special).Name : "",
		"突撃", RepeatLabel(m_Data, ownLast), RepeatLabel(m_Data, sideLast), "逃走"};
	menu.enabled[COMMAND_WAIT] = true;
	menu.enabled[COMMAND_MOVE] = !moved && !HasCondition(chara, EFFECT_PARALYZE);
	menu.enabled[COMMAND_ATTACK] = armed && (enemyNext || (side != 0 && IsNextToWall(m_Field, x, y)));
	menu.enabled[COMMAND_MAGIC] = !moved && CanUseMagic(m_Data, chara);
	menu.enabled[COMMAND_SPECIAL] = data.Special >= 0 && chara.MP >= m_Data.GetSpecialData(data.Special).ConsumeMP;
	menu.enabled[COMMAND_CHARGE] = !moved && armed && enemyNext;
	menu.enabled[COMMAND_REPEAT_OWN] = ownLast >= 0 && CanUseSpecial(moved, ACTION_KIND_SPECIAL, ownLast);
	menu.enabled[COMMAND_REPEAT_SIDE] = sideLast >= 0
		&& (CanCastSpecial(m_Data, chara, sideLast) || sideLast == data.Special)
		&& CanUseSpecial(moved, ACTION_KIND_SPECIAL, sideLast);
	menu.enabled[COMMAND_RUNAWAY] = CanFlee(side, m_Active.index, x, y);
	return menu;
}

void TBattleMapLogic::ShowCommandBar()
{
	m_View.ShowCommandBar(m_Menu);
	m_State = m_Moved ? STATE_COMMAND_MOVED : STATE_COMMAND;
}

void TBattleMapLogic::CommandPressed(int command)
{
	if ((m_State != STATE_COMMAND && m_State != STATE_COMMAND_MOVED) || command < 0 || command >= COMMAND_COUNT
		|| !m_Menu.enabled[command])
		return;
	const TCharaInstance& chara = Active();
	switch (command) {
	case COMMAND_WAIT:
		m_View.HideCommandBar();
		m_View.SetBottomChara(nullptr, 0);
		DoWaitLogic();
		break;
	case COMMAND_MOVE:
		m_View.HideCommandBar();
		// The cells with points left, and the chara's own, may be chosen.
		for (int y = 0; y < m_Selection.Height(); ++y)
			for (int x = 0; x < m_Selection.Width(); ++x)
				m_Selection.At(x, y) = m_MoveLayer.At(x, y) > 0 || (x == chara.BattleX && y == chara.BattleY) ? 0 : 1;
		m_State = STATE_CHOOSE_MOVE;
		break;
	case COMMAND_RUNAWAY:
		m_View.HideCommandBar();
		m_View.SetCursor(-1, -1);
		m_View.SetBottomChara(nullptr, 0);
		DoRunawayLogic();
		break;
	default:
		break;
	}
}

void TBattleMapLogic::MapPressed(int x, int y, bool left)
{
	if (!IsInBattle() || !m_Field.sideLayer.Contains(x, y))
		return;
	bool consumed = true;
	switch (m_State) {
	case STATE_PLAYER_PLACING:
		PlacementPressed(x, y, left);
		break;
	case STATE_COMMAND_MOVED:
		if (left)
			consumed = false;
		else
			UndoMove();
		break;
	case STATE_CHOOSE_MOVE:
		if (left && m_Selection.At(x, y) != 0)
			consumed = false;
		else
			MovePressed(x, y, left);
		break;
	default:
		consumed = false;
		break;
	}
	TCharaRef ref;
	if (!consumed && m_Field.CharaOn(x, y, ref))
		ShowCharaFullStatus(ref);
}

// Choosing the chara's own cell moves it nowhere: the player chooses a command again.
void TBattleMapLogic::MovePressed(int x, int y, bool left)
{
	m_Selection.Fill(0);
	const TCharaInstance& chara = Active();
	if (!left || (x == chara.BattleX && y == chara.BattleY))
		ShowCommandBar();
	else
		StartMove(x, y);
}

void TBattleMapLogic::UndoMove()
{
	m_Field.Vacate(m_Active);
	m_Field.Put(m_Active, m_PreviousCell.x, m_PreviousCell.y);
	UpdateCharaDrawRecord(m_Active);
	m_View.SetCursor(m_PreviousCell.x, m_PreviousCell.y);
	m_Moved = false;
	OfferCommands(false);
	m_View.SetStatusLine(FormatText("%sに命令を", m_Field.CharaData(Active()).Name));
	m_State = STATE_COMMAND;
}

void TBattleMapLogic::MapHovered(int x, int y)
{
	if (m_State < STATE_COMMAND || m_State > STATE_CHOOSE_MAGIC)
		return;
	TCharaRef ref;
	if (!m_Field.CharaOn(x, y, ref)) {
		m_View.SetHover(m_Field.sideLayer.Contains(x, y) ? x : -1, y, -1);
		return;
	}
	m_View.SetHover(x, y, m_Field.Chara(ref).DrawSlot);
}

void TBattleMapLogic::KeyPressed(int key)
{
	if (!IsInBattle())
		return;
	if (key == SDLK_F1) {
		RefreshCharaListWindow(true);
	} else if (key == SDLK_F2 && m_State == STATE_COMMAND) {
		m_View.HideCommandBar();
		m_Commandable = false;
		m_ComputerFrames = 0;
		m_State = STATE_COMPUTER;
	}
}

void TBattleMapLogic::ShowCharaFullStatus(const TCharaRef& ref)
{
	m_View.ShowFullStatus(m_Field.Chara(ref));
	m_Hovered = ref;
}

void TBattleMapLogic::RefreshCharaListWindow(bool flag)
{
	std::vector<int> masters;
	for (int master : m_Field.masters)
		masters.push_back(master < 0 ? -1 : m_Game.GetMaster(master).DataIndex);
	m_View.ShowCharaList(masters, m_Field.sides, flag);
}

void TBattleMapLogic::MagicChosen(int special)
{
	if (m_State != STATE_CHOOSE_MAGIC)
		return;
	m_View.HideMagicWindow();
	if (special < 0)
		ShowCommandBar();
}
