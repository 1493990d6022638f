#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "app/CheckedNumber.h"
#include "battle/CharaRules.h"
#include "battle/EffectRules.h"
#include "battle/HexGeometry.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

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
/// Hit points a Death effect takes on top of its damage.
const int DEATH_DAMAGE = 999;
}

// A chara already dead dies no second time: its death was counted once.
bool TBattleMapLogic::ChangeHP(int side, int index, int delta)
{
	TCharaInstance& chara = m_Field.Chara({side, index});
	if (chara.HP == 0)
		return false;
	chara.HP = AddSaturated(chara.HP, delta);
	if (chara.HP >= 1) {
		chara.HP = std::min(chara.HP, chara.HPMax);
		return false;
	}
	chara.HP = 0;
	m_Field.Vacate({side, index});
	m_DeadList.push_back({side, index});
	m_Field.dead[side].push_back(index);
	ReleaseSummoner({side, index});
	ActivateAutoSpecial(side, index);
	return true;
}

void TBattleMapLogic::ApplyEffectResult(const std::vector<TEffectResult>& results, bool& changed)
{
	changed = false;
	for (const TEffectResult& result : results)
		if (result.hit)
			changed = ApplyResult(result) || changed;
	if (changed) {
		UpdateRaceCommandTable();
		UpdateAutoSpecialList();
		RebuildSprites();
	}
	RefreshCharaFullStatus();
	LOG_DEBUG("Apply end");
}

// Errors name the apply step, where the results are read.
bool TBattleMapLogic::ApplyResult(const TEffectResult& result)
{
	const char* const method = "TBattleMapLogic::ApplyEffectResult";
	switch (result.effect) {
	case EFFECT_CRASHWALL:
		RemoveMapObj(result.x, result.y);
		return false;
	case EFFECT_SUMMON:
		ApplySummon(result, m_Active);
		return true;
	case EFFECT_REVIVE:
		ApplyRevive(result, m_Active.side);
		return true;
	default:
		break;
	}
	TCharaRef ref;
	if (!m_Field.CharaOn(result.x, result.y, ref)) {
		const std::string special
			= result.special < 0 ? std::string("no special") : m_Data.GetSpecialData(result.special).Name;
		g_Logger.Error(MethodText(method, __LINE__, "logic error:chara not found (%s) systemeffect=%d location=%d,%d",
			special, result.effect, result.x, result.y));
		return false;
	}
	ReceiveSpecial(m_Field.Chara(ref), result.special);
	bool died = false;
	if (result.effect <= EFFECT_ABSORB)
		died = ChangeHP(ref.side, ref.index, -result.value);
	else if (result.effect == EFFECT_HPRECOVER)
		died = ChangeHP(ref.side, ref.index, result.value);
	if (!ApplyStatusEffect(m_Data, m_Field.Chara(ref), result))
		g_Logger.Error(FormatText("TBattleMapLogic::ApplyEffectResult logic error:%s parameter not enough",
			result.effect == EFFECT_CHANGERESISTANCE ? "ChangeRegistance" : "ChangeMoveType"));
	if (result.effect == EFFECT_DEATH)
		died = ChangeHP(ref.side, ref.index, -DEATH_DAMAGE) || died;
	return died;
}

void TBattleMapLogic::ReceiveSpecial(TCharaInstance& chara, int special)
{
	if (special < 0 || !m_Data.GetSpecialData(special).PassOn)
		return;
	std::vector<int>& received = chara.ReceivedSpecials;
	const auto place = std::lower_bound(received.begin(), received.end(), special);
	if (place == received.end() || *place != special)
		received.insert(place, special);
}

void TBattleMapLogic::AddExperience(const TCharaRef& ref, bool bonus, const std::vector<TCharaRef>& dead)
{
	GainExperience(ref, bonus, dead);
	const TCharaInstance& chara = m_Field.Chara(ref);
	if (chara.SummonState == SUMMON_STATE_SUMMONED && m_Field.IsChara(ref.side, chara.SummonPartner))
		GainExperience({ref.side, chara.SummonPartner}, bonus, dead);
}

