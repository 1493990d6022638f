#ifndef MORVALETH_BATTLE_SCREENBATTLEVIEW_H
#define MORVALETH_BATTLE_SCREENBATTLEVIEW_H

#include "battle/BattleCharaListWindow.h"
#include "battle/BattleCommandWindow.h"
#include "battle/BattleMapWindow.h"
#include "battle/BattleView.h"
#include "battle/CharaPlaceWindow.h"
#include "battle/CharaStatusWindow.h"
#include "battle/MagicWindow.h"
#include "gui/MouseHandler.h"

#include <guichan/actionlistener.hpp>
#include <guichan/keylistener.hpp>

/// The controller the player's input goes to.
class TBattleMapLogic;

namespace gcn
{
/// The GUI's top container, which holds the battle's windows.
class Container;
}

/// The battle on screen: the battle's windows in the GUI's top container, shown as the controller asks,
/// and the player's presses, moves, keys and choices handed back to the controller.
class TScreenBattleView : public TBattleView, public TMouseHandler, public TCharaPlaceListener,
						  public gcn::ActionListener, public gcn::KeyListener
{
public:
	/// The windows made hidden and added to the GUI's top container.
	TScreenBattleView();
	/// The windows leave the top container.
	~TScreenBattleView() override;
	/// One view per set of windows: never copied.
	TScreenBattleView(const TScreenBattleView&) = delete;
	TScreenBattleView& operator=(const TScreenBattleView&) = delete;

	/// The controller that hears the player (null: none); the map window steps it every frame unless its
	/// owner steps it itself.
	void SetLogic(TBattleMapLogic* logic, bool stepEachFrame = true);

	// The battle map window.

	/// The map pane shows the map and the selection's shade, the bottom pane and the texts start empty, and the
	/// view listens for keys; the map window stays hidden.
	void BeginBattle(const TBattleMap& map, const TValueLayer<int>& selection) override;
	/// Lays the map window out for the top container's size, at its right edge, shows and raises it.
	void ShowMapWindow() override;
	/// Hides the map window.
	void HideMapWindow() override;
	/// Hides every battle window, stops listening for keys and lets go of the map and the placement lists.
	void EndBattle() override;
	/// The floating texts' steps last level frames.
	void SetSpeed(int level) override;
	/// The top pane's captions and gauges, and the chara list's gauges.
	void SetGauges(const TSideGauges& gauges) override;
	/// The map pane's charas.
	void SetSprites(const std::vector<TCharaSprite>& sprites) override;
	/// One chara of the map pane; a slot it lacks is ignored.
	void SetSprite(int slot, const TCharaSprite& sprite) override;
	/// The map pane's cursor, its pulse from the start.
	void SetCursor(int x, int y) override;
	/// The cell the bottom pane describes; the slot is not used here.
	void SetHover(int x, int y, int slot) override;
	/// Scrolls the map window to the pixel, unless it shows near the middle already.
	void ScrollTo(int px, int py) override;
	/// Frames the cells on the map pane.
	void SetHighlights(const std::vector<point_t>& cells) override;
	/// Fills the cells on the map pane with the colour.
	void SetMarks(const std::vector<point_t>& cells, const gcn::Color& colour) override;
	/// A floating text on the map pane.
	void AddPopup(int px, int py, const std::string& text, const gcn::Color& colour) override;
	/// Removes the map pane's floating texts.
	void ClearPopups() override;
	/// The effect frames of the map pane.
	void SetEffectSprites(const std::vector<TEffectSprite>& sprites) override;
	/// Shows the frame in the animation pane, centred on the screen over the battle windows; null hides it.
	void SetScreenEffect(const TEffectSprite* sprite) override;
	/// The map window's text over the map; empty for none.
	void SetSpecialName(const std::string& name) override;
	/// The bottom pane's status line.
	void SetStatusLine(const std::string& text) override;
	/// A copy of the chara for the bottom pane, with its move type's cost and skill on the cell; null shows none.
	void SetBottomChara(const TCharaInstance* chara, int side) override;

	// The player's windows.

	/// Drops the keys queued so far (unless the settings window holds them), shows the command bar, places it
	/// over the bottom pane and raises it.
	void ShowCommandBar(const TCommandMenu& menu) override;
	/// Hides the command bar.
	void HideCommandBar() override;
	/// Fills the magic window for the chara and shows it centred.
	void ShowMagicWindow(const TCharaInstance& chara, const std::vector<int>& useCounts) override;
	/// Hides the magic window.
	void HideMagicWindow() override;
	/// Shows the placement window at the left edge, listing the charas, until HidePlacement or the end.
	void ShowPlacement(const std::vector<TCharaInstance>& charas, const std::vector<int>& placed) override;
	/// Frames the list entry.
	void SelectPlacement(int index) override;
	/// Hides the placement window and lets go of its lists.
	void HidePlacement() override;
	/// Shows the chara list window.
	void ShowCharaList(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides,
		bool flag) override;
	/// Hides the chara list window.
	void HideCharaList() override;
	/// Shows the full status sheet of a copy of the chara, centred and raised.
	void ShowFullStatus(const TCharaInstance& chara) override;
	/// Hides the full status sheet.
	void HideFullStatus() override;
	/// The full status sheet is shown.
	bool IsFullStatusVisible() const override;

	// Messages and sound.

	/// The message dialog, closing by itself after the configured frames.
	void ShowMessage(const std::string& text) override;
	/// The message dialog is up.
	bool IsMessageVisible() const override;
	/// The game master's settings window is shown.
	bool IsConfigWindowVisible() const override;
	/// Changes to the scenario's music, the music playing fading out over half a second; silent without a mixer.
	void PlayMusic(int music) override;
	/// Changes to the common music, fading as PlayMusic does; silent without a mixer.
	void PlayCommonMusic(int id) override;
	/// Plays the common sound; silent without a mixer.
	void PlaySound(int id) override;

	// The player's input.
	/// A press on the map pane: the cell under it, to the controller.
	void mousePressed(gcn::MouseEvent& mouseEvent) override;
	/// A move over the map pane: the cell under it, to the controller.
	void mouseMoved(gcn::MouseEvent& mouseEvent) override;
	/// An entry of the placement list was picked.
	void PlaceEntryChosen(int entry) override;
	/// A command button or a magic cell was pressed.
	void action(const gcn::ActionEvent& actionEvent) override;
	/// F1 and F2 go to the controller.
	void keyPressed(gcn::KeyEvent& keyEvent) override;

	/// The map between its top and bottom panes.
	TBattleMapWindow m_MapWindow;
	/// The command bar.
	TBattleCommandWindow m_CommandWindow;
	/// The magic to choose from, reporting to this view.
	TMagicWindow m_MagicWindow;
	/// Every side's charas (F1).
	TBattleCharaListWindow m_CharaListWindow;
	/// The group being placed.
	TCharaPlaceWindow m_PlaceWindow;
	/// The full status sheet of a chara pressed on.
	TCharaStatusFullWindow m_StatusWindow;
	/// A special's frame in the middle of the screen.
	TAnimationPane m_AnimationPane;

private:
	/// The map cell under a point of the map pane (clamped into the map); x = -1 without a map.
	point_t CellAt(int px, int py) const;
	/// The command bar stands over the foot of the map, 8 pixels above the bottom pane, in the middle of the map window.
	void PlaceCommandBar();
	/// Puts the window on top of its siblings, below the open dialogs.
	void Raise(gcn::Widget& window);

	/// The controller that hears the player; null for none.
	TBattleMapLogic* m_Logic;
	/// The map of the battle under way; null between battles.
	const TBattleMap* m_Map;
	/// The GUI's top container the windows were added to; null without a GUI.
	gcn::Container* m_Top;
	/// The view is a global key listener of the GUI (from a battle's beginning to its end).
	bool m_KeysListened;
};

#endif
