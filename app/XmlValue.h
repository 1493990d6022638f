#ifndef MORVALETH_APP_XMLVALUE_H
#define MORVALETH_APP_XMLVALUE_H

#include <string>

class TiXmlElement;

// Values in XML documents are UTF-8 and values in memory are Shift-JIS; every
// text crossing these functions is converted. Element and attribute names are
// ASCII and pass unconverted. A null element reads as one without a value.

/// The element's text as an integer (leading blanks skipped, trailing characters ignored, beyond the 32-bit range the nearest limit); 0 when it is not a number.
int GetXmlTextInt(const TiXmlElement* element);
/// Reads an integer attribute as the "%d" scan does, a number beyond the 32-bit range as the nearest limit; false, with the value untouched, when it is missing or not a number.
bool GetXmlIntAttribute(const TiXmlElement* element, const char* name, int& value);
/// Reads an integer attribute of the first child of that name; logs the message and returns false, with the value untouched, when it is missing or not a number.
bool QueryChildIntAttribute(const TiXmlElement* parent, const std::string& childName,
	const std::string& attributeName, int& value, const std::string& message);
/// The element's text in Shift-JIS; empty when it has none.
std::string GetXmlText(const TiXmlElement* element);
/// The attribute's value in Shift-JIS; empty when it is absent.
std::string GetXmlAttribute(const TiXmlElement* element, const std::string& name);
/// Appends the Shift-JIS text to the element as a new text node after its children.
void AppendXmlText(TiXmlElement* element, const std::string& text);
/// Sets the attribute to the Shift-JIS value, replacing an earlier one.
void SetXmlAttribute(TiXmlElement* element, const std::string& name, const std::string& value);

#endif
