#include "script/ApiWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "common/babel/babel.h"
#include "gui/MsgDlg.h"
#include "media/MorvalethImage.h"
#include "media/MorvalethMixer.h"
#include "model/MorvalethData.h"
#include "script/ApiConventions.h"
#include "script/LuaManager.h"
#include "script/ScriptAPI.h"

#include <SDL.h>
#include <algorithm>
#include <lua.h>

namespace
{
const int MUSIC_FADE_MS = 500;
const unsigned MAX_TITLEBAR_HEIGHT = 64;

// Stores a number under a string key of the table on top of the stack.
void SetNumberField(lua_State* L, const char* key, int value)
{
	lua_pushstring(L, key);
	lua_pushnumber(L, value);
	lua_rawset(L, -3);
}

// The event as {x, y, eventtype}.
int PushEvent(lua_State* L, const TScriptEvent& event)
{
	lua_newtable(L);
	SetNumberField(L, "x", event.x);
	SetNumberField(L, "y", event.y);
	SetNumberField(L, "eventtype", event.button);
	return 1;
}

int PushTrue(lua_State* L)
{
	lua_settop(L, 0);
	lua_pushboolean(L, 1);
	return 1;
}

// The script-window registry; null, after an Error, for a script that has none (a strategy script).
TScriptAPI* Registry(lua_State* L, const char* name)
{
	if (!g_ScriptAPI)
		ApiErrorf(L, "%s was called, but no script window manager.", ApiLogName(name));
	return g_ScriptAPI;
}

// The steps every window function shares: the argument test under the warning name, the
// registry and the handle (its message: the name and " invalid window handle.").
// False, after the report, when the call must end with no values.
bool CheckWindowCall(lua_State* L, const char* name, bool argumentsMatch, const std::string& handleName)
{
	if (!argumentsMatch) {
		ApiInvalidArgument(L, ApiLogName(name));
		return false;
	}
	TScriptAPI* registry = Registry(L, name);
	if (!registry)
		return false;
	if (!registry->IsValidWindow(LuaToInt(L, 1))) {
		ApiError(L, handleName + " invalid window handle.");
		return false;
	}
	return true;
}

bool CheckWindowCall(lua_State* L, const char* name, const char* types)
{
	return CheckWindowCall(L, name, ApiArgsMatch(L, types), name);
}

// The image a window item shows for kind and value: an event image by its index, or a
// character's face or chip; -1, after the report, when there is no such image.
int ItemImage(lua_State* L, int kind, int value)
{
	const char* name = "api_window_set_image";
	if (kind == SCRIPT_IMAGE_FACE || kind == SCRIPT_IMAGE_CHARACHIP) {
		const TMorvalethData* data = g_GameMaster.m_Data.get();
		if (!data || value < 0 || value >= data->GetCharaCount()) {
			ApiErrorf(L, "%s character type out of range.", name);
			return -1;
		}
		const TCharaData& chara = data->GetCharaData(value);
		const int image = kind == SCRIPT_IMAGE_FACE ? chara.FaceImage : chara.ChipImage;
		if (image < 0)
			ApiErrorf(L, "%s character type %d has no image of kind %d.", name, value, kind);
		return image;
	}
	if (kind != SCRIPT_IMAGE_EVENT) {
		ApiErrorf(L, "%s invalid image kind %d.", name, kind);
		return -1;
	}
	// A script image index names a loaded image exactly when it has a size.
	int width = 0, height = 0;
	if (g_GameMaster.m_Image)
		g_GameMaster.m_Image->GetMyImageSize(value, width, height);
	if (width <= 0) {
		ApiErrorf(L, "%s image index %d out of range.", name, value);
		return -1;
	}
	return value;
}

// The string argument within limit bytes: cut after its last whole character, with a Warning naming the
// script, when it is longer. Only the bytes kept are copied, so a huge text costs no more than a short one.
std::string BoundText(lua_State* L, const char* name, int index, std::size_t limit)
{
	std::size_t length = 0;
	const char* text = lua_tolstring(L, index, &length);
	if (!text)
		return std::string();
	std::string head(text, std::min(length, limit));
	if (length <= limit)
		return head;
	head.resize(SjisCutLength(head, limit));
	LogScriptWarning(L, FormatText("%s のテキスト(%d バイト)は長すぎるため、%d バイトで切りました。", name, length,
		head.size()));
	return head;
}

// False, after the Warning naming the script, for a call that must end with no values.
bool Refuse(lua_State* L, const std::string& warning)
{
	lua_settop(L, 0);
	LogScriptWarning(L, warning);
	return false;
}

// Texts and images the window holds.
TScriptItems WindowItems(const TScriptAPI& registry, int handle)
{
	return registry.GetWindowState(handle).content.GetItemCount();
}

// True when held and more texts, and held and more images, are each at most limit.
bool Fits(const TScriptItems& held, const TScriptItems& more, int limit)
{
	return held.texts + more.texts <= limit && held.images + more.images <= limit;
}

// True when the window has room for the texts and images to add: with the other shown windows when it is shown
// (what a frame draws), on its own when it is hidden (so that it can still be shown), and with every window of
// the game (what memory holds); false, after a Warning naming the script, when it has not.
bool HasRoom(lua_State* L, const char* name, int handle, const TScriptItems& more)
{
	const TScriptAPI& registry = *g_ScriptAPI;
	const bool shown = registry.IsWindowVisible(handle);
	if (!Fits(shown ? registry.GetShownItems() : WindowItems(registry, handle), more, SCRIPT_SHOWN_ITEMS))
		return Refuse(L, FormatText("%s：表示するウィンドウは全部でテキストと画像をそれぞれ %d 個までしか持てないため、"
			"追加しませんでした。", name, SCRIPT_SHOWN_ITEMS));
	if (!Fits(registry.GetHeldItems(), more, SCRIPT_HELD_ITEMS))
		return Refuse(L, FormatText("%s：ウィンドウは隠したものも合わせてテキストと画像をそれぞれ %d 個までしか持てないため、"
			"追加しませんでした。", name, SCRIPT_HELD_ITEMS));
	return true;
}

// True when one more window may be shown; false, after a Warning naming the script, when as many as may be
// are shown.
bool HasRoomOnScreen(lua_State* L, const char* name, const TScriptAPI& registry)
{
	return registry.GetShownWindowCount() < SCRIPT_SHOWN_WINDOWS
		|| Refuse(L, FormatText("%s：ウィンドウは同時に %d 個までしか表示できないため、表示しませんでした。", name,
			SCRIPT_SHOWN_WINDOWS));
}

// True when the hidden window may be shown: one window more, and what it holds with what the shown windows
// hold, within the bounds on a frame; false, after a Warning naming the script, when not.
bool MayShow(lua_State* L, const char* name, const TScriptAPI& registry, int handle)
{
	return HasRoomOnScreen(L, name, registry)
		&& (Fits(registry.GetShownItems(), WindowItems(registry, handle), SCRIPT_SHOWN_ITEMS)
			|| Refuse(L, FormatText("%s：表示するウィンドウは全部でテキストと画像をそれぞれ %d 個までしか持てないため、"
				"表示しませんでした。", name, SCRIPT_SHOWN_ITEMS)));
}

// clear_image and clear_text: the handle and an optional id, -1 when left out.
int ClearItems(lua_State* L, const char* name, void (TScriptAPI::*clear)(int, int))
{
	if (!CheckWindowCall(L, name, ApiArgsMatch(L, "n") || ApiArgsMatch(L, "nn"), name))
		return 0;
	const int handle = LuaToInt(L, 1);
	const int id = lua_gettop(L) == 2 ? LuaToInt(L, 2) : -1;
	(g_ScriptAPI->*clear)(handle, id);
	return PushTrue(L);
}
}

