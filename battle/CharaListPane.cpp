#include "battle/CharaListPane.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/MouseHandler.h"
#include "gui/SkinManager.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"

#include <guichan/graphics.hpp>

namespace
{
const gcn::Color BLACK(0, 0, 0, 255);
const gcn::Color WHITE(255, 255, 255, 255);
const int LABEL_X = 10;
const int LABEL_Y = 14;
const int LABEL_SIZE = 12;
/// The selection frame: four outlines, each a pixel inside the last, the outer one 31 pixels wide.
const int FRAME_RINGS = 4;
const int FRAME_SIZE = 31;
}

TCharaListPane::TCharaListPane()
	: m_Hovered(-1), m_Selected(-1), m_List(nullptr), m_Marks(nullptr), m_MouseHandler(nullptr)
{
	setSize(COLUMNS * CELL, ROWS * CELL);
	addMouseListener(this);
}

void TCharaListPane::SetList(const std::vector<TCharaInstance>* list, const std::vector<int>* marks)
{
	m_List = list;
	m_Marks = marks;
	m_Hovered = -1;
}

int TCharaListPane::GetIndexAt(int x, int y) const
{
	return (y / CELL) * COLUMNS + x / CELL;
}

int TCharaListPane::GetShownEntryAt(int x, int y) const
{
	const int index = GetIndexAt(x, y);
	return IsShown(index) ? index : -1;
}

int TCharaListPane::GetListSize() const
{
	return m_List ? static_cast<int>(m_List->size()) : 0;
}

bool TCharaListPane::IsShown(int i) const
{
	if (i < 0 || i >= GetListSize())
		return false;
	return !m_Marks || i >= static_cast<int>(m_Marks->size()) || (*m_Marks)[i] == 0;
}

void TCharaListPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBaseColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	if (!m_List)
		return;
	for (int i = 0; i < GetListSize(); ++i)
		if (IsShown(i))
			DrawEntry(graphics, i);
	if (m_Selected != -1)
		DrawSelectionFrame(graphics);
}

void TCharaListPane::DrawEntry(gcn::Graphics* graphics, int i) const
{
	const int x = i % COLUMNS * CELL;
	const int y = i / COLUMNS * CELL;
	const TCharaInstance& chara = (*m_List)[i];
	if (g_GameMaster.m_Data && g_GameMaster.m_Image)
		g_GameMaster.m_Image->DrawChara(graphics, x, y, g_GameMaster.m_Data->GetCharaData(chara.CharaIndex).ChipImage);
	if (!chara.Actioned)
		return;
	TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(LABEL_SIZE);
	if (!drawer)
		return;
	drawer->DrawString(graphics, x + LABEL_X + 1, y + LABEL_Y, "End", BLACK);
	drawer->DrawString(graphics, x + LABEL_X, y + LABEL_Y, "End", WHITE);
}

void TCharaListPane::DrawSelectionFrame(gcn::Graphics* graphics) const
{
	const int x = m_Selected % COLUMNS * CELL;
	const int y = m_Selected / COLUMNS * CELL;
	graphics->setColor(g_Config.GetGuiColor(GUICOLOR_SELECTED_FRAME));
	for (int ring = 0; ring < FRAME_RINGS; ++ring)
		g_DrawRectangleSlide.DrawRectangle(graphics,
			gcn::Rectangle(x + ring, y + ring, FRAME_SIZE - 2 * ring, FRAME_SIZE - 2 * ring));
}

void TCharaListPane::mousePressed(gcn::MouseEvent& mouseEvent)
{
	if (m_MouseHandler)
		m_MouseHandler->mousePressed(mouseEvent);
}

void TCharaListPane::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	const int index = GetIndexAt(mouseEvent.getX(), mouseEvent.getY());
	if (index >= 0 && index < GetListSize())
		m_Hovered = index;
	if (m_MouseHandler)
		m_MouseHandler->mouseMoved(mouseEvent);
}
