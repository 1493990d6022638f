#ifndef MORVALETH_SCRIPT_APITURN_H
#define MORVALETH_SCRIPT_APITURN_H

struct lua_State;

// The engine functions through which a script acts as a master on the world
// map: it ends the master's turn, sends an army to war or offers an alliance.
// The last two suspend the calling strategy script while the world map needs
// frames for what they started; the world map resumes it afterwards.

/// (master id, turns, price): the current master offers the partner an alliance of at least 1 turn for a price
/// it pays; returns (nothing) at once when the offer is settled, else suspends until the world map has it
/// answered. Only the strategy script of the master in turn may call it, and never from an answer to an offer.
int api_scenario_propose_alliance(lua_State* L);
/// (target area id, {[source area id] = positions}): sends the current master's listed characters from its
/// neighbouring areas against the target, and suspends until the battle or the occupation is applied; it returns
/// nothing. Only the strategy script of the master in turn may call it, as for an alliance offer.
int api_scenario_departure(lua_State* L);
/// Ends the current master's turn, which the world map leaves on a later frame; true.
int api_scenario_endturn(lua_State* L);

#endif
