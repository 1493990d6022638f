#include "world/RecordingWorldView.h"

#include "app/Logger.h"

TRecordingWorldView::TRecordingWorldView()
	: m_Controller(nullptr), m_LooksLeft(0), m_ReplyLooks(1), m_ReplyAnswer(1), m_Answer(0), m_MusicPlaying(false),
	  m_Quit(false)
{
	m_Visible.fill(false);
}

void TRecordingWorldView::SetMessageReply(int looks, unsigned answer)
{
	m_ReplyLooks = looks;
	m_ReplyAnswer = answer;
}

std::vector<std::string> TRecordingWorldView::CallsOf(const std::string& prefix) const
{
	std::vector<std::string> calls;
	for (const std::string& call : m_Calls)
		if (call.compare(0, prefix.size(), prefix) == 0)
			calls.push_back(call);
	return calls;
}

void TRecordingWorldView::Record(const std::string& line)
{
	m_Calls.push_back(line);
}

void TRecordingWorldView::Build(TWorldMapLogic& controller, int areaCount)
{
	m_Controller = &controller;
	m_Visible.fill(false);
	m_Visible[WORLD_MAP_WINDOW] = true;
	Record(FormatText("Build %d", areaCount));
}

void TRecordingWorldView::ShowWindow(TWorldWindow window, bool visible)
{
	m_Visible[window] = visible;
}

bool TRecordingWorldView::IsWindowVisible(TWorldWindow window) const
{
	return m_Visible[window];
}

void TRecordingWorldView::CenterMapOn(int x, int y)
{
	Record(FormatText("CenterMapOn %d %d", x, y));
}

void TRecordingWorldView::SetGuideText(const std::string& text)
{
	m_GuideText = text;
}

void TRecordingWorldView::SetHighlight(int area, unsigned colour)
{
	m_Highlights[area] = colour;
}

void TRecordingWorldView::ClearHighlights()
{
	m_Highlights.clear();
}

void TRecordingWorldView::SetHoverMark(int area, unsigned colour)
{
	m_Marks[area] = colour;
}

void TRecordingWorldView::ClearMarks()
{
	m_Marks.clear();
}

void TRecordingWorldView::AddRoute(int area1, int area2)
{
	Record(FormatText("AddRoute %d %d", area1, area2));
}

void TRecordingWorldView::ClearRoutes()
{
	Record("ClearRoutes");
}

void TRecordingWorldView::AddChip(int x, int y, int chara)
{
	m_Chips.push_back(TChip{x, y, chara});
}

void TRecordingWorldView::SetChipPosition(int chip, int x, int y)
{
	m_Chips.at(chip).x = x;
	m_Chips.at(chip).y = y;
}

void TRecordingWorldView::ClearChips()
{
	m_Chips.clear();
}

void TRecordingWorldView::ShowHint(int area, const std::string& text)
{
	Record(FormatText("ShowHint %d %s", area, text));
}

void TRecordingWorldView::HideHint()
{
	Record("HideHint");
}

void TRecordingWorldView::ShowArea(int area, bool controls)
{
	m_Visible[WORLD_AREA_WINDOW] = true;
	Record(FormatText("ShowArea %d %d", area, controls ? 1 : 0));
}

void TRecordingWorldView::ShowMaster(int master)
{
	m_Visible[WORLD_MASTER_WINDOW] = true;
	Record(FormatText("ShowMaster %d", master));
}

void TRecordingWorldView::ShowStatus(const TCharaInstance& chara, bool full)
{
	m_Visible[full ? WORLD_FULL_STATUS_WINDOW : WORLD_STATUS_WINDOW] = true;
	Record(FormatText("ShowStatus %d %d", chara.CharaIndex, full ? 1 : 0));
}

void TRecordingWorldView::ShowEmploy(int area, int employer, const std::vector<int>& candidates, int funds)
{
	m_Visible[WORLD_EMPLOY_WINDOW] = true;
	Record(FormatText("ShowEmploy %d %d %d %d", area, employer, candidates.size(), funds));
}

void TRecordingWorldView::ShowMove(int from, int to)
{
	m_Visible[WORLD_MOVE_WINDOW] = true;
	Record(FormatText("ShowMove %d %d", from, to));
}

void TRecordingWorldView::ShowWar(int target)
{
	m_Visible[WORLD_WAR_WINDOW] = true;
	Record(FormatText("ShowWar %d", target));
}

void TRecordingWorldView::SetWarSource(int area)
{
	Record(FormatText("SetWarSource %d", area));
}

void TRecordingWorldView::ShowHero(int area, int chara, int funds)
{
	m_Visible[WORLD_HERO_WINDOW] = true;
	Record(FormatText("ShowHero %d %d %d", area, chara, funds));
}

void TRecordingWorldView::SetSystemMenuCompact(bool compact)
{
	Record(FormatText("SetSystemMenuCompact %d", compact ? 1 : 0));
}

void TRecordingWorldView::ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout)
{
	m_LooksLeft = m_ReplyLooks;
	m_Answer = 0;
	Record(FormatText("ShowMessage %s|%s|%d|%d", caption, text, buttons, timeout));
}

bool TRecordingWorldView::IsMessageVisible() const
{
	if (m_LooksLeft == 0)
		return false;
	if (--m_LooksLeft == 0) {
		m_Answer = m_ReplyAnswer;
		return false;
	}
	return true;
}

void TRecordingWorldView::ChangeMusic(int music, int fadeTime)
{
	m_MusicPlaying = music >= 0;
	Record(FormatText("ChangeMusic %d %d", music, fadeTime));
}

void TRecordingWorldView::ChangeCommonMusic(int id, int fadeTime)
{
	m_MusicPlaying = true;
	Record(FormatText("ChangeCommonMusic %d %d", id, fadeTime));
}

void TRecordingWorldView::FadeOutMusic(int fadeTime)
{
	m_MusicPlaying = false;
	Record(FormatText("FadeOutMusic %d", fadeTime));
}

void TRecordingWorldView::PlaySound(int id)
{
	Record(FormatText("PlaySound %d", id));
}

void TRecordingWorldView::Quit()
{
	m_Quit = true;
	Record("Quit");
}
