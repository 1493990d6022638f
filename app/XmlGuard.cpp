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

int HexValue(char c)
{
	return c <= '9' ? c - '0' : ToLower(c) - 'a' + 10;
}

/// Past the entity that starts at p ("&"); a character reference runs to the next ";" and must hold digits only.
/// visible tells whether the parser's text gets a character from it that is no blank: a reference to a blank
/// adds a blank, one to a code point past 0x1FFFFF or an "&" that starts no entity adds nothing.
TPos SkipEntity(TPos p, bool& visible)
{
	visible = true;
	if (p[1] == '#' && p[2]) {
		const bool hex = p[2] == 'x';
		if (hex && !p[3])
			return nullptr;
		const TPos end = std::strchr(p + (hex ? 3 : 2), ';');
		if (!end)
			return nullptr;
		const char mark = hex ? 'x' : '#';
		// The parser adds up the digits from the last one, in its own unsigned arithmetic.
		unsigned long code = 0;
		unsigned long weight = 1;
		for (TPos q = end - 1; *q != mark; --q) {
			if (hex ? !IsHexDigit(*q) : !(*q >= '0' && *q <= '9'))
				return nullptr;
			code += weight * static_cast<unsigned long>(HexValue(*q));
			weight *= hex ? 16 : 10;
		}
		visible = code < 0x80 ? !IsWhiteSpace(static_cast<char>(code)) : code < 0x200000;
		return end + 1;
	}
	for (const char* entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"}) {
		if (std::strncmp(entity, p, std::strlen(entity)) == 0)
			return p + std::strlen(entity);
	}
	// The parser steps over an "&" that starts no entity and keeps nothing of it.
	visible = false;
	return p + 1;
}

/// Past one character of a text: an entity, or a whole UTF-8 character (never past the end of the text);
/// visible tells whether it is no blank.
TPos NextChar(TPos p, bool& visible)
{
	const int length = CharLength(static_cast<unsigned char>(*p));
	visible = !IsWhiteSpace(*p);
	if (length == 1)
		return *p == '&' ? SkipEntity(p, visible) : p + 1;
	int i = 0;
	while (i < length && p[i])
		++i;
	return p + i;
}