int LoadScriptImage(const std::string& name)
{
	std::string path;
	if (!g_GameMaster.m_Image || !g_GameMaster.FindPictureFile(name, path))
		return -1;
	return g_GameMaster.m_Image->AddMyImage(path);
}

bool PlayScriptMusic(const std::string& name)
{
	std::string folder;
	if (!g_GameMaster.FindMusicFile(name, folder)) {
		g_Logger.Error(FormatText("音楽 %s が見つかりませんでした。", name));
		return false;
	}
	const int music = g_GameMaster.m_Mixer ? g_GameMaster.m_Mixer->LoadMusic(folder + "/" + name) : -1;
	if (music == -1) {
		g_Logger.Error(FormatText("音楽 %s のロードに失敗しました。", name));
		return false;
	}
	g_GameMaster.m_Mixer->ChangeMusic(music, MUSIC_FADE_MS);
	return true;
}

int api_music_set(lua_State* L)
{
	return ApiGuard(L, "api_music_set", [L] {
		if (!ApiArgsMatch(L, "s"))
			return ApiInvalidArgument(L, "api_music_set");
		const std::string name = ApiArgString(L, 1);
		lua_settop(L, 0);
		lua_pushboolean(L, PlayScriptMusic(name));
		return 1;
	});
}

int api_gui_get_top_size(lua_State* L)
{
	return ApiGuard(L, "api_gui_get_top_size", [L] {
		lua_settop(L, 0);
		int width = 0, height = 0;
		GetTopWidgetSize(width, height);
		lua_pushnumber(L, width);
		lua_pushnumber(L, height);
		return 2;
	});
}

