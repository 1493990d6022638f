// Hiring, dismissal and the change of a master's type as a master meets them on the world map.

#include "GameFixture.h"
#include "ModelFixture.h"
#include "app/Random.h"
#include "model/MorvalethData.h"

#include <functional>
#include <tuple>

namespace
{
class GameHiring : public GameWorld
{
protected:
	/// Expects the call to be refused with one Error holding the reason, leaving the area and leon's money as they were.
	void ExpectRefused(const std::string& area, const std::function<bool()>& call, const std::string& reason)
	{
		const std::vector<std::string> before = Roster(area);
		const int money = Money(leon);
		TCapturedLog log;
		EXPECT_FALSE(call());
		EXPECT_EQ(1, CountErrors(log)) << log.Text();
		EXPECT_EQ(1, log.CountLines(reason)) << log.Text();
		EXPECT_EQ(before, Roster(area));
		EXPECT_EQ(money, Money(leon));
	}
};
}

TEST_F(GameHiring, ThePlayerPaysTheListedCostAndAComputerMasterByGameLevel)
{
	ASSERT_TRUE(game.SetGameLevel(3));
	EXPECT_TRUE(game.EmployCharacter(Area("A01"), 0, Chara("soldier")));
	EXPECT_EQ(1000 - Def("soldier").EmployCost, Money(leon));
	EXPECT_EQ((std::vector<std::string>{"leon", "soldier"}), Roster("A01"));
	EXPECT_EQ(0, Charas("A01")[1].Rank);

	// Level: price of a soldier listed at 30, rank of the recruit.
	ASSERT_EQ(30, Def("soldier").EmployCost);
	const int expected[][3] = {{1, 18, 0}, {2, 30, 1}, {3, 54, 1}, {4, 81, 2}, {5, 120, 2}};
	for (const auto& row : expected) {
		SCOPED_TRACE(row[0]);
		ASSERT_TRUE(game.SetGameLevel(row[0]));
		Charas("A03").resize(1);
		Charas("A03")[0].Actioned = false;
		game.GetMaster(garm).Money = 1000;
		EXPECT_TRUE(game.EmployCharacter(Area("A03"), 0, Chara("soldier")));
		EXPECT_EQ(1000 - row[1], Money(garm));
		EXPECT_EQ(row[2], Charas("A03")[1].Rank);
	}
}

TEST_F(GameHiring, OnlyAKinsmanFromTheAreaListLeavesTheEmployerFreeToAct)
{
	// leon's own list names the soldier; the area offers the militia (his race) and the wolf (another).
	game.GetArea(Area("A01")).Employable = {Chara("militia"), Chara("wolf"), Chara("soldier")};
	std::vector<int> offered;
	game.GetEmployableCharas(Area("A01"), 0, offered);
	EXPECT_EQ((std::vector<int>{Chara("soldier"), Chara("knight"), Chara("archer"), Chara("militia"), Chara("wolf"),
		Chara("soldier")}), offered);

	EXPECT_TRUE(game.EmployCharacter(Area("A01"), 0, Chara("militia")));
	EXPECT_FALSE(Charas("A01")[0].Actioned);
	EXPECT_TRUE(game.EmployCharacter(Area("A01"), 0, Chara("wolf")));
	EXPECT_TRUE(Charas("A01")[0].Actioned);
	Charas("A01")[0].Actioned = false;
	EXPECT_TRUE(game.EmployCharacter(Area("A01"), 0, Chara("soldier")));
	EXPECT_TRUE(Charas("A01")[0].Actioned);
}

