#include "GameFixture.h"
#include "GameSaveFixture.h"
#include "gui/Grid.h"
#include "gui/GridModels.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <guichan/mouseevent.hpp>
#include <memory>
#include <vector>

namespace
{
typedef std::vector<std::string> TRow;

/// The rows of the model from the first one given (0 is the header).
std::vector<TRow> Rows(const TGcnGridModel& model, int first = 0)
{
	std::vector<TRow> rows;
	for (int r = first; r < model.GetRowCount(); ++r) {
		rows.emplace_back();
		for (int c = 0; c < model.GetColumnCount(); ++c)
			rows.back().push_back(model.GetCellText(c, r));
	}
	return rows;
}

/// The model filled from the game.
template <typename TModel>
std::unique_ptr<TGcnGridModel> Filled(const TMorvalethGame& game)
{
	std::unique_ptr<TGcnGridModel> model(new TModel());
	model->Refresh(game, SampleData());
	return model;
}

/// The sample's first chapter with garm's turn begun (he is allied with sera for ever).
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
}

TEST_F(SampleOpening, TheTablesShowEveryAreaMasterAndHeroInPlay)
{
	// Incomes: a quarter of the city plus the base income, doubled where the road is at its max (the mountain
	// pass has no road to build); strength: the troops' power in thousands.
	EXPECT_EQ((std::vector<TRow>{ { "エリア名", "支配国", "収入", "街", "城壁", "道路", "部隊数", "戦力指数", "待機時行動" },
				  { "西の平原", "レオン", "21", "5", "12", "3", "2", "7", "部隊訓練" },
				  { "風見の丘", "レオン", "15", "2", "9", "1", "1", "1", "部隊訓練" },
				  { "狼の砦", "ガルム", "19", "4", "16", "2", "1", "6", "部隊訓練" },
				  { "北の山道", "ガルム", "16", "1", "5", "0", "1", "1", "部隊訓練" },
				  { "巫女の森", "セラ", "14", "3", "12", "2", "2", "8", "部隊訓練" },
				  { "湖畔の村", "中立地帯", "12", "1", "1", "0", "0", "0", "－－－－" } }),
		Rows(*Filled<TAreaGridModel>(game)));
	EXPECT_EQ((std::vector<TRow>{ { "", "本拠地", "領地", "軍資金", "総収入", "人材数", "戦力指数", "同盟" },
				  { "レオン", "西の平原", "2", "136", "36", "1", "8", "-" },
				  { "ガルム", "狼の砦", "2", "135", "35", "1", "7", "-" },
				  { "セラ", "巫女の森", "1", "106", "14", "2", "8", "∞" } }),
		Rows(*Filled<TMasterGridModel>(game)));
	// Knights, soldiers and archers are no heroes.
	EXPECT_EQ((std::vector<TRow>{ { "人材名", "滞在エリア", "支配国", "撃破数" }, { "レオン", "西の平原", "レオン", "0" },
				  { "ガルム", "狼の砦", "ガルム", "0" }, { "セラ", "巫女の森", "セラ", "0" },
				  { "魔術師ミラ", "巫女の森", "セラ", "0" } }),
		Rows(*Filled<THeroGridModel>(game)));
}

TEST_F(SampleOpening, OrdersAndAlliancesShowAsTextAndAMasterWithoutHomeShowsNone)
{
	const TRow orders = { "部隊訓練", "人材捜索", "街建設", "城壁建設", "道路建設", "－－－－" };
	for (int order = 0; order < 6; ++order) {
		game.GetArea(0).Operation = order;
		EXPECT_EQ(orders[order], Filled<TAreaGridModel>(game)->GetCellText(8, 1)) << order;
	}
	// The column of leon shows his alliance with garm, whose turn it is; garm's own row shows none.
	const std::vector<std::pair<int, std::string>> alliances = { { 3, "3" }, { 12, "12" }, { ALLIANCE_ENDLESS, "∞" },
		{ 0, "-" } };
	for (const auto& alliance : alliances) {
		game.SetAlliance(0, 1, alliance.first);
		const std::unique_ptr<TGcnGridModel> masters = Filled<TMasterGridModel>(game);
		EXPECT_EQ(alliance.second, masters->GetCellText(7, 1)) << alliance.first;
		EXPECT_EQ("-", masters->GetCellText(7, 2));
	}
	std::vector<TCharaInstance>& home = game.GetArea(0).Charas;
	home.erase(home.begin());
	EXPECT_EQ("－－－－", Filled<TMasterGridModel>(game)->GetCellText(1, 1));
}

