#include "ModelFixture.h"

#include "battle/BattleMapPanes.h"
#include "battle/MagicRules.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
int Special(const std::string& id)
{
	return LoadedSample().GetSpecialIndex(id);
}

int Magic(const std::string& id)
{
	const TMorvalethData& data = LoadedSample();
	for (int i = 0; i < data.GetMagicCount(); ++i)
		if (data.GetMagicData(i).id == id)
			return i;
	return -1;
}

int Group(const std::string& id)
{
	const TMorvalethData& data = LoadedSample();
	for (int i = 0; i < data.GetMagicGroupCount(); ++i)
		if (data.GetMagicGroupData(i).id == id)
			return i;
	return -1;
}

int Cost(const std::string& special)
{
	return LoadedSample().GetSpecialData(Special(special)).ConsumeMP;
}

/// A chara of the sample's character with that MP.
TCharaInstance Chara(const std::string& id, int mp)
{
	TCharaInstance chara;
	chara.CharaIndex = LoadedSample().GetCharaIndex(id);
	chara.MP = mp;
	return chara;
}
}

// In the sample, sera holds fire rank 1 and light rank 3, the mage dark 1 and fire 2, leon nothing.
TEST(BattleMagic, WhoCastsWhatAtWhichMP)
{
	struct TCase
	{
		const char* chara;
		const char* special;
		int mpOverCost;
		bool casts;
	};
	const TCase cases[] = {
		{"sera", "firebolt", 0, true},
		{"sera", "firebolt", -1, false},
		{"sera", "quake", 100, false},       // rank 3 of fire
		{"sera", "raisedead", 0, true},      // rank 3 of light
		{"sera", "ward", 0, true},
		{"sera", "poisoncloud", 100, false}, // dark rank 0
		{"mage", "poisoncloud", 0, true},
		{"mage", "summonwolf", 100, false},  // the second entry asks for rank 3
		{"leon", "firebolt", 100, false},
		{"sera", "sword", 100, false},       // no magic lists it
	};
	for (const TCase& c : cases) {
		const TCharaInstance chara = Chara(c.chara, Cost(c.special) + c.mpOverCost);
		EXPECT_EQ(c.casts, CanCastSpecial(LoadedSample(), chara, Special(c.special))) << c.chara << " " << c.special;
	}
}

// The magic command is offered as soon as one entry within the ranks is affordable.
TEST(BattleMagic, CanUseMagicAtTheCheapestAffordableEntry)
{
	const TMorvalethData& data = LoadedSample();
	int cheapest = 1 << 30;
	for (const char* special : {"firebolt", "haste", "focus", "heal", "ward", "raisedead", "requiem", "curepoison",
			 "cureparalyze", "curesleep", "cureall", "curestone", "curedream", "shield", "aegis", "vigor", "meditation"})
		cheapest = std::min(cheapest, Cost(special));
	EXPECT_TRUE(CanUseMagic(data, Chara("sera", cheapest)));
	EXPECT_EQ(cheapest == 0, CanUseMagic(data, Chara("sera", cheapest - 1)));
	EXPECT_FALSE(CanUseMagic(data, Chara("leon", 999)));
}

// Rows list the magic with an entry within the rank; cells are enabled by MP and by the uses left.
TEST(BattleMagic, PaneRowsFollowRanksMPAndUsesLeft)
{
	const TMorvalethData& data = LoadedSample();
	const int sera = data.GetCharaIndex("sera");
	std::vector<int> uses(data.GetMagicCount(), 0);

	const std::vector<TMagicRow> fire = BuildMagicRows(data, sera, 999, Group("fire"), uses);
	ASSERT_EQ(2u, fire.size()) << "quake asks for rank 3";
	EXPECT_EQ(Magic("firebolt"), fire[0].magic);
	EXPECT_EQ(Magic("kindle"), fire[1].magic);
	EXPECT_EQ(Special("focus"), fire[1].cells[1].special);
	EXPECT_EQ(-1, fire[1].cells[2].special) << "insight asks for rank 2";

	const std::vector<TMagicRow> light = BuildMagicRows(data, sera, 999, Group("light"), uses);
	ASSERT_EQ(6u, light.size()) << "heal, raise, requiem, cure, purify and bless";
	EXPECT_EQ(Special("heal"), light[0].cells[0].special);
	EXPECT_EQ(Special("ward"), light[0].cells[1].special);
	EXPECT_EQ(-1, light[0].cells[2].special);
	EXPECT_TRUE(light[1].cells[0].enabled);

	// Raise dead may be cast once a battle; a limit of 0 (heal) never runs out.
	uses[Magic("raise")] = 1;
	uses[Magic("heal")] = 50;
	const std::vector<TMagicRow> spent = BuildMagicRows(data, sera, 999, Group("light"), uses);
	EXPECT_FALSE(spent[1].cells[0].enabled);
	EXPECT_TRUE(spent[0].cells[0].enabled);

	// Too little MP still lists the rows, every cell disabled.
	const std::vector<TMagicRow> poor = BuildMagicRows(data, sera, -1, Group("light"), uses);
	ASSERT_EQ(6u, poor.size());
	for (const TMagicRow& row : poor)
		for (const TMagicCell& cell : row.cells)
			EXPECT_FALSE(cell.enabled);
	EXPECT_TRUE(BuildMagicRows(data, data.GetCharaIndex("leon"), 999, Group("light"), uses).empty());
}

