#ifndef MORVALETH_BATTLE_EFFECTRULES_H
#define MORVALETH_BATTLE_EFFECTRULES_H

#include "battle/BattleField.h"
#include "battle/EffectResult.h"
#include "model/CharaData.h"
#include "model/GameRecords.h"
#include "script/BattleInterface.h"

#include <vector>

/// The battle map, whose map types give a chara its cell's skill.
class TBattleMap;
/// The scenario's database: specials, attributes, characters, revival rules.
class TMorvalethData;

// How effects are evaluated: these rules only read the battle and draw from the game's generator;
// the controller applies what they produce (TBattleMapLogic::ApplyEffectResult).

/// The stats one use of a special reads: the caster's power, the target's guard, hit and avoid.
struct TEffectStats
{
	/// The caster's stat of the special's power type.
	int power = 0;
	/// The target's stat of the guard type; 30 for an effect that does no harm.
	int guard = 0;
	/// The target's stat of the hit type; 100 for an effect that does no harm.
	int hit = 0;
	/// The target's stat of the avoid type; 20 for an effect that does no harm.
	int avoid = 0;
};

/// The chara's value of a stat type (TStatusType), with its battle bonus for the six stats.
int StatValue(const TCharaInstance& chara, int statType);
/// The stats of a use of the special by the caster on the target.
TEffectStats GatherEffectStats(const TMorvalethData& data, const TCharaInstance& caster, const TCharaInstance& target,
	int special);

/// A power or hit formula: the power of the use (the special's own for a hit formula) and whether it recovers.
typedef int (*TEffectFormula)(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery);

/// The value of an attack: the caster's power stat and the use's power against the target's guard, a weak
/// resistance doubling the attack and a strong one the guard; three draws, r(8), r(10), r(5), in that order.
int FormulaAttack(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery);
/// The value of a special: as an attack's with a gentler divisor and a floor, the guard fixed for a recovery
/// and trebled by a strong resistance.
int FormulaSpecial(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery);
/// The value of a magic: the caster's power stat and the use's power against the target's guard (fixed for a
/// recovery), a weak resistance doubling the attack and a strong one the defence.
int FormulaMagic(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery);
/// Hit chances in percent; a use hits when a draw of 0..99 is below. An attack's: hit against avoid, each
/// raised by the skill of the caster's and the target's cells; 100 against a weak resistance, the avoid
/// doubled by a strong one. Specials use it too.
int FormulaAttackHit(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery);
/// A magic's hit chance in percent: hit against the avoid raised by the skill of the target's cell; 100
/// against a weak resistance, the avoid doubled by a strong one.
int FormulaMagicHit(const TMorvalethData& data, const TBattleMap& map, const TCharaInstance& caster,
	const TCharaInstance& target, int special, int power, bool recovery);
/// The formula of a formula keyword number (TFormula); null for None, Anytime and unknown numbers.
TEffectFormula GetEffectFormula(int formula);

/// Appends the results of one use of the special by the caster on the cells, in the order of the cells.
/// The power is the special's unless overridden; a revival brings back the dead of reviveSide's view
/// (the acting side).
void EvalEffect(const TBattleField& field, int reviveSide, const TCharaInstance& caster,
	const std::vector<point_t>& cells, int special, std::vector<TEffectResult>& results, int power = 0,
	bool useOverride = false);

/// What a hit result does to the chara beyond its hit points: conditions (2..6), magic points (10), bonuses
/// (12..20: the strongest holds), cures (21..26), resistance (27) and move type (28). False, with the chara
/// unchanged, when a resistance or move type change names no special.
bool ApplyStatusEffect(const TMorvalethData& data, TCharaInstance& chara, const TEffectResult& result);

/// The attacks the chara strikes with in an exchange: none while stone, paralysed or asleep; its attack
/// count bonus adds uses of its first attack or drops attacks from the end.
void GetAttackList(const TMorvalethData& data, const TCharaInstance& chara, std::vector<TCharaAttack>& attacks);
/// From the step on, the first step of the exchange that strikes: even steps are the first chara's attack
/// step / 2, odd steps the second's. -1 when both are out of attacks.
int NextAttackStep(const TMorvalethData& data, const TCharaInstance& first, const TCharaInstance& second, int step);
/// Appends the results of the attacker's attack entry on the defender's cell (nothing for a missing entry).
void EvalAttack(const TBattleField& field, const TCharaInstance& attacker, int entry, const TCharaInstance& defender,
	std::vector<TEffectResult>& results);
/// Previews the exchange between a and b without applying anything: every strike in turn (a charge repeats
/// the first attack for 32 steps), each result with the chara it strikes.
void EvalAttackList(const TBattleField& field, const TCharaRef& a, const TCharaRef& b,
	std::vector<TEffectPreview>& previews, bool repeatFirst);

/// Experience the chara gains from an action in which the dead charas died: 1..100, or 0.
int CalcExperienceGain(const TBattleField& field, const TCharaInstance& chara, bool bonus,
	const std::vector<TCharaRef>& dead);

/// Appends the revivals of one use of the special, cast by a chara of the character for the side, on the
/// cells: each dead candidate standing on an empty cell comes back once, as chosen by the special's rule.
void EvalRevive(const TBattleField& field, int side, int casterChara, const std::vector<point_t>& cells, int special,
	std::vector<TEffectResult>& results);

#endif
