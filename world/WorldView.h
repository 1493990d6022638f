#ifndef MORVALETH_WORLD_WORLDVIEW_H
#define MORVALETH_WORLD_WORLDVIEW_H

#include "model/GameRecords.h"

#include <string>
#include <utility>
#include <vector>

class TWorldMapLogic;

/// The windows of the world map that the controller shows and hides as a whole.
enum TWorldWindow
{
	/// The map window with its map pane.
	WORLD_MAP_WINDOW,
	/// The selected area's window: its characters, standing order and buttons.
	WORLD_AREA_WINDOW,
	/// The current master's window with its seven buttons.
	WORLD_MASTER_WINDOW,
	/// Short status of one character.
	WORLD_STATUS_WINDOW,
	/// Full status of one character.
	WORLD_FULL_STATUS_WINDOW,
	/// The hire candidates of one character of the selected area.
	WORLD_EMPLOY_WINDOW,
	/// The characters of two neighbouring areas of the master, to move between them.
	WORLD_MOVE_WINDOW,
	/// The sortie window of a war.
	WORLD_WAR_WINDOW,
	/// A found hero offered for hire.
	WORLD_HERO_WINDOW,
	/// The grid of the areas ("エリア情報").
	WORLD_AREA_GRID_WINDOW,
	/// The grid of the masters ("勢力情報").
	WORLD_MASTER_GRID_WINDOW,
	/// The grid of the heroes ("人材情報").
	WORLD_HERO_GRID_WINDOW,
	/// Every owned area in its master's colour ("勢力地図").
	WORLD_POWER_MAP_WINDOW,
	/// The small window offering to stop watching a battle of computer masters.
	WORLD_MENU_WINDOW,
	/// The game master's system menu.
	WORLD_SYSTEM_MENU,
	/// Number of windows, for tables indexed by window.
	WORLD_WINDOW_COUNT,
};

/// Everything the world-map controller shows, plays or asks of the screen. The controller decides;
/// a view only displays and reports the player's input back through the controller's commands.
class TWorldView
{
public:
	/// Views are deleted through this interface.
	virtual ~TWorldView() = default;

	/// Creates the windows for a game of that many areas; the view steps the controller once a frame from then on.
	virtual void Build(TWorldMapLogic& controller, int areaCount) = 0;

	/// Shows or hides a window.
	virtual void ShowWindow(TWorldWindow window, bool visible) = 0;
	/// Whether a window is shown.
	virtual bool IsWindowVisible(TWorldWindow window) const = 0;

	// The map window and its pane; points are map pixels.

	/// Scrolls the map so that the point lies in the middle of the view.
	virtual void CenterMapOn(int x, int y) = 0;
	/// The line that tells the player what to click next; empty for none.
	virtual void SetGuideText(const std::string& text) = 0;
	/// Rings an area in a colour (AARRGGBB); 0 removes the ring.
	virtual void SetHighlight(int area, unsigned colour) = 0;
	/// Removes every area's ring.
	virtual void ClearHighlights() = 0;
	/// Marks an area under the pointer in a colour (AARRGGBB).
	virtual void SetHoverMark(int area, unsigned colour) = 0;
	/// Removes every area's mark.
	virtual void ClearMarks() = 0;
	/// Lets the route between two areas pulse.
	virtual void AddRoute(int area1, int area2) = 0;
	/// No route pulses any more.
	virtual void ClearRoutes() = 0;
	/// Adds a marching chip at a point, drawn with the character's chip.
	virtual void AddChip(int x, int y, int chara) = 0;
	/// Moves marching chip i (in the order they were added).
	virtual void SetChipPosition(int chip, int x, int y) = 0;
	/// Removes every marching chip, at the march's end.
	virtual void ClearChips() = 0;
	/// Fades the hint in below the area, with the text.
	virtual void ShowHint(int area, const std::string& text) = 0;
	/// Fades the hint out.
	virtual void HideHint() = 0;

	// The player's windows.

