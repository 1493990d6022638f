#include "ModelFixture.h"

#include "model/ScenarioInfo.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

namespace
{
/// A chapter file with the three required texts, the given turn and further elements.
std::string ChapterText(const std::string& turn, const std::string& entries)
{
	return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Chapter><Name>First</Name><Explanation>Text</Explanation>"
		+ turn + entries + "</Chapter>\n";
}

std::string Chapter(const std::string& entries)
{
	return ChapterText("<Turn>3</Turn>", entries);
}

/// Writes a scenario folder with a title and the given chapter files (number, text).
void WriteScenario(const std::string& folder, const std::string& title,
	const std::vector<std::pair<int, std::string>>& chapters)
{
	boost::filesystem::create_directories(folder + "/Data");
	WriteFile(folder + "/Scenario.xml", "<Scenario><Title>" + title + "</Title></Scenario>");
	for (const auto& chapter : chapters)
		WriteFile(ChapterPath(folder, chapter.first), chapter.second);
}

const std::string MASTER = "<Master id=\"m\"><Handle>h</Handle><Diffculty>d</Diffculty><Explanation>e</Explanation></Master>";
}

TEST(ModelScenario, SampleChapterOneHoldsItsEntriesInFileOrder)
{
	TChapterInfo chapter;
	ASSERT_TRUE(chapter.Load(ChapterPath(SampleScenario(), 1)));
	EXPECT_EQ(1, chapter.Turn);
	ASSERT_EQ(3, chapter.GetMasterCount());
	EXPECT_EQ("leon", chapter.GetMaster(0).id);
	EXPECT_EQ("A01", chapter.GetMaster(0).Area);
	EXPECT_EQ("若き騎士", chapter.GetMaster(0).Handle);
	EXPECT_EQ("普通", chapter.GetMaster(0).Difficulty);
	EXPECT_FALSE(chapter.GetMaster(1).NotPlayer);
	EXPECT_TRUE(chapter.GetMaster(2).NotPlayer);
	ASSERT_EQ(7u, chapter.Areas.size());
	EXPECT_EQ("garm", chapter.Areas[2].Master);
	EXPECT_FALSE(chapter.Areas[5].Ignore);
	EXPECT_TRUE(chapter.Areas[6].Ignore);
	ASSERT_EQ(2u, chapter.Alliances.size());
	EXPECT_EQ("garm", chapter.Alliances[0].MasterId1);
	EXPECT_EQ(-1, chapter.Alliances[0].Turn);
	EXPECT_EQ(3, chapter.Alliances[1].Turn);
	ASSERT_EQ(7u, chapter.Charas.size());
	EXPECT_EQ(0, chapter.Charas[0].Rank);
	EXPECT_EQ("knight", chapter.Charas[1].id);
	EXPECT_EQ("A01", chapter.Charas[1].Area);
	EXPECT_EQ(1, chapter.Charas[1].Rank);
	EXPECT_EQ(chapter.Explanation, chapter.GetExplanation());
}

TEST(ModelScenario, AChapterOfTextsOnlyHasEmptyListsAndTurnTextsReadTheirLeadingNumber)
{
	TTempDir dir;
	const std::pair<const char*, int> turns[] = {{"<Turn>3</Turn>", 3}, {"<Turn>12abc</Turn>", 12},
		{"<Turn>abc</Turn>", 0}, {"<Turn/>", 0}, {"<Turn> -2</Turn>", -2}};
	for (const auto& turn : turns) {
		WriteFile(dir / "c.xml", ChapterText(turn.first, ""));
		TChapterInfo chapter;
		ASSERT_TRUE(chapter.Load(dir / "c.xml")) << turn.first;
		EXPECT_EQ(turn.second, chapter.Turn) << turn.first;
		EXPECT_EQ("First", chapter.Name);
		EXPECT_EQ(0, chapter.GetMasterCount());
		EXPECT_TRUE(chapter.Areas.empty() && chapter.Alliances.empty() && chapter.Charas.empty());
	}
}

