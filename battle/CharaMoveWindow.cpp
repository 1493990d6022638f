#include "battle/CharaMoveWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "gui/SkinManager.h"
#include "model/MorvalethGame.h"

#include <guichan/font.hpp>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const int SIDE_A = 0;
const int SIDE_B = 1;
const gcn::Color WHITE(255, 255, 255, 255);
const int PANES_TOP = 20;
const int PANE_GAP = 4;
const int COLUMN_GAP = 16;
const int BUTTON_WIDTH = 80;
const int BUTTON_HEIGHT = 24;
const int BUTTON_INSET = 4;
const int TITLE_X = 4;
const int TITLE_Y = 2;
const int NAME_INDENT = 2;

/// The area a list belongs to: the left column is A, the right one B.
int SideOfPane(int pane)
{
	return pane < MOVE_PANE_ARRIVING_B ? SIDE_A : SIDE_B;
}

bool IsStationedPane(int pane)
{
	return pane == MOVE_PANE_STATIONED_A || pane == MOVE_PANE_STATIONED_B;
}
}

TCharaMoveSelection::TCharaMoveSelection()
	: m_HasHovered(false)
{
}

void TCharaMoveSelection::Setup(int areaA, const std::vector<TCharaInstance>& charasA, int areaB,
	const std::vector<TCharaInstance>& charasB)
{
	const int areas[2] = { areaA, areaB };
	const std::vector<TCharaInstance>* charas[2] = { &charasA, &charasB };
	for (int s = 0; s < 2; ++s) {
		TCharaMoveSide& side = m_Sides[s];
		side.Area = areas[s];
		side.Stationed = *charas[s];
		side.Marks.assign(side.Stationed.size(), 0);
		side.Arriving.clear();
		side.ArrivingFrom.clear();
	}
	m_HasHovered = false;
}

bool TCharaMoveSelection::Click(int pane, int i)
{
	if (pane < 0 || pane >= MOVE_PANE_COUNT)
		return false;
	TCharaMoveSide& own = m_Sides[SideOfPane(pane)];
	TCharaMoveSide& other = m_Sides[1 - SideOfPane(pane)];
	return IsStationedPane(pane) ? Mark(own, other, i) : Cancel(own, other, i);
}

void TCharaMoveSelection::SendAll(int towards)
{
	TCharaMoveSide& to = m_Sides[towards];
	TCharaMoveSide& from = m_Sides[1 - towards];
	to.Marks.assign(to.Marks.size(), 0);
	from.Arriving.clear();
	from.ArrivingFrom.clear();
	for (int i = 0; i < static_cast<int>(from.Stationed.size()) && !IsFull(to); ++i)
		Mark(from, to, i);
}

void TCharaMoveSelection::Hover(int pane, int i)
{
	if (pane < 0 || pane >= MOVE_PANE_COUNT)
		return;
	const std::vector<TCharaInstance>& list = GetPaneList(pane);
	if (i < 0 || i >= static_cast<int>(list.size()))
		return;
	m_Hovered = list[i];
	m_HasHovered = true;
}

void TCharaMoveSelection::GetMoveIndices(int side, std::vector<int>& out) const
{
	out.clear();
	const std::vector<int>& marks = m_Sides[side].Marks;
	for (int i = 0; i < static_cast<int>(marks.size()); ++i)
		if (marks[i] == 1)
			out.push_back(i);
}

const std::vector<TCharaInstance>& TCharaMoveSelection::GetPaneList(int pane) const
{
	const TCharaMoveSide& side = m_Sides[SideOfPane(pane)];
	return IsStationedPane(pane) ? side.Stationed : side.Arriving;
}

const std::vector<int>* TCharaMoveSelection::GetPaneMarks(int pane) const
{
	return IsStationedPane(pane) ? &m_Sides[SideOfPane(pane)].Marks : nullptr;
}

bool TCharaMoveSelection::Mark(TCharaMoveSide& from, TCharaMoveSide& to, int i)
{
	if (i < 0 || i >= static_cast<int>(from.Stationed.size()) || from.Stationed[i].Actioned || IsFull(to)
		|| from.Marks[i] != 0)
		return false;
	from.Marks[i] = 1;
	to.Arriving.push_back(from.Stationed[i]);
	to.ArrivingFrom.push_back(i);
	return true;
}

bool TCharaMoveSelection::Cancel(TCharaMoveSide& to, TCharaMoveSide& from, int i)
{
	if (i < 0 || i >= static_cast<int>(to.Arriving.size()))
		return false;
	// The arriving list keeps the order of marking, so the entry names its own source: clearing the i-th
	// mark in roster order instead would send a different character than the one shown.
	from.Marks[to.ArrivingFrom[i]] = 0;
	to.Arriving.erase(to.Arriving.begin() + i);
	to.ArrivingFrom.erase(to.ArrivingFrom.begin() + i);
	return true;
}

bool TCharaMoveSelection::IsFull(const TCharaMoveSide& to)
{
	// Characters marked to leave the destination still count: they have not gone yet.
	return static_cast<int>(to.Arriving.size() + to.Stationed.size()) >= AREA_CHARA_MAX;
}

TCharaMoveWindow::TCharaMoveWindow()
	: m_AllRightButton("全て右へ"), m_AllLeftButton("全て左へ"), m_ConfirmButton("確定"), m_CancelButton("中止"),
	  m_PaneMouse(*this), m_Listener(nullptr), m_LaidOut(false)
{
	for (TCharaListPane& pane : m_Panes)
		pane.SetMouseHandler(&m_PaneMouse);
	for (gcn::Button* button : { &m_AllRightButton, &m_AllLeftButton, &m_ConfirmButton, &m_CancelButton })
		button->addActionListener(this);
}

