#include "BattleFixture.h"
#include "ModelFixture.h"

#include "app/Random.h"
#include "battle/CharaRules.h"
#include "battle/EffectRules.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"
#include "support/GameDescription.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <functional>

namespace
{
const int FRAME_CAP = 5000;

int AttributeOf(const char* id)
{
	return BattleData().GetAttributeIndex(id);
}

/// Alda of side 1 on (2, 2) facing a guard of side 0 on (3, 2), on a plain map with a wall on (5, 2).
struct TDuel
{
	TDuel()
		: board(Plan())
	{
		caster = board.Add(1, "alda", 2, 2);
		target = board.Add(0, "guard", 3, 2);
	}
	static TMapPlan Plan()
	{
		TMapPlan plan = PlainPlan(8, 6);
		plan.rows[2][5] = 'W';
		return plan;
	}
	TCharaInstance& Caster() { return board.Chara(1, caster); }
	TCharaInstance& Target() { return board.Chara(0, target); }
	void Eval(const char* special, const point_t& cell, std::vector<TEffectResult>& results)
	{
		EvalEffect(board.field, 1, Caster(), {cell}, SpecialIndexOf(special), results);
	}

	TFieldBoard board;
	int caster = 0;
	int target = 0;
};

// Blade reads alda's physical attack 10 against the guard's physical defence 10, skill 10 and speed 0;
// walking on plain has skill 0. Seed 11 draws r(8) = 1, r(10) = 0, r(5) = 0:
// FTAttack at power 100: a = 41 * 100 / 80 = 51, D = 40: 20 * 51^0.7 * (51 / 50) / 35 = 9.14;
//   weak, A = 102: 20 * 25.47 * (102 / 50) / 35 = 29.7; strong, D = 80: 20 * 15.68 * (51 / 90) / 35 = 5.08;
// FTSpecial: a = 41 * 100 / 100 = 41: 20 * 41^0.7 * (41 / 50 + 0.5) / 35 = 10.15; recovering, D = 30: 11.73;
// FTMagic at power 10: A = (8 + 1 + 60) * 40 / 40 = 69, D = 78: 30 * 69^0.4 * (69 / 78 + 0.6) / 35 = 6.92;
//   recovering, D = 30: 30 * 5.439 * 2.9 / 35 = 13.5;
// FTAttackHit: Ha = 0 + 10 + 20 = 30, Hd = 0 + 0 + 20 = 20: 80 * 30 / 20 = 120; FTMagicHit: D = 20: 80 * 10 / 20 = 40.
// Stats pushed below zero by bonuses leave no zero divisor and no power of a negative number:
// FTAttackHit with Hd = 0 + 0 + 20 - 30 held at 1 gives 80 * 30 = 2400; FTMagicHit with D = -10 held at 1, 800.
struct TFormulaCase
{
	const char* name;
	TEffectFormula formula;
	int power;
	bool recovery;
	std::function<void(TDuel&)> setUp;
	int expected;
};

std::function<void(TDuel&)> Resistance(int level)
{
	return [=](TDuel& d) { d.Target().Resistances.at(AttributeOf("cut")) = level; };
}

const auto NORMAL = Resistance(RESISTANCE_NORMAL);
const auto WEAK = Resistance(RESISTANCE_WEAK);
const auto NO_ATTACK = [](TDuel& d) { d.Caster().PhysicalAttackBonus = -1000; };

const TFormulaCase FORMULA_CASES[] = {
	{"FTAttack", FormulaAttack, 100, false, NORMAL, 9},
	{"FTAttack, weak", FormulaAttack, 100, false, WEAK, 29},
	{"FTAttack, strong", FormulaAttack, 100, false, Resistance(RESISTANCE_STRONG), 5},
	{"FTSpecial", FormulaSpecial, 100, false, NORMAL, 10},
	{"FTSpecial, recovery", FormulaSpecial, 100, true, NORMAL, 11},
	{"FTMagic", FormulaMagic, 10, false, NORMAL, 6},
	{"FTMagic, recovery", FormulaMagic, 10, true, NORMAL, 13},
	{"FTAttackHit", FormulaAttackHit, 10, false, NORMAL, 120},
	{"FTAttackHit, weak", FormulaAttackHit, 10, false, WEAK, 100},
	{"FTMagicHit", FormulaMagicHit, 10, false, NORMAL, 40},
	{"FTMagicHit, weak", FormulaMagicHit, 10, false, WEAK, 100},
	{"negative attack", FormulaAttack, 100, false, NO_ATTACK, 0},
	{"negative attack, special", FormulaSpecial, 100, false, NO_ATTACK, 0},
	{"negative attack, magic", FormulaMagic, 100, false, NO_ATTACK, 0},
	{"no avoid", FormulaAttackHit, 100, false, [](TDuel& d) { d.Target().SpeedBonus = -30; }, 2400},
	{"no magic avoid", FormulaMagicHit, 100, false, [](TDuel& d) { d.Target().SpeedBonus = -40; }, 800},
};
}

