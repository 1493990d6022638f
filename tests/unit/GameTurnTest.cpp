// The turn cycle: master order, standing orders, income and upkeep, alliances, defeat and the end of the game.

#include "GameFixture.h"
#include "ModelFixture.h"
#include "app/Random.h"
#include "model/MorvalethData.h"

#include <algorithm>

namespace
{
class GameTurn : public GameWorld
{
protected:
	GameTurn()
	{
		// garm is the strongest, leon the weakest; a fresh game stands before its first turn.
		Place("A03", "knight");
		Place("A05", "archer");
		game.CalcMasterPower();
		game.SetTurn(0, -1);
	}

	/// Ends masters' turns until a new turn has begun; answers the masters that became current on the way.
	std::vector<int> PlayTurn()
	{
		std::vector<int> current;
		bool newTurn = false;
		while (!newTurn) {
			newTurn = game.ActivateNextMaster();
			current.push_back(game.GetCurrentMaster());
		}
		return current;
	}

	bool Wanders(const std::string& id) const { return FindCharaInList(game.GetWanderCharas(), Chara(id)) >= 0; }
};
}

TEST_F(GameTurn, MastersActWeakestFirstAndEachNewTurnPaysIncomeLessUpkeep)
{
	// A02 earns (City 8 / 4 + 10) x 2 with its road complete; a hero costs its upkeep, a troop nothing.
	game.SetAreaCity(Area("A02"), 8);
	game.SetAreaRoad(Area("A02"), 4);
	Place("A02", "mage");
	Place("A02", "soldier");
	ASSERT_EQ(8, Def("mage").TurnCost);

	EXPECT_EQ((std::vector<int>{leon}), PlayTurn());
	EXPECT_EQ(1, game.GetTurn());
	EXPECT_EQ(0, game.GetProgressedTurn());
	EXPECT_EQ(1000 + 10 + 24 - 8, Money(leon));
	EXPECT_EQ(1000 + 20, Money(garm));
	EXPECT_EQ(1000 + 10, Money(sera));

	EXPECT_EQ((std::vector<int>{sera, garm, leon}), PlayTurn());
	EXPECT_EQ(2, game.GetTurn());
	EXPECT_EQ(1000 + 2 * 26, Money(leon));

	// Upkeep above income drives the treasury below zero.
	game.GetMaster(sera).Money = 0;
	Place("A05", "elwin");
	Place("A05", "kaya");
	PlayTurn();
	EXPECT_EQ(10 - 9 - 7, Money(sera));
}

TEST_F(GameTurn, AnAllianceCountsDownAndEndsButAnEndlessOneStays)
{
	game.SetTurn(9, 8);
	PlayTurn();
	ASSERT_EQ(10, game.GetTurn());
	EXPECT_EQ(6, game.GetAllianceCost(leon, sera, -1));
	const int leonMoney = Money(leon);
	const int seraMoney = Money(sera);
	EXPECT_TRUE(game.MakeAlliance(leon, sera, 3, 6));
	EXPECT_EQ(leonMoney - 6, Money(leon));
	EXPECT_EQ(seraMoney + 6, Money(sera));
	game.SetAlliance(garm, sera, ALLIANCE_ENDLESS);
	EXPECT_EQ(3, game.GetAllianceCost(leon, sera, -1));
	EXPECT_EQ(0, game.GetAllianceCost(garm, sera, -1));
	{
		// Offers that buy nothing are refused and nobody pays; so are turns below the endless mark, which would never run out.
		TCapturedLog log;
		EXPECT_FALSE(game.MakeAlliance(garm, sera, 6, 50));
		EXPECT_FALSE(game.MakeAlliance(leon, garm, 0, 50));
		EXPECT_FALSE(game.MakeAlliance(leon, garm, ALLIANCE_ENDLESS, 50));
		EXPECT_FALSE(game.MakeAlliance(leon, leon, 3, 50));
		game.SetAlliance(leon, sera, -4);
		game.SetAlliance(leon, garm, -2);
		game.SetAlliance(leon, leon, 3);
		EXPECT_EQ(7, CountErrors(log));
		EXPECT_EQ(1, log.CountLines(":(0, 2, -4) turns below -1, the mark of an alliance without end")) << log.Text();
		EXPECT_EQ(3, log.CountLines("TMorvalethGame::SetAlliance:"));
		EXPECT_EQ(-1, game.FindAlliance(leon, leon));
		EXPECT_EQ(leonMoney - 6, Money(leon));
		EXPECT_EQ(ALLIANCE_ENDLESS, game.GetAlliance(game.FindAlliance(sera, garm)).Turns);
		EXPECT_EQ(-1, game.FindAlliance(leon, garm));
	}

	const int remaining[] = {2, 1, 0};
	for (int turns : remaining) {
		PlayTurn();
		SCOPED_TRACE(game.GetTurn());
		ASSERT_LE(0, game.FindAlliance(sera, leon));
		EXPECT_EQ(turns, game.GetAlliance(game.FindAlliance(sera, leon)).Turns);
		EXPECT_FALSE(game.CanInvadeArea(Area("A05")));
	}
	PlayTurn();
	EXPECT_EQ(14, game.GetTurn());
	EXPECT_EQ(-1, game.FindAlliance(leon, sera));
	EXPECT_EQ(ALLIANCE_ENDLESS, game.GetAlliance(game.FindAlliance(sera, garm)).Turns);
	EXPECT_TRUE(game.CanInvadeArea(Area("A05")));
	EXPECT_FALSE(game.CanInvadeArea(Area("A04")));
}

