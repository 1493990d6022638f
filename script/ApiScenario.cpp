#include "script/ApiScenario.h"

#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/ApiGameCall.h"
#include "script/WorldMapInterface.h"

#include <algorithm>
#include <functional>
#include <lua.h>

std::vector<int> g_EndingFlags;

void ClearEndingFlags()
{
	g_EndingFlags.clear();
}

namespace
{
const char* const AREA_ID_ERROR = "%s(%s) error:エリアIDが誤っています。";

// The area of the first argument's id; -1 after the id error.
int ReadArea(TApiCall& c)
{
	const int area = c.Game().GetAreaIndex(c.Text(0));
	if (area < 0)
		c.Error(AREA_ID_ERROR, c.Text(0));
	return area;
}

// RunGameApi for a function whose only argument is an area id: the body gets the area.
int RunAreaApi(lua_State* L, const char* luaName, const std::function<int(TApiCall&, int area)>& body)
{
	return RunGameApi(L, luaName, API_WORLD_ONLY, [&body](TApiCall& c) {
		if (!c.Read("s"))
			return c.Invalid();
		const int area = ReadArea(c);
		return area < 0 ? 0 : body(c, area);
	});
}

bool InArea(const TAreaInstance& area, int position)
{
	return position >= 0 && position < int(area.Charas.size());
}

// RunGameApi for the functions whose arguments are an area id and a position in it: the body gets the area
// and the position; a wrong argument list, an id of nothing or, when a message is given, a position outside
// the area ends the call.
int RunStationedApi(lua_State* L, const char* luaName, const char* rangeMessage,
	const std::function<int(TApiCall&, int area, int position)>& body)
{
	return RunGameApi(L, luaName, API_WORLD_ONLY, [rangeMessage, &body](TApiCall& c) {
		if (!c.Read("sn"))
			return c.Invalid();
		const int area = c.Game().GetAreaIndex(c.Text(0));
		if (area < 0)
			return c.Error("%s(%s, %d) error:エリアIDが誤っています。", c.Text(0), c.Number(1));
		if (rangeMessage && !InArea(c.Game().GetArea(area), c.Number(1)))
			return c.Error(rangeMessage, c.Text(0), c.Number(1));
		return body(c, area, c.Number(1));
	});
}

// {id, actioned, power} of the character at the position.
void PushAreaCharaTable(const TApiCall& c, const TCharaInstance& chara)
{
	const TCharaData& data = c.Data().GetCharaData(chara.CharaIndex);
	lua_newtable(c.L);
	SetTextField(c.L, "id", data.id);
	SetBoolField(c.L, "actioned", chara.Actioned);
	SetNumberField(c.L, "power", data.Power);
}

// The three development levels: the level plus the amount, clamped by the game to 0..its max.
int PlusAreaLevel(lua_State* L, const char* name, int (TMorvalethGame::*get)(int) const,
	void (TMorvalethGame::*set)(int, int))
{
	return RunGameApi(L, name, API_WORLD_ONLY, [get, set](TApiCall& c) {
		if (!c.Read("sn"))
			return c.Invalid();
		const int area = ReadArea(c);
		if (area < 0)
			return 0;
		(c.Game().*set)(area, AddClamped((c.Game().*get)(area), c.Number(1)));
		return c.PushBool(true);
	});
}
}

int api_scenario_is_ending(lua_State* L)
{
	return RunGameApi(L, "api_scenario_is_ending", API_WORLD_ONLY, [](TApiCall& c) {
		if (c.Read(""))
			return c.PushBool(c.Game().IsGameEnded());
		if (!c.Read("s"))
			return c.Invalid();
		if (!c.Game().IsGameEnded())
			return c.PushBool(false);
		const int data = c.FindMasterData(c.Text(0));
		if (data < 0)
			return 0;
		const int master = c.Game().GetMasterIndexByData(data);
		if (master < 0 || std::find(g_EndingFlags.begin(), g_EndingFlags.end(), data) != g_EndingFlags.end())
			return c.PushBool(false);
		const TMasterInstance& instance = c.Game().GetMaster(master);
		return c.PushBool(instance.Player && instance.Exists);
	});
}

int api_scenario_set_ending_enabled(lua_State* L)
{
	return RunGameApi(L, "api_scenario_set_ending_enabled", API_WORLD_ONLY, [](TApiCall& c) {
		if (!c.Read("sb"))
			return c.Invalid();
		const int data = c.FindMasterData(c.Text(0));
		if (data < 0)
			return 0;
		if (!c.Flag(1)) {
			g_EndingFlags.push_back(data);
			return c.PushBool(true);
		}
		const auto found = std::find(g_EndingFlags.begin(), g_EndingFlags.end(), data);
		if (found != g_EndingFlags.end())
			g_EndingFlags.erase(found);
		return c.PushBool(true);
	});
}

int api_scenario_get_chara_exists_area(lua_State* L)
{
	return RunCharaApi(L, "api_scenario_get_chara_exists_area", API_WORLD_ONLY, [](TApiCall& c, int chara) {
		const int area = FindStationedArea(c.Game(), chara);
		return area < 0 ? 0 : c.PushText(c.AreaId(area));
	});
}