void TCharaMoveWindow::Setup(int areaA, const std::vector<TCharaInstance>& charasA, int areaB,
	const std::vector<TCharaInstance>& charasB)
{
	m_Selection.Setup(areaA, charasA, areaB, charasB);
	GiveListsToPanes();
	if (!m_LaidOut)
		Layout();
	setVisible(true);
}

void TCharaMoveWindow::GetMoveIndices1(std::vector<int>& out) const
{
	m_Selection.GetMoveIndices(SIDE_A, out);
}

void TCharaMoveWindow::GetMoveIndices2(std::vector<int>& out) const
{
	m_Selection.GetMoveIndices(SIDE_B, out);
}

void TCharaMoveWindow::GiveListsToPanes()
{
	for (int pane = 0; pane < MOVE_PANE_COUNT; ++pane)
		m_Panes[pane].SetList(&m_Selection.GetPaneList(pane), m_Selection.GetPaneMarks(pane));
}

void TCharaMoveWindow::Layout()
{
	m_LaidOut = true;
	TCharaListPane& stationedA = m_Panes[MOVE_PANE_STATIONED_A];
	TCharaListPane& arrivingA = m_Panes[MOVE_PANE_ARRIVING_A];
	TCharaListPane& arrivingB = m_Panes[MOVE_PANE_ARRIVING_B];
	TCharaListPane& stationedB = m_Panes[MOVE_PANE_STATIONED_B];
	stationedA.setPosition(0, PANES_TOP);
	arrivingA.setPosition(0, stationedA.getY() + stationedA.getHeight() + PANE_GAP);
	arrivingB.setPosition(stationedA.getWidth() + COLUMN_GAP, stationedA.getY());
	stationedB.setPosition(arrivingA.getWidth() + COLUMN_GAP, arrivingA.getY());
	for (TCharaListPane& pane : m_Panes) {
		pane.setBaseColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
		add(&pane);
	}

	const int buttonY = arrivingA.getY() + arrivingA.getHeight() + BUTTON_INSET;
	const int leftEnd = arrivingA.getX() + arrivingA.getWidth() - BUTTON_INSET - BUTTON_WIDTH;
	const int rightEnd = stationedB.getX() + stationedB.getWidth() - BUTTON_INSET - BUTTON_WIDTH;
	const struct {
		gcn::Button* button;
		int x;
	} buttons[] = {
		{ &m_AllRightButton, BUTTON_INSET },
		{ &m_ConfirmButton, leftEnd },
		{ &m_CancelButton, stationedB.getX() + BUTTON_INSET },
		{ &m_AllLeftButton, rightEnd },
	};
	for (const auto& b : buttons) {
		b.button->setDimension(gcn::Rectangle(b.x, buttonY, BUTTON_WIDTH, BUTTON_HEIGHT));
		add(b.button);
	}
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
	resizeToContent();
}

void TCharaMoveWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	DrawBoldText(graphics, "移動", TITLE_X, TITLE_Y);
	DrawAreaName(graphics, m_Selection.GetSide(SIDE_A).Area, m_Panes[MOVE_PANE_STATIONED_A]);
	DrawAreaName(graphics, m_Selection.GetSide(SIDE_B).Area, m_Panes[MOVE_PANE_ARRIVING_B]);
}

void TCharaMoveWindow::DrawAreaName(gcn::Graphics* graphics, int area, const TCharaListPane& pane)
{
	if (area == -1 || !g_GameMaster.m_Game)
		return;
	const gcn::Rectangle children = getChildrenArea();
	DrawBoldText(graphics, g_GameMaster.m_Game->GetArea(area).Name, children.x + pane.getX() + NAME_INDENT,
		children.y + NAME_INDENT);
}

void TCharaMoveWindow::action(const gcn::ActionEvent& actionEvent)
{
	const gcn::Widget* source = actionEvent.getSource();
	if (source == &m_AllRightButton)
		m_Selection.SendAll(SIDE_B);
	else if (source == &m_AllLeftButton)
		m_Selection.SendAll(SIDE_A);
	else if (source == &m_ConfirmButton && m_Listener)
		m_Listener->MoveConfirmed();
	else if (source == &m_CancelButton && m_Listener)
		m_Listener->MoveCancelled();
}

int TCharaMoveWindow::PaneOf(const gcn::MouseEvent& mouseEvent) const
{
	for (int pane = 0; pane < MOVE_PANE_COUNT; ++pane)
		if (mouseEvent.getSource() == &m_Panes[pane])
			return pane;
	return -1;
}

void TCharaMoveWindow::TPaneMouse::mousePressed(gcn::MouseEvent& mouseEvent)
{
	mouseEvent.consume();
	const int pane = m_Window.PaneOf(mouseEvent);
	if (pane != -1)
		m_Window.m_Selection.Click(pane, m_Window.m_Panes[pane].GetIndexAt(mouseEvent.getX(), mouseEvent.getY()));
}

void TCharaMoveWindow::TPaneMouse::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	const int pane = m_Window.PaneOf(mouseEvent);
	if (pane != -1)
		m_Window.m_Selection.Hover(pane, m_Window.m_Panes[pane].m_Hovered);
}