TEST(ModelScenario, AllianceTurnsAreInfiniteOrWholeNumbers)
{
	TTempDir dir;
	WriteFile(dir / "c.xml", Chapter("<Alliance id1=\"a\" id2=\"b\" turn=\"infinite\"/><Alliance id1=\"b\" id2=\"c\" turn=\"-1\"/>"));
	TChapterInfo chapter;
	ASSERT_TRUE(chapter.Load(dir / "c.xml"));
	EXPECT_EQ(-1, chapter.Alliances[0].Turn);
	EXPECT_EQ(-1, chapter.Alliances[1].Turn);
	// Below -1 an alliance would never end without being endless.
	WriteFile(dir / "c.xml", Chapter("<Alliance id1=\"a\" id2=\"b\" turn=\"-2\"/>"));
	{
		TCapturedLog log;
		EXPECT_FALSE(chapter.Load(dir / "c.xml"));
		EXPECT_EQ(1, log.CountLines(" Error " + (dir / "c.xml") + " Alliance a-b のturn -2 が -1 未満です。")) << log.Text();
		EXPECT_EQ(1, CountErrors(log));
	}
	for (const char* turn : {" turn=\"\"", "", " turn=\" 3\"", " turn=\"3 \"", " turn=\"Infinite\"", " turn=\"2x\""}) {
		WriteFile(dir / "c.xml", Chapter(std::string("<Alliance id1=\"a\" id2=\"b\"") + turn + "/>"));
		TCapturedLog log;
		EXPECT_FALSE(chapter.Load(dir / "c.xml")) << turn;
		EXPECT_EQ(1, log.CountLines(" Error " + (dir / "c.xml") + " Allianceのturnの解釈に失敗しました。")) << turn;
	}
}

TEST(ModelScenario, FlagsAreTrueOnlyForTheExactWord)
{
	TTempDir dir;
	WriteFile(dir / "c.xml", Chapter(
		"<Area id=\"a\" master=\"m\" ignore=\"true\"/><Area id=\"b\" ignore=\"True\"/><Area id=\"c\" master=\"\" ignore=\"true\"/>"
		"<Master id=\"m\" notplayer=\"TRUE\"><Handle/><Diffculty/><Explanation/></Master>"
		"<Character id=\"x\" area=\"a\" rank=\"two\"/><Character id=\"y\" area=\"a\" rank=\"2nd\"/>"));
	TChapterInfo chapter;
	ASSERT_TRUE(chapter.Load(dir / "c.xml"));
	EXPECT_FALSE(chapter.Areas[0].Ignore);
	EXPECT_FALSE(chapter.Areas[1].Ignore);
	EXPECT_TRUE(chapter.Areas[2].Ignore);
	EXPECT_FALSE(chapter.GetMaster(0).NotPlayer);
	EXPECT_EQ(0, chapter.Charas[0].Rank);
	EXPECT_EQ(2, chapter.Charas[1].Rank);
}

TEST(ModelScenario, AChapterMissingARequiredPartFailsNamingIt)
{
	TTempDir dir;
	const std::pair<std::string, const char*> cases[] = {
		{"<Chapter><Explanation/><Turn/></Chapter>", " Nameが見つかりませんでした。"},
		{"<Chapter><Name/><Turn/></Chapter>", " Explanationが見つかりませんでした。"},
		{ChapterText("", ""), " Turnが見つかりませんでした。"},
		{Chapter("<Master id=\"m\"><Diffculty/><Explanation/></Master>"), " Handleが見つかりませんでした。"},
		{Chapter("<Master id=\"m\"><Handle/><Difficulty/><Explanation/></Master>"), " Diffcultyが見つかりませんでした。"},
		{Chapter("<Master id=\"m\"><Handle/><Diffculty/></Master>"), " Explanationが見つかりませんでした。"},
		{"<Scenario><Name/><Explanation/><Turn/></Scenario>", " Chapter検索失敗"},
		{"<Chapter><Name>", " XML Parse Error"},
		// Every entry names its master, area or character by its id.
		{Chapter("<Master><Handle/><Diffculty/><Explanation/></Master>"), " id not found (Master id = )"},
		{Chapter("<Area master=\"m\"/>"), " id not found (Area id = )"},
		{Chapter("<Character id=\"\" area=\"A01\"/>"), " id not found (Character id = )"},
	};
	for (const auto& broken : cases) {
		WriteFile(dir / "c.xml", broken.first);
		TCapturedLog log;
		TChapterInfo chapter;
		EXPECT_FALSE(chapter.Load(dir / "c.xml")) << broken.first;
		EXPECT_EQ(1, log.CountLines(" Error " + (dir / "c.xml") + broken.second)) << broken.first;
		EXPECT_EQ(1, CountErrors(log)) << broken.first;
	}
	TCapturedLog log;
	TChapterInfo chapter;
	EXPECT_FALSE(chapter.Load(dir / "missing.xml"));
	EXPECT_EQ(1, log.CountLines(" Error " + (dir / "missing.xml") + " XML Parse Error"));
}

