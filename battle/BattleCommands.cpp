#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "battle/MagicRules.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "model/SpecialData.h"

#include <SDL/SDL_keysym.h>

namespace
{
/// The player is commanding a chara: choosing its command, or the cell, target or magic of one.
bool IsCommandState(int state)
{
	return state >= STATE_COMMAND && state <= STATE_CHOOSE_MAGIC;
}

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
	// A command is offered only when it leads somewhere: a cell to move to, an enemy a charge takes.
	const bool reachable = AnyCellAround({x, y}, [this](point_t cell) { return m_MoveLayer.At(cell.x, cell.y) > 0; });
	const bool chargeable = AnyCellAround({x, y}, [this](point_t cell) { return IsChargeTarget(cell); });
	const auto own = m_LastSpecials[side].find(m_Active.index);
	const int ownLast = own != m_LastSpecials[side].end() ? own->second : -1;
	const int sideLast = m_SideLastSpecial[side];
	TCommandMenu menu;
	menu.labels = {"待機", "移動", "攻撃", "魔法", data.Special >= 0 ? m_Data.GetSpecialData(data.Special).Name : "",
		"突撃", RepeatLabel(m_Data, ownLast), RepeatLabel(m_Data, sideLast), "逃走"};
	menu.enabled[COMMAND_WAIT] = true;
	menu.enabled[COMMAND_MOVE] = !moved && !HasCondition(chara, EFFECT_PARALYZE) && reachable;
	menu.enabled[COMMAND_ATTACK] = armed && (enemyNext || (side != 0 && IsNextToWall(m_Field, x, y)));
	menu.enabled[COMMAND_MAGIC] = !moved && CanUseMagic(m_Data, chara);
	menu.enabled[COMMAND_SPECIAL] = data.Special >= 0 && chara.MP >= m_Data.GetSpecialData(data.Special).ConsumeMP;
	menu.enabled[COMMAND_CHARGE] = !moved && chargeable;
	menu.enabled[COMMAND_REPEAT_OWN] = ownLast >= 0 && CanUseSpecial(moved, ACTION_KIND_SPECIAL, ownLast);
	menu.enabled[COMMAND_REPEAT_SIDE] = sideLast >= 0
		&& (CanCastSpecial(m_Data, chara, sideLast) || sideLast == data.Special)
		&& CanUseSpecial(moved, ACTION_KIND_SPECIAL, sideLast);
	menu.enabled[COMMAND_RUNAWAY] = CanFlee(side, m_Active.index, x, y);
	return menu;
}

bool TBattleMapLogic::AnyCellAround(point_t centre, const std::function<bool(point_t)>& test) const
{
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
		const point_t cell = GetAdjacentCell(centre.x, centre.y, k);
		if (m_Field.map->IsOnMap(cell.x, cell.y) && test(cell))
			return true;
	}
	return false;
}

void TBattleMapLogic::ShowCommandBar()
{
	m_View.ShowCommandBar(m_Menu);
	m_State = m_Moved ? STATE_COMMAND_MOVED : STATE_COMMAND;
}

void TBattleMapLogic::CommandPressed(int command)
{
	if (!HearsPlayer() || (m_State != STATE_COMMAND && m_State != STATE_COMMAND_MOVED) || command < 0
		|| command >= COMMAND_COUNT || !m_Menu.enabled[command])
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
	case COMMAND_ATTACK:
	case COMMAND_CHARGE:
		m_View.HideCommandBar();
		MarkAroundCell(chara.BattleX, chara.BattleY);
		if (command == COMMAND_CHARGE)
			ShadeObjectsAround(chara.BattleX, chara.BattleY);
		m_State = command == COMMAND_ATTACK ? STATE_CHOOSE_ATTACK : STATE_CHOOSE_CHARGE;
		break;
	case COMMAND_MAGIC:
		m_View.HideCommandBar();
		m_View.ShowMagicWindow(chara, m_MagicUses[m_Active.side]);
		m_State = STATE_CHOOSE_MAGIC;
		break;
	case COMMAND_SPECIAL:
	case COMMAND_REPEAT_OWN:
	case COMMAND_REPEAT_SIDE:
		m_View.HideCommandBar();
		UseSpecial(CommandSpecial(command), true);
		break;
	case COMMAND_RUNAWAY:
		m_View.HideCommandBar();
		m_View.SetBottomChara(nullptr, 0);
		DoRunawayLogic();
		break;
	default:
		break;
	}
	ClearCommandMarks();
}

// Once the chara's command is given, nothing marks it as the one being commanded: the cursor goes as
// it walks away and comes back when it arrives; the status line goes once it acts.
void TBattleMapLogic::ClearCommandMarks()
{
	if (IsCommandState(m_State))
		return;
	m_View.SetCursor(-1, -1);
	if (m_State != STATE_MOVING)
		m_View.SetStatusLine(std::string());
}

// No charge goes to a cell that holds a map object, so none is offered.
void TBattleMapLogic::ShadeObjectsAround(int x, int y)
{
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
		const point_t cell = GetAdjacentCell(x, y, k);
		if (m_Field.map->IsOnMap(cell.x, cell.y) && m_Field.map->GetMapObjectType(cell.x, cell.y) != 0)
			m_Selection.At(cell.x, cell.y) = 1;
	}
}