int api_scenario_get_master_exists_area(lua_State* L)
{
	return RunMasterApi(L, "api_scenario_get_master_exists_area", API_WORLD_ONLY, [](TApiCall& c, int, int master) {
		const int area = master < 0 ? -1 : c.Game().GetMasterArea(master);
		return area < 0 ? c.PushBool(false) : c.PushText(c.AreaId(area));
	});
}

int api_scenario_focus_area(lua_State* L)
{
	return RunAreaApi(L, "api_scenario_focus_area", [](TApiCall& c, int area) {
		TWorldMapInterface* worldMap = c.WorldMap();
		if (!worldMap)
			return 0;
		worldMap->FocusArea(area);
		return c.PushBool(true);
	});
}

int api_scenario_get_allarea(lua_State* L)
{
	return RunGameApi(L, "api_scenario_get_allarea", API_WORLD_ONLY, [](TApiCall& c) {
		c.Clear();
		lua_newtable(c.L);
		for (int a = 0; a < c.Game().GetAreaCount(); ++a) {
			const TAreaInstance& area = c.Game().GetArea(a);
			c.PushText(area.id);
			lua_newtable(c.L);
			if (area.Owner >= 0)
				SetTextField(c.L, "master", c.MasterId(area.Owner));
			std::vector<std::string> neighbors;
			for (int neighbor : area.Neighbors)
				neighbors.push_back(c.AreaId(neighbor));
			lua_pushstring(c.L, "neighbor");
			c.PushTextArray(neighbors);
			lua_rawset(c.L, -3);
			lua_rawset(c.L, -3);
		}
		return 1;
	});
}

int api_scenario_get_area_master(lua_State* L)
{
	return RunAreaApi(L, "api_scenario_get_area_master", [](TApiCall& c, int area) {
		const int owner = c.Game().GetArea(area).Owner;
		return owner < 0 ? 0 : c.PushText(c.MasterId(owner));
	});
}

int api_scenario_get_area_chara_count(lua_State* L)
{
	return RunAreaApi(L, "api_scenario_get_area_chara_count", [](TApiCall& c, int area) {
		return c.PushNumber(int(c.Game().GetArea(area).Charas.size()));
	});
}

int api_scenario_get_area_employable(lua_State* L)
{
	const char* const range = "%s(%s, %d) error:雇用担当キャラインデックスが範囲を超えています。";
	return RunStationedApi(L, "api_scenario_get_area_employable", range, [](TApiCall& c, int area, int position) {
		std::vector<int> candidates;
		c.Game().GetEmployableCharas(area, position, candidates);
		lua_newtable(c.L);
		for (int chara : candidates)
			SetNumberField(c.L, c.CharaId(chara).c_str(), c.Game().GetCOMEmployCost(chara));
		return 1;
	});
}

int api_scenario_get_area_chara(lua_State* L)
{
	const char* const range = "%s(%s, %d) error:キャラインデックスが範囲を超えています。";
	return RunStationedApi(L, "api_scenario_get_area_chara", range, [](TApiCall& c, int area, int position) {
		PushAreaCharaTable(c, c.Game().GetArea(area).Charas[position]);
		return 1;
	});
}

int api_scenario_get_area_allchara(lua_State* L)
{
	return RunAreaApi(L, "api_scenario_get_area_allchara", [](TApiCall& c, int area) {
		const std::vector<TCharaInstance>& charas = c.Game().GetArea(area).Charas;
		lua_newtable(c.L);
		for (std::size_t i = 0; i < charas.size(); ++i) {
			PushAreaCharaTable(c, charas[i]);
			lua_rawseti(c.L, -2, int(i) + 1);
		}
		return 1;
	});
}

int api_scenario_insert_area_chara(lua_State* L)
{
	return RunGameApi(L, "api_scenario_insert_area_chara", API_WORLD_ONLY, [](TApiCall& c) {
		if (!c.Read("ss") && !c.Read("ssb"))
			return c.Invalid();
		const std::string& id = c.Text(0);
		const std::string& charaId = c.Text(1);
		const int area = c.Game().GetAreaIndex(id);
		if (area < 0)
			return c.Error("%s(%s, %s) error:エリアIDが誤っています。", id, charaId);
		const int chara = c.Data().GetCharaIndex(charaId);
		if (chara < 0)
			return c.Error("%s(%s, %s) error:キャラIDが誤っています。", id, charaId);
		const bool ignoreLimit = c.ArgCount() == 3 && c.Flag(2);
		if (!ignoreLimit && c.Game().GetArea(area).Charas.size() >= AREA_CHARA_MAX)
			return c.Error("%s(%s, %s) error:エリアのキャラ数が上限に達しているためキャラ追加できません。", id, charaId);
		return c.Game().InsertAreaChara(area, chara) ? c.PushBool(true) : 0;
	});
}

