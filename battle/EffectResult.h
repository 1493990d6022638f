#ifndef MORVALETH_BATTLE_EFFECTRESULT_H
#define MORVALETH_BATTLE_EFFECTRESULT_H

/// What one effect does to one cell: evaluated first, applied afterwards.
struct TEffectResult
{
	/// The cell the effect falls on.
	int x = 0;
	int y = 0;
	/// The use hit; a miss changes nothing and floats "Miss" over the cell.
	bool hit = false;
	/// Damage (positive) or healing (negative) for effects 0..8, the amount for 9, 10 and 12..20,
	/// the summoned chara's hit points for 29.
	int value = 0;
	/// The special that caused it; -1 for none.
	int special = -1;
	/// The dead chara a revival brings back: its side and index; -1 for none.
	int reviveSide = -1;
	int reviveIndex = -1;
	/// The character it comes back as: its own, or a new chara of another.
	int reviveChara = -1;
	/// The character a summoning calls.
	int summonChara = -1;
	/// The system effect to apply.
	int effect = 0;
};

#endif
