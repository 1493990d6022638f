#ifndef MORVALETH_SCRIPT_APISCENARIO_H
#define MORVALETH_SCRIPT_APISCENARIO_H

#include <vector>

struct lua_State;

// The engine functions through which the world-map scripts read and change the
// strategic state: areas, their owners and stationed characters, hiring, moves,
// the development levels, champions, the ending switches and the map focus.
// None of them works while a battle runs.

/// (): whether the game has been decided. (master id): whether it has, for that master: in play, played by
/// the player, not defeated, and its ending not switched off.
int api_scenario_is_ending(lua_State* L);
/// (master id, on): switches the master definition's scenario ending on or off; true.
int api_scenario_set_ending_enabled(lua_State* L);
/// (chara id): id of the first area, in area order, where the character stands; nothing when none.
int api_scenario_get_chara_exists_area(lua_State* L);
/// (master id): id of the master's area where its own character stands; false when there is none.
int api_scenario_get_master_exists_area(lua_State* L);
/// (area id): centres the world map on the area; true.
int api_scenario_focus_area(lua_State* L);
/// A table keyed by area id of {master = owner's id (absent for a neutral area), neighbor = neighbours' ids}.
int api_scenario_get_allarea(lua_State* L);
/// (area id): id of the area's owner; nothing for a neutral area.
int api_scenario_get_area_master(lua_State* L);
/// (area id): the number of characters stationed in the area.
int api_scenario_get_area_chara_count(lua_State* L);
/// (area id, position): the hire candidates of the character at the position, keyed by chara id, each
/// with the price a computer master pays for it.
int api_scenario_get_area_employable(lua_State* L);
/// (area id, position): {id, actioned, power} of the character at the position.
int api_scenario_get_area_chara(lua_State* L);
/// (area id): {id, actioned, power} of each character of the area, keyed from 1 in roster order.
int api_scenario_get_area_allchara(lua_State* L);
/// (area id, chara id[, past the limit]): puts the character into the area (a wandering hero with its record,
/// any other as new), refusing a full area unless the flag is true; true, or nothing when refused.
int api_scenario_insert_area_chara(lua_State* L);
/// (area id, area id, positions): moves the characters at the positions of the first area to the second, both
/// the current master's; whether the game moved them.
int api_scenario_move_area_chara(lua_State* L);
/// (chara id): erases the first of the definition from every area that holds one; true.
int api_scenario_remove_chara(lua_State* L);
/// (area id, amount): adds the amount to the area's city level, clamped to 0..its max; true.
int api_scenario_plus_area_city(lua_State* L);
/// (area id, amount): adds the amount to the area's wall level, clamped to 0..its max; true.
int api_scenario_plus_area_wall(lua_State* L);
/// (area id, amount): adds the amount to the area's road level, clamped to 0..its max; true.
int api_scenario_plus_area_road(lua_State* L);
/// (n): id of the hero with the n-th most wins (0-based); nothing when there is none or it has no win.
int api_scenario_get_champion(lua_State* L);
/// (chara id): the wins of the stationed character of the definition (the last area that holds one decides);
/// nothing when it stands nowhere.
int api_scenario_get_wincount(lua_State* L);
/// (area id, position, chara id): the character at the position hires the character into its area, the owner
/// paying; a hero already in the game is refused. Whether the game hired it.
int api_scenario_employ(lua_State* L);
/// (area id, position): sends the character at the position out of the game; whether the game did.
int api_scenario_dismiss(lua_State* L);

/// Master definitions whose scenario ending the scripts switched off; an index may stand several times.
extern std::vector<int> g_EndingFlags;
/// Switches every ending back on; the world map does it for each game it sets up, so no switch outlives its game.
void ClearEndingFlags();

#endif
