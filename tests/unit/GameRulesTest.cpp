// Ranks, class changes and area levels.

#include "GameFixture.h"
#include "ModelFixture.h"
#include "app/HexGrid.h"
#include "battle/BattleMap.h"

#include <boost/make_shared.hpp>
#include <tinyxml.h>

namespace
{
/// A 5 x 5 battle map: a castle in the middle and three walls around it.
std::string WallMapXml()
{
	const char* const objects[] = {"0,0,0,0,0", "0,0,2,0,0", "0,2,4,2,0", "0,0,0,0,0", "0,0,0,0,0"};
	std::string xml = "<BattleMap Width=\"5\" Height=\"5\" City=\"0\" Wall=\"0\" Road=\"0\">";
	for (const char* layer : {"MapChip", "MapObject", "MapObjectNo", "MapHeight"}) {
		xml += std::string("<") + layer + ">";
		for (int y = 0; y < 5; ++y) {
			const std::string row = std::string(layer) == "MapObject" ? objects[y] : "0,0,0,0,0";
			xml += "<L" + std::to_string(y) + ">" + row + "</L" + std::to_string(y) + ">";
		}
		xml += std::string("</") + layer + ">";
	}
	return xml + "<NeighborArea/></BattleMap>";
}
}

using GameRules = GameWorld;

TEST_F(GameRules, ExperienceRaisesTheRankAndAtTheTopChangesTheClass)
{
	TCharaInstance knight = game.CreateCharaInstance(Chara("knight"), 2);
	knight.Experience = 250;
	EXPECT_FALSE(game.CheckRankUp(knight));
	EXPECT_EQ(3, knight.Rank);
	EXPECT_EQ(0, knight.Experience);
	EXPECT_EQ(Def("knight").PhysicalAttack * 125 / 100, knight.PhysicalAttack);
	EXPECT_EQ(2303, knight.Power);

	knight.Rank = RANK_MAX;
	knight.Experience = 130;
	EXPECT_FALSE(game.CheckRankUp(knight));
	EXPECT_EQ(RANK_MAX, knight.Rank);
	EXPECT_EQ(100, knight.Experience);

	// The soldier becomes a knight on reaching the top rank, keeping the points it had lost.
	ASSERT_EQ(Chara("knight"), Def("soldier").ClassChange);
	TCharaInstance soldier = game.CreateCharaInstance(Chara("soldier"), 4);
	soldier.HP = 10;
	soldier.Experience = 101;
	EXPECT_TRUE(game.CheckRankUp(soldier));
	EXPECT_EQ(Chara("knight"), soldier.CharaIndex);
	EXPECT_EQ(0, soldier.Rank);
	EXPECT_EQ(10 + Def("knight").HP - Def("soldier").HP, soldier.HP);
	EXPECT_EQ(Def("knight").HP, soldier.HPMax);
	EXPECT_EQ(Def("knight").PhysicalAttack, soldier.PhysicalAttack);
}

TEST_F(GameRules, RanksAndLevelsOutsideTheRulesAreRefused)
{
	TCapturedLog log;
	EXPECT_EQ(RANK_MAX, game.CreateCharaInstance(Chara("knight"), 9).Rank);
	EXPECT_EQ(0, game.CreateCharaInstance(Chara("knight"), -1).Rank);
	EXPECT_FALSE(game.SetGameLevel(6));
	EXPECT_EQ(1, game.GetGameLevel());
	EXPECT_EQ(3, CountErrors(log));
}

TEST_F(GameRules, AreaLevelsStayWithinTheirMaximaAndTheBattleMapShowsThem)
{
	BuildNeighborTable();
	TAreaInstance& area = game.GetArea(Area("A01"));
	area.BattleMap = boost::make_shared<TBattleMap>(0, 0);
	TiXmlDocument document;
	document.Parse(WallMapXml().c_str());
	ASSERT_TRUE(area.BattleMap->Load(document.RootElement(), "wall map", SampleData()));
	area.WallMax = 2;

	game.SetAreaWall(Area("A01"), -3);
	EXPECT_EQ(0, game.GetAreaWall(Area("A01")));
	EXPECT_EQ(0u, area.BattleMap->CountMapObject(MAP_OBJECT_WALL));
	game.SetAreaWall(Area("A01"), 9);
	EXPECT_EQ(2, game.GetAreaWall(Area("A01")));
	EXPECT_EQ(2u, area.BattleMap->CountMapObject(MAP_OBJECT_WALL));

	game.SetAreaCity(Area("A01"), 3);
	game.UpdateAreaFromBattleMap(Area("A01"));
	EXPECT_EQ(0, game.GetAreaCity(Area("A01")));
	EXPECT_EQ(2, game.GetAreaWall(Area("A01")));
}
