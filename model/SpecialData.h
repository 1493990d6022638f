#ifndef MORVALETH_MODEL_SPECIALDATA_H
#define MORVALETH_MODEL_SPECIALDATA_H

#include <string>
#include <vector>

/// What a special reaches, numbered as the "rangetype" keywords of the specials file.
enum TRangeType
{
	RANGE_NONE,
	RANGE_NORMAL,
	RANGE_ME,
	RANGE_STREAM,
	RANGE_ALLMYSIDE,
	RANGE_ALLENEMY,
	RANGE_ALLWALL,
	RANGE_LASTDEADMYSIDE,
	RANGE_LASTDEADENEMY,
	RANGE_ALLDEADMYSIDE,
	RANGE_ALLDEADENEMY,
	RANGE_LOWERTHAN,
};

/// Status values a special's power, guard, hit and avoid are read from.
enum TStatusType
{
	STATUS_NONE,
	STATUS_HP,
	STATUS_MP,
	STATUS_PHYSICALATTACK,
	STATUS_PHYSICALDEFENSE,
	STATUS_SKILL,
	STATUS_SPEED,
	STATUS_MAGICATTACK,
	STATUS_MAGICDEFENSE,
};

/// How a special's effect image is played.
enum TAnimationType
{
	ANIMATION_NONE,
	ANIMATION_CHIP,
	ANIMATION_CENTER,
	ANIMATION_STREAM,
	ANIMATION_SHOT,
	ANIMATION_SCREENCENTER,
};

/// Formulas of a special's power and hit chances.
enum TFormula
{
	FORMULA_NONE,
	FORMULA_FTATTACK,
	FORMULA_FTSPECIAL,
	FORMULA_FTMAGIC,
	FORMULA_ANYTIME,
	FORMULA_FTATTACKHIT,
	FORMULA_FTSPECIALHIT,
	FORMULA_FTMAGICHIT,
};

/// How the hit of a special's added effect is judged.
enum THitJudgeType
{
	JUDGE_NONE,
	JUDGE_SINGLE,
	JUDGE_DOUBLE,
	JUDGE_SEPARATE,
};

/// Resistance of a character to an attribute.
enum TResistanceLevel
{
	RESISTANCE_NONE,
	RESISTANCE_WEAK,
	RESISTANCE_NORMAL,
	RESISTANCE_STRONG,
	RESISTANCE_ABSORB,
};

/// One special: a skill, attack or effect used in battle by characters and magic.
struct TSpecialData
{
	std::string id;
	std::string Name;
	/// Character folder whose specials file defined it.
	int DirIndex = 0;
	/// A TRangeType.
	int RangeType = RANGE_NORMAL;
	/// Cells lower than this are reached; read for LowerThan only.
	int RangeHeight = 0;
	/// Move types the special has no effect on.
	std::vector<int> ExcludeMoveTypes;
	/// A TAnimationType.
	int AnimationType = ANIMATION_CHIP;
	/// TFormula of the power; 1 to 3 once loaded.
	int PowerFormula = FORMULA_NONE;
	/// TFormula of the hit.
	int HitFormula = FORMULA_NONE;
	/// TFormula of the added effect's hit.
	int AdditionalHitFormula = FORMULA_NONE;
	/// A THitJudgeType.
	int HitJudgeType = JUDGE_NONE;
	/// Frames of the effect image.
	int AnimationCount = 1;
	/// Size of one frame of the effect image.
	int ImageWidth = 0;
	int ImageHeight = 0;
	int ConsumeMP = 0;
	int MaxRange = 1;
	int MaxRadius = 0;
	/// Target group the special affects; -1 = every character.
	int TargetGroup = -1;
	int Power = 0;
	/// TStatusType of the caster's power and of the target's guard, hit and avoid.
	int PowerType = STATUS_NONE;
	int GuardType = STATUS_NONE;
	int HitType = STATUS_NONE;
	int AvoidType = STATUS_NONE;
	/// Attribute index.
	int Attribute = 0;
	std::string AdditionalString;
	/// Script function deciding whether the special may be used; empty = none.
	std::string ScriptBefore;
	/// Script function run after the special; empty = none.
	std::string ScriptAfter;
	/// Attribute and TResistanceLevel a ChangeResistance special gives; -1 and none otherwise.
	int ResistanceAttribute = -1;
	int ResistanceLevel = RESISTANCE_NONE;
	/// Move type a ChangeMoveType special gives; -1 otherwise.
	int MoveType = -1;
	/// Character id a summoning special calls, and its index once resolved (-1 = none).
	std::string SummonCharacter;
	int SummonCharaIndex = -1;
	/// Revival rule index of a Revive special; -1 otherwise.
	int Revive = -1;
	/// Effect image file; empty = no animation.
	std::string Image;
	/// Image-store index of the effect image.
	int EffectImage = 0;
	std::string Sound;
	/// Mixer index of the sound; -1 = silent.
	int SoundIndex = -1;
	/// Whether the special is added to the received specials of the characters it hits; no file sets it.
	bool PassOn = false;
};

/// The TResistanceLevel of a resistance keyword; none for a text that is no keyword.
int ResistanceLevelNumber(const std::string& text);

/// Name of effect number n (the system effect numbering); empty for a number outside 0..30.
const std::string& GetEffectName(int n);

#endif
