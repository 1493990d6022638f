#include "battle/CharaStatusWindow.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include "ModelFixture.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color CYAN(128, 255, 255, 255);
const gcn::Color RED(255, 0, 0, 255);

/// The texts of a row, in the order made.
std::vector<TSheetText> Row(const std::vector<TSheetText>& texts, int y)
{
	std::vector<TSheetText> row;
	for (const TSheetText& text : texts)
		if (text.y == y)
			row.push_back(text);
	return row;
}

/// The text that starts at the point; an empty one, failing the test, when there is none.
TSheetText At(const std::vector<TSheetText>& texts, int x, int y)
{
	for (const TSheetText& text : texts)
		if (text.x == x && text.y == y)
			return text;
	ADD_FAILURE() << "no text at " << x << "," << y;
	return TSheetText{ 0, 0, "", WHITE, 0, 0 };
}

class CharaSheet : public ::testing::Test
{
protected:
	/// A copy of the sample, so that a test may change media indices.
	CharaSheet() : data(LoadedSample()) { game.SetData(&data); }

	TCharaInstance Chara(const std::string& id) const { return game.CreateCharaInstance(data.GetCharaIndex(id), 0); }
	const std::string& Attribute(int i) const { return data.GetAttributeData(i).Name; }

	TMorvalethData data;
	TMorvalethGame game;
};
}

TEST_F(CharaSheet, TheShortSheetsStateRowAdvancesByEachNamesLengthAndModifiedStatsStandOut)
{
	TCharaInstance soldier = Chara("soldier");
	EXPECT_TRUE(Row(MakeShortSheet(data, soldier).texts, 39).empty());
	soldier.Conditions = { { 2, 5 }, { 5, 2 } };
	soldier.ReceivedSpecials = { data.GetSpecialIndex("warcry") };
	soldier.AttackCountBonus = 1;
	soldier.Fled = true;
	soldier.PhysicalAttackBonus = 4;
	soldier.SpeedBonus = -3;
	const std::string special = data.GetSpecialData(soldier.ReceivedSpecials[0]).Name;
	const int specialX = 2 + (2 + 2) * 6 + (4 + 2) * 6;
	const int after = specialX + 6 + static_cast<int>(special.size()) * 6;
	const std::vector<std::pair<int, std::string>> expected = { { 2, "毒" }, { 26, "睡眠" }, { specialX, special },
		{ after, "攻撃増" }, { after + 42, "逃走" } };
	const TCharaSheet sheet = MakeShortSheet(data, soldier);
	std::vector<std::pair<int, std::string>> row;
	for (const TSheetText& text : Row(sheet.texts, 39))
		row.push_back({ text.x, text.text });
	EXPECT_EQ(expected, row);
	soldier.AttackCountBonus = -1;
	EXPECT_EQ("攻撃減", Row(MakeShortSheet(data, soldier).texts, 39)[3].text);

	const gcn::Color colours[] = { CYAN, WHITE, WHITE, CYAN, WHITE, WHITE };
	for (int i = 0; i < 6; ++i)
		EXPECT_EQ(colours[i], At(sheet.texts, 2 + i % 3 * 52, 65 + i / 3 * 13).color) << i;
	// The full sheet's table keeps to the foreground colour.
	for (int i = 0; i < 10; ++i)
		EXPECT_EQ(WHITE, At(MakeFullSheet(data, soldier).texts, 12, 53 + 13 * i).color) << i;
}

TEST_F(CharaSheet, TheFullSheetIsWiderWithAFaceAndTallerWithTheWinsAndUpkeepOfHeroesAndMasters)
{
	const int soldier = data.GetCharaIndex("soldier");
	const int mage = data.GetCharaIndex("mage");
	data.SetCharaImageIndex(soldier, 3, 1);
	data.SetCharaImageIndex(mage, -1, 2);
	data.SetCharaImageIndex(data.GetCharaIndex("leon"), 5, 0);
	const struct {
		const char* id;
		int width, height;
		bool master;
	} cases[] = { { "soldier", 352, 400, false }, { "leon", 352, 424, true }, { "mage", 256, 424, false } };
	for (const auto& c : cases) {
		SCOPED_TRACE(c.id);
		TCharaInstance chara = Chara(c.id);
		chara.WinCount = 12;
		const TCharaSheet sheet = MakeFullSheet(data, chara);
		EXPECT_EQ(c.width, sheet.width);
		EXPECT_EQ(c.height, sheet.height);
		EXPECT_EQ(c.master, Row(sheet.texts, 4).size() == 1) << "マスター";
		if (c.height == 424) {
			EXPECT_EQ("撃破数:   12", At(sheet.texts, 61, 396).text);
			EXPECT_EQ(61, At(sheet.texts, 61, 410).x);
		} else {
			EXPECT_TRUE(Row(sheet.texts, 396).empty());
		}
	}
}

