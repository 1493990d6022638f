#ifndef MORVALETH_WORLD_SCREENWORLDVIEW_H
#define MORVALETH_WORLD_SCREENWORLDVIEW_H

#include "battle/CharaMoveWindow.h"
#include "world/WorldView.h"
#include "world/WorldWindowLayout.h"

#include <array>
#include <memory>
#include <vector>
#include <guichan/actionlistener.hpp>
#include <guichan/mouselistener.hpp>
#include <guichan/selectionlistener.hpp>

class TAreaGridWindow;
class TCharaListWindow;
class TCharaStatusFullWindow;
class TCharaStatusWindow;
class TEmployHeroWindow;
class TEmployWindow;
class TGcnHintPane;
class TGcnWidgetSet;
class TMasterGridWindow;
class TMasterWindow;
class TOffMapPointer;
class TChipPointer;
class TPowerMapWindow;
class THeroGridWindow;
class TWarCharaWindow;
class TWorldMapHeartbeat;
class TWorldMapWindow;
class TWorldMenuWindow;

namespace gcn
{
class Container;
class Widget;
}

/// The world map on the program's screen: the map window and the player's windows, placed to fit the
/// screen; the controller and its battle are stepped in the GUI's logic pass; the player's clicks,
/// buttons and choices go back to the controller's commands. Without a GUI it shows nothing. Messages use the one message dialog,
/// music and sounds the game's mixer, and the end of the game quits the program.
class TScreenWorldView : public TNullWorldView,
						 public gcn::ActionListener,
						 public gcn::MouseListener,
						 public gcn::SelectionListener,
						 public TCharaMoveListener
{
public:
	/// The view of a game whose widgets the set keeps.
	explicit TScreenWorldView(TGcnWidgetSet* widgetSet);
	/// The stepping stops and the windows go with the view.
	~TScreenWorldView() override;

	// Until Build has made the windows, and always without a screen, the map and player windows show
	// nothing; the system menu, messages, music and the quit need no window of the view.

	/// On a screen, a hidden heartbeat widget on the top container, kept by the widget set, steps the
	/// controller and its battle once a frame, and the windows are made for that many areas, placed and
	/// listened to.
	void Build(TWorldMapLogic& controller, int areaCount) override;
	/// The system menu through the game master. Hiding the map window hides and remembers every shown window
	/// for a battle, showing it brings them back over it; the short status is only ever hidden here (it shows
	/// while the pointer rests on a chip); hiding the employ window unlocks the area's characters and hiding
	/// the war window empties it; a grid and the power map are rebuilt from the game and centred as they open.
	void ShowWindow(TWorldWindow window, bool visible) override;
	/// The system menu as the game master shows it; a window the view lacks is never visible.
	bool IsWindowVisible(TWorldWindow window) const override;

	/// Scrolls the map window, as far as the map allows.
	void CenterMapOn(int x, int y) override;
	/// The guide text, centred in the map window's caption line.
	void SetGuideText(const std::string& text) override;
	/// Rings the area on the map pane and restarts the pulse.
	void SetHighlight(int area, unsigned colour) override;
	/// Removes the map pane's rings.
	void ClearHighlights() override;
	/// Marks the area on the map pane.
	void SetHoverMark(int area, unsigned colour) override;
	/// Removes the map pane's marks.
	void ClearMarks() override;
	/// Lets the route pulse on the map pane, both ways.
	void AddRoute(int area1, int area2) override;
	/// No route pulses on the map pane any more.
	void ClearRoutes() override;
	/// Adds a marching chip to the map pane.
	void AddChip(int x, int y, int chara) override;
	/// Moves a marching chip on the map pane; a chip that was never added is ignored.
	void SetChipPosition(int chip, int x, int y) override;
	/// Removes the map pane's marching chips.
	void ClearChips() override;
	/// Fades the hint pane in 40 pixels below the area's point, kept on the screen, and raises it.
	void ShowHint(int area, const std::string& text) override;
	/// Fades the hint pane out.
	void HideHint() override;

	/// Shows the area in the area window and places it with the master window below; the master window, when
	/// shown, stays over it.
	void ShowArea(int area, bool controls) override;
	/// Shows the master in the master window, places it below the area window and raises it.
	void ShowMaster(int master) override;
	/// The full status in the middle of the screen, or the short status; either raised.
	void ShowStatus(const TCharaInstance& chara, bool full) override;
	/// Fills the employ window, the candidates of the employer's race marked, centres and raises it; the area's
	/// characters are locked until it hides.
	void ShowEmploy(int area, int employer, const std::vector<int>& candidates, int funds) override;
	/// Fills the move window with both areas' characters and places it beside the map, clear of their markers.
	void ShowMove(int from, int to) override;
	/// Opens the war window on the target and places it beside the map, clear of the markers of the master's
	/// areas next to the target, which the player clicks.
	void ShowWar(int target) override;
	/// Shows the source area's characters on the war window's left.
	void SetWarSource(int area) override;
	/// Opens the found-hero window in the middle of the screen, the open dialogs kept over it.
	void ShowHero(int area, int chara, int funds) override;
	/// Lays the game master's system menu out with the settings only, or in full.
	void SetSystemMenuCompact(bool compact) override;

	/// The program's one message dialog.
	void ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout) override;
	/// Whether the message dialog is shown.
	bool IsMessageVisible() const override;
	/// The button the message dialog last closed with; 0 without the dialog.
	unsigned GetMessageAnswer() const override;
	/// Changes the music through the game's mixer; without a mixer, as for every sound here, nothing plays.
	void ChangeMusic(int music, int fadeTime) override;
	/// A common music through the game's mixer.
	void ChangeCommonMusic(int id, int fadeTime) override;
	/// Fades the mixer's music out.
	void FadeOutMusic(int fadeTime) override;
	/// The mixer plays music; false without a mixer.
	bool IsMusicPlaying() const override;
	/// A common sound through the game's mixer.
	void PlaySound(int id) override;
	/// Pushes a quit event: the main loop ends after the frame.
	void Quit() override;

	/// The buttons of every world window.
	void action(const gcn::ActionEvent& actionEvent) override;
	/// Clicks on the map and double clicks on the character and candidate lists.
	void mousePressed(gcn::MouseEvent& mouseEvent) override;
	/// The pointer over the map, the area's characters and the move window's lists.
	void mouseMoved(gcn::MouseEvent& mouseEvent) override;
	/// The pointer off the map or off a list of characters.
	void mouseExited(gcn::MouseEvent& mouseEvent) override;
	/// The pointer moved over the widget, wherever it is: the short status goes unless a list of characters
	/// answers for it.
	void PointerMovedOver(const gcn::Widget* source);
	/// The standing order chosen in the area window.
	void valueChanged(const gcn::SelectionEvent& event) override;
	/// The move window's "確定": both lists of positions go to the controller.
	void MoveConfirmed() override;
	/// The move window's "中止": the controller cancels the move.
	void MoveCancelled() override;

	/// The windows, for the tests; null before Build.
	TWorldMapWindow* GetMapWindow() const { return m_Map.get(); }
	TCharaListWindow* GetAreaWindow() const { return m_Area.get(); }
	TMasterWindow* GetMasterWindow() const { return m_Master.get(); }
	TEmployWindow* GetEmployWindow() const { return m_Employ.get(); }
	TCharaMoveWindow* GetMoveWindow() const { return m_Move.get(); }
	TWarCharaWindow* GetWarWindow() const { return m_War.get(); }
	TEmployHeroWindow* GetHeroWindow() const { return m_Hero.get(); }
	TPowerMapWindow* GetPowerMapWindow() const { return m_PowerMap.get(); }
	TCharaStatusFullWindow* GetFullStatusWindow() const { return m_FullStatus.get(); }
	TGcnHintPane* GetHint() const { return m_Hint.get(); }
	/// The window shown for a world window; null for none (the system menu belongs to the game master).
	gcn::Widget* GetWindow(TWorldWindow window) const { return m_Windows[window]; }

