#ifndef MORVALETH_APP_XMLGUARD_H
#define MORVALETH_APP_XMLGUARD_H

#include <cstddef>
#include <string>

class TiXmlDocument;

// The one way the program reads an XML file, and the checks on its text before
// TinyXML parses it. TinyXML trusts its input: a folder handed to it asks for an
// allocation of its "size", a multi-byte character cut short makes it read past
// the end of its buffer, it parses nested elements recursively, so deep nesting
// overflows the stack, and every node it builds costs it a hundred bytes or more.

/// How an attempt to read an XML file ended.
enum class TXmlFileState
{
	Loaded,
	Missing,
	Malformed,
};

/// Bytes of the largest file read: far above a save of a game at the limits of every table.
const std::size_t MAX_DATA_FILE_BYTES = 256u << 20;

/// What the nesting walk found in a text, or the most a text may hold.
struct TXmlShape
{
	/// Deepest element nesting TinyXML reaches.
	int depth = 0;
	/// Most attributes one element has.
	int attributes = 0;
	/// Elements in the whole text.
	long elements = 0;
	/// Nodes TinyXML builds of the whole text: elements, attributes, texts, CDATA, comments, declarations, unknown tags.
	long nodes = 0;
};

// TinyXML parses nested elements recursively, so a hostile file nested a few
// ten thousand levels deep would overflow the stack; it also looks every new
// attribute up among the element's earlier ones, so an element with thousands
// of attributes takes quadratic time; and every node it builds costs it memory:
// some 220 bytes an element or a declaration, 110 to 125 any other node, where
// the text may spend as little as 3 bytes on one ("<!>"). The limits keep the
// parse of any file within about a gigabyte (4,000,000 empty elements and
// 500,000 declarations take 1.0 GB). Scenario data and saves come nowhere near
// them: a save of ten thousand areas holds some 460,000 elements and 1,400,000 nodes.
/// The most any data file or save may hold.
const TXmlShape XML_LIMITS = {256, 256, 4000000, 4500000};

/// True when any count of the shape is past its limit.
bool ExceedsXmlLimits(const TXmlShape& shape, const TXmlShape& limits);

/// Reads at most limit bytes of a file through the file-system layer; whole tells whether they are all of it.
/// A path that names no regular file (a folder, a device, a pipe) or cannot be read is Malformed, with the reason
/// as a note to append to the refusal.
TXmlFileState ReadDataHead(const std::string& path, std::size_t limit, std::string& bytes, bool& whole,
	std::string& reason);
/// Reads a whole file as ReadDataHead does; one that holds more than MAX_DATA_FILE_BYTES is Malformed.
TXmlFileState ReadDataBytes(const std::string& path, std::string& bytes, std::string& reason);

/// Makes the text TinyXML parses of bytes read by ReadDataHead or ReadDataBytes (cut at the first NUL, every
/// line end made "\n"); false, with the reason as a note for the refusal, when they are no well-formed UTF-8
/// (the byte offset) or the text is past XML_LIMITS.
bool PrepareXmlText(const std::string& bytes, std::string& text, std::string& reason);
/// Reads a file and makes its text as PrepareXmlText does: all the checks of LoadXmlFile but the parse.
TXmlFileState ReadXmlText(const std::string& path, std::string& text, std::string& reason);
/// Parses a text made by PrepareXmlText into the document; Malformed, with TinyXML's error text, row and column.
TXmlFileState ParseXmlText(TiXmlDocument& document, const std::string& text, std::string& reason);

/// Reads a UTF-8 XML file into the document through ReadXmlText and ParseXmlText; Malformed, with the reason as
/// a note to append to the refusal, when either refuses it.
TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string& reason);
/// LoadXmlFile without the reason.
TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path);

/// Offset of the first byte that is not part of a well-formed UTF-8 character; npos when the whole text is well-formed.
std::size_t FindMalformedUtf8(const std::string& text);

/// Walks well-formed UTF-8 text exactly as TinyXML's parser does (elements, texts, comments, CDATA,
/// declarations and unknown tags, and the errors that end its parse), counting how deep elements
/// nest, how many attributes one element has, how many elements and how many nodes there are;
/// the walk stops once any count passes its limit, one past it.
TXmlShape MeasureXml(const char* text, const TXmlShape& limits);

#endif
