#include "battle/EffectRules.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
/// The side's dead, in the order of their deaths; none for a side the field keeps no list for.
const std::vector<int>& DeadOf(const TBattleField& field, int side)
{
	static const std::vector<int> none;
	return side >= 0 && side < static_cast<int>(field.dead.size()) ? field.dead[side] : none;
}

/// Map object kind of a wall.
const int MAP_OBJECT_WALL = 2;
/// Steps an exchange that repeats the first attack lasts.
const int REPEAT_STEPS = 32;

/// A formula's double truncated toward zero, held within int; a value that is not a number gives 0.
int Truncate(double value)
{
	if (std::isnan(value))
		return 0;
	if (value >= static_cast<double>(std::numeric_limits<int>::max()))
		return std::numeric_limits<int>::max();
	if (value <= static_cast<double>(std::numeric_limits<int>::min()))
		return std::numeric_limits<int>::min();
	return static_cast<int>(value);
}

/// A divisor that can no longer reach zero or change the sign: at least 1.
double Divisor(double value)
{
	return std::max(1.0, value);
}

/// The base of a power: never below 0, so that the power stays a number.
double PowerBase(double value)
{
	return std::max(0.0, value);
}

int SystemEffectOf(const TMorvalethData& data, const TSpecialData& special)
{
	return data.GetAttributeData(special.Attribute).SystemEffect;
}

/// The chara's resistance to the attribute; none for an attribute its list does not reach.
int ResistanceOf(const TCharaInstance& chara, int attribute)
{
	if (attribute < 0 || attribute >= static_cast<int>(chara.Resistances.size()))
		return RESISTANCE_NONE;
	return chara.Resistances[attribute];
}

int TargetResistance(const TMorvalethData& data, const TCharaInstance& target, int special)
{
	return ResistanceOf(target, data.GetSpecialData(special).Attribute);
}

/// The skill of the chara's move type on the map type of its cell; 0 where either is unknown.
int CellSkill(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& chara)
{
	const TValueLayer<int>& mapTypes = map.GetMapType();
	if (chara.MoveType < 0 || chara.MoveType >= data.GetMoveTypeCount() || chara.BattleX < 0
		|| chara.BattleX >= mapTypes.Width() || chara.BattleY < 0 || chara.BattleY >= mapTypes.Height())
		return 0;
	const std::vector<int>& skills = data.GetMoveTypeData(chara.MoveType).Skill;
	const int mapType = mapTypes.At(chara.BattleX, chara.BattleY);
	if (mapType < 0 || mapType >= static_cast<int>(skills.size()))
		return 0;
	return skills[mapType];
}

/// The integer part of a power formula's attack term, (r(8) + P + 30) * power / divisor.
double AttackTerm(int r8, int stat, int power, int divisor)
{
	return static_cast<double>((static_cast<long long>(r8) + stat + 30) * power / divisor);
}

bool IsPlusEffect(int effect)
{
	return effect >= EFFECT_PLUSPHYSICALATTACK && effect <= EFFECT_PLUSATTACKCOUNT;
}

TEffectResult MakeResult(int x, int y, bool hit, int value, int special, int effect)
{
	TEffectResult result;
	result.x = x;
	result.y = y;
	result.hit = hit;
	result.value = value;
	result.special = special;
	result.effect = effect;
	return result;
}

/// The bonus fields the Plus effects raise, in the order of the effects.
int TCharaInstance::* const BONUS_FIELDS[] = {
	&TCharaInstance::PhysicalAttackBonus,
	&TCharaInstance::PhysicalDefenseBonus,
	&TCharaInstance::SkillBonus,
	&TCharaInstance::SpeedBonus,
	&TCharaInstance::MagicAttackBonus,
	&TCharaInstance::MagicDefenseBonus,
	&TCharaInstance::HPRecoverBonus,
	&TCharaInstance::MPRecoverBonus,
	&TCharaInstance::AttackCountBonus,
};

