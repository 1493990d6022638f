#ifndef MORVALETH_SCRIPT_APIMASTER_H
#define MORVALETH_SCRIPT_APIMASTER_H

struct lua_State;

// The engine functions that answer questions about masters, alliances, the turn
// counters and character definitions, and change a master's money or type. They
// work in world-map and battle scripts alike.

/// Id of the master whose turn it is; nothing, after an Error, when none is.
int api_get_current_master(lua_State* L);
/// (old master id, new master id, chara id): the master in play with the old definition takes the new one,
/// the new master's character standing in for the chara, in the running battle too. Refused for an unknown
/// id, an old master not in play, a new one already in play, or a new master's hero standing elsewhere.
int api_change_master_type(lua_State* L);
/// (master id): {money, player, name} of the master in play; nothing, after an Error, when it is not in play.
int api_get_master(lua_State* L);
/// (chara id): the character's definition index.
int api_get_chara_type(lua_State* L);
/// (master id, chara id): whether the character stands in the master's areas; while a battle runs, a copy of it
/// on the master's side must also still have hit points.
int api_exists_hero(lua_State* L);
/// Ids of the masters defeated and not yet removed: existing, their own character in none of their areas.
int api_last_dead_master(lua_State* L);
/// The chapter, from 1.
int api_get_chapter_number(lua_State* L);
/// The turn counter.
int api_get_turn(lua_State* L);
/// The count of turns played.
int api_get_progressed_turn(lua_State* L);
/// (master id, master id): the turns the two masters' alliance still runs; nothing when they have none.
int api_find_alliance(lua_State* L);
/// (master id, master id): the price of topping the two masters' alliance up to its full term (0 for an
/// endless one); both must be in play.
int api_get_alliance_cost(lua_State* L);
/// Ids of every master in play, defeated ones included, in master order.
int api_get_allmaster(lua_State* L);
/// (master id): whether the master is in play and not defeated; false when it never came into play.
int api_master_is_exists(lua_State* L);
/// (master id): whether the player plays the master; false when it is not in play.
int api_master_is_player(lua_State* L);
/// (master id, amount): adds the amount (may be negative) to the master's money, held at the 32-bit limits;
/// true, or nothing when the master is not in play.
int api_master_plus_ley(lua_State* L);
/// (master id): the master's money; nothing when it is not in play.
int api_master_get_ley(lua_State* L);
/// (chara id): {id, power} of the character's definition.
int api_get_chara_data(lua_State* L);
/// (chara id): id of the owner of the area where the character stands; nothing when it stands nowhere or
/// the area is neutral.
int api_get_chara_master(lua_State* L);

#endif
