#ifndef MORVALETH_WORLD_CHARALISTWINDOW_H
#define MORVALETH_WORLD_CHARALISTWINDOW_H

#include "battle/CharaListPane.h"
#include "gui/GcnWindow.h"
#include "gui/MouseHandler.h"
#include "model/GameRecords.h"

#include <string>
#include <guichan/listmodel.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/dropdown.hpp>

/// Whether the area's character at the row may hire or be dismissed: it exists and has not acted.
bool AreaCommandsUsable(const TAreaInstance& area, int row);

/// The five standing orders of an area, in the order of their values.
class TAreaOpeListModel : public gcn::ListModel
{
public:
	virtual int getNumberOfElements();
	virtual std::string getElementAt(int i);
};

/// An area's figures: income, traffic, buildings, characters of the owner's race and strength.
class TAreaInfoPane : public gcn::Widget
{
public:
	/// No area, 84 x 160, white text.
	TAreaInfoPane();
	virtual void draw(gcn::Graphics* graphics);

	/// The area shown; -1 for none.
	int m_Area;
};

/// The area's commands: move, hire, dismiss, and the standing order.
class TAreaOpePane : public gcn::Container
{
public:
	/// Buttons and drop-down made, not laid out.
	TAreaOpePane();
	/// Lays the pane out on first use, then shows or hides the commands.
	void ShowControls(bool show);
	/// The drop-down shows the area's standing order.
	void SetArea(int area);
	/// The caption of the standing order when the commands show, and the top edge.
	virtual void draw(gcn::Graphics* graphics);

	gcn::Button m_MoveButton;
	gcn::Button m_EmployButton;
	gcn::Button m_DismissButton;
	TAreaOpeListModel m_Model;
	gcn::DropDown m_Operation;

private:
	bool m_LaidOut;
	bool m_ControlsShown;
};

/// The area window's grid of the area's characters: a left press on one selects it, unless the pane is
/// locked; every press then goes on to the handler.
class TAreaCharaListPane : public TCharaListPane
{
public:
	/// Not locked, nothing selected.
	TAreaCharaListPane() : m_Locked(false) {}

	/// No selected or hovered character.
	void ClearSelection();
	/// While locked, presses change no selection.
	void Lock(bool locked) { m_Locked = locked; }
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	bool m_Locked;
};

/// The area window: the characters of one area as chips, its figures and, for the current master's
/// areas, its commands. The commands go to whoever listens to the buttons and the drop-down.
class TCharaListWindow : public TGcnWindow
{
public:
	/// No area; title bar 20 pixels, not opaque.
	TCharaListWindow();

	/// Shows the area with nothing selected; the standing order drop-down follows it.
	void SetArea(int area);
	/// Shows or hides the commands, sizes the window and shows it.
	void ShowAreaControls(bool show);
	/// No selected character; hire and dismiss unusable.
	void ClearSelection();
	/// While locked, presses on the characters change nothing.
	void Lock(bool locked) { m_CharaPane.Lock(locked); }
	int GetArea() const { return m_Area; }
	/// The selected character's position in the area; -1 for none.
	int GetSelectedRow() const { return m_CharaPane.m_Selected; }

	/// The frame with the area's name as a bold caption.
	virtual void draw(gcn::Graphics* graphics);

	TAreaCharaListPane m_CharaPane;
	TAreaInfoPane m_InfoPane;
	TAreaOpePane m_OpePane;

private:
	/// Receives the character pane's presses for the window.
	class TPaneMouse : public TMouseHandler
	{
	public:
		explicit TPaneMouse(TCharaListWindow& window) : m_Window(window) {}
		/// The selection may have changed: hire and dismiss follow it.
		virtual void mousePressed(gcn::MouseEvent&) { m_Window.UpdateButtons(); }
		virtual void mouseMoved(gcn::MouseEvent&) {}

	private:
		TCharaListWindow& m_Window;
	};

	/// Hire and dismiss usable only for a selected character that has not acted.
	void UpdateButtons();

	TPaneMouse m_PaneMouse;

	int m_Area;
};

#endif
