#include "ModelFixture.h"

#include "model/MorvalethData.h"

#include <gtest/gtest.h>

TEST(ModelMasterMap, BrokenMasterPowerMapAndFieldMapFilesFailWithTheirReasons)
{
	const char* const master = "マスター情報の読み込みに失敗しました。";
	const char* const power = "勢力地図情報の読み込みに失敗しました。";
	const char* const field = "フィールドマップ情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"Data/MasterData.xml", nullptr, nullptr, " XML parse error", master},
		{"Data/MasterData.xml", "MasterList", "Masters", " MasterList検索失敗", master},
		{"Data/MasterData.xml", "<Character>", "<Characters>", " XML parse error", master},
		{"Data/MasterData.xml", "Character>", "Folders>", " Character検索失敗", master},
		{"Data/MasterData.xml", "<Name>セラ</Name>", "", " MasterのName検索失敗", master},
		{"Data/MasterData.xml", "<Master id=\"sera\">", "<Master>", " id not found", master},
		{"Data/MasterData.xml", "<Directory>Extra<", "<Directory>../../../etc<", " ../../../etc はシナリオフォルダの外を指しています。", master},
		{"Data/MasterData.xml", "<Directory>Extra<", "<Directory>/etc<", " /etc はシナリオフォルダの外を指しています。", master},
		{"Data/MasterData.xml", "flag_sera.png", "..\\..\\..\\..\\flag.png", " ..\\..\\..\\..\\flag.png はシナリオフォルダの外を指しています。", master},
		{"Data/MasterData.xml", "decisive.wav", "../../../../x.wav", " ../../../../x.wav はシナリオフォルダの外を指しています。", master},
		{"Data/PowerMap.xml", nullptr, nullptr, " file not found", power},
		{"Data/PowerMap.xml", "<Image>", "<Picture>", " XML parse error", power},
		{"Data/PowerMap.xml", "Image>", "Picture>", " Image not found", power},
		{"Data/PowerMap.xml", "File>", "Name>", " File not found", power},
		{"Data/PowerMap.xml", "AreaList>", "Areas>", " AreaList検索失敗", power},
		{"Data/PowerMap.xml", "<Area id=\"A02\">", "<Area>", " id not found", power},
		{"Data/PowerMap.xml", "powermap.png", "C:\\map.png", " C:\\map.png はシナリオフォルダの外を指しています。", power},
		{"Data/FieldMap.xml", nullptr, nullptr, " XML parse error", field},
		{"Data/FieldMap.xml", "FieldMap", "WorldMap", " FieldMap検索失敗", field},
		{"Data/FieldMap.xml", "Width=", "W=", " FieldMap Width検索失敗", field},
		{"Data/FieldMap.xml", "Height=\"480\"", "Height=\"tall\"", " FieldMap Height検索失敗", field},
		{"Data/FieldMap.xml", "fieldmap.png", "../../../fieldmap.png", " ../../../fieldmap.png はシナリオフォルダの外を指しています。", field},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelMasterMap, NamesLeadingToAnotherScenarioAreAccepted)
{
	TSampleCopy copy;
	copy.Replace("Data/MasterData.xml", "<Directory>Extra<", "<Directory>../Default/DefChar<");
	copy.Replace("Data/MasterData.xml", "flag_sera.png", "../../Default/Picture/flag_sera.png");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMasterData(copy.Data("MasterData.xml")));
	EXPECT_EQ("../Default/DefChar", data.GetCharaDirectory(2));
	EXPECT_EQ(0, CountErrors(log));
}

// A folder listed again would repeat every id it defines, and a file that lists
// one thousands of times would take the load minutes; it is read once.
TEST(ModelMasterMap, ARepeatedCharacterFolderIsWarnedOfOnceAndReadOnce)
{
	TSampleCopy copy;
	std::string repeated;
	for (int i = 0; i < 2000; ++i)
		repeated += i % 2 ? "<Directory>Extra</Directory>" : "<Directory>DefChar</Directory>";
	copy.Replace("Data/MasterData.xml", "<Directory>Extra</Directory>", "<Directory>Extra</Directory>" + repeated);
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.Load(copy.Folder(), 0));
	EXPECT_EQ(2, CountWarnings(log)) << log.Text();
	const std::string path = copy.Data("MasterData.xml");
	EXPECT_EQ(1, log.CountLines(" Warning " + path + " キャラクターフォルダ DefChar が重複しています。"));
	EXPECT_EQ(1, log.CountLines(" Warning " + path + " キャラクターフォルダ Extra が重複しています。"));
	EXPECT_EQ(3, data.GetCharaDirectoryCount());
	EXPECT_EQ(LoadedSample().GetCharaCount(), data.GetCharaCount());
	EXPECT_EQ(LoadedSample().GetSpecialCount(), data.GetSpecialCount());
}

TEST(ModelMasterMap, MastersAreSortedByIdAndAMissingColourIsOpaqueBlack)
{
	TSampleCopy copy;
	copy.Replace("Data/MasterData.xml", "<PowerMapColor>FF40A040</PowerMapColor>", "");
	copy.Replace("Data/MasterData.xml", "<Master id=\"leon\">", "<Master id=\"abel\">");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMasterData(copy.Data("MasterData.xml")));
	EXPECT_EQ(0, data.GetMasterIndex("abel"));
	EXPECT_EQ(-1, data.GetMasterIndex("leon"));
	EXPECT_EQ(2, data.GetMasterIndex("sera"));
	EXPECT_EQ(0xFF000000u, data.GetMasterData(2).PowerMapColor);
}

TEST(ModelMasterMap, AFieldMapWithoutHeightKeepsTheWidthReadBeforeTheFailure)
{
	TSampleCopy copy;
	copy.Replace("Data/FieldMap.xml", " Height=\"480\"", "");
	TMorvalethData data;
	TCapturedLog log;
	EXPECT_FALSE(data.LoadFieldMap(copy.Data("FieldMap.xml")));
	EXPECT_EQ(1, log.CountLines(" Error " + copy.Data("FieldMap.xml") + " FieldMap Height検索失敗"));
	EXPECT_EQ(640, data.GetFieldMapWidth());
	EXPECT_EQ(0, data.GetFieldMapHeight());
}

TEST(ModelMasterMap, AFieldMapWithoutImageLeavesTheFileNameEmpty)
{
	TSampleCopy copy;
	copy.Replace("Data/FieldMap.xml", "Image>", "Picture>");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadFieldMap(copy.Data("FieldMap.xml")));
	EXPECT_EQ("", data.GetFieldMapFile());
	EXPECT_EQ(480, data.GetFieldMapHeight());
}

TEST(ModelMasterMap, PaintPointsAtTheOriginAreDroppedAndOthersKept)
{
	TSampleCopy copy;
	copy.Replace("Data/PowerMap.xml", "<PaintPoint x=\"0\" y=\"0\"/>", "<PaintPoint x=\"0\" y=\"5\"/><PaintPoint/>");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadPowerMap(copy.Data("PowerMap.xml")));
	const TPowerMapAreaData& area = data.GetPowerMapAreaData(data.GetPowerMapAreaIndex("A05"));
	ASSERT_EQ(2u, area.PaintPoints.size());
	EXPECT_EQ(0, area.PaintPoints[1].x);
	EXPECT_EQ(5, area.PaintPoints[1].y);
}
