#include "app/XmlValue.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "common/babel/babel.h"

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
	int value = 0;
	ReadInt(TextOf(element), value);
	return value;
}

bool GetXmlIntAttribute(const TiXmlElement* element, const char* name, int& value)
{
	return element && ReadInt(element->Attribute(name), value);
}

bool QueryChildIntAttribute(const TiXmlElement* parent, const std::string& childName,
	const std::string& attributeName, int& value, const std::string& message)
{
	const TiXmlElement* child = parent ? parent->FirstChildElement(childName.c_str()) : nullptr;
	if (GetXmlIntAttribute(child, attributeName.c_str(), value))
		return true;
	g_Logger.Error(message);
	return false;
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