TEST_F(GameHiring, RefusedHiresChangeNothing)
{
	const int soldier = Chara("soldier");
	const auto employ = [&](const std::string& area, int employer, int chara) {
		return [=] { return game.EmployCharacter(Area(area), employer, chara); };
	};
	ExpectRefused("A01", [&] { return game.EmployCharacter(-1, 0, soldier); },
		"TMorvalethGame::EmployCharacter(-1, 0, " + std::to_string(soldier) + ") invalid parameter areaindex.");
	ExpectRefused("A01", employ("A01", 1, soldier), "invalid parameter chrindex.");
	Charas("A01")[0].Actioned = true;
	ExpectRefused("A01", employ("A01", 0, soldier), "invalid parameter chrindex.");
	Charas("A01")[0].Actioned = false;
	ExpectRefused("A01", employ("A01", 0, SampleData().GetCharaCount()), "invalid parameter employtype.");
	Place("A06", "militia");
	ExpectRefused("A06", employ("A06", 0, soldier), "invalid operation. no master area.");
	game.GetMaster(leon).Money = 29;
	ExpectRefused("A01", employ("A01", 0, soldier), "invalid operation. master money < character cost.");
	FillArea("A01", "soldier", AREA_CHARA_MAX);
	ExpectRefused("A01", employ("A01", 0, soldier), "invalid operation. character overflow.");
}

TEST_F(GameHiring, RaceAffinityDecidesWhetherAFoundHeroJoins)
{
	// From humans the elves are 1 step away, the beasts 2 and the undead 3.
	SeedRandom(11);
	int elves = 0;
	int beasts = 0;
	for (int i = 0; i < 3000; ++i) {
		EXPECT_TRUE(game.CheckEmployAffinity(leon, Chara("mage")));
		EXPECT_FALSE(game.CheckEmployAffinity(leon, Chara("skeleton")));
		elves += game.CheckEmployAffinity(leon, Chara("elwin"));
		beasts += game.CheckEmployAffinity(leon, Chara("kaya"));
	}
	EXPECT_NEAR(1500, elves, 150);
	EXPECT_NEAR(1000, beasts, 150);
}

TEST_F(GameHiring, AWanderingHeroJoinsWithItsRecordWhereThereIsRoomAndMoney)
{
	const int elwin = Chara("elwin");
	const auto hire = [&](const std::string& area) { return [=] { return game.EmployWanderingChara(Area(area), elwin); }; };
	ExpectRefused("A01", hire("A01"), "放浪人材が居ないのに人材登用をしようとした？");
	ASSERT_TRUE(game.AddWanderChara(game.CreateCharaInstance(Chara("mage"), 0)));
	ExpectRefused("A01", hire("A01"), "放浪してない人材を登用しようとした？");
	TCharaInstance wanderer = game.CreateCharaInstance(elwin, 2);
	wanderer.Experience = 40;
	wanderer.WinCount = 3;
	ASSERT_TRUE(game.AddWanderChara(wanderer));
	ExpectRefused("A01", [&] { return game.AddWanderChara(wanderer); }, "この人材は既に放浪しています");
	ExpectRefused("A06", hire("A06"), "無主の地で人材を登用しようとした？");
	// Two heroes found for one area must not crowd it beyond its places.
	FillArea("A02", "soldier", AREA_CHARA_MAX);
	ExpectRefused("A02", hire("A02"), "満員のエリアで人材を登用しようとした？");
	game.GetMaster(leon).Money = Def("elwin").EmployCost - 1;
	ExpectRefused("A01", hire("A01"), "資金が足りないのに人材を登用しようとした？");

	game.GetMaster(leon).Money = 1000;
	EXPECT_TRUE(game.EmployWanderingChara(Area("A01"), elwin));
	EXPECT_EQ(1000 - Def("elwin").EmployCost, Money(leon));
	EXPECT_EQ(1u, game.GetWanderCharas().size());
	const TCharaInstance& hired = Charas("A01")[1];
	EXPECT_EQ(elwin, hired.CharaIndex);
	EXPECT_EQ(2, hired.Rank);
	EXPECT_EQ(40, hired.Experience);
	EXPECT_EQ(3, hired.WinCount);
}