TEST_F(GameTurn, AreasCarryOutTheirStandingOrdersWhenTheirMasterEndsItsTurn)
{
	PlayTurn();
	ASSERT_EQ(leon, game.GetCurrentMaster());
	ASSERT_TRUE(game.SetGameLevel(5));
	FillArea("A01", "soldier", 6);
	Charas("A01")[5].Actioned = true;
	game.GetArea(Area("A01")).Operation = OPERATION_BUILD_WALL;
	game.SetAreaWall(Area("A01"), 8);
	FillArea("A02", "soldier", 4);
	game.GetArea(Area("A02")).Operation = OPERATION_BUILD_CITY;
	game.GetArea(Area("A03")).Operation = OPERATION_BUILD_ROAD;
	game.DoAreaOperations();
	EXPECT_EQ(10, game.GetAreaWall(Area("A01")));
	EXPECT_EQ(1, game.GetAreaCity(Area("A02")));
	EXPECT_EQ(0, game.GetAreaRoad(Area("A03")));

	game.GetArea(Area("A01")).Operation = OPERATION_SEARCH_HERO;
	game.GetArea(Area("A02")).Operation = OPERATION_TRAINING;
	game.DoAreaOperations();
	EXPECT_EQ(5, game.GetArea(Area("A01")).OperationEffort);
	for (const TCharaInstance& soldier : Charas("A02")) {
		EXPECT_LE(8, soldier.Experience);
		EXPECT_GE(9, soldier.Experience);
	}
}

// The pay of a new turn is counted when the round's last master ends its turn, before that master's
// standing orders run: what they build pays from the next new turn on.
TEST_F(GameTurn, ACityBuiltAsTheRoundEndsPaysFromTheNextNewTurn)
{
	PlayTurn();
	// Eight idle characters build two city points a turn: A03's income grows by a quarter of them.
	game.SetAreaCity(Area("A03"), 2);
	FillArea("A03", "soldier", 8);
	game.GetArea(Area("A03")).Operation = OPERATION_BUILD_CITY;
	const int smallCity = game.GetAreaIncome(Area("A03"));
	game.CalcIncome();
	const int pay = game.GetMaster(garm).Income - game.GetMaster(garm).Upkeep;
	const int money = Money(garm);

	ASSERT_EQ((std::vector<int>{sera, garm, leon}), PlayTurn());
	ASSERT_EQ(4, game.GetAreaCity(Area("A03")));
	EXPECT_EQ(money + pay, Money(garm)) << "the city garm built as the round ended was paid at once";
	const int grown = game.GetAreaIncome(Area("A03")) - smallCity;
	ASSERT_LT(0, grown);

	ASSERT_EQ((std::vector<int>{sera, garm, leon}), PlayTurn());
	EXPECT_EQ(money + 2 * pay + grown, Money(garm));
}

TEST_F(GameTurn, TheHeroSearchFindsWanderersForTheMasterWhoseTurnBegins)
{
	PlayTurn();
	// The heroes no chapter placed wander from the first turn, within their turns of appearance.
	EXPECT_TRUE(Wanders("mage"));
	EXPECT_TRUE(Wanders("elwin"));
	EXPECT_FALSE(Wanders("bran"));
	EXPECT_FALSE(Wanders("kaya"));
	game.SetTurn(2, 2);
	PlayTurn();
	EXPECT_TRUE(Wanders("kaya"));

	// leon's turn begins with a search in an area where 19 idle characters looked.
	FillArea("A01", "soldier", AREA_CHARA_MAX - 1);
	game.GetArea(Area("A01")).Operation = OPERATION_SEARCH_HERO;
	game.GetArea(Area("A01")).OperationEffort = AREA_CHARA_MAX - 1;
	ASSERT_EQ(leon, game.GetCurrentMaster());
	SeedRandom(5);
	std::vector<std::pair<int, int>> found;
	for (int turn = 0; turn < 20 && found.empty(); ++turn) {
		game.CheckSearchHero();
		int area = -1;
		int chara = -1;
		while (game.PopFoundHero(area, chara))
			found.push_back(std::make_pair(area, chara));
	}
	ASSERT_FALSE(found.empty());
	for (const auto& finding : found) {
		EXPECT_EQ(Area("A01"), finding.first);
		EXPECT_LE(0, FindCharaInList(game.GetWanderCharas(), finding.second));
		EXPECT_EQ(1, std::count(found.begin(), found.end(), finding));
	}
}

