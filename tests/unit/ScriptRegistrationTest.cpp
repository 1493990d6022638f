#include "unit/ScriptFixture.h"

#include "script/LuaManager.h"
#include "script/ScriptRegistration.h"

#include <lua.h>
#include <set>

namespace
{
// Every engine function scripts may call, in the order of registration.
const char* const REGISTRATION_ORDER[] = {"debug_log", "api_battle_get_turn", "api_battle_get_map_size",
	"api_battle_get_map_height", "api_battle_get_movetype_totalcost", "api_battle_get_movetype_totalskill",
	"api_battle_get_movable", "api_battle_get_movable_layer", "api_battle_get_move_layer_from",
	"api_battle_get_neighbor", "api_battle_get_neighbor_sorted", "api_battle_get_is_defense_side",
	"api_battle_get_master_list", "api_battle_get_my_master", "api_battle_get_enemy_master",
	"api_battle_get_chara_count", "api_battle_get_active_chara", "api_battle_get_chara_on",
	"api_battle_get_chara_status", "api_battle_get_action_list", "api_battle_get_last_target",
	"api_battle_eval_action", "api_battle_set_action", "api_battle_get_auto_runaway", "api_battle_set_chara_brave",
	"api_battle_set_map_chip", "api_battle_rm_map_obj", "api_get_current_master", "api_change_master_type",
	"api_get_master", "api_get_chara_type", "api_exists_hero", "api_music_set", "api_gui_get_top_size",
	"api_gui_event_pop", "api_window_new", "api_window_set_size", "api_window_set_position",
	"api_window_set_visible", "api_window_set_titlebarheight", "api_window_set_image", "api_window_set_faceorchip",
	"api_window_clear_image", "api_window_set_text", "api_window_clear_text", "api_window_is_visible",
	"api_window_event_pop", "api_dialog_show", "api_dialog_is_visible", "api_dialog_get_selected",
	"api_image_load", "api_last_dead_master", "api_get_chapter_number", "api_get_turn", "api_get_progressed_turn",
	"api_find_alliance", "api_get_alliance_cost", "api_get_allmaster", "api_master_is_exists",
	"api_master_is_player", "api_master_plus_ley", "api_master_get_ley", "api_get_chara_data",
	"api_get_chara_master", "api_scenario_is_ending", "api_scenario_set_ending_enabled",
	"api_scenario_get_chara_exists_area", "api_scenario_get_master_exists_area", "api_scenario_focus_area",
	"api_scenario_get_allarea", "api_scenario_get_area_master", "api_scenario_get_area_chara_count",
	"api_scenario_get_area_employable", "api_scenario_get_area_chara", "api_scenario_get_area_allchara",
	"api_scenario_insert_area_chara", "api_scenario_move_area_chara", "api_scenario_remove_chara",
	"api_scenario_plus_area_city", "api_scenario_plus_area_wall", "api_scenario_plus_area_road",
	"api_scenario_get_champion", "api_scenario_get_wincount", "api_scenario_employ", "api_scenario_dismiss",
	"api_scenario_propose_alliance", "api_scenario_departure", "api_scenario_endturn", "api_get_msec"};

const std::pair<const char*, int> CONSTANTS[] = {{"ACTION_WAIT", 0}, {"ACTION_ATTACK", 1}, {"ACTION_CHARGE", 2},
	{"ACTION_SPECIAL", 3}, {"ACTION_RUNAWAY", 4}, {"NOEFFECT", 1}, {"POISON", 2}, {"STONE", 3}, {"PARALYZE", 4},
	{"SLEEP", 5}, {"DREAM", 6}, {"DEATH", 7}, {"HPRECOVER", 9}, {"MPRECOVER", 10}, {"CRASHWALL", 11},
	{"PLUS_PA", 12}, {"PLUS_PD", 13}, {"PLUS_SKILL", 14}, {"PLUS_SPEED", 15}, {"PLUS_MA", 16}, {"PLUS_MD", 17},
	{"PLUS_HPRECOVER", 18}, {"PLUS_MPRECOVER", 19}, {"PLUS_ATTACKCOUNT", 20}, {"CURE_POISON", 21},
	{"CURE_STONE", 22}, {"CURE_PARALYZE", 23}, {"CURE_SLEEP", 24}, {"CURE_DREAM", 25}, {"CURE_ALL", 26},
	{"CHANGE_RESISTANCE", 27}, {"CHANGE_MOVETYPE", 28}, {"SUMMON", 29}, {"REVIVE", 30}, {"WEAK", 1},
	{"NORMAL", 2}, {"STRONG", 3}, {"ABSORB", 4}, {"ELEMENT_SUMMON", 1}, {"ELEMENT_SUMMONED", 2},
	{"MAPOBJ_CITY", 1}, {"MAPOBJ_WALL", 2}, {"MAPOBJ_ROAD", 3}, {"MAPOBJ_CASTLE", 4}, {"IMAGE_EVENT", 0},
	{"IMAGE_FACE", 1}, {"IMAGE_CHARACHIP", 2}, {"BUTTON_OK", 1}, {"BUTTON_YES", 2}, {"BUTTON_NO", 4},
	{"BUTTON_CANCEL", 8}, {"EVENT_MOUSELPRESSED", 0}, {"EVENT_MOUSERPRESSED", 1}, {"EVENT_MOUSEMOVED", 2},
	{"AREACHARA_MAX", 20}, {"DEFAULT_ALLIANCETURN", 6}};

class ScriptRegistration : public ScriptTest
{
protected:
	void SetUp() override { ASSERT_TRUE(m_Manager.LoadLua(WriteScript("empty.lua", "").c_str())); }

	TMorvalethLuaManager m_Manager;
};
}

TEST_F(ScriptRegistration, EveryConstantHasItsValueAndAbsorbIsTheResistance)
{
	lua_State* L = m_Manager.GetState();
	for (const auto& constant : CONSTANTS) {
		lua_getglobal(L, constant.first);
		EXPECT_EQ(LUA_TNUMBER, lua_type(L, -1)) << constant.first;
		EXPECT_EQ(constant.second, lua_tonumber(L, -1)) << constant.first;
		lua_pop(L, 1);
	}
}

TEST_F(ScriptRegistration, EngineFunctionsAreRegisteredInTheirOrder)
{
	lua_State* L = m_Manager.GetState();
	const std::vector<TScriptFunction>& table = ScriptFunctionTable();
	// Each entry stands at its place in the full order, after the entry before it.
	std::size_t position = 0;
	std::set<std::string> names;
	for (const TScriptFunction& entry : table) {
		while (position < std::size(REGISTRATION_ORDER) && std::string(REGISTRATION_ORDER[position]) != entry.name)
			++position;
		EXPECT_LT(position, std::size(REGISTRATION_ORDER)) << entry.name << " is out of order or unknown";
		EXPECT_TRUE(names.insert(entry.name).second) << entry.name << " twice";
		lua_getglobal(L, entry.name);
		EXPECT_TRUE(lua_iscfunction(L, -1)) << entry.name;
		lua_pop(L, 1);
	}
	EXPECT_EQ(std::string("debug_log"), table.front().name);
}
