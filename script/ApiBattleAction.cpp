// The battle engine functions that choose, preview and commit the acting chara's action, and those that
// change the battle: courage, map chips and map objects.

#include "script/ApiBattle.h"

#include "model/MagicData.h"
#include "model/MorvalethData.h"
#include "script/ApiBattleCall.h"
#include "script/ApiGameCall.h"
#include "script/BattleInterface.h"
#include "script/LuaManager.h"

#include <lua.h>

namespace
{
/// An action as a script names it: the cell the chara acts from, its kind, its target cell and its special.
struct TScriptAction
{
	int moveX;
	int moveY;
	int kind;
	int targetX;
	int targetY;
	int special;
};

TScriptAction ReadAction(const TBattleCall& c)
{
	return {c.Number(0), c.Number(1), c.Number(2), c.Number(3), c.Number(4), c.Number(5)};
}

// An action the battle may be asked about: a known kind (else the error under the prefix), cells on the map and
// a special the scenario has. A wait or a flight aims at nothing: its target becomes the cell it acts from.
bool CheckAction(const TBattleCall& c, const std::string& prefix, TScriptAction& action)
{
	if (action.kind < ACTION_KIND_WAIT || action.kind > ACTION_KIND_RUNAWAY) {
		ApiErrorf(c.L, "%s error:無効な行動タイプ %d が指定されました。", prefix, action.kind);
		return false;
	}
	if (action.kind == ACTION_KIND_WAIT || action.kind == ACTION_KIND_RUNAWAY) {
		action.targetX = action.moveX;
		action.targetY = action.moveY;
	}
	const TMorvalethData* data = c.Data();
	if (!data || !c.CheckCell(action.moveX, action.moveY) || !c.CheckCell(action.targetX, action.targetY))
		return false;
	if (action.special < -1 || action.special >= data->GetSpecialCount()) {
		c.Error("%s error:無効な特殊能力 %d が指定されました。", action.special);
		return false;
	}
	return true;
}

// Only the script of the acting chara's side commits its action.
bool IsActingSide(const TBattleCall& c)
{
	int side = -1;
	int index = -1;
	c.battle.GetActiveChara(side, index);
	if (side == g_ScriptMaster)
		return true;
	c.Error("%s error:陣営 %d のスクリプトは陣営 %d のキャラの行動を決められません。", g_ScriptMaster, side);
	return false;
}

// Keys of the effect a preview shows: the character it revives or summons appears only for those effects.
void PushEffectRecord(lua_State* L, const TMorvalethData& data, const TEffectPreview& effect)
{
	lua_newtable(L);
	SetNumberField(L, "x", effect.x);
	SetNumberField(L, "y", effect.y);
	SetNumberField(L, "masterindex", effect.side);
	SetNumberField(L, "charaindex", effect.index);
	SetNumberField(L, "value", effect.value);
	const auto setChara = [&](const char* key, int chara) {
		if (chara >= 0 && chara < data.GetCharaCount())
			SetTextField(L, key, data.GetCharaData(chara).id);
	};
	if (effect.effect == EFFECT_REVIVE)
		setChara("revivecharaid", effect.reviveChara);
	else if (effect.effect == EFFECT_SUMMON)
		setChara("summoncharaid", effect.summonChara);
	SetNumberField(L, "systemeffect", effect.effect);
	SetNumberField(L, "resattr", effect.resistanceAttribute);
	SetNumberField(L, "restype", effect.resistance);
	SetNumberField(L, "movetype", effect.moveType);
}

int PushEffectListTable(lua_State* L, const TMorvalethData& data, const std::vector<TEffectPreview>& effects)
{
	lua_newtable(L);
	for (std::size_t i = 0; i < effects.size(); ++i) {
		PushEffectRecord(L, data, effects[i]);
		lua_rawseti(L, -2, int(i) + 1);
	}
	return 1;
}

int PushTrue(lua_State* L)
{
	lua_pushboolean(L, 1);
	return 1;
}
}

