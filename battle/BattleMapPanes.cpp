#include "battle/BattleMapPanes.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaStatusWindow.h"
#include "battle/HexGeometry.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <cstdlib>
#include <guichan/graphics.hpp>

namespace
{
const gcn::Color BLACK(0, 0, 0, 255);
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color RED(255, 0, 0, 255);
const gcn::Color TOP_BACKGROUND(64, 64, 64, 255);
/// How high a floating text stands at each step of its life.
const int POPUP_RISE[POPUP_STEPS] = {0, -4, -7, -9, -10, -10, -9, -7, -4};
const int FORCE_UNIT = 16000;
const int FORCE_BAR_MAX = 112;

// The strip over the map: caption boxes of 20 pixels on rows of 28 (one row of 32 when wide), and
// the gauges' labels 20 pixels either side of their centre.
const int TOP_ROW_HEIGHT = 32;
const int TOP_TWO_ROWS_HEIGHT = 56;
const int SECOND_ROW_Y = 32;
const int BOX_HEIGHT = 20;
const int BOX_MARGIN = 8;
const int CAPTION_WIDTH = 160;
const int CAPTION_MIN_WIDTH = 96;
const int TURN_WIDTH = 96;
const int WIDE_DEFENDERS_FROM_RIGHT = 276;
const int GAUGE_LABEL_ROOM = 20;
const int BAR_CLEARANCE = 4;
/// The narrowest strip whose one row leaves the longest Force bar clear of the captions.
const int WIDE_TOP_PANE = 888;
/// A point this near the middle of the view, on both axes, needs no scrolling.
const int SCROLL_SLACK = 96;
const int FONT_BODY = 12;

TGcnCharDrawer* Drawer()
{
	return g_GuiContext.GetCharDrawer(FONT_BODY);
}

void DrawText(gcn::Graphics* graphics, int x, int y, const std::string& text, const gcn::Color& colour)
{
	if (TGcnCharDrawer* drawer = Drawer())
		drawer->DrawString(graphics, x, y, text.c_str(), colour);
}

/// White text drawn twice, a pixel apart, for a bold look.
void DrawBold(gcn::Graphics* graphics, int x, int y, const std::string& text)
{
	DrawText(graphics, x, y, text, WHITE);
	DrawText(graphics, x + 1, y, text, WHITE);
}

void FillBox(gcn::Graphics* graphics, const gcn::Rectangle& box, const gcn::Color& colour)
{
	graphics->setColor(colour);
	graphics->fillRectangle(box);
}

void DrawBar(gcn::Graphics* graphics, int x, int y, int length)
{
	const gcn::Rectangle bar(x, y, length, 8);
	FillBox(graphics, bar, RED);
	graphics->setColor(BLACK);
	g_DrawRectangleSlide.DrawRectangle(graphics, bar);
}

gcn::Color DarkPane()
{
	gcn::Color colour = g_Config.GetGuiColor(GUICOLOR_DARK_PANE);
	colour.a = 255;
	return colour;
}
}

int PopupRise(int age, int framesPerStep)
{
	const int step = age / std::max(1, framesPerStep);
	return POPUP_RISE[std::max(0, std::min(step, POPUP_STEPS - 1))];
}

int ForceBarLength(int force)
{
	return std::max(1, std::min(force / FORCE_UNIT, FORCE_BAR_MAX));
}

int BraveBarLength(int brave)
{
	return std::max(1, brave);
}

point_t CellTopLeft(int x, int y)
{
	const point_t centre = CellCenterPixel(x, y);
	return {centre.x - HEX_CELL_SIZE / 2, centre.y - HEX_CELL_SIZE / 2};
}

bool ScrollToPoint(TScrollView& view, int px, int py)
{
	if (std::abs(px - (view.x + view.width / 2)) <= SCROLL_SLACK
		&& std::abs(py - (view.y + view.height / 2)) <= SCROLL_SLACK)
		return false;
	view.x = std::max(0, std::min(px - view.width / 2, view.maxX));
	view.y = std::max(0, std::min(py - view.height / 2, view.maxY));
	return true;
}