TEST(GridModels, AfterPlayDefeatedMastersLeaveAndTheDeadFollowTheStationed)
{
	// A battle fought, sera defeated, mira dead after two wins, leon allied with garm for ever.
	TMorvalethGame game;
	PlaySampleGame(game, 0, 7);
	EXPECT_EQ((std::vector<TRow>{ { "レオン", "西の平原", "3", "300", "64", "1", "35", "-" },
				  { "ガルム", "狼の砦", "2", "243", "37", "1", "22", "∞" } }),
		Rows(*Filled<TMasterGridModel>(game), 1));
	EXPECT_EQ((std::vector<TRow>{ { "レオン", "西の平原", "レオン", "3" }, { "ガルム", "狼の砦", "ガルム", "0" },
				  { "魔術師ミラ", "死亡", "－－－－", "2" } }),
		Rows(*Filled<THeroGridModel>(game), 1));

	// Every column of every table sorts stably: ascending, then descending on a second sort.
	std::vector<std::unique_ptr<TGcnGridModel>> models;
	models.push_back(Filled<TAreaGridModel>(game));
	models.push_back(Filled<TMasterGridModel>(game));
	models.push_back(Filled<THeroGridModel>(game));
	for (const std::unique_ptr<TGcnGridModel>& model : models)
		for (int c = 0; c < model->GetColumnCount(); ++c) {
			SCOPED_TRACE(model->GetCellText(0, 0) + " column " + std::to_string(c));
			// Ties keep the order of a sort by the last column, descending.
			const int last = model->GetColumnCount() - 1;
			model->ResetSortFlags();
			model->SortByColumn(last);
			model->SortByColumn(last);
			const std::vector<TRow> before = Rows(*model, 1);
			// Right-aligned columns sort by number, except the alliance, which sorts as text.
			const bool numeric = model->IsNumberColumn(c) && model->GetCellText(c, 0) != "同盟";
			auto less = [&](const TRow& a, const TRow& b) {
				return numeric ? std::atoi(a[c].c_str()) < std::atoi(b[c].c_str()) : a[c] < b[c];
			};
			auto position = [&](const TRow& row) { return std::find(before.begin(), before.end(), row) - before.begin(); };
			for (bool descending : { false, true }) {
				model->SortByColumn(c);
				const std::vector<TRow> after = Rows(*model, 1);
				ASSERT_TRUE(std::is_permutation(after.begin(), after.end(), before.begin()));
				for (std::size_t i = 1; i < after.size(); ++i) {
					EXPECT_FALSE(descending ? less(after[i - 1], after[i]) : less(after[i], after[i - 1])) << i;
					if (!less(after[i - 1], after[i]) && !less(after[i], after[i - 1])) {
						EXPECT_LT(position(after[i - 1]), position(after[i])) << "a tie reordered at " << i;
					}
				}
			}
			// Another column in between: this one sorts ascending again.
			model->SortByColumn(c == 0 ? 1 : 0);
			model->SortByColumn(c);
			EXPECT_FALSE(less(Rows(*model, 1).back(), Rows(*model, 1).front()));
		}
}

TEST_F(SampleOpening, LeadingColumnsWidenToTheirLongestTextUpToTheirMaximum)
{
	// 6 pixels a byte and 4 more, from 128 up to 256; the header does not count.
	const std::vector<std::pair<std::size_t, int>> cases = { { 20, 128 }, { 21, 130 }, { 30, 184 }, { 42, 256 },
		{ 60, 256 } };
	for (const auto& c : cases) {
		game.GetArea(0).Name = std::string(c.first, 'x');
		std::unique_ptr<TGcnGridModel> areas = Filled<TAreaGridModel>(game);
		areas->UpdateColumnWidths();
		EXPECT_EQ(c.second, areas->GetColumnWidth(0)) << c.first;
		EXPECT_EQ(1 + c.second + 128 + 5 * 40 + 64 + 80, areas->GetTotalWidth()) << c.first;
		// The hero table widens its second column with the area's name.
		std::unique_ptr<TGcnGridModel> heroes = Filled<THeroGridModel>(game);
		heroes->UpdateColumnWidths();
		EXPECT_EQ((std::vector<int>{ 128, c.second, 128, 48 }), (std::vector<int>{ heroes->GetColumnWidth(0),
			heroes->GetColumnWidth(1), heroes->GetColumnWidth(2), heroes->GetColumnWidth(3) }));
	}
	// An empty game gives the header alone, sorted or not.
	const std::unique_ptr<TGcnGridModel> empty = Filled<TAreaGridModel>(TMorvalethGame());
	empty->SortByColumn(0);
	EXPECT_EQ(1, empty->GetRowCount());
}

TEST_F(SampleOpening, APressOnAColumnTitleSortsThatColumn)
{
	const std::unique_ptr<TGcnGridModel> model = Filled<TAreaGridModel>(game);
	model->UpdateColumnWidths();
	TGcnGrid grid;
	grid.SetModel(model.get());
	// Columns 128, 128, then 40 wide, 600 in all; the header row is 14 high, its lower line included.
	const std::vector<std::vector<int>> cases = { { 0, 0, 0 }, { 127, 14, 0 }, { 128, 5, 1 }, { 256, 5, 2 },
		{ 599, 5, 8 }, { 600, 5, -1 }, { 10, 15, -1 } };
	for (const std::vector<int>& c : cases)
		EXPECT_EQ(c[2], grid.HeaderColumnAt(c[0], c[1])) << c[0] << "," << c[1];

	// Strength (from x 456) ascending, then descending; a press below the header changes nothing.
	const std::vector<std::pair<int, std::string>> presses = { { 3, "湖畔の村" }, { 14, "巫女の森" }, { 15, "巫女の森" } };
	for (const auto& press : presses) {
		gcn::MouseEvent event(&grid, false, false, false, false, gcn::MouseEvent::PRESSED, gcn::MouseEvent::LEFT, 480,
			press.first, 1);
		grid.mousePressed(event);
		EXPECT_EQ(press.second, model->GetCellText(0, 1)) << press.first;
	}
}
