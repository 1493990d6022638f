#include "script/ApiMaster.h"

#include "model/CharaData.h"
#include "model/MasterData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/ApiGameCall.h"
#include "script/BattleInterface.h"
#include "script/LuaManager.h"

#include <functional>
#include <lua.h>

namespace
{
// In a battle the copy of the master's character there decides whether it still counts: while it has hit
// points. It counts when the master has no side or the character is not on it.
bool CountsInBattle(int masterData, int chara)
{
	g_Logger.Debug("api_exists_hero 3");
	const int side = g_BattleInterface->GetSideIndex(masterData);
	if (side == -1)
		return true;
	g_Logger.Debug("api_exists_hero 4");
	int index = -1;
	TCharaInstance copy;
	if (!g_BattleInterface->FindChara(side, chara, index) || !g_BattleInterface->GetCharaStatus(side, index, copy))
		return true;
	g_Logger.Debug("api_exists_hero 5");
	return copy.HP > 0;
}

// RunGameApi for the functions whose arguments are two master ids: the body gets both definitions; a wrong
// argument list or an id of nothing (the first one tested first) ends the call.
int RunMasterPairApi(lua_State* L, const char* name, const std::function<int(TApiCall&, int data1, int data2)>& body)
{
	return RunGameApi(L, name, API_ANYWHERE, [&body](TApiCall& c) {
		if (!c.Read("ss"))
			return c.Invalid();
		const int data1 = c.Data().GetMasterIndex(c.Text(0));
		if (data1 < 0)
			return c.Error("%s(%s, %s) error:マスターID1が誤っています。", c.Text(0), c.Text(1));
		const int data2 = c.Data().GetMasterIndex(c.Text(1));
		if (data2 < 0)
			return c.Error("%s(%s, %s) error:マスターID2が誤っています。", c.Text(0), c.Text(1));
		return body(c, data1, data2);
	});
}

// A boolean field of the master of the only argument; false when no master in play has the definition.
int MasterFlag(lua_State* L, const char* name, bool TMasterInstance::*flag)
{
	return RunMasterApi(L, name, API_ANYWHERE, [flag](TApiCall& c, int, int master) {
		return c.PushBool(master >= 0 && c.Game().GetMaster(master).*flag);
	});
}

// A number of the game the function answers with; its arguments are not looked at.
int GameNumber(lua_State* L, const char* name, int (*number)(const TMorvalethGame&))
{
	return RunGameApi(L, name, API_ANYWHERE, [number](TApiCall& c) {
		c.Clear();
		return c.PushNumber(number(c.Game()));
	});
}

// Ids of the masters in play at the indices.
int PushMasterIds(TApiCall& c, const std::vector<int>& masters)
{
	std::vector<std::string> ids;
	for (int master : masters)
		ids.push_back(c.MasterId(master));
	return c.PushTextArray(ids);
}
}

int api_get_current_master(lua_State* L)
{
	return RunGameApi(L, "api_get_current_master", API_ANYWHERE, [](TApiCall& c) {
		c.Clear();
		const int master = c.CurrentMaster();
		return master < 0 ? 0 : c.PushText(c.MasterId(master));
	});
}

