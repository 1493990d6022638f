#include "app/Logger.h"
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

/// The texts of a row, left to right as made.
std::vector<const TSheetText*> Row(const std::vector<TSheetText>& texts, int y)
{
	std::vector<const TSheetText*> row;
	for (const TSheetText& text : texts)
		if (text.y == y)
			row.push_back(&text);
	return row;
}

/// The text that starts at the point; fails the test when there is none.
const TSheetText& At(const std::vector<TSheetText>& texts, int x, int y)
{
	for (const TSheetText& text : texts)
		if (text.x == x && text.y == y)
			return text;
	ADD_FAILURE() << "no text at " << x << "," << y;
	static const TSheetText none = { 0, 0, "", WHITE, 0, 0 };
	return none;
}

bool Has(const std::vector<TSheetText>& texts, const std::string& text)
{
	for (const TSheetText& t : texts)
		if (t.text == text)
			return true;
	return false;
}

class CharaSheetTest : public ::testing::Test
{
protected:
	CharaSheetTest() : data(LoadedSample()) { game.SetData(&data); }

	TCharaInstance Chara(const std::string& id, int rank = 0) const
	{
		return game.CreateCharaInstance(data.GetCharaIndex(id), rank);
	}
	int Special(const std::string& id) const { return data.GetSpecialIndex(id); }
	const std::string& AttributeOf(const std::string& special) const
	{
		return data.GetAttributeData(data.GetSpecialData(Special(special)).Attribute).Name;
	}

	/// A copy, so that a test may change media indices.
	TMorvalethData data;
	TMorvalethGame game;
};
}

TEST_F(CharaSheetTest, TheShortSheetShowsNameRaceRankPointsAndStatsInPlace)
{
	TCharaInstance soldier = Chara("soldier", 2);
	soldier.Experience = 7;
	soldier.HP = 9;
	const TCharaSheet sheet = MakeShortSheet(data, soldier);
	EXPECT_EQ(160, sheet.width);
	EXPECT_EQ(96, sheet.height);
	EXPECT_EQ("兵士", At(sheet.texts, 2, 0).text);
	EXPECT_EQ("兵士", At(sheet.texts, 3, 0).text) << "bold";
	EXPECT_EQ(data.GetRaceData(data.GetCharaData(soldier.CharaIndex).Race).Name, At(sheet.texts, 2, 13).text);
	EXPECT_EQ("Rank", At(sheet.texts, 2, 26).text);
	EXPECT_EQ("C", At(sheet.texts, 32, 26).text);
	EXPECT_EQ("Exp   7", At(sheet.texts, 50, 26).text);
	EXPECT_EQ(FormatText("HP   9/%3d   MP %3d/%3d", soldier.HPMax, soldier.MP, soldier.MPMax),
		At(sheet.texts, 2, 52).text);
	EXPECT_TRUE(Row(sheet.texts, 39).empty()) << "no condition, special, attack change or flight";
	EXPECT_EQ(data.GetCharaData(soldier.CharaIndex).ChipImage, sheet.chip);
	EXPECT_EQ(122, sheet.chipX);
	EXPECT_EQ(0, sheet.chipY);
	EXPECT_EQ(-1, sheet.face);
	EXPECT_TRUE(sheet.frames.empty());
}

TEST_F(CharaSheetTest, TheShortSheetHighlightsEveryStatThatAModifierChanges)
{
	TCharaInstance soldier = Chara("soldier");
	soldier.PhysicalAttackBonus = 4;
	soldier.SpeedBonus = -3;
	const struct {
		int x, y;
		std::string text;
		gcn::Color color;
	} stats[] = {
		{ 2, 65, FormatText("攻撃 %3d", soldier.PhysicalAttack + 4), CYAN },
		{ 54, 65, FormatText("防御 %3d", soldier.PhysicalDefense), WHITE },
		{ 106, 65, FormatText("技量 %3d", soldier.Skill), WHITE },
		{ 2, 78, FormatText("速さ %3d", soldier.Speed - 3), CYAN },
		{ 54, 78, FormatText("魔力 %3d", soldier.MagicAttack), WHITE },
		{ 106, 78, FormatText("抵抗 %3d", soldier.MagicDefense), WHITE },
	};
	const TCharaSheet sheet = MakeShortSheet(data, soldier);
	for (const auto& s : stats) {
		EXPECT_EQ(s.text, At(sheet.texts, s.x, s.y).text);
		EXPECT_EQ(s.color, At(sheet.texts, s.x, s.y).color) << s.text;
	}
	// The full sheet's table stays white whatever the modifiers.
	const TCharaSheet full = MakeFullSheet(data, soldier);
	for (int i = 0; i < 10; ++i)
		EXPECT_EQ(WHITE, At(full.texts, 12, 53 + 13 * i).color) << At(full.texts, 12, 53 + 13 * i).text;
}