int api_battle_get_action_list(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_action_list", BATTLE_FIRST, "nn", "api_get_action_list", nullptr, nullptr},
		[](TBattleCall& c) {
			if (!c.CheckCell(c.Number(0), c.Number(1)))
				return 0;
			std::vector<TBattleAction> actions;
			c.battle.GetActionList(c.Number(0), c.Number(1), actions);
			lua_newtable(c.L);
			for (std::size_t i = 0; i < actions.size(); ++i) {
				lua_newtable(c.L);
				SetNumberField(c.L, "actiontype", actions[i].kind);
				SetNumberField(c.L, "targetx", actions[i].targetX);
				SetNumberField(c.L, "targety", actions[i].targetY);
				SetNumberField(c.L, "special", actions[i].special);
				lua_rawseti(c.L, -2, int(i) + 1);
			}
			return 1;
		});
}

int api_battle_get_last_target(lua_State* L)
{
	return RunBattleApi(L,
		{"api_battle_get_last_target", BATTLE_FIRST, nullptr, "api_battle_get_last_target", nullptr, nullptr},
		[](TBattleCall& c) {
			int x = 0;
			int y = 0;
			return c.battle.GetLastTarget(x, y) ? c.PushPair(x, y) : 0;
		});
}

int api_battle_eval_action(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_eval_action", BATTLE_FIRST, "nnnnnn", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			TScriptAction a = ReadAction(c);
			std::vector<TEffectPreview> effects;
			if (!CheckAction(c, c.name, a)
				|| !c.battle.EvalAction(a.moveX, a.moveY, a.kind, a.special, a.targetX, a.targetY, effects))
				return 0;
			return PushEffectListTable(c.L, *c.Data(), effects);
		});
}

// A refused action is answered false, so that the script tries another.
int api_battle_set_action(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_set_action", BATTLE_FIRST, "nnnnnn", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			TScriptAction a = ReadAction(c);
			const bool committed = CheckAction(c, "api_set_action", a) && IsActingSide(c)
				&& c.battle.SetAction(a.moveX, a.moveY, a.kind, a.special, a.targetX, a.targetY);
			return c.PushBool(committed);
		});
}

int api_battle_get_auto_runaway(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_get_auto_runaway", BATTLE_FIRST, nullptr, nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			point_t cell;
			return c.battle.GetAutoRunaway(cell) ? c.PushPair(cell.x, cell.y) : 0;
		});
}

int api_battle_set_chara_brave(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_set_chara_brave", BATTLE_FIRST, "nnn", nullptr, nullptr, nullptr},
		[](TBattleCall& c) {
			if (!c.CheckChara(c.Number(0), c.Number(1)))
				return 0;
			c.battle.SetCharaBrave(c.Number(0), c.Number(1), c.Number(2));
			return PushTrue(c.L);
		});
}

int api_battle_set_map_chip(lua_State* L)
{
	return RunBattleApi(L, {"api_battle_set_map_chip", BATTLE_FIRST, "nnn", "api_set_map_chip", nullptr, nullptr},
		[](TBattleCall& c) {
			const int chip = c.Number(2);
			const TMorvalethData* data = c.Data();
			if (!data || !c.CheckCell(c.Number(0), c.Number(1)))
				return 0;
			if (chip < 0 || chip >= data->GetMapChipNumberCount())
				return c.Error("%s(%d) error:未定義の地形チップが指定されました。", chip);
			c.battle.SetMapChip(c.Number(0), c.Number(1), chip);
			return PushTrue(c.L);
		});
}

int api_battle_rm_map_obj(lua_State* L)
{
	return RunBattleApi(L,
		{"api_battle_rm_map_obj", BATTLE_FIRST, "nn", "api_battle_rm_map_obj", "n", "api_battle_rm_map_obj 2"},
		[](TBattleCall& c) {
			if (!c.CheckCell(c.Number(0), c.Number(1)))
				return 0;
			if (c.ArgumentCount() > 2)
				c.battle.RemoveMapObjOfType(c.Number(0), c.Number(1), c.Number(2));
			else
				c.battle.RemoveMapObj(c.Number(0), c.Number(1));
			return PushTrue(c.L);
		});
}