void ChangeResistanceOrMoveType(const TMorvalethData& data, TCharaInstance& chara, const TSpecialData& special,
	int effect)
{
	if (effect == EFFECT_CHANGEMOVETYPE) {
		if (special.MoveType < 0 || special.MoveType >= data.GetMoveTypeCount()) {
			LOG_ERROR("%s gives no move type", special.Name);
			return;
		}
		chara.MoveType = special.MoveType;
		return;
	}
	if (special.ResistanceAttribute < 0 || special.ResistanceAttribute >= data.GetAttributeCount()) {
		LOG_ERROR("%s changes no resistance", special.Name);
		return;
	}
	if (special.ResistanceAttribute >= static_cast<int>(chara.Resistances.size()))
		chara.Resistances.resize(special.ResistanceAttribute + 1, RESISTANCE_NONE);
	chara.Resistances[special.ResistanceAttribute] = special.ResistanceLevel;
}

/// One use of a special as the cells of the use see it.
struct TEffectUse
{
	const TBattleField& field;
	const TCharaInstance& caster;
	int special;
	const TSpecialData& data;
	int effect;
	int power;
	bool recovery;
};

/// The hit roll: Anytime always hits; a special without a hit formula hits too, without a draw.
bool RollHit(const TEffectUse& use, const TCharaInstance& target)
{
	if (use.data.HitFormula == FORMULA_ANYTIME)
		return true;
	const TEffectFormula formula = GetEffectFormula(use.data.HitFormula);
	if (!formula)
		return true;
	const int chance
		= formula(*use.field.data, *use.field.map, use.caster, target, use.special, use.data.Power, use.recovery);
	const int roll = mtrand_n(100);
	return roll < chance;
}

int PowerValue(const TEffectUse& use, const TCharaInstance& target)
{
	if (IsPlusEffect(use.effect))
		return use.power;
	const TEffectFormula formula = GetEffectFormula(use.data.PowerFormula);
	if (!formula)
		return 0;
	const int value
		= formula(*use.field.data, *use.field.map, use.caster, target, use.special, use.power, use.recovery);
	return TargetResistance(*use.field.data, target, use.special) == RESISTANCE_ABSORB ? -value : value;
}

/// The added effect's roll against its formula: the effect on success, NoEffect otherwise.
int RollAddedEffect(const TEffectUse& use, const TCharaInstance& target)
{
	const TEffectFormula formula = GetEffectFormula(use.data.AdditionalHitFormula);
	if (!formula)
		return EFFECT_NOEFFECT;
	const int chance
		= formula(*use.field.data, *use.field.map, use.caster, target, use.special, use.power, use.recovery);
	const int roll = mtrand_n(100);
	return roll < chance ? use.effect : EFFECT_NOEFFECT;
}

/// The system effect the main result of a use carries.
int MainEffect(const TEffectUse& use, const TCharaInstance& target, bool hit)
{
	const int resistance = TargetResistance(*use.field.data, target, use.special);
	if (use.effect < EFFECT_POISON || use.effect == EFFECT_CRASHWALL)
		return EFFECT_NOEFFECT;
	if ((resistance == RESISTANCE_STRONG || resistance == RESISTANCE_ABSORB) && use.effect != EFFECT_ABSORB)
		return EFFECT_NOEFFECT;
	if (use.data.AdditionalHitFormula == FORMULA_ANYTIME || resistance == RESISTANCE_WEAK)
		return use.effect;
	switch (use.data.HitJudgeType) {
	case JUDGE_SINGLE:
		return use.effect;
	case JUDGE_DOUBLE:
		return hit ? RollAddedEffect(use, target) : EFFECT_NOEFFECT;
	case JUDGE_SEPARATE:
		return RollAddedEffect(use, target);
	default:
		return EFFECT_NOEFFECT;
	}
}

