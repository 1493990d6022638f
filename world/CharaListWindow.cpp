#include "world/CharaListWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "world/WorldWindowLayout.h"

#include <guichan/graphics.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const int FONT_SIZE = 12;
const int TITLE_HEIGHT = 20;
const char* const OPERATION_NAMES[] = { "部隊訓練", "人材捜索", "街建設", "城壁建設", "道路建設" };
const int OPERATION_NAME_COUNT = sizeof(OPERATION_NAMES) / sizeof(OPERATION_NAMES[0]);

/// The skin, when the game master has one.
const TGcnSkinManager* Skin()
{
	return g_GameMaster.m_Skin.get();
}

/// Characters of the area whose race is that of its owner's own character; -1 when the owner has none.
int CountOwnersRace(const TMorvalethGame& game, const TMorvalethData& data, const TAreaInstance& area)
{
	const int ownChara = data.GetMasterData(game.GetMaster(area.Owner).DataIndex).CharaIndex;
	if (ownChara < 0)
		return -1;
	const int race = data.GetCharaData(ownChara).Race;
	int count = 0;
	for (const TCharaInstance& chara : area.Charas)
		count += data.GetCharaData(chara.CharaIndex).Race == race;
	return count;
}
}

bool AreaCommandsUsable(const TAreaInstance& area, int row)
{
	return row >= 0 && row < static_cast<int>(area.Charas.size()) && !area.Charas[row].Actioned;
}

int TAreaOpeListModel::getNumberOfElements()
{
	return OPERATION_NAME_COUNT;
}

std::string TAreaOpeListModel::getElementAt(int i)
{
	return i >= 0 && i < OPERATION_NAME_COUNT ? OPERATION_NAMES[i] : "";
}

TAreaInfoPane::TAreaInfoPane() : m_Area(-1)
{
	setSize(84, 160);
	setForegroundColor(WHITE);
}

void TAreaInfoPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const TMorvalethData* data = g_GameMaster.m_Data.get();
	TGcnCharDrawer* font = g_GuiContext.GetCharDrawer(FONT_SIZE);
	if (m_Area < 0 || !game || !data || !font || m_Area >= game->GetAreaCount())
		return;
	const TAreaInstance& area = game->GetArea(m_Area);
	DrawGroupFrame(graphics, gcn::Rectangle(0, 6, getWidth() - 3, 84), "エリア情報", font);
	const gcn::Color& colour = getForegroundColor();
	const auto line = [&](int y, const std::string& text) { font->DrawString(graphics, 8, y, text.c_str(), colour); };
	line(19, FormatText("収入　%d", game->GetAreaIncome(m_Area)));
	line(34, area.Road == area.RoadMax ? "交通　○" : "交通　×");
	line(47, FormatText(" 街  %3d/%3d", area.City, area.CityMax));
	line(60, FormatText("城壁 %3d/%3d", area.Wall, area.WallMax));
	line(73, FormatText("道路 %3d/%3d", area.Road, area.RoadMax));
	// An owner without a character of its own has no race to count.
	const int sameRace = area.Owner >= 0 ? CountOwnersRace(*game, *data, area) : -1;
	if (sameRace >= 0)
		line(98, FormatText("同種族　%2d人", sameRace));
	line(111, FormatText("戦力　%5d", game->GetAreaPower(m_Area) / 1000));
}

TAreaOpePane::TAreaOpePane()
	: m_MoveButton("移動"), m_EmployButton("雇用"), m_DismissButton("解雇"), m_Operation(&m_Model),
	  m_LaidOut(false), m_ControlsShown(false)
{
}

