#include "world/EmployWindow.h"

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "world/WorldWindowLayout.h"

#include <guichan/graphics.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const int TITLE_HEIGHT = 20;
}

void TEmployListModel::Set(const std::vector<int>& candidates, int race, const TMorvalethData* data)
{
	m_Candidates = candidates;
	m_Race = race;
	m_Data = data;
}

int TEmployListModel::getNumberOfElements()
{
	return static_cast<int>(m_Candidates.size());
}

std::string TEmployListModel::getElementAt(int i)
{
	if (!m_Data || i < 0 || i >= getNumberOfElements())
		return "";
	const TCharaData& chara = m_Data->GetCharaData(m_Candidates[i]);
	const std::string row = FormatText("%s　（費用%dLey）", chara.Name, chara.EmployCost);
	return chara.Race == m_Race ? "同" + row : row;
}

TEmployWindow::TEmployWindow()
	: m_List(&m_Model), m_HireButton("雇う"), m_CancelButton("やめる"), m_Funds(0), m_Data(nullptr), m_LaidOut(false)
{
	setTitleBarHeight(TITLE_HEIGHT);
	m_List.addSelectionListener(this);
}

void TEmployWindow::Setup(const std::vector<int>& candidates, int race, int funds, const TMorvalethData& data)
{
	m_Model.Set(candidates, race, &data);
	m_Funds = funds;
	m_Data = &data;
	if (!m_LaidOut) {
		m_LaidOut = true;
		m_List.setWidth(320);
		m_ListArea.setContent(&m_List);
		m_ListArea.setDimension(gcn::Rectangle(0, 0, 320, 160));
		m_ListArea.setHorizontalScrollPolicy(gcn::ScrollArea::SHOW_NEVER);
		m_HireButton.setDimension(gcn::Rectangle(328, 40, 64, 24));
		m_CancelButton.setDimension(gcn::Rectangle(328, 80, 64, 24));
		add(&m_ListArea);
		add(&m_HireButton);
		add(&m_CancelButton);
	}
	m_List.setSelected(-1);
	if (g_GameMaster.m_Skin) {
		g_GameMaster.m_Skin->SetupListBox(&m_List);
		g_GameMaster.m_Skin->SetupScrollArea(&m_ListArea);
		g_GameMaster.m_Skin->SetupButton(&m_CancelButton);
		g_GameMaster.m_Skin->SetupWindow(this);
	}
	SetButtonUsable(m_HireButton, false);
	resizeToContent();
	setVisible(true);
}

int TEmployWindow::GetSelectedChara() const
{
	const int row = m_List.getSelected();
	return row >= 0 && row < static_cast<int>(m_Model.m_Candidates.size()) ? m_Model.m_Candidates[row] : -1;
}

bool TEmployWindow::CanHireSelected() const
{
	const int chara = GetSelectedChara();
	return chara >= 0 && m_Data && m_Data->GetCharaData(chara).EmployCost <= m_Funds;
}

void TEmployWindow::valueChanged(const gcn::SelectionEvent&)
{
	SetButtonUsable(m_HireButton, CanHireSelected());
}

void TEmployWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	DrawBoldText(graphics, "雇用", 4, 2);
}

TEmployHeroPane::TEmployHeroPane()
	: m_StatusButton("詳細"), m_HireButton("雇う"), m_DeclineButton("雇わない"), m_Area(-1), m_Chara(-1), m_Funds(0)
{
	const struct {
		gcn::Button* button;
		int x;
		int y;
	} buttons[] = { { &m_StatusButton, 112, 96 }, { &m_HireButton, 4, 132 }, { &m_DeclineButton, 112, 132 } };
	for (const auto& b : buttons) {
		b.button->setDimension(gcn::Rectangle(b.x, b.y, 80, 24));
		if (g_GameMaster.m_Skin)
			g_GameMaster.m_Skin->SetupButton(b.button);
		add(b.button);
	}
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupDarkPane(this);
	setSize(196, 160);
}

void TEmployHeroPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const TMorvalethData* data = g_GameMaster.m_Data.get();
	TGcnCharDrawer* small = g_GuiContext.GetCharDrawer(12);
	TGcnCharDrawer* large = g_GuiContext.GetCharDrawer(16);
	if (game && data && small && large && m_Area >= 0 && m_Area < game->GetAreaCount() && m_Chara >= 0) {
		const TCharaData& hero = data->GetCharaData(m_Chara);
		small->DrawString(graphics, 4, 4, FormatText("%sで", game->GetArea(m_Area).Name).c_str(), WHITE);
		small->DrawString(graphics, 4, 18, "人材を発見した", WHITE);
		large->DrawString(graphics, 16, 40, hero.Name.c_str(), WHITE);
		large->DrawString(graphics, 17, 40, hero.Name.c_str(), WHITE);
		if (g_GameMaster.m_Image)
			g_GameMaster.m_Image->DrawChara(graphics, 160, 8, hero.ChipImage);
		small->DrawString(graphics, 4, 64,
			FormatText("雇用費 %3dLey  維持費 %3dLey", hero.EmployCost, hero.TurnCost).c_str(), WHITE);
		small->DrawString(graphics, 4, 88, FormatText("軍資金 %4dLey", m_Funds).c_str(), WHITE);
		small->DrawString(graphics, 4, 104, "雇いますか？", WHITE);
	}
	drawChildren(graphics);
}

TEmployHeroWindow::TEmployHeroWindow()
{
	setOpaque(false);
	add(&m_Pane);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
}

void TEmployHeroWindow::Show(int area, int chara, int funds)
{
	m_Pane.m_Area = area;
	m_Pane.m_Chara = chara;
	m_Pane.m_Funds = funds;
	resizeToContent();
	setVisible(true);
	requestMoveToTop();
	g_GuiContext.CenterWidget(this);
}
