#ifndef MORVALETH_MODEL_CHARADATA_H
#define MORVALETH_MODEL_CHARADATA_H

#include <string>
#include <vector>

/// Battle events that start a character's automatic special or script.
enum TCharaEvent
{
	EVENT_NONE,
	EVENT_MEDEAD,
	EVENT_MYSIDEDEAD,
	EVENT_ENEMYDEAD,
};

/// One attack of a character: its power and the special it strikes with (-1 = no attack).
struct TCharaAttack
{
	int Power = 0;
	int Special = -1;
};

/// One character: every person or creature that can appear in the scenario.
struct TCharaData
{
	std::string id;
	std::string Name;
	/// Chip and face image files.
	std::string BattleChip;
	std::string Face;
	/// Character folder whose characters file defined it.
	int DirIndex = 0;
	/// Image-store indices of the chip and the face; -1 until the game's images load (face: -1 = none).
	int ChipImage = -1;
	int FaceImage = -1;
	/// Rank per magic group, in group table order; 0 = cannot use the group.
	std::vector<int> MagicRanks;
	/// TResistanceLevel per attribute, in attribute table order; 0 = not given.
	std::vector<int> Resistances;
	bool Hero = false;
	/// Set for the character of a master.
	bool IsMaster = false;
	bool DeadMessage = false;
	bool NoWander = false;
	/// Race index.
	int Race = 0;
	int EmployCost = 0;
	/// Upkeep per turn.
	int TurnCost = 0;
	/// Move type index.
	int MoveType = -1;
	int Movable = 0;
	int HP = 0;
	int MP = 0;
	int PhysicalAttack = 0;
	int PhysicalDefense = 0;
	int Skill = 0;
	int Speed = 0;
	int MagicAttack = 0;
	int MagicDefense = 0;
	int Morale = 0;
	int Aggressive = 0;
	int HPRecover = 0;
	int MPRecover = 0;
	/// The character's own special (also the one allowed after moving), -1 = none, and its uses.
	int Special = -1;
	int SpecialCount = 0;
	/// A second attack special, -1 = none, and its uses; no file sets it.
	int SecondAttack = -1;
	int SecondAttackCount = 0;
	/// Special used by itself on a TCharaEvent; -1 = none.
	int AutoSpecial = -1;
	int AutoSpecialEvent = EVENT_NONE;
	/// Script function run on a TCharaEvent; empty = none.
	std::string AutoScript;
	int AutoScriptEvent = EVENT_NONE;
	/// Worth in experience; never 0 once loaded.
	int Experience = 1;
	/// Power figure; a character in play is worth it times 1000. Never 0 once loaded.
	int Power = 1;
	/// Turns in which the character may appear as a wandering hero; TurnMax -1 = no limit.
	int TurnMin = 0;
	int TurnMax = -1;
	/// Races the character commands in battle.
	std::vector<int> BeastTamer;
	/// Target group the character belongs to; -1 = none.
	int TargetGroup = -1;
	std::vector<TCharaAttack> Attacks;
	/// Characters it may hire, by id and, once resolved, by index.
	std::vector<std::string> EmployableIds;
	std::vector<int> Employable;
	/// Character it becomes on a class change, by id and, once resolved, by index (-1 = none).
	std::string ClassChangeNext;
	int ClassChange = -1;
};

#endif
