#include "model/DataFile.h"

#include "app/Logger.h"
#include "app/XmlGuard.h"
#include "app/XmlValue.h"
#include "common/babel/babel.h"
#include "platform/FileSystem.h"

#include <cctype>
#include <cstdlib>
#include <tinyxml.h>

namespace
{
// TinyXML parses nested elements recursively, so a hostile file nested a few
// ten thousand levels deep would overflow the stack; it also looks every new
// attribute up among the element's earlier ones, so an element with thousands
// of attributes takes quadratic time. Scenario data and saves come nowhere near
// either limit.
const int MAX_XML_DEPTH = 256;
const int MAX_XML_ATTRIBUTES = 256;

std::string ReadAll(std::FILE* file)
{
	std::string text;
	char buffer[8192];
	std::size_t count;
	while ((count = std::fread(buffer, 1, sizeof(buffer), file)) > 0)
		text.append(buffer, count);
	return text;
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
	const TXmlShape shape = MeasureXml(text.c_str(), MAX_XML_DEPTH, MAX_XML_ATTRIBUTES);
	if (shape.depth > MAX_XML_DEPTH)
		return FormatText(" (要素の入れ子が %d 段を超えています)", MAX_XML_DEPTH);
	if (shape.attributes > MAX_XML_ATTRIBUTES)
		return FormatText(" (1つの要素の属性が %d 個を超えています)", MAX_XML_ATTRIBUTES);
	return std::string();
}
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
	bytes = ReadAll(file);
	const bool complete = !std::ferror(file);
	std::fclose(file);
	if (!complete)
		reason = " (読み込みに失敗しました)";
	return complete ? TXmlFileState::Loaded : TXmlFileState::Malformed;
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

bool ReadWholeFile(const std::string& path, std::string& text)
{
	std::string reason;
	return ReadDataBytes(path, text, reason) == TXmlFileState::Loaded;
}

bool ReadXmlDataFile(TiXmlDocument& document, const std::string& path, bool reportMissing)
{
	std::string reason;
	const TXmlFileState state = LoadXmlFile(document, path, reason);
	if (state == TXmlFileState::Loaded)
		return true;
	if (state == TXmlFileState::Missing && reportMissing)
		g_Logger.Error(path + " file not found");
	else
		g_Logger.Error(path + " XML parse error" + reason);
	return false;
}

const TiXmlElement* ReadSaveDocument(TiXmlDocument& document, const std::string& path)
{
	if (!ReadXmlDataFile(document, path, false))
		return nullptr;
	const TiXmlElement* root = document.FirstChildElement("Save");
	if (!root)
		g_Logger.Error(FormatText("%s %s 検索失敗", path, "Save"));
	return root;
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

std::string RecordName(const TiXmlElement* element)
{
	return std::string(element->Value()) + " id = " + GetXmlAttribute(element, "id");
}

bool RequireId(const TiXmlElement* element, const std::string& path, std::string& id)
{
	id = GetXmlAttribute(element, "id");
	if (id.empty())
		g_Logger.Error(path + " id not found");
	return !id.empty();
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
