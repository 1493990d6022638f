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
/// Receives the panes' choices.
class ActionListener;
}

/// The magic of one group that a chara holds, a row per magic and a cell per entry within its rank.
/// A left press on an enabled cell reports the cell's special as the action id ("%d"); any other
/// button reports "-1", which cancels the choice.
class TMagicGroupPane : public gcn::Widget, public gcn::MouseListener
{
public:
	/// Width of a pane in pixels, which the window's grid of panes follows.
	static const int WIDTH = 240;
	/// Height of a pane in pixels; the guidance line stands 20 pixels above its foot.
	static const int HEIGHT = 264;

	/// Empty; reports to the listener (null: nobody).
	explicit TMagicGroupPane(gcn::ActionListener* listener);

	/// Lists the group's magic for the character definition with that MP and the side's uses of each magic.
	void Setup(int charaData, int mp, int group, const std::vector<int>& useCounts);
	/// The rows the last Setup listed.
	const std::vector<TMagicRow>& Rows() const { return m_Rows; }

	/// The pane's colour; once set up, the group's title in its colour, each row and, under the pointer, the
	/// magic's guidance and the lit cell.
	virtual void draw(gcn::Graphics* graphics);
	/// Follows the cell under the pointer.
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent);
	/// Nothing is lit once the pointer has left the pane.
	virtual void mouseExited(gcn::MouseEvent& mouseEvent);
	/// Reports the choice as the class says; a left press off an enabled cell reports nothing. Consumed either way.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	/// Row r: the magic's name, then a framed cell numbered 1..4 for each entry within the rank (grey when disabled).
	void DrawRow(gcn::Graphics* graphics, int r) const;
	/// The guidance of the magic under the pointer along the pane's foot, centred when it fits, and the cell
	/// under the pointer filled (grey when disabled).
	void DrawHover(gcn::Graphics* graphics) const;

	/// Where the choice goes; null for nobody.
	gcn::ActionListener* m_Listener;
	/// The magic group shown; -1 until Setup.
	int m_Group;
	/// The group's magic the chara holds an entry of, in the group's order.
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
	/// Takes the panes out of the window before they go.
	~TMagicWindow() override;

	/// One pane per group of the chara's ranks, for its MP and the side's uses; shown, centred and raised.
	void SetChara(const TCharaInstance& chara, const std::vector<int>& useCounts);
	/// Whether the widget is one of the panes.
	bool IsPane(const gcn::Widget* widget) const;
	/// The panes, in group order.
	const std::vector<std::unique_ptr<TMagicGroupPane>>& Panes() const { return m_Panes; }

private:
	/// Takes every pane out of the window and destroys it.
	void RemovePanes();

	/// Where the panes report; null for nobody.
	gcn::ActionListener* m_Listener;
	/// One pane per magic group the chara's ranks cover, in group order.
	std::vector<std::unique_ptr<TMagicGroupPane>> m_Panes;
	/// The skin has laid the window out (once, at the first SetChara with a skin loaded).
	bool m_LaidOut;
};

#endif
