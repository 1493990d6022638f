#ifndef MORVALETH_GUI_MSGDLG_H
#define MORVALETH_GUI_MSGDLG_H

#include "gui/GcnWindow.h"
#include "gui/TextPane.h"

#include <string>
#include <guichan/actionlistener.hpp>
#include <guichan/widgets/button.hpp>

/// Answer codes of the message dialog, also its button mask bits.
enum { BUTTON_OK = 1, BUTTON_YES = 2, BUTTON_NO = 4, BUTTON_CANCEL = 8 };

/// The one modal message dialog: a caption, a text, up to four buttons and an optional time-out.
class TGcnMsgDlg : public TGcnWindow, public gcn::ActionListener
{
public:
	/// Builds the dialog with the buttons of the mask, laid out but not yet shown.
	TGcnMsgDlg(const std::string& caption, const std::string& text, unsigned buttonMask, int timeout);
	/// Clears g_MsgDlg when it points at this dialog.
	virtual ~TGcnMsgDlg();

	/// Places the text and the shown buttons and sizes the dialog.
	void Layout();
	/// Centres, shows and focuses the dialog.
	void ShowModal();

	/// Counts the frames while shown and closes the dialog at its time-out.
	virtual void logic();
	/// A button closes the dialog with its answer code.
	virtual void action(const gcn::ActionEvent& actionEvent);

	/// OK, はい, いいえ, キャンセル.
	gcn::Button m_Buttons[4];
	/// The message text.
	TGcnTextPane m_TextPane;
	/// Bit i set: button i is shown.
	unsigned m_ButtonMask;
	/// The answer code of the button that closed the dialog; 0 while none has.
	unsigned m_Selected;
	/// Frames counted while shown.
	int m_Count;
	/// Frames after which the dialog closes by itself; 0 for never.
	int m_Timeout;

private:
	/// Wraps a text wider than the screen to its width and leaves out the lines below what it holds with the
	/// buttons, so that the whole dialog stays on screen.
	void FitTextToScreen();
	/// Gives up the modal focus and hides the dialog.
	void Close();
	/// Takes the modal focus; false, with a Warning, when another widget holds it or there is no GUI.
	bool RequestModalFocus();
	/// Keyboard focus to OK, else to はい, when shown.
	void FocusFirstButton();
};

/// The message dialog once the first message was shown; null before.
extern TGcnMsgDlg* g_MsgDlg;

/// Shows a message (Shift-JIS) with the buttons of the mask, replacing one still shown; returns at once.
void ShowMsgDlg(const std::string& caption, const std::string& text, unsigned buttonMask, int timeout);
/// True while the message dialog is shown.
bool IsMsgDlgVisible();

#endif