/// A hit wakes a sleeper unless it puts it to sleep, and an absorbing hit heals the caster by its damage.
void AppendHitSideEffects(const TEffectUse& use, const TCharaInstance& target, int value,
	std::vector<TEffectResult>& results)
{
	if (HasCondition(target, EFFECT_SLEEP) && use.effect <= EFFECT_ABSORB && use.effect != EFFECT_SLEEP)
		results.push_back(MakeResult(target.BattleX, target.BattleY, true, 0, use.special, EFFECT_CURESLEEP));
	if (use.effect == EFFECT_ABSORB)
		results.push_back(
			MakeResult(use.caster.BattleX, use.caster.BattleY, true, value, use.special, EFFECT_HPRECOVER));
}

/// The wall and summon steps of a cell; true when the cell is done with.
bool EvalCellObjects(const TEffectUse& use, const point_t& cell, std::vector<TEffectResult>& results)
{
	if (use.effect == EFFECT_CRASHWALL) {
		if (use.field.map->GetMapObjectType(cell.x, cell.y) != MAP_OBJECT_WALL)
			return true;
		results.push_back(MakeResult(cell.x, cell.y, true, 0, use.special, EFFECT_CRASHWALL));
		return use.data.Power == 0;
	}
	if (use.effect == EFFECT_SUMMON) {
		const int summoned = use.data.SummonCharaIndex;
		if (summoned < 0 || summoned >= use.field.data->GetCharaCount()) {
			LOG_ERROR("%s summons no character", use.data.Name);
			return true;
		}
		TEffectResult result = MakeResult(
			cell.x, cell.y, true, use.field.data->GetCharaData(summoned).HP, use.special, EFFECT_SUMMON);
		result.summonChara = summoned;
		results.push_back(result);
		return true;
	}
	return false;
}

bool IsExcluded(const TEffectUse& use, const TCharaInstance& target)
{
	const int moveType = use.field.CharaData(target).MoveType;
	const std::vector<int>& excluded = use.data.ExcludeMoveTypes;
	return std::find(excluded.begin(), excluded.end(), moveType) != excluded.end();
}

void EvalCell(const TEffectUse& use, const point_t& cell, std::vector<TEffectResult>& results)
{
	if (EvalCellObjects(use, cell, results))
		return;
	TCharaRef ref;
	if (!use.field.CharaOn(cell.x, cell.y, ref))
		return;
	const TCharaInstance& target = use.field.Chara(ref);
	if (IsExcluded(use, target))
		return;
	const bool hit = RollHit(use, target);
	int value = 0;
	if (hit) {
		value = PowerValue(use, target);
		AppendHitSideEffects(use, target, value, results);
	}
	const int effect = MainEffect(use, target, hit);
	// A heal, boost or cure that does not take effect does no harm either: its value is no damage.
	if (effect == EFFECT_NOEFFECT && use.effect >= EFFECT_HPRECOVER && use.effect != EFFECT_CRASHWALL)
		value = 0;
	results.push_back(MakeResult(cell.x, cell.y, hit, value, use.special, effect));
}

/// The charas a revival may bring back, by the special's range type, as seen from the side.
void GatherReviveCandidates(const TBattleField& field, int side, int rangeType, std::vector<TCharaRef>& candidates)
{
	switch (rangeType) {
	case RANGE_LASTDEADMYSIDE:
		LOG_DEBUG("EvalRevive 1");
		if (!DeadOf(field, side).empty())
			candidates.push_back({side, DeadOf(field, side).back()});
		break;
	case RANGE_LASTDEADENEMY:
		LOG_DEBUG("EvalRevive 2");
		for (int s = 0; s < field.SideCount(); ++s) {
			if (s != side && !DeadOf(field, s).empty()) {
				candidates.push_back({s, DeadOf(field, s).back()});
				break;
			}
		}
		break;
	case RANGE_ALLDEADENEMY:
		LOG_DEBUG("EvalRevive 4");
		for (int s = 0; s < field.SideCount(); ++s)
			if (s != side)
				for (int index : DeadOf(field, s))
					candidates.push_back({s, index});
		break;
	default:
		LOG_DEBUG(rangeType == RANGE_ALLDEADMYSIDE ? "EvalRevive 3" : "EvalRevive 5");
		for (int index : DeadOf(field, side))
			candidates.push_back({side, index});
		break;
	}
}

