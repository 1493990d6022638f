#include "script/ApiTurn.h"

#include "model/MorvalethGame.h"
#include "script/ApiGameCall.h"
#include "script/LuaManager.h"
#include "script/WorldMapInterface.h"

#include <algorithm>
#include <lua.h>
// The thread's count of nested C calls tells whether a yield can reach the host.
#include <lstate.h>

namespace
{
// Set while the world map settles an offer: the partner's script then runs nested inside the proposer's call.
bool s_OfferRunning = false;

class TOfferScope
{
public:
	TOfferScope() { s_OfferRunning = true; }
	~TOfferScope() { s_OfferRunning = false; }
};

// True when a yield of the running function returns to the host: the host resumed this thread
// itself (a coroutine made by the script has a deeper base), and no pcall, metamethod or other
// C call lies between the thread's function and this one.
bool YieldsToHost(lua_State* L)
{
	return L->baseCcalls == 1 && L->nCcalls <= L->baseCcalls;
}

// Only the strategy script of the master in turn may suspend for the world map, which resumes just
// that script once the march or the offer is over. A yield from anywhere else would leave a script
// suspended for good or raise an error after the world map had started its work.
bool CheckSuspendable(const TApiCall& c)
{
	// Of the world-map scripts, only the masters' strategy scripts run without script windows.
	if (g_ScriptAPI) {
		c.Error("%s was called, but not by a master's strategy script.");
		return false;
	}
	if (s_OfferRunning) {
		c.Error("%s was called, but an alliance offer is being answered.");
		return false;
	}
	if (!YieldsToHost(c.L)) {
		c.Error("%s was called, but the script cannot be suspended here (pcall, metamethod or coroutine).");
		return false;
	}
	return true;
}

// What every world-map command needs: the world map and the master in turn (-1 after the report).
int CommandingMaster(const TApiCall& c, TWorldMapInterface*& worldMap)
{
	worldMap = c.WorldMap();
	return worldMap ? c.CurrentMaster() : -1;
}

bool Borders(const TAreaInstance& area, int neighbor)
{
	return std::find(area.Neighbors.begin(), area.Neighbors.end(), neighbor) != area.Neighbors.end();
}

// One entry of the departure table (key at -2, value at -1): its source area and positions, appended to the
// army; false after the entry's message. The stack is left as it was.
bool ReadArmyEntry(const TApiCall& c, int target, int master, std::vector<std::pair<int, int>>& army)
{
	lua_State* L = c.L;
	const auto refuse = [&c](const std::string& format, const auto&... args) {
		c.Error(format, args...);
		return false;
	};
	if (!lua_isstring(L, -2))
		return refuse("%s invalid parameter. 2nd parameter table key must be string.");
	// A number key is read from a copy: converting the key itself would upset the traversal.
	lua_pushvalue(L, -2);
	const std::string id = ApiArgString(L, -1);
	lua_pop(L, 1);
	if (!lua_istable(L, -1))
		return refuse("%s invalid parameter. 2nd parameter table value must be table.");
	const int source = c.Game().GetAreaIndex(id);
	if (source < 0)
		return refuse("%s エリアID %s が誤っています。", id);
	const TAreaInstance& area = c.Game().GetArea(source);
	if (area.Owner != master)
		return refuse("%s 所有していないエリア %s から出陣しようとしました。", id);
	// The target's battle map has start points only for its neighbours.
	if (!Borders(c.Game().GetArea(target), source))
		return refuse("%s エリア %s は出陣先エリア %s に隣接していません。", id, c.AreaId(target));
	std::vector<int> positions;
	if (!ReadPositionTable(L, -1, positions))
		return refuse("%s 出陣キャラインデックステーブルの値が数値ではありません。");
	const int count = int(area.Charas.size());
	for (int position : positions) {
		if (position < 0 || position >= count || area.Charas[position].Actioned)
			return refuse("%s エリア %s （キャラ数%d）に対して無効な出陣キャラインデックス%dが指定されました。", id, count, position);
		const std::pair<int, int> pair(source, position);
		if (std::find(army.begin(), army.end(), pair) != army.end())
			return refuse("%s エリア %s の出陣キャラインデックス%dが重複しています。", id, position);
		army.push_back(pair);
	}
	return true;
}

// The whole departure table at stack index 2; false after the first entry's message.
bool ReadArmy(const TApiCall& c, int target, int master, std::vector<std::pair<int, int>>& army)
{
	lua_pushnil(c.L);
	while (lua_next(c.L, 2) != 0) {
		if (!ReadArmyEntry(c, target, master, army))
			return false;
		lua_pop(c.L, 1);
	}
	return true;
}
}