// A hero named among an area's inhabitants is never placed: its copies would
// stand in many areas at once and the game could no longer be saved.
TEST_F(GameTurn, HeroesListedAsInhabitantsAreNeverPlaced)
{
	ASSERT_TRUE(game.SetGameLevel(3));
	int neutral = 0;
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		if (game.GetArea(a).Owner >= 0)
			continue;
		++neutral;
		game.GetArea(a).Charas.clear();
		game.GetArea(a).Inhabit = {Chara("bran"), Chara("militia"), Chara("bran")};
		game.PlaceInhabitants(a);
		ASSERT_FALSE(game.GetArea(a).Charas.empty()) << a;
		for (const TCharaInstance& chara : game.GetArea(a).Charas)
			EXPECT_EQ(Chara("militia"), chara.CharaIndex) << a;
	}
	EXPECT_LT(0, neutral);
}

TEST_F(GameTurn, ADefeatedMasterLeavesItsHeroesWanderingAndItsAreasNeutral)
{
	Place("A04", "mage", 2);
	Place("A04", "bran");
	game.GetArea(Area("A04")).Inhabit = {Chara("militia")};
	game.SetAlliance(garm, sera, ALLIANCE_ENDLESS);
	ASSERT_TRUE(game.SetGameLevel(3));
	Charas("A03").erase(Charas("A03").begin());

	std::vector<int> defeated;
	game.GetDefeatedMasters(defeated);
	EXPECT_EQ((std::vector<int>{garm}), defeated);
	game.RemoveDefeatedMasters();
	EXPECT_FALSE(game.GetMaster(garm).Exists);
	EXPECT_EQ(-1, game.GetArea(Area("A03")).Owner);
	EXPECT_TRUE(Wanders("mage"));
	EXPECT_EQ(2, game.GetWanderingChara(Chara("mage")).Rank);
	EXPECT_FALSE(Wanders("bran"));
	EXPECT_EQ(-1, game.FindAlliance(garm, sera));
	// The neutral area fills with its inhabitants at rank level / 2.
	ASSERT_FALSE(Charas("A04").empty());
	for (const TCharaInstance& chara : Charas("A04")) {
		EXPECT_EQ(Chara("militia"), chara.CharaIndex);
		EXPECT_EQ(1, chara.Rank);
	}
	// The defeated master keeps its place in the order but never acts again.
	for (int turn = 0; turn < 3; ++turn) {
		const std::vector<int> current = PlayTurn();
		EXPECT_EQ(0, std::count(current.begin(), current.end(), garm));
	}
}

TEST_F(GameTurn, TheGameEndsWhenNoMasterHasAnEnemyLeft)
{
	PlayTurn();
	EXPECT_FALSE(game.CheckGameEnd());
	game.SetAlliance(leon, sera, ALLIANCE_ENDLESS);
	game.SetAlliance(garm, sera, ALLIANCE_ENDLESS);
	EXPECT_FALSE(game.CheckGameEnd());
	game.SetAlliance(leon, garm, 50);
	EXPECT_FALSE(game.CheckGameEnd());
	game.SetAlliance(leon, garm, ALLIANCE_ENDLESS);
	EXPECT_TRUE(game.CheckGameEnd());

	// The player's master falls: no player is left and the game ends on a master still standing.
	game.SetAlliance(leon, garm, 50);
	Charas("A01").clear();
	game.RemoveDefeatedMasters();
	EXPECT_TRUE(game.NoPlayerMasterExists());
	EXPECT_TRUE(game.CheckGameEnd());
	ASSERT_EQ(leon, game.GetCurrentMaster());
	game.SetGameEnd();
	EXPECT_TRUE(game.IsGameEnded());
	EXPECT_EQ(garm, game.GetCurrentMaster());

	for (int master : {garm, sera}) {
		game.GetArea(game.GetMasterArea(master)).Charas.clear();
	}
	game.RemoveDefeatedMasters();
	TCapturedLog log;
	EXPECT_TRUE(game.ActivateNextMaster());
	EXPECT_EQ(1, log.CountLines("次のマスターの決定に失敗（マスターが全滅？）"));
}
