#ifndef MORVALETH_SCRIPT_BATTLEINTERFACE_H
#define MORVALETH_SCRIPT_BATTLEINTERFACE_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"
#include "model/GameRecords.h"

#include <vector>

class TBattleMap;

/// Kinds of action a chara takes on its turn, numbered as the scripts number them.
enum TBattleActionKind
{
	/// Ends the turn on the cell moved to; aims at nothing.
	ACTION_KIND_WAIT,
	/// Strikes an adjacent enemy, the two striking in turn with their attacks, or, for an attacker, a wall.
	ACTION_KIND_ATTACK,
	/// An attack in which both repeat their first strike through the whole exchange; only without a move first,
	/// and never at an enemy standing on a map object.
	ACTION_KIND_CHARGE,
	/// Uses magic or the chara's own special on the target cell; after a move only its own special.
	ACTION_KIND_SPECIAL,
	/// Leaves the battle from a cell no enemy is next to (the defenders only while their neighbouring areas
	/// have room for them).
	ACTION_KIND_RUNAWAY,
};

/// One action the acting chara may take: its kind, the cell it aims at and its special (-1 = none).
struct TBattleAction
{
	/// What the chara does (TBattleActionKind).
	int kind = ACTION_KIND_WAIT;
	/// The cell it aims at: the enemy's for an attack or a charge, the aim of a special, its own for a flight.
	int targetX = 0;
	int targetY = 0;
	/// The special it uses; -1 for every kind but ACTION_KIND_SPECIAL.
	int special = -1;
};

/// What one previewed effect would do on one cell.
struct TEffectPreview
{
	/// The cell the effect falls on; every strike of an attack gives the target's cell, whichever chara it strikes.
	int x = 0;
	int y = 0;
	/// Side and index of the chara it falls on (for a strike, the chara struck); -1 when none.
	int side = -1;
	int index = -1;
	/// Damage (positive) or healing (negative), or the amount the effect gives, as the battle's effect results
	/// count it.
	int value = 0;
	/// Attribute and resistance a ChangeResistance effect gives; -1 and 0 otherwise.
	int resistanceAttribute = -1;
	int resistance = 0;
	/// Move type a ChangeMoveType effect gives; -1 otherwise.
	int moveType = -1;
	/// Character a revival brings back and character a summoning calls; -1 otherwise.
	int reviveChara = -1;
	int summonChara = -1;
	/// System effect number.
	int effect = 0;
};

/// What the battle scripts see of the running battle and how they command it. Sides are numbered
/// from 0 (the defenders), charas by their index in their side. Every operation checks its side,
/// index and cell and refuses bad ones with an Error, changing nothing.
class TBattleInterface
{
public:
	/// A battle is running: it has started and has neither ended nor stopped after an error.
	virtual bool IsInBattle() const = 0;
	/// The battle turn, from 1.
	virtual int GetTurn() const = 0;
	/// Size of the battle map; false, 0 x 0, while the controller has never held one.
	virtual bool GetMapSize(int& width, int& height) const = 0;
	/// Current height of a cell; false for a cell off the map.
	virtual bool GetMapHeight(int x, int y, int& height) const = 0;
	/// The battle map of the running or last battle; null before the first.
	virtual TBattleMap* GetBattleMap() = 0;
	/// Total move cost of the move type over the map; -1 for an unknown move type.
	virtual int GetMoveTypeCost(int moveType) const = 0;
	/// Total skill of the move type over the map; -1 for an unknown move type.
	virtual int GetMoveTypeSkill(int moveType) const = 0;
	/// The move points the acting chara has left on every cell, as last computed.
	virtual TValueLayer<int> GetMovableLayer() const = 0;
	/// Fills map-sized layers with the points left and the cell each cell is reached from, for the chara
	/// moving from (x, y) with the points; false when the cell or the layers do not fit the map.
	virtual bool GetMoveLayer(int side, const TCharaInstance& chara, int x, int y, int points,
		TValueLayer<int>& move, TValueLayer<point_t>& from, bool wallPassing) = 0;
	/// Side of the master with that definition; -1 when no side has it.
	virtual int GetSideIndex(int masterData) const = 0;
	/// The chara whose turn it is.
	virtual void GetActiveChara(int& side, int& index) const = 0;
	/// Number of charas of the side; -1 for a bad side.
	virtual int GetCharaCount(int side) const = 0;
	/// The chara standing on the cell; false when none.
	virtual bool GetCharaOn(int x, int y, int& side, int& index) const = 0;
	/// Index of the first chara of the side with that character definition; false when none.
	virtual bool FindChara(int side, int charaData, int& index) const = 0;
	/// A copy of the chara; false for a bad side or index.
	virtual bool GetCharaStatus(int side, int index, TCharaInstance& chara) const = 0;
	/// A new chara of the definition at the rank; the battle places it nowhere.
	virtual TCharaInstance CreateCharaInstance(int charaData, int rank) const = 0;
	/// The actions the acting chara may take from the cell.
	virtual void GetActionList(int x, int y, std::vector<TBattleAction>& actions) = 0;
	/// Cell of the last target of the battle; false while there was none.
	virtual bool GetLastTarget(int& x, int& y) const = 0;
	/// Checks an action of the acting chara after a move to (moveX, moveY) and previews its effects; commits nothing.
	virtual bool EvalAction(int moveX, int moveY, int kind, int special, int targetX, int targetY,
		std::vector<TEffectPreview>& previews) = 0;
	/// Checks and commits an action of the acting chara after a move to (moveX, moveY).
	virtual bool SetAction(int moveX, int moveY, int kind, int special, int targetX, int targetY) = 0;
	/// The reachable cell least threatened by the enemy; false, with the chara's own cell, when none.
	virtual bool GetAutoRunaway(point_t& cell) = 0;
	/// Sets the chara's courage, clamped to 0..100.
	virtual void SetCharaBrave(int side, int index, int value) = 0;
	/// Makes the chara another character, keeping its rank, experience, HP and MP.
	virtual bool ChangeChara(int side, int index, int charaData) = 0;
	/// Changes the terrain chip of a cell.
	virtual bool SetMapChip(int x, int y, int chip) = 0;
	/// Removes the object of a cell.
	virtual bool RemoveMapObj(int x, int y) = 0;
	/// Removes the object of a cell when it is of the kind.
	virtual bool RemoveMapObjOfType(int x, int y, int kind) = 0;

protected:
	/// Never deleted through the interface: the world map owns the battle controller.
	~TBattleInterface() = default;
};

#endif