TEST(EffectFormula, HandComputedValuesAtAFixedSeed)
{
	for (const TFormulaCase& c : FORMULA_CASES) {
		TDuel duel;
		c.setUp(duel);
		SeedRandom(11);
		const int value = c.formula(BattleData(), *duel.board.map, duel.Caster(), duel.Target(), SpecialIndexOf("blade"),
			c.power, c.recovery);
		EXPECT_EQ(c.expected, value) << c.name;
	}
}

namespace
{
/// Where a result lies and what it does: 'c' the caster's cell, 't' the target's, 'w' the wall, 'e' an empty cell.
struct TExpectedResult
{
	char cell;
	int effect;
};

struct TEvalCase
{
	const char* name;
	const char* special;
	char cell;
	std::function<void(TDuel&)> setUp;
	std::vector<TExpectedResult> expected;
};

point_t CellOf(TDuel& duel, char cell)
{
	switch (cell) {
	case 'c':
		return {duel.Caster().BattleX, duel.Caster().BattleY};
	case 't':
		return {duel.Target().BattleX, duel.Target().BattleY};
	case 'w':
		return {5, 2};
	default:
		return {1, 4};
	}
}

void Nothing(TDuel&) {}

void Asleep(TDuel& duel)
{
	SetCondition(duel.Target(), EFFECT_SLEEP);
}

std::function<void(TDuel&)> Resists(const char* attribute, int level)
{
	return [=](TDuel& duel) { duel.Target().Resistances.at(AttributeOf(attribute)) = level; };
}

void OnTheWall(TDuel& duel)
{
	duel.board.field.Vacate({0, duel.target});
	duel.board.field.Put({0, duel.target}, 5, 2);
}

const TEvalCase EVAL_CASES[] = {
	{"a plain strike", "blade", 't', Nothing, {{'t', EFFECT_NOEFFECT}}},
	{"an empty cell", "blade", 'e', Nothing, {}},
	{"poison damage wakes a sleeper", "fxPoison", 't', Asleep, {{'t', EFFECT_CURESLEEP}, {'t', EFFECT_POISON}}},
	{"sleep does not wake it", "fxSleep", 't', Asleep, {{'t', EFFECT_SLEEP}}},
	{"a heal does not wake it", "fxHPRecover", 't', Asleep, {{'t', EFFECT_HPRECOVER}}},
	{"absorb heals the caster", "fxAbsorb", 't', Nothing, {{'c', EFFECT_HPRECOVER}, {'t', EFFECT_ABSORB}}},
	{"strong: no poison", "fxPoison", 't', Resists("fxPoison", RESISTANCE_STRONG), {{'t', EFFECT_NOEFFECT}}},
	{"absorbing: no poison", "fxPoison", 't', Resists("fxPoison", RESISTANCE_ABSORB), {{'t', EFFECT_NOEFFECT}}},
	{"strong: still absorbed", "fxAbsorb", 't', Resists("fxAbsorb", RESISTANCE_STRONG),
		{{'c', EFFECT_HPRECOVER}, {'t', EFFECT_ABSORB}}},
	{"a crash off the walls", "fxCrashWall", 'e', Nothing, {}},
	{"a crash on a bare wall", "fxCrashWall", 'w', Nothing, {{'w', EFFECT_CRASHWALL}}},
	{"a crash of power strikes who stands on the wall", "fxCrashWall", 'w', OnTheWall,
		{{'w', EFFECT_CRASHWALL}, {'w', EFFECT_NOEFFECT}}},
	{"a summon", "fxSummon", 'e', Nothing, {{'e', EFFECT_SUMMON}}},
	{"a boost", "fxPlusSpeed", 't', Nothing, {{'t', EFFECT_PLUSSPEED}}},
	{"a revival with nobody dead", "fxRevive", 't', Nothing, {}},
};
}

