#include "app/XmlValue.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
/// An element parsed from UTF-8 XML text.
class TParsed
{
public:
	explicit TParsed(const char* xml) { m_Document.Parse(xml); }
	TiXmlElement* Root() { return m_Document.RootElement(); }

private:
	TiXmlDocument m_Document;
};

std::string Printed(const TiXmlElement& element)
{
	TiXmlPrinter printer;
	printer.SetStreamPrinting();
	element.Accept(&printer);
	return printer.CStr();
}
}

TEST(XmlValue, TextsReadTheirLeadingNumberAndTextsAndAttributesReadAsShiftJisOrEmpty)
{
	const std::pair<const char*, int> numbers[] = {{"<a>12abc</a>", 12}, {"<a>-7</a>", -7}, {"<a>  42</a>", 42},
		{"<a></a>", 0}, {"<a>word</a>", 0}, {"<a><b>5</b></a>", 0}, {"<a>99999999999</a>", 2147483647}};
	for (const auto& n : numbers)
		EXPECT_EQ(n.second, GetXmlTextInt(TParsed(n.first).Root())) << n.first;
	EXPECT_EQ(0, GetXmlTextInt(nullptr));

	TParsed doc(u8"<a name=\"剣士\" empty=\"\">データなし</a>");
	EXPECT_EQ("データなし", GetXmlText(doc.Root()));
	EXPECT_EQ("剣士", GetXmlAttribute(doc.Root(), "name"));
	EXPECT_EQ("?", GetXmlText(TParsed(u8"<a>\u301C</a>").Root()));
	EXPECT_EQ("", GetXmlText(TParsed("<a/>").Root()));
	EXPECT_EQ("", GetXmlAttribute(doc.Root(), "absent"));
	EXPECT_EQ("", GetXmlAttribute(doc.Root(), "empty"));
	EXPECT_EQ("", GetXmlText(nullptr));
}

TEST(XmlValue, WrittenValuesAreUtf8AndReadBackUnchanged)
{
	TiXmlElement element("a");
	element.LinkEndChild(new TiXmlElement("b"));
	SetXmlAttribute(&element, "name", "old");
	SetXmlAttribute(&element, "name", "剣士");
	AppendXmlText(&element, "ソ表");
	EXPECT_EQ(u8"<a name=\"剣士\"><b />ソ表</a>", Printed(element));

	TiXmlElement text("a");
	AppendXmlText(&text, "ソ表\xB1 abc");
	EXPECT_EQ("ソ表\xB1 abc", GetXmlText(TParsed(Printed(text).c_str()).Root()));
	// Empty text still appends a node.
	TiXmlElement empty("a");
	AppendXmlText(&empty, "");
	ASSERT_NE(nullptr, empty.FirstChild());
	EXPECT_NE(nullptr, empty.FirstChild()->ToText());
}

TEST(XmlValue, ChildIntAttributesAreReadFromTheFirstChildAndAFailureLogsTheMessageOnce)
{
	TParsed first("<a><b v=\"12\"/><b v=\"13\"/></a>");
	{
		TCapturedLog log;
		int value = 0;
		EXPECT_TRUE(QueryChildIntAttribute(first.Root(), "b", "v", value, "unused"));
		EXPECT_EQ(12, value);
		EXPECT_EQ("", log.Text());
	}
	TParsed doc("<a><b v=\"word\"/></a>");
	const char* cases[][2] = { { "b", "v" }, { "b", "w" }, { "c", "v" } };
	for (const auto& names : cases) {
		TCapturedLog log;
		int value = 5;
		EXPECT_FALSE(QueryChildIntAttribute(doc.Root(), names[0], names[1], value, "Loader::Read:7:no value"));
		EXPECT_EQ(5, value);
		EXPECT_EQ(1, log.CountLines(" Error Loader::Read:7:no value"));
	}
}