// The special a special or repeat button uses; the menu offers a button only when its special exists.
int TBattleMapLogic::CommandSpecial(int command) const
{
	if (command == COMMAND_REPEAT_SIDE)
		return m_SideLastSpecial[m_Active.side];
	if (command == COMMAND_REPEAT_OWN) {
		const auto own = m_LastSpecials[m_Active.side].find(m_Active.index);
		return own != m_LastSpecials[m_Active.side].end() ? own->second : -1;
	}
	return m_Field.CharaData(Active()).Special;
}

void TBattleMapLogic::MapPressed(int x, int y, bool left)
{
	if (!HearsPlayer() || !IsInBattle() || !m_Field.sideLayer.Contains(x, y))
		return;
	bool consumed = true;
	const bool commanding = IsCommandState(m_State);
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
	case STATE_CHOOSE_ATTACK:
	case STATE_CHOOSE_CHARGE:
		if (left && m_Selection.At(x, y) != 0)
			consumed = false;
		else
			AttackPressed(x, y, left);
		break;
	case STATE_CHOOSE_TARGET:
		if (left && (m_Selection.At(x, y) != 0 || !HasTargetAt(m_Field, {Active().BattleX, Active().BattleY}, {x, y},
												  m_Active.side, m_CurrentSpecial)))
			consumed = false;
		else
			TargetPressed(x, y, left);
		break;
	default:
		consumed = false;
		break;
	}
	if (commanding)
		ClearCommandMarks();
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

// A cell the chara cannot attack (its own, a friend's) is no choice: the player chooses again.
void TBattleMapLogic::AttackPressed(int x, int y, bool left)
{
	if (!left) {
		m_Selection.Fill(0);
		ShowCommandBar();
		return;
	}
	if (!DoSelectedAttackLogic(x, y, m_State == STATE_CHOOSE_CHARGE))
		return;
	m_View.SetBottomChara(nullptr, 0);
	m_Selection.Fill(0);
}

void TBattleMapLogic::TargetPressed(int x, int y, bool left)
{
	m_Selection.Fill(0);
	m_View.SetMarks(std::vector<point_t>(), gcn::Color());
	if (!left) {
		m_View.SetSpecialName(std::string());
		ShowCommandBar();
		return;
	}
	m_View.SetBottomChara(nullptr, 0);
	const TCharaInstance& chara = Active();
	SetTargetCells(chara.BattleX, chara.BattleY, x, y, m_CurrentSpecial);
	StartEffect(x, y);
}

// While the player aims a special, the cells it would take at the cell under the pointer are coloured.
void TBattleMapLogic::ShowAimMarks(int x, int y)
{
	std::vector<point_t> cells;
	const point_t caster = {Active().BattleX, Active().BattleY};
	if (!m_Selection.Contains(x, y) || m_Selection.At(x, y) != 0
		|| !HasTargetAt(m_Field, caster, {x, y}, m_Active.side, m_CurrentSpecial)) {
		m_View.SetMarks(cells, gcn::Color());
		return;
	}
	const TSpecialData& data = m_Data.GetSpecialData(m_CurrentSpecial);
	std::vector<TCharaRef> dead;
	::GetTargetCells(m_Field, m_Active.side, caster, {x, y}, data.MaxRadius,
		data.RangeType == RANGE_STREAM ? RANGE_STREAM : RANGE_NORMAL, 0, cells, dead);
	const bool boost = m_Data.GetAttributeData(data.Attribute).type == ATTRIBUTE_BOOST;
	m_View.SetMarks(cells, boost ? gcn::Color(0, 0, 255, 128) : gcn::Color(255, 0, 0, 128));
}

void TBattleMapLogic::UndoMove()
{
	m_Field.Vacate(m_Active);
	m_Field.Put(m_Active, m_PreviousCell.x, m_PreviousCell.y);
	UpdateCharaDrawRecord(m_Active);
	m_View.SetCursor(m_PreviousCell.x, m_PreviousCell.y);
	m_Moved = false;
	ShowCommandMenu(false);
	m_View.SetStatusLine(FormatText("%sに命令を", m_Field.CharaData(Active()).Name));
	m_State = STATE_COMMAND;
}

void TBattleMapLogic::MapHovered(int x, int y)
{
	if (!IsCommandState(m_State))
		return;
	if (m_State == STATE_CHOOSE_TARGET)
		ShowAimMarks(x, y);
	// The bottom pane shows the chara under the pointer, and the one being commanded when there is none.
	TCharaRef ref;
	if (!m_Field.CharaOn(x, y, ref)) {
		m_View.SetHover(m_Field.sideLayer.Contains(x, y) ? x : -1, y, -1);
		m_View.SetBottomChara(&Active(), m_Active.side);
		return;
	}
	m_View.SetHover(x, y, m_Field.Chara(ref).DrawSlot);
	m_View.SetBottomChara(&m_Field.Chara(ref), ref.side);
}

void TBattleMapLogic::KeyPressed(int key)
{
	if (!HearsPlayer() || !IsInBattle())
		return;
	if (key == SDLK_F1) {
		RefreshCharaListWindow(true);
	} else if (key == SDLK_F2 && m_State == STATE_COMMAND) {
		m_View.HideCommandBar();
		m_Commandable = false;
		m_ComputerFrames = 0;
		m_State = STATE_COMPUTER;
		ClearCommandMarks();
	}
}

bool TBattleMapLogic::HearsPlayer() const
{
	return !m_View.IsConfigWindowVisible();
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
	if (!HearsPlayer() || m_State != STATE_CHOOSE_MAGIC)
		return;
	m_View.HideMagicWindow();
	if (special < 0 || !IsUsableSpecial(special, m_Moved))
		ShowCommandBar();
	else
		UseSpecial(special, true);
	ClearCommandMarks();
}