	/// Shows the area in the area window, its buttons usable when controls is set.
	virtual void ShowArea(int area, bool controls) = 0;
	/// Shows the master in the master window.
	virtual void ShowMaster(int master) = 0;
	/// Shows a character in the short or the full status window.
	virtual void ShowStatus(const TCharaInstance& chara, bool full) = 0;
	/// Offers the hire candidates of the employer at the position of the area, with the master's funds.
	virtual void ShowEmploy(int area, int employer, const std::vector<int>& candidates, int funds) = 0;
	/// Opens the move window between two neighbouring areas of one owner.
	virtual void ShowMove(int from, int to) = 0;
	/// Opens the war window against the target.
	virtual void ShowWar(int target) = 0;
	/// Shows the characters of an area of the current master in the war window.
	virtual void SetWarSource(int area) = 0;
	/// Offers the found hero (a character definition) in the area, with the master's funds.
	virtual void ShowHero(int area, int chara, int funds) = 0;
	/// Lays the system menu out with the settings only, or in full.
	virtual void SetSystemMenuCompact(bool compact) = 0;

	// Messages.

	/// Shows the one message dialog: caption, text, buttons (BUTTON_* bits) and a time-out in frames (0: none).
	virtual void ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout) = 0;
	/// The message dialog is still up.
	virtual bool IsMessageVisible() const = 0;
	/// The answer (BUTTON_*) of the last message dialog closed; 0 when none was given.
	virtual unsigned GetMessageAnswer() const = 0;

	// Sound and the program.

	/// Fades the music out over the milliseconds, then plays a music of the scenario looping (-1: none).
	virtual void ChangeMusic(int music, int fadeTime) = 0;
	/// Fades a common music in after the playing one (0: the event music).
	virtual void ChangeCommonMusic(int id, int fadeTime) = 0;
	/// Fades the music out over the milliseconds.
	virtual void FadeOutMusic(int fadeTime) = 0;
	/// Some music plays.
	virtual bool IsMusicPlaying() const = 0;
	/// Plays a common sound effect (0: the march).
	virtual void PlaySound(int id) = 0;
	/// Ends the program after the frame: the main loop stops at the quit event.
	virtual void Quit() = 0;
};

/// A view that shows nothing: no window is ever open, messages are never up and get no answer.
class TNullWorldView : public TWorldView
{
public:
	/// Keeps no controller and never steps it.
	void Build(TWorldMapLogic&, int) override {}
	/// Opens nothing: no window is ever visible.
	void ShowWindow(TWorldWindow, bool) override {}
	bool IsWindowVisible(TWorldWindow) const override { return false; }
	/// The map shows nothing: no scroll, guide text, ring, mark, route, chip or hint.
	void CenterMapOn(int, int) override {}
	void SetGuideText(const std::string&) override {}
	void SetHighlight(int, unsigned) override {}
	void ClearHighlights() override {}
	void SetHoverMark(int, unsigned) override {}
	void ClearMarks() override {}
	void AddRoute(int, int) override {}
	void ClearRoutes() override {}
	void AddChip(int, int, int) override {}
	void SetChipPosition(int, int, int) override {}
	void ClearChips() override {}
	void ShowHint(int, const std::string&) override {}
	void HideHint() override {}
	/// No player window opens, and the system menu keeps its layout.
	void ShowArea(int, bool) override {}
	void ShowMaster(int) override {}
	void ShowStatus(const TCharaInstance&, bool) override {}
	void ShowEmploy(int, int, const std::vector<int>&, int) override {}
	void ShowMove(int, int) override {}
	void ShowWar(int) override {}
	void SetWarSource(int) override {}
	void ShowHero(int, int, int) override {}
	void SetSystemMenuCompact(bool) override {}
	/// A message is never up and gets no answer (0).
	void ShowMessage(const std::string&, const std::string&, unsigned, int) override {}
	bool IsMessageVisible() const override { return false; }
	unsigned GetMessageAnswer() const override { return 0; }
	/// No music or sound ever plays, and the program goes on after Quit.
	void ChangeMusic(int, int) override {}
	void ChangeCommonMusic(int, int) override {}
	void FadeOutMusic(int) override {}
	bool IsMusicPlaying() const override { return false; }
	void PlaySound(int) override {}
	void Quit() override {}
};

#endif
