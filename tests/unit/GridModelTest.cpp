#include "GameFixture.h"
#include "GameSaveFixture.h"
#include "gui/Grid.h"
#include "gui/GridModels.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <functional>
#include <guichan/mouseevent.hpp>
#include <memory>
#include <string>
#include <vector>

namespace
{
typedef std::vector<std::string> TRow;

/// Every row of the model, the header first.
std::vector<TRow> Rows(const TGcnGridModel& model)
{
	std::vector<TRow> rows;
	for (int r = 0; r < model.GetRowCount(); ++r) {
		rows.emplace_back();
		for (int c = 0; c < model.GetColumnCount(); ++c)
			rows.back().push_back(model.GetCellText(c, r));
	}
	return rows;
}

/// The data rows only.
std::vector<TRow> DataRows(const TGcnGridModel& model)
{
	std::vector<TRow> rows = Rows(model);
	rows.erase(rows.begin());
	return rows;
}

/// The sample's chapter 1 opening, its first master's turn begun (garm's, who is allied with sera for ever).
class SampleOpening : public ::testing::Test
{
protected:
	void SetUp() override
	{
		NewSampleGame(game, 0);
		game.ActivateNextMaster();
	}

	TMorvalethGame game;
};

/// The sample played for some turns: a battle fought, sera defeated, mira dead, leon allied with garm for ever.
class PlayedSample : public ::testing::Test
{
protected:
	void SetUp() override { PlaySampleGame(game, 0, 7); }

	TMorvalethGame game;
};

/// The three models, each filled from a game.
std::vector<std::unique_ptr<TGcnGridModel>> AllModels(const TMorvalethGame& game)
{
	std::vector<std::unique_ptr<TGcnGridModel>> models;
	models.emplace_back(new TAreaGridModel());
	models.emplace_back(new TMasterGridModel());
	models.emplace_back(new THeroGridModel());
	for (const std::unique_ptr<TGcnGridModel>& model : models)
		model->Refresh(game, SampleData());
	return models;
}

/// A press of the left button at a point of the grid.
void Press(TGcnGrid& grid, int x, int y)
{
	gcn::MouseEvent event(&grid, false, false, false, false, gcn::MouseEvent::PRESSED, gcn::MouseEvent::LEFT, x, y,
		1);
	grid.mousePressed(event);
}
}

TEST_F(SampleOpening, TheAreaTableShowsEveryAreaThatIsNotIgnored)
{
	TAreaGridModel model;
	model.Refresh(game, SampleData());
	// Incomes: a quarter of the city plus the base income, doubled where the road is at its max (the
	// mountain pass has no road to build); strength: the power of the troops in thousands.
	EXPECT_EQ((std::vector<TRow>{
				  { "エリア名", "支配国", "収入", "街", "城壁", "道路", "部隊数", "戦力指数", "待機時行動" },
				  { "西の平原", "レオン", "21", "5", "12", "3", "2", "7", "部隊訓練" },
				  { "風見の丘", "レオン", "15", "2", "9", "1", "1", "1", "部隊訓練" },
				  { "狼の砦", "ガルム", "19", "4", "16", "2", "1", "6", "部隊訓練" },
				  { "北の山道", "ガルム", "16", "1", "5", "0", "1", "1", "部隊訓練" },
				  { "巫女の森", "セラ", "14", "3", "12", "2", "2", "8", "部隊訓練" },
				  { "湖畔の村", "中立地帯", "12", "1", "1", "0", "0", "0", "－－－－" },
			  }),
		Rows(model));
	// Standing orders are named by their number; one outside them shows as none.
	const std::vector<std::string> orders = { "部隊訓練", "人材捜索", "街建設", "城壁建設", "道路建設", "－－－－" };
	for (int order = 0; order < 6; ++order) {
		game.GetArea(0).Operation = order;
		model.Refresh(game, SampleData());
		EXPECT_EQ(orders[order], model.GetCellText(8, 1)) << order;
	}
}