TEST(BattleMagic, HitTestAtTheCellEdges)
{
	std::vector<TMagicRow> rows(2);
	rows[0].magic = 7;
	rows[0].cells[0] = {11, true};
	rows[0].cells[3] = {12, false};
	rows[1].magic = 8;
	struct TCase
	{
		int x;
		int y;
		int row;
		int column;
		int special;
	};
	const TCase cases[] = {
		{128, 24, 0, 0, 11},
		{127, 30, -1, -1, -1},
		{140, 23, -1, -1, -1},
		{147, 44, 0, 0, 11},  // the last pixel of the cell's row that counts
		{147, 45, -1, -1, -1}, // the gap under the cells
		{207, 30, 0, 3, 12},
		{208, 30, -1, -1, -1},
		{130, 48, 1, 0, -1},  // an empty cell of the second row
		{130, 72, -1, -1, -1}, // no third row
	};
	for (const TCase& c : cases) {
		const TMagicHit hit = MagicHitTest(rows, c.x, c.y);
		EXPECT_EQ(c.row, hit.row) << c.x << "," << c.y;
		EXPECT_EQ(c.column, hit.column) << c.x << "," << c.y;
		EXPECT_EQ(c.special, hit.special) << c.x << "," << c.y;
		EXPECT_EQ(c.row == -1 ? -1 : rows[c.row].magic, hit.magic);
	}
	EXPECT_TRUE(MagicHitTest(rows, 128, 24).enabled);
	EXPECT_FALSE(MagicHitTest(rows, 207, 30).enabled);
}

// A group's name gets the "magic" word once, whether the scenario wrote it or not.
TEST(BattleMagic, GroupTitlesNameTheWordOnce)
{
	const std::pair<std::string, std::string> cases[] = {{"暗黒", "暗黒魔法"}, {"暗黒魔法", "暗黒魔法"},
		{"魔法", "魔法"}, {"", "魔法"}, {"魔法陣", "魔法陣魔法"}, {"法", "法魔法"}};
	for (const auto& c : cases)
		EXPECT_EQ(c.second, MagicGroupTitle(c.first)) << c.first;
	const TMorvalethData& data = LoadedSample();
	ASSERT_GT(data.GetMagicGroupCount(), 0);
	for (int g = 0; g < data.GetMagicGroupCount(); ++g) {
		const std::string title = MagicGroupTitle(data.GetMagicGroupData(g).Name);
		EXPECT_EQ(title.find("魔法"), title.rfind("魔法")) << title;
	}
}

namespace
{
bool Overlap(const gcn::Rectangle& a, const gcn::Rectangle& b)
{
	return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}
}

