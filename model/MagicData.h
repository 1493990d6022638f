#ifndef MORVALETH_MODEL_MAGICDATA_H
#define MORVALETH_MODEL_MAGICDATA_H

#include <cstdint>
#include <string>
#include <vector>

/// Kinds of attribute, numbered as in the attribute file's type keywords.
enum TAttributeType
{
	ATTRIBUTE_NONE,
	ATTRIBUTE_ATTACK,
	ATTRIBUTE_BOOST,
	ATTRIBUTE_CRASHWALL,
	ATTRIBUTE_SUMMON,
	ATTRIBUTE_REVIVE,
};

/// Effects an attribute causes, numbered as the effect numbers of specials.
enum TSystemEffect
{
	EFFECT_NONE,
	EFFECT_NOEFFECT,
	EFFECT_POISON,
	EFFECT_STONE,
	EFFECT_PARALYZE,
	EFFECT_SLEEP,
	EFFECT_DREAM,
	EFFECT_DEATH,
	EFFECT_ABSORB,
	EFFECT_HPRECOVER,
	EFFECT_MPRECOVER,
	EFFECT_CRASHWALL,
	EFFECT_PLUSPHYSICALATTACK,
	EFFECT_PLUSPHYSICALDEFENSE,
	EFFECT_PLUSSKILL,
	EFFECT_PLUSSPEED,
	EFFECT_PLUSMAGICATTACK,
	EFFECT_PLUSMAGICDEFENSE,
	EFFECT_PLUSHPRECOVER,
	EFFECT_PLUSMPRECOVER,
	EFFECT_PLUSATTACKCOUNT,
	EFFECT_CUREPOISON,
	EFFECT_CURESTONE,
	EFFECT_CUREPARALYZE,
	EFFECT_CURESLEEP,
	EFFECT_CUREDREAM,
	EFFECT_CUREALL,
	EFFECT_CHANGERESISTANCE,
	EFFECT_CHANGEMOVETYPE,
	EFFECT_SUMMON,
	EFFECT_REVIVE,
	EFFECT_COUNT,
};

/// How a revival rule chooses the character that comes back.
enum TReviveMethod
{
	REVIVE_NONE,
	REVIVE_SAME,
	REVIVE_EMPLOYABLE,
	REVIVE_FROMLIST,
};

/// One step of a magic: the special it casts and the group rank it needs.
struct TMagicEntry
{
	std::string SpecialId;
	/// Index of the special; -1 until the magic is resolved.
	int SpecialIndex = -1;
	int Rank = 0;
};

/// One magic; the table keeps file order and a magic is known by its index.
struct TMagicData
{
	std::string id;
	std::string Name;
	std::string Guidance;
	/// Id of the magic group the magic belongs to.
	std::string GroupId;
	/// Uses allowed per battle; 0 = no limit.
	int Limit = 0;
	std::vector<TMagicEntry> Entries;
};

/// One magic group with the magic that belong to it.
struct TMagicGroupData
{
	std::string id;
	std::string Name;
	/// Indices of the magic whose group id is this group's, in magic table order.
	std::vector<int> Magic;
	/// Packed colour word (bytes R, G, B, A); all bits set when the file gives none.
	std::uint32_t Color = 0xFFFFFFFFu;
};

/// One race with its distances to every race.
struct TRaceData
{
	std::string id;
	std::string Name;
	/// Distance to each race by race index; 0 is the closest.
	std::vector<int> Affinity;
};

/// One attribute of attacks and specials.
struct TAttributeData
{
	std::string id;
	std::string Name;
	std::string ShortName;
	/// A TAttributeType.
	int type = ATTRIBUTE_NONE;
	/// A TSystemEffect; NoEffect when the file gives none.
	int SystemEffect = EFFECT_NONE;
};

/// One revival rule.
struct TReviveData
{
	std::string id;
	/// A TReviveMethod.
	int SelectMethod = REVIVE_NONE;
	/// Characters a FromList rule may bring back.
	std::vector<std::string> CharacterIds;
	/// Character indices parallel to the ids, filled once the characters are loaded.
	std::vector<int> CharacterIndices;
};

#endif
