#include "script/ApiGameCall.h"

#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/LuaManager.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <lua.h>

TApiCall::TApiCall(lua_State* state, const char* luaName, TMorvalethGame& game, const TMorvalethData& data)
	: L(state), name(ApiLogName(luaName)), m_Game(game), m_Data(data)
{
}

bool TApiCall::Read(const char* types)
{
	if (!ApiArgsMatch(L, types))
		return false;
	const int count = int(std::strlen(types));
	m_Texts.assign(count, std::string());
	m_Numbers.assign(count, 0);
	m_Flags.assign(count, false);
	for (int i = 0; i < count; ++i) {
		if (types[i] == 's')
			m_Texts[i] = ApiArgString(L, i + 1);
		else if (types[i] == 'n')
			m_Numbers[i] = LuaToInt(L, i + 1);
		else if (types[i] == 'b')
			m_Flags[i] = ApiArgBool(L, i + 1);
	}
	Clear();
	return true;
}

void TApiCall::Clear()
{
	lua_settop(L, 0);
}

int TApiCall::Invalid() const
{
	return ApiInvalidArgument(L, name);
}

int TApiCall::FindMasterData(const std::string& id) const
{
	const int data = m_Data.GetMasterIndex(id);
	if (data < 0)
		Error("%s(%s) error:マスターIDが誤っています。", id);
	return data;
}

int TApiCall::FindChara(const std::string& id) const
{
	const int chara = m_Data.GetCharaIndex(id);
	if (chara < 0)
		Error("%s(%s) error:キャラIDが誤っています。", id);
	return chara;
}

int TApiCall::CurrentMaster() const
{
	const int master = m_Game.GetCurrentMaster();
	if (master >= 0 && master < m_Game.GetMasterCount())
		return master;
	ApiErrorf(L, "%s was called, but no master is current.", name);
	return -1;
}

TWorldMapInterface* TApiCall::WorldMap() const
{
	if (!g_ScriptWorldMap)
		ApiErrorf(L, "%s was called, but no world map.", name);
	return g_ScriptWorldMap;
}

const std::string& TApiCall::MasterId(int master) const
{
	return m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex).id;
}

const std::string& TApiCall::CharaId(int chara) const
{
	return m_Data.GetCharaData(chara).id;
}

const std::string& TApiCall::AreaId(int area) const
{
	return m_Game.GetArea(area).id;
}

int TApiCall::PushText(const std::string& text) const
{
	lua_pushlstring(L, text.data(), text.size());
	return 1;
}

int TApiCall::PushNumber(int number) const
{
	lua_pushnumber(L, number);
	return 1;
}

int TApiCall::PushBool(bool value) const
{
	lua_pushboolean(L, value);
	return 1;
}

int TApiCall::PushTextArray(const std::vector<std::string>& texts) const
{
	lua_newtable(L);
	for (std::size_t i = 0; i < texts.size(); ++i) {
		PushText(texts[i]);
		lua_rawseti(L, -2, int(i) + 1);
	}
	return 1;
}

int RunGameApi(lua_State* L, const char* luaName, TApiPlace place, const std::function<int(TApiCall&)>& body)
{
	return ApiGuard(L, luaName, [&] {
		if (place == API_WORLD_ONLY && IsBattleRunning())
			return ApiRefuseInsideBattle(L, ApiLogName(luaName));
		if (!g_GameMaster.m_Game || !g_GameMaster.m_Data)
			return ApiErrorf(L, "%s was called, but no game.", ApiLogName(luaName));
		TApiCall call(L, luaName, *g_GameMaster.m_Game, *g_GameMaster.m_Data);
		return body(call);
	});
}

int RunMasterApi(lua_State* L, const char* luaName, TApiPlace place,
	const std::function<int(TApiCall&, int data, int master)>& body)
{
	return RunGameApi(L, luaName, place, [&body](TApiCall& c) {
		if (!c.Read("s"))
			return c.Invalid();
		const int data = c.FindMasterData(c.Text(0));
		return data < 0 ? 0 : body(c, data, c.Game().GetMasterIndexByData(data));
	});
}

int RunCharaApi(lua_State* L, const char* luaName, TApiPlace place, const std::function<int(TApiCall&, int chara)>& body)
{
	return RunGameApi(L, luaName, place, [&body](TApiCall& c) {
		if (!c.Read("s"))
			return c.Invalid();
		const int chara = c.FindChara(c.Text(0));
		return chara < 0 ? 0 : body(c, chara);
	});
}

void SetTextField(lua_State* L, const char* key, const std::string& value)
{
	lua_pushstring(L, key);
	lua_pushlstring(L, value.data(), value.size());
	lua_rawset(L, -3);
}

void SetNumberField(lua_State* L, const char* key, int value)
{
	lua_pushstring(L, key);
	lua_pushnumber(L, value);
	lua_rawset(L, -3);
}

void SetBoolField(lua_State* L, const char* key, bool value)
{
	lua_pushstring(L, key);
	lua_pushboolean(L, value);
	lua_rawset(L, -3);
}

bool ReadPositionTable(lua_State* L, int table, std::vector<int>& positions)
{
	table = table < 0 ? lua_gettop(L) + table + 1 : table;
	lua_pushnil(L);
	while (lua_next(L, table) != 0) {
		if (!ApiArgIs(L, -1, 'n')) {
			lua_pop(L, 2);
			return false;
		}
		positions.push_back(LuaToInt(L, -1));
		lua_pop(L, 1);
	}
	return true;
}

int FindStationedArea(const TMorvalethGame& game, int chara)
{
	for (int area = 0; area < game.GetAreaCount(); ++area) {
		if (FindCharaInList(game.GetArea(area).Charas, chara) >= 0)
			return area;
	}
	return -1;
}

int AddClamped(int x, int amount)
{
	return int(std::clamp<long long>(static_cast<long long>(x) + amount, INT_MIN, INT_MAX));
}
