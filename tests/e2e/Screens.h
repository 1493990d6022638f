#ifndef MORVALETH_TESTS_E2E_SCREENS_H
#define MORVALETH_TESTS_E2E_SCREENS_H

// Where the windows of the start, the settings, the scenario and master select, the save/load
// list and the system menu stand on the game's window, as a person finds them, and what tells each
// of them on a shot of the window. The front-end windows are centred; their children sit 2 pixels
// in from the left edge, below a 16-pixel title bar.

#include "e2e/PlayDriver.h"

/// A point of the game window, in its own pixels.
struct TPoint
{
	int X, Y;
};

/// The colour of the screen where no window stands.
const TColour BARE_BACKGROUND = 0x606080;
/// The body of a message dialog.
const TColour DIALOG_BODY = 0xA0A0A0;
/// The selected row of a list.
const TColour SELECTED_ROW = 0x000080;
/// The body of the explanation and text panes.
const TColour DARK_PANE = 0x000020;
/// The chosen cell of the battle speed.
const TColour CHOSEN_SPEED = 0xFFC000;
const TColour WHITE = 0xFFFFFF;
/// Black, also the background of lists.
const TColour BLACK = 0x000000;
/// A usable button's face.
const TColour BUTTON_FACE = 0x808080;

inline TPoint CentreOf(const TRect& rect)
{
	return {rect.X + rect.W / 2, rect.Y + rect.H / 2};
}

inline TRect CentredWindow(const TPlayer& player, int width, int height)
{
	return {(player.Width() - width) / 2, (player.Height() - height) / 2, width, height};
}

/// A child of a front-end window, from its place in the window's pane.
inline TRect Child(const TRect& window, int x, int y, int width, int height)
{
	return {window.X + 2 + x, window.Y + 16 + y, width, height};
}

/// 新規ゲーム, 続きから and 設定, alone in the middle after start-up.
struct TStartMenuScreen
{
	explicit TStartMenuScreen(const TPlayer& player) : Window(CentredWindow(player, 116, 120)) {}
	TRect NewGame() const { return Child(Window, 8, 8, 96, 24); }
	TRect Continue() const { return Child(Window, 8, 40, 96, 24); }
	TRect Settings() const { return Child(Window, 8, 72, 96, 24); }
	TRect Window;
};

/// The settings window on its first tab (戦闘): the speed cells and the five watch switches.
struct TSettingsScreen
{
	explicit TSettingsScreen(const TPlayer& player) : Window(CentredWindow(player, 484, 378)) {}
	/// Where the shown tab's own widgets start.
	TPoint Tab() const { return {Window.X + 7, Window.Y + 45}; }
	/// Speed cell i (0 fast to 4 slow).
	TRect SpeedCell(int i) const { return {Tab().X + 72 + 51 * i + 4, Tab().Y + 10, 42, 20}; }
	/// The box of watch switch i (0 is 観戦する, 4 is 観戦時は最高速), without its outline.
	TRect WatchBox(int i) const { return {Tab().X + 6, Tab().Y + 42 + 24 * i, 11, 11}; }
	TRect Ok() const { return Child(Window, 356, 332, 56, 24); }
	TRect Cancel() const { return Child(Window, 420, 332, 56, 24); }
	/// The caption of the second tab, ショートカット.
	TRect ShortcutTab() const { return {Window.X + 60, Window.Y + 24, 90, 16}; }
	/// On the shortcut tab: command i of the list (0 is 待機), 変更, and the key of the chosen command.
	TRect CommandRow(int i) const { return {Tab().X + 4, Tab().Y + 4 + 16 * i, 160, 16}; }
	TRect Change() const { return {Tab().X + 168, Tab().Y + 4, 56, 24}; }
	TRect KeyName() const { return {Tab().X + 172, Tab().Y + 32, 160, 24}; }
	TRect Window;
};

/// The scenario list, the chapter list, the level radios, the explanation, 開始 and 取消.
struct TScenarioSelectScreen
{
	explicit TScenarioSelectScreen(const TPlayer& player) : Window(CentredWindow(player, 592, 466)) {}
	TRect ScenarioRow(int i) const { return Child(Window, 4, 4 + 16 * i, 240, 16); }
	TRect ChapterRow(int i) const { return Child(Window, 268, 4 + 16 * i, 288, 16); }
	TRect Level(int i) const { return Child(Window, 288 + 48 * i, 116, 28, 16); }
	TRect LevelCaption() const { return Child(Window, 272, 96, 100, 16); }
	TRect Explanation() const { return Child(Window, 4, 172, 576, 240); }
	TRect Start() const { return Child(Window, 428, 416, 56, 24); }
	TRect Cancel() const { return Child(Window, 524, 416, 56, 24); }
	TRect Window;
};

/// The masters' tiles (two rows, column by column), the hovered master's texts, 開始 and 取消.
struct TMasterSelectScreen
{
	explicit TMasterSelectScreen(const TPlayer& player) : Window(CentredWindow(player, 628, 550)) {}
	TRect Tile(int i) const { return Child(Window, 4 + 128 * (i / 2), 4 + 128 * (i % 2), 128, 128); }
	/// Where "Player" stands in a chosen tile.
	TRect PlayerLabel(int i) const { return {Tile(i).X, Tile(i).Y + 72, 128, 16}; }
	TRect Handle() const { return Child(Window, 4, 296, 616, 16); }
	TRect Difficulty() const { return Child(Window, 4, 316, 616, 16); }
	TRect Explanation() const { return Child(Window, 4, 336, 616, 160); }
	TRect Start() const { return Child(Window, 468, 502, 56, 24); }
	TRect Cancel() const { return Child(Window, 564, 502, 56, 24); }
	TRect Window;
};

