#ifndef MORVALETH_BATTLE_BATTLEVIEW_H
#define MORVALETH_BATTLE_BATTLEVIEW_H

#include "app/HexGrid.h"
#include "app/ValueLayer.h"
#include "media/MorvalethImage.h"
#include "model/GameRecords.h"

#include <array>
#include <string>
#include <vector>
#include <guichan/color.hpp>

/// The battle map a view shows.
class TBattleMap;

// The buttons of the command bar, in bar order, are the numbers of the command images (COMMAND_*);
// the two repeat buttons repeat the chara's own last special and its side's.

/// The button that uses again the last special the acting chara used.
const int COMMAND_REPEAT_OWN = COMMAND_REDO;
/// The button that uses again the last special any chara of the acting side used.
const int COMMAND_REPEAT_SIDE = COMMAND_REDO2;

/// One chara drawn on the map: standing on its cell, or on its way to the target cell.
struct TCharaSprite
{
	/// Character definition, whose chip is drawn.
	int charaData = 0;
	/// Status chip: 0 for the defenders, 1 for the attackers.
	int sideFlag = 0;
	/// The cell it stands on, or leaves; x < 0 draws nothing.
	point_t cell;
	/// The cell it goes to (or leans towards in a strike); the cell itself when it stands still.
	point_t target;
	/// How far it has gone towards the target, 0..256.
	int progress = 0;
};

/// One frame of an effect image drawn at a pixel of the map (or of the screen).
struct TEffectSprite
{
	/// The pixel of the map pane where the frame's top-left corner goes (unused for the screen's frame).
	int px = 0;
	int py = 0;
	/// The effect image.
	int image = 0;
	/// The frame's column and row in the image's grid of frames.
	int column = 0;
	int row = 0;
	/// Size of one frame in pixels.
	int frameWidth = 0;
	int frameHeight = 0;
};

/// What the top pane and the chara list show of the two sides.
struct TSideGauges
{
	/// Name of the area fought for; empty for none.
	std::string areaName;
	/// The attackers' name ("<master>軍", or "中立軍").
	std::string attackersName;
	/// The defenders' name, likewise.
	std::string defendersName;
	// Attackers on the left, defenders on the right.
	/// The attackers' force: the power of their living charas that have not fled, each scaled by its HP.
	int leftForce = 0;
	/// The attackers' courage: the courage of those charas, divided by the side's number of charas.
	int leftBrave = 0;
	/// The defenders' force, as the attackers'.
	int rightForce = 0;
	/// The defenders' courage, as the attackers'.
	int rightBrave = 0;
	/// The battle turn, from 1.
	int turn = 1;
};

/// The command bar's buttons as offered to the acting chara.
struct TCommandMenu
{
	/// Each button's text, by command number (the special's name; the repeat buttons' "再実行：<name>").
	std::array<std::string, COMMAND_COUNT> labels;
	/// Each button may be pressed: the command leads somewhere now.
	std::array<bool, COMMAND_COUNT> enabled{};
};

/// Everything the battle controller shows or plays. The controller decides; a view only displays
/// and reports the player's input back through the controller's input operations.
class TBattleView
{
public:
	/// Views are owned and deleted as views.
	virtual ~TBattleView() = default;

	// The battle map window.

	/// A battle begins on the map: the pane shows it and shades the cells the selection layer marks; keys go to the battle.
	virtual void BeginBattle(const TBattleMap& map, const TValueLayer<int>& selection) = 0;
	/// Lays the map window out for the map and shows it (a watched battle).
	virtual void ShowMapWindow() = 0;
	/// Hides the map window; the battle runs on unseen.
	virtual void HideMapWindow() = 0;
	/// The battle is over: every battle window goes, keys no longer go to the battle.
	virtual void EndBattle() = 0;
	/// Battle speed 1..5, which sets how fast texts rise.
	virtual void SetSpeed(int level) = 0;
	/// Captions, gauges and turn of the top pane and the chara list.
	virtual void SetGauges(const TSideGauges& gauges) = 0;
	/// Replaces every chara drawn on the map; slot i is sprites[i].
	virtual void SetSprites(const std::vector<TCharaSprite>& sprites) = 0;
	/// Replaces one drawn chara.
	virtual void SetSprite(int slot, const TCharaSprite& sprite) = 0;
	/// Puts the blinking cursor on a cell; x = -1 hides it.
	virtual void SetCursor(int x, int y) = 0;
	/// The cell under the pointer and the sprite slot of the chara on it (-1 for none); x = -1 for none.
	virtual void SetHover(int x, int y, int slot) = 0;
	/// Scrolls the map so that the pixel comes into view.
	virtual void ScrollTo(int px, int py) = 0;
	/// Framed cells (the start points being placed on); empty for none.
	virtual void SetHighlights(const std::vector<point_t>& cells) = 0;
	/// Coloured cells (the area an aimed special would cover); empty for none.
	virtual void SetMarks(const std::vector<point_t>& cells, const gcn::Color& colour) = 0;
	/// Adds a floating text at a pixel of the map.
	virtual void AddPopup(int px, int py, const std::string& text, const gcn::Color& colour) = 0;
	/// Removes every floating text.
	virtual void ClearPopups() = 0;
	/// Effect frames drawn on the map; empty for none.
	virtual void SetEffectSprites(const std::vector<TEffectSprite>& sprites) = 0;
	/// One effect frame in the middle of the screen; null for none.
	virtual void SetScreenEffect(const TEffectSprite* sprite) = 0;
	/// The name of the special being used, over the map.
	virtual void SetSpecialName(const std::string& name) = 0;
	/// The status line of the bottom pane.
	virtual void SetStatusLine(const std::string& text) = 0;
	/// The chara shown in the bottom pane; null for none.
	virtual void SetBottomChara(const TCharaInstance* chara, int side) = 0;

