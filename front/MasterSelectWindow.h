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
		int master;
		int position;
	};

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
	/// The tile under the pointer becomes the hovered one.
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	bool m_Built;
	int m_Columns;
	int m_Rows;
	std::vector<TEntry> m_Entries;
	/// One flag per tile.
	std::vector<int> m_Chosen;
	/// The tile under the pointer; -1 for none.
	int m_Hovered;
};

/// The master select: the tiles, "全て選択", "全て解除", "開始" (with a master chosen) and "取消", and the
/// handle, difficulty and explanation of the master under the pointer.
class TMasterSelectPane : public gcn::Container, public gcn::ActionListener
{
public:
	TMasterSelectPane();

	/// Builds the tiles of the held game's chapter.
	void RefreshList();
	/// Empties the tiles.
	void ResetList();

	/// "開始" starts the game with the chosen masters, "取消" goes back, the others choose all or none.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The hovered master's texts, and "開始" usable with a master chosen.
	virtual void logic();

	gcn::Button m_AllButton;
	gcn::Button m_NoneButton;
	gcn::Button m_StartButton;
	gcn::Button m_CancelButton;
	gcn::ScrollArea m_TileArea;
	TGcnMasterPane m_Masters;
	TGcnTextPane m_Handle;
	TGcnTextPane m_Difficulty;
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
	TMasterSelectWindow();

	TMasterSelectPane m_Pane;
};

#endif