int api_scenario_move_area_chara(lua_State* L)
{
	return RunGameApi(L, "api_scenario_move_area_chara", API_WORLD_ONLY, [](TApiCall& c) {
		if (!ApiArgsMatch(c.L, "sst"))
			return c.Invalid();
		const std::string from = ApiArgString(c.L, 1);
		const std::string to = ApiArgString(c.L, 2);
		std::vector<int> positions;
		if (!ReadPositionTable(c.L, 3, positions))
			return c.Error("%s invalid parameter. character index must be number.");
		c.Clear();
		const int source = c.Game().GetAreaIndex(from);
		if (source < 0)
			return c.Error("%s(%s, %s) error:エリアID1が誤っています。", from, to);
		const int destination = c.Game().GetAreaIndex(to);
		if (destination < 0)
			return c.Error("%s(%s, %s) error:エリアID2が誤っています。", from, to);
		const int master = c.CurrentMaster();
		if (master < 0)
			return 0;
		if (c.Game().GetArea(source).Owner != master || c.Game().GetArea(destination).Owner != master)
			return c.Error("%s(%s, %s) error:自エリアでないエリアのキャラを移動しようとしました。", from, to);
		return c.PushBool(c.Game().MoveCharacterNoList(source, destination, positions));
	});
}

int api_scenario_remove_chara(lua_State* L)
{
	return RunGameApi(L, "api_scenario_remove_chara", API_WORLD_ONLY, [](TApiCall& c) {
		if (!c.Read("s"))
			return c.Invalid();
		const int chara = c.Data().GetCharaIndex(c.Text(0));
		if (chara < 0)
			return c.Error("%s(%s) error:無効なキャラIDが指定されました。", c.Text(0));
		for (int area = 0; area < c.Game().GetAreaCount(); ++area) {
			const int position = FindCharaInList(c.Game().GetArea(area).Charas, chara);
			if (position >= 0)
				c.Game().RemoveAreaChara(area, position);
		}
		return c.PushBool(true);
	});
}

int api_scenario_plus_area_city(lua_State* L)
{
	return PlusAreaLevel(L, "api_scenario_plus_area_city", &TMorvalethGame::GetAreaCity, &TMorvalethGame::SetAreaCity);
}

int api_scenario_plus_area_wall(lua_State* L)
{
	return PlusAreaLevel(L, "api_scenario_plus_area_wall", &TMorvalethGame::GetAreaWall, &TMorvalethGame::SetAreaWall);
}

int api_scenario_plus_area_road(lua_State* L)
{
	return PlusAreaLevel(L, "api_scenario_plus_area_road", &TMorvalethGame::GetAreaRoad, &TMorvalethGame::SetAreaRoad);
}

int api_scenario_get_champion(lua_State* L)
{
	return RunGameApi(L, "api_scenario_get_champion", API_WORLD_ONLY, [](TApiCall& c) {
		if (!c.Read("n"))
			return c.Invalid();
		std::string id;
		return c.Game().GetChampion(c.Number(0), id) ? c.PushText(id) : 0;
	});
}

int api_scenario_get_wincount(lua_State* L)
{
	return RunCharaApi(L, "api_scenario_get_wincount", API_WORLD_ONLY, [](TApiCall& c, int chara) {
		// The first of the definition in each area counts; the last area that holds one decides.
		const TCharaInstance* found = nullptr;
		for (int area = 0; area < c.Game().GetAreaCount(); ++area) {
			const std::vector<TCharaInstance>& charas = c.Game().GetArea(area).Charas;
			const int position = FindCharaInList(charas, chara);
			if (position >= 0)
				found = &charas[position];
		}
		return found ? c.PushNumber(found->WinCount) : 0;
	});
}

int api_scenario_employ(lua_State* L)
{
	return RunGameApi(L, "api_scenario_employ", API_WORLD_ONLY, [](TApiCall& c) {
		if (!c.Read("sns"))
			return c.Invalid();
		const std::string& id = c.Text(0);
		const int position = c.Number(1);
		const std::string& charaId = c.Text(2);
		const int area = c.Game().GetAreaIndex(id);
		if (area < 0)
			return c.Error("%s(%s, %d, %s) error:エリアIDが誤っています。", id, position, charaId);
		const int chara = c.Data().GetCharaIndex(charaId);
		if (chara < 0)
			return c.Error("%s(%s, %d, %s) error:キャラIDが誤っています。", id, position, charaId);
		if (!InArea(c.Game().GetArea(area), position))
			return c.Error("%s(%s, %d, %s) error:雇用担当キャラインデックスが範囲を超えています。", id, position, charaId);
		// A hero stands in one place only; a second one would make the game unloadable once saved.
		if (c.Data().GetCharaData(chara).Hero && c.Game().CharaExists(chara))
			return c.Error("%s(%s, %d, %s) error:既に存在する人材は雇用できません。", id, position, charaId);
		return c.PushBool(c.Game().EmployCharacter(area, position, chara));
	});
}

int api_scenario_dismiss(lua_State* L)
{
	// The game tests the position itself.
	return RunStationedApi(L, "api_scenario_dismiss", nullptr, [](TApiCall& c, int area, int position) {
		return c.PushBool(c.Game().DismissCharacter(area, position));
	});
}
