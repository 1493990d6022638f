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
	/// Always five.
	virtual int getNumberOfElements();
	/// The order's name ("部隊訓練", "人材捜索", "街建設", "城壁建設", "道路建設"); empty out of range.
	virtual std::string getElementAt(int i);
};

/// An area's figures: income, traffic, buildings, characters of the owner's race and strength.
class TAreaInfoPane : public gcn::Widget
{
public:
	/// No area, 84 x 160, white text.
	TAreaInfoPane();
	/// The figures in an "エリア情報" frame: income, traffic (○ once the road is complete), town, wall and
	/// road levels against their maxima, then how many of its characters share the race of the owner's own
	/// character (when there is one) and the strength (power / 1000). Only the ground without an area.
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

	/// "移動", "雇用" and "解雇", reported to whoever listens to them.
	gcn::Button m_MoveButton;
	gcn::Button m_EmployButton;
	gcn::Button m_DismissButton;
	/// The names of the standing orders in the drop-down.
	TAreaOpeListModel m_Model;
	/// The standing order; a choice is reported to whoever listens to its selection.
	gcn::DropDown m_Operation;

private:
	/// The buttons and the drop-down have been placed and added.
	bool m_LaidOut;
	/// The commands show, and with them the caption.
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
	/// A left press on an entry selects it unless locked; the grid then hands the press to the handler.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	/// Presses select nothing, as while the employ window is open.
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
	/// The area shown; -1 for none.
	int GetArea() const { return m_Area; }
	/// The selected character's position in the area; -1 for none.
	int GetSelectedRow() const { return m_CharaPane.m_Selected; }

	/// The frame with the area's name as a bold caption.
	virtual void draw(gcn::Graphics* graphics);

	/// The characters at the top left, the figures beside them and the commands below; the view listens to
	/// the characters and the commands.
	TAreaCharaListPane m_CharaPane;
	TAreaInfoPane m_InfoPane;
	TAreaOpePane m_OpePane;

private:
	/// Receives the character pane's presses for the window.
	class TPaneMouse : public TMouseHandler
	{
	public:
		/// Reports to the window it belongs to.
		explicit TPaneMouse(TCharaListWindow& window) : m_Window(window) {}
		/// The selection may have changed: hire and dismiss follow it.
		virtual void mousePressed(gcn::MouseEvent&) { m_Window.UpdateButtons(); }
		/// Moves change nothing here; the view hears them itself.
		virtual void mouseMoved(gcn::MouseEvent&) {}

	private:
		/// The window whose buttons follow the selection.
		TCharaListWindow& m_Window;
	};

	/// Hire and dismiss usable only for a selected character that has not acted.
	void UpdateButtons();

	/// The character pane's handler.
	TPaneMouse m_PaneMouse;

	/// The area shown; -1 for none.
	int m_Area;
};

#endif
