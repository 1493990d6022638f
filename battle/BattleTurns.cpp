#include "battle/BattleMapLogic.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "battle/CharaRules.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"

namespace
{
/// The phases of the end of a turn, in their order.
enum TProgressPhase
{
	PHASE_RECOVERY,
	PHASE_HP,
	PHASE_MP,
	PHASE_POISON,
	PHASE_FLIGHT,
	PHASE_DONE,
};

/// Calls each pause of the end of a turn lasts, times the speed level.
const int PROGRESS_DELAY_UNIT = 10;

/// Chance in percent that a condition ends at the end of a turn, and the age it needs; no chance for the others.
struct TRecoveryChance
{
	int condition;
	int chance;
	int age;
};
const TRecoveryChance RECOVERY_CHANCES[] = {
	{EFFECT_PARALYZE, 20, 0},
	{EFFECT_SLEEP, 33, 3},
	{EFFECT_DREAM, 20, 3},
};

const TRecoveryChance* FindRecoveryChance(const std::pair<int, int>& condition)
{
	for (const TRecoveryChance& entry : RECOVERY_CHANCES)
		if (entry.condition == condition.first && condition.second >= entry.age)
			return &entry;
	return nullptr;
}

/// Status lines of the phases that change hit or magic points.
const char* const PHASE_TEXTS[] = {"", "HPが回復した", "MPが回復した", "毒によるダメージ"};
}

bool TBattleMapLogic::ProgressTurn()
{
	if (m_ProgressDelay >= 0 && m_ProgressDelay < m_SpeedLevel * m_DelayUnit) {
		++m_ProgressDelay;
		return false;
	}
	if (m_ProgressPhase == PHASE_DONE)
		return true;
	if (m_ProgressPhase == PHASE_RECOVERY) {
		if (RecoverFromCondition())
			return false;
		m_ProgressPhase = PHASE_HP;
	}
	const int phase = m_ProgressPhase++;
	if (phase == PHASE_FLIGHT) {
		if (!CarryOutFlight())
			return m_ProgressPhase == PHASE_DONE;
		if (g_Config.GetBoolValue(SWITCH_SOUND_ENABLED) && m_Watching)
			m_View.PlaySound(2);
	} else {
		std::vector<TEffectResult> results;
		GatherRecoveries(phase, results);
		if (results.empty())
			return m_ProgressPhase == PHASE_DONE;
		bool died = false;
		ApplyEffectResult(results, died);
		ShowEffectPopups(results);
		m_View.SetStatusLine(PHASE_TEXTS[phase]);
	}
	m_ProgressDelay = 0;
	m_DelayUnit = PROGRESS_DELAY_UNIT;
	LOG_DEBUG("after ApplyEffectResult 3 state=%d", m_ProgressPhase);
	return false;
}

// One scan ends at most one condition; one that stays is drawn for again in the next scan.
bool TBattleMapLogic::RecoverFromCondition()
{
	for (std::vector<TCharaInstance>* side : m_Field.sides) {
		for (TCharaInstance& chara : *side) {
			if (chara.HP == 0)
				continue;
			for (std::size_t i = chara.Conditions.size(); i-- > 0;) {
				const TRecoveryChance* entry = FindRecoveryChance(chara.Conditions[i]);
				if (!entry || mtrand_n(100) >= entry->chance)
					continue;
				m_View.SetStatusLine(FormatText("%sは%sから回復した", m_Field.CharaData(chara).Name,
					GetEffectName(entry->condition)));
				chara.Conditions.erase(chara.Conditions.begin() + i);
				m_ProgressDelay = 0;
				m_DelayUnit = PROGRESS_DELAY_UNIT;
				return true;
			}
		}
	}
	return false;
}

void TBattleMapLogic::GatherRecoveries(int phase, std::vector<TEffectResult>& results) const
{
	for (const std::vector<TCharaInstance>* side : m_Field.sides) {
		for (const TCharaInstance& chara : *side) {
			if (chara.HP == 0 || !IsOnField(chara))
				continue;
			const TCharaData& data = m_Field.CharaData(chara);
			TEffectResult result;
			result.x = chara.BattleX;
			result.y = chara.BattleY;
			result.hit = true;
			if (phase == PHASE_HP) {
				result.value = data.HPRecover + chara.HPRecoverBonus;
				result.effect = EFFECT_HPRECOVER;
			} else if (phase == PHASE_MP) {
				result.value = data.MPRecover + chara.MPRecoverBonus;
				result.effect = EFFECT_MPRECOVER;
			} else {
				if (!HasCondition(chara, EFFECT_POISON))
					continue;
				// Drawn on its own, after the maximum is read, as the order of draws is part of the battle.
				const int extra = mtrand_n(10);
				result.value = chara.HPMax / 20 + extra;
				result.effect = EFFECT_NOEFFECT;
			}
			if (result.value != 0 || phase == PHASE_POISON)
				results.push_back(result);
		}
	}
}

// Attackers always get away; defenders only while their neighbouring areas have room for them.
bool TBattleMapLogic::CarryOutFlight()
{
	bool anyoneLeft = false;
	for (const TCharaRef& ref : m_FleeList) {
		TCharaInstance& chara = m_Field.Chara(ref);
		chara.Fleeing = false;
		if (chara.HP == 0)
			continue;
		if (ref.side == 0) {
			if (m_DefendersRoom <= 0)
				continue;
			--m_DefendersRoom;
		}
		m_Field.Vacate(ref);
		chara.Fled = true;
		chara.BattleX = -1;
		ReleaseSummoner(ref);
		anyoneLeft = true;
	}
	m_FleeList.clear();
	if (!anyoneLeft)
		return false;
	RebuildSprites();
	m_View.SetStatusLine("逃走に成功した");
	return true;
}