void DrawSideGauges(gcn::Graphics* graphics, int cx, int y, const TSideGauges& gauges, int room)
{
	DrawText(graphics, cx - 15, y + 2, "Force", WHITE);
	DrawText(graphics, cx - 15, y + 16, "Brave", WHITE);
	const int leftForce = std::min(ForceBarLength(gauges.leftForce), room);
	const int leftBrave = std::min(BraveBarLength(gauges.leftBrave), room);
	DrawBar(graphics, cx - leftForce - GAUGE_LABEL_ROOM, y + 4, leftForce);
	DrawBar(graphics, cx - leftBrave - GAUGE_LABEL_ROOM, y + 18, leftBrave);
	DrawBar(graphics, cx + GAUGE_LABEL_ROOM, y + 4, std::min(ForceBarLength(gauges.rightForce), room));
	DrawBar(graphics, cx + GAUGE_LABEL_ROOM, y + 18, std::min(BraveBarLength(gauges.rightBrave), room));
}

namespace
{
TTopPaneLayout LayOutWideTopPane(int width)
{
	TTopPaneLayout layout;
	layout.boxes[TOP_BOX_AREA] = gcn::Rectangle(BOX_MARGIN, 4, CAPTION_WIDTH, BOX_HEIGHT);
	layout.boxes[TOP_BOX_ATTACKERS] = gcn::Rectangle(2 * BOX_MARGIN + CAPTION_WIDTH, 4, CAPTION_WIDTH, BOX_HEIGHT);
	layout.boxes[TOP_BOX_DEFENDERS] = gcn::Rectangle(width - WIDE_DEFENDERS_FROM_RIGHT, 4, CAPTION_WIDTH, BOX_HEIGHT);
	layout.boxes[TOP_BOX_TURN] = gcn::Rectangle(width - BOX_MARGIN - TURN_WIDTH, 4, TURN_WIDTH, BOX_HEIGHT);
	layout.gaugeX = width / 2 + 32;
	const gcn::Rectangle& left = layout.boxes[TOP_BOX_ATTACKERS];
	const int leftRoom = layout.gaugeX - GAUGE_LABEL_ROOM - (left.x + left.width) - BAR_CLEARANCE;
	const int rightRoom = layout.boxes[TOP_BOX_DEFENDERS].x - (layout.gaugeX + GAUGE_LABEL_ROOM) - BAR_CLEARANCE;
	layout.barRoom = std::min(leftRoom, rightRoom);
	layout.height = TOP_ROW_HEIGHT;
	return layout;
}

TTopPaneLayout LayOutNarrowTopPane(int width)
{
	TTopPaneLayout layout;
	const int areaWidth = std::max(0, std::min(CAPTION_WIDTH, width - 3 * BOX_MARGIN - TURN_WIDTH));
	layout.boxes[TOP_BOX_AREA] = gcn::Rectangle(BOX_MARGIN, 4, areaWidth, BOX_HEIGHT);
	layout.boxes[TOP_BOX_TURN] = gcn::Rectangle(width - BOX_MARGIN - TURN_WIDTH, 4, TURN_WIDTH, BOX_HEIGHT);
	// The captions give way to the longest Force bar down to their least width; below it the bars do.
	const int besideGauges = width - 2 * BOX_MARGIN - 2 * BAR_CLEARANCE - 2 * GAUGE_LABEL_ROOM;
	const int captionWidth = std::min(CAPTION_WIDTH,
		std::max(std::min(CAPTION_MIN_WIDTH, besideGauges / 2), (besideGauges - 2 * FORCE_BAR_MAX) / 2));
	layout.boxes[TOP_BOX_ATTACKERS] = gcn::Rectangle(BOX_MARGIN, SECOND_ROW_Y, captionWidth, BOX_HEIGHT);
	layout.boxes[TOP_BOX_DEFENDERS] =
		gcn::Rectangle(width - BOX_MARGIN - captionWidth, SECOND_ROW_Y, captionWidth, BOX_HEIGHT);
	layout.gaugeX = width / 2;
	layout.gaugeY = SECOND_ROW_Y - 4;
	layout.barRoom = std::max(0, (besideGauges - 2 * captionWidth) / 2);
	layout.height = TOP_TWO_ROWS_HEIGHT;
	return layout;
}
}

TTopPaneLayout LayOutTopPane(int width)
{
	return width >= WIDE_TOP_PANE ? LayOutWideTopPane(width) : LayOutNarrowTopPane(width);
}

