#ifndef MORVALETH_SCRIPT_APIMASTER_H
#define MORVALETH_SCRIPT_APIMASTER_H

struct lua_State;

// The engine functions that answer questions about masters, alliances, the turn
// counters and character definitions, and change a master's money or type. They
// work in world-map and battle scripts alike.

int api_get_current_master(lua_State* L);
int api_change_master_type(lua_State* L);
int api_get_master(lua_State* L);
int api_get_chara_type(lua_State* L);
int api_exists_hero(lua_State* L);
int api_last_dead_master(lua_State* L);
int api_get_chapter_number(lua_State* L);
int api_get_turn(lua_State* L);
int api_get_progressed_turn(lua_State* L);
int api_find_alliance(lua_State* L);
int api_get_alliance_cost(lua_State* L);
int api_get_allmaster(lua_State* L);
int api_master_is_exists(lua_State* L);
int api_master_is_player(lua_State* L);
int api_master_plus_ley(lua_State* L);
int api_master_get_ley(lua_State* L);
int api_get_chara_data(lua_State* L);
int api_get_chara_master(lua_State* L);

#endif
