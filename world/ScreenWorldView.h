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

	void Build(TWorldMapLogic& controller, int areaCount) override;
	void ShowWindow(TWorldWindow window, bool visible) override;
	bool IsWindowVisible(TWorldWindow window) const override;

	void CenterMapOn(int x, int y) override;
	void SetGuideText(const std::string& text) override;
	void SetHighlight(int area, unsigned colour) override;
	void ClearHighlights() override;
	void SetHoverMark(int area, unsigned colour) override;
	void ClearMarks() override;
	void AddRoute(int area1, int area2) override;
	void ClearRoutes() override;
	void AddChip(int x, int y, int chara) override;
	void SetChipPosition(int chip, int x, int y) override;
	void ClearChips() override;
	void ShowHint(int area, const std::string& text) override;
	void HideHint() override;

	void ShowArea(int area, bool controls) override;
	void ShowMaster(int master) override;
	void ShowStatus(const TCharaInstance& chara, bool full) override;
	void ShowEmploy(int area, int employer, const std::vector<int>& candidates, int funds) override;
	void ShowMove(int from, int to) override;
	void ShowWar(int target) override;
	void SetWarSource(int area) override;
	void ShowHero(int area, int chara, int funds) override;
	/// The game master's system menu.
	void SetSystemMenuCompact(bool compact) override;

	void ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout) override;
	bool IsMessageVisible() const override;
	unsigned GetMessageAnswer() const override;
	void ChangeMusic(int music, int fadeTime) override;
	void ChangeCommonMusic(int id, int fadeTime) override;
	void FadeOutMusic(int fadeTime) override;
	bool IsMusicPlaying() const override;
	void PlaySound(int id) override;
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
	void MoveConfirmed() override;
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
	/// The short status of the character whose chip the pointer is over; hidden for none.
	void ShowHoveredChara(const TCharaInstance* chara);
	/// Whether the widget is one of the move window's lists.
	bool IsMovePane(const gcn::Widget* widget) const;
	/// Puts the widget on top of its siblings, below the open dialogs.
	void Raise(gcn::Widget& widget);
	/// Puts the open save slots or settings, then a message shown, over everything else.
	void KeepDialogsOnTop();
	/// A battle takes the screen: every shown world window is hidden and remembered.
	void HideForBattle();
	/// The windows the battle hid come back.
	void RestoreAfterBattle();

	TGcnWidgetSet* m_WidgetSet;
	/// Kept alive by the widget set; null before Build.
	TWorldMapHeartbeat* m_Heartbeat;
	TWorldMapLogic* m_Controller;
	gcn::Container* m_Top;
	/// Hear the pointer over the windows and over the whole screen; made before them and gone after them.
	std::unique_ptr<TOffMapPointer> m_OffMap;
	std::unique_ptr<TChipPointer> m_ChipPointer;

	std::unique_ptr<TWorldMapWindow> m_Map;
	std::unique_ptr<TCharaListWindow> m_Area;
	std::unique_ptr<TMasterWindow> m_Master;
	std::unique_ptr<TCharaStatusWindow> m_Status;
	std::unique_ptr<TCharaStatusFullWindow> m_FullStatus;
	std::unique_ptr<TEmployWindow> m_Employ;
	std::unique_ptr<TCharaMoveWindow> m_Move;
	std::unique_ptr<TWarCharaWindow> m_War;
	std::unique_ptr<TEmployHeroWindow> m_Hero;
	std::unique_ptr<TAreaGridWindow> m_AreaGrid;
	std::unique_ptr<TMasterGridWindow> m_MasterGrid;
	std::unique_ptr<THeroGridWindow> m_HeroGrid;
	std::unique_ptr<TPowerMapWindow> m_PowerMap;
	std::unique_ptr<TWorldMenuWindow> m_Menu;
	std::unique_ptr<TGcnHintPane> m_Hint;
	/// The windows by TWorldWindow; null where the view has none.
	std::array<gcn::Widget*, WORLD_WINDOW_COUNT> m_Windows;
	/// The windows shown when a battle took the screen, to show again after it.
	std::vector<gcn::Widget*> m_HiddenForBattle;

	TDoubleClick m_CharaClick;
	TDoubleClick m_CandidateClick;
};

#endif
