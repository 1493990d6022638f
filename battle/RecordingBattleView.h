#ifndef MORVALETH_BATTLE_RECORDINGBATTLEVIEW_H
#define MORVALETH_BATTLE_RECORDINGBATTLEVIEW_H

#include "battle/BattleView.h"

#include <string>
#include <vector>

/// A view for battles run without a window: it writes down what it was asked to show, and a message
/// stays up for a set number of ticks, as the real dialog closes itself after its time-out.
class TRecordingBattleView : public TNullBattleView
{
public:
	/// Messages close after that many calls of Tick.
	explicit TRecordingBattleView(int messageTicks);

	/// One frame passes: a message that is up comes nearer to closing.
	void Tick();
	/// Number of recorded lines that begin with the text.
	int Count(const std::string& prefix) const;

	/// Keeps the selection layer; records "BeginBattle".
	void BeginBattle(const TBattleMap& map, const TValueLayer<int>& selection) override;
	/// The map window counts as up; records "ShowMapWindow".
	void ShowMapWindow() override;
	/// The map window counts as hidden; records "HideMapWindow".
	void HideMapWindow() override;
	/// Every window counts as closed, the placement list as gone; records "EndBattle".
	void EndBattle() override;
	/// Records "SetSpeed <level>".
	void SetSpeed(int level) override;
	/// Keeps the sprites; records "SetSprites <count>".
	void SetSprites(const std::vector<TCharaSprite>& sprites) override;
	/// Replaces a kept sprite (a slot it lacks is ignored); records the slot, both cells and the progress.
	void SetSprite(int slot, const TCharaSprite& sprite) override;
	/// Records "ScrollTo <px> <py>".
	void ScrollTo(int px, int py) override;
	/// Keeps the framed cells; records "SetHighlights <count>".
	void SetHighlights(const std::vector<point_t>& cells) override;
	/// Records "AddPopup <px> <py> <text> <r>,<g>,<b>".
	void AddPopup(int px, int py, const std::string& text, const gcn::Color& colour) override;
	/// Keeps the line; records "SetStatusLine <text>".
	void SetStatusLine(const std::string& text) override;
	/// Keeps a copy of the chara and its side (null: none shown); records its definition and side, or "none".
	void SetBottomChara(const TCharaInstance* chara, int side) override;
	/// Keeps the menu, the bar counting as up; records "ShowCommandBar".
	void ShowCommandBar(const TCommandMenu& menu) override;
	/// The bar counts as hidden; records "HideCommandBar".
	void HideCommandBar() override;
	/// Records "ShowMagicWindow".
	void ShowMagicWindow(const TCharaInstance& chara, const std::vector<int>& useCounts) override;
	/// Records "HideMagicWindow".
	void HideMagicWindow() override;
	/// Keeps the list, its first entry framed; records "ShowPlacement <count>".
	void ShowPlacement(const std::vector<TCharaInstance>& charas, const std::vector<int>& placed) override;
	/// Frames the entry; records "SelectPlacement <index>".
	void SelectPlacement(int index) override;
	/// Lets go of the list; records "HidePlacement".
	void HidePlacement() override;
	/// Records "ShowCharaList <flag>".
	void ShowCharaList(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides,
		bool flag) override;
	/// Records "HideCharaList".
	void HideCharaList() override;
	/// The sheet counts as up; records "ShowFullStatus <definition>".
	void ShowFullStatus(const TCharaInstance& chara) override;
	/// The sheet counts as hidden; records "HideFullStatus".
	void HideFullStatus() override;
	/// Shown and not hidden since.
	bool IsFullStatusVisible() const override { return m_FullStatusVisible; }
	/// Keeps the text and puts the message up for the set number of ticks; records "ShowMessage <text>".
	void ShowMessage(const std::string& text) override;
	/// Ticks are left before the last message closes.
	bool IsMessageVisible() const override { return m_MessageTicksLeft > 0; }
	/// As the test set m_ConfigVisible.
	bool IsConfigWindowVisible() const override { return m_ConfigVisible; }
	/// Records "PlayMusic <music>".
	void PlayMusic(int music) override;
	/// Records "PlayCommonMusic <id>".
	void PlayCommonMusic(int id) override;
	/// Records "PlaySound <id>".
	void PlaySound(int id) override;

	/// Every call, one line each: its name and its arguments.
	std::vector<std::string> m_Lines;
	/// The texts of the messages shown, in order.
	std::vector<std::string> m_Messages;
	/// The command bar last shown.
	TCommandMenu m_Menu;
	/// The command bar is up.
	bool m_CommandBarVisible = false;
	/// The placement list shown; null when hidden.
	const std::vector<TCharaInstance>* m_PlacementCharas = nullptr;
	/// The entry framed in the placement list; -1 before the first.
	int m_PlacementSelected = -1;
	/// The selection layer the battle began with: the cells it shades may not be chosen.
	const TValueLayer<int>* m_Selection = nullptr;
	/// The cells framed for placement.
	std::vector<point_t> m_Highlights;
	/// The charas drawn on the map.
	std::vector<TCharaSprite> m_Sprites;
	/// The status line shown.
	std::string m_StatusLine;
	/// The chara the bottom pane shows, while m_BottomCharaShown.
	TCharaInstance m_BottomChara;
	/// The side of the bottom pane's chara.
	int m_BottomSide = 0;
	/// The bottom pane shows a chara.
	bool m_BottomCharaShown = false;
	/// The map window is up.
	bool m_MapWindowVisible = false;
	/// The full status sheet is up.
	bool m_FullStatusVisible = false;
	/// Tests set it to hold the shortcut keys back.
	bool m_ConfigVisible = false;

private:
	/// Adds a line to the record.
	void Record(const std::string& line) { m_Lines.push_back(line); }

	/// Ticks a message stays up, at least 1.
	int m_MessageTicks;
	/// Ticks left before the message up closes; 0 when none is up.
	int m_MessageTicksLeft = 0;
};

#endif
