#include "front/ConfigWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"

TConfigPane::TConfigPane(TGameConfig& config)
	: m_Shortcut(config), m_OkButton("OK"), m_CancelButton("Cancel"), m_Config(config)
{
	setSize(480, 360);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupPane(this);
	Place(*this, m_Tabs, 4, 4, 472, 324);
	m_Tabs.addTab("戦闘", &m_Battle);
	m_Tabs.addTab("ショートカット", &m_Shortcut);
	m_Tabs.addTab("ウィンドウ", &m_Window);
	m_Tabs.addTab("描画", &m_Screen);
	m_Tabs.addTab("音", &m_MusicSound);
	Place(*this, m_OkButton, 356, 332, 56, 24);
	Place(*this, m_CancelButton, 420, 332, 56, 24);
	SkinButton(m_OkButton, true);
	SkinButton(m_CancelButton, true);
}

void TConfigPane::LoadSettings()
{
	m_Battle.LoadSettings(m_Config);
	m_Window.LoadSettings(m_Config);
	m_Screen.LoadSettings(m_Config);
	m_MusicSound.LoadSettings(m_Config);
}

void TConfigPane::SaveSettings()
{
	m_Battle.SaveSettings(m_Config);
	m_Window.SaveSettings(m_Config);
	m_Screen.SaveSettings(m_Config);
	m_MusicSound.SaveSettings(m_Config);
}

void TConfigPane::logic()
{
	// Only the shown tab is among the children, so the shortcut tab is asked here.
	m_Shortcut.PollKey();
	gcn::Container::logic();
}

TConfigWindow::TConfigWindow(TGameConfig& config, const std::string& file)
	: m_Pane(config), m_Config(config), m_File(file)
{
	add(&m_Pane);
	m_Pane.m_OkButton.addActionListener(this);
	m_Pane.m_CancelButton.addActionListener(this);
	resizeToContent();
}

void TConfigWindow::SetCloseHandler(const TCloseHandler& handler)
{
	m_CloseHandler = handler;
}

void TConfigWindow::LoadSettings()
{
	m_Pane.LoadSettings();
}

void TConfigWindow::Open()
{
	LoadSettings();
	setVisible(true);
	if (g_GuiContext.m_Gui)
		g_GuiContext.CenterWidget(this);
	if (getParent())
		getParent()->moveToTop(this);
}

void TConfigWindow::action(const gcn::ActionEvent& actionEvent)
{
	if (actionEvent.getSource() == &m_Pane.m_OkButton) {
		m_Pane.SaveSettings();
		WriteFile();
		Close(true);
	} else if (actionEvent.getSource() == &m_Pane.m_CancelButton)
		Close(false);
}

void TConfigWindow::WriteFile()
{
	if (m_Config.Save(m_File))
		return;
	const std::string text = m_File + " に設定を保存できませんでした。" + m_Config.GetFileError();
	LOG_ERROR("%s", text);
	ShowMsgDlg("Error", text, BUTTON_OK, 0);
}

void TConfigWindow::Close(bool accepted)
{
	// A hidden window must not go on taking keys from the queue.
	m_Pane.m_Shortcut.EndWait();
	if (m_CloseHandler)
		m_CloseHandler(accepted);
	else
		setVisible(false);
}
