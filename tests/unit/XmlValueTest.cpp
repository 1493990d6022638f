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

TEST(XmlValue, TextIntReadsLeadingNumber)
{
	EXPECT_EQ(12, GetXmlTextInt(TParsed("<a>12abc</a>").Root()));
	EXPECT_EQ(-7, GetXmlTextInt(TParsed("<a>-7</a>").Root()));
	EXPECT_EQ(42, GetXmlTextInt(TParsed("<a>  42</a>").Root()));
	EXPECT_EQ(0, GetXmlTextInt(TParsed("<a></a>").Root()));
	EXPECT_EQ(0, GetXmlTextInt(TParsed("<a>word</a>").Root()));
	EXPECT_EQ(0, GetXmlTextInt(TParsed("<a><b>5</b></a>").Root()));
	EXPECT_EQ(0, GetXmlTextInt(nullptr));
	EXPECT_EQ(2147483647, GetXmlTextInt(TParsed("<a>99999999999</a>").Root()));
}

TEST(XmlValue, TextAndAttributesAreReadAsShiftJis)
{
	TParsed doc(u8"<a name=\"剣士\">データなし</a>");
	EXPECT_EQ("データなし", GetXmlText(doc.Root()));
	EXPECT_EQ("剣士", GetXmlAttribute(doc.Root(), "name"));
	EXPECT_EQ("?", GetXmlText(TParsed(u8"<a>\u301C</a>").Root()));
}

TEST(XmlValue, MissingTextAndAttributesReadEmpty)
{
	TParsed doc("<a empty=\"\"/>");
	EXPECT_EQ("", GetXmlText(doc.Root()));
	EXPECT_EQ("", GetXmlAttribute(doc.Root(), "absent"));
	EXPECT_EQ("", GetXmlAttribute(doc.Root(), "empty"));
	EXPECT_EQ("", GetXmlText(nullptr));
}

TEST(XmlValue, WrittenValuesAreUtf8)
{
	TiXmlElement element("a");
	element.LinkEndChild(new TiXmlElement("b"));
	SetXmlAttribute(&element, "name", "old");
	SetXmlAttribute(&element, "name", "剣士");
	AppendXmlText(&element, "ソ表");
	EXPECT_EQ(u8"<a name=\"剣士\"><b />ソ表</a>", Printed(element));
}

TEST(XmlValue, WrittenTextReadsBackUnchanged)
{
	TiXmlElement element("a");
	AppendXmlText(&element, "ソ表\xB1 abc");
	TParsed doc(Printed(element).c_str());
	EXPECT_EQ("ソ表\xB1 abc", GetXmlText(doc.Root()));
}

TEST(XmlValue, EmptyTextStillAppendsANode)
{
	TiXmlElement element("a");
	AppendXmlText(&element, "");
	ASSERT_NE(nullptr, element.FirstChild());
	EXPECT_NE(nullptr, element.FirstChild()->ToText());
}

TEST(XmlValue, ChildIntAttributeIsReadFromTheFirstChild)
{
	TParsed doc("<a><b v=\"12\"/><b v=\"13\"/></a>");
	TCapturedLog log;
	int value = 0;
	EXPECT_TRUE(QueryChildIntAttribute(doc.Root(), "b", "v", value, "unused"));
	EXPECT_EQ(12, value);
	EXPECT_EQ("", log.Text());
}

TEST(XmlValue, ChildIntAttributeFailureLogsTheMessageOnce)
{
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
