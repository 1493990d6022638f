#ifndef MORVALETH_FRONT_FRONTENDWINDOWS_H
#define MORVALETH_FRONT_FRONTENDWINDOWS_H

#include "app/FrontEnd.h"

#include <boost/shared_ptr.hpp>

class TConfigWindow;
class TMasterSelectWindow;
class TSaveLoadWindow;
class TSceSelectWindow;
class TStartMenuWindow;
class TSysMenuWindow;

/// The six front-end windows of the game master, shared with the GUI context's list of top-level widgets.
class TFrontEndWindows : public TFrontEnd
{
public:
	/// Builds the windows hidden, adds them to the top container and lists the scenarios of the data root.
	TFrontEndWindows(gcn::Container& top, const std::string& rootDir);

	/// The window of that kind; an unknown kind gives the start menu.
	gcn::Widget& GetWindow(TFrontWindow window) override;
	/// Lays the system menu out with "設定" only, or with its three buttons.
	void SetSysMenuSettingsOnly(bool settingsOnly) override;
	/// Opens the settings window on the configuration.
	void OpenSettings() override;
	/// Opens the save/load window to load (0) or save (any other mode) on the slots' labels.
	void SetSaveLoad(int mode, const std::vector<std::string>& labels) override;
	/// Builds the master select's tiles from the held game's chapter.
	void RefreshMasterList() override;
	/// Empties the master select's tiles.
	void ResetMasterList() override;

	/// The first screen's menu: new game, continue, settings.
	boost::shared_ptr<TStartMenuWindow> m_StartMenu;
	/// The menu during a game: save, load, settings.
	boost::shared_ptr<TSysMenuWindow> m_SysMenu;
	/// The settings, written to "morvaleth.ini"; closing it hands the outcome to the game master.
	boost::shared_ptr<TConfigWindow> m_Config;
	/// The ten save slots, for loading or saving.
	boost::shared_ptr<TSaveLoadWindow> m_SaveLoad;
	/// The scenario and chapter choice of a new game, with the scenarios of the data root.
	boost::shared_ptr<TSceSelectWindow> m_SceSelect;
	/// The choice of the masters the player plays in the new game.
	boost::shared_ptr<TMasterSelectWindow> m_MasterSelect;
};

#endif
