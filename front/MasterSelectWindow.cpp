#include "front/MasterSelectWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "front/ConfigWidgets.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/CharaData.h"
#include "model/MasterData.h"
#include "model/MorvalethData.h"
#include "model/ScenarioInfo.h"

#include <algorithm>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int TILE = 128;
const int ROWS = 2;
const int FONT_SIZE = 16;
const int FACE_X = 16;
const int NAME_Y = 100;
const int PLAYER_Y = 72;
const char* const PLAYER_LABEL = "Player";
const gcn::Color BLACK(0, 0, 0, 255);

/// The x at which a text of that many bytes stands centred in a tile.
int CenteredX(int tileX, int glyphWidth, int bytes)
{
	return tileX + (TILE - glyphWidth * bytes / 2) / 2;
}
}

TGcnMasterPane::TGcnMasterPane() : m_Built(false), m_Columns(0), m_Rows(ROWS), m_Hovered(-1)
{
	addMouseListener(this);
}

void TGcnMasterPane::Build(const TChapterInfo& chapter, const TMorvalethData& data)
{
	m_Entries.clear();
	for (int i = 0; i < chapter.GetMasterCount(); ++i) {
		const TChapterMaster& master = chapter.GetMaster(i);
		if (!master.NotPlayer)
			m_Entries.push_back({ data.GetMasterIndex(master.id), i });
	}
	const int count = static_cast<int>(m_Entries.size());
	m_Chosen.assign(count, 0);
	m_Hovered = -1;
	m_Columns = (m_Rows + count - 1) / m_Rows;
	setSize(TILE * m_Columns, TILE * m_Rows);
	m_Built = true;
}

void TGcnMasterPane::Reset()
{
	m_Built = false;
	m_Entries.clear();
	m_Chosen.clear();
	m_Hovered = -1;
}

int TGcnMasterPane::EntryAt(int x, int y) const
{
	if (x < 0 || y < 0 || x >= TILE * m_Columns || y >= TILE * m_Rows)
		return -1;
	const int entry = (x / TILE) * m_Rows + y / TILE;
	return entry < static_cast<int>(m_Entries.size()) ? entry : -1;
}

void TGcnMasterPane::Toggle(int entry)
{
	if (entry >= 0 && entry < static_cast<int>(m_Chosen.size()))
		m_Chosen[entry] = !m_Chosen[entry];
}

void TGcnMasterPane::ChooseAll(bool chosen)
{
	std::fill(m_Chosen.begin(), m_Chosen.end(), chosen ? 1 : 0);
}

bool TGcnMasterPane::AnyChosen() const
{
	return std::find(m_Chosen.begin(), m_Chosen.end(), 1) != m_Chosen.end();
}

void TGcnMasterPane::GetChosen(std::vector<int>& masters) const
{
	masters.clear();
	for (std::size_t i = 0; i < m_Entries.size(); ++i)
		if (m_Chosen[i])
			masters.push_back(m_Entries[i].master);
}

void TGcnMasterPane::mousePressed(gcn::MouseEvent& mouseEvent)
{
	if (mouseEvent.getButton() != gcn::MouseEvent::LEFT)
		return;
	Toggle(EntryAt(mouseEvent.getX(), mouseEvent.getY()));
	mouseEvent.consume();
}

void TGcnMasterPane::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	const int entry = EntryAt(mouseEvent.getX(), mouseEvent.getY());
	if (entry >= 0)
		m_Hovered = entry;
	mouseEvent.consume();
}

void TGcnMasterPane::draw(gcn::Graphics* graphics)
{
	if (!m_Built)
		return;
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	const TMorvalethData* data = g_GameMaster.m_Data.get();
	const TMorvalethImage* image = g_GameMaster.m_Image.get();
	TGcnCharDrawer* font = g_GuiContext.GetCharDrawer(FONT_SIZE);
	if (!data || !image || !font)
		return;
	const gcn::Color& colour = getForegroundColor();
	for (std::size_t i = 0; i < m_Entries.size(); ++i) {
		const int x = TILE * (static_cast<int>(i) / m_Rows);
		const int y = TILE * (static_cast<int>(i) % m_Rows);
		const int master = m_Entries[i].master;
		const int chara = master >= 0 ? data->GetMasterData(master).CharaIndex : -1;
		if (chara < 0)
			continue;
		const TCharaData& definition = data->GetCharaData(chara);
		image->DrawFaceOrChara(graphics, x + FACE_X, y, definition.FaceImage, definition.ChipImage);
		const int nameX = CenteredX(x, font->m_GlyphWidth, static_cast<int>(definition.Name.size()));
		font->DrawString(graphics, nameX, y + NAME_Y, definition.Name.c_str(), colour);
		if (!m_Chosen[i])
			continue;
		const int labelX = CenteredX(x, font->m_GlyphWidth, 6);
		font->DrawString(graphics, labelX + 1, y + PLAYER_Y, PLAYER_LABEL, BLACK);
		font->DrawString(graphics, labelX, y + PLAYER_Y, PLAYER_LABEL, colour);
	}
}