TBattleMapPane::TBattleMapPane()
	: m_FrameCount(0), m_Map(nullptr), m_Selection(nullptr), m_CursorX(-1), m_CursorY(0), m_Blink(0),
	  m_FramesPerStep(1)
{
}

void TBattleMapPane::SetMap(const TBattleMap* map, const TValueLayer<int>* selection)
{
	m_Map = map;
	m_Selection = selection;
	m_Sprites.clear();
	m_Highlights.clear();
	m_Popups.clear();
	m_Marks.clear();
	m_Effects.clear();
	m_CursorX = -1;
	SizeToMap();
}

void TBattleMapPane::SetFramesPerStep(int frames)
{
	m_FramesPerStep = std::max(1, frames);
}

void TBattleMapPane::SetCursor(int x, int y)
{
	m_CursorX = x;
	m_CursorY = y;
	m_Blink = 0;
}

void TBattleMapPane::AddPopup(const std::string& text, int x, int y, const gcn::Color& colour)
{
	m_Popups.push_back({text, x, y, colour, 0});
}

void TBattleMapPane::SizeToMap()
{
	if (m_Map)
		setSize(HEX_CELL_SIZE * m_Map->GetWidth() - HEX_CELL_SIZE / 2, HEX_CELL_SIZE * m_Map->GetHeight());
}

void TBattleMapPane::logic()
{
	++m_FrameCount;
	++m_Blink;
	const int life = POPUP_STEPS * m_FramesPerStep;
	for (int i = static_cast<int>(m_Popups.size()) - 1; i >= 0; --i) {
		if (m_Popups[i].age < life)
			++m_Popups[i].age;
		else
			m_Popups.erase(m_Popups.begin() + i);
	}
}

// Only the cells that show are drawn: a large map in a small view would otherwise cost every cell each frame.
void TBattleMapPane::VisibleCells(gcn::Graphics* graphics, int& x0, int& y0, int& x1, int& y1) const
{
	const gcn::ClipRectangle& clip = graphics->getCurrentClipArea();
	const int left = clip.x - clip.xOffset;
	const int top = clip.y - clip.yOffset;
	x0 = std::max(0, (left - HEX_CELL_SIZE / 2) / HEX_CELL_SIZE);
	y0 = std::max(0, top / HEX_CELL_SIZE);
	x1 = std::min(m_Map->GetWidth(), (left + clip.width + HEX_CELL_SIZE / 2) / HEX_CELL_SIZE + 1);
	y1 = std::min(m_Map->GetHeight(), (top + clip.height) / HEX_CELL_SIZE + 1);
}

void TBattleMapPane::draw(gcn::Graphics* graphics)
{
	if (!m_Map || !g_GameMaster.m_Image || !g_GameMaster.m_Data)
		return;
	int x0 = 0;
	int y0 = 0;
	int x1 = 0;
	int y1 = 0;
	VisibleCells(graphics, x0, y0, x1, y1);
	DrawTerrain(graphics, x0, y0, x1, y1);
	DrawCursor(graphics);
	DrawSprites(graphics);
	for (const TEffectSprite& effect : m_Effects)
		g_GameMaster.m_Image->DrawEffect(graphics, effect.px, effect.py, effect.image, effect.frameWidth,
			effect.frameHeight, effect.column, effect.row);
	for (const gcn::Rectangle& frame : m_Highlights)
		DrawHighlightFrame(graphics, frame);
	DrawPopups(graphics);
	DrawShade(graphics, x0, y0, x1, y1);
	graphics->setColor(m_MarkColour);
	for (const point_t& mark : m_Marks) {
		const point_t at = CellTopLeft(mark.x, mark.y);
		graphics->fillRectangle(gcn::Rectangle(at.x, at.y, HEX_CELL_SIZE, HEX_CELL_SIZE));
	}
}

void TBattleMapPane::DrawTerrain(gcn::Graphics* graphics, int x0, int y0, int x1, int y1) const
{
	const TMorvalethImage& image = *g_GameMaster.m_Image;
	const TValueLayer<int>& chips = m_Map->GetCurrentChip();
	const TValueLayer<int>& objects = m_Map->GetObjectInstance();
	for (int y = y0; y < y1; ++y) {
		for (int x = x0; x < x1; ++x) {
			const point_t at = CellTopLeft(x, y);
			image.DrawMapChip(graphics, at.x, at.y, chips.At(x, y));
			if (objects.At(x, y) != 0)
				image.DrawMapObj(graphics, at.x, at.y, objects.At(x, y));
		}
	}
}

