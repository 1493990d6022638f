#ifndef MORVALETH_FRONT_MENUWINDOWS_H
#define MORVALETH_FRONT_MENUWINDOWS_H

#include "gui/GcnWindow.h"

#include <guichan/actionlistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>

/// The three buttons of the first screen.
class TStartMenuPane : public gcn::Container
{
public:
	TStartMenuPane();

	gcn::Button m_NewGameButton;
	gcn::Button m_ContinueButton;
	gcn::Button m_SettingsButton;
};

/// The first screen: a new game, a saved game or the settings; every choice hides the menu.
class TStartMenuWindow : public TGcnWindow, public gcn::ActionListener
{
public:
	TStartMenuWindow();

	/// Opens the screen of the button, then hides the menu.
	virtual void action(const gcn::ActionEvent& actionEvent);

	TStartMenuPane m_Pane;
};

/// The three buttons of the menu during a game.
class TSysMenuPane : public gcn::Container
{
public:
	TSysMenuPane();

	gcn::Button m_SaveButton;
	gcn::Button m_LoadButton;
	gcn::Button m_SettingsButton;
};

/// The menu during a game: save, load or the settings; every choice hides the menu.
class TSysMenuWindow : public TGcnWindow, public gcn::ActionListener
{
public:
	TSysMenuWindow();

	/// Shows "設定" alone (the other two hidden), or all three buttons, and fits the window to them.
	void SetSettingsOnly(bool settingsOnly);

	/// Opens the window of the button, then hides the menu.
	virtual void action(const gcn::ActionEvent& actionEvent);

	TSysMenuPane m_Pane;
};

#endif
