#include "battle/CharaRules.h"

#include "model/MagicData.h"

#include <algorithm>

namespace
{
std::vector<std::pair<int, int>>::iterator FindCondition(TCharaInstance& chara, int condition)
{
	return std::lower_bound(chara.Conditions.begin(), chara.Conditions.end(), condition,
		[](const std::pair<int, int>& entry, int value) { return entry.first < value; });
}
}

bool HasCondition(const TCharaInstance& chara, int condition)
{
	return std::binary_search(chara.Conditions.begin(), chara.Conditions.end(), std::make_pair(condition, 0),
		[](const std::pair<int, int>& a, const std::pair<int, int>& b) { return a.first < b.first; });
}

void SetCondition(TCharaInstance& chara, int condition)
{
	const auto found = FindCondition(chara, condition);
	if (found != chara.Conditions.end() && found->first == condition)
		found->second = 0;
	else
		chara.Conditions.insert(found, {condition, 0});
}

void RemoveCondition(TCharaInstance& chara, int condition)
{
	const auto found = FindCondition(chara, condition);
	if (found != chara.Conditions.end() && found->first == condition)
		chara.Conditions.erase(found);
}

void AgeConditions(TCharaInstance& chara)
{
	for (std::pair<int, int>& entry : chara.Conditions)
		++entry.second;
}

bool IsFreeToAct(const TCharaInstance& chara)
{
	return !HasCondition(chara, EFFECT_STONE) && !HasCondition(chara, EFFECT_PARALYZE)
		&& !HasCondition(chara, EFFECT_SLEEP);
}

bool HasUsableAttack(const TCharaData& data)
{
	return std::any_of(data.Attacks.begin(), data.Attacks.end(),
		[](const TCharaAttack& attack) { return attack.Special != -1; });
}

bool IsStanding(const TCharaInstance& chara)
{
	return chara.HP > 0 && !chara.Fled && !chara.Fleeing;
}