void TAreaOpePane::ShowControls(bool show)
{
	if (!m_LaidOut) {
		m_LaidOut = true;
		const int rows[] = { 8, 36, 64 };
		gcn::Button* buttons[] = { &m_MoveButton, &m_EmployButton, &m_DismissButton };
		for (int i = 0; i < 3; ++i) {
			buttons[i]->setDimension(gcn::Rectangle(224, rows[i], 56, 24));
			if (Skin())
				Skin()->SetupButton(buttons[i]);
			add(buttons[i]);
		}
		m_Operation.setPosition(4, 20);
		m_Operation.setWidth(120);
		add(&m_Operation);
		if (Skin())
			Skin()->SetupDarkPane(this);
		setSize(284, 128);
	}
	for (gcn::Widget* widget : { static_cast<gcn::Widget*>(&m_MoveButton), static_cast<gcn::Widget*>(&m_EmployButton),
			 static_cast<gcn::Widget*>(&m_DismissButton), static_cast<gcn::Widget*>(&m_Operation) })
		widget->setVisible(show);
	m_ControlsShown = show;
}

void TAreaOpePane::SetArea(int area)
{
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	if (game && area >= 0 && area < game->GetAreaCount())
		m_Operation.setSelected(game->GetArea(area).Operation);
}

void TAreaOpePane::draw(gcn::Graphics* graphics)
{
	gcn::Container::draw(graphics);
	graphics->setColor(WHITE);
	graphics->drawLine(0, 0, getWidth() - 1, 0);
	TGcnCharDrawer* font = g_GuiContext.GetCharDrawer(FONT_SIZE);
	if (m_ControlsShown && font)
		font->DrawString(graphics, 4, 4, "待機時の行動", WHITE);
}

void TAreaCharaListPane::ClearSelection()
{
	m_Selected = -1;
	m_Hovered = -1;
}

void TAreaCharaListPane::mousePressed(gcn::MouseEvent& mouseEvent)
{
	const int index = GetIndexAt(mouseEvent.getX(), mouseEvent.getY());
	if (!m_Locked && mouseEvent.getButton() == gcn::MouseEvent::LEFT && index >= 0 && index < GetListSize())
		m_Selected = index;
	TCharaListPane::mousePressed(mouseEvent);
}

TCharaListWindow::TCharaListWindow() : m_PaneMouse(*this), m_Area(-1)
{
	setTitleBarHeight(TITLE_HEIGHT);
	setOpaque(false);
	m_CharaPane.SetMouseHandler(&m_PaneMouse);
	m_CharaPane.setPosition(0, 0);
	m_InfoPane.setPosition(m_CharaPane.getWidth(), 0);
	m_OpePane.setPosition(0, m_InfoPane.getHeight());
	m_CharaPane.setBaseColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
	if (Skin()) {
		Skin()->SetupDarkPane(&m_CharaPane);
		Skin()->SetupDarkPane(&m_InfoPane);
		Skin()->SetupWindow(this);
	}
	add(&m_CharaPane);
	add(&m_InfoPane);
	add(&m_OpePane);
}

void TCharaListWindow::SetArea(int area)
{
	m_Area = area;
	m_InfoPane.m_Area = area;
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const bool shown = game && area >= 0 && area < game->GetAreaCount();
	m_CharaPane.SetList(shown ? &game->GetArea(area).Charas : nullptr, nullptr);
	m_OpePane.SetArea(area);
	ClearSelection();
}

void TCharaListWindow::ShowAreaControls(bool show)
{
	m_OpePane.ShowControls(show);
	UpdateButtons();
	resizeToContent();
	setVisible(true);
}

void TCharaListWindow::ClearSelection()
{
	m_CharaPane.ClearSelection();
	UpdateButtons();
}

void TCharaListWindow::UpdateButtons()
{
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const bool usable = game && m_Area >= 0 && m_Area < game->GetAreaCount()
		&& AreaCommandsUsable(game->GetArea(m_Area), m_CharaPane.m_Selected);
	SetButtonUsable(m_OpePane.m_EmployButton, usable);
	SetButtonUsable(m_OpePane.m_DismissButton, usable);
}

void TCharaListWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	if (m_Area < 0 || !game || m_Area >= game->GetAreaCount())
		return;
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	DrawBoldText(graphics, game->GetArea(m_Area).Name, 4, 2);
}
