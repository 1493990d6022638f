#ifndef MORVALETH_APP_XMLGUARD_H
#define MORVALETH_APP_XMLGUARD_H

#include <climits>
#include <cstddef>
#include <string>

class TiXmlDocument;

// The one way the program reads an XML file, and the checks on its text before
// TinyXML parses it. TinyXML trusts its input: a folder handed to it asks for an
// allocation of its "size", a multi-byte character cut short makes it read past
// the end of its buffer, it parses nested elements recursively, so deep nesting
// overflows the stack, and every element costs it some two hundred bytes.

/// How an attempt to read an XML file ended.
enum class TXmlFileState
{
	Loaded,
	Missing,
	Malformed,
};

/// Bytes of the largest file read: far above a save of a game at the limits of every table.
const std::size_t MAX_DATA_FILE_BYTES = 256u << 20;

/// Reads a whole file through the file-system layer; a path that names no regular file (a folder, a device, a pipe),
/// cannot be read or holds more than MAX_DATA_FILE_BYTES is Malformed, with the reason as a note to append to the refusal.
TXmlFileState ReadDataBytes(const std::string& path, std::string& bytes, std::string& reason);

/// Reads a UTF-8 XML file into the document. It is Malformed, with the reason as a note to append to the refusal,
/// when ReadDataBytes refuses it, it is no well-formed UTF-8 (the byte offset), nests deeper, holds more attributes
/// on one element or more elements than any data needs, or TinyXML refuses it (its error text, row and column).
TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string& reason);
/// LoadXmlFile without the reason.
TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path);

/// Offset of the first byte that is not part of a well-formed UTF-8 character; npos when the whole text is well-formed.
std::size_t FindMalformedUtf8(const std::string& text);

/// What the nesting walk found in a text.
struct TXmlShape
{
	/// Deepest element nesting TinyXML reaches, up to one past the limit asked for.
	int depth = 0;
	/// Most attributes one element has, up to one past the limit asked for.
	int attributes = 0;
	/// Elements in the whole text, up to one past the limit asked for.
	long elements = 0;
};


/// Walks well-formed UTF-8 text exactly as TinyXML's parser does (elements, texts, comments, CDATA,
/// declarations and unknown tags, and the errors that end its parse), counting how deep elements
/// nest, how many attributes one element has and how many elements there are; the walk stops once
/// any count passes its limit.
TXmlShape MeasureXml(const char* text, int depthLimit, int attributeLimit, long elementLimit = LONG_MAX);

#endif