TEST(EffectEval, EachUseGivesItsResultsInOrder)
{
	for (const TEvalCase& c : EVAL_CASES) {
		TDuel duel;
		c.setUp(duel);
		std::vector<TEffectResult> results;
		duel.Eval(c.special, CellOf(duel, c.cell), results);
		ASSERT_EQ(c.expected.size(), results.size()) << c.name;
		for (std::size_t i = 0; i < results.size(); ++i) {
			const point_t cell = CellOf(duel, c.expected[i].cell);
			EXPECT_EQ(c.expected[i].effect, results[i].effect) << c.name << " result " << i;
			EXPECT_EQ(cell, (point_t{results[i].x, results[i].y})) << c.name << " result " << i;
			EXPECT_TRUE(results[i].hit) << c.name;
		}
	}
}

TEST(EffectEval, ValuesOfBoostsSummonsAndAbsorption)
{
	TDuel duel;
	std::vector<TEffectResult> results;
	EvalEffect(duel.board.field, 1, duel.Caster(), {{3, 2}}, SpecialIndexOf("fxPlusSpeed"), results, 7, true);
	duel.Eval("fxPlusSpeed", {3, 2}, results);
	duel.Eval("fxSummon", {1, 4}, results);
	ASSERT_EQ(3u, results.size());
	EXPECT_EQ(7, results[0].value) << "the power given";
	EXPECT_EQ(10, results[1].value) << "the special's power";
	EXPECT_EQ(40, results[2].value) << "the hit points of the summoned wolf";
	EXPECT_EQ(CharaIndexOf("wolf"), results[2].summonChara);
	duel.Target().Resistances.at(AttributeOf("fxAbsorb")) = RESISTANCE_WEAK;
	results.clear();
	EvalEffect(duel.board.field, 1, duel.Caster(), {{3, 2}}, SpecialIndexOf("fxAbsorb"), results, 100, true);
	ASSERT_EQ(2u, results.size());
	EXPECT_GT(results[1].value, 0);
	EXPECT_EQ(results[1].value, results[0].value) << "the caster heals by the damage dealt";
	duel.Target().Resistances.at(AttributeOf("fxPoison")) = RESISTANCE_ABSORB;
	results.clear();
	EvalEffect(duel.board.field, 1, duel.Caster(), {{3, 2}}, SpecialIndexOf("fxPoison"), results, 100, true);
	ASSERT_EQ(1u, results.size());
	EXPECT_LT(results[0].value, 0) << "an absorbing target is healed";
	duel.Target().Resistances.at(AttributeOf("fxPlusSpeed")) = RESISTANCE_STRONG;
	results.clear();
	duel.Eval("fxPlusSpeed", {3, 2}, results);
	ASSERT_EQ(1u, results.size());
	EXPECT_EQ(EFFECT_NOEFFECT, results[0].effect);
	EXPECT_EQ(0, results[0].value) << "a boost that does not take hold does no harm";
}

TEST(EffectExchange, AttackListsAndTheirSteps)
{
	struct TCase
	{
		const char* chara;
		int bonus;
		int condition;
		std::vector<const char*> expected;
	};
	const TCase cases[] = {
		{"squire", 0, 0, {"blade", "fxPoison"}},
		{"squire", 2, 0, {"blade", "fxPoison", "blade", "blade"}},
		{"squire", -1, 0, {"blade"}},
		{"squire", -3, 0, {}},
		{"squire", 0, EFFECT_SLEEP, {}},
		{"squire", 0, EFFECT_STONE, {}},
		{"squire", 0, EFFECT_PARALYZE, {}},
		{"squire", 0, EFFECT_POISON, {"blade", "fxPoison"}},
		{"lamb", 2, 0, {}},
	};
	TFieldBoard board(PlainPlan(4, 4));
	for (const TCase& c : cases) {
		TCharaInstance chara = board.game.CreateCharaInstance(CharaIndexOf(c.chara), 0);
		chara.AttackCountBonus = c.bonus;
		if (c.condition)
			SetCondition(chara, c.condition);
		std::vector<TCharaAttack> attacks;
		GetAttackList(BattleData(), chara, attacks);
		std::vector<int> specials;
		for (const TCharaAttack& attack : attacks)
			specials.push_back(attack.Special);
		std::vector<int> expected;
		for (const char* id : c.expected)
			expected.push_back(SpecialIndexOf(id));
		EXPECT_EQ(expected, specials) << c.chara << " " << c.bonus << " " << c.condition;
	}
	const TCharaInstance squire = board.game.CreateCharaInstance(CharaIndexOf("squire"), 0);
	const TCharaInstance guard = board.game.CreateCharaInstance(CharaIndexOf("guard"), 0);
	const TCharaInstance lamb = board.game.CreateCharaInstance(CharaIndexOf("lamb"), 0);
	struct TStepCase
	{
		const TCharaInstance& first;
		const TCharaInstance& second;
		std::vector<int> steps;
	};
	const TStepCase stepCases[] = {
		{squire, guard, {0, 1, 2}},
		{guard, squire, {0, 1, 3}},
		{lamb, guard, {1}},
		{lamb, lamb, {}},
	};
	for (const TStepCase& c : stepCases) {
		std::vector<int> steps;
		for (int s = NextAttackStep(BattleData(), c.first, c.second, 0); s != -1;
			 s = NextAttackStep(BattleData(), c.first, c.second, s + 1))
			steps.push_back(s);
		EXPECT_EQ(c.steps, steps);
	}
}

