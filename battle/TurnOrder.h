#ifndef MORVALETH_BATTLE_TURNORDER_H
#define MORVALETH_BATTLE_TURNORDER_H

#include "battle/BattleField.h"

/// Gauge points a chara pays to act.
const int GAUGE_TO_ACT = 500;
/// Gauge fills in one battle turn.
const int GAUGE_FILLS_PER_TURN = 5;

/// The battle turn (from 1) and the gauge fills done in it.
struct TBattleClock
{
	/// The battle turn, from 1 up to the turn limit.
	int turn = 1;
	/// Gauge fills done in the turn, 0..GAUGE_FILLS_PER_TURN.
	int tick = 0;
};

/// What the turn order found.
enum class TTurnOrder
{
	/// A chara acts now.
	Chara,
	/// Nobody acts before the turn ends: the clock went on to the next turn.
	TurnOver,
	/// The last turn ended.
	TurnLimit,
};

/// The first able chara, side by side and in list order, with a full gauge pays for its action and acts,
/// unless stone, paralysis or sleep hold it; when nobody can, every able chara's gauge fills, at most five
/// times a turn, each fill by its character's speed and a random 0..9.
TTurnOrder SelectNextChara(TBattleField& field, TBattleClock& clock, int turnMax, TCharaRef& chosen);

#endif
