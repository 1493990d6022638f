#ifndef MORVALETH_BATTLE_BATTLECOMMANDWINDOW_H
#define MORVALETH_BATTLE_BATTLECOMMANDWINDOW_H

#include "battle/BattleView.h"
#include "gui/GcnWindow.h"

#include <array>
#include <guichan/mouselistener.hpp>
#include <guichan/widgets/button.hpp>

namespace gcn
{
class ActionListener;
class Image;
}

/// The command bar: nine 32 x 32 command buttons in a row over a strip that names the hovered one.
/// A disabled command shows in the disabled skin, darkened; its button reports nothing.
class TBattleCommandWindow : public TGcnWindow
{
public:
	/// Width of a button; the bar is nine of them wide.
	static const int BUTTON_SIZE = 32;
	/// Height of the strip under the buttons.
	static const int STRIP_HEIGHT = 24;

	/// Buttons made and placed, no labels, nothing hovered; the owner hides it.
	TBattleCommandWindow();

	/// Tells the listener of the pressed buttons; a button's action event id is its command index.
	void SetActionListener(gcn::ActionListener* listener);
	/// Takes the labels and enabled states of the menu and shows the bar, its icons set on the first show.
	void Show(const TCommandMenu& menu);
	/// The command whose button is the widget; -1 for another widget.
	int CommandOf(const gcn::Widget* widget) const;
	/// The button of a command.
	gcn::Button& Button(int command) { return m_Buttons[command]; }
	/// The command hovered (-1 none) for a point of the window.
	static int CommandAt(int x, int y);

	/// The window, the darkened disabled buttons, the strip and the hovered command's label.
	virtual void draw(gcn::Graphics* graphics);

	/// Command under the pointer; -1 for none.
	int m_Hovered;

private:
	/// A button that shows its command's icon on the skin's button colour.
	class TCommandButton : public gcn::Button
	{
	public:
		TCommandButton() : m_Image(nullptr) {}
		virtual void draw(gcn::Graphics* graphics);
		const gcn::Image* m_Image;
	};

	/// Follows the pointer over the bar.
	class THoverListener : public gcn::MouseListener
	{
	public:
		explicit THoverListener(TBattleCommandWindow& window) : m_Window(window) {}
		virtual void mouseMoved(gcn::MouseEvent& mouseEvent);
		virtual void mouseExited(gcn::MouseEvent& mouseEvent);

	private:
		TBattleCommandWindow& m_Window;
	};

	/// Skin and icons of the first show.
	void Layout();

	std::array<TCommandButton, COMMAND_COUNT> m_Buttons;
	TCommandMenu m_Menu;
	bool m_HasLabels;
	THoverListener m_HoverListener;
	bool m_LaidOut;
};

#endif
