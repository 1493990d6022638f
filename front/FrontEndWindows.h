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

	gcn::Widget& GetWindow(TFrontWindow window) override;
	void SetSysMenuSettingsOnly(bool settingsOnly) override;
	void OpenSettings() override;
	void SetSaveLoad(int mode, const std::vector<std::string>& labels) override;
	void RefreshMasterList() override;
	void ResetMasterList() override;

	boost::shared_ptr<TStartMenuWindow> m_StartMenu;
	boost::shared_ptr<TSysMenuWindow> m_SysMenu;
	boost::shared_ptr<TConfigWindow> m_Config;
	boost::shared_ptr<TSaveLoadWindow> m_SaveLoad;
	boost::shared_ptr<TSceSelectWindow> m_SceSelect;
	boost::shared_ptr<TMasterSelectWindow> m_MasterSelect;
};

#endif
