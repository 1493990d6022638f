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

#include <functional>
#include <guichan/actionlistener.hpp>
#include <guichan/keylistener.hpp>

class TBattleMapLogic;

namespace gcn
{
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
	TScreenBattleView(const TScreenBattleView&) = delete;
	TScreenBattleView& operator=(const TScreenBattleView&) = delete;

	/// The controller that hears the player (null: none); the map window steps it every frame unless its
	/// owner steps it itself.
	void SetLogic(TBattleMapLogic* logic, bool stepEachFrame = true);
	/// Tells whether the settings window is open (the shortcut keys wait meanwhile); none: never.
	void SetConfigWindowTest(std::function<bool()> test) { m_ConfigWindowTest = std::move(test); }

	// The battle map window.
	void BeginBattle(const TBattleMap& map, const TValueLayer<int>& selection) override;
	void ShowMapWindow() override;
	void HideMapWindow() override;
	void EndBattle() override;
	void SetSpeed(int level) override;
	void SetGauges(const TSideGauges& gauges) override;
	void SetSprites(const std::vector<TCharaSprite>& sprites) override;
	void SetSprite(int slot, const TCharaSprite& sprite) override;
	void SetCursor(int x, int y) override;
	void SetHover(int x, int y, int slot) override;
	void ScrollTo(int px, int py) override;
	void SetHighlights(const std::vector<point_t>& cells) override;
	void SetMarks(const std::vector<point_t>& cells, const gcn::Color& colour) override;
	void AddPopup(int px, int py, const std::string& text, const gcn::Color& colour) override;
	void ClearPopups() override;
	void SetEffectSprites(const std::vector<TEffectSprite>& sprites) override;
	void SetScreenEffect(const TEffectSprite* sprite) override;
	void SetSpecialName(const std::string& name) override;
	void SetStatusLine(const std::string& text) override;
	void SetBottomChara(const TCharaInstance* chara, int side) override;

	// The player's windows.
	void ShowCommandBar(const TCommandMenu& menu) override;
	void HideCommandBar() override;
	void ShowMagicWindow(const TCharaInstance& chara, const std::vector<int>& useCounts) override;
	void HideMagicWindow() override;
	void ShowPlacement(const std::vector<TCharaInstance>& charas, const std::vector<int>& placed) override;
	void SelectPlacement(int index) override;
	void HidePlacement() override;
	void ShowCharaList(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides,
		bool flag) override;
	void HideCharaList() override;
	void ShowFullStatus(const TCharaInstance& chara) override;
	void HideFullStatus() override;
	bool IsFullStatusVisible() const override;

	// Messages and sound.
	void ShowMessage(const std::string& text) override;
	bool IsMessageVisible() const override;
	bool IsConfigWindowVisible() const override;
	void PlayMusic(int music) override;
	void PlayCommonMusic(int id) override;
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

	TBattleMapWindow m_MapWindow;
	TBattleCommandWindow m_CommandWindow;
	TMagicWindow m_MagicWindow;
	TBattleCharaListWindow m_CharaListWindow;
	TCharaPlaceWindow m_PlaceWindow;
	TCharaStatusFullWindow m_StatusWindow;
	TAnimationPane m_AnimationPane;

private:
	/// The map cell under a point of the map pane.
	point_t CellAt(int px, int py) const;
	/// The command bar goes under the map, in the middle of the map window.
	void PlaceCommandBar();

	TBattleMapLogic* m_Logic;
	const TBattleMap* m_Map;
	gcn::Container* m_Top;
	bool m_KeysListened;
	std::function<bool()> m_ConfigWindowTest;
};

#endif
