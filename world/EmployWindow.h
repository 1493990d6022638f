#ifndef MORVALETH_WORLD_EMPLOYWINDOW_H
#define MORVALETH_WORLD_EMPLOYWINDOW_H

#include "gui/GcnWindow.h"

#include <string>
#include <vector>
#include <guichan/listmodel.hpp>
#include <guichan/selectionlistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/listbox.hpp>
#include <guichan/widgets/scrollarea.hpp>

class TMorvalethData;

/// The hire candidates as list rows: name and cost, marked "同" when of the hiring character's race.
class TEmployListModel : public gcn::ListModel
{
public:
	/// No candidates and no data: every row is empty until Set.
	TEmployListModel() : m_Race(-1), m_Data(nullptr) {}
	/// The candidates (character definitions) and the race of the character who hires, on the data.
	void Set(const std::vector<int>& candidates, int race, const TMorvalethData* data);

	/// One row per candidate.
	virtual int getNumberOfElements();
	/// Name and cost in Ley, with "同" in front for the hiring character's race; empty without data or out of
	/// range.
	virtual std::string getElementAt(int i);

	/// The candidates' character definitions, in row order.
	std::vector<int> m_Candidates;
	/// The hiring character's race; -1 before Set.
	int m_Race;

private:
	/// The scenario data the rows are read from; null before Set.
	const TMorvalethData* m_Data;
};

/// The hire window: the candidates of one hiring character, "雇う" while the chosen one is affordable,
/// and "やめる". Both buttons go to whoever listens to them.
class TEmployWindow : public TGcnWindow, public gcn::SelectionListener
{
public:
	/// Empty; title bar 20 pixels.
	TEmployWindow();
	/// Opens the window on the candidates with nothing chosen and "雇う" unusable.
	void Setup(const std::vector<int>& candidates, int race, int funds, const TMorvalethData& data);
	/// The chosen candidate (a character definition); -1 for none.
	int GetSelectedChara() const;
	/// Whether the chosen candidate may be hired with the funds.
	bool CanHireSelected() const;

	/// The frame and the title.
	virtual void draw(gcn::Graphics* graphics);
	/// Another candidate highlighted (by a click, the wheel or a key): "雇う" is usable when the funds cover its cost.
	virtual void valueChanged(const gcn::SelectionEvent& event);

	/// The candidates' rows.
	TEmployListModel m_Model;
	/// The rows; a choice is heard by the window, a double click by the view (the candidate's full status).
	gcn::ListBox m_List;
	/// Holds the list, so that a long one scrolls.
	gcn::ScrollArea m_ListArea;
	/// "雇う" and "やめる", reported to whoever listens to them.
	gcn::Button m_HireButton;
	gcn::Button m_CancelButton;

private:
	/// The hiring master's money when the window opened.
	int m_Funds;
	/// The scenario data of the candidates' costs; null before Setup.
	const TMorvalethData* m_Data;
	/// The list and the buttons have been placed and added.
	bool m_LaidOut;
};

/// A hero found in an area: who, where, what it costs, and the question.
class TEmployHeroPane : public gcn::Container
{
public:
	/// Buttons placed, 196 x 160, nothing shown.
	TEmployHeroPane();
	/// The area the hero was found in, its name and chip, its hire and upkeep costs, the funds and "雇いますか？";
	/// only the ground and the buttons without a hero.
	virtual void draw(gcn::Graphics* graphics);

	/// "詳細", "雇う" and "雇わない", reported to whoever listens to them.
	gcn::Button m_StatusButton;
	gcn::Button m_HireButton;
	gcn::Button m_DeclineButton;
	/// The area the hero was found in; -1 for none.
	int m_Area;
	/// Character definition of the hero; -1 for none.
	int m_Chara;
	/// The master's money, shown beside the costs.
	int m_Funds;
};

/// The window offering a found hero; its three buttons go to whoever listens to them.
class TEmployHeroWindow : public TGcnWindow
{
public:
	/// Not opaque, holding the pane, skinned when there is a skin.
	TEmployHeroWindow();
	/// Shows the hero of the area with the funds, sized to the pane, on top and in the middle of the screen.
	void Show(int area, int chara, int funds);

	/// The hero and the three buttons.
	TEmployHeroPane m_Pane;
};

#endif
