#ifndef MORVALETH_MODEL_GAMERECORDS_H
#define MORVALETH_MODEL_GAMERECORDS_H

#include "app/HexGrid.h"

#include <string>
#include <utility>
#include <vector>
#include <boost/shared_ptr.hpp>

class TBattleMap;

/// Most characters one area holds.
const int AREA_CHARA_MAX = 20;
/// Highest rank of a character.
const int RANK_MAX = 5;
/// Remaining turns of an alliance without end.
const int ALLIANCE_ENDLESS = -1;
/// Summon state of a character that leaves no trace after its battle.
const int SUMMON_STATE_SUMMONED = 2;

/// Standing orders of an area, numbered as their keywords in the area data.
enum TAreaOperation
{
	OPERATION_TRAINING,
	OPERATION_SEARCH_HERO,
	OPERATION_BUILD_CITY,
	OPERATION_BUILD_WALL,
	OPERATION_BUILD_ROAD,
	OPERATION_COUNT,
};

/// One character in play: in an area, on the wandering or dead list, or as a battle copy.
struct TCharaInstance
{
	/// A blank record: every field as given below, brave full; copies copy every field.
	TCharaInstance() = default;

	/// Index of the character's definition.
	int CharaIndex = 0;
	int Rank = 0;
	/// 0 to 100 between rank-up checks.
	int Experience = 0;
	int HPMax = 0;
	int MPMax = 0;
	/// The six stats: the definition's, scaled by rank.
	int PhysicalAttack = 0;
	int PhysicalDefense = 0;
	int Skill = 0;
	int Speed = 0;
	int MagicAttack = 0;
	int MagicDefense = 0;
	/// Battle bonuses to the six stats, the recoveries, the attack count and the move points.
	int PhysicalAttackBonus = 0;
	int PhysicalDefenseBonus = 0;
	int SkillBonus = 0;
	int SpeedBonus = 0;
	int MagicAttackBonus = 0;
	int MagicDefenseBonus = 0;
	int HPRecoverBonus = 0;
	int MPRecoverBonus = 0;
	int AttackCountBonus = 0;
	int MovableBonus = 0;
	/// Has acted this turn on the world map.
	bool Actioned = false;
	int HP = 0;
	int MP = 0;
	/// Battle morale in percent.
	int Brave = 100;
	/// Power value: the definition's Power x 1000 + rank x 101.
	int Power = 0;
	/// Battles won.
	int WinCount = 0;
	/// Resistance level per attribute, copied from the definition.
	std::vector<int> Resistances;
	/// Move type in force, copied from the definition.
	int MoveType = -1;
	/// Battle cell and drawing slot.
	int BattleX = 0;
	int BattleY = 0;
	int DrawSlot = 0;
	/// Battle turn gauge.
	int ActionGauge = 0;
	/// 0 none, 1 has summoned, 2 summoned (leaves no trace after the battle).
	int SummonState = 0;
	/// Index of the summon partner in its side.
	int SummonPartner = 0;
	/// Left the battle by fleeing; the game moves it to a neighbouring area afterwards.
	bool Fled = false;
	/// Chose to flee in the battle; it leaves when the battle turn ends.
	bool Fleeing = false;
	/// Battle conditions: (condition number, value), sorted by condition.
	std::vector<std::pair<int, int>> Conditions;
	/// Specials received in the battle, sorted.
	std::vector<int> ReceivedSpecials;
};

/// One master in play.
struct TMasterInstance
{
	/// Index of the master's definition, which names its own character.
	int DataIndex = -1;
	/// False once the master has been defeated.
	bool Exists = true;
	/// The player controls this master.
	bool Player = false;
	/// Income and upkeep per turn, as last computed.
	int Income = 0;
	int Upkeep = 0;
	/// Treasury; may fall below 0 through upkeep.
	int Money = 0;
	/// Sum of the power of the master's areas, as last computed; the key of the master order.
	int Power = 0;
};

/// An alliance of two masters; it is the same alliance in either order of the two.
struct TAlliance
{
	int Master1 = -1;
	int Master2 = -1;
	/// Remaining turns; ALLIANCE_ENDLESS for an alliance without end.
	int Turns = 0;
};

/// One area in play.
struct TAreaInstance
{
	std::string id;
	std::string Name;
	int BaseIncome = 0;
	int CityMax = 0;
	int WallMax = 0;
	int RoadMax = 0;
	/// Development levels, each within 0 and its max; set through the game so that the battle map follows.
	int City = 0;
	int Wall = 0;
	int Road = 0;
	/// Share of the Wall max a new game starts with, in percent.
	int WallIni = 0;
	/// Scale of the inhabitant budget of a neutral area, in percent.
	int InhabitCost = 100;
	/// Standing order (TAreaOperation).
	int Operation = OPERATION_TRAINING;
	/// Idle characters counted for the hero search at the end of the owner's last turn.
	int OperationEffort = 0;
	/// Position on the world map.
	point_t Location;
	/// Neighbour ids as read, and the same neighbours as area indices, in that order.
	std::vector<std::string> NeighborIds;
	std::vector<int> Neighbors;
	/// Characters a neutral area is filled with.
	std::vector<int> Inhabit;
	/// Characters that can be hired here.
	std::vector<int> Employable;
	std::string Music;
	/// Mixer index of the music; -1 is silence.
	int MusicIndex = -1;
	/// Image-store index of the area's name image.
	int NameImage = -1;
	/// Master index of the owner; -1 for a neutral area.
	int Owner = -1;
	bool Ignore = false;
	/// The stationed characters in roster order, at most AREA_CHARA_MAX.
	std::vector<TCharaInstance> Charas;
	/// Paint points of the area on the power map.
	std::vector<point_t> PaintPoints;
	std::string BattleMapFile;
	/// The area's battle map; its city, wall and road objects mirror the levels.
	boost::shared_ptr<TBattleMap> BattleMap;
};

/// Position of the first character of that definition in the list; -1 when absent.
int FindCharaInList(const std::vector<TCharaInstance>& list, int charaIndex);

#endif
