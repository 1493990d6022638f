#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"

namespace
{
/// The entry is due when the chara (side, index) has died.
bool IsDue(const TAutoSpecial& entry, int side, int index)
{
	switch (entry.event) {
	case EVENT_MEDEAD:
		return entry.chara.side == side && entry.chara.index == index;
	case EVENT_MYSIDEDEAD:
		return entry.chara.side == side && entry.chara.index != index;
	case EVENT_ENEMYDEAD:
		return entry.chara.side != side;
	default:
		return false;
	}
}
}

void TBattleMapLogic::UpdateAutoSpecialList()
{
	g_Logger.Debug("UpdateAutoSpecialList");
	m_AutoSpecials.clear();
	for (int side = 0; side < m_Field.SideCount(); ++side) {
		for (int index = 0; index < static_cast<int>(m_Field.sides[side]->size()); ++index) {
			const TCharaData& data = m_Field.CharaData(m_Field.Chara({side, index}));
			if (!data.AutoScript.empty())
				m_AutoSpecials.push_back({data.AutoScriptEvent, {side, index}, data.AutoScript});
			if (data.AutoSpecial != -1)
				m_AutoSpecials.push_back({data.AutoSpecialEvent, {side, index}, std::string()});
		}
	}
}

// A chara that left the field has no cell to use its special from; its script still runs.
void TBattleMapLogic::ActivateAutoSpecial(int side, int index)
{
	g_Logger.Debug("ActivateAutoSpecial");
	for (const TAutoSpecial& entry : m_AutoSpecials) {
		LOG_DEBUG("ActivateAutoSpecial %d %d", entry.chara.side, entry.chara.index);
		if (!m_Field.IsChara(entry.chara.side, entry.chara.index))
			continue;
		const TCharaInstance& chara = m_Field.Chara(entry.chara);
		if (entry.function.empty()) {
			const int special = m_Field.CharaData(chara).AutoSpecial;
			if (!IsOnField(chara) || chara.MP < m_Data.GetSpecialData(special).ConsumeMP)
				continue;
		}
		if (IsDue(entry, side, index))
			m_AutoQueue.push_back(entry);
	}
	g_Logger.Debug("ActivateAutoSpecial end");
}

bool TBattleMapLogic::DoAutoSpecialLogic()
{
	if (m_AutoQueue.empty())
		return false;
	g_Logger.Debug("DoAutoSpecialLogic");
	const TAutoSpecial entry = m_AutoQueue.front();
	m_AutoQueue.pop_front();
	if (!entry.function.empty()) {
		if (RunBattleScript(entry.function, SCRIPT_RUN_AUTO)) {
			g_Logger.Debug("DoAutoSpecialLogic yield");
			return true;
		}
		g_Logger.Debug("DoAutoSpecialLogic end");
		return false;
	}
	m_Active = entry.chara;
	// Aimed at the first target in range: nothing the chara committed earlier is meant for it.
	m_Action = TBattleAction();
	m_Action.kind = ACTION_KIND_SPECIAL;
	m_Action.targetX = -1;
	m_Action.special = m_Field.CharaData(Active()).AutoSpecial;
	m_Commandable = false;
	UseSpecial(m_Action.special, true);
	return true;
}

void TBattleMapLogic::UseSpecial(int special, bool check)
{
	if (!HasActiveChara("UseSpecial") || special < 0 || special >= m_Data.GetSpecialCount()) {
		LOG_ERROR("no special %d to use", special);
		m_State = STATE_MAIN;
		return;
	}
	CaptureCityObject();
	const TSpecialData& data = m_Data.GetSpecialData(special);
	LOG_DEBUG("selected=%s before=%d", data.Name, special);
	m_CurrentSpecial = special;
	const TCharaData& caster = m_Field.CharaData(Active());
	// A special plays at least once, whatever count the data gives.
	m_SpecialCount = special == caster.Special ? std::max(1, caster.SpecialCount) : 1;
	if (check && !PassesConditionScript(special))
		return;
	m_View.SetSpecialName(data.Name);
	const point_t cell = {Active().BattleX, Active().BattleY};
	TValueLayer<int> work(m_Field.Width(), m_Field.Height());
	TValueLayer<int>& range = m_Commandable ? m_Selection : work;
	if (!GetRange(m_Field, range, cell.x, cell.y, data.RangeType, data.MaxRange, data.MaxRadius, 1)) {
		SetTargetCells(cell.x, cell.y, cell.x, cell.y, special);
		StartEffect(cell.x, cell.y);
		return;
	}
	if (m_Commandable) {
		m_State = STATE_CHOOSE_TARGET;
		return;
	}
	point_t aim;
	if (!AimComputerSpecial(range, aim)) {
		LOG_DEBUG("%s has no target in range", data.Name);
		m_State = STATE_MAIN;
		return;
	}
	SetTargetCells(cell.x, cell.y, aim.x, aim.y, special);
	StartEffect(aim.x, aim.y);
}

// The condition script may take frames: the battle then resumes it in state 20 and starts the special
// once it has answered true.
bool TBattleMapLogic::PassesConditionScript(int special)
{
	const std::string& function = m_Data.GetSpecialData(special).ScriptBefore;
	LOG_DEBUG("%s", function);
	if (function.empty())
		return true;
	if (RunBattleScript(function, SCRIPT_RUN_CONDITION))
		return false;
	if (m_BattleScript.GetResult())
		return true;
	LOG_DEBUG("%s returned false(?)", function);
	m_State = STATE_MAIN;
	return false;
}

// The committed target when it is in range and the special takes something there; else the first
// cell in range, row by row, that does.
bool TBattleMapLogic::AimComputerSpecial(const TValueLayer<int>& range, point_t& aim) const
{
	const point_t caster = {Active().BattleX, Active().BattleY};
	const auto takes = [&](int x, int y) {
		return range.Contains(x, y) && range.At(x, y) == 0
			&& HasTargetAt(m_Field, caster, {x, y}, m_Active.side, m_CurrentSpecial);
	};
	if (takes(m_Action.targetX, m_Action.targetY)) {
		aim = {m_Action.targetX, m_Action.targetY};
		return true;
	}
	for (int y = 0; y < range.Height(); ++y) {
		for (int x = 0; x < range.Width(); ++x) {
			if (takes(x, y)) {
				aim = {x, y};
				return true;
			}
		}
	}
	return false;
}

void TBattleMapLogic::SetTargetCells(int casterX, int casterY, int aimX, int aimY, int special)
{
	m_TargetCells.clear();
	m_TargetDead.clear();
	if (special < 0 || special >= m_Data.GetSpecialCount())
		return;
	const TSpecialData& data = m_Data.GetSpecialData(special);
	::GetTargetCells(m_Field, m_Active.side, {casterX, casterY}, {aimX, aimY}, data.MaxRadius, data.RangeType,
		data.RangeHeight, m_TargetCells, m_TargetDead);
}

// The use of a magic limited per battle is counted here, once, whoever chose it and however.
void TBattleMapLogic::StartEffect(int x, int y)
{
	m_LastSpecials[m_Active.side][m_Active.index] = m_CurrentSpecial;
	m_SideLastSpecial[m_Active.side] = m_CurrentSpecial;
	const auto limited = m_LimitedMagic.find(m_CurrentSpecial);
	if (limited != m_LimitedMagic.end())
		++m_MagicUses[m_Active.side][limited->second];
	m_EffectAim = {x, y};
	m_EffectFrame = 0;
	m_EffectUses = 0;
	m_State = STATE_EFFECT;
}