TEST_F(CharaSheetTest, TheShortSheetsStateRowAdvancesByEachNamesLength)
{
	TCharaInstance soldier = Chara("soldier");
	soldier.Conditions = { { 2, 5 }, { 5, 2 } };
	soldier.ReceivedSpecials = { Special("warcry") };
	const std::string special = data.GetSpecialData(Special("warcry")).Name;
	const int specialX = 2 + (2 + 2) * 6 + (4 + 2) * 6;
	const struct {
		int bonus;
		bool fled;
		const char* attack;
	} cases[] = { { 1, true, "攻撃増" }, { -2, false, "攻撃減" }, { 0, true, nullptr } };
	for (const auto& c : cases) {
		SCOPED_TRACE(c.bonus);
		soldier.AttackCountBonus = c.bonus;
		soldier.Fled = c.fled;
		const std::vector<const TSheetText*> row = Row(MakeShortSheet(data, soldier).texts, 39);
		std::vector<std::pair<int, std::string>> expected = { { 2, "毒" }, { 26, "睡眠" }, { specialX, special } };
		int x = specialX + 6 + static_cast<int>(special.size()) * 6;
		if (c.attack) {
			expected.push_back({ x, c.attack });
			x += 42;
		}
		if (c.fled)
			expected.push_back({ x, "逃走" });
		ASSERT_EQ(expected.size(), row.size());
		for (std::size_t i = 0; i < row.size(); ++i) {
			EXPECT_EQ(expected[i].first, row[i]->x) << expected[i].second;
			EXPECT_EQ(expected[i].second, row[i]->text);
		}
	}
}

TEST_F(CharaSheetTest, TheFullSheetIsWiderWithAFaceAndTallerForHeroesAndMasters)
{
	const int soldier = data.GetCharaIndex("soldier");
	const int mage = data.GetCharaIndex("mage");
	ASSERT_TRUE(data.GetCharaData(data.GetCharaIndex("leon")).IsMaster);
	ASSERT_TRUE(data.GetCharaData(mage).Hero);
	ASSERT_FALSE(data.GetCharaData(mage).IsMaster);
	data.SetCharaImageIndex(soldier, 3, 1);
	data.SetCharaImageIndex(mage, -1, 2);
	data.SetCharaImageIndex(data.GetCharaIndex("leon"), 5, 0);
	const struct {
		const char* id;
		int width, height;
		bool master;
	} cases[] = {
		{ "soldier", 352, 400, false },
		{ "leon", 352, 424, true },
		{ "mage", 256, 424, false },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.id);
		TCharaInstance chara = Chara(c.id);
		chara.WinCount = 12;
		const TCharaSheet sheet = MakeFullSheet(data, chara);
		EXPECT_EQ(c.width, sheet.width);
		EXPECT_EQ(c.height, sheet.height);
		EXPECT_EQ(data.GetCharaData(chara.CharaIndex).FaceImage, sheet.face);
		EXPECT_EQ(256, sheet.faceX);
		EXPECT_EQ(0, sheet.chipX);
		EXPECT_EQ(c.master, Has(sheet.texts, "マスター"));
		const bool notable = c.height == 424;
		EXPECT_EQ(notable, Has(sheet.texts, "撃破数:   12"));
		EXPECT_EQ(notable, Has(sheet.texts, FormatText("人材費: %4d", data.GetCharaData(chara.CharaIndex).TurnCost)));
		EXPECT_EQ(SHEET_NAME_FONT, At(sheet.texts, 41, 0).fontSize);
		EXPECT_EQ(data.GetCharaData(chara.CharaIndex).Name, At(sheet.texts, 40, 0).text);
	}
}

