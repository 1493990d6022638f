// Where every character goes when a battle for an area is over.

#include "GameFixture.h"
#include "ModelFixture.h"

namespace
{
/// leon attacks garm's A03 from A02 with a soldier, a knight and the hero mage;
/// garm, a knight and the hero elwin hold A03. A04 is garm's only other area.
class GameAfterBattle : public GameWorld
{
protected:
	GameAfterBattle()
	{
		for (const char* id : {"soldier", "knight", "mage"})
			Place("A02", id);
		Place("A03", "knight");
		Place("A03", "elwin");
		for (int position = 0; position < 3; ++position)
			army.push_back(TAreaCharaPos(Area("A02"), position));
		attackers = Charas("A02");
		defenders = Charas("A03");
	}

	bool Finish(bool attackerWon)
	{
		return game.MoveCharaAfterBattleDepWin(army, attackers, defenders, homeless, Area("A03"), leon, attackerWon);
	}

	/// A character of that definition, as it joined a side during the battle.
	TCharaInstance Joined(const std::string& id, int summonState)
	{
		TCharaInstance chara = game.CreateCharaInstance(Chara(id), 0);
		chara.SummonState = summonState;
		return chara;
	}

	bool IsDead(const std::string& id) const { return FindCharaInList(game.GetDeadCharas(), Chara(id)) >= 0; }
	bool Wanders(const std::string& id) const { return FindCharaInList(game.GetWanderCharas(), Chara(id)) >= 0; }

	std::vector<TAreaCharaPos> army;
	std::vector<TCharaInstance> attackers;
	std::vector<TCharaInstance> defenders;
	std::vector<TCharaInstance> homeless;
};
}

TEST_F(GameAfterBattle, ALostAttackSendsEveryAttackerHome)
{
	defenders[1].HP = 0;
	defenders[2].HP = 0;
	ASSERT_TRUE(Finish(false));
	EXPECT_EQ((std::vector<std::string>{"soldier", "knight", "mage"}), Roster("A02"));
	for (const TCharaInstance& chara : Charas("A02"))
		EXPECT_TRUE(chara.Actioned);
	EXPECT_EQ((std::vector<std::string>{"garm"}), Roster("A03"));
	EXPECT_EQ(garm, game.GetArea(Area("A03")).Owner);
	EXPECT_TRUE(IsDead("elwin"));
	EXPECT_FALSE(IsDead("knight"));
	EXPECT_TRUE(homeless.empty());
	// The dead do not come back as wanderers.
	TCapturedLog log;
	EXPECT_FALSE(game.AddWanderChara(defenders[2]));
	EXPECT_EQ(1, log.CountLines("この人材は既に死亡リストに入っています")) << log.Text();
	EXPECT_TRUE(game.GetWanderCharas().empty());
}

TEST_F(GameAfterBattle, AWonAttackTakesTheAreaWithEveryoneWhoDidNotFlee)
{
	game.GetArea(Area("A03")).OperationEffort = 5;
	attackers[1].Fled = true;
	defenders[0].Fled = true;
	defenders[1].HP = 0;
	ASSERT_TRUE(Finish(true));
	EXPECT_EQ(leon, game.GetArea(Area("A03")).Owner);
	EXPECT_EQ(0, game.GetArea(Area("A03")).OperationEffort);
	EXPECT_EQ((std::vector<std::string>{"mage", "soldier"}), Roster("A03"));
	EXPECT_EQ((std::vector<std::string>{"knight"}), Roster("A02"));
	EXPECT_TRUE(Charas("A02")[0].Actioned);
	// garm fled to his other area; elwin held out to the end and has lost his place.
	EXPECT_EQ(Area("A04"), game.GetMasterArea(garm));
	ASSERT_EQ(1u, homeless.size());
	EXPECT_EQ(Chara("elwin"), homeless[0].CharaIndex);
	EXPECT_TRUE(game.GetDeadCharas().empty());
}

TEST_F(GameAfterBattle, FugitivesWithoutRoomAreLostButHeroesWander)
{
	FillArea("A04", "soldier", AREA_CHARA_MAX);
	for (TCharaInstance& defender : defenders)
		defender.Fled = true;
	TCapturedLog log;
	ASSERT_TRUE(Finish(false));
	EXPECT_EQ(2, log.CountLines("プログラムのバグ：守備側逃走キャラを移せる隣接エリアが無い")) << log.Text();
	EXPECT_TRUE(Charas("A03").empty());
	// The master's own character takes the last place of a full area of its own.
	EXPECT_EQ(Area("A04"), game.GetMasterArea(garm));
	EXPECT_EQ(static_cast<std::size_t>(AREA_CHARA_MAX), Charas("A04").size());
	EXPECT_TRUE(Wanders("elwin"));
}