int api_scenario_propose_alliance(lua_State* L)
{
	return RunGameApi(L, "api_scenario_propose_alliance", API_WORLD_ONLY, [](TApiCall& c) {
		if (!c.Read("snn"))
			return c.Invalid();
		TWorldMapInterface* worldMap = nullptr;
		const int master = CommandingMaster(c, worldMap);
		if (master < 0 || !CheckSuspendable(c))
			return 0;
		const std::string& id = c.Text(0);
		const int turns = c.Number(1);
		const int price = c.Number(2);
		const int partner = c.Game().GetMasterIndexByID(id);
		if (partner < 0 || !c.Game().GetMaster(partner).Exists)
			return c.Error("%s(%s) error:マスターIDが誤っているか、存在しないマスターです。", id);
		// The partner's script answers while this one runs: it cannot be the same script.
		if (partner == master)
			return c.Error("%s(%s) error:自分自身に同盟を申し込むことはできません。", id);
		if (turns < 1)
			return c.Error("%s(%s, %d, %d) error:同盟のターン数が1未満です。", id, turns, price);
		// The proposer pays the partner: a negative price would take the partner's money.
		if (price < 0)
			return c.Error("%s(%s, %d, %d) error:同盟の代金が負の値です。", id, turns, price);
		bool settled = false;
		{
			TOfferScope offer;
			settled = worldMap->ProposeAlliance(partner, turns, price);
		}
		return settled ? 0 : lua_yield(c.L, 0);
	});
}

int api_scenario_departure(lua_State* L)
{
	return RunGameApi(L, "api_scenario_departure", API_WORLD_ONLY, [](TApiCall& c) {
		if (!ApiArgsMatch(c.L, "st"))
			return c.Invalid();
		TWorldMapInterface* worldMap = nullptr;
		const int master = CommandingMaster(c, worldMap);
		if (master < 0 || !CheckSuspendable(c))
			return 0;
		const std::string targetId = ApiArgString(c.L, 1);
		const int target = c.Game().GetAreaIndex(targetId);
		if (target < 0)
			return c.Error("%s 出陣先エリアID %s が誤っています。", targetId);
		// Every source is the master's own, so this also keeps a source from being the target.
		if (c.Game().GetArea(target).Owner == master)
			return c.Error("%s 自軍のエリア %s には出陣できません。", targetId);
		std::vector<std::pair<int, int>> army;
		if (!ReadArmy(c, target, master, army))
			return 0;
		if (army.empty())
			return c.Error("%s 出陣キャラインデックスリストが空です。");
		// The winners must fit into the target afterwards.
		if (army.size() > AREA_CHARA_MAX)
			return c.Error("%s 出陣キャラ数%dが上限%dを超えています。", int(army.size()), AREA_CHARA_MAX);
		c.Clear();
		worldMap->Departure(target, army);
		lua_pushboolean(c.L, 1);
		return lua_yield(c.L, 1);
	});
}

int api_scenario_endturn(lua_State* L)
{
	return RunGameApi(L, "api_scenario_endturn", API_WORLD_ONLY, [](TApiCall& c) {
		c.Clear();
		TWorldMapInterface* worldMap = nullptr;
		if (CommandingMaster(c, worldMap) < 0)
			return 0;
		worldMap->EndTurn();
		return c.PushBool(true);
	});
}
