#ifndef MORVALETH_MODEL_TERRAINDATA_H
#define MORVALETH_MODEL_TERRAINDATA_H

#include <string>
#include <vector>

// A battle cell has a map type: the ground index 0..G-1, or G + the object
// index when an object stands on it. Objects 1 to 4 are city, wall, road and castle.

/// One move type: what entering and fighting on every map type costs and gives.
struct TMoveTypeData
{
	std::string id;
	std::string Name;
	/// Move points needed to enter each map type (never 0 after loading).
	std::vector<int> MoveCost;
	/// Skill value on each map type.
	std::vector<int> Skill;
};

#endif