/// Draws one character of the list; false, with nothing drawn, for an empty list.
bool DrawCharacter(const std::vector<int>& list, int& chara)
{
	if (list.empty())
		return false;
	const int drawn = mtrand_n(static_cast<int>(list.size()));
	chara = list[drawn];
	return true;
}

/// The character a dead chara comes back as by the revival rule, with its hit points; false for none.
bool ChooseRevival(const TBattleField& field, const TReviveData& rule, int casterChara, const TCharaInstance& dead,
	int& chara, int& hp)
{
	const TMorvalethData& data = *field.data;
	switch (rule.SelectMethod) {
	case REVIVE_SAME:
		chara = dead.CharaIndex;
		hp = (dead.HPMax + 1) / 2;
		return true;
	case REVIVE_EMPLOYABLE:
		if (!DrawCharacter(data.GetCharaData(casterChara).Employable, chara))
			break;
		hp = data.GetCharaData(chara).HP;
		return true;
	case REVIVE_FROMLIST:
		if (!DrawCharacter(rule.CharacterIndices, chara))
			break;
		hp = data.GetCharaData(chara).HP;
		return true;
	default:
		break;
	}
	LOG_DEBUG("EvalRevive %s has no character to bring back", rule.id);
	return false;
}

}

int StatValue(const TCharaInstance& chara, int statType)
{
	switch (statType) {
	case STATUS_HP:
		return chara.HP;
	case STATUS_MP:
		return chara.MP;
	case STATUS_PHYSICALATTACK:
		return AddSaturated(chara.PhysicalAttack, chara.PhysicalAttackBonus);
	case STATUS_PHYSICALDEFENSE:
		return AddSaturated(chara.PhysicalDefense, chara.PhysicalDefenseBonus);
	case STATUS_SKILL:
		return AddSaturated(chara.Skill, chara.SkillBonus);
	case STATUS_SPEED:
		return AddSaturated(chara.Speed, chara.SpeedBonus);
	case STATUS_MAGICATTACK:
		return AddSaturated(chara.MagicAttack, chara.MagicAttackBonus);
	case STATUS_MAGICDEFENSE:
		return AddSaturated(chara.MagicDefense, chara.MagicDefenseBonus);
	default:
		return 0;
	}
}

// Effects beyond Absorb do no harm: they meet a fixed guard, hit and avoid.
TEffectStats GatherEffectStats(const TMorvalethData& data, const TCharaInstance& caster, const TCharaInstance& target,
	int special)
{
	const TSpecialData& specialData = data.GetSpecialData(special);
	TEffectStats stats;
	stats.power = StatValue(caster, specialData.PowerType);
	if (SystemEffectOf(data, specialData) > EFFECT_ABSORB) {
		stats.guard = 30;
		stats.hit = 100;
		stats.avoid = 20;
	} else {
		stats.guard = StatValue(target, specialData.GuardType);
		stats.hit = StatValue(target, specialData.HitType);
		stats.avoid = StatValue(target, specialData.AvoidType);
	}
	return stats;
}

// The draws are taken one statement each, r(8), r(10), r(5), so that their order is fixed.
int FormulaAttack(const TMorvalethData& data, const TBattleMap&, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool)
{
	const TEffectStats stats = GatherEffectStats(data, caster, target, special);
	const int resistance = TargetResistance(data, target, special);
	const int r8 = mtrand_n(8);
	double attack = AttackTerm(r8, stats.power, power, 80);
	double defense = stats.guard + 30.0;
	if (resistance == RESISTANCE_STRONG)
		defense *= 2;
	else if (resistance == RESISTANCE_WEAK)
		attack *= 2;
	const int r10 = mtrand_n(10);
	const int r5 = mtrand_n(5);
	attack = PowerBase(attack);
	return Truncate((r5 + 20) * std::pow(attack, 0.7) * (attack / Divisor(defense + 10 + r10)) / 35);
}

