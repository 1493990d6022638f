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
	/// Lines of the recorded calls, in order ("ShowMessage Information|text|1|0" and so on); windows, the guide
	/// text, rings, marks and chips are kept as state instead.
	const std::vector<std::string>& Calls() const { return m_Calls; }
	/// The calls that begin with the text.
	std::vector<std::string> CallsOf(const std::string& prefix) const;
	/// Forgets the calls so far, so that a test reads only what comes next.
	void ClearCalls() { m_Calls.clear(); }

	/// The guide text the map shows now; empty for none.
	const std::string& GuideText() const { return m_GuideText; }
	/// The rings by area, with their colours (AARRGGBB); a ring set to 0 stays listed.
	const std::map<int, unsigned>& Highlights() const { return m_Highlights; }
	/// The hover marks by area, with their colours (AARRGGBB).
	const std::map<int, unsigned>& Marks() const { return m_Marks; }
	/// A marching chip: position and character.
	struct TChip
	{
		/// Map point of the chip and the character it shows.
		int x, y, chara;
	};
	/// The marching chips, in the order they were added.
	const std::vector<TChip>& Chips() const { return m_Chips; }
	/// The controller the view was built for; null before.
	TWorldMapLogic* Controller() const { return m_Controller; }
	/// Quit was asked for.
	bool HasQuit() const { return m_Quit; }

	/// Remembers the controller, leaves only the map window visible and records "Build <areas>"; it never
	/// steps the controller, the test does.
	void Build(TWorldMapLogic& controller, int areaCount) override;
	/// Keeps the window's flag; no line.
	void ShowWindow(TWorldWindow window, bool visible) override;
	/// The window's flag as last set.
	bool IsWindowVisible(TWorldWindow window) const override;
	/// Records "CenterMapOn <x> <y>".
	void CenterMapOn(int x, int y) override;
	/// Keeps the text for GuideText; no line.
	void SetGuideText(const std::string& text) override;
	/// Keeps the ring for Highlights; no line.
	void SetHighlight(int area, unsigned colour) override;
	/// Forgets every ring; no line.
	void ClearHighlights() override;
	/// Keeps the mark for Marks; no line.
	void SetHoverMark(int area, unsigned colour) override;
	/// Forgets every mark; no line.
	void ClearMarks() override;
	/// Records "AddRoute <area1> <area2>".
	void AddRoute(int area1, int area2) override;
	/// Records "ClearRoutes".
	void ClearRoutes() override;
	/// Adds the chip to Chips; no line.
	void AddChip(int x, int y, int chara) override;
	/// Moves the chip in Chips; a chip that was never added throws.
	void SetChipPosition(int chip, int x, int y) override;
	/// Empties Chips.
	void ClearChips() override;
	/// Records "ShowHint <area> <text>".
	void ShowHint(int area, const std::string& text) override;
	/// Records "HideHint".
	void HideHint() override;
	/// Makes the area window visible and records "ShowArea <area> <controls 0/1>".
	void ShowArea(int area, bool controls) override;
	/// Makes the master window visible and records "ShowMaster <master>".
	void ShowMaster(int master) override;
	/// Makes the short or full status window visible and records "ShowStatus <character definition> <full 0/1>".
	void ShowStatus(const TCharaInstance& chara, bool full) override;
	/// Makes the employ window visible and records "ShowEmploy <area> <employer> <candidate count> <funds>".
	void ShowEmploy(int area, int employer, const std::vector<int>& candidates, int funds) override;
	/// Makes the move window visible and records "ShowMove <from> <to>".
	void ShowMove(int from, int to) override;
	/// Makes the war window visible and records "ShowWar <target>".
	void ShowWar(int target) override;
	/// Records "SetWarSource <area>".
	void SetWarSource(int area) override;
	/// Makes the hero window visible and records "ShowHero <area> <chara> <funds>".
	void ShowHero(int area, int chara, int funds) override;
	/// Records "SetSystemMenuCompact <0/1>".
	void SetSystemMenuCompact(bool compact) override;
	/// Records "ShowMessage <caption>|<text>|<buttons>|<timeout>"; the message is up for the set looks, with
	/// no answer yet.
	void ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout) override;
	/// Each look counts down; the last one closes the message with the set answer and already sees it closed.
	bool IsMessageVisible() const override;
	/// The answer of the last message closed; 0 while one is up or before any.
	unsigned GetMessageAnswer() const override { return m_Answer; }
	/// Records "ChangeMusic <music> <fade>"; music plays unless it is -1.
	void ChangeMusic(int music, int fadeTime) override;
	/// Records "ChangeCommonMusic <id> <fade>"; music plays.
	void ChangeCommonMusic(int id, int fadeTime) override;
	/// Records "FadeOutMusic <fade>"; no music plays.
	void FadeOutMusic(int fadeTime) override;
	/// Whether the music calls so far leave music playing.
	bool IsMusicPlaying() const override { return m_MusicPlaying; }
	/// Records "PlaySound <id>".
	void PlaySound(int id) override;
	/// Records "Quit" and sets HasQuit.
	void Quit() override;

private:
	/// Keeps a line of a call.
	void Record(const std::string& line);

	/// The recorded lines, in order.
	std::vector<std::string> m_Calls;
	/// Set by Build; null before.
	TWorldMapLogic* m_Controller;
	/// One flag per window, as last shown or hidden.
	std::array<bool, WORLD_WINDOW_COUNT> m_Visible;
	/// The guide text last set.
	std::string m_GuideText;
	/// Rings and hover marks by area, as set since they were last cleared.
	std::map<int, unsigned> m_Highlights;
	std::map<int, unsigned> m_Marks;
	/// The marching chips, in the order they were added.
	std::vector<TChip> m_Chips;
	/// Looks left before the shown message closes; 0 when none is up.
	mutable int m_LooksLeft;
	/// Looks a message stays up for, and the answer it closes with (BUTTON_*); 1 and OK by default.
	int m_ReplyLooks;
	unsigned m_ReplyAnswer;
	/// The answer of the last message closed; 0 while one is up.
	mutable unsigned m_Answer;
	/// Whether music plays after the music calls so far.
	bool m_MusicPlaying;
	/// Quit was asked for.
	bool m_Quit;
};

#endif