/// The ten save slots and the button that saves or loads the chosen one.
struct TSaveLoadScreen
{
	explicit TSaveLoadScreen(const TPlayer& player) : Window(CentredWindow(player, 724, 214)) {}
	TRect Row(int i) const { return Child(Window, 4, 4 + 16 * i, 712, 16); }
	TRect Ok() const { return Child(Window, 284, 168, 56, 24); }
	TRect Cancel() const { return Child(Window, 380, 168, 56, 24); }
	TRect Window;
};

/// The world map's system menu at the bottom-left, and the map window's caption at the top-right.
struct TWorldScreen
{
	explicit TWorldScreen(const TPlayer& player) : Width(player.Width()), Height(player.Height()) {}
	TRect Save() const { return {10, Height - 94, 56, 24}; }
	TRect Load() const { return {10, Height - 62, 56, 24}; }
	TRect Settings() const { return {10, Height - 30, 56, 24}; }
	/// The name of the master whose turn it is.
	TRect MasterName() const { return {Width - 672, 6, 200, 18}; }
	/// "第   1ターン".
	TRect Turn() const { return {Width - 148, 6, 140, 18}; }
	int Width;
	int Height;
};

/// A message dialog of one line with OK alone, in the middle of the window: its OK button.
struct TMessageScreen
{
	explicit TMessageScreen(const TPlayer& player) : Width(player.Width()), Height(player.Height()) {}
	TRect Ok() const { return {Width / 2 - 34, Height / 2 + 20, 56, 24}; }
	int Width;
	int Height;
};

// What tells the screens apart. Each looks for what only its screen shows where the screen before it
// stands.

inline bool HasText(const TShot& shot, const TRect& rect)
{
	return shot.Colours(rect) > 1;
}

/// A message dialog stands in the middle of the window.
inline bool ShowsDialog(const TPlayer& player, const TShot& shot)
{
	const TRect middle = {player.Width() / 2 - 100, player.Height() / 2 - 40, 200, 30};
	return shot.ShareOf(middle, DIALOG_BODY, 4) > 0.5;
}

/// Only the start menu shows, centred; the frame-rate counter sits top-left.
inline bool ShowsStartMenuAlone(const TPlayer& player, const TShot& shot)
{
	const TRect menu = TStartMenuScreen(player).Window;
	const TRect outside = {menu.X + menu.W + 4, 0, player.Width() - menu.X - menu.W - 4, player.Height()};
	return shot.Colours(menu) > 8 && shot.ShareOf(outside, BARE_BACKGROUND, 0) == 1.0;
}

/// The world map waits for the player: the system menu and the area window show, the caption names
/// the master and the turn.
inline bool ShowsPlayersTurn(const TPlayer& player, const TShot& shot)
{
	const TWorldScreen world(player);
	return HasText(shot, world.Save()) && shot.ShareOf({8, 100, 60, 100}, BARE_BACKGROUND, 0) < 0.5
		&& HasText(shot, world.MasterName()) && HasText(shot, world.Turn()) && !ShowsDialog(player, shot);
}

/// The master select: the first master's tile with its face, and no tile where the third and later
/// columns would stand (the sample's chapters offer fewer masters), dark as the pane is; the scenario
/// select has its lists and level buttons there.
inline bool ShowsMasterSelect(const TPlayer& player, const TShot& shot)
{
	const TMasterSelectScreen masters(player);
	const TRect empty = {masters.Tile(4).X, masters.Tile(4).Y, 256, 256};
	return shot.Colours(masters.Tile(0)) > 8 && shot.ShareOf(empty, DARK_PANE, 4) > 0.95;
}

/// The opening window of the sample: a black window of 480 x 300 in the middle with a picture.
inline bool ShowsOpening(const TPlayer& player, const TShot& shot)
{
	const TRect window = CentredWindow(player, 480, 300);
	return shot.ShareOf({window.X + 4, window.Y + 2, 100, 6}, BLACK, 8) > 0.95
		&& shot.Colours({window.X + 120, window.Y + 12, 240, 120}) > 8;
}

/// The scenario select as it opens: its explanation pane stands dark and empty where the start menu
/// has the bare background.
inline bool ShowsScenarioSelect(const TPlayer& player, const TShot& shot)
{
	return shot.ShareOf(TScenarioSelectScreen(player).Explanation(), DARK_PANE, 4) > 0.95;
}

/// The level radio is chosen: a chosen level's diamond has a white ring around its black centre.
inline bool LevelChosen(const TShot& shot, const TScenarioSelectScreen& select, int level)
{
	const TRect diamond = {select.Level(level).X, select.Level(level).Y, 14, 16};
	return shot.ShareOf(diamond, WHITE, 40) > 0.05;
}

/// The save/load list: its ten rows stand on its black background, text scattered over it, with the
/// slot's number at the left of the last row, above the grey 取消 (保存 or 読込 beside it may be greyed
/// out). The world map and the start menu have no such black field there.
inline bool ListsSlots(const TSaveLoadScreen& slots, const TShot& shot)
{
	const TRect list = {slots.Row(0).X, slots.Row(0).Y, slots.Row(0).W, 10 * slots.Row(0).H};
	return shot.ShareOf(list, BLACK, 8) > 0.6 && HasText(shot, {slots.Row(9).X, slots.Row(9).Y, 12, 16})
		&& shot.ShareOf(slots.Cancel(), BUTTON_FACE, 8) > 0.5;
}

#endif
