#ifndef MORVALETH_TESTS_UNIT_GAMEFIXTURE_H
#define MORVALETH_TESTS_UNIT_GAMEFIXTURE_H

#include "model/CharaData.h"
#include "model/MorvalethGame.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

class TMorvalethData;

/// The sample scenario's database, loaded once for every game test.
const TMorvalethData& SampleData();

/// A small world on the sample database, at game level 1 in turn 1:
///
///   A01 - A02 - A03 - A04
///    |     |     |
///   A05 - A06 - A07
///
/// leon (master 0, the player) holds A01 and A02, garm (master 1) A03 and A04,
/// sera (master 2) A05; A06 and A07 are neutral. Each master's character stands
/// in its first area and each master has 1000 in money.
class GameWorld : public ::testing::Test
{
protected:
	GameWorld() { BuildWorld(); }

	/// Builds the world above into the game, which must be fresh.
	void BuildWorld();

	/// Definition index of a character of the sample; fails the test when there is none.
	int Chara(const std::string& id) const;
	const TCharaData& Def(const std::string& id) const;
	/// Area index of an id of the world.
	int Area(const std::string& id) const;
	std::vector<TCharaInstance>& Charas(const std::string& area);
	/// Appends a new character to the area, as a chapter places it.
	TCharaInstance& Place(const std::string& area, const std::string& chara, int rank = 0);
	/// Appends new characters of that definition until the area holds count.
	void FillArea(const std::string& area, const std::string& chara, std::size_t count);
	/// Definition ids of the area's characters, in roster order.
	std::vector<std::string> Roster(const std::string& area) const;
	int Money(int master) const { return game.GetMaster(master).Money; }

	static constexpr int leon = 0;
	static constexpr int garm = 1;
	static constexpr int sera = 2;
	TMorvalethGame game;
};

#endif
