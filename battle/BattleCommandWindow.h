#ifndef MORVALETH_BATTLE_BATTLECOMMANDWINDOW_H
#define MORVALETH_BATTLE_BATTLECOMMANDWINDOW_H

#include "battle/BattleView.h"
#include "gui/GcnWindow.h"

#include <array>
#include <guichan/mouselistener.hpp>
#include <guichan/widgets/button.hpp>

namespace gcn
{
/// Hears the buttons pressed.
class ActionListener;
/// A command's icon.
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
		/// No icon until the first show.
		TCommandButton() : m_Image(nullptr) {}
		/// The base colour, then the icon over it.
		virtual void draw(gcn::Graphics* graphics);
		/// The command's icon, owned by the image store; null for none.
		const gcn::Image* m_Image;
	};

	/// Follows the pointer over the bar.
	class THoverListener : public gcn::MouseListener
	{
	public:
		/// Follows the pointer for the window.
		explicit THoverListener(TBattleCommandWindow& window) : m_Window(window) {}
		/// The command under the pointer, whether the move came through a button or the window itself.
		virtual void mouseMoved(gcn::MouseEvent& mouseEvent);
		/// Nothing is hovered once the pointer leaves the bar.
		virtual void mouseExited(gcn::MouseEvent& mouseEvent);

	private:
		/// The bar whose hovered command it sets.
		TBattleCommandWindow& m_Window;
	};

	/// Skin and icons of the first show; the window takes the size of the buttons and the strip.
	void Layout();

	/// One button per command, in bar order (the command numbers).
	std::array<TCommandButton, COMMAND_COUNT> m_Buttons;
	/// The menu last shown: the labels of the strip and the buttons darkened.
	TCommandMenu m_Menu;
	/// A menu was shown, so the strip has labels to name.
	bool m_HasLabels;
	/// Follows the pointer over the bar and its buttons.
	THoverListener m_HoverListener;
	/// The skin and the icons were set up.
	bool m_LaidOut;
};

#endif
