#ifndef MORVALETH_SCRIPT_APIWINDOW_H
#define MORVALETH_SCRIPT_APIWINDOW_H

#include <string>

struct lua_State;

// The engine functions that drive the screen: script windows, the presses that
// reach no script window, the message dialog, script images, music and the clock.

int api_music_set(lua_State* L);
int api_gui_get_top_size(lua_State* L);
int api_gui_event_pop(lua_State* L);
int api_window_new(lua_State* L);
int api_window_set_size(lua_State* L);
int api_window_set_position(lua_State* L);
int api_window_set_visible(lua_State* L);
int api_window_set_titlebarheight(lua_State* L);
int api_window_set_image(lua_State* L);
int api_window_set_faceorchip(lua_State* L);
int api_window_clear_image(lua_State* L);
int api_window_set_text(lua_State* L);
int api_window_clear_text(lua_State* L);
int api_window_is_visible(lua_State* L);
int api_window_event_pop(lua_State* L);
int api_dialog_show(lua_State* L);
int api_dialog_is_visible(lua_State* L);
int api_dialog_get_selected(lua_State* L);
int api_image_load(lua_State* L);
int api_get_msec(lua_State* L);

/// Index of the script image of that file (scenario's pictures, then Default's); -1 when it is missing or unreadable.
int LoadScriptImage(const std::string& name);
/// Changes the music to that file with a fade of 500 ms; false, after an Error, when it is missing or unreadable.
bool PlayScriptMusic(const std::string& name);

#endif
