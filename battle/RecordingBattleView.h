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

	void BeginBattle(const TBattleMap& map, const TValueLayer<int>& selection) override;
	void ShowMapWindow() override;
	void HideMapWindow() override;
	void EndBattle() override;
	void SetSpeed(int level) override;
	void SetSprites(const std::vector<TCharaSprite>& sprites) override;
	void SetSprite(int slot, const TCharaSprite& sprite) override;
	void ScrollTo(int px, int py) override;
	void SetHighlights(const std::vector<point_t>& cells) override;
	void AddPopup(int px, int py, const std::string& text, const gcn::Color& colour) override;
	void SetStatusLine(const std::string& text) override;
	void SetBottomChara(const TCharaInstance* chara, int side) override;
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
	bool IsFullStatusVisible() const override { return m_FullStatusVisible; }
	void ShowMessage(const std::string& text) override;
	bool IsMessageVisible() const override { return m_MessageTicksLeft > 0; }
	bool IsConfigWindowVisible() const override { return m_ConfigVisible; }
	void PlayMusic(int music) override;
	void PlayCommonMusic(int id) override;
	void PlaySound(int id) override;

	/// Every call, one line each: its name and its arguments.
	std::vector<std::string> m_Lines;
	/// The texts of the messages shown, in order.
	std::vector<std::string> m_Messages;
	/// The command bar last shown, and whether it is up.
	TCommandMenu m_Menu;
	bool m_CommandBarVisible = false;
	/// The placement list shown (null when hidden) and the entry framed in it.
	const std::vector<TCharaInstance>* m_PlacementCharas = nullptr;
	int m_PlacementSelected = -1;
	/// The selection layer the battle began with: the cells it shades may not be chosen.
	const TValueLayer<int>* m_Selection = nullptr;
	/// The cells framed for placement.
	std::vector<point_t> m_Highlights;
	/// The charas drawn on the map.
	std::vector<TCharaSprite> m_Sprites;
	/// The status line shown.
	std::string m_StatusLine;
	/// The chara the bottom pane shows, with its side, while m_BottomCharaShown.
	TCharaInstance m_BottomChara;
	int m_BottomSide = 0;
	bool m_BottomCharaShown = false;
	bool m_MapWindowVisible = false;
	bool m_FullStatusVisible = false;
	/// Tests set it to hold the shortcut keys back.
	bool m_ConfigVisible = false;

private:
	void Record(const std::string& line) { m_Lines.push_back(line); }

	int m_MessageTicks;
	int m_MessageTicksLeft = 0;
};

#endif