// At every width from a small map's to a wide screen's, the strip's boxes lie inside it, clear of each
// other and of the gauges with their longest bars; the map at 800 x 600 is at most 672 pixels wide and
// keeps full-length Force bars and readable captions there; wide strips keep one row.
TEST(BattlePanes, TopStripKeepsCaptionsClearOfTheGauges)
{
	for (int width : {208, 400, 464, 560, 600, 672, 800, 887, 888, 1024, 1152, 1500}) {
		const TTopPaneLayout layout = LayOutTopPane(width);
		const gcn::Rectangle gauges(layout.gaugeX - 20 - layout.barRoom, layout.gaugeY + 2,
			2 * (20 + layout.barRoom), 24);
		EXPECT_TRUE(gauges.x >= 0 && gauges.x + gauges.width <= width
			&& gauges.y + gauges.height <= layout.height) << width;
		for (int i = 0; i < TOP_BOX_COUNT; ++i) {
			const gcn::Rectangle& box = layout.boxes[i];
			EXPECT_TRUE(box.x >= 0 && box.y >= 0 && box.x + box.width <= width && box.y + box.height <= layout.height)
				<< width << " box " << i;
			EXPECT_FALSE(Overlap(box, gauges)) << width << " box " << i;
			for (int j = i + 1; j < TOP_BOX_COUNT; ++j)
				EXPECT_FALSE(Overlap(box, layout.boxes[j])) << width << " boxes " << i << ", " << j;
		}
		if (width >= 560) {
			EXPECT_GE(layout.barRoom, ForceBarLength(5000000)) << width;
			EXPECT_GE(layout.boxes[TOP_BOX_ATTACKERS].width, 128) << width;
		}
		if (width >= 400) {
			EXPECT_GE(layout.boxes[TOP_BOX_DEFENDERS].width, 96) << width;
		}
		EXPECT_EQ(width >= 888 ? 32 : 56, layout.height) << width;
	}
}

TEST(BattlePanes, BarLengths)
{
	const std::pair<int, int> force[] = {{-5, 1}, {0, 1}, {10000, 1}, {31999, 1}, {32000, 2}, {1792000, 112},
		{5000000, 112}};
	for (const auto& c : force)
		EXPECT_EQ(c.second, ForceBarLength(c.first)) << c.first;
	const std::pair<int, int> brave[] = {{-5, 1}, {0, 1}, {1, 1}, {150, 150}, {400, 400}};
	for (const auto& c : brave)
		EXPECT_EQ(c.second, BraveBarLength(c.first)) << c.first;
}

// A floating text rises by the table, one step per frames-per-step frames, and is gone after nine steps.
TEST(BattlePanes, FloatingTextsRiseByTheTableThenGo)
{
	const int rise[POPUP_STEPS] = {0, -4, -7, -9, -10, -10, -9, -7, -4};
	for (int framesPerStep : {1, 4, 8}) {
		TBattleMapPane pane;
		pane.SetFramesPerStep(framesPerStep);
		pane.AddPopup("12", 40, 50, gcn::Color(255, 0, 0));
		int frames = 0;
		while (!pane.m_Popups.empty()) {
			const int age = pane.m_Popups[0].age;
			EXPECT_EQ(frames, age);
			EXPECT_EQ(rise[std::min(age / framesPerStep, POPUP_STEPS - 1)], PopupRise(age, framesPerStep));
			pane.logic();
			++frames;
		}
		EXPECT_EQ(POPUP_STEPS * framesPerStep + 1, frames) << framesPerStep;
	}
	EXPECT_EQ(0, PopupRise(0, 0)) << "a step is at least a frame";
	EXPECT_EQ(-4, PopupRise(1000, 1));
}

TEST(BattlePanes, ScrollingBringsAFarPointToTheMiddle)
{
	struct TCase
	{
		int px;
		int py;
		bool moves;
		int x;
		int y;
	};
	// A 400 x 300 view scrolled to (200, 100) over a 1000 x 800 range: its middle is (400, 250).
	const TCase cases[] = {
		{490, 250, false, 200, 100},
		{400, 346, false, 200, 100},
		{500, 250, true, 300, 100},
		{400, 350, true, 200, 200},
		{10, 10, true, 0, 0},
		{1390, 1140, true, 1000, 800},
	};
	for (const TCase& c : cases) {
		TScrollView view;
		view.x = 200;
		view.y = 100;
		view.width = 400;
		view.height = 300;
		view.maxX = 1000;
		view.maxY = 800;
		EXPECT_EQ(c.moves, ScrollToPoint(view, c.px, c.py)) << c.px << "," << c.py;
		EXPECT_EQ(c.x, view.x) << c.px << "," << c.py;
		EXPECT_EQ(c.y, view.y) << c.px << "," << c.py;
	}
}

TEST(BattlePanes, CellsOfOddRowsStandHalfACellRight)
{
	EXPECT_EQ((point_t{-16, 0}), CellTopLeft(0, 0));
	EXPECT_EQ((point_t{0, 32}), CellTopLeft(0, 1));
	EXPECT_EQ((point_t{48, 64}), CellTopLeft(2, 2));
}
