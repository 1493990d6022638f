#include "app/XmlGuard.h"

#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <tinyxml.h>

namespace
{
const TXmlShape NO_LIMITS = {INT_MAX, INT_MAX, LONG_MAX, LONG_MAX};

/// Limits on depth and attributes only.
TXmlShape Limits(int depth, int attributes)
{
	return {depth, attributes, LONG_MAX, LONG_MAX};
}

/// The deepest element, the most attributes of one element, and the elements and nodes (the document's own
/// node left out) of what TinyXML built, finished or not.
TXmlShape ShapeOf(const TiXmlNode* node, int depth)
{
	TXmlShape shape;
	shape.nodes = depth > 0;
	if (const TiXmlElement* element = node->ToElement()) {
		shape.depth = depth;
		shape.elements = 1;
		for (const TiXmlAttribute* a = element->FirstAttribute(); a; a = a->Next())
			++shape.attributes;
		shape.nodes += shape.attributes;
	}
	for (const TiXmlNode* child = node->FirstChild(); child; child = child->NextSibling()) {
		const TXmlShape inner = ShapeOf(child, depth + 1);
		shape.depth = std::max(shape.depth, inner.depth);
		shape.attributes = std::max(shape.attributes, inner.attributes);
		shape.elements += inner.elements;
		shape.nodes += inner.nodes;
	}
	return shape;
}

/// Parses the text with TinyXML; every element it entered stays in the document, even after an error.
TXmlShape ParsedShape(const std::string& text)
{
	TiXmlDocument document;
	document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
	return ShapeOf(&document, 0);
}

// Pieces that exercise every construct TinyXML tells apart and every way its parse can end.
const char* const PIECES[] = {"<a>", "</a>", "<b>", "</b >", "</ b>", "<a/>", "<a x='1'>", "<b y=\"2\" z='3'/>",
	"<a x='1' x='2'>", "<a x=1>", "<a x=1/>", "<a x=\"'\">", "<a x='\">'>", "<?xml version='", "<?XML encoding=\"",
	"<?xml standalone=yes ?>", "<?pi \"", "<!DOCTYPE r '", "<!-- ", " -->", "<![CDATA[", "]]>", "<!", "<", ">", "/>",
	"/", "'", "\"", "=", " x='y'", "&#x41;", "&#65;", "&#32;", "&#x9;", "&#x200000;", "&#18446744073709551648;", "&#x;", "&#;", "&#xZ;", "&#12", "&amp;", "&bogus;", "&",
	"text", " ", "\n", "\t", "\xEF\xBB\xBF", "\xEF\xBF\xBE", "\xC3\xA9", "\xE6\x97\xA5", "<\xE6\x97\xA5>",
	"</\xE6\x97\xA5>", "<_x>", "</_x>", "<1>", "< a>", "<a\xEF\xBB\xBF>", "<\xEF\xBB\xBF" "a>", "<r.x-y:z>"};

std::string RandomText(std::mt19937& random)
{
	std::uniform_int_distribution<std::size_t> piece(0, std::size(PIECES) - 1);
	std::uniform_int_distribution<int> count(1, 40);
	std::string text;
	for (int n = count(random); n > 0; --n)
		text += PIECES[piece(random)];
	return text;
}
}

// The guard must agree with the parser on every input, so that no trick can
// make it count shallower than the parser recurses.
TEST(XmlGuard, CountsExactlyAsTinyXmlNestsOnAnyInput)
{
	std::mt19937 random(7);
	for (int i = 0; i < 20000; ++i) {
		const std::string text = RandomText(random);
		const TXmlShape expected = ParsedShape(text);
		const TXmlShape measured = MeasureXml(text.c_str(), NO_LIMITS);
		ASSERT_EQ(expected.depth, measured.depth) << text;
		ASSERT_EQ(expected.attributes, measured.attributes) << text;
		ASSERT_EQ(expected.elements, measured.elements) << text;
		ASSERT_EQ(expected.nodes, measured.nodes) << text;
	}
}

TEST(XmlGuard, TricksThatHideOrFakeNestingAreCountedAsTheParserNests)
{
	const struct
	{
		const char* text;
		int depth;
	} cases[] = {
		// Closing tags before the root are unknown tags to the parser, not closings.
		{"</a></a></a><r><a><a></a></a></r>", 3},
		// A processing instruction and a DOCTYPE end at the first ">", quotes or not.
		{"<?pi \"><a><a><a>\"?>", 3},
		{"<!DOCTYPE r \"><a><a>\">", 2},
		// The declaration reads its version as a quoted value, so a ">" inside it hides what follows.
		{"<?xml version=\"><a><a>\"?><r/>", 1},
		{"<r a='>'><b/></r>", 2},
		{"<r><!-- <a><a> --><![CDATA[<a><a>]]></r>", 1},
		// An element counts once the parser enters it, even when its start tag then fails.
		{"<r><a x='1' x='2'><b>", 2},
		{"", 0},
	};
	for (const auto& c : cases) {
		EXPECT_EQ(c.depth, MeasureXml(c.text, NO_LIMITS).depth) << c.text;
		EXPECT_EQ(c.depth, ParsedShape(c.text).depth) << c.text;
	}
}

TEST(XmlGuard, TheWalkStopsJustPastItsLimits)
{
	std::string deep;
	for (int i = 0; i < 100000; ++i)
		deep += "<a>";
	EXPECT_EQ(11, MeasureXml(deep.c_str(), Limits(10, INT_MAX)).depth);
	std::string wide = "<a";
	for (int i = 0; i < 100000; ++i)
		wide += " x" + std::to_string(i) + "=''";
	EXPECT_EQ(6, MeasureXml((wide + "/>").c_str(), Limits(INT_MAX, 5)).attributes);
	// Nodes that are no elements cost the parser memory as well: each kind is counted to one past the limit.
	for (const char* node : {"<!>", "<!---->", "<![CDATA[]]>", "<?xml ?>", "x<b/>", "<b/>"}) {
		std::string bomb = "<r>";
		for (int i = 0; i < 100000; ++i)
			bomb += node;
		EXPECT_EQ(8, MeasureXml(bomb.c_str(), {INT_MAX, INT_MAX, LONG_MAX, 7}).nodes) << node;
	}
	EXPECT_EQ(8, MeasureXml((wide + "/>").c_str(), {INT_MAX, INT_MAX, LONG_MAX, 7}).nodes);
}

TEST(XmlGuard, MalformedUtf8IsFoundAtItsFirstByte)
{
	const struct
	{
		std::string text;
		std::size_t offset;
	} cases[] = {
		{"plain <a/>", std::string::npos},
		{"\xE6\x97\xA5\xE6\x9C\xAC", std::string::npos},
		{"\xF0\x9F\x98\x80 \xEF\xBB\xBF", std::string::npos},
		{std::string("a\0b", 3), std::string::npos},
		// Cut inside a character, at the end of the text or before the next one.
		{"ab\xE6\x97", 2},
		{"ab\xE6", 2},
		{"\xE6\x97<a/>", 0},
		{"\xF0\x9F\x98", 0},
		// Bytes that start no character, overlong forms, surrogates, beyond U+10FFFF.
		{"x\x80", 1},
		{"\xC0\xAF", 0},
		{"\xE0\x80\xAF", 0},
		{"\xED\xA0\x80", 0},
		{"\xF4\x90\x80\x80", 0},
		{"\xFF", 0},
	};
	for (const auto& c : cases)
		EXPECT_EQ(c.offset, FindMalformedUtf8(c.text)) << c.text;
}
