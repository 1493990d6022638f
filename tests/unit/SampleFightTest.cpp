// The sample scenario shows what its battles can do: every system effect an attribute may name is played by a special some
// sample character can use, and every script function its data names is defined in its battle script.

#include "GameFixture.h"
#include "GameSaveFixture.h"
#include "ModelFixture.h"

#include "battle/MagicRules.h"
#include "model/CharaData.h"
#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "model/ScenarioInfo.h"
#include "model/SpecialData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
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

// Whichever master the player picks in the first chapter, magic is at the player's command without luck in the
// first battle: every area of the master that borders one it may attack or be attacked from holds a caster from
// the start, or the master acts first in the first turn and can hire one there with the money it starts with;
// and the caster obeys the player there (it is of the master's race, or it or a character of the area commands
// its race), so the player meets the magic window.
TEST(SampleFight, InTheFirstChapterEachMasterThePlayerMayPickHasMagicOnEveryFrontForTheFirstBattle)
{
	const TMorvalethData& data = SampleData();
	TMorvalethGame game;
	NewSampleGame(game, 0);
	const TMorvalethGame& state = game;
	TMorvalethGame firstTurn = game;
	firstTurn.ActivateNextMaster();
	const int first = firstTurn.GetCurrentMaster();
	for (const TChapterMaster& entry : data.GetChapter().Masters) {
		if (entry.NotPlayer)
			continue;
		const int master = game.GetMasterIndexByID(entry.id);
		const int race = data.GetCharaData(data.GetMasterData(game.GetMaster(master).DataIndex).CharaIndex).Race;
		const auto enemy = [&](int area) {
			const TAreaInstance& other = state.GetArea(area);
			return !other.Ignore && other.Owner != master && (other.Owner < 0 || game.FindAlliance(master, other.Owner) < 0);
		};
		int fronts = 0;
		for (int a = 0; a < game.GetAreaCount(); ++a) {
			const std::vector<TCharaInstance> charas = state.GetArea(a).Charas;
			const std::vector<int>& neighbors = state.GetArea(a).Neighbors;
			if (state.GetArea(a).Owner != master || std::none_of(neighbors.begin(), neighbors.end(), enemy))
				continue;
			++fronts;
			const auto obeyingCaster = [&](int chara) {
				const TCharaData& caster = data.GetCharaData(chara);
				const auto commands = [&](int commander) {
					const std::vector<int>& races = data.GetCharaData(commander).BeastTamer;
					return std::find(races.begin(), races.end(), caster.Race) != races.end();
				};
				return CanUseMagic(data, game.CreateCharaInstance(chara, 0))
					&& (caster.Race == race || commands(chara)
						|| std::any_of(charas.begin(), charas.end(), [&](const TCharaInstance& c) { return commands(c.CharaIndex); }));
			};
			bool magic = false;
			for (int position = 0; position < static_cast<int>(charas.size()); ++position) {
				std::vector<int> offered;
				game.GetEmployableCharas(a, position, offered);
				magic = magic || obeyingCaster(charas[position].CharaIndex)
					|| (master == first && std::any_of(offered.begin(), offered.end(), [&](int chara) {
						   return obeyingCaster(chara) && data.GetCharaData(chara).EmployCost <= game.GetMaster(master).Money;
					   }));
			}
			EXPECT_TRUE(magic) << entry.id << " has no magic at the player's command in " << state.GetArea(a).id;
		}
		EXPECT_LT(0, fronts) << entry.id;
	}
}
}