TEST_F(SampleOpening, TheMasterAndHeroTablesShowWhoIsInPlay)
{
	TMasterGridModel masters;
	masters.Refresh(game, SampleData());
	// garm's turn: his alliance with sera has no end; leon's with sera is not his.
	EXPECT_EQ((std::vector<TRow>{
				  { "", "本拠地", "領地", "軍資金", "総収入", "人材数", "戦力指数", "同盟" },
				  { "レオン", "西の平原", "2", "136", "36", "1", "8", "-" },
				  { "ガルム", "狼の砦", "2", "135", "35", "1", "7", "-" },
				  { "セラ", "巫女の森", "1", "106", "14", "2", "8", "∞" },
			  }),
		Rows(masters));
	THeroGridModel heroes;
	heroes.Refresh(game, SampleData());
	// Masters and heroes only: knights, soldiers and archers are no heroes.
	EXPECT_EQ((std::vector<TRow>{
				  { "人材名", "滞在エリア", "支配国", "撃破数" },
				  { "レオン", "西の平原", "レオン", "0" },
				  { "ガルム", "狼の砦", "ガルム", "0" },
				  { "セラ", "巫女の森", "セラ", "0" },
				  { "魔術師ミラ", "巫女の森", "セラ", "0" },
			  }),
		Rows(heroes));
}

TEST_F(PlayedSample, DefeatedMastersLeaveTheTablesAndTheDeadFollowTheStationed)
{
	TMasterGridModel masters;
	masters.Refresh(game, SampleData());
	EXPECT_EQ((std::vector<TRow>{ { "レオン", "西の平原", "3", "300", "64", "1", "35", "-" },
				  { "ガルム", "狼の砦", "2", "243", "37", "1", "22", "∞" } }),
		DataRows(masters));
	THeroGridModel heroes;
	heroes.Refresh(game, SampleData());
	EXPECT_EQ((std::vector<TRow>{ { "レオン", "西の平原", "レオン", "3" }, { "ガルム", "狼の砦", "ガルム", "0" },
				  { "魔術師ミラ", "死亡", "－－－－", "2" } }),
		DataRows(heroes));
	// A master in play whose own character stands nowhere has no home area.
	const int leonHome = game.GetMasterArea(0);
	std::vector<TCharaInstance>& charas = game.GetArea(leonHome).Charas;
	charas.erase(charas.begin() + FindCharaInList(charas, SampleData().GetMasterData(game.GetMaster(0).DataIndex)
			.CharaIndex));
	masters.Refresh(game, SampleData());
	EXPECT_EQ("－－－－", masters.GetCellText(1, 1));
}

TEST_F(SampleOpening, TheAllianceColumnShowsTheTurnsLeftWithTheCurrentMaster)
{
	struct TCase
	{
		int turns;
		const char* shown;
	};
	// garm is the current master; the row of leon shows their alliance.
	const TCase cases[] = { { 3, "3" }, { 12, "12" }, { ALLIANCE_ENDLESS, "∞" }, { 0, "-" } };
	TMasterGridModel model;
	for (const TCase& c : cases) {
		game.SetAlliance(0, 1, c.turns);
		model.Refresh(game, SampleData());
		EXPECT_EQ(c.shown, model.GetCellText(7, 1)) << c.turns;
		EXPECT_EQ("-", model.GetCellText(7, 2)) << "the current master's own row";
	}
}

TEST_F(PlayedSample, EveryColumnSortsStablyAndASecondClickReverses)
{
	for (const std::unique_ptr<TGcnGridModel>& model : AllModels(game)) {
		for (int c = 0; c < model->GetColumnCount(); ++c) {
			SCOPED_TRACE(model->GetCellText(0, 0) + " column " + std::to_string(c));
			// An order to keep among ties: by the last column, descending.
			const int last = model->GetColumnCount() - 1;
			model->ResetSortFlags();
			model->SortByColumn(last);
			model->SortByColumn(last);
			const std::vector<TRow> before = DataRows(*model);
			// Right-aligned columns sort by number, except the alliance, which sorts as text.
			const bool numeric = model->IsNumberColumn(c) && model->GetCellText(c, 0) != "同盟";
			auto key = [&](const TRow& row) { return row[c]; };
			auto less = [&](const TRow& a, const TRow& b) {
				return numeric ? std::atoi(key(a).c_str()) < std::atoi(key(b).c_str()) : key(a) < key(b);
			};
			auto position = [&](const TRow& row) { return std::find(before.begin(), before.end(), row) - before.begin(); };
			for (bool descending : { false, true }) {
				model->SortByColumn(c);
				const std::vector<TRow> after = DataRows(*model);
				ASSERT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin()));
				for (std::size_t i = 1; i < after.size(); ++i) {
					const TRow& a = after[i - 1];
					const TRow& b = after[i];
					EXPECT_FALSE(descending ? less(a, b) : less(b, a)) << "rows " << i - 1 << " and " << i;
					if (!less(a, b) && !less(b, a))
						EXPECT_LT(position(a), position(b)) << "ties keep their order, rows " << i - 1 << " and " << i;
				}
			}
			// Another column then sorts ascending first.
			model->SortByColumn(c == 0 ? 1 : 0);
			model->SortByColumn(c);
			EXPECT_FALSE(less(DataRows(*model).back(), DataRows(*model).front()));
		}
	}
}