// A preview strikes in turn and changes nothing; a charge strikes with the first attack 32 times.
TEST(EffectExchange, PreviewOfAnExchangeAndOfACharge)
{
	TFieldBoard board(PlainPlan(6, 4));
	board.Add(1, "squire", 2, 2);
	board.Add(0, "guard", 3, 2);
	const std::string before = DescribeChara(board.Chara(0, 0), false) + DescribeChara(board.Chara(1, 0), false);
	std::vector<TEffectPreview> previews;
	EvalAttackList(board.field, {1, 0}, {0, 0}, previews, false);
	ASSERT_EQ(3u, previews.size());
	const int struck[] = {0, 1, 0};
	for (int i = 0; i < 3; ++i) {
		EXPECT_EQ(struck[i], previews[i].side) << "strike " << i;
		EXPECT_EQ(3, previews[i].x);
	}
	EXPECT_EQ(EFFECT_POISON, previews[2].effect) << "the squire's second attack";
	previews.clear();
	EvalAttackList(board.field, {1, 0}, {0, 0}, previews, true);
	ASSERT_EQ(32u, previews.size());
	EXPECT_EQ(16, std::count_if(previews.begin(), previews.end(), [](const TEffectPreview& p) { return p.side == 0; }));
	EXPECT_EQ(before, DescribeChara(board.Chara(0, 0), false) + DescribeChara(board.Chara(1, 0), false));
}

// Every character of the fixture is worth 10: ((S + 10) * 25 / 30 + r) * 200 / 110, r in 0..4 (10..14 with the bonus).
TEST(EffectExperience, GainsOverEveryDraw)
{
	struct TCase
	{
		bool bonus;
		int dead;
		int low;
		int high;
	};
	const TCase cases[] = {
		{false, 0, 14, 21},
		{true, 0, 32, 40},
		{false, 1, 29, 36},
		{false, 20, 100, 100},
	};
	TFieldBoard board(PlainPlan(6, 4));
	board.Add(1, "squire", 2, 2);
	std::vector<TCharaRef> dead;
	for (int i = 0; i < 20; ++i)
		dead.push_back({0, board.Add(0, "wolf")});
	SeedRandom(5);
	for (const TCase& c : cases) {
		const std::vector<TCharaRef> died(dead.begin(), dead.begin() + c.dead);
		int low = 1000;
		int high = -1;
		for (int draw = 0; draw < 200; ++draw) {
			const int gain = CalcExperienceGain(board.field, board.Chara(1, 0), c.bonus, died);
			low = std::min(low, gain);
			high = std::max(high, gain);
		}
		EXPECT_EQ(c.low, low) << c.bonus << " " << c.dead;
		EXPECT_EQ(c.high, high) << c.bonus << " " << c.dead;
	}
}

