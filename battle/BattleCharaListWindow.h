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
	/// Width of the pane in pixels.
	static const int WIDTH = 464;
	/// Height of the pane in pixels, room for the gauge strip, the titles and a column of ten 32-pixel entries.
	static const int HEIGHT = 392;
	/// Entries of a column.
	static const int COLUMN_ENTRIES = 10;
	/// Width of a column in pixels: the chip and the HP and MP texts beside it.
	static const int COLUMN_WIDTH = 104;

	/// No sides, no gauges.
	TBattleCharaListPane();

	/// Side i (0 or 1) with the definition index of its master (-1 neutral) and its charas (null: none).
	void SetSide(int i, int masterData, const std::vector<TCharaInstance>* charas);
	/// Where entry n of the charas listed from one edge goes, relative to the list's top corner on that edge.
	static void EntryPlace(int n, int& column, int& row);

	/// The gauge strip when shown, the list's colour, then both sides' titles and entries.
	virtual void draw(gcn::Graphics* graphics);

	/// Shows the gauge strip over the list.
	bool m_GaugesShown;
	/// What the gauge strip shows, as the controller last sent it.
	TSideGauges m_Gauges;

private:
	/// Side 0 from the right edge, its columns growing leftwards, side 1 from the left edge, each under its
	/// title ("<master>軍" or "中立軍"), from the pixel row top down.
	void DrawSide(gcn::Graphics* graphics, int side, int top) const;

	/// Definition index of each side's master; -1 for a neutral side.
	std::array<int, 2> m_Masters;
	/// Each side's charas, the caller's lists; null for none.
	std::array<const std::vector<TCharaInstance>*, 2> m_Sides;
};

/// The window of the chara list; a click inside hides it when so set.
class TBattleCharaListWindow : public TGcnWindow
{
public:
	/// Holds the pane; laid out by the skin at its first showing.
	TBattleCharaListWindow();

	/// Shows the sides (those past the second are not listed); a set flag shows the gauges and hides the window on a click.
	void Show(const std::vector<int>& masters, const std::vector<std::vector<TCharaInstance>*>& sides, bool flag);
	/// A press inside hides the window when so set (consumed); any other press is the window's own.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

	/// The list itself.
	TBattleCharaListPane m_Pane;

private:
	/// A press inside hides the window (set by Show's flag).
	bool m_HideOnClick;
	/// The skin has laid the window out.
	bool m_LaidOut;
};

#endif
