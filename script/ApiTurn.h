#ifndef MORVALETH_SCRIPT_APITURN_H
#define MORVALETH_SCRIPT_APITURN_H

struct lua_State;

// The engine functions through which a script acts as a master on the world
// map: it ends the master's turn, sends an army to war or offers an alliance.
// The last two suspend the calling strategy script while the world map needs
// frames for what they started; the world map resumes it afterwards.

int api_scenario_propose_alliance(lua_State* L);
int api_scenario_departure(lua_State* L);
int api_scenario_endturn(lua_State* L);

#endif
