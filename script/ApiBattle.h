#ifndef MORVALETH_SCRIPT_APIBATTLE_H
#define MORVALETH_SCRIPT_APIBATTLE_H

struct lua_State;

// The engine functions through which the battle scripts read the running battle
// and command its charas: the map, neighbour cells, sides, charas and their status,
// movable cells and move layers, the actions of the acting chara, their preview and
// commitment, the retreat cell, courage, and changes to map chips and objects.
// Charas are (side, index), cells (x, y); a side, index, cell or action that the
// battle does not have is refused before anything reaches it.

int api_battle_get_turn(lua_State* L);
int api_battle_get_map_size(lua_State* L);
int api_battle_get_map_height(lua_State* L);
int api_battle_get_movetype_totalcost(lua_State* L);
int api_battle_get_movetype_totalskill(lua_State* L);
int api_battle_get_movable(lua_State* L);
int api_battle_get_movable_layer(lua_State* L);
int api_battle_get_move_layer_from(lua_State* L);
int api_battle_get_neighbor(lua_State* L);
int api_battle_get_neighbor_sorted(lua_State* L);
int api_battle_get_is_defense_side(lua_State* L);
int api_battle_get_master_list(lua_State* L);
int api_battle_get_my_master(lua_State* L);
int api_battle_get_enemy_master(lua_State* L);
int api_battle_get_chara_count(lua_State* L);
int api_battle_get_active_chara(lua_State* L);
int api_battle_get_chara_on(lua_State* L);
int api_battle_get_chara_status(lua_State* L);
int api_battle_get_action_list(lua_State* L);
int api_battle_get_last_target(lua_State* L);
int api_battle_eval_action(lua_State* L);
int api_battle_set_action(lua_State* L);
int api_battle_get_auto_runaway(lua_State* L);
int api_battle_set_chara_brave(lua_State* L);
int api_battle_set_map_chip(lua_State* L);
int api_battle_rm_map_obj(lua_State* L);

#endif
