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
	/// The buttons, skinned, one under another on a see-through pane of 112 x 102.
	TStartMenuPane();

	/// "新規ゲーム": the scenario select.
	gcn::Button m_NewGameButton;
	/// "続きから": the save/load window, to load.
	gcn::Button m_ContinueButton;
	/// "設定": the settings window.
	gcn::Button m_SettingsButton;
};

/// The first screen: a new game, a saved game or the settings; every choice hides the menu.
class TStartMenuWindow : public TGcnWindow, public gcn::ActionListener
{
public:
	/// A see-through window fitted to the pane, listening to its buttons.
	TStartMenuWindow();

	/// Opens the screen of the button, then hides the menu.
	virtual void action(const gcn::ActionEvent& actionEvent);

	/// The window's only child: the three buttons.
	TStartMenuPane m_Pane;
};

/// The three buttons of the menu during a game.
class TSysMenuPane : public gcn::Container
{
public:
	/// The buttons, skinned, 56 x 24 each, on a see-through pane; the window places them.
	TSysMenuPane();

	/// "保存": the save/load window, to save.
	gcn::Button m_SaveButton;
	/// "読込": the save/load window, to load.
	gcn::Button m_LoadButton;
	/// "設定": the settings window; the only button while the menu is laid out with the settings alone.
	gcn::Button m_SettingsButton;
};

/// The menu during a game: save, load or the settings; every choice hides the menu.
class TSysMenuWindow : public TGcnWindow, public gcn::ActionListener
{
public:
	/// A see-through window with all three buttons, fitted to the pane, listening to them.
	TSysMenuWindow();

	/// Shows "設定" alone (the other two hidden), or all three buttons, and fits the window to them.
	void SetSettingsOnly(bool settingsOnly);

	/// Opens the window of the button, then hides the menu.
	virtual void action(const gcn::ActionEvent& actionEvent);

	/// The window's only child: the three buttons.
	TSysMenuPane m_Pane;
};

#endif