int api_gui_event_pop(lua_State* L)
{
	return ApiGuard(L, "api_gui_event_pop", [L] {
		lua_settop(L, 0);
		TScriptAPI* registry = Registry(L, "api_gui_event_pop");
		TScriptEvent event;
		return registry && registry->PopGuiEvent(event) ? PushEvent(L, event) : 0;
	});
}

int api_window_new(lua_State* L)
{
	return ApiGuard(L, "api_window_new", [L] {
		lua_settop(L, 0);
		TScriptAPI* registry = Registry(L, "api_window_new");
		if (!registry)
			return 0;
		if (registry->GetWindowCount() >= SCRIPT_WINDOWS) {
			LogScriptWarning(L, FormatText("api_window_new：ウィンドウは %d 個までしか作れないため、作りませんでした。",
				SCRIPT_WINDOWS));
			return 0;
		}
		// A new window is shown at once; when as many are shown as may be, it is made hidden, and the script
		// still has its handle to fill it and show it once another is hidden.
		const bool room = registry->GetShownWindowCount() < SCRIPT_SHOWN_WINDOWS;
		const int handle = registry->NewWindow();
		if (!room) {
			registry->HideWindow(handle);
			LogScriptWarning(L, FormatText("api_window_new：ウィンドウは同時に %d 個までしか表示できないため、"
				"隠したまま作りました。", SCRIPT_SHOWN_WINDOWS));
		}
		lua_pushnumber(L, handle);
		return 1;
	});
}

int api_window_set_size(lua_State* L)
{
	return ApiGuard(L, "api_window_set_size", [L] {
		if (!CheckWindowCall(L, "api_window_set_size", "nnn"))
			return 0;
		const int width = LuaToInt(L, 2);
		const int height = LuaToInt(L, 3);
		if (width > SCRIPT_PANE_SIZE || height > SCRIPT_PANE_SIZE)
			LogScriptWarning(L, FormatText("api_window_set_size：ウィンドウの大きさ %d x %d は大きすぎるため、%d 以下に"
				"切りました。", width, height, SCRIPT_PANE_SIZE));
		g_ScriptAPI->SetWindowSize(LuaToInt(L, 1), std::min(width, SCRIPT_PANE_SIZE), std::min(height, SCRIPT_PANE_SIZE));
		return PushTrue(L);
	});
}

