#include "GameSaveFixture.h"

#include "GameFixture.h"
#include "ModelFixture.h"
#include "app/Random.h"
#include "battle/BattleMap.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
const int TURNS_PLAYED = 4;

/// The third master's home falls to a neighbour's owner: its heroes that are no masters die, its master wanders
/// and is defeated; the two masters left ally without end, and the first master's own character has won three battles.
void StageBattle(TMorvalethGame& game)
{
	const int area = game.GetMasterArea(2);
	ASSERT_LE(0, area);
	for (int from : game.GetArea(area).Neighbors) {
		const TAreaInstance& source = game.GetArea(from);
		if (source.Owner < 0 || source.Owner == game.GetArea(area).Owner || source.Charas.empty())
			continue;
		const std::vector<TAreaCharaPos> army = {{from, static_cast<int>(source.Charas.size()) - 1}};
		const std::vector<TCharaInstance> attackers = {source.Charas.back()};
		std::vector<TCharaInstance> defenders = game.GetArea(area).Charas;
		for (TCharaInstance& chara : defenders) {
			const TCharaData& data = SampleData().GetCharaData(chara.CharaIndex);
			if (data.Hero && !data.IsMaster) {
				chara.HP = 0;
				chara.WinCount = 2;
			}
		}
		std::vector<TCharaInstance> homeless;
		ASSERT_TRUE(game.MoveCharaAfterBattleDepWin(army, attackers, defenders, homeless, area, source.Owner, true));
		for (const TCharaInstance& chara : homeless)
			game.AddWanderChara(chara);
		game.RemoveDefeatedMasters();
		game.SetAlliance(0, 1, ALLIANCE_ENDLESS);
		int home = -1;
		int position = -1;
		ASSERT_TRUE(game.FindMasterChara(0, SampleData().GetMasterData(game.GetMaster(0).DataIndex).CharaIndex, home, position));
		game.GetArea(home).Charas[position].WinCount = 3;
		return;
	}
	FAIL() << "no neighbour of area " << area << " can attack it";
}

/// The current master hires the heroes its search found, where it can.
void HireFoundHeroes(TMorvalethGame& game)
{
	int area = -1;
	int chara = -1;
	while (game.PopFoundHero(area, chara))
		game.EmployWanderingChara(area, chara);
}
}

void NewSampleGame(TMorvalethGame& game, int chapter, int level)
{
	ASSERT_TRUE(game.LoadNew(&SampleData(), SampleScenario(), chapter, level));
}

void PlaySampleGame(TMorvalethGame& game, int chapter, unsigned seed)
{
	NewSampleGame(game, chapter);
	SeedRandom(seed);
	TCapturedLog log(1);
	game.SetMasterPlayer(SampleData().GetMasterIndex("leon"), true);
	game.PlaceAllInhabitants();
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		if (game.GetArea(a).Owner >= 0)
			game.GetArea(a).Operation = a % OPERATION_COUNT;
	}
	int turns = 0;
	while (turns < TURNS_PLAYED) {
		if (game.ActivateNextMaster() && ++turns == TURNS_PLAYED / 2)
			StageBattle(game);
		HireFoundHeroes(game);
	}
	game.ActivateNextMaster();
}

std::string SaveText(const TMorvalethGame& game)
{
	return SaveGameText(game);
}

bool LoadSaveText(TMorvalethGame& game, const std::string& text, int chapter)
{
	TiXmlDocument document;
	document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
	const TiXmlElement* root = document.Error() ? nullptr : document.FirstChildElement("Save");
	return root && game.LoadSaved(&SampleData(), SampleScenario(), chapter, root);
}
