#ifndef MORVALETH_FRONT_SCESELECTWINDOW_H
#define MORVALETH_FRONT_SCESELECTWINDOW_H

#include "gui/GcnWindow.h"
#include "gui/TextPane.h"
#include "model/ScenarioInfo.h"

#include <memory>
#include <string>
#include <vector>
#include <guichan/actionlistener.hpp>
#include <guichan/listmodel.hpp>
#include <guichan/selectionlistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/listbox.hpp>
#include <guichan/widgets/radiobutton.hpp>
#include <guichan/widgets/scrollarea.hpp>

/// The titles of the scanned scenarios.
class TSceSelectListModel : public gcn::ListModel
{
public:
	/// No list until the pane hands its own over.
	TSceSelectListModel() : m_Scenarios(nullptr) {}
	/// One row per scanned scenario; none before the scan.
	virtual int getNumberOfElements();
	/// The title of scenario i; empty outside the list.
	virtual std::string getElementAt(int i);

	/// The pane's scenario list; null until the scan.
	const std::vector<TScenarioEntry>* m_Scenarios;
};

/// The chapter names of the scenario picked.
class TChapterSelectListModel : public gcn::ListModel
{
public:
	/// No scenario until one is picked.
	TChapterSelectListModel() : m_Scenario(nullptr) {}
	/// One row per readable chapter of the scenario picked; none before one is.
	virtual int getNumberOfElements();
	/// The name of chapter i; empty outside the list.
	virtual std::string getElementAt(int i);

	/// The scenario picked; null before one is.
	const TScenarioInfo* m_Scenario;
};

/// The first screen of a new game: a scenario, one of its chapters with its explanation, a level 1 to 5,
/// then "開始" builds the game and goes on to the master select; "取消" goes back to the start menu.
/// What a list highlights is what is picked, whether a click, the wheel or a key moved it.
class TSceSelectPane : public gcn::Container, public gcn::ActionListener, public gcn::SelectionListener
{
public:
	/// The scenario list, the chapter list, the hidden level buttons and the explanation over "開始" (greyed out)
	/// and "取消", on a see-through pane of 588 x 448; no scenario listed before ScanScenarios.
	TSceSelectPane();

	/// Lists the scenarios of the folder "Scenario" under the data root that can be read; a missing or
	/// unreadable one is left out.
	void ScanScenarios(const std::string& rootDir);
	/// The level chosen, 1 to 5; 1 after an Error when none is.
	int GetSelectedLevel() const;
	/// No explanation, "開始" disabled, the level buttons hidden.
	void ResetChapterSelection();
	/// Whether "開始" can be pressed.
	bool CanStart() const { return m_StartButton.isEnabled(); }

	/// "開始" or "取消".
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// Another scenario or chapter highlighted: its chapters, or its explanation, levels and "開始".
	virtual void valueChanged(const gcn::SelectionEvent& event);
	/// The controls, and "ゲームレベル" once a chapter is picked.
	virtual void draw(gcn::Graphics* graphics);

	/// "開始": builds the game of the chapter picked at the level chosen; usable only with a chapter picked.
	gcn::Button m_StartButton;
	/// "取消": back to the start menu.
	gcn::Button m_CancelButton;
	/// The explanation of the chapter picked.
	TGcnTextPane m_Explanation;
	/// "1" to "5"; "3" selected at first.
	std::unique_ptr<gcn::RadioButton> m_Levels[5];
	/// The scenarios the scan found, each with its folder name and its chapters' heads.
	std::vector<TScenarioEntry> m_Scenarios;
	/// The rows of the scenario list: the titles of m_Scenarios.
	TSceSelectListModel m_ScenarioModel;
	/// The rows of the chapter list: the chapters of the scenario picked.
	TChapterSelectListModel m_ChapterModel;
	/// The scenarios; picking one lists its chapters.
	gcn::ListBox m_ScenarioList;
	/// Scrolls the scenario list up and down within 256 x 160.
	gcn::ScrollArea m_ScenarioArea;
	/// The chapters; picking one shows its explanation and offers the levels and "開始".
	gcn::ListBox m_ChapterList;
	/// Scrolls the chapter list within 288 x 80, so that a scenario of more than five chapters
	/// has each of them in reach and its rows never cover the level buttons below.
	gcn::ScrollArea m_ChapterArea;

private:
	/// Sets up a list box inside its scroll area: the area's colours and policies, the list as wide as the
	/// area less its scrollbar.
	void PlaceList(gcn::ListBox& list, gcn::ScrollArea& area, int x, int y, int width, int height);
	/// The list fitted to its rows again, as wide as its area less the scrollbar, scrolled to the top.
	static void FitList(gcn::ListBox& list, gcn::ScrollArea& area);
	/// Shows the chapters of the scenario picked.
	void ScenarioPicked();
	/// Shows the explanation and offers the levels and "開始" for the chapter picked.
	void ChapterPicked();
	/// Builds the game of the chapter picked and goes on to the master select, or tells why it cannot.
	void Start();
};

/// The window of the scenario select.
class TSceSelectWindow : public TGcnWindow
{
public:
	/// The pane as the window's body, the window painting none of its own.
	TSceSelectWindow();

	/// The window's only child: the lists, the levels, the explanation and the buttons.
	TSceSelectPane m_Pane;
};

#endif