int api_change_master_type(lua_State* L)
{
	return RunGameApi(L, "api_change_master_type", API_ANYWHERE, [](TApiCall& c) {
		if (!c.Read("sss"))
			return ApiInvalidArgument(c.L, "api_change_master_type");
		const std::string& oldId = c.Text(0);
		const std::string& newId = c.Text(1);
		const std::string& charaId = c.Text(2);
		const int oldData = c.Data().GetMasterIndex(oldId);
		const int newData = c.Data().GetMasterIndex(newId);
		const int chara = c.Data().GetCharaIndex(charaId);
		if (oldData < 0 || newData < 0 || chara < 0)
			return ApiErrorf(c.L, "api_change_master_type(%s, %s, %s) error:無効なマスターIDまたはキャラIDが指定されました。",
				oldId, newId, charaId);
		const int master = c.Game().GetMasterIndexByData(oldData);
		if (master < 0)
			return ApiErrorf(c.L, "api_change_master_type(%s, %s, %s) error:変更前のマスターが存在しません。", oldId, newId, charaId);
		// A master stands in the game once, or a save could not name it: the new one may be in play only as this one.
		const int existing = c.Game().GetMasterIndexByData(newData);
		if (existing >= 0 && existing != master)
			return ApiErrorf(c.L, "api_change_master_type(%s, %s, %s) error:変更後のマスターは既に存在します。", oldId, newId, charaId);
		// The database gives every master its own character. A hero stands in one place only: the new master's
		// character may stand nowhere else, unless it is the very character it replaces.
		const int newChara = c.Data().GetMasterData(newData).CharaIndex;
		int area = -1;
		int position = -1;
		const bool replacesItself = newChara == chara && c.Game().FindMasterChara(master, chara, area, position);
		if (c.Data().GetCharaData(newChara).Hero && c.Game().CharaExists(newChara) && !replacesItself)
			return ApiErrorf(c.L, "api_change_master_type(%s, %s, %s) error:変更後のマスターのキャラは既に存在します。", oldId, newId, charaId);
		c.Game().ChangeMasterType(master, newData, chara);
		// The battle follows only a change the game has made.
		if (c.Game().GetMaster(master).DataIndex != newData || !IsBattleRunning())
			return 0;
		const int side = g_BattleInterface->GetSideIndex(newData);
		int index = -1;
		if (side != -1 && g_BattleInterface->FindChara(side, chara, index))
			g_BattleInterface->ChangeChara(side, index, newChara);
		return 0;
	});
}

int api_get_master(lua_State* L)
{
	return RunMasterApi(L, "api_get_master", API_ANYWHERE, [](TApiCall& c, int data, int master) {
		if (master < 0)
			return c.Error("%s(%s) error:マスターが存在しません。mastertype=%d", c.Text(0), data);
		const TMasterInstance& instance = c.Game().GetMaster(master);
		lua_newtable(c.L);
		SetNumberField(c.L, "money", instance.Money);
		SetBoolField(c.L, "player", instance.Player);
		SetTextField(c.L, "name", c.Data().GetMasterData(data).Name);
		return 1;
	});
}

int api_get_chara_type(lua_State* L)
{
	return RunGameApi(L, "api_get_chara_type", API_ANYWHERE, [](TApiCall& c) {
		if (!c.Read("s"))
			return ApiInvalidArgument(c.L, "api_get_chara_type");
		const int chara = c.Data().GetCharaIndex(c.Text(0));
		return chara < 0 ? ApiError(c.L, "api_get_chara_type invalid character id.") : c.PushNumber(chara);
	});
}

int api_exists_hero(lua_State* L)
{
	return RunGameApi(L, "api_exists_hero", API_ANYWHERE, [](TApiCall& c) {
		if (!c.Read("ss"))
			return ApiInvalidArgument(c.L, "api_exists_hero");
		const int data = c.Data().GetMasterIndex(c.Text(0));
		const int chara = c.Data().GetCharaIndex(c.Text(1));
		if (data < 0 || chara < 0)
			return ApiErrorf(c.L, "api_exists_hero error:無効なID %s %s が指定されました。", c.Text(0), c.Text(1));
		const int master = c.Game().GetMasterIndexByData(data);
		if (master < 0)
			return ApiErrorf(c.L, "api_exists_hero error:マスター %s が存在しません。", c.Text(0));
		g_Logger.Debug("api_exists_hero 1");
		int area = -1;
		int position = -1;
		bool exists = c.Game().FindMasterChara(master, chara, area, position);
		if (exists) {
			g_Logger.Debug("api_exists_hero 2");
			if (IsBattleRunning())
				exists = CountsInBattle(data, chara);
		}
		c.PushBool(exists);
		g_Logger.Debug("api_exists_hero 6");
		return 1;
	});
}

int api_last_dead_master(lua_State* L)
{
	return RunGameApi(L, "api_last_dead_master", API_ANYWHERE, [](TApiCall& c) {
		c.Clear();
		std::vector<int> masters;
		c.Game().GetDefeatedMasters(masters);
		return PushMasterIds(c, masters);
	});
}

