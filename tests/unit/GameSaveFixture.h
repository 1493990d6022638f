#ifndef MORVALETH_TESTS_UNIT_GAMESAVEFIXTURE_H
#define MORVALETH_TESTS_UNIT_GAMESAVEFIXTURE_H

#include "model/MorvalethGame.h"
#include "support/GameDescription.h"

#include <string>
#include <vector>

/// A new game of the sample's chapter (0-based) at the level; fails the test when it cannot be built.
void NewSampleGame(TMorvalethGame& game, int chapter, int level = 3);

/// A new game of the chapter played from a seed: inhabitants placed, standing orders of every kind,
/// found heroes hired, a battle for the third master's home area, and a few turns of the rules.
void PlaySampleGame(TMorvalethGame& game, int chapter, unsigned seed);

/// The game-state elements of the game under a "Save" element, as text; empty when the game refuses to save.
std::string SaveText(const TMorvalethGame& game);

/// Parses the text and loads its "Save" element as the sample's chapter; false when either fails.
bool LoadSaveText(TMorvalethGame& game, const std::string& text, int chapter = 0);

#endif
