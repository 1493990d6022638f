#include "world/WarCharaWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/SkinManager.h"
#include "media/MorvalethImage.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "world/WorldWindowLayout.h"

#include <algorithm>
#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const int COLUMNS = 5;
const int CELL = 40;
const int CHIP = 32;
/// Army pane: the first name line and chip row, and the steps to the next group's name and row.
const int FIRST_NAME_Y = 2;
const int FIRST_ROW_Y = 20;
const int NEXT_NAME_STEP = 42;
const int NEXT_GROUP_STEP = 60;
const int EMPTY_HEIGHT = 60;
/// Window layout.
const int PANE_X = 8;
const int PANE_Y = 20;
const int PANE_GAP = 24;
const int BUTTON_WIDTH = 80;
const int BUTTON_HEIGHT = 24;
const int BUTTON_INSET = 4;
const int BUTTON_ROW_GAP = 24;
const int BOTTOM_MARGIN = 8;
const int RIGHT_MARGIN = 16;
const int TITLE_HEIGHT = 20;
const int TEXT_INDENT = 2;
}

TWarArmy::TWarArmy() : m_Game(nullptr), m_Target(-1), m_Source(-1)
{
}

void TWarArmy::Setup(const TMorvalethGame& game, int target)
{
	m_Game = &game;
	m_Target = target;
	m_Source = -1;
	m_Chosen.assign(game.GetAreaCount(), std::vector<int>());
	for (int a = 0; a < game.GetAreaCount(); ++a)
		m_Chosen[a].assign(game.GetArea(a).Charas.size(), 0);
	m_Army.clear();
}

void TWarArmy::SetSource(int area)
{
	m_Source = m_Game && area >= 0 && area < m_Game->GetAreaCount() ? area : -1;
}

bool TWarArmy::Add(int slot)
{
	if (m_Source < 0 || slot < 0 || slot >= static_cast<int>(m_Chosen[m_Source].size()) || GetRemaining() <= 0)
		return false;
	if (m_Chosen[m_Source][slot] || m_Game->GetArea(m_Source).Charas[slot].Actioned)
		return false;
	m_Chosen[m_Source][slot] = 1;
	const std::pair<int, int> pair(m_Source, slot);
	m_Army.insert(std::upper_bound(m_Army.begin(), m_Army.end(), pair), pair);
	return true;
}

void TWarArmy::AddAll()
{
	if (m_Source < 0)
		return;
	for (int slot = 0; slot < static_cast<int>(m_Chosen[m_Source].size()) && GetRemaining() > 0; ++slot)
		Add(slot);
}

bool TWarArmy::Remove(int area, int slot)
{
	const auto found = std::find(m_Army.begin(), m_Army.end(), std::make_pair(area, slot));
	if (found == m_Army.end())
		return false;
	m_Army.erase(found);
	m_Chosen[area][slot] = 0;
	return true;
}

void TWarArmy::Clear()
{
	for (std::vector<int>& flags : m_Chosen)
		std::fill(flags.begin(), flags.end(), 0);
	m_Army.clear();
}

int TWarArmy::GetRemaining() const
{
	return static_cast<int>(AREA_CHARA_MAX) - static_cast<int>(m_Army.size());
}

const std::vector<int>* TWarArmy::GetSourceMarks() const
{
	return m_Source < 0 ? nullptr : &m_Chosen[m_Source];
}

template <class NameFn, class CellFn> int TWarArmy::Walk(NameFn name, CellFn cell) const
{
	if (m_Army.empty())
		return EMPTY_HEIGHT;
	int rowY = FIRST_ROW_Y;
	int column = 0;
	for (size_t i = 0; i < m_Army.size(); ++i) {
		const bool newGroup = i == 0 || m_Army[i].first != m_Army[i - 1].first;
		if (newGroup && i > 0) {
			name(m_Army[i].first, rowY + NEXT_NAME_STEP);
			rowY += NEXT_GROUP_STEP;
			column = 0;
		} else if (newGroup) {
			name(m_Army[i].first, FIRST_NAME_Y);
		} else if (column == COLUMNS) {
			rowY += CELL;
			column = 0;
		}
		cell(TCell{ m_Army[i].first, m_Army[i].second, column * CELL, rowY });
		++column;
	}
	return rowY + CELL;
}

