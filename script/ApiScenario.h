#ifndef MORVALETH_SCRIPT_APISCENARIO_H
#define MORVALETH_SCRIPT_APISCENARIO_H

#include <vector>

struct lua_State;

// The engine functions through which the world-map scripts read and change the
// strategic state: areas, their owners and stationed characters, hiring, moves,
// the development levels, champions, the ending switches and the map focus.
// None of them works while a battle runs.

int api_scenario_is_ending(lua_State* L);
int api_scenario_set_ending_enabled(lua_State* L);
int api_scenario_get_chara_exists_area(lua_State* L);
int api_scenario_get_master_exists_area(lua_State* L);
int api_scenario_focus_area(lua_State* L);
int api_scenario_get_allarea(lua_State* L);
int api_scenario_get_area_master(lua_State* L);
int api_scenario_get_area_chara_count(lua_State* L);
int api_scenario_get_area_employable(lua_State* L);
int api_scenario_get_area_chara(lua_State* L);
int api_scenario_get_area_allchara(lua_State* L);
int api_scenario_insert_area_chara(lua_State* L);
int api_scenario_move_area_chara(lua_State* L);
int api_scenario_remove_chara(lua_State* L);
int api_scenario_plus_area_city(lua_State* L);
int api_scenario_plus_area_wall(lua_State* L);
int api_scenario_plus_area_road(lua_State* L);
int api_scenario_get_champion(lua_State* L);
int api_scenario_get_wincount(lua_State* L);
int api_scenario_employ(lua_State* L);
int api_scenario_dismiss(lua_State* L);

/// Master definitions whose scenario ending the scripts switched off; an index may stand several times.
extern std::vector<int> g_EndingFlags;
/// Switches every ending back on; the world map does it for each game it sets up, so no switch outlives its game.
void ClearEndingFlags();

#endif