TEST(ModelScenario, ChaptersAreReadUpToTheFirstMissingOrBrokenFile)
{
	TTempDir dir;
	WriteScenario(dir / "gap", "Gap", {{1, Chapter("")}, {2, Chapter(MASTER)}, {4, Chapter("")}});
	TScenarioInfo gap;
	ASSERT_TRUE(gap.Load(dir / "gap"));
	EXPECT_EQ("Gap", gap.Title);
	EXPECT_EQ(2, gap.GetChapterCount());
	EXPECT_EQ(1, gap.GetChapter(1).GetMasterCount());

	WriteScenario(dir / "broken", "Broken", {{1, Chapter("")}, {2, Chapter("<Master id=\"m\"/>")}});
	TCapturedLog log;
	TScenarioInfo broken;
	ASSERT_TRUE(broken.Load(dir / "broken"));
	EXPECT_EQ(1, broken.GetChapterCount());
	EXPECT_EQ(1, log.CountLines(ChapterPath(dir / "broken", 2) + " Handleが見つかりませんでした。"));
	EXPECT_EQ("", broken.GetChapter(1).Name);
	EXPECT_EQ(1, log.CountLines("scenario chapters: index 1 outside the table of 1 entries"));
}

// The list reads a long chapter file only for its name and explanation: from its head when they lie whole there,
// else from the whole file, as the chapter's start reads it; what else the head holds is read when the chapter
// starts. A chapter that loads is listed, with the chapters after it, wherever its texts stand.
TEST(ModelScenario, TheListReadsALongChapterForItsNameAndExplanationWhereverTheyStand)
{
	TTempDir dir;
	std::string note = "<Note>";
	// A three-byte character, so that the end of the head cuts one.
	while (note.size() < CHAPTER_HEAD_BYTES)
		note += "\xE4\xB8\x98";
	note += "</Note>";
	const std::string brokenTail = "<Master id=\"m\"/>";
	for (int shift = 0; shift < 3; ++shift) {
		SCOPED_TRACE(shift);
		const std::string pad(shift, ' ');
		WriteScenario(dir / "long", "Long", {{1, ChapterText(pad + "<Turn>3</Turn>", note + brokenTail)},
			{2, "<Chapter>" + pad + "<Name>Late</Name>" + note + "<Explanation>x</Explanation><Turn>1</Turn></Chapter>"},
			{3, "<Chapter>" + pad + "<Turn>1</Turn>" + note + MASTER + "<Explanation>y</Explanation><Name>Last</Name></Chapter>"},
			{4, Chapter("")}});
		TCapturedLog log;
		TScenarioInfo info;
		ASSERT_TRUE(info.Load(dir / "long"));
		ASSERT_EQ(4, info.GetChapterCount()) << log.Text();
		EXPECT_EQ("First", info.GetChapter(0).Name);
		EXPECT_EQ("Text", info.GetChapter(0).Explanation);
		EXPECT_EQ("Late", info.GetChapter(1).Name);
		EXPECT_EQ("x", info.GetChapter(1).Explanation);
		EXPECT_EQ("Last", info.GetChapter(2).Name);
		EXPECT_EQ("y", info.GetChapter(2).Explanation);
		EXPECT_EQ("First", info.GetChapter(3).Name);
		EXPECT_EQ(0, CountErrors(log)) << log.Text();
	}
	// A long chapter that does not load is refused for the reason its start would give, and hides those after it.
	WriteScenario(dir / "nameless", "Nameless", {{1, Chapter("")},
		{2, "<Chapter><Turn>1</Turn>" + note + "<Explanation>x</Explanation></Chapter>"}, {3, Chapter("")}});
	{
		TCapturedLog log;
		TScenarioInfo info;
		ASSERT_TRUE(info.Load(dir / "nameless"));
		EXPECT_EQ(1, info.GetChapterCount());
		EXPECT_EQ(1, CountErrors(log)) << log.Text();
		EXPECT_EQ(1, log.CountLines(" Error " + ChapterPath(dir / "nameless", 2) + " Nameが見つかりませんでした。"))
			<< log.Text();
		EXPECT_EQ(0, log.CountLines("先頭")) << log.Text();
	}
	// The chapter itself is read whole when it starts.
	TCapturedLog log;
	TChapterInfo chapter;
	EXPECT_FALSE(chapter.Load(ChapterPath(dir / "long", 1)));
	EXPECT_EQ(1, log.CountLines(ChapterPath(dir / "long", 1) + " Handleが見つかりませんでした。"));
}

