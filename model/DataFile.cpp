#include "model/DataFile.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "common/babel/babel.h"
#include "platform/FileSystem.h"

#include <cctype>
#include <cstdlib>
#include <tinyxml.h>

bool CheckRecordCount(std::size_t count, int limit, const std::string& where, const char* what)
{
	if (count <= static_cast<std::size_t>(limit))
		return true;
	g_Logger.Error(FormatText("%s の %s が上限の %d 件を超えています。", where, what, limit));
	return false;
}

std::size_t CountChildren(const TiXmlNode* parent, const char* name)
{
	std::size_t count = 0;
	for (const TiXmlElement* e = name ? parent->FirstChildElement(name) : parent->FirstChildElement(); e;
		 e = name ? e->NextSiblingElement(name) : e->NextSiblingElement())
		++count;
	return count;
}

bool CheckChildCount(const TiXmlNode* parent, const char* name, int limit, const std::string& where, const char* what)
{
	return CheckRecordCount(CountChildren(parent, name), limit, where, what ? what : name);
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
