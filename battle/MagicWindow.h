#ifndef MORVALETH_BATTLE_MAGICWINDOW_H
#define MORVALETH_BATTLE_MAGICWINDOW_H

#include "battle/MagicRules.h"
#include "gui/GcnWindow.h"
#include "model/GameRecords.h"

#include <memory>
#include <vector>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>

namespace gcn
{
class ActionListener;
}

/// The magic of one group that a chara holds, a row per magic and a cell per entry within its rank.
/// A left press on an enabled cell reports the cell's special as the action id ("%d"); any other
/// button reports "-1", which cancels the choice.
class TMagicGroupPane : public gcn::Widget, public gcn::MouseListener
{
public:
	static const int WIDTH = 240;
	static const int HEIGHT = 264;

	/// Empty; reports to the listener (null: nobody).
	explicit TMagicGroupPane(gcn::ActionListener* listener);

	/// Lists the group's magic for the character definition with that MP and the side's uses of each magic.
	void Setup(int charaData, int mp, int group, const std::vector<int>& useCounts);
	const std::vector<TMagicRow>& Rows() const { return m_Rows; }

	virtual void draw(gcn::Graphics* graphics);
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent);
	virtual void mouseExited(gcn::MouseEvent& mouseEvent);
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	void DrawRow(gcn::Graphics* graphics, int r) const;
	void DrawHover(gcn::Graphics* graphics) const;

	gcn::ActionListener* m_Listener;
	int m_Group;
	std::vector<TMagicRow> m_Rows;
	/// The cell under the pointer; magic -1 for none.
	TMagicHit m_Hover;
};

/// The magic a chara may cast, one pane per magic group, three panes to a row.
class TMagicWindow : public TGcnWindow
{
public:
	/// No panes; the panes report to the listener (null: nobody).
	explicit TMagicWindow(gcn::ActionListener* listener);
	~TMagicWindow() override;

	/// One pane per group of the chara's ranks, for its MP and the side's uses; shown, centred and raised.
	void SetChara(const TCharaInstance& chara, const std::vector<int>& useCounts);
	/// Whether the widget is one of the panes.
	bool IsPane(const gcn::Widget* widget) const;
	const std::vector<std::unique_ptr<TMagicGroupPane>>& Panes() const { return m_Panes; }

private:
	void RemovePanes();

	gcn::ActionListener* m_Listener;
	std::vector<std::unique_ptr<TMagicGroupPane>> m_Panes;
	bool m_LaidOut;
};

#endif
