#include "GameFixture.h"
#include "GameSaveFixture.h"
#include "ModelFixture.h"
#include "model/MorvalethData.h"

#include <climits>
#include <gtest/gtest.h>

namespace
{
/// The text with the value of the first element that opens with the tag replaced.
std::string ReplaceFirstText(const std::string& text, const std::string& tag, const std::string& value)
{
	const std::size_t at = text.find(tag);
	EXPECT_NE(std::string::npos, at) << tag;
	const std::size_t start = at + tag.size();
	return text.substr(0, start) + value + text.substr(text.find('<', start));
}

/// The stationed instance of the master's own character.
const TCharaInstance& MasterChara(const TMorvalethGame& game, const TMorvalethData& data, int master)
{
	int area = -1;
	int position = -1;
	const int chara = data.GetMasterData(game.GetMaster(master).DataIndex).CharaIndex;
	EXPECT_TRUE(game.FindMasterChara(master, chara, area, position));
	return game.GetArea(area).Charas.at(position);
}

/// Plays on until a new turn has begun.
void PlayToNewTurn(TMorvalethGame& game)
{
	for (int step = 0; step <= game.GetMasterCount(); ++step) {
		if (game.ActivateNextMaster())
			return;
	}
	FAIL() << "no new turn began";
}
}

// A number beyond the range reads as the limit, and every status, power, sum
// and counter built from it stays at the limit instead of wrapping round.
TEST(GameHostileNumbers, HugeValuesOfTheScenarioStayAtTheLimits)
{
	TSampleCopy copy;
	copy.Replace("DefChar/CharacterData.xml", "<PhysicalAttack value=\"24\"/>", "<PhysicalAttack value=\"99999999999\"/>");
	copy.Replace("DefChar/CharacterData.xml", "<Power value=\"5\"/>", "<Power value=\"2147483647\"/>");
	copy.Replace("Data/Scenario1.xml", "<Turn>1</Turn>", "<Turn>-2147483648</Turn>");
	TMorvalethData data;
	ASSERT_TRUE(data.Load(copy.Folder(), 0));
	TMorvalethGame game;
	ASSERT_TRUE(game.LoadNew(&data, copy.Folder(), 0, 3));
	const int leon = data.GetMasterIndex("leon");
	const TCharaInstance& chara = MasterChara(game, data, game.GetMasterIndexByData(leon));
	EXPECT_EQ(INT_MAX, chara.PhysicalAttack);
	EXPECT_EQ(INT_MAX, chara.Power);
	EXPECT_EQ(INT_MAX, game.GetMaster(game.GetMasterIndexByData(leon)).Power);
	EXPECT_EQ(INT_MIN, game.GetTurn());
	PlayToNewTurn(game);
	EXPECT_EQ(INT_MIN + 1, game.GetTurn());
}

TEST(GameHostileNumbers, HugeValuesOfASaveStayAtTheLimits)
{
	TMorvalethGame game;
	PlaySampleGame(game, 0, 5);
	std::string saved = SaveText(game);
	saved = ReplaceFirstText(saved, "<BaseIncome>", "2147483647");
	saved = ReplaceFirstText(saved, "<Turn value=\"", "2147483647\" />");
	const std::size_t money = saved.find(" money=\"") + 8;
	saved = saved.substr(0, money) + "2147483647" + saved.substr(saved.find('"', money));
	TCapturedLog log;
	ASSERT_TRUE(LoadSaveText(game, saved)) << log.Text();
	// The first area and the first money of the save are the first master's.
	const int owner = game.GetArea(0).Owner;
	ASSERT_EQ(0, owner);
	EXPECT_EQ(INT_MAX, game.GetMaster(owner).Income);
	PlayToNewTurn(game);
	EXPECT_EQ(INT_MAX, game.GetTurn());
	EXPECT_EQ(INT_MAX, game.GetMaster(owner).Income);
	EXPECT_EQ(INT_MAX - game.GetMaster(owner).Upkeep, game.GetMaster(owner).Money);
}
