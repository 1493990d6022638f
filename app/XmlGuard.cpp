#include "app/XmlGuard.h"

#include "app/Logger.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <tinyxml.h>
#include <vector>

namespace
{
typedef const char* TPos;

/// Bytes in the UTF-8 character that starts with the byte, as TinyXML counts them (1 for a byte that starts none).
int CharLength(unsigned char lead)
{
	if (lead >= 0xC2 && lead <= 0xDF)
		return 2;
	if (lead >= 0xE0 && lead <= 0xEF)
		return 3;
	if (lead >= 0xF0 && lead <= 0xF4)
		return 4;
	return 1;
}

/// True when the byte is a UTF-8 continuation byte within the bounds that the lead byte allows for the first one.
bool InRange(unsigned char byte, unsigned char low, unsigned char high)
{
	return byte >= low && byte <= high;
}

// The walk below mirrors TinyXML's parser function by function (white space,
// names, characters and entities, texts, attributes, and each kind of node), so
// that it ends every construct where the parser does and stops where the parser
// stops with an error. A null position is the parser's null: the parse ends.

bool IsWhiteSpace(char c)
{
	return std::isspace(static_cast<unsigned char>(c)) || c == '\n' || c == '\r';
}

/// Bytes from 127 up count as letters: the parser cannot tell which characters are letters.
bool IsAlpha(char c)
{
	const unsigned char byte = static_cast<unsigned char>(c);
	return byte < 127 ? std::isalpha(byte) != 0 : true;
}

bool IsAlphaNum(char c)
{
	const unsigned char byte = static_cast<unsigned char>(c);
	return byte < 127 ? std::isalnum(byte) != 0 : true;
}

int ToLower(char c)
{
	return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

/// True when the text at p starts with the tag; an empty text starts with nothing.
bool StartsWith(TPos p, const char* tag, bool ignoreCase = false)
{
	if (!p || !*p)
		return false;
	for (; *p && *tag; ++p, ++tag) {
		if (ignoreCase ? ToLower(*p) != ToLower(*tag) : *p != *tag)
			return false;
	}
	return *tag == 0;
}

/// Skips blanks and the three byte-order marks the parser takes for blanks; null at the end of the text.
TPos SkipWhiteSpace(TPos p)
{
	if (!p || !*p)
		return nullptr;
	while (*p) {
		const unsigned char* u = reinterpret_cast<const unsigned char*>(p);
		if (u[0] == 0xEF && ((u[1] == 0xBB && u[2] == 0xBF) || (u[1] == 0xBF && (u[2] == 0xBE || u[2] == 0xBF)))) {
			p += 3;
			continue;
		}
		if (!IsWhiteSpace(*p))
			break;
		++p;
	}
	return p;
}

/// The end of the name that starts at p; null when no name starts there.
TPos ReadName(TPos p)
{
	if (!p || !*p || !(IsAlpha(*p) || *p == '_'))
		return nullptr;
	while (*p && (IsAlphaNum(*p) || *p == '_' || *p == '-' || *p == '.' || *p == ':'))
		++p;
	return p;
}

bool IsHexDigit(char c)
{
	return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

/// Past the entity that starts at p ("&"); a character reference runs to the next ";" and must hold digits only.
TPos SkipEntity(TPos p)
{
	if (p[1] == '#' && p[2]) {
		const bool hex = p[2] == 'x';
		if (hex && !p[3])
			return nullptr;
		const TPos end = std::strchr(p + (hex ? 3 : 2), ';');
		if (!end)
			return nullptr;
		const char mark = hex ? 'x' : '#';
		for (TPos q = end - 1; *q != mark; --q) {
			if (hex ? !IsHexDigit(*q) : !(*q >= '0' && *q <= '9'))
				return nullptr;
		}
		return end + 1;
	}
	for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
		if (std::strncmp(entity, p, std::strlen(entity)) == 0)
			return p + std::strlen(entity);
	}
	return p + 1;
}

/// Past one character of a text: an entity, or a whole UTF-8 character (never past the end of the text).
TPos NextChar(TPos p)
{
	const int length = CharLength(static_cast<unsigned char>(*p));
	if (length == 1)
		return *p == '&' ? SkipEntity(p) : p + 1;
	int i = 0;
	while (i < length && p[i])
		++i;
	return p + i;
}

/// Past the end tag of a text that starts at p; null when the text ends first or an entity is broken.
TPos ReadText(TPos p, const char* endTag)
{
	while (p && *p && !StartsWith(p, endTag))
		p = NextChar(p);
	if (p && *p)
		p += std::strlen(endTag);
	return p && *p ? p : nullptr;
}

/// Past one attribute (name, "=", value, quoted or not) that starts at p; its name goes to name.
TPos ReadAttribute(TPos p, std::string_view& name)
{
	p = SkipWhiteSpace(p);
	const TPos start = p;
	p = ReadName(p);
	if (!p || !*p)
		return nullptr;
	name = std::string_view(start, p - start);
	p = SkipWhiteSpace(p);
	if (!p || !*p || *p != '=')
		return nullptr;
	p = SkipWhiteSpace(p + 1);
	if (!p || !*p)
		return nullptr;
	if (*p == '\'' || *p == '"') {
		const char quote[] = {*p, 0};
		return ReadText(p + 1, quote);
	}
	// An unquoted value ends at a blank or the end of the tag; a quote inside it is an error.
	for (; *p && !IsWhiteSpace(*p) && *p != '/' && *p != '>'; ++p) {
		if (*p == '\'' || *p == '"')
			return nullptr;
	}
	return p;
}

/// Past a "<?xml" declaration; only its version, encoding and standalone values are read as quoted.
TPos ReadDeclaration(TPos p)
{
	p += 5;
	std::string_view name;
	while (p && *p) {
		if (*p == '>')
			return p + 1;
		p = SkipWhiteSpace(p);
		if (!p || !*p)
			break;
		if (StartsWith(p, "version", true) || StartsWith(p, "encoding", true) || StartsWith(p, "standalone", true)) {
			p = ReadAttribute(p, name);
		} else {
			while (*p && *p != '>' && !IsWhiteSpace(*p))
				++p;
		}
	}
	return nullptr;
}

/// Past a comment; at the end of the text when it is not closed.
TPos ReadComment(TPos p)
{
	p += 4;
	while (*p && !StartsWith(p, "-->"))
		++p;
	return *p ? p + 3 : p;
}

/// Past a CDATA section; null when it is not closed or nothing follows it.
TPos ReadCData(TPos p)
{
	p += 9;
	while (*p && !StartsWith(p, "]]>"))
		++p;
	return ReadText(p, "]]>");
}

/// The "<" that ends a text inside an element; null when the text runs to the end or an entity is broken.
TPos ReadTextNode(TPos p)
{
	const TPos end = ReadText(p, "<");
	return end ? end - 1 : nullptr;
}

/// Past an unknown tag ("<!DOCTYPE", "<?name", "</" outside any element, ...): it ends at the first ">".
TPos ReadUnknown(TPos p)
{
	const TPos end = std::strchr(p, '>');
	return end ? end + 1 : p + std::strlen(p);
}

/// The kinds of node the parser tells apart by their first characters.
enum class TNodeKind
{
	Declaration,
	Comment,
	CData,
	Unknown,
	Element,
};

TNodeKind IdentifyNode(TPos p)
{
	if (StartsWith(p, "<?xml", true))
		return TNodeKind::Declaration;
	if (StartsWith(p, "<!--"))
		return TNodeKind::Comment;
	if (StartsWith(p, "<![CDATA["))
		return TNodeKind::CData;
	if (StartsWith(p, "<!"))
		return TNodeKind::Unknown;
	return IsAlpha(p[1]) || p[1] == '_' ? TNodeKind::Element : TNodeKind::Unknown;
}

/// The walk's state: the names of the elements open around the position, outermost first.
class TXmlWalk
{
public:
	TXmlWalk(int depthLimit, int attributeLimit, long elementLimit)
		: m_DepthLimit(depthLimit), m_AttributeLimit(attributeLimit), m_ElementLimit(elementLimit)
	{
	}

	TXmlShape Walk(TPos p)
	{
		p = SkipWhiteSpace(p);
		while (p && *p && !Stopped()) {
			if (m_Open.empty())
				p = *p == '<' ? ReadNode(p) : nullptr;
			else if (*p != '<')
				p = ReadTextNode(p);
			else if (StartsWith(p, "</"))
				p = CloseElement(p);
			else
				p = ReadNode(p);
			p = SkipWhiteSpace(p);
		}
		return m_Shape;
	}

private:
	bool Stopped() const
	{
		return m_Shape.depth > m_DepthLimit || m_Shape.attributes > m_AttributeLimit || m_Shape.elements > m_ElementLimit;
	}

	TPos ReadNode(TPos p)
	{
		switch (IdentifyNode(p)) {
		case TNodeKind::Declaration:
			return ReadDeclaration(p);
		case TNodeKind::Comment:
			return ReadComment(p);
		case TNodeKind::CData:
			return ReadCData(p);
		case TNodeKind::Unknown:
			return ReadUnknown(p);
		default:
			return OpenElement(p);
		}
	}

	/// Past an element's start tag; an element that is not empty stays open. The parser is one level
	/// deeper from the moment it enters the element, whether its start tag then reads or not.
	TPos OpenElement(TPos p)
	{
		m_Shape.depth = std::max(m_Shape.depth, static_cast<int>(m_Open.size()) + 1);
		++m_Shape.elements;
		if (Stopped())
			return nullptr;
		p = SkipWhiteSpace(p + 1);
		const TPos start = p;
		p = ReadName(p);
		if (!p || !*p)
			return nullptr;
		const std::string_view name(start, p - start);
		m_Attributes.clear();
		std::string_view attribute;
		while (true) {
			p = SkipWhiteSpace(p);
			if (!p || !*p)
				return nullptr;
			if (*p == '/')
				return p[1] == '>' ? p + 2 : nullptr;
			if (*p == '>') {
				m_Open.push_back(name);
				return p + 1;
			}
			p = ReadAttribute(p, attribute);
			// A repeated attribute name is an error of the parser.
			if (!p || !*p || std::find(m_Attributes.begin(), m_Attributes.end(), attribute) != m_Attributes.end())
				return nullptr;
			m_Attributes.push_back(attribute);
			m_Shape.attributes = std::max(m_Shape.attributes, static_cast<int>(m_Attributes.size()));
			if (Stopped())
				return nullptr;
		}
	}

	/// Past the end tag of the innermost open element; null when it names another element.
	TPos CloseElement(TPos p)
	{
		const std::string_view name = m_Open.back();
		if (!StartsWith(p, "</") || std::strncmp(p + 2, name.data(), name.size()) != 0)
			return nullptr;
		p = SkipWhiteSpace(p + 2 + name.size());
		if (!p || *p != '>')
			return nullptr;
		m_Open.pop_back();
		return p + 1;
	}

	const int m_DepthLimit;
	const int m_AttributeLimit;
	const long m_ElementLimit;
	/// Names of the open elements and of the attributes of the start tag being read, as parts of the text.
	std::vector<std::string_view> m_Open;
	std::vector<std::string_view> m_Attributes;
	TXmlShape m_Shape;
};

// TinyXML parses nested elements recursively, so a hostile file nested a few
// ten thousand levels deep would overflow the stack; it also looks every new
// attribute up among the element's earlier ones, so an element with thousands
// of attributes takes quadratic time; and a file of a million empty elements
// takes it some two hundred megabytes. Scenario data and saves come nowhere near
// any limit: a save of ten thousand areas holds half a million elements.
const int MAX_XML_DEPTH = 256;
const int MAX_XML_ATTRIBUTES = 256;
const long MAX_XML_ELEMENTS = 4000000;

/// Reads the file to its end into the text, unless it holds more than the limit; false then.
bool ReadAtMost(std::FILE* file, std::size_t limit, std::string& text)
{
	text.clear();
	char buffer[65536];
	std::size_t count;
	while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
		if (text.size() + count > limit)
			return false;
		text.append(buffer, count);
	}
	return true;
}

/// The bytes as TinyXML's own file reader hands them to its parser: cut at the first NUL, every line end made "\n".
std::string NormalizeLineEnds(const std::string& bytes)
{
	std::string text;
	text.reserve(bytes.size());
	for (std::size_t i = 0; i < bytes.size() && bytes[i]; ++i) {
		if (bytes[i] != '\r') {
			text += bytes[i];
			continue;
		}
		text += '\n';
		if (i + 1 < bytes.size() && bytes[i + 1] == '\n')
			++i;
	}
	return text;
}

/// Why the file's text must not reach TinyXML, as a note for the refusal; empty when it may.
std::string CheckXmlText(const std::string& bytes, const std::string& text)
{
	const std::size_t bad = FindMalformedUtf8(bytes);
	if (bad != std::string::npos)
		return FormatText(" (オフセット %d のバイトが UTF-8 として正しくありません)", static_cast<long long>(bad));
	const TXmlShape shape = MeasureXml(text.c_str(), MAX_XML_DEPTH, MAX_XML_ATTRIBUTES, MAX_XML_ELEMENTS);
	if (shape.depth > MAX_XML_DEPTH)
		return FormatText(" (要素の入れ子が %d 段を超えています)", MAX_XML_DEPTH);
	if (shape.attributes > MAX_XML_ATTRIBUTES)
		return FormatText(" (1つの要素の属性が %d 個を超えています)", MAX_XML_ATTRIBUTES);
	if (shape.elements > MAX_XML_ELEMENTS)
		return FormatText(" (要素が %d 個を超えています)", MAX_XML_ELEMENTS);
	return std::string();
}
}