std::vector<TWarArmy::TCell> TWarArmy::GetCells() const
{
	std::vector<TCell> cells;
	Walk([](int, int) {}, [&cells](const TCell& cell) { cells.push_back(cell); });
	return cells;
}

std::vector<TWarArmy::TNameLine> TWarArmy::GetNameLines() const
{
	std::vector<TNameLine> lines;
	Walk([&lines](int area, int y) { lines.push_back(TNameLine{ area, y }); }, [](const TCell&) {});
	return lines;
}

int TWarArmy::GetPaneHeight() const
{
	return Walk([](int, int) {}, [](const TCell&) {});
}

TWarCharaListPane::TWarCharaListPane(const TWarArmy& army, TMouseHandler& handler)
	: m_Army(army), m_Handler(handler)
{
	setSize(COLUMNS * CELL, EMPTY_HEIGHT);
	addMouseListener(this);
}

std::pair<int, int> TWarCharaListPane::GetChosenAt(int x, int y) const
{
	for (const TWarArmy::TCell& cell : m_Army.GetCells())
		if (x >= cell.x && x < cell.x + CHIP && y >= cell.y && y < cell.y + CHIP)
			return std::make_pair(cell.area, cell.slot);
	return std::make_pair(-1, -1);
}

void TWarCharaListPane::Resize()
{
	setHeight(m_Army.GetPaneHeight());
}

void TWarCharaListPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	if (!game || !g_GameMaster.m_Data || !g_GameMaster.m_Image)
		return;
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	for (const TWarArmy::TNameLine& line : m_Army.GetNameLines())
		DrawBoldText(graphics, game->GetArea(line.area).Name, 0, line.y);
	for (const TWarArmy::TCell& cell : m_Army.GetCells()) {
		const TCharaInstance& chara = game->GetArea(cell.area).Charas[cell.slot];
		g_GameMaster.m_Image->DrawChara(graphics, cell.x, cell.y,
			g_GameMaster.m_Data->GetCharaData(chara.CharaIndex).ChipImage);
	}
}

void TWarCharaListPane::mousePressed(gcn::MouseEvent& mouseEvent)
{
	m_Handler.mousePressed(mouseEvent);
}

TWarCharaWindow::TWarCharaWindow()
	: m_PaneMouse(*this), m_ArmyPane(m_Army, m_PaneMouse), m_AllRightButton("全て右へ"), m_AllLeftButton("全て左へ"),
	  m_ConfirmButton("確定"), m_CancelButton("中止"), m_Game(nullptr), m_LaidOut(false)
{
	setTitleBarHeight(TITLE_HEIGHT);
	m_SourcePane.SetMouseHandler(&m_PaneMouse);
	m_AllRightButton.addActionListener(this);
	m_AllLeftButton.addActionListener(this);
}

void TWarCharaWindow::Setup(const TMorvalethGame& game, int target)
{
	m_Game = &game;
	m_Army.Setup(game, target);
	m_SourcePane.SetList(nullptr, nullptr);
	m_SourcePane.m_Selected = -1;
	m_ArmyPane.Resize();
	if (!m_LaidOut)
		Layout();
	Relayout();
	setVisible(true);
}

void TWarCharaWindow::SetSourceArea(int area)
{
	m_Army.SetSource(area);
	RefreshSourcePane();
}

void TWarCharaWindow::RefreshSourcePane()
{
	if (m_Army.GetSource() < 0 || !m_Game)
		m_SourcePane.SetList(nullptr, nullptr);
	else
		m_SourcePane.SetList(&m_Game->GetArea(m_Army.GetSource()).Charas, m_Army.GetSourceMarks());
}

void TWarCharaWindow::Close()
{
	m_Army.SetSource(-1);
	m_Army.Clear();
	RefreshSourcePane();
	m_ArmyPane.Resize();
	setVisible(false);
}

