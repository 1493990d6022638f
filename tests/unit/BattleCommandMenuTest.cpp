#include "BattleFixture.h"

#include "battle/HexGeometry.h"
#include "model/MorvalethGame.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace
{
/// A 10 x 8 plain map: a wall at (4,2) and (6,5), the castle at (5,5), and walls all around (8,7) in the
/// corner; the attackers from area 2 start on the given points first, then on (1,0), (3,2) beside the first
/// wall, (4,5) beside the castle, (8,7) and the first rows.
TMapPlan MenuPlan(std::vector<point_t> points)
{
	TMapPlan plan;
	plan.rows = {"..........", "..........", "....W.....", "..........", "..........", ".....KW...", "........WW",
		".......W.."};
	// A map needs 20 start points for each neighbour: the rest lie in the first rows.
	std::vector<point_t> more = {{1, 0}, {3, 2}, {4, 5}, {8, 7}};
	const std::vector<point_t> rows = RowPoints(10, 0, 20);
	more.insert(more.end(), rows.begin(), rows.end());
	for (const point_t& point : more)
		if (points.size() < 20 && std::find(points.begin(), points.end(), point) == points.end())
			points.push_back(point);
	plan.startPoints = {{2, points}};
	return plan;
}

class BattleCommandMenu : public BattleRun
{
protected:
	/// Presses the charge: the enemies next to the chara are offered exactly where no map object stands,
	/// and the first one offered is charged.
	void ExpectTheChargeTakesWhatItOffers(TBattleMapLogic& battle, const TRecordingBattleView& shown, int side)
	{
		battle.CommandPressed(COMMAND_CHARGE);
		ASSERT_EQ(STATE_CHOOSE_CHARGE, battle.GetState());
		const TCharaInstance& chara = (*battle.GetField().sides[side])[0];
		std::vector<point_t> offered;
		for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
			const point_t cell = GetAdjacentCell(chara.BattleX, chara.BattleY, k);
			TCharaRef ref;
			if (!map->IsOnMap(cell.x, cell.y) || !battle.GetField().CharaOn(cell.x, cell.y, ref) || ref.side == side)
				continue;
			const bool open = shown.m_Selection->At(cell.x, cell.y) == 0;
			EXPECT_EQ(map->GetMapObjectType(cell.x, cell.y) == 0, open) << "(" << cell.x << "," << cell.y << ")";
			if (open)
				offered.push_back(cell);
		}
		ASSERT_FALSE(offered.empty());
		battle.MapPressed(offered[0].x, offered[0].y, true);
		EXPECT_EQ(STATE_CHARGING, battle.GetState());
	}
};
}

// Which commands the bar offers, by what stands next to the chara, its side, whether it moved and
// whether its side's defenders may still flee. The player places one chara on a start point (the
// defenders' castle for side 0) facing computer charas that stand around the castle or on the first
// start points; the repeat buttons stay off, as nothing was used before. A charge offered takes every
// enemy next to the chara that it offers, and offers none that stands on a map object.
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
		int enemies = 1;
		/// Start points the computer's attackers take first.
		std::vector<point_t> attackerStarts = {};
	};
	const TCase cases[] = {
		{"alone", 1, "wolf", "guard", {1, 0}, {-1, 0}, true, "110100001"},
		{"next to an armed enemy on the castle", 1, "wolf", "guard", {4, 5}, {-1, 0}, true, "111100000"},
		{"next to an unarmed enemy on the castle", 1, "wolf", "lamb", {4, 5}, {-1, 0}, true, "111100001"},
		{"an attacker next to a wall", 1, "wolf", "guard", {3, 2}, {-1, 0}, true, "111100001"},
		{"walled in", 1, "wolf", "guard", {8, 7}, {-1, 0}, true, "101100001"},
		{"a defender next to enemies on a wall and on the plain", 0, "guard", "wolf", {5, 5}, {-1, 0}, true,
			"111101000", 2, {{6, 5}, {4, 5}}},
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
		board[1 - c.side].assign(c.enemies, game.CreateCharaInstance(CharaIndexOf(c.enemy), 0));
		from[0].assign(board[0].size(), -1);
		from[1].assign(board[1].size(), 2);
		map = BuildMap(MenuPlan(c.attackerStarts));
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
		if (shown.m_Menu.enabled[COMMAND_CHARGE])
			ExpectTheChargeTakesWhatItOffers(battle, shown, c.side);
	}
}
