// The game master's front end: which of its six windows shows, and the hand-over between them and play.

#include "app/GameMaster.h"

#include "app/FrontEnd.h"
#include "app/GameConfig.h"
#include "app/Logger.h"
#include "app/WorldMapControl.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "platform/FileSystem.h"

#include <guichan/gui.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
const int SAVE_SLOT_COUNT = 10;

gcn::Container* TopContainer()
{
	return g_GuiContext.m_Gui ? dynamic_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop()) : nullptr;
}

/// Puts a shown widget on top of its siblings.
void RaiseIfShown(gcn::Widget& widget)
{
	if (widget.isVisible() && widget.getParent())
		widget.getParent()->moveToTop(&widget);
}
}

void TDremoGameMaster::BuildFrontEnd()
{
	gcn::Container* top = TopContainer();
	if (!top)
		return;
	m_FrontEnd = CreateFrontEnd(*top, m_RootDir);
	CenterFrontWindow(FRONT_START_MENU);
	gcn::Widget& sysMenu = m_FrontEnd->GetWindow(FRONT_SYSTEM_MENU);
	sysMenu.setPosition(0, top->getHeight() - sysMenu.getHeight());
	CenterFrontWindow(FRONT_SCENARIO_SELECT);
	g_Logger.Debug("global window ok.");
	ShowFrontWindow(FRONT_START_MENU, true);
}

void TDremoGameMaster::ShowFrontWindow(int window, bool show)
{
	if (!m_FrontEnd)
		return;
	gcn::Widget& widget = m_FrontEnd->GetWindow(static_cast<TFrontWindow>(window));
	widget.setVisible(show);
	gcn::Widget* parent = widget.getParent();
	if (!show || !parent)
		return;
	parent->moveToTop(&widget);
	// A message still shown (the failure of the load that closed the slots) stays above the window
	// shown after it, where its text can be read and its button pressed.
	KeepDialogsOnTop();
}

void TDremoGameMaster::KeepDialogsOnTop()
{
	if (m_FrontEnd)
		for (TFrontWindow window : { FRONT_SAVE_LOAD, FRONT_CONFIG })
			RaiseIfShown(m_FrontEnd->GetWindow(window));
	if (IsMsgDlgVisible())
		RaiseIfShown(*g_MsgDlg);
}

void TDremoGameMaster::CenterFrontWindow(int window)
{
	if (m_FrontEnd && g_GuiContext.m_Gui)
		g_GuiContext.CenterWidget(&m_FrontEnd->GetWindow(static_cast<TFrontWindow>(window)));
}

void TDremoGameMaster::ShowMenuOfTheMoment()
{
	ShowFrontWindow(m_GameRunning ? FRONT_SYSTEM_MENU : FRONT_START_MENU, true);
}

void TDremoGameMaster::ShowSysMenuWindow(bool show)
{
	ShowFrontWindow(FRONT_SYSTEM_MENU, show);
}

bool TDremoGameMaster::IsSysMenuVisible() const
{
	return m_FrontEnd && m_FrontEnd->GetWindow(FRONT_SYSTEM_MENU).isVisible();
}

void TDremoGameMaster::SetSysMenuCompact(bool settingsOnly)
{
	if (!m_FrontEnd)
		return;
	// The menu keeps its bottom-left corner when it shrinks or grows.
	gcn::Widget& sysMenu = m_FrontEnd->GetWindow(FRONT_SYSTEM_MENU);
	const int bottom = sysMenu.getY() + sysMenu.getHeight();
	m_FrontEnd->SetSysMenuSettingsOnly(settingsOnly);
	sysMenu.setY(bottom - sysMenu.getHeight());
}

void TDremoGameMaster::ShowSceSelectWindow(bool show)
{
	ShowFrontWindow(FRONT_SCENARIO_SELECT, show);
	if (!show)
		ShowFrontWindow(FRONT_START_MENU, true);
}

void TDremoGameMaster::OpenSaveLoadWindow(int mode)
{
	if (!m_FrontEnd)
		return;
	if (!CreateDirectories(SaveFolder()))
		LOG_ERROR("%s を作れませんでした。", SaveFolder());
	std::vector<std::string> labels;
	ReadSaveSlotLabels(SaveFolder(), labels, SAVE_SLOT_COUNT);
	m_FrontEnd->SetSaveLoad(mode, labels);
	CenterFrontWindow(FRONT_SAVE_LOAD);
	ShowFrontWindow(FRONT_SAVE_LOAD, true);
}

void TDremoGameMaster::CloseSaveLoadWindow()
{
	ShowFrontWindow(FRONT_SAVE_LOAD, false);
	ShowMenuOfTheMoment();
}

void TDremoGameMaster::ShowConfigWindow()
{
	if (m_FrontEnd)
		m_FrontEnd->OpenSettings();
}

bool TDremoGameMaster::IsConfigWindowVisible() const
{
	return m_FrontEnd && m_FrontEnd->GetWindow(FRONT_CONFIG).isVisible();
}

void TDremoGameMaster::CloseConfigWindow(bool accepted)
{
	if (accepted) {
		ApplyScreenSlides();
		if (m_WorldMap)
			m_WorldMap->ApplyConfig();
	}
	ShowFrontWindow(FRONT_CONFIG, false);
	// The keys pressed into the window were for it: none of them reaches the battle behind it.
	ClearKeys();
	ShowMenuOfTheMoment();
}

void TDremoGameMaster::ShowMasterSelect(bool show)
{
	if (!m_FrontEnd)
		return;
	if (show) {
		ShowFrontWindow(FRONT_SCENARIO_SELECT, false);
		m_FrontEnd->RefreshMasterList();
		CenterFrontWindow(FRONT_MASTER_SELECT);
		ShowFrontWindow(FRONT_MASTER_SELECT, true);
		return;
	}
	ShowFrontWindow(FRONT_MASTER_SELECT, false);
	m_FrontEnd->ResetMasterList();
	ReleaseGame();
	ShowFrontWindow(FRONT_SCENARIO_SELECT, true);
}