TEST_F(GameAfterBattle, CharactersThatJoinedTheBattleStayWithTheirSide)
{
	attackers.push_back(Joined("skeleton", SUMMON_STATE_SUMMONED));
	attackers.push_back(Joined("zombie", 0));
	defenders.push_back(Joined("wolf", 0));
	ASSERT_TRUE(Finish(false));
	// A summoned creature leaves no trace; a revived one retreats with the beaten attacker.
	EXPECT_EQ((std::vector<std::string>{"mage", "knight", "soldier", "zombie"}), Roster("A02"));
	EXPECT_EQ((std::vector<std::string>{"garm", "knight", "elwin", "wolf"}), Roster("A03"));
}

TEST_F(GameAfterBattle, RanksAndClassesWonInBattleAreKept)
{
	attackers[0] = game.CreateCharaInstance(Chara("knight"), 0);
	attackers[2].Rank = 1;
	attackers[2].Experience = 20;
	attackers[2].WinCount = 2;
	Charas("A02")[2].HP = 5;
	ASSERT_TRUE(Finish(false));
	const TCharaInstance& knight = Charas("A02")[0];
	EXPECT_EQ(Chara("knight"), knight.CharaIndex);
	EXPECT_EQ(Def("knight").HP, knight.HP);
	const TCharaInstance& mage = Charas("A02")[2];
	EXPECT_EQ(1, mage.Rank);
	EXPECT_EQ(20, mage.Experience);
	EXPECT_EQ(2, mage.WinCount);
	EXPECT_EQ(Def("mage").MagicAttack * 108 / 100, mage.MagicAttack);
	EXPECT_EQ(Def("mage").Power * 1000 + 101, mage.Power);
	EXPECT_EQ(5, mage.HP);
}

TEST_F(GameAfterBattle, RetreatsFindTheFreePlacesOfTheOwnersNeighbours)
{
	std::vector<int> areas;
	std::vector<int> freePlaces;
	EXPECT_EQ(20, game.GetOwnNeighborAreas(Area("A03"), areas, freePlaces));
	FillArea("A04", "soldier", AREA_CHARA_MAX);
	EXPECT_EQ(0, game.GetOwnNeighborAreas(Area("A03"), areas, freePlaces));
	EXPECT_EQ((std::vector<int>{Area("A04")}), areas);
	EXPECT_EQ((std::vector<int>{0}), freePlaces);
	// For a neutral area the neutral neighbours are its own.
	EXPECT_EQ(20, game.GetOwnNeighborAreas(Area("A06"), areas, freePlaces));
	EXPECT_EQ((std::vector<int>{Area("A07")}), areas);
}

TEST_F(GameAfterBattle, AnUndefendedAreaIsTakenByTheArmy)
{
	EXPECT_TRUE(game.OccupyArea({{Area("A02"), 0}, {Area("A02"), 2}}, Area("A07"), leon));
	EXPECT_EQ(leon, game.GetArea(Area("A07")).Owner);
	EXPECT_EQ((std::vector<std::string>{"mage", "soldier"}), Roster("A07"));
	EXPECT_EQ((std::vector<std::string>{"knight"}), Roster("A02"));
}

TEST_F(GameAfterBattle, ArmiesThatStandNowhereAreRefused)
{
	const auto refused = [&](const std::vector<TAreaCharaPos>& listed) {
		TCapturedLog log;
		EXPECT_FALSE(game.OccupyArea(listed, Area("A07"), leon));
		EXPECT_FALSE(game.MoveCharaAfterBattleDepWin(listed, attackers, defenders, homeless, Area("A03"), leon, true));
		EXPECT_EQ(2, CountErrors(log)) << log.Text();
		EXPECT_EQ(3u, Charas("A02").size());
		EXPECT_EQ(3u, Charas("A03").size());
		EXPECT_EQ(-1, game.GetArea(Area("A07")).Owner);
	};
	refused({{Area("A02"), 0}, {Area("A02"), 0}});
	refused({{Area("A02"), 3}});
	refused({{-1, 0}});
}
