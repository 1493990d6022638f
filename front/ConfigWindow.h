#ifndef MORVALETH_FRONT_CONFIGWINDOW_H
#define MORVALETH_FRONT_CONFIGWINDOW_H

#include "front/ConfigTabs.h"
#include "gui/GcnWindow.h"

#include <functional>
#include <string>
#include <guichan/actionlistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/tabbedarea.hpp>

class TGameConfig;

/// The five tabs of the settings with OK and Cancel.
class TConfigPane : public gcn::Container
{
public:
	/// The tabs work on the configuration.
	explicit TConfigPane(TGameConfig& config);

	/// Copies the configuration into every tab but the shortcuts, which show what is selected.
	void LoadSettings();
	/// Copies the tabs into the configuration and its store.
	void SaveSettings();
	/// Takes a key for the shortcut tab first, whichever tab shows, then runs the shown controls.
	virtual void logic();

	/// "戦闘", "ショートカット", "ウィンドウ", "描画" and "音", the panes below in that order.
	gcn::TabbedArea m_Tabs;
	/// Battle speed and watching.
	TConfigBattlePane m_Battle;
	/// The battle commands' keys.
	TConfigShortcutPane m_Shortcut;
	/// Window size and vertical synchronisation.
	TConfigWindowPane m_Window;
	/// Corrections of drawn outlines.
	TConfigScreenPane m_Screen;
	/// Music and sound effects.
	TConfigMusicSoundPane m_MusicSound;
	/// "OK": the window stores the tabs and writes the file.
	gcn::Button m_OkButton;
	/// "Cancel": the window closes, the changes dropped but for a shortcut key, stored as soon as pressed.
	gcn::Button m_CancelButton;

private:
	/// The configuration the tabs are filled from and stored into.
	TGameConfig& m_Config;
};

/// The settings window: OK stores the settings and writes the configuration file, Cancel drops the changes
/// (a shortcut key is stored as soon as it is pressed). Either way the owner is told, and closes the window.
class TConfigWindow : public TGcnWindow, public gcn::ActionListener
{
public:
	/// Told whether the settings were accepted (true after OK) once the window is done.
	typedef std::function<void(bool accepted)> TCloseHandler;

	/// Works on the configuration, written to the file on OK.
	TConfigWindow(TGameConfig& config, const std::string& file);

	/// The owner's handler of the window's end; without one the window hides itself.
	void SetCloseHandler(const TCloseHandler& handler);
	/// Fills the controls from the configuration.
	void LoadSettings();
	/// Fills the controls, shows the window, centres it and raises it above its siblings.
	void Open();

	/// OK or Cancel.
	virtual void action(const gcn::ActionEvent& actionEvent);

	/// The window's only child: the tabs and the two buttons.
	TConfigPane m_Pane;

private:
	/// Ends a wait for a shortcut key and hands the end to the owner.
	void Close(bool accepted);
	/// Writes the configuration file; on failure the player is told.
	void WriteFile();

	/// The configuration the window works on (the game's one).
	TGameConfig& m_Config;
	/// The configuration file OK writes.
	const std::string m_File;
	/// Told of the window's end; empty until the owner sets one.
	TCloseHandler m_CloseHandler;
};

#endif
