#ifndef MORVALETH_APP_FRONTEND_H
#define MORVALETH_APP_FRONTEND_H

#include <memory>
#include <string>
#include <vector>

namespace gcn
{
class Container;
class Widget;
}

/// The six windows of the front end that the game master shows and hides.
enum TFrontWindow
{
	FRONT_START_MENU = 0,
	FRONT_SYSTEM_MENU,
	FRONT_CONFIG,
	FRONT_SAVE_LOAD,
	FRONT_SCENARIO_SELECT,
	FRONT_MASTER_SELECT,
	FRONT_WINDOW_COUNT
};

/// What the game master asks of the front-end windows beyond showing them: the front-end layer implements it,
/// so that the game master never sees the windows' own classes.
class TFrontEnd
{
public:
	virtual ~TFrontEnd() = default;

	/// The window, kept for the whole run.
	virtual gcn::Widget& GetWindow(TFrontWindow window) = 0;
	/// Lays the system menu out with "設定" only, or with its three buttons.
	virtual void SetSysMenuSettingsOnly(bool settingsOnly) = 0;
	/// Fills the settings window's controls from the configuration, shows, centres and raises it.
	virtual void OpenSettings() = 0;
	/// Sets the save/load window to load (0) or save (other) on the slots' labels.
	virtual void SetSaveLoad(int mode, const std::vector<std::string>& labels) = 0;
	/// Builds the master select's tiles from the held game's chapter.
	virtual void RefreshMasterList() = 0;
	/// Empties the master select's tiles.
	virtual void ResetMasterList() = 0;
};

/// Builds the six windows, hidden, kept alive by the GUI context and added to the top container in the
/// order of TFrontWindow; the scenario select scans the scenario folders of the data root. The front-end
/// layer defines it.
std::shared_ptr<TFrontEnd> CreateFrontEnd(gcn::Container& top, const std::string& rootDir);

#endif
