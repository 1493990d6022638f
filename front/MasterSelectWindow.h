#ifndef MORVALETH_FRONT_MASTERSELECTWINDOW_H
#define MORVALETH_FRONT_MASTERSELECTWINDOW_H

#include "gui/GcnWindow.h"
#include "gui/TextPane.h"

#include <vector>
#include <guichan/actionlistener.hpp>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/scrollarea.hpp>

class TMorvalethData;
struct TChapterInfo;

/// The chapter's masters that the player may take, as 128 x 128 tiles in two rows, filled column by column;
/// a click toggles a tile, which then reads "Player".
class TGcnMasterPane : public gcn::Widget, public gcn::MouseListener
{
public:
	/// One tile: the master's definition and its place in the chapter's master list.
	struct TEntry
	{
		/// Index of the master's definition; -1 for an id the database does not have, whose tile stays blank.
		int master;
		/// Index in the chapter's master list, where its handle, difficulty and explanation are.
		int position;
	};

	/// No tiles yet, two rows; listens to its own mouse events.
	TGcnMasterPane();

	/// One tile per master of the chapter that is not marked not-player, in chapter order; none chosen.
	void Build(const TChapterInfo& chapter, const TMorvalethData& data);
	/// No tiles.
	void Reset();
	/// The tile at a point of the pane; -1 for none.
	int EntryAt(int x, int y) const;
	/// Chooses or unchooses a tile.
	void Toggle(int entry);
	/// Chooses every tile, or none.
	void ChooseAll(bool chosen);
	/// Whether any tile is chosen.
	bool AnyChosen() const;
	/// The master definitions of the chosen tiles, in chapter order.
	void GetChosen(std::vector<int>& masters) const;

	/// Faces or chips, names, and "Player" on the chosen tiles.
	virtual void draw(gcn::Graphics* graphics);
	/// A left press toggles the tile under the pointer.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);
	/// The tile under the pointer, when there is one, becomes the hovered one; off the tiles the last one stays.
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	/// Build has run since the last Reset; the pane draws nothing and the texts stay as they are until it has.
	bool m_Built;
	/// Columns and rows of tiles (two rows): the pane is that many tiles wide and high, scrolling in its area.
	int m_Columns;
	int m_Rows;
	/// The tiles, column by column.
	std::vector<TEntry> m_Entries;
	/// One flag per tile, 1 when the player takes that master.
	std::vector<int> m_Chosen;
	/// The tile under the pointer; -1 for none.
	int m_Hovered;
};

/// The master select: the tiles, "全て選択", "全て解除", "開始" (with a master chosen) and "取消", and the
/// handle, difficulty and explanation of the master under the pointer.
class TMasterSelectPane : public gcn::Container, public gcn::ActionListener
{
public:
	/// The tile area above the three texts and the buttons, on a skinned pane of 624 x 532; "開始" greyed out.
	TMasterSelectPane();

	/// Builds the tiles of the held game's chapter.
	void RefreshList();
	/// Empties the tiles.
	void ResetList();

	/// "開始" starts the game with the chosen masters, "取消" goes back, the others choose all or none.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The hovered master's texts, and "開始" usable with a master chosen.
	virtual void logic();

	/// "全て選択": chooses every tile.
	gcn::Button m_AllButton;
	/// "全て解除": chooses none.
	gcn::Button m_NoneButton;
	/// "開始": starts the game with the chosen masters; greyed out while none is chosen.
	gcn::Button m_StartButton;
	/// "取消": back to the scenario select, the held new game released.
	gcn::Button m_CancelButton;
	/// Scrolls the tiles in 616 x 288.
	gcn::ScrollArea m_TileArea;
	/// The tiles.
	TGcnMasterPane m_Masters;
	/// The hovered master's handle, one line.
	TGcnTextPane m_Handle;
	/// The hovered master's difficulty, one line.
	TGcnTextPane m_Difficulty;
	/// The hovered master's explanation, 160 pixels high.
	TGcnTextPane m_Explanation;

private:
	/// "開始" follows whether a master is chosen.
	void UpdateStartButton();
	/// The texts of the hovered master.
	void ShowHovered();
};

/// The window of the master select.
class TMasterSelectWindow : public TGcnWindow
{
public:
	/// The pane as the window's body, the window painting none of its own.
	TMasterSelectWindow();

	/// The window's only child: the tiles, texts and buttons.
	TMasterSelectPane m_Pane;
};

#endif
