#ifndef MORVALETH_TESTS_GAMEDESCRIPTION_H
#define MORVALETH_TESTS_GAMEDESCRIPTION_H

#include "model/MorvalethGame.h"

#include <string>
#include <vector>

// A game state as text, so that two states compare at a glance.

/// The game-state elements of the game under a "Save" element, as text; empty when the game refuses to save.
std::string SaveGameText(const TMorvalethGame& game);

/// Every field of the chara; a listed one (wandering or dead) without its acted flag and points.
std::string DescribeChara(const TCharaInstance& chara, bool listed);

/// Every field of the game that a save keeps or that loading rebuilds, one line per record.
std::vector<std::string> DescribeGame(TMorvalethGame& game);

#endif
