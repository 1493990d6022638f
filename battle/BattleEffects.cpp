#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"

#include <algorithm>

namespace
{
/// Colours of the values floating over the map, by system effect 0..10.
const gcn::Color POPUP_COLOURS[] = {
	gcn::Color(0, 0, 0, 0),
	gcn::Color(255, 255, 255, 255),
	gcn::Color(224, 0, 0, 255),
	gcn::Color(192, 192, 192, 255),
	gcn::Color(224, 224, 0, 255),
	gcn::Color(224, 0, 224, 255),
	gcn::Color(255, 0, 255, 255),
	gcn::Color(255, 0, 0, 255),
	gcn::Color(255, 96, 96, 255),
	gcn::Color(64, 255, 255, 255),
	gcn::Color(64, 128, 255, 255),
};
const int POPUP_EFFECT_MAX = EFFECT_MPRECOVER;
}

// A chara already dead dies no second time: its death was counted once.
bool TBattleMapLogic::ChangeHP(int side, int index, int delta)
{
	TCharaInstance& chara = m_Field.Chara({side, index});
	if (chara.HP == 0)
		return false;
	chara.HP += delta;
	if (chara.HP >= 1) {
		chara.HP = std::min(chara.HP, chara.HPMax);
		return false;
	}
	chara.HP = 0;
	m_Field.Vacate({side, index});
	m_DeadList.push_back({side, index});
	m_Field.dead[side].push_back(index);
	if (chara.SummonState == SUMMON_STATE_SUMMONED && m_Field.IsChara(side, chara.SummonPartner))
		m_Field.Chara({side, chara.SummonPartner}).SummonState = 0;
	ActivateAutoSpecial(side, index);
	return true;
}

void TBattleMapLogic::ApplyEffectResult(const std::vector<TEffectResult>& results, bool& changed)
{
	changed = false;
	for (const TEffectResult& result : results) {
		if (!result.hit)
			continue;
		TCharaRef ref;
		if (!m_Field.CharaOn(result.x, result.y, ref)) {
			const std::string special
				= result.special < 0 ? std::string("no special") : m_Data.GetSpecialData(result.special).Name;
			LOG_ERROR("logic error:chara not found (%s) systemeffect=%d location=%d,%d", special, result.effect,
				result.x, result.y);
			continue;
		}
		TCharaInstance& chara = m_Field.Chara(ref);
		if (result.effect <= EFFECT_ABSORB) {
			changed = ChangeHP(ref.side, ref.index, -result.value) || changed;
			if (result.effect >= EFFECT_POISON && result.effect <= EFFECT_DREAM)
				SetCondition(chara, result.effect);
			if (result.effect == EFFECT_DEATH)
				changed = ChangeHP(ref.side, ref.index, -999) || changed;
		} else if (result.effect == EFFECT_HPRECOVER) {
			changed = ChangeHP(ref.side, ref.index, result.value) || changed;
		} else if (result.effect == EFFECT_MPRECOVER) {
			chara.MP = std::max(0, std::min(chara.MP + result.value, chara.MPMax));
		} else {
			LOG_ERROR("logic error:systemeffect=%d cannot be applied location=%d,%d", result.effect, result.x, result.y);
		}
	}
	if (changed) {
		UpdateRaceCommandTable();
		UpdateAutoSpecialList();
		RebuildSprites();
	}
	RefreshCharaFullStatus();
	LOG_DEBUG("Apply end");
}

void TBattleMapLogic::ShowEffectPopups(const std::vector<TEffectResult>& results)
{
	for (const TEffectResult& result : results) {
		const int px = (2 * result.x + RowParity(result.y)) * 16 - 16;
		const int py = HEX_CELL_SIZE * result.y + 8;
		if (!result.hit) {
			m_View.AddPopup(px, py, "Miss", gcn::Color(255, 255, 255, 255));
			continue;
		}
		if (result.effect < 0 || result.effect > POPUP_EFFECT_MAX)
			continue;
		// What an absorbing special heals its caster shows only as the damage it dealt.
		if (result.effect == EFFECT_HPRECOVER && result.special >= 0
			&& m_Data.GetAttributeData(m_Data.GetSpecialData(result.special).Attribute).SystemEffect == EFFECT_ABSORB)
			continue;
		m_View.AddPopup(px, py, FormatText("%3d", result.value), POPUP_COLOURS[result.effect]);
	}
}
