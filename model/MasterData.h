#ifndef MORVALETH_MODEL_MASTERDATA_H
#define MORVALETH_MODEL_MASTERDATA_H

#include "app/HexGrid.h"

#include <cstdint>
#include <string>
#include <vector>

/// One master, a power that holds areas; its id is also the id of its character.
struct TMasterData
{
	std::string id;
	std::string Name;
	std::string Music;
	std::string BattleMusic;
	std::string MasterBattleMusic;
	/// Mixer indices of the three music files; -1 until the game's sounds load, and where none loaded.
	int MusicIndex = -1;
	int BattleMusicIndex = -1;
	int MasterBattleMusicIndex = -1;
	/// Packed colour word (bytes R, G, B, A) of the master's areas on the power map.
	std::uint32_t PowerMapColor = 0xFF000000u;
	/// Image file of the master's flag.
	std::string FlagFile;
	/// Index of the character whose id is the master's; -1 until resolved.
	int CharaIndex = -1;
	/// Image-store index of the flag; -1 until the game's images load.
	int FlagImage = -1;
};

/// One area of the power map and the pixels its colour is filled from.
struct TPowerMapAreaData
{
	std::string id;
	/// Seed pixels of the power map picture, in file order.
	std::vector<point_t> PaintPoints;
};

#endif
