#include "battle/MagicWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <guichan/actionevent.hpp>
#include <guichan/actionlistener.hpp>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int FONT = 12;
const int GLYPH = 8;
/// Left margin of the pane's texts.
const int TEXT_MARGIN = 2;
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color GREY(128, 128, 128, 255);
const gcn::Color HOVER(255, 192, 0, 255);
const int PANES_PER_ROW = 3;

void DrawText(gcn::Graphics* graphics, int x, int y, const std::string& text, const gcn::Color& colour)
{
	if (TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(FONT))
		drawer->DrawString(graphics, x, y, text.c_str(), colour);
}

gcn::Rectangle CellSquare(int row, int column)
{
	return gcn::Rectangle(MAGIC_CELL_LEFT + MAGIC_CELL_SIZE * column, MAGIC_CELL_TOP + MAGIC_ROW_HEIGHT * row,
		MAGIC_CELL_SIZE, MAGIC_CELL_SIZE);
}

gcn::Color ColourOfWord(std::uint32_t word)
{
	return gcn::Color(word & 0xFF, (word >> 8) & 0xFF, (word >> 16) & 0xFF, (word >> 24) & 0xFF);
}
}

TMagicGroupPane::TMagicGroupPane(gcn::ActionListener* listener)
	: m_Listener(listener), m_Group(-1)
{
	setSize(WIDTH, HEIGHT);
	addMouseListener(this);
}

void TMagicGroupPane::Setup(int charaData, int mp, int group, const std::vector<int>& useCounts)
{
	m_Group = group;
	m_Rows = BuildMagicRows(*g_GameMaster.m_Data, charaData, mp, group, useCounts);
	m_Hover = TMagicHit();
}

void TMagicGroupPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(g_Config.GetGuiColor(GUICOLOR_MAGIC_SELECT_PANE));
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	if (!g_GameMaster.m_Data || m_Group < 0)
		return;
	const TMagicGroupData& group = g_GameMaster.m_Data->GetMagicGroupData(m_Group);
	gcn::Color title = ColourOfWord(group.Color);
	title.a = 255;
	DrawText(graphics, TEXT_MARGIN, 4, MagicGroupTitle(group.Name), title);
	for (int r = 0; r < static_cast<int>(m_Rows.size()); ++r)
		DrawRow(graphics, r);
	if (m_Hover.magic != -1)
		DrawHover(graphics);
}

void TMagicGroupPane::DrawRow(gcn::Graphics* graphics, int r) const
{
	const TMagicRow& row = m_Rows[r];
	DrawText(graphics, TEXT_MARGIN, MAGIC_CELL_TOP + 4 + MAGIC_ROW_HEIGHT * r,
		g_GameMaster.m_Data->GetMagicData(row.magic).Name, WHITE);
	for (int k = 0; k < MAGIC_ENTRY_MAX; ++k) {
		if (row.cells[k].special == -1)
			continue;
		const gcn::Rectangle square = CellSquare(r, k);
		const gcn::Color& colour = row.cells[k].enabled ? WHITE : GREY;
		graphics->setColor(colour);
		g_DrawRectangleSlide.DrawRectangle(graphics, square);
		DrawText(graphics, square.x + 7, square.y + 2, FormatText("%d", k + 1), colour);
	}
}

void TMagicGroupPane::DrawHover(gcn::Graphics* graphics) const
{
	// Centred at 8 pixels a byte, a long text would begin left of the pane and lose its first characters:
	// it begins at the margin of the magics' names instead.
	const std::string& guidance = g_GameMaster.m_Data->GetMagicData(m_Hover.magic).Guidance;
	const int centred = (getWidth() - GLYPH * static_cast<int>(guidance.size())) / 2;
	DrawText(graphics, std::max(TEXT_MARGIN, centred), getHeight() - 20, guidance, WHITE);
	if (m_Hover.special == -1)
		return;
	graphics->setColor(m_Hover.enabled ? HOVER : GREY);
	graphics->fillRectangle(CellSquare(m_Hover.row, m_Hover.column));
}

void TMagicGroupPane::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	m_Hover = MagicHitTest(m_Rows, mouseEvent.getX(), mouseEvent.getY());
}

void TMagicGroupPane::mouseExited(gcn::MouseEvent&)
{
	m_Hover = TMagicHit();
}

void TMagicGroupPane::mousePressed(gcn::MouseEvent& mouseEvent)
{
	mouseEvent.consume();
	std::string id = "-1";
	if (mouseEvent.getButton() == gcn::MouseEvent::LEFT) {
		const TMagicHit hit = MagicHitTest(m_Rows, mouseEvent.getX(), mouseEvent.getY());
		if (hit.special == -1 || !hit.enabled)
			return;
		id = FormatText("%d", hit.special);
	}
	if (m_Listener)
		m_Listener->action(gcn::ActionEvent(this, id));
}

TMagicWindow::TMagicWindow(gcn::ActionListener* listener)
	: m_Listener(listener), m_LaidOut(false)
{
	setOpaque(false);
}

TMagicWindow::~TMagicWindow()
{
	RemovePanes();
}

void TMagicWindow::RemovePanes()
{
	for (const std::unique_ptr<TMagicGroupPane>& pane : m_Panes)
		remove(pane.get());
	m_Panes.clear();
}

void TMagicWindow::SetChara(const TCharaInstance& chara, const std::vector<int>& useCounts)
{
	if (!m_LaidOut && g_GameMaster.m_Skin) {
		m_LaidOut = true;
		g_GameMaster.m_Skin->SetupWindow(this);
	}
	RemovePanes();
	const int groups = static_cast<int>(g_GameMaster.m_Data->GetCharaData(chara.CharaIndex).MagicRanks.size());
	for (int i = 0; i < groups && i < g_GameMaster.m_Data->GetMagicGroupCount(); ++i) {
		m_Panes.emplace_back(new TMagicGroupPane(m_Listener));
		TMagicGroupPane& pane = *m_Panes.back();
		pane.setPosition(i % PANES_PER_ROW * TMagicGroupPane::WIDTH, i / PANES_PER_ROW * TMagicGroupPane::HEIGHT);
		pane.Setup(chara.CharaIndex, chara.MP, i, useCounts);
		add(&pane);
	}
	resizeToContent();
	setVisible(true);
	g_GuiContext.CenterWidget(this);
	requestMoveToTop();
}

bool TMagicWindow::IsPane(const gcn::Widget* widget) const
{
	for (const std::unique_ptr<TMagicGroupPane>& pane : m_Panes)
		if (pane.get() == widget)
			return true;
	return false;
}