namespace
{
/// A running battle with the attackers' scout choosing: guard and lamb defend, scout and wolf attack; a wall on (2, 7).
/// The guard stands hurt, tired and under every condition, each a turn old, with one attack fewer.
class EffectBattle : public BattleRun
{
protected:
	void StartChoosing()
	{
		Add(0, "guard");
		Add(0, "lamb");
		Add(1, "scout");
		Add(1, "wolf");
		TMapPlan plan = BattlePlan();
		plan.rows[7][2] = 'W';
		ASSERT_TRUE(Start(plan));
		ASSERT_TRUE(RunUntil(STATE_COMPUTER, FRAME_CAP));
		ASSERT_EQ(1, logic.GetActiveSide());
		TCharaInstance& guard = Chara(0, 0);
		guard.HP = 30;
		guard.MP = 5;
		guard.AttackCountBonus = -1;
		for (int condition = EFFECT_POISON; condition <= EFFECT_DREAM; ++condition)
			SetCondition(guard, condition);
		AgeConditions(guard);
	}
	/// One hit result of the effect on the cell.
	bool Apply(int effect, int value, const char* special, const point_t& cell)
	{
		TEffectResult result;
		result.x = cell.x;
		result.y = cell.y;
		result.hit = true;
		result.value = value;
		result.effect = effect;
		result.special = special ? SpecialIndexOf(special) : -1;
		bool changed = false;
		logic.ApplyEffectResult({result}, changed);
		return changed;
	}
	point_t CellOf(int side, int index) { return {Chara(side, index).BattleX, Chara(side, index).BattleY}; }
	std::vector<std::string> Describe()
	{
		std::vector<std::string> lines;
		for (const std::vector<TCharaInstance>& side : sides)
			for (TCharaInstance chara : side) {
				// Drawing slots are dealt anew whenever the field changes.
				chara.DrawSlot = 0;
				lines.push_back(DescribeChara(chara, false));
			}
		return lines;
	}
};

struct TApplyCase
{
	int effect;
	int value;
	/// What the guard becomes.
	std::function<void(TCharaInstance&)> change;
};

void Aged(TCharaInstance& c, int condition)
{
	for (std::pair<int, int>& entry : c.Conditions)
		if (entry.first == condition)
			entry.second = 0;
}

std::function<void(TCharaInstance&)> Field(int TCharaInstance::*field, int value)
{
	return [=](TCharaInstance& c) { c.*field = value; };
}

std::function<void(TCharaInstance&)> Cured(int condition)
{
	return [=](TCharaInstance& c) { RemoveCondition(c, condition); };
}

const TApplyCase APPLY_CASES[] = {
	{EFFECT_NONE, 5, Field(&TCharaInstance::HP, 25)},
	{EFFECT_NOEFFECT, 5, Field(&TCharaInstance::HP, 25)},
	{EFFECT_POISON, 5, [](TCharaInstance& c) { c.HP = 25; Aged(c, EFFECT_POISON); }},
	{EFFECT_STONE, 0, [](TCharaInstance& c) { Aged(c, EFFECT_STONE); }},
	{EFFECT_PARALYZE, 0, [](TCharaInstance& c) { Aged(c, EFFECT_PARALYZE); }},
	{EFFECT_SLEEP, 0, [](TCharaInstance& c) { Aged(c, EFFECT_SLEEP); }},
	{EFFECT_DREAM, 0, [](TCharaInstance& c) { Aged(c, EFFECT_DREAM); }},
	{EFFECT_DEATH, 0, Field(&TCharaInstance::HP, 0)},
	{EFFECT_ABSORB, 5, Field(&TCharaInstance::HP, 25)},
	{EFFECT_HPRECOVER, 50, Field(&TCharaInstance::HP, 40)},
	{EFFECT_MPRECOVER, 3, Field(&TCharaInstance::MP, 8)},
	{EFFECT_MPRECOVER, -9, Field(&TCharaInstance::MP, 0)},
	{EFFECT_CRASHWALL, 0, [](TCharaInstance&) {}},
	{EFFECT_PLUSPHYSICALATTACK, 4, Field(&TCharaInstance::PhysicalAttackBonus, 4)},
	{EFFECT_PLUSPHYSICALDEFENSE, 4, Field(&TCharaInstance::PhysicalDefenseBonus, 4)},
	{EFFECT_PLUSSKILL, 4, Field(&TCharaInstance::SkillBonus, 4)},
	{EFFECT_PLUSSPEED, -2, Field(&TCharaInstance::SpeedBonus, -2)},
	{EFFECT_PLUSMAGICATTACK, 4, Field(&TCharaInstance::MagicAttackBonus, 4)},
	{EFFECT_PLUSMAGICDEFENSE, 4, Field(&TCharaInstance::MagicDefenseBonus, 4)},
	{EFFECT_PLUSHPRECOVER, 4, Field(&TCharaInstance::HPRecoverBonus, 4)},
	{EFFECT_PLUSMPRECOVER, 4, Field(&TCharaInstance::MPRecoverBonus, 4)},
	{EFFECT_PLUSATTACKCOUNT, 2, Field(&TCharaInstance::AttackCountBonus, 2)},
	{EFFECT_PLUSATTACKCOUNT, -3, Field(&TCharaInstance::AttackCountBonus, -3)},
	{EFFECT_CUREPOISON, 0, Cured(EFFECT_POISON)},
	{EFFECT_CURESTONE, 0, Cured(EFFECT_STONE)},
	{EFFECT_CUREPARALYZE, 0, Cured(EFFECT_PARALYZE)},
	{EFFECT_CURESLEEP, 0, Cured(EFFECT_SLEEP)},
	{EFFECT_CUREDREAM, 0, Cured(EFFECT_DREAM)},
	{EFFECT_CUREALL, 0, [](TCharaInstance& c) { c.Conditions.clear(); c.AttackCountBonus = 0; }},
	{EFFECT_CHANGERESISTANCE, 0, [](TCharaInstance& c) { c.Resistances.at(AttributeOf("cut")) = RESISTANCE_STRONG; }},
	{EFFECT_CHANGEMOVETYPE, 0, Field(&TCharaInstance::MoveType, MoveTypeOf("fly"))},
};

class EffectApply : public EffectBattle, public ::testing::WithParamInterface<TApplyCase>
{
};
}