private:
	/// Makes the windows, each hidden but the map, and puts them on the top container.
	void MakeWindows(int areaCount);
	/// Listens to every button, list and pane the player uses.
	void Listen();
	/// The area window and the master window below it, kept on the screen.
	void PlacePlayerWindows();
	/// Moves the window beside the map, on the half of the screen away from the map point, keeping the areas'
	/// markers clear where it can.
	void PlaceBesideMap(gcn::Widget& window, int x, int y, const std::vector<int>& keepClear);
	/// The top widget's size.
	void ScreenSize(int& width, int& height) const;
	/// The short status of the character whose chip the pointer moved onto; hidden for none.
	void ShowHoveredChara(const TCharaInstance* chara);
	/// Whether the widget is one of the move window's lists.
	bool IsMovePane(const gcn::Widget* widget) const;
	/// Puts the widget on top of its siblings, below the open dialogs.
	void Raise(gcn::Widget& widget);
	/// A battle takes the screen: every shown world window but the map is hidden and remembered, the short
	/// status only hidden.
	void HideForBattle();
	/// The windows the battle hid come back.
	void RestoreAfterBattle();

	/// Keeps the heartbeat alive for the game; the game's life always gives one.
	TGcnWidgetSet* m_WidgetSet;
	/// Kept alive by the widget set; null before Build.
	TWorldMapHeartbeat* m_Heartbeat;
	/// The controller Build was given; null before.
	TWorldMapLogic* m_Controller;
	/// The GUI's top container the windows live on; null without a screen.
	gcn::Container* m_Top;
	/// Hear the pointer over the windows and over the whole screen; declared before the windows, so that they
	/// go only after them.
	std::unique_ptr<TOffMapPointer> m_OffMap;
	std::unique_ptr<TChipPointer> m_ChipPointer;

	// The windows and the hover hint, made by Build on a screen; null before or without one.

	/// The map window, the one window shown when they are made.
	std::unique_ptr<TWorldMapWindow> m_Map;
	/// The selected area's window.
	std::unique_ptr<TCharaListWindow> m_Area;
	/// The current master's window, kept below the area window.
	std::unique_ptr<TMasterWindow> m_Master;
	/// The short status, shown while the pointer rests on a character's chip.
	std::unique_ptr<TCharaStatusWindow> m_Status;
	/// The full status, in the middle of the screen.
	std::unique_ptr<TCharaStatusFullWindow> m_FullStatus;
	/// The hire candidates.
	std::unique_ptr<TEmployWindow> m_Employ;
	/// The move between two areas; its "確定" and "中止" come back through TCharaMoveListener.
	std::unique_ptr<TCharaMoveWindow> m_Move;
	/// The sortie of a war.
	std::unique_ptr<TWarCharaWindow> m_War;
	/// The found hero.
	std::unique_ptr<TEmployHeroWindow> m_Hero;
	/// The grids of the areas, the masters and the heroes.
	std::unique_ptr<TAreaGridWindow> m_AreaGrid;
	std::unique_ptr<TMasterGridWindow> m_MasterGrid;
	std::unique_ptr<THeroGridWindow> m_HeroGrid;
	/// The power map.
	std::unique_ptr<TPowerMapWindow> m_PowerMap;
	/// "観戦中止", while the player watches a battle of computer masters.
	std::unique_ptr<TWorldMenuWindow> m_Menu;
	/// The hover hint below an area; not a TWorldWindow.
	std::unique_ptr<TGcnHintPane> m_Hint;
	/// The windows by TWorldWindow; null where the view has none.
	std::array<gcn::Widget*, WORLD_WINDOW_COUNT> m_Windows;
	/// The windows shown when a battle took the screen, to show again after it.
	std::vector<gcn::Widget*> m_HiddenForBattle;

	/// Double clicks on the area window's characters and on the employ window's candidates: a full status.
	TDoubleClick m_CharaClick;
	TDoubleClick m_CandidateClick;
};

#endif
