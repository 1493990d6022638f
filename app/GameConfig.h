#ifndef MORVALETH_APP_GAMECONFIG_H
#define MORVALETH_APP_GAMECONFIG_H

#include "app/IniLoader.h"

#include <array>
#include <string>
#include <guichan/color.hpp>

/// Integer settings, by index.
enum { CONFIG_FPS = 0, CONFIG_WIDTH, CONFIG_HEIGHT, CONFIG_SCROLLBAR_WIDTH, CONFIG_ANIMATION_SPEED, CONFIG_TURN_MAX,
	CONFIG_SLIDE_LEFT, CONFIG_SLIDE_RIGHT, CONFIG_SLIDE_TOP, CONFIG_SLIDE_BOTTOM, CONFIG_COUNT };
/// Switches, by index.
enum { SWITCH_DISABLE_SWAP_INTERVAL = 0, SWITCH_MUSIC_ENABLED, SWITCH_SOUND_ENABLED, SWITCH_WATCH_USE,
	SWITCH_WATCH_ONLY_LARGE, SWITCH_WATCH_ONLY_MASTER, SWITCH_WATCH_NO_NEUTRAL, SWITCH_WATCH_MAX_SPEED, SWITCH_COUNT };
/// GUI colours, by index.
enum { GUICOLOR_WINDOW = 0, GUICOLOR_BUTTON_ENABLED, GUICOLOR_BUTTON_DISABLED, GUICOLOR_DARK_PANE, GUICOLOR_GRAY_PANE,
	GUICOLOR_EVENT_PANE, GUICOLOR_LISTBOX_BACKGROUND, GUICOLOR_LISTBOX_SELECTION, GUICOLOR_SELECTED_FRAME,
	GUICOLOR_RADIOBUTTON_BG, GUICOLOR_MAGIC_SELECT_PANE, GUICOLOR_BATTLE_CHARA_LIST_PANE, GUICOLOR_COUNT };
/// Extra colours, by index.
enum { EXTRACOLOR_TOP = 0, EXTRACOLOR_COUNT };
/// Battle commands that carry a shortcut key, by index.
enum { SHORTCUT_WAIT = 0, SHORTCUT_MOVE, SHORTCUT_ATTACK, SHORTCUT_CHARGE, SHORTCUT_SPECIAL, SHORTCUT_MAGIC,
	SHORTCUT_RUNAWAY, SHORTCUT_COUNT };

/// The smallest window side the settings window sets.
const int SETTINGS_MIN_WINDOW_SIDE = 640;

/// Every setting of the program, read from the configuration file with a default for each.
class TGameConfig : public TIniLoader
{
public:
	/// Every colour (0, 0, 0, 255) and every number 0 until Load.
	TGameConfig();

	/// Reads the file and copies every setting out of it; a missing file gives one Warning and the defaults. Always true.
	bool Load(const std::string& file);
	/// Writes the store, with the changed settings, back into the file.
	bool Save(const std::string& file);

	// An index outside its table logs an Error: a getter then answers 0, false or black, a setter changes nothing.

	/// The integer setting (CONFIG_*).
	int GetIntValue(int index) const;
	/// Sets the integer setting and writes it into the store.
	void SetIntValue(int index, int value);
	/// The switch (SWITCH_*).
	bool GetBoolValue(int index) const;
	/// Sets the switch and writes it into the store as 0 or 1.
	void SetBoolValue(int index, bool value);
	/// The SDL key code of the shortcut (SHORTCUT_*); 0 for none.
	int GetShortcut(int index) const;
	/// Sets the key of the shortcut and writes it into the store.
	void SetShortcut(int index, int key);
	/// The first shortcut, in index order, that the key triggers; false when none or for key 0.
	bool FindShortcutAction(int key, int& action) const;

	/// The extra colour (EXTRACOLOR_*).
	gcn::Color GetColor(int index) const;
	/// The GUI colour (GUICOLOR_*).
	const gcn::Color& GetGuiColor(int index) const;
	/// How in-memory file names map to names on disk.
	const std::string& GetFileNameEncoding() const { return m_FileNameEncoding; }

	/// The size of the window in use (never written to the file).
	void GetWindowSize(int& width, int& height) const;
	/// Records the size of the window in use.
	void SetWindowSize(int width, int height);

	/// Log level given to the log.
	int m_LogLevel;
	/// Whether the log flushes after every line.
	bool m_LogEveryFlush;
	/// Font family name (Shift-JIS); empty for the default font.
	std::string m_FontName;
	/// Glyph size of text lines.
	int m_TextFontSize;
	/// Text colour.
	gcn::Color m_FontColor;
	/// Colour of disabled text.
	gcn::Color m_FontDisabledColor;
	/// Colour of the message dialog.
	gcn::Color m_MsgDlgColor;
	/// Edge colour of the world map.
	gcn::Color m_WorldMapEdgeColor;
	/// Shade colour of the battle map.
	gcn::Color m_BattleMapShadeColor;
	/// Frames within which a second click is a double click.
	int m_DoubleClickFrame;
	/// Frames after which a timed message closes.
	int m_MessageTimeoutFrame;

private:
	/// The colour of a hexadecimal AARRGGBB key, or of the default word.
	gcn::Color ReadColor(const char* section, const char* key, unsigned defaultWord) const;
	/// The number of a key, or the default.
	int ReadInt(const char* section, const char* key, int defaultValue) const;
	/// Frame rate, window sides and scroll bar width below what the program can use take their defaults, with a
	/// Warning each.
	void KeepUsableSizes();
	/// One Warning for the lines of the file that the store could not read.
	void ReportUnreadLines() const;
	/// Reads the log, font and named colour settings.
	void LoadNamedSettings();
	/// Reads the settings of the constant tables.
	void LoadTables();

	/// Colours of windows, buttons, panes and lists (GUICOLOR_*).
	std::array<gcn::Color, GUICOLOR_COUNT> m_GuiColors;
	/// Window size in use, set by start-up after fitting into the desktop.
	int m_WindowWidth;
	int m_WindowHeight;
	/// Switches (SWITCH_*).
	std::array<bool, SWITCH_COUNT> m_Switches;
	/// Integer settings (CONFIG_*).
	std::array<int, CONFIG_COUNT> m_IntValues;
	/// Extra colours (EXTRACOLOR_*).
	std::array<gcn::Color, EXTRACOLOR_COUNT> m_ExtraColors;
	/// File/FileNameEncoding.
	std::string m_FileNameEncoding;
	/// SDL key codes of the battle command shortcuts (SHORTCUT_*).
	std::array<int, SHORTCUT_COUNT> m_Shortcuts;
	/// The file last loaded, named in every Warning about its contents.
	std::string m_File;
};

/// The program's configuration, loaded by start-up from "morvaleth.ini".
extern TGameConfig g_Config;

#endif
