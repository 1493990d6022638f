#include "BattleFixture.h"

#include "model/MorvalethGame.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace
{
/// A 10 x 8 plain map: a wall at (4,2) and (6,5), the castle at (5,5); the attackers from area 2 start on
/// (1,0), (3,2) beside the first wall, (4,5) beside the castle, (8,7) and the first rows.
TMapPlan MenuPlan()
{
	TMapPlan plan;
	plan.rows = {"..........", "..........", "....W.....", "..........", "..........", ".....KW...", "..........",
		".........."};
	std::vector<point_t> points = {{1, 0}, {3, 2}, {4, 5}, {8, 7}};
	// A map needs 20 start points for each neighbour: the rest lie in the first rows.
	for (const point_t& point : RowPoints(10, 0, 20))
		if (points.size() < 20 && std::find(points.begin(), points.end(), point) == points.end())
			points.push_back(point);
	plan.startPoints = {{2, points}};
	return plan;
}

class BattleCommandMenu : public BattleRun
{
};
}

// Which commands the bar offers, by what stands next to the chara, its side, whether it moved and
// whether its side's defenders may still flee. The player places one chara on a start point (the
// defenders' castle for side 0) facing a single computer chara that stands on the castle or on the
// first start point; the repeat buttons stay off, as nothing was used before.
TEST_F(BattleCommandMenu, WhatTheBarOffers)
{
	struct TCase
	{
		const char* what;
		int side;
		const char* chara;
		const char* enemy;
		point_t cell;
		point_t moveTo;
		bool roomToFlee;
		// wait, move, attack, magic, special, charge, repeat own, repeat side, flee
		const char* offered;
	};
	const TCase cases[] = {
		{"alone", 1, "wolf", "guard", {1, 0}, {-1, 0}, true, "110100001"},
		{"next to an armed enemy", 1, "wolf", "guard", {4, 5}, {-1, 0}, true, "111101000"},
		{"next to an unarmed enemy", 1, "wolf", "lamb", {4, 5}, {-1, 0}, true, "111101001"},
		{"an attacker next to a wall", 1, "wolf", "guard", {3, 2}, {-1, 0}, true, "111100001"},
		{"after a move", 1, "wolf", "guard", {1, 0}, {2, 0}, true, "100000001"},
		{"a defender next to a wall", 0, "guard", "wolf", {5, 5}, {-1, 0}, true, "110100001"},
		{"a defender with no room to flee", 0, "guard", "wolf", {5, 5}, {-1, 0}, false, "110100000"},
	};
	for (const TCase& c : cases) {
		SCOPED_TRACE(c.what);
		TRecordingBattleView shown(3);
		TBattleMapLogic battle(shown, BattleData(), game);
		game.GetMaster(alda).Player = c.side == 0;
		game.GetMaster(brom).Player = c.side == 1;
		game.GetArea(1).Owner = c.roomToFlee ? alda : brom;
		std::vector<std::vector<TCharaInstance>> board(2);
		std::vector<std::vector<int>> from(2);
		board[c.side].push_back(game.CreateCharaInstance(CharaIndexOf(c.chara), 0));
		board[1 - c.side].push_back(game.CreateCharaInstance(CharaIndexOf(c.enemy), 0));
		from[0].assign(1, -1);
		from[1].assign(1, 2);
		map = BuildMap(MenuPlan());
		ASSERT_TRUE(map);
		map->ReleaseMapType();
		ASSERT_FALSE(battle.Start(*map, {&board[0], &board[1]}, masters, 0, from));
		for (int frame = 0; frame < 10 && battle.GetState() != STATE_PLAYER_PLACING; ++frame)
			battle.DoLogic();
		ASSERT_EQ(STATE_PLAYER_PLACING, battle.GetState());
		battle.MapPressed(c.cell.x, c.cell.y, true);
		for (int frame = 0; frame < 10 && battle.GetState() != STATE_MAIN; ++frame)
			battle.DoLogic();
		board[c.side][0].ActionGauge = 500;
		battle.DoLogic();
		ASSERT_EQ(STATE_COMMAND, battle.GetState());
		if (c.moveTo.x != -1) {
			battle.CommandPressed(COMMAND_MOVE);
			battle.MapPressed(c.moveTo.x, c.moveTo.y, true);
			for (int frame = 0; frame < 100 && battle.GetState() != STATE_COMMAND_MOVED; ++frame)
				battle.DoLogic();
			ASSERT_EQ(STATE_COMMAND_MOVED, battle.GetState());
		}
		std::string offered;
		for (bool enabled : shown.m_Menu.enabled)
			offered += enabled ? '1' : '0';
		EXPECT_EQ(c.offered, offered);
	}
}