// Each effect, applied by its own special to the guard, changes what it should of the guard and nothing else.
TEST_P(EffectApply, ChangesExactlyItsPart)
{
	StartChoosing();
	const TApplyCase& c = GetParam();
	std::vector<std::string> expected = Describe();
	TCharaInstance guard = Chara(0, 0);
	guard.DrawSlot = 0;
	c.change(guard);
	expected[0] = DescribeChara(guard, false);
	const std::string special = BattleData().GetAttributeData(AttributeOf("fxPoison") + c.effect - EFFECT_POISON).id;
	const bool wall = c.effect == EFFECT_CRASHWALL;
	TCapturedLog log;
	const bool changed = Apply(c.effect, c.value, c.effect >= EFFECT_POISON ? special.c_str() : nullptr,
		wall ? point_t{2, 7} : CellOf(0, 0));
	EXPECT_EQ(expected, Describe());
	EXPECT_EQ(c.effect == EFFECT_DEATH, changed);
	EXPECT_EQ(wall ? 0 : 2, map->GetMapObjectType(2, 7));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
	EXPECT_TRUE(std::is_sorted(Chara(0, 0).Conditions.begin(), Chara(0, 0).Conditions.end()));
}

INSTANTIATE_TEST_SUITE_P(Effects, EffectApply, ::testing::ValuesIn(APPLY_CASES));

// Boosts do not add up: the strongest holds, and a weakening replaces a boost.
TEST_F(EffectBattle, BoostsAndDeathsCountOnce)
{
	StartChoosing();
	const point_t guard = CellOf(0, 0);
	Apply(EFFECT_PLUSSPEED, 3, "fxPlusSpeed", guard);
	Apply(EFFECT_PLUSSPEED, 5, "fxPlusSpeed", guard);
	Apply(EFFECT_PLUSSPEED, 3, "fxPlusSpeed", guard);
	EXPECT_EQ(5, Chara(0, 0).SpeedBonus);
	Apply(EFFECT_PLUSSPEED, -2, "fxPlusSpeed", guard);
	EXPECT_EQ(-2, Chara(0, 0).SpeedBonus);
	EXPECT_TRUE(Apply(EFFECT_DEATH, 100, "fxDeath", guard)) << "the damage kills, and the death's own blow is no second death";
	EXPECT_EQ((std::vector<int>{0}), logic.GetField().dead[0]);
	TCapturedLog log;
	EXPECT_FALSE(Apply(EFFECT_DEATH, 100, "fxDeath", guard));
	EXPECT_EQ(1, log.CountLines("logic error:chara not found (fxDeath) systemeffect=7"));
	EXPECT_FALSE(logic.ChangeHP(0, 0, -10)) << "a dead chara dies no second time";
	EXPECT_EQ(1u, logic.GetField().dead[0].size());
}

TEST_F(EffectBattle, ExperienceRaisesRanksAndChangesClasses)
{
	StartChoosing();
	Chara(1, 0).Rank = 1;
	Chara(1, 0).Experience = 100;
	logic.AddExperience({1, 0}, false, {});
	EXPECT_EQ(2, Chara(1, 0).Rank);
	EXPECT_EQ(0, Chara(1, 0).Experience);
	// The wolf becomes a squire of rank 4 that summoned the scout: both gain, and the squire changes class.
	TCharaInstance squire = game.CreateCharaInstance(CharaIndexOf("squire"), 4);
	squire.BattleX = Chara(1, 1).BattleX;
	squire.BattleY = Chara(1, 1).BattleY;
	squire.Experience = 100;
	squire.SummonState = SUMMON_STATE_SUMMONER;
	squire.SummonPartner = 0;
	Chara(1, 1) = squire;
	Chara(1, 0).SummonState = SUMMON_STATE_SUMMONED;
	Chara(1, 0).SummonPartner = 1;
	logic.AddExperience({1, 0}, true, {{0, 1}});
	EXPECT_GE(Chara(1, 0).Experience, 47) << "one dead with the bonus: (16 + 10..14) * 200 / 110";
	EXPECT_LE(Chara(1, 0).Experience, 54);
	EXPECT_EQ(1, Chara(1, 0).WinCount);
	EXPECT_EQ(CharaIndexOf("guard"), Chara(1, 1).CharaIndex) << "the squire became a guard";
	EXPECT_EQ(0, Chara(1, 1).Rank);
	EXPECT_EQ(1, Chara(1, 1).WinCount);
}

