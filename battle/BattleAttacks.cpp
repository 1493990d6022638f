#include "battle/BattleMapLogic.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/EffectRules.h"
#include "battle/HexGeometry.h"
#include "model/MorvalethData.h"

#include <algorithm>

namespace
{
/// Calls of the exchange an unseen attack may take: more strikes than any exchange has.
const int EXCHANGE_CALLS_MAX = 256;
/// Steps of a charge: sixteen strikes of each chara.
const int CHARGE_STEPS = 32;

bool StrikerIsAttacker(int step)
{
	return step % 2 == 0;
}
}

// The target is checked as the action list checks it, so that a refused attack changes nothing: not even
// the city under the attacker is taken.
bool TBattleMapLogic::DoSelectedAttackLogic(int x, int y, bool charge)
{
	const TCharaInstance& chara = Active();
	const point_t target = {x, y};
	if (!m_Field.map->IsOnMap(x, y) || !IsAdjacentCell(chara.BattleX, chara.BattleY, x, y)
		|| !(charge ? IsChargeTarget(target) : IsAttackTarget(target)))
		return false;
	CaptureCityObject();
	m_LastTarget = target;
	TCharaRef struck;
	if (!m_Field.CharaOn(x, y, struck))
		return StartWallAttack(x, y);
	m_Target = struck;
	m_TargetCell = target;
	m_Charge = charge;
	m_AttackFrame = 0;
	m_AttackStep = charge ? NextChargeStep(0) : NextAttackStep(m_Data, Active(), m_Field.Chara(struck), 0);
	m_State = charge ? STATE_CHARGING : STATE_ATTACKING;
	if (m_Watching)
		return true;
	int calls = 0;
	while (!DoAttackingLogic()) {
		if (++calls >= EXCHANGE_CALLS_MAX) {
			g_Logger.Error(MethodText("TBattleMapLogic::DoSelectedAttackLogic", __LINE__,
				"256回もループするわけない。プログラムにバグがある？"));
			break;
		}
	}
	m_State = STATE_MAIN;
	return true;
}

bool TBattleMapLogic::StartWallAttack(int x, int y)
{
	const TCharaInstance& chara = Active();
	m_CurrentSpecial = m_Data.GetSpecialIndex("AttackWall");
	m_SpecialCount = 1;
	SetTargetCells(chara.BattleX, chara.BattleY, x, y, m_CurrentSpecial);
	StartEffect(x, y);
	return true;
}

// One frame of a strike: the strike is evaluated on its first frame, applied halfway through and over
// after its last; an exchange with no strike left ends at once.
bool TBattleMapLogic::DoAttackingLogic()
{
	if (m_AttackStep < 0) {
		FinishExchange(false);
		return true;
	}
	if (m_AttackFrame == 0)
		StrikeFrame();
	if (m_AttackFrame == m_AttackFrames / 2) {
		bool changed = false;
		ApplyEffectResult(m_StrikeResults, changed);
		ShowEffectPopups(m_StrikeResults);
		if (changed && m_Watching && g_Config.GetBoolValue(SWITCH_SOUND_ENABLED))
			m_View.PlaySound(2);
		g_Logger.Debug(MethodText("TBattleMapLogic::DoAttackingLogic", __LINE__, "after ApplyEffectResult 1"));
	}
	if (m_AttackFrame < m_AttackFrames) {
		++m_AttackFrame;
		ShowStrikePositions();
		return false;
	}
	return EndStrike();
}

void TBattleMapLogic::StrikeFrame()
{
	const bool attacker = StrikerIsAttacker(m_AttackStep);
	const TCharaRef striker = attacker ? m_Active : m_Target;
	const TCharaRef struck = attacker ? m_Target : m_Active;
	const int entry = m_Charge ? 0 : m_AttackStep / 2;
	m_StrikeResults.clear();
	EvalAttack(m_Field, m_Field.Chara(striker), entry, m_Field.Chara(struck), m_StrikeResults);
	if (!m_StrikeResults.empty() && m_StrikeResults[0].hit && m_Watching
		&& g_Config.GetBoolValue(SWITCH_SOUND_ENABLED))
		m_View.PlaySound(1);
}

bool TBattleMapLogic::EndStrike()
{
	if (Active().HP == 0 || m_Field.Chara(m_Target).HP == 0) {
		FinishExchange(true);
		return true;
	}
	m_AttackFrame = 0;
	m_AttackStep = m_Charge ? NextChargeStep(m_AttackStep + 1)
							: NextAttackStep(m_Data, Active(), m_Field.Chara(m_Target), m_AttackStep + 1);
	if (m_AttackStep >= 0)
		return false;
	FinishExchange(false);
	return true;
}

// A charge repeats each chara's first attack; a chara that cannot strike (asleep, stone, paralysed or
// without that attack) lets its step pass.
int TBattleMapLogic::NextChargeStep(int step) const
{
	std::vector<TCharaAttack> attacks;
	for (; step < CHARGE_STEPS; ++step) {
		const bool attacker = StrikerIsAttacker(step);
		const TCharaInstance& striker = m_Field.Chara(attacker ? m_Active : m_Target);
		if (!attacker && !IsFreeToAct(striker))
			continue;
		GetAttackList(m_Data, striker, attacks);
		if (!attacks.empty() && attacks[0].Special != -1)
			return step;
	}
	return -1;
}

// The survivor of a fall gains the experience (the acting chara with its bonus); a charging chara that
// survives takes the fallen one's cell.
void TBattleMapLogic::FinishExchange(bool fallen)
{
	m_AttackStep = -1;
	if (!fallen) {
		AddExperience(m_Active, true, m_DeadList);
	} else if (Active().HP > 0) {
		TCharaRef standing;
		if (m_Charge && !m_Field.CharaOn(m_TargetCell.x, m_TargetCell.y, standing)) {
			m_Field.Vacate(m_Active);
			m_Field.Put(m_Active, m_TargetCell.x, m_TargetCell.y);
		}
		AddExperience(m_Active, true, m_DeadList);
	} else if (m_Field.Chara(m_Target).HP > 0) {
		AddExperience(m_Target, false, m_DeadList);
	}
	RebuildSprites();
}

// The striker leans towards the chara it strikes and back.
void TBattleMapLogic::ShowStrikePositions()
{
	if (!m_Watching)
		return;
	const bool attacker = StrikerIsAttacker(m_AttackStep);
	const TCharaRef striker = attacker ? m_Active : m_Target;
	const TCharaRef struck = attacker ? m_Target : m_Active;
	const TCharaInstance& chara = m_Field.Chara(striker);
	const TCharaInstance& other = m_Field.Chara(struck);
	if (chara.DrawSlot < 0)
		return;
	const int half = std::max(1, m_AttackFrames / 2);
	const int lean = m_AttackFrame <= half ? m_AttackFrame : m_AttackFrames - m_AttackFrame;
	TCharaSprite sprite;
	sprite.charaData = chara.CharaIndex;
	sprite.sideFlag = striker.side != 0;
	sprite.cell = {chara.BattleX, chara.BattleY};
	sprite.target = {other.BattleX, other.BattleY};
	sprite.progress = lean * 128 / half;
	m_View.SetSprite(chara.DrawSlot, sprite);
}
