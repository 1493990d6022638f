#ifndef MORVALETH_APP_XMLGUARD_H
#define MORVALETH_APP_XMLGUARD_H

#include <cstddef>
#include <string>

// Checks on a text before TinyXML parses it. TinyXML trusts its input: a
// multi-byte character cut short makes it read past the end of its buffer, and
// it parses nested elements recursively, so deep nesting overflows the stack.

/// Offset of the first byte that is not part of a well-formed UTF-8 character; npos when the whole text is well-formed.
std::size_t FindMalformedUtf8(const std::string& text);

/// What the nesting walk found in a text.
struct TXmlShape
{
	/// Deepest element nesting TinyXML reaches, up to one past the limit asked for.
	int depth = 0;
	/// Most attributes one element has, up to one past the limit asked for.
	int attributes = 0;
};

/// Walks well-formed UTF-8 text exactly as TinyXML's parser does (elements, texts, comments, CDATA,
/// declarations and unknown tags, and the errors that end its parse), counting how deep elements
/// nest and how many attributes one element has; the walk stops once either passes its limit.
TXmlShape MeasureXml(const char* text, int depthLimit, int attributeLimit);

#endif
