#include "battle/TurnOrder.h"

#include "app/Random.h"
#include "battle/CharaRules.h"
#include "model/MorvalethData.h"

namespace
{
bool MayFillGauge(const TCharaInstance& chara)
{
	return chara.HP != 0 && !chara.Fled && chara.SummonState != SUMMON_STATE_SUMMONER;
}

bool IsAble(const TCharaInstance& chara)
{
	return MayFillGauge(chara) && !chara.Fleeing;
}

// A chara held by a condition still pays for the turn it cannot take.
bool PickChara(TBattleField& field, TCharaRef& chosen)
{
	for (int side = 0; side < field.SideCount(); ++side) {
		std::vector<TCharaInstance>& charas = *field.sides[side];
		for (int index = 0; index < static_cast<int>(charas.size()); ++index) {
			TCharaInstance& chara = charas[index];
			if (!IsAble(chara) || chara.ActionGauge < GAUGE_TO_ACT)
				continue;
			chara.ActionGauge -= GAUGE_TO_ACT;
			if (IsFreeToAct(chara)) {
				chosen = {side, index};
				return true;
			}
		}
	}
	return false;
}

void FillGauges(TBattleField& field)
{
	for (std::vector<TCharaInstance>* charas : field.sides) {
		for (TCharaInstance& chara : *charas) {
			if (!MayFillGauge(chara))
				continue;
			// The draw is its own step, so that the order of the draws never depends on the compiler.
			const int draw = mtrand_raw();
			const double gain = 0.8 * field.CharaData(chara).Speed + 50.0 + draw / 6554;
			chara.ActionGauge = static_cast<int>(gain + chara.ActionGauge);
		}
	}
}
}

TTurnOrder SelectNextChara(TBattleField& field, TBattleClock& clock, int turnMax, TCharaRef& chosen)
{
	while (!PickChara(field, chosen)) {
		if (clock.tick >= GAUGE_FILLS_PER_TURN) {
			if (clock.turn >= turnMax)
				return TTurnOrder::TurnLimit;
			++clock.turn;
			clock.tick = 0;
			return TTurnOrder::TurnOver;
		}
		++clock.tick;
		FillGauges(field);
	}
	return TTurnOrder::Chara;
}
