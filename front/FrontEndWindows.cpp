#include "front/FrontEndWindows.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "front/ConfigWindow.h"
#include "front/MasterSelectWindow.h"
#include "front/MenuWindows.h"
#include "front/SaveLoadWindow.h"
#include "front/SceSelectWindow.h"
#include "gui/GuiContext.h"

#include <guichan/widgets/container.hpp>

namespace
{
const char* const CONFIG_FILE = "morvaleth.ini";

}

TFrontEndWindows::TFrontEndWindows(gcn::Container& top, const std::string& rootDir)
	: m_StartMenu(new TStartMenuWindow), m_SysMenu(new TSysMenuWindow), m_Config(new TConfigWindow(g_Config, CONFIG_FILE)),
	  m_SaveLoad(new TSaveLoadWindow), m_SceSelect(new TSceSelectWindow), m_MasterSelect(new TMasterSelectWindow)
{
	m_Config->SetCloseHandler([](bool accepted) { g_GameMaster.CloseConfigWindow(accepted); });
	m_SceSelect->m_Pane.ScanScenarios(rootDir);
	for (TFrontWindow window = FRONT_START_MENU; window < FRONT_WINDOW_COUNT;
		 window = static_cast<TFrontWindow>(window + 1)) {
		gcn::Widget& widget = GetWindow(window);
		widget.setVisible(false);
		top.add(&widget);
	}
	g_GuiContext.AddWidget(m_StartMenu);
	g_GuiContext.AddWidget(m_SysMenu);
	g_GuiContext.AddWidget(m_Config);
	g_GuiContext.AddWidget(m_SaveLoad);
	g_GuiContext.AddWidget(m_SceSelect);
	g_GuiContext.AddWidget(m_MasterSelect);
}

gcn::Widget& TFrontEndWindows::GetWindow(TFrontWindow window)
{
	switch (window) {
	case FRONT_SYSTEM_MENU:
		return *m_SysMenu;
	case FRONT_CONFIG:
		return *m_Config;
	case FRONT_SAVE_LOAD:
		return *m_SaveLoad;
	case FRONT_SCENARIO_SELECT:
		return *m_SceSelect;
	case FRONT_MASTER_SELECT:
		return *m_MasterSelect;
	default:
		return *m_StartMenu;
	}
}

void TFrontEndWindows::SetSysMenuSettingsOnly(bool settingsOnly)
{
	m_SysMenu->SetSettingsOnly(settingsOnly);
}

void TFrontEndWindows::OpenSettings()
{
	m_Config->Open();
}

void TFrontEndWindows::SetSaveLoad(int mode, const std::vector<std::string>& labels)
{
	m_SaveLoad->Open(mode, labels);
}

void TFrontEndWindows::RefreshMasterList()
{
	m_MasterSelect->m_Pane.RefreshList();
}

void TFrontEndWindows::ResetMasterList()
{
	m_MasterSelect->m_Pane.ResetList();
}

std::shared_ptr<TFrontEnd> CreateFrontEnd(gcn::Container& top, const std::string& rootDir)
{
	return std::make_shared<TFrontEndWindows>(top, rootDir);
}