int FormulaSpecial(const TMorvalethData& data, const TBattleMap&, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery)
{
	const TEffectStats stats = GatherEffectStats(data, caster, target, special);
	const int resistance = TargetResistance(data, target, special);
	const int r8 = mtrand_n(8);
	double attack = AttackTerm(r8, stats.power, power, 100);
	double defense = recovery ? 30.0 : stats.guard + 30.0;
	if (resistance == RESISTANCE_STRONG)
		defense *= 3;
	else if (resistance == RESISTANCE_WEAK)
		attack *= 2;
	const int r10 = mtrand_n(10);
	const int r5 = mtrand_n(5);
	attack = PowerBase(attack);
	return Truncate((r5 + 20) * std::pow(attack, 0.7) * (attack / Divisor(defense + 10 + r10) + 0.5) / 35);
}

int FormulaMagic(const TMorvalethData& data, const TBattleMap&, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery)
{
	const TEffectStats stats = GatherEffectStats(data, caster, target, special);
	const int resistance = TargetResistance(data, target, special);
	const int r8 = mtrand_n(8);
	double attack = (0.8 * stats.power + r8 + 60) * (power + 30.0) / 40;
	double defense = recovery ? 30.0 : 0.8 * stats.guard + 70;
	if (resistance == RESISTANCE_STRONG)
		defense *= 2;
	else if (resistance == RESISTANCE_WEAK)
		attack *= 2;
	const int r10 = mtrand_n(10);
	const int r5 = mtrand_n(5);
	attack = PowerBase(attack);
	return Truncate((r5 + 30) * std::pow(attack, 0.4) * (attack / Divisor(defense + r10) + 0.6) / 35);
}

int FormulaAttackHit(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int, bool)
{
	const int resistance = TargetResistance(data, target, special);
	if (resistance == RESISTANCE_WEAK)
		return 100;
	const TEffectStats stats = GatherEffectStats(data, caster, target, special);
	const long long casterSkill = CellSkill(data, map, caster);
	const long long targetSkill = CellSkill(data, map, target);
	const long long hit = casterSkill * stats.hit / 100 + stats.hit + 20;
	long long avoid = targetSkill * stats.avoid / 100 + stats.avoid + 20;
	if (resistance == RESISTANCE_STRONG)
		avoid *= 2;
	return ClampToInt(80 * hit / std::max(1LL, avoid));
}

int FormulaMagicHit(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int, bool)
{
	const int resistance = TargetResistance(data, target, special);
	if (resistance == RESISTANCE_WEAK)
		return 100;
	const TEffectStats stats = GatherEffectStats(data, caster, target, special);
	const double targetSkill = CellSkill(data, map, target);
	double defense = stats.avoid * (targetSkill + 100) / 100 + 20;
	if (resistance == RESISTANCE_STRONG)
		defense *= 2;
	return Truncate(80.0 * stats.hit / Divisor(defense));
}

TEffectFormula GetEffectFormula(int formula)
{
	static const TEffectFormula FORMULAS[] = {
		nullptr,
		FormulaAttack,
		FormulaSpecial,
		FormulaMagic,
		nullptr,
		FormulaAttackHit,
		FormulaAttackHit,
		FormulaMagicHit,
	};
	if (formula < 0 || formula >= static_cast<int>(sizeof(FORMULAS) / sizeof(FORMULAS[0])))
		return nullptr;
	return FORMULAS[formula];
}

void EvalEffect(const TBattleField& field, int reviveSide, const TCharaInstance& caster,
	const std::vector<point_t>& cells, int special, std::vector<TEffectResult>& results, int power, bool useOverride)
{
	const TMorvalethData& data = *field.data;
	if (special < 0 || special >= data.GetSpecialCount()) {
		LOG_ERROR("special %d out of range", special);
		return;
	}
	const TSpecialData& specialData = data.GetSpecialData(special);
	const int effect = SystemEffectOf(data, specialData);
	if (effect == EFFECT_REVIVE) {
		EvalRevive(field, reviveSide, caster.CharaIndex, cells, special, results);
		return;
	}
	const TEffectUse use = {field, caster, special, specialData, effect, useOverride ? power : specialData.Power,
		effect == EFFECT_HPRECOVER || effect == EFFECT_MPRECOVER};
	for (const point_t& cell : cells)
		EvalCell(use, cell, results);
}

