#ifndef MORVALETH_SCRIPT_APIWINDOW_H
#define MORVALETH_SCRIPT_APIWINDOW_H

#include <string>

struct lua_State;

// The engine functions that drive the screen: script windows, the presses that
// reach no script window, the message dialog, script images, music and the clock.
// The window functions and api_gui_event_pop need the script-window registry, which
// the masters' strategy scripts do not have, and a handle it made. Past the bounds of
// ScriptAPI.h on what the shown windows and all the windows hold, an image or text is
// not added and a window not shown, with a Warning.

/// (file): changes the music to the file, fading over 500 ms; whether it plays.
int api_music_set(lua_State* L);
/// Width and height of the GUI's top widget; 0, 0 before there is one.
int api_gui_get_top_size(lua_State* L);
/// The oldest press that reached no script window, {x, y, eventtype} (0 the left button, 1 any other);
/// nothing when none is queued.
int api_gui_event_pop(lua_State* L);
/// Handle of a new window, shown at once, or hidden, after a Warning, while SCRIPT_SHOWN_WINDOWS are shown;
/// nothing, after a Warning, once SCRIPT_WINDOWS have been made.
int api_window_new(lua_State* L);
/// (handle, width, height): sizes the window's pane, each side cut to SCRIPT_PANE_SIZE with a Warning, and
/// fits the window round it; true.
int api_window_set_size(lua_State* L);
/// (handle, x, y): moves the window; -1 centres it on that axis; true.
int api_window_set_position(lua_State* L);
/// (handle, shown): shows and raises, or hides, the window; true, or nothing, after a Warning, for a show that
/// would pass what the shown windows may be and hold.
int api_window_set_visible(lua_State* L);
/// (handle, height): sets the title bar's height, 0..64, and fits the window; true. Wrong argument types
/// are an Error here, not a Warning.
int api_window_set_titlebarheight(lua_State* L);
/// (handle, x, y, id, kind, value): adds an image tagged with the id: the script image of that index
/// (IMAGE_EVENT), or the face or chip of the character definition of that index; -1 centres it; true.
int api_window_set_image(lua_State* L);
/// (handle, x, y, id, chara id): adds the character's name at the point and 20 pixels below it its face, or
/// its chip at three times its size when it has no face, both tagged with the id; true.
int api_window_set_faceorchip(lua_State* L);
/// (handle[, id]): removes the window's images tagged with the id, every one without an id; true.
int api_window_clear_image(lua_State* L);
/// (handle, x, y, id, text): adds a white text tagged with the id, each line feed starting a new line, cut to
/// SCRIPT_TEXT_BYTES with a Warning; -1 centres its lines; true.
int api_window_set_text(lua_State* L);
/// (handle[, id]): removes the window's texts tagged with the id, every one without an id; true.
int api_window_clear_text(lua_State* L);
/// (handle): whether the window is shown.
int api_window_is_visible(lua_State* L);
/// (handle): the oldest press on the window's pane, {x, y, eventtype} relative to the window; nothing when
/// none is queued.
int api_window_event_pop(lua_State* L);
/// (caption, text, buttons[, timed]): shows the message dialog with the buttons of the mask, in place of one
/// still shown, closing by itself after the configured frames when timed; the caption cut to SCRIPT_TEXT_BYTES
/// and the text to the lines the screen holds, with a Warning; true.
int api_dialog_show(lua_State* L);
/// Whether the message dialog is shown.
int api_dialog_is_visible(lua_State* L);
/// The answer code of the button that closed the message dialog; 0 while none has.
int api_dialog_get_selected(lua_State* L);
/// (file): index of the script image of the file, loaded from the scenario's pictures, then Default's;
/// nothing when it is missing or unreadable.
int api_image_load(lua_State* L);
/// Milliseconds since SDL started (its ticks).
int api_get_msec(lua_State* L);

/// Index of the script image of that file (scenario's pictures, then Default's); -1 when it is missing or unreadable.
int LoadScriptImage(const std::string& name);
/// Changes the music to that file with a fade of 500 ms; false, after an Error, when it is missing or unreadable.
bool PlayScriptMusic(const std::string& name);

#endif