TEST_F(GameHiring, DismissalSendsAnIdleCharacterAway)
{
	Place("A01", "knight");
	Place("A01", "soldier");
	EXPECT_TRUE(game.DismissCharacter(Area("A01"), 1));
	EXPECT_EQ((std::vector<std::string>{"leon", "soldier"}), Roster("A01"));

	ExpectRefused("A01", [&] { return game.DismissCharacter(7, 0); },
		"TMorvalethGame::DismissCharacter(7, 0) invalid parameter areaindex.");
	ExpectRefused("A01", [&] { return game.DismissCharacter(Area("A01"), 2); }, "invalid parameter chrindex.");
	Charas("A01")[1].Actioned = true;
	ExpectRefused("A01", [&] { return game.DismissCharacter(Area("A01"), 1); }, "invalid parameter chrindex.");
	Place("A07", "militia");
	ExpectRefused("A07", [&] { return game.DismissCharacter(Area("A07"), 0); }, "invalid operation. no master area.");
}

TEST_F(GameHiring, ANewMasterTypeTakesTheOldMastersPlaceOrTheWeakestLastPlace)
{
	const int leonType = SampleData().GetMasterIndex("leon");
	const int seraType = SampleData().GetMasterIndex("sera");
	// sera holds no area: her master has nowhere to stand, and a refusal changes nothing.
	game.GetArea(Area("A05")).Owner = -1;
	const std::vector<std::pair<std::function<void()>, std::string>> refused = {
		{[&] { game.ChangeMasterType(sera, leonType, Chara("sera")); }, "新マスターを配置できるエリアがありません。"},
		{[&] { game.ChangeMasterType(sera, SampleData().GetMasterCount(), Chara("sera")); }, "master definition 3 outside the 3 masters"},
		{[&] { game.ChangeMasterType(3, leonType, Chara("sera")); }, "master index 3 outside the 3 masters"},
	};
	for (const auto& call : refused) {
		TCapturedLog log;
		call.first();
		EXPECT_EQ(1, CountErrors(log)) << log.Text();
		EXPECT_EQ(1, log.CountLines("TMorvalethGame::ChangeMasterType:")) << log.Text();
		EXPECT_EQ(1, log.CountLines(call.second)) << log.Text();
		EXPECT_EQ(seraType, game.GetMaster(sera).DataIndex);
		EXPECT_EQ((std::vector<std::string>{"sera"}), Roster("A05"));
		EXPECT_TRUE(game.GetWanderCharas().empty());
	}

	// The old master's character is replaced in place, at its rank and with its experience.
	Charas("A03")[0] = game.CreateCharaInstance(Chara("garm"), 2);
	Charas("A03")[0].Experience = 40;
	Place("A03", "knight");
	game.ChangeMasterType(garm, seraType, Chara("garm"));
	EXPECT_EQ(seraType, game.GetMaster(garm).DataIndex);
	EXPECT_EQ((std::vector<std::string>{"sera", "knight"}), Roster("A03"));
	EXPECT_EQ(std::make_tuple(2, 40, Def("sera").HP), std::make_tuple(Charas("A03")[0].Rank, Charas("A03")[0].Experience, Charas("A03")[0].HP));

	// Without it, both of leon's areas full: the one whose last place is weakest gives it up, and the hero there wanders.
	Charas("A01").clear();
	FillArea("A01", "soldier", AREA_CHARA_MAX - 1);
	Place("A01", "mage", 2);
	FillArea("A02", "soldier", AREA_CHARA_MAX - 1);
	Place("A02", "elwin");
	ASSERT_LT(Charas("A02").back().Power, Charas("A01").back().Power);
	game.ChangeMasterType(leon, seraType, Chara("leon"));
	EXPECT_EQ(seraType, game.GetMaster(leon).DataIndex);
	EXPECT_EQ("mage", Roster("A01").back());
	EXPECT_EQ(AREA_CHARA_MAX, static_cast<int>(Charas("A02").size()));
	EXPECT_EQ(std::make_tuple(std::string("sera"), 0), std::make_tuple(Roster("A02").back(), Charas("A02").back().Rank));
	ASSERT_EQ(1u, game.GetWanderCharas().size());
	EXPECT_EQ(Chara("elwin"), game.GetWanderCharas()[0].CharaIndex);
}
