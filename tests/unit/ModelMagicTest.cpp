#include "ModelFixture.h"

#include "model/MorvalethData.h"

#include <gtest/gtest.h>

TEST(ModelMagic, BrokenMagicAndGroupFilesFailWithTheirReasons)
{
	const char* const magic = "魔法情報の読み込みに失敗しました。";
	const char* const group = "魔法グループ情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"Data/MagicTable.xml", nullptr, nullptr, " XML parse error", magic},
		{"Data/MagicTable.xml", "MagicList", "Magics", " MagicList検索失敗", magic},
		{"Data/MagicTable.xml", "<Name>ヒール</Name>", "", " MagicのName検索失敗", magic},
		{"Data/MagicTable.xml", "rank=\"2\"", "rank=\"high\"", "Magicのrankが無い", magic},
		{"Data/MagicTable.xml", " rank=\"1\"", "", "Magicのrankが無い", magic},
		{"Data/MagicGroup.xml", nullptr, nullptr, " XML parse error", group},
		{"Data/MagicGroup.xml", "MagicGroupList", "Groups", " MagicGroupList検索失敗", group},
		{"Data/MagicGroup.xml", "<Name>神聖魔法</Name>", "", " MagicGroupのName検索失敗", group},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelMagic, BrokenRaceAttributeAndReviveFilesFailWithTheirReasons)
{
	const char* const race = "種族情報の読み込みに失敗しました。";
	const char* const attribute = "属性情報の読み込みに失敗しました。";
	const char* const revive = "復活情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"Data/Race.xml", nullptr, nullptr, " file not found", race},
		{"Data/Race.xml", "</RaceList>", "", " XML parse error", race},
		{"Data/Race.xml", "<Race id=\"elf\">", "<Race>", " id not found", race},
		{"Data/Race.xml", "<Name>獣</Name>", "", " Name not found", race},
		{"Data/Race.xml", "distance=\"3\"", "distance=\"-1\"", " 種族 human のAffinityのdistance -1 が負の値です。", race},
		{"Data/Attribute.xml", nullptr, nullptr, " file not found", attribute},
		{"Data/Attribute.xml", " id=\"poison\"", " id=\"\"", " id not found", attribute},
		{"Data/Attribute.xml", " type=\"Attack\"", "", " type not found", attribute},
		{"Data/Attribute.xml", "type=\"Boost\"", "type=\"None\"", " 属性タイプ None の認識に失敗しました。", attribute},
		{"Data/Attribute.xml", "type=\"Boost\"", "type=\"boost\"", " 属性タイプ boost の認識に失敗しました。", attribute},
		{"Data/Attribute.xml", "<ShortName>死</ShortName>", "", " ShortName not found", attribute},
		{"Data/Attribute.xml", "<Name>破壊</Name>", "", " Name not found", attribute},
		{"Data/Attribute.xml", "id=\"Poison\"", "id=\"None\"", " SystemEffect None の認識に失敗しました。", attribute},
		{"Data/Attribute.xml", "id=\"Poison\"", "id=\"Venom\"", " SystemEffect Venom の認識に失敗しました。", attribute},
		{"Data/Revive.xml", nullptr, nullptr, " file not found", revive},
		{"Data/Revive.xml", "ReviveList", "Revives", " ReviveList検索失敗", revive},
		{"Data/Revive.xml", "<SelectMethod value=\"Same\"/>", "", " SelectMethod検索失敗", revive},
		{"Data/Revive.xml", "value=\"Same\"", "value=\"same\"", " ReviveType認識失敗", revive},
		{"Data/Revive.xml", "CharacterList", "Characters", " ReviveTypeにFromListが指定されましたがCharacterListが見つかりませんでした。", revive},
		{"Data/Revive.xml", "<Character id=\"skeleton\"/>\n\t\t\t<Character id=\"zombie\"/>", "",
			" ReviveTypeにFromListが指定されましたがCharacterListにCharacterが見つかりませんでした。", revive},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelMagic, AFailedFileKeepsTheRecordsReadBeforeItAndDropsTheBrokenOne)
{
	TSampleCopy copy;
	copy.Replace("Data/Attribute.xml", "id=\"Death\"", "id=\"Deth\"");
	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.LoadAttribute(copy.Data("Attribute.xml")));
	EXPECT_EQ(4, data.GetAttributeCount());
	EXPECT_EQ(-1, data.GetAttributeIndex("death"));
}

TEST(ModelMagic, AFileWithoutElementsIsReportedAsEmpty)
{
	TSampleCopy copy;
	WriteFile(copy.Data("Race.xml"), "<?xml version=\"1.0\"?>\n<!-- no races yet -->\n");
	WriteFile(copy.Data("Attribute.xml"), "<!-- no attributes yet -->");
	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.LoadRace(copy.Data("Race.xml")));
	EXPECT_FALSE(data.LoadAttribute(copy.Data("Attribute.xml")));
	EXPECT_EQ(1, log.CountLines(" Error " + copy.Data("Race.xml") + " に中身が無い？"));
	EXPECT_EQ(1, log.CountLines(" Error " + copy.Data("Attribute.xml") + " に中身が無い？"));
}

