#include "app/XmlValue.h"

#include "app/Logger.h"
#include "common/babel/babel.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <tinyxml.h>

namespace
{
const char* TextOf(const TiXmlElement* element)
{
	return element ? element->GetText() : nullptr;
}
}

int GetXmlTextInt(const TiXmlElement* element)
{
	const char* text = TextOf(element);
	if (!text)
		return 0;
	// strtol reads like "%d" but reports a number out of range instead of leaving it undefined.
	char* end = nullptr;
	errno = 0;
	const long value = std::strtol(text, &end, 10);
	if (end == text)
		return 0;
	if (errno == ERANGE || value > INT_MAX || value < INT_MIN)
		return value < 0 ? INT_MIN : INT_MAX;
	return static_cast<int>(value);
}

bool QueryChildIntAttribute(const TiXmlElement* parent, const std::string& childName,
	const std::string& attributeName, int& value, const std::string& message)
{
	const TiXmlElement* child = parent ? parent->FirstChildElement(childName.c_str()) : nullptr;
	int read = 0;
	if (!child || child->QueryIntAttribute(attributeName.c_str(), &read) != TIXML_SUCCESS) {
		g_Logger.Error(message);
		return false;
	}
	value = read;
	return true;
}

std::string GetXmlText(const TiXmlElement* element)
{
	const char* text = TextOf(element);
	return text ? Utf8ToSjis(text) : std::string();
}

std::string GetXmlAttribute(const TiXmlElement* element, const std::string& name)
{
	const char* value = element ? element->Attribute(name.c_str()) : nullptr;
	return value ? Utf8ToSjis(value) : std::string();
}

void AppendXmlText(TiXmlElement* element, const std::string& text)
{
	element->LinkEndChild(new TiXmlText(SjisToUtf8(text).c_str()));
}

void SetXmlAttribute(TiXmlElement* element, const std::string& name, const std::string& value)
{
	element->SetAttribute(name.c_str(), SjisToUtf8(value).c_str());
}
