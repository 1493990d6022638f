#ifndef MORVALETH_BATTLE_BATTLECHARALISTWINDOW_H
#define MORVALETH_BATTLE_BATTLECHARALISTWINDOW_H

#include "battle/BattleView.h"
#include "gui/GcnWindow.h"
#include "model/GameRecords.h"

#include <array>
#include <vector>
#include <guichan/widget.hpp>

/// Every chara still on the field of both sides, with its chip, HP and MP, under its side's title:
/// the attackers from the left edge, the defenders from the right, ten to a column; optionally
/// the sides' gauges above.
class TBattleCharaListPane : public gcn::Widget
{
public:
	static const int WIDTH = 464;
	static const int HEIGHT = 392;
	/// Entries of a column, and a column's width.
	static const int COLUMN_ENTRIES = 10;
	static const int COLUMN_WIDTH = 104;

	/// No sides, no gauges.
	TBattleCharaListPane();

	/// Side i (0 or 1) with the definition index of its master (-1 neutral) and its charas (null: none).
	void SetSide(int i, int masterData, const std::vector<TCharaInstance>* charas);
	/// Where entry n of the charas listed from one edge goes, relative to the list's top corner on that edge.
	static void EntryPlace(int n, int& column, int& row);

	virtual void draw(gcn::Graphics* graphics);

	/// Shows the gauge strip over the list.
	bool m_GaugesShown;
	TSideGauges m_Gauges;

private:
	void DrawSide(gcn::Graphics* graphics, int side, int top) const;

	std::array<int, 2> m_Masters;
	std::array<const std::vector<TCharaInstance>*, 2> m_Sides;
};

/// The window of the chara list; a click inside hides it when so set.
class TBattleCharaListWindow : public TGcnWindow
{
public:
	TBattleCharaListWindow();

	/// Shows the sides (those past the second are not listed); a set flag shows the gauges and hides the window on a click.
	void Show(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides, bool flag);
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

	TBattleCharaListPane m_Pane;

private:
	bool m_HideOnClick;
	bool m_LaidOut;
};

#endif
