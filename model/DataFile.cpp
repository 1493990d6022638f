#include "model/DataFile.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "common/babel/babel.h"
#include "platform/FileSystem.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tinyxml.h>

namespace
{
// TinyXML parses nested elements recursively, so a hostile file nested a few
// ten thousand levels deep would overflow the stack. Scenario data and save
// documents never come close to this depth.
const int MAX_XML_DEPTH = 256;

/// Position of the ">" that ends the tag opened at start; quoted attribute values are skipped.
std::size_t EndOfTag(const std::string& text, std::size_t start)
{
	for (std::size_t i = start + 1; i < text.size(); ++i) {
		const char c = text[i];
		if (c == '>')
			return i;
		if (c == '"' || c == '\'') {
			i = text.find(c, i + 1);
			if (i == std::string::npos)
				return i;
		}
	}
	return std::string::npos;
}

/// Skips a construct that cannot hold elements (comment, CDATA); returns the position after it.
std::size_t SkipPast(const std::string& text, std::size_t from, const char* terminator)
{
	const std::size_t end = text.find(terminator, from);
	return end == std::string::npos ? end : end + std::char_traits<char>::length(terminator);
}

/// True when elements open inside each other deeper than the limit.
bool NestsTooDeep(const std::string& text)
{
	int depth = 0;
	std::size_t i = text.find('<');
	while (i != std::string::npos) {
		if (text.compare(i, 4, "<!--") == 0) {
			i = SkipPast(text, i + 4, "-->");
		} else if (text.compare(i, 9, "<![CDATA[") == 0) {
			i = SkipPast(text, i + 9, "]]>");
		} else {
			const std::size_t end = EndOfTag(text, i);
			const char next = i + 1 < text.size() ? text[i + 1] : '\0';
			const bool selfClosing = end != std::string::npos && text[end - 1] == '/';
			if (next == '/')
				--depth;
			else if (next != '?' && next != '!' && !selfClosing && ++depth > MAX_XML_DEPTH)
				return true;
			i = end == std::string::npos ? end : end + 1;
		}
		if (i != std::string::npos)
			i = text.find('<', i);
	}
	return false;
}

std::string ReadAll(std::FILE* file)
{
	std::string text;
	char buffer[8192];
	std::size_t count;
	while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
		text.append(buffer, count);
	return text;
}
}

TXmlFileState LoadXmlFile(TiXmlDocument& document, const std::string& path)
{
	std::FILE* file = OpenFile(path, "rb");
	if (!file)
		return PathExists(path) ? TXmlFileState::Malformed : TXmlFileState::Missing;
	const bool tooDeep = NestsTooDeep(ReadAll(file));
	std::rewind(file);
	const bool loaded = !tooDeep && document.LoadFile(file, TIXML_ENCODING_UTF8);
	std::fclose(file);
	return loaded ? TXmlFileState::Loaded : TXmlFileState::Malformed;
}

bool ReadWholeFile(const std::string& path, std::string& text)
{
	std::FILE* file = OpenFile(path, "rb");
	if (!file)
		return false;
	text = ReadAll(file);
	std::fclose(file);
	return true;
}

bool ReadXmlDataFile(TiXmlDocument& document, const std::string& path, bool reportMissing)
{
	const TXmlFileState state = LoadXmlFile(document, path);
	if (state == TXmlFileState::Loaded)
		return true;
	if (state == TXmlFileState::Missing && reportMissing)
		g_Logger.Error(path + " file not found");
	else
		g_Logger.Error(path + " XML parse error");
	return false;
}

const TiXmlElement* RequireRoot(const TiXmlDocument& document, const std::string& path)
{
	const TiXmlElement* root = document.FirstChildElement();
	if (!root)
		g_Logger.Error(path + " に中身が無い？");
	return root;
}

const TiXmlElement* RequireChild(const TiXmlNode* parent, const char* name, const std::string& path, const char* message)
{
	const TiXmlElement* child = parent ? parent->FirstChildElement(name) : nullptr;
	if (!child)
		g_Logger.Error(path + message);
	return child;
}

bool RequireId(const TiXmlElement* element, const std::string& path, std::string& id)
{
	id = GetXmlAttribute(element, "id");
	if (id.empty())
		g_Logger.Error(path + " id not found");
	return !id.empty();
}

bool ParseWholeInt(const std::string& text, int& value)
{
	const std::size_t digits = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
	if (text.size() == digits)
		return false;
	for (std::size_t i = digits; i < text.size(); ++i) {
		if (!std::isdigit(static_cast<unsigned char>(text[i])))
			return false;
	}
	errno = 0;
	const long long number = std::strtoll(text.c_str(), nullptr, 10);
	if (errno == ERANGE || number < INT_MIN || number > INT_MAX)
		return false;
	value = static_cast<int>(number);
	return true;
}

std::uint32_t ParseColorWord(const std::string& text)
{
	const std::size_t start = text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0 ? 2 : 0;
	const std::size_t count = text.size() - start;
	if (count == 0 || count > 8)
		return 0xFF000000u;
	for (std::size_t i = start; i < text.size(); ++i) {
		if (!std::isxdigit(static_cast<unsigned char>(text[i])))
			return 0xFF000000u;
	}
	const std::uint32_t argb = static_cast<std::uint32_t>(std::strtoul(text.c_str() + start, nullptr, 16));
	// Red and blue change places, so that the word's bytes in memory read R, G, B, A.
	return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFFu) | ((argb & 0xFFu) << 16);
}

bool StaysInsideScenarioRoot(const std::string& name, int depth)
{
	const bool absolute = !name.empty() && (name[0] == '/' || name[0] == '\\');
	const bool drive = name.size() >= 2 && name[1] == ':';
	if (absolute || drive)
		return false;
	std::string component;
	for (std::size_t i = 0; i <= name.size(); ++i) {
		const char c = i < name.size() ? name[i] : '/';
		if (c != '/' && c != '\\') {
			component += c;
			// The second byte of a double-byte character may look like "\".
			if (IsSJISLeadByte(static_cast<unsigned char>(c)) && i + 1 < name.size())
				component += name[++i];
			continue;
		}
		if (component == "..")
			--depth;
		else if (!component.empty() && component != ".")
			++depth;
		if (depth < 0)
			return false;
		component.clear();
	}
	return true;
}

bool CheckNameInsideRoot(const std::string& name, int depth, const std::string& path)
{
	if (StaysInsideScenarioRoot(name, depth))
		return true;
	g_Logger.Error(path + " " + name + " はシナリオフォルダの外を指しています。");
	return false;
}

bool ReadMediaName(const TiXmlElement* parent, const char* child, const std::string& path, std::string& name)
{
	name = GetXmlText(parent->FirstChildElement(child));
	return CheckNameInsideRoot(name, MEDIA_FOLDER_DEPTH, path);
}