int api_window_set_position(lua_State* L)
{
	return ApiGuard(L, "api_window_set_position", [L] {
		if (!CheckWindowCall(L, "api_window_set_position", "nnn"))
			return 0;
		g_ScriptAPI->SetWindowPosition(LuaToInt(L, 1), LuaToInt(L, 2), LuaToInt(L, 3));
		return PushTrue(L);
	});
}

int api_window_set_visible(lua_State* L)
{
	return ApiGuard(L, "api_window_set_visible", [L] {
		if (!CheckWindowCall(L, "api_window_set_visible", "nb"))
			return 0;
		const int handle = LuaToInt(L, 1);
		const bool show = ApiArgBool(L, 2);
		if (show && !g_ScriptAPI->IsWindowVisible(handle) && !MayShow(L, "api_window_set_visible", *g_ScriptAPI, handle))
			return 0;
		if (show)
			g_ScriptAPI->ShowWindow(handle);
		else
			g_ScriptAPI->HideWindow(handle);
		return PushTrue(L);
	});
}

int api_window_set_titlebarheight(lua_State* L)
{
	const char* name = "api_window_set_titlebarheight";
	return ApiGuard(L, name, [L, name] {
		const std::string logName = ApiLogName(name);
		if (!ApiArgsMatch(L, "nn")) {
			lua_settop(L, 0);
			LogScriptError(L, logName + " invalid argument type.");
			return 0;
		}
		if (!CheckWindowCall(L, name, true, name))
			return 0;
		const int handle = LuaToInt(L, 1);
		const int height = LuaToInt(L, 2);
		if (static_cast<unsigned>(height) > MAX_TITLEBAR_HEIGHT)
			return ApiErrorf(L, "%s invalid window titlebar height %d. (0-64))", logName, height);
		// A hidden window keeps the height for when it is shown.
		g_ScriptAPI->SetTitleBarHeight(handle, static_cast<unsigned>(height));
		return PushTrue(L);
	});
}

int api_window_set_image(lua_State* L)
{
	return ApiGuard(L, "api_window_set_image", [L] {
		if (!CheckWindowCall(L, "api_window_set_image", "nnnnnn") ||
			!HasRoom(L, "api_window_set_image", LuaToInt(L, 1), {0, 1}))
			return 0;
		const int kind = LuaToInt(L, 5);
		const int image = ItemImage(L, kind, LuaToInt(L, 6));
		if (image < 0)
			return 0;
		g_ScriptAPI->SetImage(LuaToInt(L, 1), LuaToInt(L, 2), LuaToInt(L, 3), LuaToInt(L, 4), kind, image);
		return PushTrue(L);
	});
}

int api_window_set_faceorchip(lua_State* L)
{
	const char* name = "api_window_set_faceorchip";
	return ApiGuard(L, name, [L, name] {
		const std::string logName = ApiLogName(name);
		if (!CheckWindowCall(L, name, ApiArgsMatch(L, "nnnns"), logName) || !HasRoom(L, name, LuaToInt(L, 1), {1, 1}))
			return 0;
		const int handle = LuaToInt(L, 1);
		const int x = LuaToInt(L, 2);
		const int y = LuaToInt(L, 3);
		const int id = LuaToInt(L, 4);
		const int chara = ApiCharaIndex(ApiArgString(L, 5));
		lua_settop(L, 0);
		if (chara < 0)
			return ApiErrorf(L, "%s invalid character id.", logName);
		const TCharaData& data = g_GameMaster.m_Data->GetCharaData(chara);
		g_ScriptAPI->SetFaceOrChip(handle, x, y + 20, id, data.FaceImage, data.ChipImage);
		g_ScriptAPI->SetText(handle, x, y, id, data.Name);
		return PushTrue(L);
	});
}

int api_window_clear_image(lua_State* L)
{
	return ApiGuard(L, "api_window_clear_image", [L] {
		return ClearItems(L, "api_window_clear_image", &TScriptAPI::ClearImage);
	});
}

