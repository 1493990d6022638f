#ifndef MORVALETH_TESTS_GAMEDESCRIPTION_H
#define MORVALETH_TESTS_GAMEDESCRIPTION_H

#include "model/MorvalethGame.h"

class TMorvalethData;

#include <string>
#include <vector>

// A game state as text, so that two states compare at a glance.

/// The game-state elements of the game under a "Save" element, as text; empty when the game refuses to save.
std::string SaveGameText(const TMorvalethGame& game);

/// Every field of the chara; a listed one (wandering or dead) without its acted flag and points.
std::string DescribeChara(const TCharaInstance& chara, bool listed);

/// Every field of the game that a save keeps or that loading rebuilds, one line per record.
std::vector<std::string> DescribeGame(TMorvalethGame& game);

/// The first master whose kept income or upkeep is not what a count over the whole map gives (the areas'
/// incomes, the turn costs of the heroes stationed in them, each sum held at the 32-bit limits), with both
/// figures; empty when every master's agree. Reads the game without touching an area.
std::string IncomeMismatch(const TMorvalethGame& game, const TMorvalethData& data);

#endif
