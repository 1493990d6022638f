#include "battle/BattleCharaListWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "battle/BattleMapPanes.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"

#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int GAUGE_STRIP = 32;
const int TITLE_HEIGHT = 24;
const int ENTRY_HEIGHT = 32;
const int BODY_FONT = 12;
const int TITLE_FONT = 16;
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color STRIP(32, 32, 32, 192);

void DrawText(gcn::Graphics* graphics, int size, int x, int y, const std::string& text)
{
	if (TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(size))
		drawer->DrawString(graphics, x, y, text.c_str(), WHITE);
}

bool OnField(const TCharaInstance& chara)
{
	return chara.HP != 0 && !chara.Fled;
}
}

TBattleCharaListPane::TBattleCharaListPane()
	: m_GaugesShown(false), m_Masters{{-1, -1}}, m_Sides{{nullptr, nullptr}}
{
	setSize(WIDTH, HEIGHT);
}

void TBattleCharaListPane::SetSide(int i, int masterData, const std::vector<TCharaInstance>* charas)
{
	if (i < 0 || i > 1)
		return;
	m_Masters[i] = masterData;
	m_Sides[i] = charas;
}

void TBattleCharaListPane::EntryPlace(int n, int& column, int& row)
{
	column = n / COLUMN_ENTRIES;
	row = n % COLUMN_ENTRIES;
}

void TBattleCharaListPane::draw(gcn::Graphics* graphics)
{
	int top = 0;
	if (m_GaugesShown) {
		graphics->setColor(STRIP);
		graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), GAUGE_STRIP));
		DrawSideGauges(graphics, getWidth() / 2, 0, m_Gauges, getWidth() / 2 - 20);
		top = GAUGE_STRIP;
	}
	graphics->setColor(g_Config.GetGuiColor(GUICOLOR_BATTLE_CHARA_LIST_PANE));
	graphics->fillRectangle(gcn::Rectangle(0, top, getWidth(), getHeight() - top));
	if (!g_GameMaster.m_Data)
		return;
	for (int side = 0; side < 2; ++side)
		DrawSide(graphics, side, top);
}

// Side 0 is listed from the right edge, its columns growing to the left; side 1 from the left edge.
void TBattleCharaListPane::DrawSide(gcn::Graphics* graphics, int side, int top) const
{
	const TMorvalethData& data = *g_GameMaster.m_Data;
	const std::string title = m_Masters[side] < 0 ? std::string("中立軍") : data.GetMasterData(m_Masters[side]).Name + "軍";
	const int titleWidth = TITLE_FONT / 2 * static_cast<int>(title.size());
	const int titleX = side == 0 ? getWidth() - titleWidth - 4 : 4;
	DrawText(graphics, TITLE_FONT, titleX, top + 4, title);
	DrawText(graphics, TITLE_FONT, titleX + 1, top + 4, title);
	if (!m_Sides[side])
		return;
	int n = 0;
	for (const TCharaInstance& chara : *m_Sides[side]) {
		if (!OnField(chara))
			continue;
		int column = 0;
		int row = 0;
		EntryPlace(n++, column, row);
		const int x = side == 0 ? getWidth() - COLUMN_WIDTH * (column + 1) : COLUMN_WIDTH * column;
		const int y = top + TITLE_HEIGHT + ENTRY_HEIGHT * row;
		if (g_GameMaster.m_Image)
			g_GameMaster.m_Image->DrawChara(graphics, x, y, data.GetCharaData(chara.CharaIndex).ChipImage);
		DrawText(graphics, BODY_FONT, x + 34, y + 2, FormatText("HP %3d/%3d", chara.HP, chara.HPMax));
		DrawText(graphics, BODY_FONT, x + 34, y + 16, FormatText("MP %3d/%3d", chara.MP, chara.MPMax));
	}
}

TBattleCharaListWindow::TBattleCharaListWindow()
	: m_HideOnClick(false), m_LaidOut(false)
{
	setOpaque(false);
	add(&m_Pane);
}

void TBattleCharaListWindow::Show(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides,
	bool flag)
{
	if (!m_LaidOut) {
		m_LaidOut = true;
		if (g_GameMaster.m_Skin)
			g_GameMaster.m_Skin->SetupWindow(this);
		resizeToContent();
	}
	for (int i = 0; i < 2; ++i)
		m_Pane.SetSide(i, i < static_cast<int>(masters.size()) ? masters[i] : -1,
			i < static_cast<int>(sides.size()) ? sides[i] : nullptr);
	m_Pane.m_GaugesShown = flag;
	m_HideOnClick = flag;
	setVisible(true);
	g_GuiContext.CenterWidget(this);
	requestMoveToTop();
}

void TBattleCharaListWindow::mousePressed(gcn::MouseEvent& mouseEvent)
{
	const gcn::Rectangle area = getChildrenArea();
	if (m_HideOnClick && area.isPointInRect(mouseEvent.getX(), mouseEvent.getY())) {
		setVisible(false);
		mouseEvent.consume();
		return;
	}
	TGcnWindow::mousePressed(mouseEvent);
}
