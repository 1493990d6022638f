#include "world/MasterWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/CharaData.h"
#include "model/MasterData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>
#include <guichan/graphics.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const int TITLE_HEIGHT = 20;
const int FACE_SIZE = 96;
const int FLAG_X = 136;
}

int FlagFrame(int frameCounter, int fps)
{
	// Frame rates under 2 would make the step 0.
	return frameCounter / (std::max(fps, 2) * 30 / 60);
}

TMasterInfoPane::TMasterInfoPane() : m_Master(-1), m_Frame(0)
{
	setSize(200, 128);
	setForegroundColor(WHITE);
}

void TMasterInfoPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBackgroundColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const TMorvalethData* data = g_GameMaster.m_Data.get();
	const TMorvalethImage* image = g_GameMaster.m_Image.get();
	TGcnCharDrawer* small = g_GuiContext.GetCharDrawer(12);
	TGcnCharDrawer* large = g_GuiContext.GetCharDrawer(16);
	if (m_Master < 0 || !game || !data || !image || !small || !large || m_Master >= game->GetMasterCount())
		return;
	const TMasterInstance& master = game->GetMaster(m_Master);
	const TMasterData& definition = data->GetMasterData(master.DataIndex);
	const gcn::Color& colour = getForegroundColor();
	if (definition.CharaIndex >= 0) {
		const TCharaData& chara = data->GetCharaData(definition.CharaIndex);
		large->DrawString(graphics, 0, 0, chara.Name.c_str(), colour);
		large->DrawString(graphics, 1, 0, chara.Name.c_str(), colour);
		image->DrawFaceOrChara(graphics, 0, getHeight() - FACE_SIZE, chara.FaceImage, chara.ChipImage);
	}
	if (definition.FlagImage != -1)
		image->DrawFlag(graphics, FLAG_X, 0, definition.FlagImage, FlagFrame(m_Frame, g_Config.GetIntValue(CONFIG_FPS)));
	const struct {
		const char* label;
		int value;
		int y;
	} figures[] = { { "収入", master.Income, 24 }, { "人材費", master.Upkeep, 60 }, { "軍資金", master.Money, 96 } };
	for (const auto& figure : figures) {
		small->DrawString(graphics, 104, figure.y, figure.label, colour);
		small->DrawString(graphics, 105, figure.y, figure.label, colour);
		small->DrawString(graphics, 120, figure.y + 18, FormatText("%3d Ley", figure.value).c_str(), colour);
	}
}

TMasterOpePane::TMasterOpePane()
	: m_AreaGridButton("エリア情報"), m_MasterGridButton("勢力情報"), m_HeroGridButton("人材情報"),
	  m_PowerMapButton("勢力地図"), m_AllianceButton("同盟"), m_WarButton("戦争"), m_TurnEndButton("ターン終了")
{
	const struct {
		gcn::Button* button;
		int x;
		int y;
	} buttons[] = {
		{ &m_AreaGridButton, 8, 8 }, { &m_MasterGridButton, 8, 36 }, { &m_HeroGridButton, 8, 64 },
		{ &m_PowerMapButton, 8, 92 }, { &m_AllianceButton, 104, 8 }, { &m_WarButton, 104, 36 },
		{ &m_TurnEndButton, 104, 64 },
	};
	for (const auto& b : buttons) {
		b.button->setDimension(gcn::Rectangle(b.x, b.y, 88, 24));
		if (g_GameMaster.m_Skin)
			g_GameMaster.m_Skin->SetupButton(b.button);
		add(b.button);
	}
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupDarkPane(this);
	setSize(200, 120);
}

TMasterWindow::TMasterWindow() : m_Skinned(false)
{
	setTitleBarHeight(TITLE_HEIGHT);
	setOpaque(false);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupDarkPane(&m_InfoPane);
	m_InfoPane.setPosition(0, 0);
	m_OpePane.setPosition(0, m_InfoPane.getHeight());
	add(&m_InfoPane);
	add(&m_OpePane);
}

void TMasterWindow::Show(int master)
{
	m_InfoPane.m_Master = master;
	if (!m_Skinned && g_GameMaster.m_Skin) {
		m_Skinned = true;
		g_GameMaster.m_Skin->SetupWindow(this);
	}
	resizeToContent();
	setVisible(true);
}

void TMasterWindow::draw(gcn::Graphics* graphics)
{
	TGcnWindow::draw(graphics);
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const int master = m_InfoPane.m_Master;
	if (master < 0 || !game || !g_GameMaster.m_Data || master >= game->GetMasterCount())
		return;
	graphics->setFont(getFont());
	graphics->setColor(WHITE);
	DrawBoldText(graphics, g_GameMaster.m_Data->GetMasterData(game->GetMaster(master).DataIndex).Name, 4, 2);
}