TMasterSelectPane::TMasterSelectPane()
	: m_AllButton("全て選択"), m_NoneButton("全て解除"), m_StartButton("開始"), m_CancelButton("取消")
{
	setSize(624, 532);
	if (g_GameMaster.m_Skin) {
		g_GameMaster.m_Skin->SetupPane(this);
		g_GameMaster.m_Skin->SetupScrollArea(&m_TileArea);
	}
	const struct {
		gcn::Button* button;
		int x;
		int width;
		bool enabled;
	} buttons[] = { { &m_AllButton, 4, 80, true }, { &m_NoneButton, 108, 80, true },
		{ &m_StartButton, 468, 56, false }, { &m_CancelButton, 564, 56, true } };
	for (const auto& b : buttons) {
		Place(*this, *b.button, b.x, 502, b.width, 24);
		SkinButton(*b.button, b.enabled);
		b.button->addActionListener(this);
	}
	m_Masters.setForegroundColor(g_Config.m_FontColor);
	m_Masters.setBackgroundColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	m_TileArea.setContent(&m_Masters);
	Place(*this, m_TileArea, 4, 4, 616, 288);
	const struct {
		TGcnTextPane* pane;
		int y;
		int height;
	} texts[] = { { &m_Handle, 296, FONT_SIZE }, { &m_Difficulty, 316, FONT_SIZE }, { &m_Explanation, 336, 160 } };
	for (const auto& t : texts) {
		t.pane->setForegroundColor(g_Config.m_FontColor);
		t.pane->setBackgroundColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
		Place(*this, *t.pane, 4, t.y, 616, t.height);
	}
}

void TMasterSelectPane::RefreshList()
{
	if (!g_GameMaster.m_Data)
		return;
	m_Masters.Build(g_GameMaster.m_Data->GetChapter(), *g_GameMaster.m_Data);
	m_TileArea.setVerticalScrollAmount(0);
	m_TileArea.setHorizontalScrollAmount(0);
	UpdateStartButton();
}

void TMasterSelectPane::ResetList()
{
	m_Masters.Reset();
	m_Handle.SetText(std::string());
	m_Difficulty.SetText(std::string());
	m_Explanation.SetText(std::string());
	UpdateStartButton();
}

void TMasterSelectPane::action(const gcn::ActionEvent& actionEvent)
{
	const gcn::Widget* source = actionEvent.getSource();
	if (source == &m_StartButton) {
		std::vector<int> masters;
		m_Masters.GetChosen(masters);
		g_GameMaster.StartGame(masters);
	} else if (source == &m_CancelButton) {
		g_GameMaster.ShowMasterSelect(false);
	} else if (source == &m_AllButton || source == &m_NoneButton) {
		m_Masters.ChooseAll(source == &m_AllButton);
		UpdateStartButton();
	}
}

void TMasterSelectPane::logic()
{
	if (m_Masters.m_Built) {
		ShowHovered();
		UpdateStartButton();
	}
	gcn::Container::logic();
}

void TMasterSelectPane::UpdateStartButton()
{
	const bool usable = m_Masters.AnyChosen();
	if (usable != m_StartButton.isEnabled())
		SkinButton(m_StartButton, usable);
}

void TMasterSelectPane::ShowHovered()
{
	const int hovered = m_Masters.m_Hovered;
	if (hovered < 0 || !g_GameMaster.m_Data) {
		m_Explanation.SetText(std::string());
		return;
	}
	const TChapterMaster& master = g_GameMaster.m_Data->GetChapter().GetMaster(m_Masters.m_Entries[hovered].position);
	m_Handle.SetText(master.Handle);
	m_Difficulty.SetText(master.Difficulty);
	m_Explanation.SetText(master.Explanation);
}

TMasterSelectWindow::TMasterSelectWindow()
{
	setOpaque(false);
	add(&m_Pane);
	resizeToContent();
}