namespace
{
enum TSummonEnd
{
	SUMMON_DIES,
	SUMMON_FLEES,
	BATTLE_ENDS,
};

class SummonEnd : public EffectBattle, public ::testing::WithParamInterface<TSummonEnd>
{
};
}

// The scout calls a wolf; whether the wolf dies, flees or outlives the battle, the scout acts again.
TEST_P(SummonEnd, FreesTheSummoner)
{
	StartChoosing();
	const point_t cell = {0, 3};
	std::vector<TEffectResult> results;
	EvalEffect(logic.GetField(), 1, Chara(1, 0), {cell}, SpecialIndexOf("fxSummon"), results);
	bool changed = false;
	logic.ApplyEffectResult(results, changed);
	EXPECT_TRUE(changed);
	ASSERT_EQ(3u, sides[1].size());
	EXPECT_EQ(CharaIndexOf("wolf"), Chara(1, 2).CharaIndex);
	EXPECT_EQ(40, Chara(1, 2).HP);
	EXPECT_EQ(SUMMON_STATE_SUMMONED, Chara(1, 2).SummonState);
	EXPECT_EQ(0, Chara(1, 2).SummonPartner);
	EXPECT_EQ(SUMMON_STATE_SUMMONER, Chara(1, 0).SummonState);
	EXPECT_EQ(2, Chara(1, 0).SummonPartner);
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	switch (GetParam()) {
	case SUMMON_DIES:
		Apply(EFFECT_DEATH, 0, "fxDeath", cell);
		break;
	case SUMMON_FLEES:
		// The scout takes the summoned wolf's part and flees: attackers always get away at the turn's end.
		std::swap(Chara(1, 0).SummonState, Chara(1, 2).SummonState);
		Chara(1, 0).SummonPartner = 2;
		Chara(1, 2).SummonPartner = 0;
		logic.DoRunawayLogic();
		ASSERT_TRUE(RunUntil(STATE_COMPUTER, FRAME_CAP));
		ASSERT_TRUE(Chara(1, 0).Fled);
		EXPECT_EQ(0, Chara(1, 2).SummonState);
		return;
	case BATTLE_ENDS:
		Run(FRAME_CAP);
		ASSERT_EQ(STATE_IDLE, logic.GetState());
		EXPECT_GT(Chara(1, 2).HP, 0);
		break;
	}
	EXPECT_EQ(0, Chara(1, 0).SummonState);
}

INSTANTIATE_TEST_SUITE_P(Ends, SummonEnd, ::testing::Values(SUMMON_DIES, SUMMON_FLEES, BATTLE_ENDS));

namespace
{
std::vector<point_t> EveryCell(int width, int height)
{
	std::vector<point_t> cells;
	for (int y = 0; y < height; ++y)
		for (int x = 0; x < width; ++x)
			cells.push_back({x, y});
	return cells;
}

/// The next draw of the generator after the call, and the one of the same seed without it.
void ExpectNoDraw(const std::function<void()>& call, const char* what)
{
	SeedRandom(9);
	call();
	const int after = mtrand_n(1000000);
	SeedRandom(9);
	EXPECT_EQ(mtrand_n(1000000), after) << what << " drew from the generator";
}
}