bool ApplyStatusEffect(const TMorvalethData& data, TCharaInstance& chara, const TEffectResult& result)
{
	const int effect = result.effect;
	if (effect >= EFFECT_POISON && effect <= EFFECT_DREAM) {
		SetCondition(chara, effect);
	} else if (effect == EFFECT_MPRECOVER) {
		chara.MP = std::max(0, std::min(AddSaturated(chara.MP, result.value), chara.MPMax));
	} else if (IsPlusEffect(effect)) {
		int& bonus = chara.*BONUS_FIELDS[effect - EFFECT_PLUSPHYSICALATTACK];
		bonus = result.value >= 1 ? std::max(bonus, result.value) : std::min(bonus, result.value);
	} else if (effect >= EFFECT_CUREPOISON && effect <= EFFECT_CUREDREAM) {
		RemoveCondition(chara, effect - (EFFECT_CUREPOISON - EFFECT_POISON));
	} else if (effect == EFFECT_CUREALL) {
		for (int condition = EFFECT_POISON; condition <= EFFECT_DREAM; ++condition)
			RemoveCondition(chara, condition);
		chara.AttackCountBonus = std::max(0, chara.AttackCountBonus);
	} else if (effect == EFFECT_CHANGERESISTANCE || effect == EFFECT_CHANGEMOVETYPE) {
		if (result.special < 0 || result.special >= data.GetSpecialCount())
			return false;
		ChangeResistanceOrMoveType(data, chara, data.GetSpecialData(result.special), effect);
	}
	return true;
}

// A character without attacks has none to repeat, whatever its bonus.
void GetAttackList(const TMorvalethData& data, const TCharaInstance& chara, std::vector<TCharaAttack>& attacks)
{
	attacks.clear();
	if (!IsFreeToAct(chara))
		return;
	const std::vector<TCharaAttack>& own = data.GetCharaData(chara.CharaIndex).Attacks;
	if (own.empty())
		return;
	const int count = std::max(0, AddSaturated(chara.AttackCountBonus, static_cast<int>(own.size())));
	for (int i = 0; i < count; ++i)
		attacks.push_back(i < static_cast<int>(own.size()) ? own[i] : own[0]);
}

int NextAttackStep(const TMorvalethData& data, const TCharaInstance& first, const TCharaInstance& second, int step)
{
	std::vector<TCharaAttack> lists[2];
	GetAttackList(data, first, lists[0]);
	GetAttackList(data, second, lists[1]);
	const int end = 2 * static_cast<int>(std::max(lists[0].size(), lists[1].size()));
	for (int s = std::max(0, step); s < end; ++s) {
		const std::vector<TCharaAttack>& list = lists[s % 2];
		const std::size_t entry = static_cast<std::size_t>(s / 2);
		if (entry < list.size() && list[entry].Special != -1)
			return s;
	}
	return -1;
}

void EvalAttack(const TBattleField& field, const TCharaInstance& attacker, int entry, const TCharaInstance& defender,
	std::vector<TEffectResult>& results)
{
	std::vector<TCharaAttack> attacks;
	GetAttackList(*field.data, attacker, attacks);
	if (entry < 0 || entry >= static_cast<int>(attacks.size()) || attacks[entry].Special == -1)
		return;
	const std::vector<point_t> cells = {{defender.BattleX, defender.BattleY}};
	EvalEffect(field, -1, attacker, cells, attacks[entry].Special, results, attacks[entry].Power, true);
}