/// Past the end tag of a text that starts at p; null when the text ends first or an entity is broken.
/// visible tells whether the text read holds any character that is no blank.
TPos ReadText(TPos p, const char* endTag, bool& visible)
{
	visible = false;
	bool character = false;
	while (p && *p && !StartsWith(p, endTag)) {
		p = NextChar(p, character);
		visible = visible || (p && character);
	}
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
		bool visible = false;
		return ReadText(p + 1, quote, visible);
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
	bool visible = false;
	return ReadText(p, "]]>", visible);
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
	explicit TXmlWalk(const TXmlShape& limits) : m_Limits(limits) {}

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
	bool Stopped() const { return ExceedsXmlLimits(m_Shape, m_Limits); }

	/// Every tag the parser tells apart becomes a node of the document, whether it then reads or not.
	TPos ReadNode(TPos p)
	{
		++m_Shape.nodes;
		if (Stopped())
			return nullptr;
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

	/// The "<" that ends a text inside an element; null when the text runs to the end or an entity is broken.
	/// The parser keeps the text as a node unless all it read of it is blanks.
	TPos ReadTextNode(TPos p)
	{
		bool visible = false;
		const TPos end = ReadText(p, "<", visible);
		m_Shape.nodes += visible;
		return end ? end - 1 : nullptr;
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
			++m_Shape.nodes;
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

	const TXmlShape m_Limits;
	/// Names of the open elements and of the attributes of the start tag being read, as parts of the text.
	std::vector<std::string_view> m_Open;
	std::vector<std::string_view> m_Attributes;
	TXmlShape m_Shape;
};

/// Reads the file into the text up to the limit; whole tells whether that was all of it.
void ReadAtMost(std::FILE* file, std::size_t limit, std::string& text, bool& whole)
{
	text.clear();
	char buffer[65536];
	std::size_t count = 1;
	while (text.size() < limit && count > 0) {
		count = std::fread(buffer, 1, std::min(sizeof(buffer), limit - text.size()), file);
		text.append(buffer, count);
	}
	whole = text.size() < limit || std::fgetc(file) == EOF;
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

/// Why the shape is past the limits, as a note for the refusal; empty when it is within them.
std::string DescribeExcess(const TXmlShape& shape)
{
	if (shape.depth > XML_LIMITS.depth)
		return FormatText(" (要素の入れ子が %d 段を超えています)", XML_LIMITS.depth);
	if (shape.attributes > XML_LIMITS.attributes)
		return FormatText(" (1つの要素の属性が %d 個を超えています)", XML_LIMITS.attributes);
	if (shape.elements > XML_LIMITS.elements)
		return FormatText(" (要素が %d 個を超えています)", XML_LIMITS.elements);
	if (shape.nodes > XML_LIMITS.nodes)
		return FormatText(" (要素・属性・テキスト・コメントなどのノードが %d 個を超えています)", XML_LIMITS.nodes);
	return std::string();
}
}

bool ExceedsXmlLimits(const TXmlShape& shape, const TXmlShape& limits)
{
	return shape.depth > limits.depth || shape.attributes > limits.attributes || shape.elements > limits.elements
		|| shape.nodes > limits.nodes;
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

TXmlShape MeasureXml(const char* text, const TXmlShape& limits)
{
	return TXmlWalk(limits).Walk(text);
}

TXmlFileState ReadDataHead(const std::string& path, std::size_t limit, std::string& bytes, bool& whole,
	std::string& reason)
{
	reason.clear();
	bytes.clear();
	whole = false;
	if (!PathExists(path))
		return TXmlFileState::Missing;
	// A folder, a device or a pipe is refused, and opening one does not wait for a writer.
	std::FILE* file = OpenRegularFile(path);
	if (!file) {
		reason = IsRegularFile(path) ? " (開けません)" : " (通常のファイルではありません)";
		return TXmlFileState::Malformed;
	}
	ReadAtMost(file, limit, bytes, whole);
	const bool complete = !std::ferror(file);
	std::fclose(file);
	if (!complete)
		reason = " (読み込みに失敗しました)";
	return reason.empty() ? TXmlFileState::Loaded : TXmlFileState::Malformed;
}

TXmlFileState ReadDataBytes(const std::string& path, std::string& bytes, std::string& reason)
{
	bool whole = false;
	const TXmlFileState state = ReadDataHead(path, MAX_DATA_FILE_BYTES, bytes, whole, reason);
	if (state != TXmlFileState::Loaded || whole)
		return state;
	reason = FormatText(" (%d バイトを超えています)", static_cast<long long>(MAX_DATA_FILE_BYTES));
	return TXmlFileState::Malformed;
}

bool PrepareXmlText(const std::string& bytes, std::string& text, std::string& reason)
{
	text.clear();
	const std::size_t bad = FindMalformedUtf8(bytes);
	if (bad != std::string::npos) {
		reason = FormatText(" (オフセット %d のバイトが UTF-8 として正しくありません)", static_cast<long long>(bad));
		return false;
	}
	text = NormalizeLineEnds(bytes);
	reason = DescribeExcess(MeasureXml(text.c_str(), XML_LIMITS));
	if (reason.empty())
		return true;
	text.clear();
	return false;
}

TXmlFileState ReadXmlText(const std::string& path, std::string& text, std::string& reason)
{
	text.clear();
	std::string bytes;
	const TXmlFileState state = ReadDataBytes(path, bytes, reason);
	if (state != TXmlFileState::Loaded)
		return state;
	return PrepareXmlText(bytes, text, reason) ? TXmlFileState::Loaded : TXmlFileState::Malformed;
}

TXmlFileState ParseXmlText(TiXmlDocument& document, const std::string& text, std::string& reason)
{
	document.Clear();
	document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
	if (!document.Error())
		return TXmlFileState::Loaded;
	reason = FormatText(" (%s 行 %d 列 %d)", document.ErrorDesc(), document.ErrorRow(), document.ErrorCol());
	return TXmlFileState::Malformed;
}

TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path, std::string& reason)
{
	std::string text;
	const TXmlFileState state = ReadXmlText(path, text, reason);
	return state == TXmlFileState::Loaded ? ParseXmlText(document, text, reason) : state;
}

TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
	std::string reason;
	return LoadXmlFile(document, path, reason);
}
