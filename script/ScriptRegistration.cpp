// The names every script state gets after its chunk has run: the constants and
// the engine functions. The table of engine functions is the one list of them,
// in the order of registration; each family adds its functions at its place.

#include "script/ScriptRegistration.h"

#include "script/ApiBattle.h"
#include "script/ApiMaster.h"
#include "script/ApiScenario.h"
#include "script/ApiTurn.h"
#include "script/ApiWindow.h"
#include "script/ScriptLog.h"

#include <lua.h>

namespace
{
// A group of constants numbered by their position from the first value on.
struct TConstantGroup
{
	int first;
	std::vector<const char*> names;
};

const TConstantGroup CONSTANT_GROUPS[] = {
	{0, {"ACTION_WAIT", "ACTION_ATTACK", "ACTION_CHARGE", "ACTION_SPECIAL", "ACTION_RUNAWAY"}},
	{1, {"NOEFFECT", "POISON", "STONE", "PARALYZE", "SLEEP", "DREAM", "DEATH", "ABSORB", "HPRECOVER", "MPRECOVER",
		"CRASHWALL", "PLUS_PA", "PLUS_PD", "PLUS_SKILL", "PLUS_SPEED", "PLUS_MA", "PLUS_MD", "PLUS_HPRECOVER",
		"PLUS_MPRECOVER", "PLUS_ATTACKCOUNT", "CURE_POISON", "CURE_STONE", "CURE_PARALYZE", "CURE_SLEEP",
		"CURE_DREAM", "CURE_ALL", "CHANGE_RESISTANCE", "CHANGE_MOVETYPE", "SUMMON", "REVIVE"}},
	// Set after the effect kinds: the resistance's ABSORB (4) is the one that stays.
	{1, {"WEAK", "NORMAL", "STRONG", "ABSORB"}},
	{1, {"ELEMENT_SUMMON", "ELEMENT_SUMMONED"}},
	{1, {"MAPOBJ_CITY", "MAPOBJ_WALL", "MAPOBJ_ROAD", "MAPOBJ_CASTLE"}},
	{0, {"IMAGE_EVENT", "IMAGE_FACE", "IMAGE_CHARACHIP"}},
};

const char* const BUTTON_NAMES[] = {"BUTTON_OK", "BUTTON_YES", "BUTTON_NO", "BUTTON_CANCEL"};
const char* const MOUSE_EVENT_NAMES[] = {"EVENT_MOUSELPRESSED", "EVENT_MOUSERPRESSED", "EVENT_MOUSEMOVED"};

void SetConstant(lua_State* L, const char* name, int value)
{
	lua_pushstring(L, name);
	lua_pushnumber(L, value);
	lua_settable(L, LUA_GLOBALSINDEX);
}

const std::vector<TScriptFunction> SCRIPT_FUNCTIONS = {
	{"debug_log", debug_log},
	{"api_battle_get_turn", api_battle_get_turn},
	{"api_battle_get_map_size", api_battle_get_map_size},
	{"api_battle_get_map_height", api_battle_get_map_height},
	{"api_battle_get_movetype_totalcost", api_battle_get_movetype_totalcost},
	{"api_battle_get_movetype_totalskill", api_battle_get_movetype_totalskill},
	{"api_battle_get_movable", api_battle_get_movable},
	{"api_battle_get_movable_layer", api_battle_get_movable_layer},
	{"api_battle_get_move_layer_from", api_battle_get_move_layer_from},
	{"api_battle_get_neighbor", api_battle_get_neighbor},
	{"api_battle_get_neighbor_sorted", api_battle_get_neighbor_sorted},
	{"api_battle_get_is_defense_side", api_battle_get_is_defense_side},
	{"api_battle_get_master_list", api_battle_get_master_list},
	{"api_battle_get_my_master", api_battle_get_my_master},
	{"api_battle_get_enemy_master", api_battle_get_enemy_master},
	{"api_battle_get_chara_count", api_battle_get_chara_count},
	{"api_battle_get_active_chara", api_battle_get_active_chara},
	{"api_battle_get_chara_on", api_battle_get_chara_on},
	{"api_battle_get_chara_status", api_battle_get_chara_status},
	{"api_battle_get_action_list", api_battle_get_action_list},
	{"api_battle_get_last_target", api_battle_get_last_target},
	{"api_battle_eval_action", api_battle_eval_action},
	{"api_battle_set_action", api_battle_set_action},
	{"api_battle_get_auto_runaway", api_battle_get_auto_runaway},
	{"api_battle_set_chara_brave", api_battle_set_chara_brave},
	{"api_battle_set_map_chip", api_battle_set_map_chip},
	{"api_battle_rm_map_obj", api_battle_rm_map_obj},
	{"api_get_current_master", api_get_current_master},
	{"api_change_master_type", api_change_master_type},
	{"api_get_master", api_get_master},
	{"api_get_chara_type", api_get_chara_type},
	{"api_exists_hero", api_exists_hero},
	{"api_music_set", api_music_set},
	{"api_gui_get_top_size", api_gui_get_top_size},
	{"api_gui_event_pop", api_gui_event_pop},
	{"api_window_new", api_window_new},
	{"api_window_set_size", api_window_set_size},
	{"api_window_set_position", api_window_set_position},
	{"api_window_set_visible", api_window_set_visible},
	{"api_window_set_titlebarheight", api_window_set_titlebarheight},
	{"api_window_set_image", api_window_set_image},
	{"api_window_set_faceorchip", api_window_set_faceorchip},
	{"api_window_clear_image", api_window_clear_image},
	{"api_window_set_text", api_window_set_text},
	{"api_window_clear_text", api_window_clear_text},
	{"api_window_is_visible", api_window_is_visible},
	{"api_window_event_pop", api_window_event_pop},
	{"api_dialog_show", api_dialog_show},
	{"api_dialog_is_visible", api_dialog_is_visible},
	{"api_dialog_get_selected", api_dialog_get_selected},
	{"api_image_load", api_image_load},
	{"api_last_dead_master", api_last_dead_master},
	{"api_get_chapter_number", api_get_chapter_number},
	{"api_get_turn", api_get_turn},
	{"api_get_progressed_turn", api_get_progressed_turn},
	{"api_find_alliance", api_find_alliance},
	{"api_get_alliance_cost", api_get_alliance_cost},
	{"api_get_allmaster", api_get_allmaster},
	{"api_master_is_exists", api_master_is_exists},
	{"api_master_is_player", api_master_is_player},
	{"api_master_plus_ley", api_master_plus_ley},
	{"api_master_get_ley", api_master_get_ley},
	{"api_get_chara_data", api_get_chara_data},
	{"api_get_chara_master", api_get_chara_master},
	{"api_scenario_is_ending", api_scenario_is_ending},
	{"api_scenario_set_ending_enabled", api_scenario_set_ending_enabled},
	{"api_scenario_get_chara_exists_area", api_scenario_get_chara_exists_area},
	{"api_scenario_get_master_exists_area", api_scenario_get_master_exists_area},
	{"api_scenario_focus_area", api_scenario_focus_area},
	{"api_scenario_get_allarea", api_scenario_get_allarea},
	{"api_scenario_get_area_master", api_scenario_get_area_master},
	{"api_scenario_get_area_chara_count", api_scenario_get_area_chara_count},
	{"api_scenario_get_area_employable", api_scenario_get_area_employable},
	{"api_scenario_get_area_chara", api_scenario_get_area_chara},
	{"api_scenario_get_area_allchara", api_scenario_get_area_allchara},
	{"api_scenario_insert_area_chara", api_scenario_insert_area_chara},
	{"api_scenario_move_area_chara", api_scenario_move_area_chara},
	{"api_scenario_remove_chara", api_scenario_remove_chara},
	{"api_scenario_plus_area_city", api_scenario_plus_area_city},
	{"api_scenario_plus_area_wall", api_scenario_plus_area_wall},
	{"api_scenario_plus_area_road", api_scenario_plus_area_road},
	{"api_scenario_get_champion", api_scenario_get_champion},
	{"api_scenario_get_wincount", api_scenario_get_wincount},
	{"api_scenario_employ", api_scenario_employ},
	{"api_scenario_dismiss", api_scenario_dismiss},
	{"api_scenario_propose_alliance", api_scenario_propose_alliance},
	{"api_scenario_departure", api_scenario_departure},
	{"api_scenario_endturn", api_scenario_endturn},
	{"api_get_msec", api_get_msec},
};
}

void RegisterScriptConstants(lua_State* L)
{
	for (const TConstantGroup& group : CONSTANT_GROUPS)
		for (std::size_t i = 0; i < group.names.size(); ++i)
			SetConstant(L, group.names[i], group.first + int(i));
	for (int i = 0; i < 4; ++i)
		SetConstant(L, BUTTON_NAMES[i], 1 << i);
	for (int i = 0; i < 3; ++i)
		SetConstant(L, MOUSE_EVENT_NAMES[i], i);
	SetConstant(L, "AREACHARA_MAX", 20);
	SetConstant(L, "DEFAULT_ALLIANCETURN", 6);
}

void RegisterScriptAPI(lua_State* L)
{
	for (const TScriptFunction& entry : SCRIPT_FUNCTIONS) {
		lua_pushcclosure(L, entry.function, 0);
		lua_setfield(L, LUA_GLOBALSINDEX, entry.name);
	}
}

const std::vector<TScriptFunction>& ScriptFunctionTable()
{
	return SCRIPT_FUNCTIONS;
}
