#include "front/MenuWindows.h"

#include "app/GameMaster.h"
#include "front/ConfigWidgets.h"

namespace
{
const int SAVE_LOAD_LOAD = 0;
const int SAVE_LOAD_SAVE = 1;

/// A skinned window without a body that holds the pane and fits it.
void SetupMenuWindow(TGcnWindow& window, gcn::Container& pane)
{
	window.setOpaque(false);
	window.add(&pane);
	window.resizeToContent();
}
}

TStartMenuPane::TStartMenuPane()
	: m_NewGameButton("新規ゲーム"), m_ContinueButton("続きから"), m_SettingsButton("設定")
{
	setSize(112, 102);
	setOpaque(false);
	Place(*this, m_NewGameButton, 8, 8, 96, 24);
	Place(*this, m_ContinueButton, 8, 40, 96, 24);
	Place(*this, m_SettingsButton, 8, 72, 96, 24);
	for (gcn::Button* button : { &m_NewGameButton, &m_ContinueButton, &m_SettingsButton })
		SkinButton(*button, true);
}

TStartMenuWindow::TStartMenuWindow()
{
	SetupMenuWindow(*this, m_Pane);
	m_Pane.m_NewGameButton.addActionListener(this);
	m_Pane.m_ContinueButton.addActionListener(this);
	m_Pane.m_SettingsButton.addActionListener(this);
}

void TStartMenuWindow::action(const gcn::ActionEvent& actionEvent)
{
	const gcn::Widget* source = actionEvent.getSource();
	if (source == &m_Pane.m_NewGameButton)
		g_GameMaster.ShowSceSelectWindow(true);
	else if (source == &m_Pane.m_ContinueButton)
		g_GameMaster.OpenSaveLoadWindow(SAVE_LOAD_LOAD);
	else if (source == &m_Pane.m_SettingsButton)
		g_GameMaster.ShowConfigWindow();
	else
		return;
	setVisible(false);
}

TSysMenuPane::TSysMenuPane() : m_SaveButton("保存"), m_LoadButton("読込"), m_SettingsButton("設定")
{
	setOpaque(false);
	for (gcn::Button* button : { &m_SaveButton, &m_LoadButton, &m_SettingsButton }) {
		button->setSize(56, 24);
		add(button);
		SkinButton(*button, true);
	}
}

TSysMenuWindow::TSysMenuWindow()
{
	SetSettingsOnly(false);
	SetupMenuWindow(*this, m_Pane);
	m_Pane.m_SaveButton.addActionListener(this);
	m_Pane.m_LoadButton.addActionListener(this);
	m_Pane.m_SettingsButton.addActionListener(this);
}

void TSysMenuWindow::SetSettingsOnly(bool settingsOnly)
{
	m_Pane.m_SaveButton.setVisible(!settingsOnly);
	m_Pane.m_LoadButton.setVisible(!settingsOnly);
	m_Pane.m_SaveButton.setPosition(8, 8);
	m_Pane.m_LoadButton.setPosition(8, 40);
	m_Pane.m_SettingsButton.setPosition(8, settingsOnly ? 8 : 72);
	m_Pane.setSize(72, settingsOnly ? 36 : 100);
	resizeToContent();
}

void TSysMenuWindow::action(const gcn::ActionEvent& actionEvent)
{
	const gcn::Widget* source = actionEvent.getSource();
	if (source == &m_Pane.m_SaveButton)
		g_GameMaster.OpenSaveLoadWindow(SAVE_LOAD_SAVE);
	else if (source == &m_Pane.m_LoadButton)
		g_GameMaster.OpenSaveLoadWindow(SAVE_LOAD_LOAD);
	else if (source == &m_Pane.m_SettingsButton)
		g_GameMaster.ShowConfigWindow();
	else
		return;
	g_GameMaster.ShowSysMenuWindow(false);
}
