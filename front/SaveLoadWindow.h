#ifndef MORVALETH_FRONT_SAVELOADWINDOW_H
#define MORVALETH_FRONT_SAVELOADWINDOW_H

#include "gui/GcnWindow.h"

#include <string>
#include <vector>
#include <guichan/actionlistener.hpp>
#include <guichan/listmodel.hpp>
#include <guichan/selectionlistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/listbox.hpp>
#include <guichan/widgets/scrollarea.hpp>

/// The save slots' rows: "%d %s" with the slot number and its label.
class TSaveListModel : public gcn::ListModel
{
public:
	/// One row per label.
	virtual int getNumberOfElements();
	/// The row of slot i; empty outside the labels.
	virtual std::string getElementAt(int i);

	/// One label per slot (Shift-JIS).
	std::vector<std::string> m_Labels;
};

/// The slot list with the OK button ("読込" or "保存") and "取消", on the pane's own ground as the menus are.
class TSaveLoadPane : public gcn::Container
{
public:
	/// A 720 x 196 pane with the skinned list and buttons; OK's caption is the window's to set.
	TSaveLoadPane();

	/// Sizes the list to its rows; more than fit scroll.
	void FitList();

	/// The slots' rows the list shows.
	TSaveListModel m_Model;
	/// The rows, one per slot; the chosen row is the slot OK acts on.
	gcn::ListBox m_List;
	/// Holds the list, 712 pixels wide, scrolling up and down when the rows are higher than 168 pixels.
	gcn::ScrollArea m_ListArea;
	/// "読込" or "保存", as the window's mode says; greyed out until it can act on the chosen slot.
	gcn::Button m_OkButton;
	/// "取消": closes without loading or saving.
	gcn::Button m_CancelButton;
};

/// Lists the ten save slots and loads or saves the one chosen; the game master reports a failure. OK stays
/// disabled until a slot is chosen, and "読込" until it holds a save.
class TSaveLoadWindow : public TGcnWindow, public gcn::ActionListener, public gcn::SelectionListener
{
public:
	/// Set to load, OK captioned "読込"; the window paints no body of its own: the opaque pane is its body.
	TSaveLoadWindow();

	/// Loads (mode 0) or saves (any other mode) from now on, on the slots' labels.
	void Open(int mode, const std::vector<std::string>& labels);
	/// 0 load, otherwise save.
	int GetMode() const { return m_Mode; }

	/// OK with a usable slot loads or saves it and closes; "取消" closes.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// Another row chosen: OK follows whether its slot can be used.
	virtual void valueChanged(const gcn::SelectionEvent& event);

	/// The window's only child: the list and the buttons.
	TSaveLoadPane m_Pane;

private:
	/// Whether OK can act on the slot: any slot to save into, a slot that holds a save to load.
	bool CanUse(int slot) const;
	/// OK can be pressed when it can act on the chosen slot.
	void EnableOk();

	/// 0 load, otherwise save; set by Open.
	int m_Mode;
};

#endif