void TBattleMapPane::DrawCursor(gcn::Graphics* graphics) const
{
	if (m_CursorX == -1)
		return;
	const int g = 191 + g_GuiContext.m_Sin[m_Blink % 64] / 4;
	const point_t at = CellTopLeft(m_CursorX, m_CursorY);
	FillBox(graphics, gcn::Rectangle(at.x, at.y, HEX_CELL_SIZE, HEX_CELL_SIZE), gcn::Color(255, g, g, 128));
}

void TBattleMapPane::DrawSprites(gcn::Graphics* graphics) const
{
	const TMorvalethData& data = *g_GameMaster.m_Data;
	for (const TCharaSprite& sprite : m_Sprites) {
		if (sprite.cell.x < 0)
			continue;
		point_t at = CellTopLeft(sprite.cell.x, sprite.cell.y);
		if (sprite.progress > 0) {
			const point_t to = CellTopLeft(sprite.target.x, sprite.target.y);
			at.x = ((256 - sprite.progress) * at.x + sprite.progress * to.x) / 256;
			at.y = ((256 - sprite.progress) * at.y + sprite.progress * to.y) / 256;
		}
		g_GameMaster.m_Image->DrawChara(graphics, at.x, at.y, data.GetCharaData(sprite.charaData).ChipImage);
		g_GameMaster.m_Image->DrawStatusChip(graphics, at.x, at.y, sprite.sideFlag);
	}
}

void TBattleMapPane::DrawPopups(gcn::Graphics* graphics) const
{
	for (const TPopup& popup : m_Popups) {
		const int y = popup.y + PopupRise(popup.age, m_FramesPerStep);
		DrawText(graphics, popup.x + 1, y, popup.text, BLACK);
		DrawText(graphics, popup.x, y, popup.text, popup.colour);
	}
}

void TBattleMapPane::DrawShade(gcn::Graphics* graphics, int x0, int y0, int x1, int y1) const
{
	if (!m_Selection || m_Selection->Width() != m_Map->GetWidth() || m_Selection->Height() != m_Map->GetHeight())
		return;
	graphics->setColor(g_Config.m_BattleMapShadeColor);
	for (int y = y0; y < y1; ++y) {
		for (int x = x0; x < x1; ++x) {
			if (m_Selection->At(x, y) == 0)
				continue;
			const point_t at = CellTopLeft(x, y);
			graphics->fillRectangle(gcn::Rectangle(at.x, at.y, HEX_CELL_SIZE, HEX_CELL_SIZE));
		}
	}
}

void TBattleTopPane::draw(gcn::Graphics* graphics)
{
	FillBox(graphics, gcn::Rectangle(0, 0, getWidth(), getHeight()), TOP_BACKGROUND);
	const gcn::Color dark = g_Config.GetGuiColor(GUICOLOR_DARK_PANE);
	const TTopPaneLayout layout = LayOutTopPane(getWidth());
	const std::string captions[TOP_BOX_COUNT] = {m_Gauges.areaName, m_Gauges.attackersName, m_Gauges.defendersName,
		FormatText("第%2dターン", m_Gauges.turn)};
	for (int i = 0; i < TOP_BOX_COUNT; ++i) {
		const gcn::Rectangle& box = layout.boxes[i];
		FillBox(graphics, box, dark);
		// A long name is cut at its box rather than run under its neighbour.
		graphics->pushClipArea(box);
		DrawBold(graphics, 8, 2, captions[i]);
		graphics->popClipArea();
	}
	DrawSideGauges(graphics, layout.gaugeX, layout.gaugeY, m_Gauges, layout.barRoom);
}

TBattleBottomPane::TBattleBottomPane()
{
	Clear();
}

void TBattleBottomPane::Clear()
{
	m_StatusLine.clear();
	m_Chara = TCharaInstance();
	m_CharaSide = 0;
	m_CharaShown = false;
	m_Map = nullptr;
	m_CellX = -1;
	m_CellY = 0;
	m_MoveType = -1;
}