TEST(ModelMagic, RaceWarningsNameTheRaceAndTheLoadGoesOn)
{
	TSampleCopy copy;
	copy.Replace("Data/Race.xml", "<Race id=\"beast\" distance=\"2\"/>", "<Race id=\"dwarf\" distance=\"2\"/>");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.LoadRace(copy.Data("Race.xml")));
	EXPECT_EQ(2, log.CountLines(" Warning TMorvalethData::LoadRace:")) << log.Text();
	EXPECT_EQ(1, log.CountLines("種族 human のAffinityに無効なid=dwarfがあります。"));
	EXPECT_EQ(1, log.CountLines("種族 human のAffinityの他種族数が2です（全種族数4から1を引いた値よりも小さい）。"
		"定義されなかった他種族の友好度は最高となります。"));
	EXPECT_EQ(0, CountErrors(log));
	EXPECT_EQ((std::vector<int>{0, 1, 0, 3}), data.GetRaceData(data.GetRaceIndex("human")).Affinity);
}

TEST(ModelMagic, RepeatedIdsAreKeptInFileOrderWithAWarning)
{
	TSampleCopy copy;
	copy.Replace("Data/Revive.xml", "<Revive id=\"employ\">", "<Revive id=\"same\">");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.LoadRevive(copy.Data("Revive.xml")));
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Data("Revive.xml") + " 重複したid same"));
	ASSERT_EQ(3, data.GetReviveCount());
	EXPECT_EQ(0, data.GetReviveIndex("same"));
	EXPECT_EQ(REVIVE_SAME, data.GetReviveData(0).SelectMethod);
	EXPECT_EQ(REVIVE_EMPLOYABLE, data.GetReviveData(1).SelectMethod);

	// Tables kept in file order: the first of two records wins a lookup.
	copy.Replace("Data/MagicTable.xml", "<Magic id=\"quake\"", "<Magic id=\"firebolt\"");
	copy.Replace("Data/MagicGroup.xml", "<MagicGroup id=\"fire\">", "<MagicGroup id=\"dark\">");
	copy.Replace("Data/Attribute.xml", "<Attribute id=\"fire\"", "<Attribute id=\"slash\"");
	ASSERT_TRUE(data.LoadMagicTable(copy.Data("MagicTable.xml")));
	ASSERT_TRUE(data.LoadMagicGroup(copy.Data("MagicGroup.xml")));
	ASSERT_TRUE(data.LoadAttribute(copy.Data("Attribute.xml")));
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Data("MagicTable.xml") + " 重複したid firebolt"));
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Data("MagicGroup.xml") + " 重複したid dark"));
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Data("Attribute.xml") + " 重複したid slash"));
	EXPECT_EQ(0, data.GetMagicGroupIndex("dark"));
	EXPECT_EQ(1, data.GetAttributeIndex("slash"));
}

TEST(ModelMagic, OnlyTheFirstAttributeMayBeOfTypeNoneAndAMisspeltOneIsReported)
{
	TSampleCopy copy;
	copy.Replace("Data/Attribute.xml", "type=\"None\"", "type=\"Nothing\"");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.LoadAttribute(copy.Data("Attribute.xml")));
	EXPECT_EQ(ATTRIBUTE_NONE, data.GetAttributeData(0).type);
	EXPECT_EQ(1, CountWarnings(log));
	EXPECT_EQ(1, log.CountLines(" 属性タイプ Nothing の認識に失敗しました。先頭の属性なのでNoneとみなします。"));
}

TEST(ModelMagic, UnsortedMagicGroupsAreFoundById)
{
	TSampleCopy copy;
	copy.Replace("Data/MagicGroup.xml", "<MagicGroup id=\"dark\">", "<MagicGroup id=\"zdark\">");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMagicTable(copy.Data("MagicTable.xml")));
	ASSERT_TRUE(data.LoadMagicGroup(copy.Data("MagicGroup.xml")));
	EXPECT_EQ(0, data.GetMagicGroupIndex("zdark"));
	EXPECT_EQ(1, data.GetMagicGroupIndex("fire"));
	EXPECT_TRUE(data.GetMagicGroupData(0).Magic.empty());
}

TEST(ModelMagic, ColourWordsReadHexadecimalOrGiveOpaqueBlack)
{
	TSampleCopy copy;
	copy.Replace("Data/MagicGroup.xml", "FF602080", "FF102030");
	copy.Replace("Data/MagicGroup.xml", "FFE04020", "dark red");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMagicGroup(copy.Data("MagicGroup.xml")));
	const std::uint32_t word = data.GetMagicGroupData(0).Color;
	const unsigned char* bytes = reinterpret_cast<const unsigned char*>(&word);
	EXPECT_EQ(0x10, bytes[0]);
	EXPECT_EQ(0x20, bytes[1]);
	EXPECT_EQ(0x30, bytes[2]);
	EXPECT_EQ(0xFF, bytes[3]);
	EXPECT_EQ(0xFF000000u, data.GetMagicGroupData(1).Color);
}