int api_window_set_text(lua_State* L)
{
	const char* name = "api_window_set_text";
	return ApiGuard(L, name, [L, name] {
		if (!CheckWindowCall(L, name, "nnnns") || !HasRoom(L, name, LuaToInt(L, 1), {1, 0}))
			return 0;
		g_ScriptAPI->SetText(LuaToInt(L, 1), LuaToInt(L, 2), LuaToInt(L, 3), LuaToInt(L, 4),
			BoundText(L, name, 5, SCRIPT_TEXT_BYTES));
		return PushTrue(L);
	});
}

int api_window_clear_text(lua_State* L)
{
	return ApiGuard(L, "api_window_clear_text", [L] {
		return ClearItems(L, "api_window_clear_text", &TScriptAPI::ClearText);
	});
}

int api_window_is_visible(lua_State* L)
{
	return ApiGuard(L, "api_window_is_visible", [L] {
		if (!CheckWindowCall(L, "api_window_is_visible", "n"))
			return 0;
		const bool visible = g_ScriptAPI->IsWindowVisible(LuaToInt(L, 1));
		lua_settop(L, 0);
		lua_pushboolean(L, visible);
		return 1;
	});
}

int api_window_event_pop(lua_State* L)
{
	return ApiGuard(L, "api_window_event_pop", [L] {
		if (!CheckWindowCall(L, "api_window_event_pop", "n"))
			return 0;
		const int handle = LuaToInt(L, 1);
		lua_settop(L, 0);
		TScriptEvent event;
		return g_ScriptAPI->PopWindowEvent(handle, event) ? PushEvent(L, event) : 0;
	});
}

int api_dialog_show(lua_State* L)
{
	return ApiGuard(L, "api_dialog_show", [L] {
		if (!ApiArgsMatch(L, "ssn") && !ApiArgsMatch(L, "ssnb"))
			return ApiInvalidArgument(L, "api_dialog_show");
		// The dialog shows as many lines of the message as the screen holds above its buttons.
		const std::string caption = BoundText(L, "api_dialog_show", 1, SCRIPT_TEXT_BYTES);
		const std::string text = BoundText(L, "api_dialog_show", 2, SCRIPT_MESSAGE_BYTES);
		const unsigned buttons = static_cast<unsigned>(LuaToInt(L, 3));
		const int timeout = lua_gettop(L) == 4 && ApiArgBool(L, 4) ? g_Config.m_MessageTimeoutFrame : 0;
		lua_settop(L, 0);
		ShowMsgDlg(caption, text, buttons, timeout);
		return PushTrue(L);
	});
}

int api_dialog_is_visible(lua_State* L)
{
	return ApiGuard(L, "api_dialog_is_visible", [L] {
		lua_settop(L, 0);
		lua_pushboolean(L, IsMsgDlgVisible());
		return 1;
	});
}

int api_dialog_get_selected(lua_State* L)
{
	return ApiGuard(L, "api_dialog_get_selected", [L] {
		lua_settop(L, 0);
		// Before the first message there is no dialog, and no button was chosen.
		lua_pushnumber(L, g_MsgDlg ? g_MsgDlg->m_Selected : 0);
		return 1;
	});
}

int api_image_load(lua_State* L)
{
	return ApiGuard(L, "api_image_load", [L] {
		if (!ApiArgsMatch(L, "s"))
			return ApiInvalidArgument(L, ApiLogName("api_image_load"));
		const std::string name = ApiArgString(L, 1);
		lua_settop(L, 0);
		const int image = LoadScriptImage(name);
		if (image < 0)
			return 0;
		lua_pushnumber(L, image);
		return 1;
	});
}

int api_get_msec(lua_State* L)
{
	return ApiGuard(L, "api_get_msec", [L] {
		lua_settop(L, 0);
		lua_pushnumber(L, SDL_GetTicks());
		return 1;
	});
}
