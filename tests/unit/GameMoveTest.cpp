// Moving characters between two areas, and the moves the rules refuse.

#include "GameFixture.h"
#include "ModelFixture.h"

namespace
{
class GameMove : public GameWorld
{
protected:
	/// Expects the move to be refused with one Error holding the reason, and both areas as they were.
	void ExpectRefused(const std::string& area1, const std::string& area2, const std::vector<int>& positions1,
		const std::vector<int>& positions2, const std::string& reason)
	{
		const std::vector<std::string> before1 = Roster(area1);
		const std::vector<std::string> before2 = Roster(area2);
		TCapturedLog log;
		EXPECT_FALSE(game.MoveCharacter(Area(area1), Area(area2), positions1, positions2));
		EXPECT_EQ(1, CountErrors(log)) << log.Text();
		EXPECT_EQ(1, log.CountLines(reason)) << log.Text();
		EXPECT_EQ(before1, Roster(area1));
		EXPECT_EQ(before2, Roster(area2));
	}
};
}

TEST_F(GameMove, MovedCharactersHaveActedAndTakeTheirPlaceInTheRoster)
{
	for (const char* id : {"archer", "soldier", "elwin", "knight", "mage"})
		Place("A02", id);
	EXPECT_TRUE(game.MoveCharacterNoList(Area("A02"), Area("A01"), {0, 1, 2, 3, 4}));
	EXPECT_TRUE(Charas("A02").empty());
	// Master, then leon's own race (heroes first, then the strongest), then the others.
	EXPECT_EQ((std::vector<std::string>{"leon", "mage", "knight", "soldier", "elwin", "archer"}), Roster("A01"));
	EXPECT_FALSE(Charas("A01")[0].Actioned);
	for (std::size_t i = 1; i < Charas("A01").size(); ++i)
		EXPECT_TRUE(Charas("A01")[i].Actioned);
}

TEST_F(GameMove, FullAreasExchangeAsManyAsTheyGive)
{
	FillArea("A01", "soldier", AREA_CHARA_MAX);
	FillArea("A02", "archer", AREA_CHARA_MAX);
	EXPECT_TRUE(game.MoveCharacter(Area("A01"), Area("A02"), {19, 3, 7}, {0, 1, 2}));
	EXPECT_EQ(static_cast<std::size_t>(AREA_CHARA_MAX), Charas("A01").size());
	EXPECT_EQ(static_cast<std::size_t>(AREA_CHARA_MAX), Charas("A02").size());
	const std::vector<std::string> a01 = Roster("A01");
	EXPECT_EQ(3, std::count(a01.begin(), a01.end(), "archer"));
	EXPECT_EQ("leon", a01[0]);
}

TEST_F(GameMove, RefusedMovesMoveNothing)
{
	Place("A01", "soldier");
	Place("A01", "knight");
	FillArea("A02", "archer", AREA_CHARA_MAX);
	ExpectRefused("A01", "A02", {1}, {}, "TMorvalethGame::MoveCharacter invalid parameter(too many indice). "
		"Area1=0(characters=3) Area2=1(characters=20) indice size=1,0");
	ExpectRefused("A01", "A02", {0, 1, 2, 3}, {}, "invalid parameter(too many indice)");
	ExpectRefused("A01", "A02", {1, 1}, {0, 2}, "TMorvalethGame::MoveCharacter invalid parameter(indice contains "
		"duplication). Area1=0 Area2=1");
	// A position out of range is found before anything has moved.
	ExpectRefused("A01", "A02", {1, 2}, {5, 20}, "invalid parameter(index out of range). Area1=0 Area2=1");
	ExpectRefused("A01", "A02", {-1}, {0}, "invalid parameter(index out of range)");
	ExpectRefused("A01", "A01", {1}, {}, "invalid parameter(same area)");
}