TEST_F(CharaSheetTest, TheFullSheetsTableShowsCurrentOverBaseValues)
{
	TCharaInstance leon = Chara("leon", 1);
	leon.HP = 40;
	leon.MagicDefenseBonus = 6;
	leon.HPRecoverBonus = -2;
	const TCharaData& def = data.GetCharaData(leon.CharaIndex);
	const TCharaSheet sheet = MakeFullSheet(data, leon);
	const std::string lines[] = {
		FormatText("HP      40/%3d", leon.HPMax),
		FormatText("MP     %3d/%3d", leon.MP, leon.MPMax),
		FormatText("攻撃力 %3d/%3d", leon.PhysicalAttack, leon.PhysicalAttack),
		FormatText("防御力 %3d/%3d", leon.PhysicalDefense, leon.PhysicalDefense),
		FormatText("技量   %3d/%3d", leon.Skill, leon.Skill),
		FormatText("素早さ %3d/%3d", leon.Speed, leon.Speed),
		FormatText("魔力   %3d/%3d", leon.MagicAttack, leon.MagicAttack),
		FormatText("抵抗力 %3d/%3d", leon.MagicDefense + 6, leon.MagicDefense),
		FormatText("HP再生 %3d/%3d", def.HPRecover - 2, def.HPRecover),
		FormatText("MP再生 %3d/%3d", def.MPRecover, def.MPRecover),
	};
	for (int i = 0; i < 10; ++i)
		EXPECT_EQ(lines[i], At(sheet.texts, 12, 53 + 13 * i).text);
	EXPECT_EQ("D", At(sheet.texts, 182, 18).text);
	EXPECT_EQ(data.GetMoveTypeData(def.MoveType).Name, At(sheet.texts, 108, 48).text.substr(12));
	EXPECT_EQ(FormatText("移動力: %d", def.Movable), At(sheet.texts, 132, 61).text);
	const char* const captions[] = { "ステータス", "魔法", "攻撃", "特性" };
	ASSERT_EQ(4u, sheet.frames.size());
	for (int i = 0; i < 4; ++i)
		EXPECT_EQ(captions[i], sheet.frames[i].caption);
}

TEST_F(CharaSheetTest, MagicColumnsShowEachGroupsFirstCharacterOverTheLevelLetter)
{
	ASSERT_EQ(3, data.GetMagicGroupCount());
	const TCharaSheet sheet = MakeFullSheet(data, Chara("sera"));
	const char* const names[] = { "暗", "火", "神" };
	const std::vector<int>& ranks = data.GetCharaData(data.GetCharaIndex("sera")).MagicRanks;
	ASSERT_EQ(std::vector<int>({ 0, 1, 3 }), ranks);
	const char* const letters[] = { "×", "Ｄ", "Ｂ" };
	for (int i = 0; i < 3; ++i) {
		EXPECT_EQ(names[i], At(sheet.texts, 12 + 14 * i, 208).text);
		EXPECT_EQ(letters[i], At(sheet.texts, 12 + 14 * i, 220).text);
	}
}

TEST_F(CharaSheetTest, TheAttackCountIsADigitColouredByItsModifierOverTheAttacksAttributes)
{
	TCharaInstance leon = Chara("leon");
	ASSERT_EQ(2u, data.GetCharaData(leon.CharaIndex).Attacks.size());
	const struct {
		int bonus;
		const char* digit;
		gcn::Color color;
	} cases[] = { { 0, "２", WHITE }, { 1, "３", CYAN }, { -1, "１", RED }, { 8, nullptr, WHITE } };
	for (const auto& c : cases) {
		leon.AttackCountBonus = c.bonus;
		const TCharaSheet sheet = MakeFullSheet(data, leon);
		EXPECT_EQ("攻撃×", At(sheet.texts, 116, 97).text);
		const std::vector<const TSheetText*> line = Row(sheet.texts, 97);
		ASSERT_EQ(c.digit ? 2u : 1u, line.size()) << c.bonus;
		if (c.digit) {
			EXPECT_EQ(c.digit, line[1]->text);
			EXPECT_EQ(152, line[1]->x);
			EXPECT_EQ(c.color, line[1]->color);
		}
	}
	const TSheetText& attributes = At(MakeFullSheet(data, leon).texts, 116, 108);
	EXPECT_EQ("(" + AttributeOf("spear") + " " + AttributeOf("sword") + ")", attributes.text);
	EXPECT_EQ(120, attributes.wrapWidth);
	EXPECT_TRUE(Row(MakeFullSheet(data, leon).texts, 151).empty()) << "no second attack";
}