// Revivals by each rule: nothing from an empty candidate list or an empty employable list (no draw either),
// a new chara for the acting side otherwise, the dead chara itself in place with half its points for Same.
TEST_F(EffectBattle, RevivalsByEachRule)
{
	StartChoosing();
	const std::vector<point_t> cells = EveryCell(10, 8);
	std::vector<TEffectResult> results;
	auto revive = [&](int side, const char* caster, const char* special) {
		results.clear();
		EvalRevive(logic.GetField(), side, CharaIndexOf(caster), cells, SpecialIndexOf(special), results);
		bool changed = false;
		logic.ApplyEffectResult(results, changed);
		EXPECT_TRUE(LayersAgree(logic.GetField())) << special;
	};
	ExpectNoDraw([&] { revive(1, "scout", "fxReviveList"); }, "a revival with nobody dead");
	EXPECT_TRUE(results.empty());
	const point_t wolfCell = CellOf(1, 1);
	const point_t lambCell = CellOf(0, 1);
	Apply(EFFECT_DEATH, 0, "fxDeath", wolfCell);
	Apply(EFFECT_DEATH, 0, "fxDeath", lambCell);
	ExpectNoDraw([&] { revive(1, "scout", "fxReviveHire"); }, "an empty employable list");
	EXPECT_TRUE(results.empty());
	revive(1, "squire", "fxReviveHire");
	ASSERT_EQ(1u, results.size());
	ASSERT_EQ(3u, sides[1].size()) << "a lamb the squire employs joins the attackers on the wolf's cell";
	EXPECT_EQ(CharaIndexOf("lamb"), Chara(1, 2).CharaIndex);
	EXPECT_EQ(wolfCell, CellOf(1, 2));
	EXPECT_EQ(0, Chara(1, 1).HP) << "the wolf stays dead";
	EXPECT_TRUE(logic.GetField().dead[1].empty());
	revive(1, "scout", "fxReviveList");
	ASSERT_EQ(4u, sides[1].size()) << "a wolf of the list comes on the dead lamb's cell";
	EXPECT_EQ(CharaIndexOf("wolf"), Chara(1, 3).CharaIndex);
	EXPECT_EQ(lambCell, CellOf(1, 3));
	EXPECT_EQ(2u, sides[0].size());
	const point_t guardCell = CellOf(0, 0);
	Apply(EFFECT_DEATH, 0, "fxDeath", guardCell);
	revive(0, "lamb", "fxRevive");
	EXPECT_EQ(20, Chara(0, 0).HP) << "(40 + 1) / 2";
	EXPECT_EQ(guardCell, CellOf(0, 0));
	revive(0, "lamb", "fxRevive");
	EXPECT_TRUE(results.empty()) << "each dead chara comes back once";
	EXPECT_EQ(2u, sides[0].size());
}

// Two attackers fall on one cell, one after the other: the target set of a revival of the enemy dead lists
// that cell once for each. The cell brings back one chara for the first of them to have died, and the battle
// writes no error; the other stays on the dead list.
TEST_F(EffectBattle, TwoDeathsOnOneCellGiveOneRevival)
{
	const TCapturedLog log;
	Add(0, "squire");
	Add(0, "guard");
	Add(1, "scout");
	Add(1, "wolf");
	Add(1, "lamb");
	SeedRandom(3);
	ASSERT_TRUE(Start(BattlePlan()));
	// The others wait until the chara's turn comes.
	const auto turnOf = [this](int side, int index) {
		for (int turns = 0; turns < 40; ++turns) {
			if (!RunUntil(STATE_COMPUTER, FRAME_CAP))
				return false;
			int s = -1;
			int i = -1;
			logic.GetActiveChara(s, i);
			if (s == side && i == index)
				return true;
			logic.DoWaitLogic();
		}
		return false;
	};
	ASSERT_TRUE(RunUntil(STATE_COMPUTER, FRAME_CAP));
	const point_t cell = CellOf(1, 1);
	Apply(EFFECT_DEATH, 0, "fxDeath", cell);
	logic.DoWaitLogic();
	ASSERT_TRUE(turnOf(1, 0));
	ASSERT_TRUE(logic.SetAction(cell.x, cell.y, ACTION_KIND_WAIT, -1, -1, -1)) << "the scout moves onto the wolf's cell";
	ASSERT_TRUE(RunUntil(STATE_MAIN, FRAME_CAP));
	ASSERT_EQ(cell, CellOf(1, 0));
	Apply(EFFECT_DEATH, 0, "fxDeath", cell);
	ASSERT_EQ((std::vector<int>{1, 0}), logic.GetField().dead[1]);
	// The squire, who employs lambs, casts the revival on its turn.
	ASSERT_TRUE(turnOf(0, 0));
	logic.UseSpecial(SpecialIndexOf("fxReviveHireFoe"), false);
	ASSERT_TRUE(RunUntil(STATE_MAIN, FRAME_CAP));
	ASSERT_EQ(3u, sides[0].size()) << "one lamb joins the defenders on the cell";
	EXPECT_EQ(CharaIndexOf("lamb"), Chara(0, 2).CharaIndex);
	EXPECT_EQ(cell, CellOf(0, 2));
	EXPECT_EQ((std::vector<int>{0}), logic.GetField().dead[1]) << "the wolf was the first candidate";
	EXPECT_TRUE(LayersAgree(logic.GetField()));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
}