// A folder without the file is no scenario and says nothing; a broken file says what is wrong with it.
TEST(ModelScenario, AScenarioWithoutTitleFailsWithTheReasonAndAFolderWithoutOneSilently)
{
	TTempDir dir;
	WriteScenario(dir / "s", "T", {{1, Chapter("")}});
	const std::string path = dir / "s/Scenario.xml";
	const struct
	{
		const char* text;
		const char* reason;
	} cases[] = {
		{"<Scenario><Name>T</Name></Scenario>", " Title検索失敗"},
		{"<Title>T</Title>", " Scenario検索失敗"},
		{"<Scenario><Title>T</Scenario>", " XML Parse Error (Error reading end tag. 行 1 列 19)"},
	};
	for (const auto& c : cases) {
		WriteFile(path, c.text);
		TCapturedLog log;
		TScenarioInfo info;
		EXPECT_FALSE(info.Load(dir / "s"));
		EXPECT_EQ(1, CountErrors(log)) << log.Text();
		EXPECT_EQ(1, log.CountLines(" Error " + path + c.reason)) << log.Text();
	}
	TCapturedLog log;
	TScenarioInfo info;
	EXPECT_FALSE(info.Load(dir / "none"));
	EXPECT_EQ(0, CountErrors(log));
}

TEST(ModelScenario, TheScenarioListIsSortedAndSkipsFilesAndBrokenFoldersAndAMissingFolderIsLogged)
{
	TTempDir dir;
	WriteScenario(dir / "Zeta", "Z", {{1, Chapter("")}});
	WriteScenario(dir / "Alpha", "A", {});
	WriteScenario(dir / "Mid", "M", {{1, Chapter("")}, {2, Chapter("")}});
	WriteScenario(dir / "NoTitle", "", {});
	WriteFile(dir / "NoTitle/Scenario.xml", "<Scenario/>");
	WriteFile(dir / "readme.txt", "not a scenario");
	for (int run = 0; run < 2; ++run) {
		const std::vector<TScenarioEntry> list = ListScenarios(dir.Path());
		ASSERT_EQ(3u, list.size());
		EXPECT_EQ("Alpha", list[0].Folder);
		EXPECT_EQ(0, list[0].Info.GetChapterCount());
		EXPECT_EQ("Mid", list[1].Folder);
		EXPECT_EQ(2, list[1].Info.GetChapterCount());
		EXPECT_EQ("Zeta", list[2].Folder);
		EXPECT_EQ("Z", list[2].Info.Title);
	}
	TCapturedLog log;
	EXPECT_TRUE(ListScenarios(dir / "Scenario").empty());
	EXPECT_EQ(1, log.CountLines("Scenario directory(" + (dir / "Scenario") + ") not found."));
}

// No name in memory leads to such a folder: the list cannot hold it, and says why, showing what it can of the name.
TEST(ModelScenario, AScenarioFolderWhoseNameHasNoShiftJisFormIsLeftOutWithAWarning)
{
	TTempDir dir;
	WriteScenario(dir / "Good", "G", {{1, Chapter("")}});
	WriteScenario(dir / (u8"シナリオ" + std::string("\xFF")), "Bad", {{1, Chapter("")}});
	WriteScenario(dir / u8"한", "Hangul", {{1, Chapter("")}});
	WriteFile(dir / "note\xFF.txt", "not a scenario");
	TCapturedLog log;
	const std::vector<TScenarioEntry> list = ListScenarios(dir.Path());
	ASSERT_EQ(1u, list.size());
	EXPECT_EQ("Good", list[0].Folder);
	EXPECT_EQ(2, CountWarnings(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning " + dir.Path() + "/シナリオ\\xFF : フォルダの名前が UTF-8 として正しくないので、"
		"シナリオの一覧に入れません")) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning " + dir.Path() + "/\\xED\\x95\\x9C : フォルダの名前に Shift-JIS に無い文字があるので、"
		"シナリオの一覧に入れません")) << log.Text();
	EXPECT_EQ(0, CountErrors(log));
}

TEST(ModelScenario, TheSampleScenarioIsListedWithItsChapters)
{
	const std::vector<TScenarioEntry> list = ListScenarios(MORVALETH_SOURCE_DIR "/data/Scenario");
	ASSERT_FALSE(list.empty());
	EXPECT_EQ("Default", list[0].Folder);
	EXPECT_EQ(4, list[0].Info.GetChapterCount());
	EXPECT_EQ("第二章　北の覇者", list[0].Info.GetChapter(1).Name);
	EXPECT_EQ("終章　永久の盟約", list[0].Info.GetChapter(3).Name);
}
