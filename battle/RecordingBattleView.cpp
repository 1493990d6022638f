#include "battle/RecordingBattleView.h"

#include "app/Logger.h"

#include <algorithm>

TRecordingBattleView::TRecordingBattleView(int messageTicks)
	: m_MessageTicks(std::max(1, messageTicks))
{
}

void TRecordingBattleView::Tick()
{
	if (m_MessageTicksLeft > 0)
		--m_MessageTicksLeft;
}

int TRecordingBattleView::Count(const std::string& prefix) const
{
	return static_cast<int>(std::count_if(m_Lines.begin(), m_Lines.end(),
		[&prefix](const std::string& line) { return line.compare(0, prefix.size(), prefix) == 0; }));
}

void TRecordingBattleView::BeginBattle(const TBattleMap&, const TValueLayer<int>& selection)
{
	m_Selection = &selection;
	Record("BeginBattle");
}

void TRecordingBattleView::ShowMapWindow()
{
	m_MapWindowVisible = true;
	Record("ShowMapWindow");
}

void TRecordingBattleView::HideMapWindow()
{
	m_MapWindowVisible = false;
	Record("HideMapWindow");
}

void TRecordingBattleView::EndBattle()
{
	m_MapWindowVisible = false;
	m_CommandBarVisible = false;
	m_FullStatusVisible = false;
	m_PlacementCharas = nullptr;
	Record("EndBattle");
}

void TRecordingBattleView::SetSpeed(int level)
{
	Record(FormatText("SetSpeed %d", level));
}

void TRecordingBattleView::SetSprites(const std::vector<TCharaSprite>& sprites)
{
	m_Sprites = sprites;
	Record(FormatText("SetSprites %d", static_cast<int>(sprites.size())));
}

void TRecordingBattleView::SetSprite(int slot, const TCharaSprite& sprite)
{
	if (slot >= 0 && slot < static_cast<int>(m_Sprites.size()))
		m_Sprites[slot] = sprite;
	Record(FormatText("SetSprite %d (%d,%d) (%d,%d) %d", slot, sprite.cell.x, sprite.cell.y, sprite.target.x,
		sprite.target.y, sprite.progress));
}

void TRecordingBattleView::ScrollTo(int px, int py)
{
	Record(FormatText("ScrollTo %d %d", px, py));
}

void TRecordingBattleView::SetHighlights(const std::vector<point_t>& cells)
{
	m_Highlights = cells;
	Record(FormatText("SetHighlights %d", static_cast<int>(cells.size())));
}

void TRecordingBattleView::AddPopup(int px, int py, const std::string& text, const gcn::Color& colour)
{
	Record(FormatText("AddPopup %d %d %s %d,%d,%d", px, py, text, colour.r, colour.g, colour.b));
}

void TRecordingBattleView::SetStatusLine(const std::string& text)
{
	m_StatusLine = text;
	Record("SetStatusLine " + text);
}

void TRecordingBattleView::SetBottomChara(const TCharaInstance* chara, int side)
{
	m_BottomCharaShown = chara != nullptr;
	if (chara) {
		m_BottomChara = *chara;
		m_BottomSide = side;
	}
	Record(chara ? FormatText("SetBottomChara %d %d", chara->CharaIndex, side) : std::string("SetBottomChara none"));
}

void TRecordingBattleView::ShowCommandBar(const TCommandMenu& menu)
{
	m_Menu = menu;
	m_CommandBarVisible = true;
	Record("ShowCommandBar");
}

void TRecordingBattleView::HideCommandBar()
{
	m_CommandBarVisible = false;
	Record("HideCommandBar");
}

void TRecordingBattleView::ShowMagicWindow(const TCharaInstance&, const std::vector<int>&)
{
	Record("ShowMagicWindow");
}

void TRecordingBattleView::HideMagicWindow()
{
	Record("HideMagicWindow");
}

void TRecordingBattleView::ShowPlacement(const std::vector<TCharaInstance>& charas, const std::vector<int>&)
{
	m_PlacementCharas = &charas;
	m_PlacementSelected = 0;
	Record(FormatText("ShowPlacement %d", static_cast<int>(charas.size())));
}

void TRecordingBattleView::SelectPlacement(int index)
{
	m_PlacementSelected = index;
	Record(FormatText("SelectPlacement %d", index));
}

void TRecordingBattleView::HidePlacement()
{
	m_PlacementCharas = nullptr;
	Record("HidePlacement");
}

void TRecordingBattleView::ShowCharaList(const std::vector<int>&, const std::vector<std::vector<TCharaInstance>*>&,
	bool flag)
{
	Record(FormatText("ShowCharaList %d", flag ? 1 : 0));
}

void TRecordingBattleView::HideCharaList()
{
	Record("HideCharaList");
}

void TRecordingBattleView::ShowFullStatus(const TCharaInstance& chara)
{
	m_FullStatusVisible = true;
	Record(FormatText("ShowFullStatus %d", chara.CharaIndex));
}

void TRecordingBattleView::HideFullStatus()
{
	m_FullStatusVisible = false;
	Record("HideFullStatus");
}

void TRecordingBattleView::ShowMessage(const std::string& text)
{
	m_Messages.push_back(text);
	m_MessageTicksLeft = m_MessageTicks;
	Record("ShowMessage " + text);
}

void TRecordingBattleView::PlayMusic(int music)
{
	Record(FormatText("PlayMusic %d", music));
}

void TRecordingBattleView::PlayCommonMusic(int id)
{
	Record(FormatText("PlayCommonMusic %d", id));
}

void TRecordingBattleView::PlaySound(int id)
{
	Record(FormatText("PlaySound %d", id));
}