TEST_F(CharaSheetTest, AttributeListsBreakBeforeTheFourthAndSeventhName)
{
	const struct {
		std::vector<std::string> names;
		const char* text;
	} cases[] = {
		{ {}, "" },
		{ { "a" }, "(a)" },
		{ { "a", "b", "c" }, "(a b c)" },
		{ { "a", "b", "c", "d" }, "(a b c\n d)" },
		{ { "a", "b", "c", "d", "e", "f", "g" }, "(a b c\n d e f\n g)" },
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.text, AttributeListText(c.names));
}

TEST_F(CharaSheetTest, ResistancesTakeALineOnlyForWeakStrongAndAbsorb)
{
	ASSERT_LE(5, data.GetAttributeCount());
	TCharaInstance soldier = Chara("soldier");
	soldier.Resistances = { 2, 1, 0, 4, 3 };
	const std::vector<TSheetText> texts = MakeFullSheet(data, soldier).texts;
	EXPECT_EQ(data.GetAttributeData(1).Name + "に弱い", At(texts, 116, 193).text);
	EXPECT_EQ(data.GetAttributeData(3).Name + "を吸収", At(texts, 116, 206).text);
	EXPECT_EQ(data.GetAttributeData(4).Name + "に強い", At(texts, 116, 219).text);
	EXPECT_TRUE(Row(texts, 232).empty());
}

TEST_F(CharaSheetTest, ARankOutsideTheLettersDrawsNothingAndIsLogged)
{
	const struct {
		int rank;
		const char* letter;
	} cases[] = { { 0, "E" }, { 5, "S" }, { 6, nullptr }, { -1, nullptr } };
	for (const auto& c : cases) {
		TCapturedLog log;
		std::vector<TSheetText> texts;
		AppendRank(texts, 10, 20, c.rank, CYAN);
		if (c.letter) {
			ASSERT_EQ(2u, texts.size());
			EXPECT_EQ("Rank", At(texts, 10, 20).text);
			EXPECT_EQ(c.letter, At(texts, 40, 20).text);
			EXPECT_EQ(CYAN, texts[1].color);
			EXPECT_EQ(0, log.CountLines(" Error "));
		} else {
			EXPECT_TRUE(texts.empty());
			EXPECT_EQ(1, log.CountLines(FormatText("DrawRank(10, 20, %d) invalid parameter rank.", c.rank)));
			EXPECT_EQ(1, log.CountLines(" Error DrawRank:")) << log.Text();
		}
	}
}

TEST_F(CharaSheetTest, NameRankExperienceAndPointsForTheBattlePanes)
{
	TCharaInstance sera = Chara("sera", 4);
	sera.Experience = 55;
	sera.MP = 3;
	std::vector<TSheetText> texts;
	AppendCharaHPMP(texts, data, 100, 200, sera);
	EXPECT_EQ("セラ", At(texts, 102, 202).text);
	EXPECT_EQ("セラ", At(texts, 103, 202).text);
	EXPECT_EQ("A", At(texts, 132, 216).text);
	EXPECT_EQ("Exp  55", At(texts, 102, 230).text);
	EXPECT_EQ(FormatText("HP %3d/%3d", sera.HP, sera.HPMax), At(texts, 152, 216).text);
	EXPECT_EQ(FormatText("MP   3/%3d", sera.MPMax), At(texts, 152, 230).text);
}

TEST(CharaStatusWindowCornerTest, TheWindowJumpsBetweenTheBottomCorners)
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
