#ifndef MORVALETH_SCRIPT_APIBATTLE_H
#define MORVALETH_SCRIPT_APIBATTLE_H

struct lua_State;

// The engine functions through which the battle scripts read the running battle
// and command its charas: the map, neighbour cells, sides, charas and their status,
// movable cells and move layers, the actions of the acting chara, their preview and
// commitment, the retreat cell, courage, and changes to map chips and objects.
// Charas are (side, index), cells (x, y); a side, index, cell or action that the
// battle does not have is refused before anything reaches it. Those that need a
// running battle refuse a call outside one; a call refused for its context or its
// argument types returns nothing.

/// The battle turn, from 1.
int api_battle_get_turn(lua_State* L);
/// Width and height of the battle map.
int api_battle_get_map_size(lua_State* L);
/// (x, y): the cell's current height on the running or last battle's map.
int api_battle_get_map_height(lua_State* L);
/// (move type): the move type's cost summed over the running or last battle's map.
int api_battle_get_movetype_totalcost(lua_State* L);
/// (move type): the move type's skill summed over the running or last battle's map.
int api_battle_get_movetype_totalskill(lua_State* L);
/// Cell records {x, y}, keyed from 0, of every cell the acting chara's movable layer marks, in ring order around
/// the chara.
int api_battle_get_movable(lua_State* L);
/// The acting chara's movable layer as last computed, its move points left per cell (0 where it does not reach),
/// keyed y x width + x from 0.
int api_battle_get_movable_layer(lua_State* L);
/// (side, index, x, y, points, wall passing): for that chara moving from the cell with the points, a
/// record {value, fromx, fromy} per cell keyed y x width + x from 0: the points left and the cell it came from.
int api_battle_get_move_layer_from(lua_State* L);
/// (x, y, radius): records {x, y}, keyed from 1, of the cells of rings 0..radius on the running or last
/// battle's map, nearest ring first; a radius past the ring table is refused.
int api_battle_get_neighbor(lua_State* L);
/// The cells api_battle_get_neighbor gives, ordered by row, then column.
int api_battle_get_neighbor_sorted(lua_State* L);
/// (side): true for side 0, the defenders.
int api_battle_get_is_defense_side(lua_State* L);
/// {the script's side, the other side}.
int api_battle_get_master_list(lua_State* L);
/// The side the script acts for.
int api_battle_get_my_master(lua_State* L);
/// {the side the script does not act for}.
int api_battle_get_enemy_master(lua_State* L);
/// (side): the number of the side's charas.
int api_battle_get_chara_count(lua_State* L);
/// Side and index of the chara whose turn it is.
int api_battle_get_active_chara(lua_State* L);
/// (x, y): side and index of the chara on the cell; nothing when none stands there.
int api_battle_get_chara_on(lua_State* L);
/// (side, index): a record of the chara: cell, points, stats and their bonuses, conditions and resistances
/// keyed from 0, attack count, morale, aggressiveness and whether it is a master.
int api_battle_get_chara_status(lua_State* L);
/// (x, y): records {actiontype, targetx, targety, special}, keyed from 1, of the actions the acting chara
/// may take after moving to the cell.
int api_battle_get_action_list(lua_State* L);
/// The cell of the battle's last target; nothing while there was none.
int api_battle_get_last_target(lua_State* L);
/// (move x, move y, kind, target x, target y, special): previews the acting chara's action without committing
/// it; a record per effect {x, y, masterindex, charaindex, value, systemeffect, resattr, restype, movetype, and
/// revivecharaid or summoncharaid}; nothing when the action is refused.
int api_battle_eval_action(lua_State* L);
/// (move x, move y, kind, target x, target y, special): commits the acting chara's action; only the script of
/// the acting chara's side may. False when refused, so that the script can try another.
int api_battle_set_action(lua_State* L);
/// The reachable cell least threatened by the enemy for the acting chara; nothing when there is none.
int api_battle_get_auto_runaway(lua_State* L);
/// (side, index, courage): sets the chara's courage, clamped to 0..100; true.
int api_battle_set_chara_brave(lua_State* L);
/// (x, y, chip): changes the cell's terrain chip to one the scenario defines; true.
int api_battle_set_map_chip(lua_State* L);
/// (x, y[, kind]): removes the cell's map object, only one of the kind when a kind is given; true.
int api_battle_rm_map_obj(lua_State* L);

#endif