TEST_F(CharaSheet, MagicColumnsAttackCountAttributesAndResistancesOfTheFullSheet)
{
	// One glyph per magic column, over the level letter.
	const TCharaSheet sera = MakeFullSheet(data, Chara("sera"));
	const char* const columns[][2] = { { "暗", "×" }, { "火", "Ｄ" }, { "神", "Ｂ" } };
	for (int i = 0; i < 3; ++i) {
		EXPECT_EQ(columns[i][0], At(sera.texts, 12 + 14 * i, 208).text);
		EXPECT_EQ(columns[i][1], At(sera.texts, 12 + 14 * i, 220).text);
	}

	TCharaInstance leon = Chara("leon");
	const struct {
		int bonus;
		const char* digit;
		gcn::Color color;
	} counts[] = { { 0, "２", WHITE }, { 1, "３", CYAN }, { -1, "１", RED }, { 8, nullptr, WHITE } };
	for (const auto& c : counts) {
		leon.AttackCountBonus = c.bonus;
		const std::vector<TSheetText> line = Row(MakeFullSheet(data, leon).texts, 97);
		ASSERT_EQ(c.digit ? 2u : 1u, line.size()) << c.bonus;
		if (c.digit) {
			EXPECT_EQ(c.digit, line[1].text);
			EXPECT_EQ(c.color, line[1].color);
		}
	}

	leon.Resistances = { 2, 1, 0, 4, 3 };
	const TCharaSheet sheet = MakeFullSheet(data, leon);
	EXPECT_EQ("(" + Attribute(1) + " " + Attribute(1) + ")", At(sheet.texts, 116, 108).text) << "spear, sword";
	EXPECT_EQ(Attribute(1) + "に弱い", At(sheet.texts, 116, 193).text);
	EXPECT_EQ(Attribute(3) + "を吸収", At(sheet.texts, 116, 206).text);
	EXPECT_EQ(Attribute(4) + "に強い", At(sheet.texts, 116, 219).text);
	EXPECT_TRUE(Row(sheet.texts, 232).empty());

	EXPECT_EQ("", AttributeListText({}));
	EXPECT_EQ("(a b c)", AttributeListText({ "a", "b", "c" }));
	EXPECT_EQ("(a b c\n d e f\n g)", AttributeListText({ "a", "b", "c", "d", "e", "f", "g" }));
}

TEST_F(CharaSheet, ARankOutsideTheLettersDrawsNothingAndIsLoggedWithItsNumbers)
{
	for (int rank : { 0, 5, 6, -1 }) {
		TCapturedLog log;
		std::vector<TSheetText> texts;
		AppendRank(texts, 10, 20, rank, CYAN);
		const bool valid = rank >= 0 && rank <= 5;
		EXPECT_EQ(valid ? 2u : 0u, texts.size()) << rank;
		EXPECT_EQ(valid ? 0 : 1, log.CountLines(" Error DrawRank:")) << log.Text();
		EXPECT_EQ(valid ? 0 : 1,
			log.CountLines("DrawRank(10, 20, " + std::to_string(rank) + ") invalid parameter rank."));
	}
}

TEST(CharaStatusWindowCorner, TheWindowJumpsBetweenTheBottomCorners)
{
	const struct {
		int x, newX;
	} cases[] = { { 0, 8 }, { 8, 800 - 164 - 8 }, { 800 - 164 - 8, 8 }, { 9, 8 } };
	for (const auto& c : cases) {
		int x = -1;
		int y = -1;
		StatusWindowCorner(c.x, 164, 114, 800, 600, x, y);
		EXPECT_EQ(c.newX, x) << c.x;
		EXPECT_EQ(600 - 114 - 8, y);
	}
}