void TBattleBottomPane::draw(gcn::Graphics* graphics)
{
	FillBox(graphics, gcn::Rectangle(0, 0, getWidth(), getHeight()), DarkPane());
	DrawStatusLine(graphics);
	if (m_CharaShown && g_GameMaster.m_Image && g_GameMaster.m_Data)
		DrawChara(graphics);
	if (m_CellX != -1 && m_Map && g_GameMaster.m_Image && g_GameMaster.m_Data)
		DrawCell(graphics);
}

void TBattleBottomPane::DrawStatusLine(gcn::Graphics* graphics) const
{
	if (m_StatusLine.empty())
		return;
	const int width = 8 * static_cast<int>(m_StatusLine.size()) + 32;
	const int x = (getWidth() - width) / 2;
	FillBox(graphics, gcn::Rectangle(x, 4, width, 24), BLACK);
	DrawBold(graphics, x + 16, 8, m_StatusLine);
}

void TBattleBottomPane::DrawChara(gcn::Graphics* graphics) const
{
	const int width = getWidth();
	FillBox(graphics, gcn::Rectangle(width - 152, 2, 152, 44), BLACK);
	const TCharaData& data = g_GameMaster.m_Data->GetCharaData(m_Chara.CharaIndex);
	g_GameMaster.m_Image->DrawChara(graphics, width - 150, 8, data.ChipImage);
	g_GameMaster.m_Image->DrawStatusChip(graphics, width - 152, 8, m_CharaSide != 0);
	DrawCharaHPMP(graphics, width - 112, 4, m_Chara);
}

void TBattleBottomPane::DrawCell(gcn::Graphics* graphics) const
{
	if (!m_Map->IsOnMap(m_CellX, m_CellY))
		return;
	const TMorvalethData& data = *g_GameMaster.m_Data;
	const int type = m_Map->GetMapType().Width() == m_Map->GetWidth() ? m_Map->GetMapType().At(m_CellX, m_CellY) : 0;
	const int grounds = data.GetMapGroundCount();
	const std::string& name = type < grounds ? data.GetMapGroundName(type) : data.GetMapObjectName(type - grounds);
	g_GameMaster.m_Image->DrawMapChip(graphics, 8, 6, m_Map->GetCurrentChip().At(m_CellX, m_CellY));
	const int object = m_Map->GetObjectInstance().At(m_CellX, m_CellY);
	if (object != 0)
		g_GameMaster.m_Image->DrawMapObj(graphics, 8, 6, object);
	DrawText(graphics, 44, 4, name, WHITE);
	if (m_MoveType < 0 || m_MoveType >= data.GetMoveTypeCount())
		return;
	const TMoveTypeData& move = data.GetMoveTypeData(m_MoveType);
	if (type < static_cast<int>(move.MoveCost.size()))
		DrawText(graphics, 44, 18, FormatText("必要移動量 %3d", move.MoveCost[type]), WHITE);
	if (type < static_cast<int>(move.Skill.size()))
		DrawText(graphics, 44, 32, FormatText("技量修正 %+4d%%", move.Skill[type]), WHITE);
}

TAnimationPane::TAnimationPane()
	: m_FrameWidth(0), m_FrameHeight(0), m_Image(-1), m_Frame(0), m_Columns(1), m_Rows(1), m_Active(false)
{
}

void TAnimationPane::Setup(int image, int frameWidth, int frameHeight, int frame)
{
	m_Image = image;
	m_FrameWidth = frameWidth;
	m_FrameHeight = frameHeight;
	m_Frame = frame;
	setSize(frameWidth, frameHeight);
	int width = 0;
	int height = 0;
	if (g_GameMaster.m_Image)
		g_GameMaster.m_Image->GetEffectImageSize(image, width, height);
	// A frame larger than its image still shows as one frame.
	m_Columns = frameWidth > 0 ? std::max(1, width / frameWidth) : 1;
	m_Rows = frameHeight > 0 ? std::max(1, height / frameHeight) : 1;
	m_Active = true;
}

void TAnimationPane::draw(gcn::Graphics* graphics)
{
	if (!m_Active || !g_GameMaster.m_Image)
		return;
	g_GameMaster.m_Image->DrawEffect(graphics, 0, 0, m_Image, m_FrameWidth, m_FrameHeight, m_Frame % m_Columns,
		m_Frame / m_Columns % m_Rows);
}
