#include "world/WorldMapWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/MorvalethImage.h"
#include "model/MasterData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "world/MasterWindow.h"
#include "world/WorldWindowLayout.h"

#include <algorithm>
#include <guichan/graphics.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color ROUTE_SHADOW(0, 0, 0, 128);
const float SHADOW_WIDTH = 6.0f;
const float ROUTE_WIDTH = 4.0f;
const float RING_WIDTH = 4.0f;
const int MARK_RADIUS = 32;
const int TITLE_HEIGHT = 24;
const int SINE_STEPS = 64;

/// The colour of an AARRGGBB word.
gcn::Color ColorFromWord(unsigned word)
{
	return gcn::Color((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF, (word >> 24) & 0xFF);
}

int Sine(int step)
{
	return g_GuiContext.m_Sin[((step % SINE_STEPS) + SINE_STEPS) % SINE_STEPS];
}

/// The edge colour lightened towards white by the pulse, opaque.
gcn::Color PulsingColor(const gcn::Color& edge, int pulse)
{
	const int grey = Sine(pulse) / 4 + 191;
	const auto add = [grey](int component) { return std::min(255, std::max(0, component + grey)); };
	return gcn::Color(add(edge.r), add(edge.g), add(edge.b), 255);
}
}

TWorldMapPane::TWorldMapPane() : m_Frame(0), m_Pulse(0)
{
}

void TWorldMapPane::InitAreaLists(int areaCount)
{
	m_Highlights.assign(areaCount, 0);
	m_Marks.assign(areaCount, 0);
}

void TWorldMapPane::ClearHighlights()
{
	std::fill(m_Highlights.begin(), m_Highlights.end(), 0);
}

void TWorldMapPane::ClearMarks()
{
	std::fill(m_Marks.begin(), m_Marks.end(), 0);
}

void TWorldMapPane::SetHighlight(int area, unsigned colour)
{
	if (area >= 0 && area < static_cast<int>(m_Highlights.size()))
		m_Highlights[area] = colour;
	m_Pulse = 0;
}

void TWorldMapPane::SetHoverMark(int area, unsigned colour)
{
	if (area >= 0 && area < static_cast<int>(m_Marks.size()))
		m_Marks[area] = colour;
}

void TWorldMapPane::AddRoute(int area1, int area2)
{
	m_Pulse = 0;
	m_Routes.emplace_back(area1, area2);
	m_Routes.emplace_back(area2, area1);
}

void TWorldMapPane::ClearRoutes()
{
	m_Routes.clear();
}

bool TWorldMapPane::IsRoute(int area1, int area2) const
{
	return std::find(m_Routes.begin(), m_Routes.end(), std::make_pair(area1, area2)) != m_Routes.end();
}

void TWorldMapPane::AddChip(int x, int y, int chara)
{
	m_Chips.push_back(TChip{ x, y, chara });
}

void TWorldMapPane::SetChipPosition(int chip, int x, int y)
{
	if (chip >= 0 && chip < static_cast<int>(m_Chips.size())) {
		m_Chips[chip].x = x;
		m_Chips[chip].y = y;
	}
}

void TWorldMapPane::ClearChips()
{
	m_Chips.clear();
}

void TWorldMapPane::logic()
{
	++m_Frame;
	++m_Pulse;
}

void TWorldMapPane::draw(gcn::Graphics* graphics)
{
	TGcnImagePaneLarge::draw(graphics);
	if (!g_GameMaster.m_Game || !g_GameMaster.m_Data || !g_GameMaster.m_Image)
		return;
	int ox = 0;
	int oy = 0;
	getAbsolutePosition(ox, oy);
	DrawRoutes(graphics, ox, oy);
	DrawFlags(graphics);
	DrawRings(graphics, m_Highlights, Sine(m_Pulse) / 32 + 32, ox, oy);
	DrawRings(graphics, m_Marks, MARK_RADIUS, ox, oy);
	const TMorvalethData& data = *g_GameMaster.m_Data;
	for (const TChip& chip : m_Chips)
		g_GameMaster.m_Image->DrawChara(graphics, chip.x, chip.y, data.GetCharaData(chip.chara).ChipImage);
}

void TWorldMapPane::DrawRoutes(gcn::Graphics* graphics, int ox, int oy) const
{
	// Every line's shadow first, then the lines, each set in one go: a large map has thousands of them.
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	std::vector<int> all;
	std::vector<int> plain;
	std::vector<int> pulsing;
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		const TAreaInstance& area = game.GetArea(a);
		if (area.Ignore)
			continue;
		for (int n : area.Neighbors) {
			const TAreaInstance& neighbor = game.GetArea(n);
			if (neighbor.Ignore)
				continue;
			const int line[] = { area.Location.x + ox + AREA_ANCHOR_X, area.Location.y + oy + AREA_ANCHOR_Y,
				neighbor.Location.x + ox + AREA_ANCHOR_X, neighbor.Location.y + oy + AREA_ANCHOR_Y };
			all.insert(all.end(), line, line + 4);
			std::vector<int>& kind = IsRoute(a, n) ? pulsing : plain;
			kind.insert(kind.end(), line, line + 4);
		}
	}
	graphics->setColor(ROUTE_SHADOW);
	GLDrawLines(all, SHADOW_WIDTH);
	graphics->setColor(g_Config.m_WorldMapEdgeColor);
	GLDrawLines(plain, ROUTE_WIDTH);
	graphics->setColor(PulsingColor(g_Config.m_WorldMapEdgeColor, m_Pulse));
	GLDrawLines(pulsing, ROUTE_WIDTH);
}