void EvalAttackList(const TBattleField& field, const TCharaRef& a, const TCharaRef& b,
	std::vector<TEffectPreview>& previews, bool repeatFirst)
{
	LOG_DEBUG("TBattleMapLogic::EvalAttackList");
	const TCharaRef refs[2] = {a, b};
	std::vector<TCharaAttack> lists[2];
	GetAttackList(*field.data, field.Chara(a), lists[0]);
	GetAttackList(*field.data, field.Chara(b), lists[1]);
	const int longest = static_cast<int>(std::max(lists[0].size(), lists[1].size()));
	const int steps = repeatFirst ? REPEAT_STEPS : 2 * longest;
	for (int s = 0; s < steps; ++s) {
		const int striker = s % 2;
		const int entry = repeatFirst ? 0 : s / 2;
		if (entry >= static_cast<int>(lists[striker].size()) || lists[striker][entry].Special == -1)
			continue;
		std::vector<TEffectResult> results;
		const TCharaRef& struck = refs[1 - striker];
		EvalAttack(field, field.Chara(refs[striker]), entry, field.Chara(struck), results);
		const TCharaInstance& cellOwner = field.Chara(b);
		for (const TEffectResult& result : results) {
			TEffectPreview preview;
			preview.x = cellOwner.BattleX;
			preview.y = cellOwner.BattleY;
			preview.side = struck.side;
			preview.index = struck.index;
			preview.value = result.value;
			preview.reviveChara = result.reviveChara;
			preview.summonChara = result.summonChara;
			preview.effect = result.effect;
			previews.push_back(preview);
		}
	}
}

// Worth grows with what died and shrinks with the chara's own worth.
int CalcExperienceGain(const TBattleField& field, const TCharaInstance& chara, bool bonus,
	const std::vector<TCharaRef>& dead)
{
	long long worth = 0;
	for (const TCharaRef& ref : dead)
		worth += field.CharaData(field.Chara(ref)).Experience;
	const long long own = field.CharaData(chara).Experience;
	const int draw = mtrand_n(5);
	const long long extra = bonus ? draw + 10 : draw;
	const long long gain = ((worth + 10) * 25 / std::max(1LL, own + 20) + extra) * 200 / std::max(1LL, own + 100);
	if (gain < 0)
		return 1;
	return static_cast<int>(std::min(100LL, gain));
}

void EvalRevive(const TBattleField& field, int side, int casterChara, const std::vector<point_t>& cells, int special,
	std::vector<TEffectResult>& results)
{
	LOG_DEBUG("EvalRevive");
	const TMorvalethData& data = *field.data;
	const TSpecialData& specialData = data.GetSpecialData(special);
	if (side < 0 || side >= field.SideCount() || specialData.Revive < 0
		|| specialData.Revive >= data.GetReviveCount()) {
		LOG_ERROR("%s cannot revive for side %d", specialData.Name, side);
		return;
	}
	const TReviveData& rule = data.GetReviveData(specialData.Revive);
	std::vector<TCharaRef> candidates;
	GatherReviveCandidates(field, side, specialData.RangeType, candidates);
	if (candidates.empty()) {
		LOG_DEBUG("EvalRevive empty %d %d", DeadOf(field, 0).size(), DeadOf(field, 1).size());
		return;
	}
	// A cell lists once per chara that died on it; it brings one of them back, as a chara will then stand there.
	std::vector<point_t> revived;
	for (const point_t& cell : cells) {
		TCharaRef standing;
		if (field.CharaOn(cell.x, cell.y, standing)
			|| std::find(revived.begin(), revived.end(), cell) != revived.end())
			continue;
		const auto found = std::find_if(candidates.begin(), candidates.end(), [&](const TCharaRef& ref) {
			const TCharaInstance& dead = field.Chara(ref);
			return dead.BattleX == cell.x && dead.BattleY == cell.y;
		});
		if (found == candidates.end())
			continue;
		const TCharaRef candidate = *found;
		candidates.erase(found);
		int chara = -1;
		int hp = 0;
		if (!ChooseRevival(field, rule, casterChara, field.Chara(candidate), chara, hp))
			continue;
		TEffectResult result = MakeResult(cell.x, cell.y, true, hp, special, EFFECT_REVIVE);
		result.reviveSide = candidate.side;
		result.reviveIndex = candidate.index;
		result.reviveChara = chara;
		results.push_back(result);
		revived.push_back(cell);
	}
}
