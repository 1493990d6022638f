#include "front/SaveLoadWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "front/ConfigWidgets.h"
#include "gui/SkinManager.h"

namespace
{
const int ROW_HEIGHT = 16;
const int LIST_WIDTH = 712;
const int LIST_MAX_HEIGHT = 168;
const int MODE_LOAD = 0;
}

int TSaveListModel::getNumberOfElements()
{
	return static_cast<int>(m_Labels.size());
}

std::string TSaveListModel::getElementAt(int i)
{
	if (i < 0 || i >= getNumberOfElements())
		return std::string();
	return FormatText("%d %s", i, m_Labels[i]);
}

TSaveLoadPane::TSaveLoadPane() : m_List(&m_Model), m_CancelButton("取消")
{
	// Opaque, as a container is made: the pane is the window's body, and what lies under the window does not
	// show around the list and the buttons.
	setSize(720, 196);
	if (g_GameMaster.m_Skin) {
		g_GameMaster.m_Skin->SetupListBox(&m_List);
		g_GameMaster.m_Skin->SetupScrollArea(&m_ListArea);
	}
	m_ListArea.setScrollbarWidth(ScrollbarWidth());
	m_ListArea.setBaseColor(g_Config.GetGuiColor(GUICOLOR_LISTBOX_BACKGROUND));
	m_ListArea.setHorizontalScrollPolicy(gcn::ScrollArea::SHOW_NEVER);
	m_ListArea.setContent(&m_List);
	add(&m_ListArea, 4, 4);
	Place(*this, m_OkButton, 284, 168, 56, 24);
	Place(*this, m_CancelButton, 380, 168, 56, 24);
	SkinButton(m_OkButton, true);
	SkinButton(m_CancelButton, true);
	FitList();
}

void TSaveLoadPane::FitList()
{
	const int height = m_Model.getNumberOfElements() * ROW_HEIGHT;
	if (height > LIST_MAX_HEIGHT) {
		m_List.setWidth(LIST_WIDTH - m_ListArea.getScrollbarWidth());
		m_ListArea.setSize(LIST_WIDTH, LIST_MAX_HEIGHT);
	} else {
		m_List.setWidth(LIST_WIDTH);
		m_ListArea.setSize(LIST_WIDTH, height);
	}
}

TSaveLoadWindow::TSaveLoadWindow() : m_Mode(MODE_LOAD)
{
	setOpaque(false);
	add(&m_Pane);
	m_Pane.m_OkButton.addActionListener(this);
	m_Pane.m_CancelButton.addActionListener(this);
	m_Pane.m_List.addSelectionListener(this);
	m_Pane.m_OkButton.setCaption("読込");
	resizeToContent();
}

void TSaveLoadWindow::Open(int mode, const std::vector<std::string>& labels)
{
	m_Mode = mode;
	m_Pane.m_OkButton.setCaption(mode == MODE_LOAD ? "読込" : "保存");
	m_Pane.m_Model.m_Labels = labels;
	// A row chosen for an earlier list must not stand for a slot of this one; the list tells the window,
	// which sets OK for the new mode.
	m_Pane.m_List.setSelected(-1);
	m_Pane.FitList();
	EnableOk();
}

bool TSaveLoadWindow::CanUse(int slot) const
{
	const std::vector<std::string>& labels = m_Pane.m_Model.m_Labels;
	if (slot < 0 || slot >= static_cast<int>(labels.size()))
		return false;
	return m_Mode != MODE_LOAD || labels[slot] != TDremoGameMaster::EMPTY_SLOT_LABEL;
}

void TSaveLoadWindow::valueChanged(const gcn::SelectionEvent&)
{
	EnableOk();
}

// Without a chosen slot OK is greyed out, saving as loading: a press that would write nothing does not
// look as if it could.
void TSaveLoadWindow::EnableOk()
{
	SkinButton(m_Pane.m_OkButton, CanUse(m_Pane.m_List.getSelected()));
}

void TSaveLoadWindow::action(const gcn::ActionEvent& actionEvent)
{
	if (actionEvent.getSource() == &m_Pane.m_OkButton) {
		const int slot = m_Pane.m_List.getSelected();
		if (!CanUse(slot))
			return;
		if (m_Mode == MODE_LOAD)
			g_GameMaster.LoadGame(slot);
		else
			g_GameMaster.SaveGame(slot);
		g_GameMaster.CloseSaveLoadWindow();
	} else if (actionEvent.getSource() == &m_Pane.m_CancelButton)
		g_GameMaster.CloseSaveLoadWindow();
}
