#include "ModelFixture.h"

#include "model/DataFile.h"
#include "model/MorvalethData.h"

#include <boost/filesystem.hpp>
#include <climits>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tinyxml.h>

TEST(ModelDataFile, WholeNumbersAllowASignAndDigitsOnly)
{
	int value = 7;
	EXPECT_TRUE(ParseWholeInt("-12", value));
	EXPECT_EQ(-12, value);
	EXPECT_TRUE(ParseWholeInt("+3", value));
	EXPECT_EQ(3, value);
	EXPECT_TRUE(ParseWholeInt("2147483647", value));
	EXPECT_EQ(INT_MAX, value);
	EXPECT_TRUE(ParseWholeInt("-2147483648", value));
	EXPECT_EQ(INT_MIN, value);
	for (const char* text : {"", "-", "+", " 3", "3 ", "3a", "0x3", "1e3", "2147483648", "99999999999999999999"})
		EXPECT_FALSE(ParseWholeInt(text, value)) << text;
	EXPECT_EQ(INT_MIN, value);
}

TEST(ModelDataFile, ColourWordsSwapRedAndBlue)
{
	EXPECT_EQ(0xFF302010u, ParseColorWord("FF102030"));
	EXPECT_EQ(0xFF302010u, ParseColorWord("0xff102030"));
	EXPECT_EQ(0x00302010u, ParseColorWord("102030"));
	for (const char* text : {"", "0x", "black", "FF10203G", "1FF102030", " FF102030"})
		EXPECT_EQ(0xFF000000u, ParseColorWord(text)) << text;
}

TEST(ModelDataFile, NamesMustStayInsideTheScenarioRoot)
{
	EXPECT_TRUE(StaysInsideScenarioRoot("DefChar", 1));
	EXPECT_TRUE(StaysInsideScenarioRoot("../Default/DefChar", 1));
	EXPECT_TRUE(StaysInsideScenarioRoot("./a/./b/../../..", 1));
	EXPECT_TRUE(StaysInsideScenarioRoot("..\\..\\Default\\Picture\\x.png", 2));
	EXPECT_TRUE(StaysInsideScenarioRoot("", 2));
	EXPECT_FALSE(StaysInsideScenarioRoot("../..", 1));
	EXPECT_FALSE(StaysInsideScenarioRoot("a/../../../b", 1));
	EXPECT_FALSE(StaysInsideScenarioRoot("..\\..\\..\\x.png", 2));
	EXPECT_FALSE(StaysInsideScenarioRoot("/etc/passwd", 2));
	EXPECT_FALSE(StaysInsideScenarioRoot("\\x", 2));
	EXPECT_FALSE(StaysInsideScenarioRoot("C:x", 2));
	// The second byte of a double-byte character is no separator, even when it is "\".
	EXPECT_TRUE(StaysInsideScenarioRoot("\x95\x5C../../..", 1));
}

TEST(ModelDataFile, AHostileDeeplyNestedFileIsRefusedWithoutCrashing)
{
	TTempDir dir;
	std::string text;
	for (int i = 0; i < 200000; ++i)
		text += "<a>";
	WriteFile(dir / "deep.xml", text);
	TiXmlDocument document;
	EXPECT_EQ(TXmlFileState::Malformed, LoadXmlFile(document, dir / "deep.xml"));

	std::string quoted = "<a x='>'>";
	// Well formed, but deeper than any data: markup inside quotes, comments and CDATA does not hide the depth.
	for (int i = 0; i < 300; ++i)
		quoted += "<b y=\"/>\"><!-- </b> --><![CDATA[</b>]]>";
	for (int i = 0; i < 300; ++i)
		quoted += "</b>";
	WriteFile(dir / "quoted.xml", quoted + "</a>");
	EXPECT_EQ(TXmlFileState::Malformed, LoadXmlFile(document, dir / "quoted.xml"));

	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.LoadRace(dir / "deep.xml"));
	EXPECT_EQ(1, log.CountLines(" Error " + (dir / "deep.xml") + " XML parse error"));
}

TEST(ModelDataFile, ModeratelyNestedAndFlatFilesLoad)
{
	TTempDir dir;
	std::string text = "<?xml version=\"1.0\"?><!DOCTYPE r><r>";
	for (int i = 0; i < 200; ++i)
		text += "<a k=\"1\"><e/><f x='/'/>";
	for (int i = 0; i < 200; ++i)
		text += "</a>";
	WriteFile(dir / "ok.xml", text + "</r>");
	TiXmlDocument document;
	EXPECT_EQ(TXmlFileState::Loaded, LoadXmlFile(document, dir / "ok.xml"));
	EXPECT_EQ(TXmlFileState::Missing, LoadXmlFile(document, dir / "none.xml"));
}

// What TinyXML cannot read safely never reaches it; every refusal says why,
// and a parse error gives TinyXML's own text with its row and column.
TEST(ModelDataFile, FilesTinyXmlCannotReadSafelyAreRefusedWithTheirReason)
{
	TTempDir dir;
	std::string deep = "<r>";
	std::string wide = "<r";
	for (int i = 0; i < 300; ++i) {
		deep += "<a>";
		wide += " a" + std::to_string(i) + "='1'";
	}
	boost::filesystem::create_directory(dir / "folder.xml");
	ASSERT_EQ(0, ::mkfifo((dir / "pipe.xml").c_str(), 0600));
	const struct
	{
		const char* file;
		std::string text;
		const char* reason;
	} cases[] = {
		{"folder.xml", "", " (通常のファイルではありません)"},
		{"pipe.xml", "", " (通常のファイルではありません)"},
		{"cut.xml", "<r>\xE6\x97\xA5\xE6\x97", " (オフセット 6 のバイトが UTF-8 として正しくありません)"},
		{"stray.xml", "<r a='\x80'/>", " (オフセット 6 のバイトが UTF-8 として正しくありません)"},
		{"deep.xml", deep, " (要素の入れ子が 256 段を超えています)"},
		{"wide.xml", wide + "/>", " (1つの要素の属性が 256 個を超えています)"},
		{"unclosed.xml", "<r>\n  <a></r>", " (Error reading end tag. 行 2 列 6)"},
		{"empty.xml", "", " (Error document empty. 行 0 列 0)"},
	};
	for (const auto& c : cases) {
		const std::string path = dir / c.file;
		if (!FileExists(path))
			WriteFile(path, c.text);
		TiXmlDocument document;
		std::string reason;
		EXPECT_EQ(TXmlFileState::Malformed, LoadXmlFile(document, path, reason)) << c.file;
		EXPECT_EQ(c.reason, reason) << c.file;
		TCapturedLog log;
		EXPECT_FALSE(ReadXmlDataFile(document, path, true));
		EXPECT_EQ(1, log.CountLines(" Error " + path + " XML parse error" + c.reason)) << log.Text();
	}
}

// TinyXML's own file reader made every line end "\n" and stopped at a NUL byte; the text it is handed still does.
TEST(ModelDataFile, LineEndsAndNulBytesReadAsTinyXmlReadsThem)
{
	TTempDir dir;
	WriteFile(dir / "ends.xml", std::string("<r a='x\r\ny\rz'/>") + '\0' + "<broken");
	TiXmlDocument document;
	ASSERT_EQ(TXmlFileState::Loaded, LoadXmlFile(document, dir / "ends.xml"));
	EXPECT_STREQ("x\ny\nz", document.RootElement()->Attribute("a"));
}
