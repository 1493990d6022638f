#ifndef MORVALETH_WORLD_RECORDINGWORLDVIEW_H
#define MORVALETH_WORLD_RECORDINGWORLDVIEW_H

#include "world/WorldView.h"

#include <array>
#include <map>
#include <string>
#include <vector>

/// A view without a screen that keeps what it was asked to show, for tests and runs without a window.
/// A message stays up for a set number of looks and then closes with a set answer, as a player or
/// the dialog's time-out would close it.
class TRecordingWorldView : public TWorldView
{
public:
	/// A shown message closes on its next look, answered with OK.
	TRecordingWorldView();

	/// Looks at a shown message before it closes, and the answer it closes with (BUTTON_*).
	void SetMessageReply(int looks, unsigned answer);
	/// Lines of every call that shows something, in order ("ShowMessage Information|text" and so on).
	const std::vector<std::string>& Calls() const { return m_Calls; }
	/// The calls that begin with the text.
	std::vector<std::string> CallsOf(const std::string& prefix) const;
	void ClearCalls() { m_Calls.clear(); }

	/// What the map shows now.
	const std::string& GuideText() const { return m_GuideText; }
	const std::map<int, unsigned>& Highlights() const { return m_Highlights; }
	const std::map<int, unsigned>& Marks() const { return m_Marks; }
	/// Marching chips: position and character.
	struct TChip
	{
		int x, y, chara;
	};
	const std::vector<TChip>& Chips() const { return m_Chips; }
	/// The controller the view was built for; null before.
	TWorldMapLogic* Controller() const { return m_Controller; }
	/// Quit was asked for.
	bool HasQuit() const { return m_Quit; }

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
	void SetSystemMenuCompact(bool compact) override;
	void ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout) override;
	bool IsMessageVisible() const override;
	unsigned GetMessageAnswer() const override { return m_Answer; }
	void ChangeMusic(int music, int fadeTime) override;
	void ChangeCommonMusic(int id, int fadeTime) override;
	void FadeOutMusic(int fadeTime) override;
	bool IsMusicPlaying() const override { return m_MusicPlaying; }
	void PlaySound(int id) override;
	void Quit() override;

private:
	/// Keeps a line of a call.
	void Record(const std::string& line);

	std::vector<std::string> m_Calls;
	TWorldMapLogic* m_Controller;
	std::array<bool, WORLD_WINDOW_COUNT> m_Visible;
	std::string m_GuideText;
	std::map<int, unsigned> m_Highlights;
	std::map<int, unsigned> m_Marks;
	std::vector<TChip> m_Chips;
	/// Looks left before the shown message closes; 0 when none is up.
	mutable int m_LooksLeft;
	int m_ReplyLooks;
	unsigned m_ReplyAnswer;
	mutable unsigned m_Answer;
	bool m_MusicPlaying;
	bool m_Quit;
};

#endif