void TWarCharaWindow::Layout()
{
	m_LaidOut = true;
	const TGcnSkinManager* skin = g_GameMaster.m_Skin.get();
	m_SourcePane.setPosition(PANE_X, PANE_Y);
	m_ArmyPane.setPosition(PANE_X + m_SourcePane.getWidth() + PANE_GAP, PANE_Y);
	m_SourcePane.setBaseColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	for (gcn::Widget* pane : { static_cast<gcn::Widget*>(&m_SourcePane), static_cast<gcn::Widget*>(&m_ArmyPane) }) {
		if (skin)
			skin->SetupDarkPane(pane);
		add(pane);
	}
	for (gcn::Button* button : { &m_AllRightButton, &m_AllLeftButton, &m_ConfirmButton, &m_CancelButton }) {
		button->setSize(BUTTON_WIDTH, BUTTON_HEIGHT);
		if (skin)
			skin->SetupButton(button);
		add(button);
	}
	if (skin)
		skin->SetupWindow(this);
}

void TWarCharaWindow::Relayout()
{
	const int left = m_SourcePane.getX() + m_SourcePane.getWidth();
	const int right = m_ArmyPane.getX() + m_ArmyPane.getWidth();
	const int y = std::max(m_SourcePane.getY() + m_SourcePane.getHeight(), m_ArmyPane.getY() + m_ArmyPane.getHeight())
		+ BUTTON_ROW_GAP;
	m_AllRightButton.setPosition(PANE_X, y);
	m_AllLeftButton.setPosition(right - BUTTON_WIDTH - BUTTON_INSET, y);
	m_ConfirmButton.setPosition(left - BUTTON_WIDTH - BUTTON_INSET, y);
	m_CancelButton.setPosition(m_ArmyPane.getX() + BUTTON_INSET, y);
	setSize(right + 2 * static_cast<int>(getPadding()) + RIGHT_MARGIN,
		static_cast<int>(getTitleBarHeight()) + y + BUTTON_HEIGHT + BOTTOM_MARGIN);
	// A growing army lengthens the window downwards: it rises where its buttons would leave the screen.
	if (getParent())
		setDimension(KeepOnScreen(getDimension(), getParent()->getWidth(), getParent()->getHeight()));
	SetButtonUsable(m_ConfirmButton, GetArmyCount() > 0);
}

void TWarCharaWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	const gcn::Rectangle children = getChildrenArea();
	if (m_Game && m_Army.GetSource() >= 0)
		DrawBoldText(graphics, m_Game->GetArea(m_Army.GetSource()).Name, children.x + m_SourcePane.getX(),
			children.y + TEXT_INDENT);
	if (m_Game && m_Army.GetTarget() >= 0)
		DrawBoldText(graphics, FormatText("攻撃軍（%sへ）", m_Game->GetArea(m_Army.GetTarget()).Name),
			children.x + m_ArmyPane.getX(), children.y + TEXT_INDENT);
	DrawBoldText(graphics, "戦争", 4, 2);
	DrawBoldText(graphics, FormatText("出撃可能残数 %2d", m_Army.GetRemaining()), m_ArmyPane.getX(),
		m_CancelButton.getY() + static_cast<int>(getTitleBarHeight()) - TITLE_HEIGHT);
}

void TWarCharaWindow::action(const gcn::ActionEvent& actionEvent)
{
	if (actionEvent.getSource() == &m_AllRightButton)
		m_Army.AddAll();
	else if (actionEvent.getSource() == &m_AllLeftButton)
		m_Army.Clear();
	else
		return;
	m_ArmyPane.Resize();
	Relayout();
}

void TWarCharaWindow::TPaneMouse::mousePressed(gcn::MouseEvent& mouseEvent)
{
	TWarCharaWindow& w = m_Window;
	mouseEvent.consume();
	if (mouseEvent.getSource() == &w.m_SourcePane) {
		w.m_Army.Add(w.m_SourcePane.GetIndexAt(mouseEvent.getX(), mouseEvent.getY()));
	} else {
		const std::pair<int, int> chosen = w.m_ArmyPane.GetChosenAt(mouseEvent.getX(), mouseEvent.getY());
		w.m_Army.Remove(chosen.first, chosen.second);
	}
	w.m_ArmyPane.Resize();
	w.Relayout();
}