std::size_t FindMalformedUtf8(const std::string& text)
{
	const std::size_t size = text.size();
	for (std::size_t i = 0; i < size;) {
		const unsigned char lead = static_cast<unsigned char>(text[i]);
		const int length = lead < 0x80 ? 1 : CharLength(lead);
		if (lead >= 0x80 && length == 1)
			return i;
		if (length > 1) {
			if (i + length > size)
				return i;
			// The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
			const unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
			const unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
			if (!InRange(static_cast<unsigned char>(text[i + 1]), low, high))
				return i;
			for (int k = 2; k < length; ++k) {
				if (!InRange(static_cast<unsigned char>(text[i + k]), 0x80, 0xBF))
					return i;
			}
		}
		i += length;
	}
	return std::string::npos;
}

TXmlShape MeasureXml(const char* text, int depthLimit, int attributeLimit, long elementLimit)
{
	return TXmlWalk(depthLimit, attributeLimit, elementLimit).Walk(text);
}

TXmlFileState ReadDataBytes(const std::string& path, std::string& bytes, std::string& reason)
{
	reason.clear();
	if (!PathExists(path))
		return TXmlFileState::Missing;
	// A folder, a device or a pipe is refused before it is opened: reading one blocks or fails.
	std::FILE* file = IsRegularFile(path) ? OpenFile(path, "rb") : nullptr;
	if (!file) {
		reason = IsRegularFile(path) ? " (開けません)" : " (通常のファイルではありません)";
		return TXmlFileState::Malformed;
	}
	const bool whole = ReadAtMost(file, MAX_DATA_FILE_BYTES, bytes);
	const bool complete = !std::ferror(file);
	std::fclose(file);
	if (!complete)
		reason = " (読み込みに失敗しました)";
	else if (!whole)
		reason = FormatText(" (%d バイトを超えています)", static_cast<long long>(MAX_DATA_FILE_BYTES));
	return reason.empty() ? TXmlFileState::Loaded : TXmlFileState::Malformed;
}

TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string& reason)
{
	std::string bytes;
	const TXmlFileState state = ReadDataBytes(path, bytes, reason);
	if (state != TXmlFileState::Loaded)
		return state;
	const std::string text = NormalizeLineEnds(bytes);
	reason = CheckXmlText(bytes, text);
	if (!reason.empty())
		return TXmlFileState::Malformed;
	document.Clear();
	document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
	if (!document.Error())
		return TXmlFileState::Loaded;
	reason = FormatText(" (%s 行 %d 列 %d)", document.ErrorDesc(), document.ErrorRow(), document.ErrorCol());
	return TXmlFileState::Malformed;
}

TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
	std::string reason;
	return LoadXmlFile(document, path, reason);
}