	// The player's windows.

	/// Shows the command bar with the buttons as offered.
	virtual void ShowCommandBar(const TCommandMenu& menu) = 0;
	/// Hides the command bar.
	virtual void HideCommandBar() = 0;
	/// Shows the magic the chara may cast, with the side's uses of limited magic by magic index.
	virtual void ShowMagicWindow(const TCharaInstance& chara, const std::vector<int>& useCounts) = 0;
	/// Hides the magic window.
	virtual void HideMagicWindow() = 0;
	/// Shows the charas of a group to place, a non-zero flag marking the placed ones; the lists outlive the window.
	virtual void ShowPlacement(const std::vector<TCharaInstance>& charas, const std::vector<int>& placed) = 0;
	/// Frames the chara of the placement list being placed; -1 for none.
	virtual void SelectPlacement(int index) = 0;
	/// Hides the placement window; the lists may go.
	virtual void HidePlacement() = 0;
	/// Shows the charas of every side with their masters' definitions (-1 neutral); a set flag shows the gauges and hides the list on a click.
	virtual void ShowCharaList(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides,
		bool flag) = 0;
	/// Hides the chara list.
	virtual void HideCharaList() = 0;
	/// Shows or refreshes the full status sheet of a chara.
	virtual void ShowFullStatus(const TCharaInstance& chara) = 0;
	/// Hides the full status sheet.
	virtual void HideFullStatus() = 0;
	/// The full status sheet is up, and so follows its chara's changes.
	virtual bool IsFullStatusVisible() const = 0;

	// Messages and sound.

	/// Shows a message ("Information", one button, closing by itself after the configured time-out).
	virtual void ShowMessage(const std::string& text) = 0;
	/// The message is still up.
	virtual bool IsMessageVisible() const = 0;
	/// The settings window is open (the battle hears no key and no command meanwhile).
	virtual bool IsConfigWindowVisible() const = 0;
	/// Plays a music of the scenario, looping; the music playing fades out first.
	virtual void PlayMusic(int music) = 0;
	/// Plays a common music (1: the decisive one).
	virtual void PlayCommonMusic(int id) = 0;
	/// Plays a common sound (1: a hit, 2: a death or a flight).
	virtual void PlaySound(int id) = 0;
};

/// A view that shows nothing: messages are never up, no window is ever open.
class TNullBattleView : public TBattleView
{
public:
	/// No map to show.
	void BeginBattle(const TBattleMap&, const TValueLayer<int>&) override {}
	/// No window to show.
	void ShowMapWindow() override {}
	/// No window to hide.
	void HideMapWindow() override {}
	/// No window to close.
	void EndBattle() override {}
	/// No texts to rise.
	void SetSpeed(int) override {}
	/// No gauges to show.
	void SetGauges(const TSideGauges&) override {}
	/// No charas drawn.
	void SetSprites(const std::vector<TCharaSprite>&) override {}
	/// No chara drawn.
	void SetSprite(int, const TCharaSprite&) override {}
	/// No cursor.
	void SetCursor(int, int) override {}
	/// No pointer.
	void SetHover(int, int, int) override {}
	/// Nothing to scroll.
	void ScrollTo(int, int) override {}
	/// No frames drawn.
	void SetHighlights(const std::vector<point_t>&) override {}
	/// No marks drawn.
	void SetMarks(const std::vector<point_t>&, const gcn::Color&) override {}
	/// No floating texts.
	void AddPopup(int, int, const std::string&, const gcn::Color&) override {}
	/// No floating texts to remove.
	void ClearPopups() override {}
	/// No effect frames drawn.
	void SetEffectSprites(const std::vector<TEffectSprite>&) override {}
	/// No screen effect drawn.
	void SetScreenEffect(const TEffectSprite*) override {}
	/// No name shown.
	void SetSpecialName(const std::string&) override {}
	/// No status line.
	void SetStatusLine(const std::string&) override {}
	/// No bottom pane.
	void SetBottomChara(const TCharaInstance*, int) override {}
	/// No command bar: the player commands nothing through this view.
	void ShowCommandBar(const TCommandMenu&) override {}
	/// No command bar to hide.
	void HideCommandBar() override {}
	/// No magic window.
	void ShowMagicWindow(const TCharaInstance&, const std::vector<int>&) override {}
	/// No magic window to hide.
	void HideMagicWindow() override {}
	/// No placement window.
	void ShowPlacement(const std::vector<TCharaInstance>&, const std::vector<int>&) override {}
	/// No placement list.
	void SelectPlacement(int) override {}
	/// No placement window to hide.
	void HidePlacement() override {}
	/// No chara list.
	void ShowCharaList(const std::vector<int>&, const std::vector<std::vector<TCharaInstance>*>&, bool) override {}
	/// No chara list to hide.
	void HideCharaList() override {}
	/// No status sheet.
	void ShowFullStatus(const TCharaInstance&) override {}
	/// No status sheet to hide.
	void HideFullStatus() override {}
	/// Never: the controller refreshes no sheet.
	bool IsFullStatusVisible() const override { return false; }
	/// No message: it is closed at once.
	void ShowMessage(const std::string&) override {}
	/// Never: a message is closed as soon as it is shown, and the battle goes straight on.
	bool IsMessageVisible() const override { return false; }
	/// Never: the battle always hears the player.
	bool IsConfigWindowVisible() const override { return false; }
	/// Silent.
	void PlayMusic(int) override {}
	/// Silent.
	void PlayCommonMusic(int) override {}
	/// Silent.
	void PlaySound(int) override {}
};

#endif