void TWorldMapPane::DrawFlags(gcn::Graphics* graphics) const
{
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	const TMorvalethData& data = *g_GameMaster.m_Data;
	const TMorvalethImage& image = *g_GameMaster.m_Image;
	const int frame = FlagFrame(m_Frame, g_Config.GetIntValue(CONFIG_FPS));
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		const TAreaInstance& area = game.GetArea(a);
		if (area.Ignore)
			continue;
		const int flag = area.Owner < 0 ? data.GetNeutralFlagImage()
										: data.GetMasterData(game.GetMaster(area.Owner).DataIndex).FlagImage;
		if (flag != -1)
			image.DrawFlag(graphics, area.Location.x, area.Location.y, flag, frame);
		image.DrawAreaName(graphics, area.Location.x - 4 * static_cast<int>(area.Name.size()), area.Location.y + 33,
			area.NameImage);
	}
}

void TWorldMapPane::DrawRings(gcn::Graphics* graphics, const std::vector<unsigned>& colours, int radius, int ox,
	int oy) const
{
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	for (int a = 0; a < static_cast<int>(colours.size()) && a < game.GetAreaCount(); ++a) {
		if (colours[a] == 0)
			continue;
		const point_t& p = game.GetArea(a).Location;
		graphics->setColor(ColorFromWord(colours[a]));
		GLDrawCircle(p.x + ox + AREA_ANCHOR_X, p.y + oy + AREA_ANCHOR_Y, radius, RING_WIDTH);
	}
}

TWorldMapWindow::TWorldMapWindow()
{
	setTitleBarHeight(TITLE_HEIGHT);
	setOpaque(false);
	m_ScrollArea.setContent(&m_Pane);
	add(&m_ScrollArea);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
}

void TWorldMapWindow::Layout(int screenWidth, int screenHeight)
{
	if (g_GameMaster.m_Image && !g_GameMaster.m_Image->m_FieldMapTiles.empty())
		m_Pane.SetImage(g_GameMaster.m_Image->m_FieldMapTiles, g_GameMaster.m_Image->m_FieldMapTilesPerRow);
	if (g_GameMaster.m_Data)
		m_Pane.setSize(g_GameMaster.m_Data->GetFieldMapWidth(), g_GameMaster.m_Data->GetFieldMapHeight());
	m_ScrollArea.setSize(screenWidth - MAP_WINDOW_LEFT_MARGIN, screenHeight - MAP_WINDOW_TOP_MARGIN);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupScrollArea(&m_ScrollArea);
	resizeToContent();
	setPosition(screenWidth - getWidth(), (screenHeight - getHeight()) / 2);
}

void TWorldMapWindow::CenterOn(int x, int y)
{
	m_ScrollArea.setHorizontalScrollAmount(
		CenteredScroll(x, m_ScrollArea.getWidth(), m_ScrollArea.getHorizontalMaxScroll()));
	m_ScrollArea.setVerticalScrollAmount(
		CenteredScroll(y, m_ScrollArea.getHeight(), m_ScrollArea.getVerticalMaxScroll()));
}

void TWorldMapWindow::MapToScreen(int x, int y, int& screenX, int& screenY) const
{
	int paneX = 0;
	int paneY = 0;
	m_Pane.getAbsolutePosition(paneX, paneY);
	screenX = paneX + x;
	screenY = paneY + y;
}

void TWorldMapWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	const gcn::Color& box = g_Config.GetGuiColor(GUICOLOR_DARK_PANE);
	graphics->setColor(box);
	graphics->fillRectangle(gcn::Rectangle(4, 3, 204, 19));
	graphics->fillRectangle(gcn::Rectangle(getWidth() - 160, 3, 144, 19));
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	if (game && g_GameMaster.m_Data) {
		const int master = game->GetCurrentMaster();
		if (master >= 0 && master < game->GetMasterCount())
			DrawBoldText(graphics, g_GameMaster.m_Data->GetMasterData(game->GetMaster(master).DataIndex).Name, 12, 5);
		// Turn 0 is the time before the first turn, as the opening and a game decided at once end in it: no turn.
		if (game->GetTurn() > 0)
			DrawBoldText(graphics, FormatText("第%4dターン", game->GetTurn()), getWidth() - 144, 5);
	}
	if (m_GuideText.empty())
		return;
	const int length = static_cast<int>(m_GuideText.size());
	graphics->setColor(box);
	graphics->fillRectangle(gcn::Rectangle(getWidth() / 2 - length * 4 - 12, 2, length * 8 + 24, 19));
	graphics->setColor(WHITE);
	DrawBoldText(graphics, m_GuideText, getWidth() / 2 - length * 4, 4);
}

TWorldMenuWindow::TWorldMenuWindow() : m_StopButton("観戦中止")
{
	setOpaque(false);
	m_StopButton.setDimension(gcn::Rectangle(8, 8, 96, 24));
	m_Pane.setSize(112, 38);
	m_Pane.add(&m_StopButton);
	add(&m_Pane);
	if (g_GameMaster.m_Skin) {
		g_GameMaster.m_Skin->SetupButton(&m_StopButton);
		g_GameMaster.m_Skin->SetupPane(&m_Pane);
		g_GameMaster.m_Skin->SetupWindow(this);
	}
	resizeToContent();
}
