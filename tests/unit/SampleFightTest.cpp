// The sample scenario shows what its battles can do: every system effect an attribute may name is played by a special some
// sample character can use, and every script function its data names is defined in its battle script.

#include "GameFixture.h"
#include "ModelFixture.h"

#include "model/CharaData.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <set>

namespace
{
const int SYSTEM_EFFECT_COUNT = 31;
/// The first system effect an attribute may name: 0 is what none stands for.
const int FIRST_NAMED_EFFECT = 1;

/// Every special the character can use: its attacks, its own and automatic specials, and the entries
/// of every magic within its rank in the magic's group.
std::set<int> UsableSpecials(const TMorvalethData& data, const TCharaData& chara)
{
	std::set<int> specials;
	for (const TCharaAttack& attack : chara.Attacks)
		specials.insert(attack.Special);
	specials.insert(chara.Special);
	specials.insert(chara.AutoSpecial);
	for (int group = 0; group < data.GetMagicGroupCount(); ++group) {
		const int rank = group < static_cast<int>(chara.MagicRanks.size()) ? chara.MagicRanks[group] : 0;
		for (int magic : data.GetMagicGroupData(group).Magic)
			for (const TMagicEntry& entry : data.GetMagicData(magic).Entries)
				if (rank > 0 && entry.Rank <= rank)
					specials.insert(entry.SpecialIndex);
	}
	specials.erase(-1);
	return specials;
}

TEST(SampleFight, EverySystemEffectIsPlayedBySomeSampleCharacter)
{
	const TMorvalethData& data = SampleData();
	std::vector<std::string> users(SYSTEM_EFFECT_COUNT);
	for (int c = 0; c < data.GetCharaCount(); ++c) {
		const TCharaData& chara = data.GetCharaData(c);
		for (int special : UsableSpecials(data, chara)) {
			const int effect = data.GetAttributeData(data.GetSpecialData(special).Attribute).SystemEffect;
			ASSERT_TRUE(effect >= 0 && effect < SYSTEM_EFFECT_COUNT) << data.GetSpecialData(special).id;
			if (users[effect].empty())
				users[effect] = chara.id + " (" + data.GetSpecialData(special).id + ")";
		}
	}
	for (int effect = FIRST_NAMED_EFFECT; effect < SYSTEM_EFFECT_COUNT; ++effect)
		EXPECT_FALSE(users[effect].empty()) << "no sample character plays " << GetEffectName(effect);
}

TEST(SampleFight, EveryScriptTheDataNamesIsDefinedInTheBattleScript)
{
	const TMorvalethData& data = SampleData();
	const std::string script = ReadFile(SampleScenario() + "/Script/battle.lua");
	std::set<std::string> named;
	for (int c = 0; c < data.GetCharaCount(); ++c)
		named.insert(data.GetCharaData(c).AutoScript);
	for (int s = 0; s < data.GetSpecialCount(); ++s) {
		named.insert(data.GetSpecialData(s).ScriptBefore);
		named.insert(data.GetSpecialData(s).ScriptAfter);
	}
	named.erase("");
	EXPECT_GE(named.size(), 3u) << "an automatic script, a condition script and an after-script";
	for (const std::string& function : named)
		EXPECT_NE(std::string::npos, script.find("function " + function + "(")) << function;
}
}
