#include "world/PowerMapWindow.h"

#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/MasterData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>
#include <guichan/graphics.hpp>
#include <guichan/image.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const int FONT_SIZE = 12;
const int LINE_HEIGHT = 16;
const int LEGEND_MAX = 256;
const int SQUARE = 12;

/// The masters still in play, in master order.
std::vector<int> ExistingMasters(const TMorvalethGame& game)
{
	std::vector<int> masters;
	for (int m = 0; m < game.GetMasterCount(); ++m)
		if (game.GetMaster(m).Exists)
			masters.push_back(m);
	return masters;
}

const TMasterData& MasterDefinition(int master)
{
	return g_GameMaster.m_Data->GetMasterData(g_GameMaster.m_Game->GetMaster(master).DataIndex);
}
}

int PowerMapLegendWidth(const std::vector<int>& nameLengths, int glyphWidth)
{
	int width = 0;
	for (int length : nameLengths)
		width = std::max(width, glyphWidth * length / 2 + 20);
	return std::min(width, LEGEND_MAX);
}

TPowerMapPane::TPowerMapPane()
{
	setOpaque(false);
	m_Image.setPosition(0, 0);
	add(&m_Image);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupDarkPane(this);
}

void TPowerMapPane::Refresh()
{
	TMorvalethImage* image = g_GameMaster.m_Image.get();
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	if (!image || !game || !g_GameMaster.m_Data)
		return;
	image->InitPowerMap();
	for (int a = 0; a < game->GetAreaCount(); ++a) {
		const TAreaInstance& area = game->GetArea(a);
		if (!area.Ignore && area.Owner >= 0)
			image->PaintPowerMap(MasterDefinition(area.Owner).PowerMapColor, area.PaintPoints);
	}
	// The store owns the image and drops the last one itself, so nothing leaks from refresh to refresh.
	m_Image.SetImage(image->GetPowerMap());
	std::vector<int> lengths;
	for (int master : ExistingMasters(*game))
		lengths.push_back(static_cast<int>(MasterDefinition(master).Name.size()));
	TGcnCharDrawer* font = g_GuiContext.GetCharDrawer(FONT_SIZE);
	const int legendWidth = lengths.empty() ? 0 : PowerMapLegendWidth(lengths, font ? font->m_GlyphWidth : FONT_SIZE);
	const int legendHeight = LINE_HEIGHT * static_cast<int>(lengths.size());
	setSize(m_Image.getWidth() + legendWidth, std::max(legendHeight, m_Image.getHeight()));
}

void TPowerMapPane::draw(gcn::Graphics* graphics)
{
	const int mapWidth = m_Image.getWidth();
	const int mapHeight = m_Image.getHeight();
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(mapWidth, 0, getWidth() - mapWidth, getHeight()));
	if (getHeight() > mapHeight)
		graphics->fillRectangle(gcn::Rectangle(0, mapHeight, mapWidth, getHeight() - mapHeight));
	TGcnCharDrawer* font = g_GuiContext.GetCharDrawer(FONT_SIZE);
	if (g_GameMaster.m_Game && g_GameMaster.m_Data && font) {
		int y = 2;
		for (int master : ExistingMasters(*g_GameMaster.m_Game)) {
			const TMasterData& definition = MasterDefinition(master);
			graphics->setColor(ColorFromPacked(definition.PowerMapColor));
			graphics->fillRectangle(gcn::Rectangle(mapWidth + 2, y, SQUARE, SQUARE));
			font->DrawString(graphics, mapWidth + 16, y, definition.Name.c_str(), WHITE);
			y += LINE_HEIGHT;
		}
	}
	drawChildren(graphics);
}

TPowerMapWindow::TPowerMapWindow()
{
	setOpaque(false);
	add(&m_Pane);
	m_Pane.addMouseListener(this);
	m_Pane.m_Image.addMouseListener(this);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
}

void TPowerMapWindow::Show()
{
	m_Pane.Refresh();
	resizeToContent();
	setVisible(true);
	requestMoveToTop();
	g_GuiContext.CenterWidget(this);
}

void TPowerMapWindow::mousePressed(gcn::MouseEvent& mouseEvent)
{
	if (mouseEvent.getSource() != this) {
		setVisible(false);
		mouseEvent.consume();
	}
	TGcnWindow::mousePressed(mouseEvent);
}
