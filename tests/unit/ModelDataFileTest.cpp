#include "ModelFixture.h"

#include "model/DataFile.h"
#include "model/MorvalethData.h"

#include <climits>
#include <gtest/gtest.h>
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