int api_get_chapter_number(lua_State* L)
{
	return GameNumber(L, "api_get_chapter_number", [](const TMorvalethGame& game) { return game.GetChapterIndex() + 1; });
}

int api_get_turn(lua_State* L)
{
	return GameNumber(L, "api_get_turn", [](const TMorvalethGame& game) { return game.GetTurn(); });
}

int api_get_progressed_turn(lua_State* L)
{
	return GameNumber(L, "api_get_progressed_turn", [](const TMorvalethGame& game) { return game.GetProgressedTurn(); });
}

int api_find_alliance(lua_State* L)
{
	return RunMasterPairApi(L, "api_find_alliance", [](TApiCall& c, int data1, int data2) {
		const int alliance = c.Game().FindAlliance(c.Game().GetMasterIndexByData(data1), c.Game().GetMasterIndexByData(data2));
		return alliance < 0 ? 0 : c.PushNumber(c.Game().GetAlliance(alliance).Turns);
	});
}

int api_get_alliance_cost(lua_State* L)
{
	return RunMasterPairApi(L, "api_get_alliance_cost", [](TApiCall& c, int data1, int data2) {
		const int master1 = c.Game().GetMasterIndexByData(data1);
		if (master1 < 0)
			return c.Error("%s(%s, %s) error:マスターID1のマスターが存在しません。", c.Text(0), c.Text(1));
		const int master2 = c.Game().GetMasterIndexByData(data2);
		if (master2 < 0)
			return c.Error("%s(%s, %s) error:マスターID2のマスターが存在しません。", c.Text(0), c.Text(1));
		return c.PushNumber(c.Game().GetAllianceCost(master1, master2, -1));
	});
}

int api_get_allmaster(lua_State* L)
{
	return RunGameApi(L, "api_get_allmaster", API_ANYWHERE, [](TApiCall& c) {
		c.Clear();
		std::vector<int> masters;
		for (int master = 0; master < c.Game().GetMasterCount(); ++master)
			masters.push_back(master);
		return PushMasterIds(c, masters);
	});
}

int api_master_is_exists(lua_State* L)
{
	return MasterFlag(L, "api_master_is_exists", &TMasterInstance::Exists);
}

int api_master_is_player(lua_State* L)
{
	return MasterFlag(L, "api_master_is_player", &TMasterInstance::Player);
}

int api_master_plus_ley(lua_State* L)
{
	return RunGameApi(L, "api_master_plus_ley", API_ANYWHERE, [](TApiCall& c) {
		if (!c.Read("sn"))
			return c.Invalid();
		const int data = c.FindMasterData(c.Text(0));
		const int master = data < 0 ? -1 : c.Game().GetMasterIndexByData(data);
		if (master < 0)
			return 0;
		// The sum stays within the range money can hold.
		const int money = c.Game().GetMaster(master).Money;
		c.Game().PlusMasterMoney(master, AddClamped(money, c.Number(1)) - money);
		return c.PushBool(true);
	});
}

int api_master_get_ley(lua_State* L)
{
	return RunMasterApi(L, "api_master_get_ley", API_ANYWHERE, [](TApiCall& c, int, int master) {
		return master < 0 ? 0 : c.PushNumber(c.Game().GetMaster(master).Money);
	});
}

int api_get_chara_data(lua_State* L)
{
	return RunCharaApi(L, "api_get_chara_data", API_ANYWHERE, [](TApiCall& c, int chara) {
		const TCharaData& data = c.Data().GetCharaData(chara);
		lua_newtable(c.L);
		SetTextField(c.L, "id", data.id);
		SetNumberField(c.L, "power", data.Power);
		return 1;
	});
}

int api_get_chara_master(lua_State* L)
{
	return RunCharaApi(L, "api_get_chara_master", API_ANYWHERE, [](TApiCall& c, int chara) {
		const int area = FindStationedArea(c.Game(), chara);
		const int owner = area < 0 ? -1 : c.Game().GetArea(area).Owner;
		return owner < 0 ? 0 : c.PushText(c.MasterId(owner));
	});
}
