#include "battle/CharaListPane.h"

#include <gtest/gtest.h>
#include <guichan/mouseevent.hpp>
#include <vector>

TEST(CharaListPane, CellsAreFortyPixelsFiveToARowAndOnlyShownEntriesCountForClicksAndHover)
{
	TCharaListPane pane;
	const struct {
		int x, y, index;
	} cells[] = { { 0, 0, 0 }, { 39, 39, 0 }, { 40, 0, 1 }, { 39, 40, 5 }, { 40, 80, 11 }, { 199, 159, 19 } };
	for (const auto& c : cells)
		EXPECT_EQ(c.index, pane.GetIndexAt(c.x, c.y)) << c.x << "," << c.y;

	std::vector<TCharaInstance> list(12);
	std::vector<int> marks(12, 0);
	marks[3] = 1;
	pane.SetList(&list, &marks);
	EXPECT_EQ(19, pane.GetIndexAt(199, 159)) << "beyond the list all the same";
	EXPECT_EQ(-1, pane.GetShownEntryAt(125, 5)) << "marked entry 3 leaves its cell empty";
	EXPECT_EQ(4, pane.GetShownEntryAt(165, 5)) << "entry 4 keeps its own cell";
	EXPECT_EQ(-1, pane.GetShownEntryAt(85, 85)) << "cell 12 lies beyond the list";

	auto move = [&pane](int x, int y) {
		gcn::MouseEvent event(&pane, false, false, false, false, gcn::MouseEvent::MOVED, 0, x, y, 0);
		pane.mouseMoved(event);
	};
	move(165, 5);
	EXPECT_EQ(4, pane.m_Hovered);
	move(185, 125);
	EXPECT_EQ(4, pane.m_Hovered) << "an empty cell beyond the list keeps the last entry";
	pane.SetList(&list, &marks);
	EXPECT_EQ(-1, pane.m_Hovered) << "a new list forgets it";
}
