#ifndef MORVALETH_FRONT_CONFIGWIDGETS_H
#define MORVALETH_FRONT_CONFIGWIDGETS_H

#include <string>
#include <vector>
#include <guichan/listmodel.hpp>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>

namespace gcn
{
class Button;
class Container;
}

/// The text shown for an SDL key code: "設定無し" for none, a name, or "keysym=%d".
std::string KeyName(int key);

/// Sizes the widget and adds it to the container at the position.
void Place(gcn::Container& container, gcn::Widget& widget, int x, int y, int width, int height);
/// The configured width of scroll bars, at least one pixel: a scroll area refuses less.
int ScrollbarWidth();
/// Gives the button the skin of a button that can or cannot be pressed, and enables it accordingly.
void SkinButton(gcn::Button& button, bool enabled);

/// A row of equally wide cells of which the player selects one with the left button.
class TSelectPane : public gcn::Widget, public gcn::MouseListener
{
public:
	/// The cells' texts; nothing selected.
	explicit TSelectPane(const std::vector<std::string>& items);

	/// The cell under x (pane coordinates); -1 outside the cells or when they are narrower than a pixel.
	int CellAt(int x) const;

	/// Ground, selected cell, outline and the centred texts.
	virtual void draw(gcn::Graphics* graphics);
	/// A left press selects the cell under the mouse.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

	/// The cells' texts (Shift-JIS).
	std::vector<std::string> m_Items;
	/// The selected cell; -1 for none.
	int m_Selected;
	/// Fill of the selected cell.
	gcn::Color m_SelectionColor;

private:
	/// Width of one cell.
	int CellWidth() const;
};

/// A rectangle filled with its foreground colour.
class TColorPane : public gcn::Widget
{
public:
	/// Fills the whole widget with its foreground colour.
	virtual void draw(gcn::Graphics* graphics);
};

/// The seven battle commands that take a shortcut key, in the configuration's order.
class TShortcutListModel : public gcn::ListModel
{
public:
	/// SHORTCUT_COUNT rows, one per command.
	virtual int getNumberOfElements();
	/// The command's name ("待機" ... "逃走"); empty outside the rows.
	virtual std::string getElementAt(int i);
};

#endif