TEST_F(SampleOpening, NumbersSortAsNumbersAndTheAllianceColumnAsText)
{
	TMasterGridModel model;
	game.GetMaster(0).Money = 9;
	game.GetMaster(1).Money = 10;
	game.GetMaster(2).Money = 100;
	game.SetAlliance(0, 1, 10);
	game.SetAlliance(1, 2, 9);
	model.Refresh(game, SampleData());
	model.SortByColumn(3);
	EXPECT_EQ((TRow{ "9", "10", "100" }), (TRow{ model.GetCellText(3, 1), model.GetCellText(3, 2), model.GetCellText(3, 3) }));
	model.SortByColumn(7);
	EXPECT_EQ((TRow{ "-", "10", "9" }), (TRow{ model.GetCellText(7, 1), model.GetCellText(7, 2), model.GetCellText(7, 3) }));
	EXPECT_TRUE(model.IsNumberColumn(7)) << "the alliance column is still drawn right-aligned";
}

TEST_F(SampleOpening, LeadingColumnsWidenToTheirLongestTextUpToTheirMaximum)
{
	struct TCase
	{
		std::size_t nameBytes;
		int width;
	};
	// 6 pixels a byte and 4 more, from 128 up to 256.
	const TCase cases[] = { { 4, 128 }, { 20, 128 }, { 21, 130 }, { 30, 184 }, { 42, 256 }, { 60, 256 } };
	TAreaGridModel areas;
	for (const TCase& c : cases) {
		game.GetArea(0).Name = std::string(c.nameBytes, 'x');
		areas.Refresh(game, SampleData());
		areas.UpdateColumnWidths();
		EXPECT_EQ(c.width, areas.GetColumnWidth(0)) << c.nameBytes;
		EXPECT_EQ(1 + c.width + 128 + 5 * 40 + 64 + 80, areas.GetTotalWidth()) << c.nameBytes;
	}
	// The header does not count; the hero table widens its second column with the area's name.
	game.GetArea(0).Name = std::string(40, 'x');
	THeroGridModel heroes;
	heroes.Refresh(game, SampleData());
	heroes.UpdateColumnWidths();
	EXPECT_EQ((std::vector<int>{ 128, 244, 128, 48 }),
		(std::vector<int>{ heroes.GetColumnWidth(0), heroes.GetColumnWidth(1), heroes.GetColumnWidth(2),
			heroes.GetColumnWidth(3) }));
}

TEST(GridModels, AnEmptyGameGivesOnlyTheHeader)
{
	TMorvalethGame game;
	for (const std::unique_ptr<TGcnGridModel>& model : AllModels(game)) {
		EXPECT_EQ(1, model->GetRowCount());
		model->SortByColumn(0);
		EXPECT_EQ(1, model->GetRowCount());
		EXPECT_EQ("", model->GetCellText(0, 1)) << "nothing below the header";
	}
}

TEST_F(SampleOpening, APressOnAColumnTitleSortsThatColumn)
{
	TAreaGridModel model;
	model.Refresh(game, SampleData());
	model.UpdateColumnWidths();
	TGcnGrid grid;
	grid.SetModel(&model);
	struct TCase
	{
		int x;
		int y;
		int column;
	};
	// Columns 128, 128, then 40 wide; the header row is 14 high, its lower line included.
	const TCase cases[] = { { 0, 0, 0 }, { 127, 14, 0 }, { 128, 5, 1 }, { 256, 5, 2 }, { 599, 5, 8 }, { 600, 5, -1 },
		{ 10, 15, -1 }, { 300, 40, -1 } };
	for (const TCase& c : cases)
		EXPECT_EQ(c.column, grid.HeaderColumnAt(c.x, c.y)) << c.x << "," << c.y;

	// Strength (column 7, from x 456) ascending, then descending; a press below the header changes nothing.
	Press(grid, 480, 3);
	EXPECT_EQ("湖畔の村", model.GetCellText(0, 1));
	Press(grid, 480, 14);
	EXPECT_EQ("巫女の森", model.GetCellText(0, 1));
	Press(grid, 480, 15);
	EXPECT_EQ("巫女の森", model.GetCellText(0, 1));
	TGcnGrid empty;
	Press(empty, 5, 5);
}
