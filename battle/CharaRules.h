#ifndef MORVALETH_BATTLE_CHARARULES_H
#define MORVALETH_BATTLE_CHARARULES_H

#include "model/CharaData.h"
#include "model/GameRecords.h"

/// Summon state of a chara that has called another and may not act while it stays.
const int SUMMON_STATE_SUMMONER = 1;

/// The chara has the condition (an effect number 2..6).
bool HasCondition(const TCharaInstance& chara, int condition);
/// Gives the chara the condition anew, its age back to 0; the list stays sorted, one entry per condition.
void SetCondition(TCharaInstance& chara, int condition);
/// Takes the condition from the chara, when it has it.
void RemoveCondition(TCharaInstance& chara, int condition);
/// Every condition of the chara grows one battle turn older.
void AgeConditions(TCharaInstance& chara);
/// Neither stone, paralysis nor sleep holds the chara.
bool IsFreeToAct(const TCharaInstance& chara);
/// The character has at least one attack with a special.
bool HasUsableAttack(const TCharaData& data);
/// The chara still fights: it has hit points and has neither fled nor chosen to flee.
bool IsStanding(const TCharaInstance& chara);
/// The chara is on the battle map.
inline bool IsOnField(const TCharaInstance& chara) { return chara.BattleX >= 0; }

#endif
