#include "battle/CharaListPane.h"
#include "gui/MouseHandler.h"

#include <gtest/gtest.h>
#include <guichan/mouseevent.hpp>
#include <vector>

namespace
{
/// Counts what the pane hands on.
struct TRecordingHandler : public TMouseHandler
{
	void mousePressed(gcn::MouseEvent&) override { ++pressed; }
	void mouseMoved(gcn::MouseEvent&) override { ++moved; }
	int pressed = 0;
	int moved = 0;
};

gcn::MouseEvent Event(gcn::Widget& source, unsigned type, int x, int y)
{
	return gcn::MouseEvent(&source, false, false, false, false, type, gcn::MouseEvent::LEFT, x, y, 1);
}

class CharaListPaneTest : public ::testing::Test
{
protected:
	CharaListPaneTest() : list(12), marks(12, 0) {}

	void Move(int x, int y)
	{
		gcn::MouseEvent event = Event(pane, gcn::MouseEvent::MOVED, x, y);
		pane.mouseMoved(event);
	}

	TCharaListPane pane;
	std::vector<TCharaInstance> list;
	std::vector<int> marks;
};
}

TEST_F(CharaListPaneTest, CellsAreFortyPixelsFiveToARowAndIndicesMayLieBeyondTheList)
{
	EXPECT_EQ(200, pane.getWidth());
	EXPECT_EQ(160, pane.getHeight());
	const struct {
		int x, y, index;
	} cases[] = {
		{ 0, 0, 0 }, { 39, 39, 0 }, { 40, 0, 1 }, { 39, 40, 5 }, { 199, 0, 4 }, { 0, 80, 10 }, { 40, 80, 11 },
		{ 80, 80, 12 }, { 199, 159, 19 },
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.index, pane.GetIndexAt(c.x, c.y)) << c.x << "," << c.y;
	// Without a list, or with a shorter one, the cell's index is the same.
	pane.SetList(&list, nullptr);
	EXPECT_EQ(19, pane.GetIndexAt(199, 159));
}

TEST_F(CharaListPaneTest, OnlyAShownEntryIsUnderTheMouseNotAMarkedOneNorACellBeyondTheList)
{
	EXPECT_EQ(-1, pane.GetShownEntryAt(5, 5)) << "no list";
	marks[3] = 1;
	pane.SetList(&list, &marks);
	EXPECT_EQ(0, pane.GetShownEntryAt(5, 5));
	EXPECT_EQ(-1, pane.GetShownEntryAt(125, 5)) << "marked entry 3 leaves its cell empty";
	EXPECT_EQ(4, pane.GetShownEntryAt(165, 5)) << "entry 4 keeps its own cell";
	EXPECT_EQ(11, pane.GetShownEntryAt(45, 85));
	EXPECT_EQ(-1, pane.GetShownEntryAt(85, 85)) << "cell 12 lies beyond the list";
	pane.SetList(&list, nullptr);
	EXPECT_EQ(3, pane.GetShownEntryAt(125, 5)) << "without marks every entry is shown";
}

TEST_F(CharaListPaneTest, HoverFollowsEntriesKeepsItsLastOneOverEmptyCellsAndANewListClearsIt)
{
	TRecordingHandler handler;
	pane.SetMouseHandler(&handler);
	Move(45, 45);
	EXPECT_EQ(-1, pane.m_Hovered) << "no list";
	pane.SetList(&list, &marks);
	Move(165, 5);
	EXPECT_EQ(4, pane.m_Hovered);
	Move(185, 125);
	EXPECT_EQ(4, pane.m_Hovered) << "cell 19 is beyond the list";
	Move(45, 85);
	EXPECT_EQ(11, pane.m_Hovered);
	EXPECT_EQ(4, handler.moved) << "every move is handed on";

	gcn::MouseEvent press = Event(pane, gcn::MouseEvent::PRESSED, 5, 5);
	pane.mousePressed(press);
	EXPECT_EQ(1, handler.pressed);
	EXPECT_EQ(11, pane.m_Hovered) << "a press changes nothing in the pane";
	EXPECT_EQ(-1, pane.m_Selected);

	pane.SetList(&list, &marks);
	EXPECT_EQ(-1, pane.m_Hovered);
}