void TBattleMapLogic::GainExperience(const TCharaRef& ref, bool bonus, const std::vector<TCharaRef>& dead)
{
	const int gain = CalcExperienceGain(m_Field, m_Field.Chara(ref), bonus, dead);
	TCharaInstance& chara = m_Field.Chara(ref);
	chara.Experience = AddSaturated(chara.Experience, gain);
	LOG_DEBUG("AddExperience chara=%s %d", m_Field.CharaData(chara).Name, gain);
	chara.WinCount = AddSaturated(chara.WinCount, static_cast<int>(dead.size()));
	if (m_Game.CheckRankUp(chara)) {
		UpdateRaceCommandTable();
		RebuildSprites();
	}
}

// The cell is normally empty, as the summon's targets are; a chara already there is never overwritten.
void TBattleMapLogic::ApplySummon(const TEffectResult& result, const TCharaRef& summoner)
{
	TCharaRef standing;
	if (!m_Field.IsChara(summoner.side, summoner.index) || m_Field.CharaOn(result.x, result.y, standing)
		|| result.summonChara < 0 || result.summonChara >= m_Data.GetCharaCount()) {
		LOG_ERROR("no summoning at %d,%d", result.x, result.y);
		return;
	}
	TCharaInstance summoned = m_Game.CreateCharaInstance(result.summonChara, 0);
	summoned.HP = std::max(1, std::min(result.value, summoned.HPMax));
	summoned.SummonState = SUMMON_STATE_SUMMONED;
	summoned.SummonPartner = summoner.index;
	std::vector<TCharaInstance>& side = *m_Field.sides[summoner.side];
	side.push_back(summoned);
	const TCharaRef added = {summoner.side, static_cast<int>(side.size()) - 1};
	m_Field.Put(added, result.x, result.y);
	TCharaInstance& caller = m_Field.Chara(summoner);
	caller.SummonState = SUMMON_STATE_SUMMONER;
	caller.SummonPartner = added.index;
}

// A dead chara comes back at most once: the first revival takes it off its side's dead list.
void TBattleMapLogic::ApplyRevive(const TEffectResult& result, int side)
{
	TCharaRef standing;
	if (!m_Field.IsChara(result.reviveSide, result.reviveIndex) || side < 0 || side >= m_Field.SideCount()
		|| m_Field.CharaOn(result.x, result.y, standing)) {
		LOG_ERROR("no revival at %d,%d", result.x, result.y);
		return;
	}
	std::vector<int>& dead = m_Field.dead[result.reviveSide];
	const auto found = std::find(dead.begin(), dead.end(), result.reviveIndex);
	if (found == dead.end()) {
		LOG_ERROR("chara %d of side %d is not dead", result.reviveIndex, result.reviveSide);
		return;
	}
	dead.erase(found);
	const TCharaRef ref = {result.reviveSide, result.reviveIndex};
	TCharaInstance& chara = m_Field.Chara(ref);
	if (result.reviveChara == chara.CharaIndex) {
		chara.HP = std::max(1, std::min(result.value, chara.HPMax));
		m_Field.Put(ref, result.x, result.y);
		return;
	}
	TCharaInstance revived = m_Game.CreateCharaInstance(result.reviveChara, 0);
	revived.HP = std::max(1, std::min(result.value, revived.HPMax));
	std::vector<TCharaInstance>& list = *m_Field.sides[side];
	list.push_back(revived);
	m_Field.Put({side, static_cast<int>(list.size()) - 1}, result.x, result.y);
}

void TBattleMapLogic::ReleaseSummoner(const TCharaRef& summoned)
{
	const TCharaInstance& chara = m_Field.Chara(summoned);
	if (chara.SummonState != SUMMON_STATE_SUMMONED || !m_Field.IsChara(summoned.side, chara.SummonPartner))
		return;
	TCharaInstance& summoner = m_Field.Chara({summoned.side, chara.SummonPartner});
	if (summoner.SummonState == SUMMON_STATE_SUMMONER && summoner.SummonPartner == summoned.index)
		summoner.SummonState = 0;
}

void TBattleMapLogic::ReleaseAllSummoners()
{
	for (int side = 0; side < m_Field.SideCount(); ++side)
		for (TCharaInstance& chara : *m_Field.sides[side])
			if (chara.SummonState == SUMMON_STATE_SUMMONER)
				chara.SummonState = 0;
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
