#include "model/LoadFailure.h"

#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"

void ShowLoadFailure(const std::string& text)
{
	g_Logger.Error(text);
	// Without a GUI root (tests, tools) there is nobody to show the dialog to.
	if (g_GuiContext.m_Gui)
		ShowMsgDlg("Error", text, 1, 0);
}
