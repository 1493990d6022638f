#include "support/Mutations.h"

#include <algorithm>
#include <cctype>

namespace
{
const char* const HOSTILE_NUMBERS[] = {"2147483647", "2147483648", "-2147483648", "-2147483649",
	"99999999999999999999", "-99999999999", "-1", "0", "", "abc", " 7", "+3", "0x10", "1e9", "-", "65", "66", "1000000"};

const char* const HOSTILE_PATHS[] = {"", ".", "..", "./", "Data", "DefChar", "../Default", "../../..", "../x.xml",
	"/etc/passwd", "/dev/zero", "\\..\\..\\x", "C:x", "AreaData.xml", "MagicTable.xml", "../Data/AreaData.xml",
	"../Default/Data/BattleMap_A01.xml", "BattleMap_A01.xml", "nothing.xml"};

const char* const DANGLING_IDS[] = {"", "nobody", " ", "A99", "x\xE6\x97\xA5"};

// Ways of nesting that fool a count which does not parse as the parser does:
// closing tags before the root, and markup hidden in or after quotes.
const char* const NESTING_PREFIXES[] = {"", "", "</a></a></a></a>", "<?pi \">", "<!DOCTYPE x \">", "<?xml version=\"",
	"<!-- ", "<![CDATA["};
const int NESTING_DEPTHS[] = {10, 200, 255, 256, 257, 300, 5000};

const char* const LINE_NOISE[] = {"\n", "\r", "\r\r\n", "\r\n", "[", "]", "=", "[]\n", "[Window]\n", "#", "\nFPS=0\n",
	"\nWidth=-5\n", "\nLogLevel=99999999999\n", "\nWindowColor=ffffffffff\n"};

/// Most bytes that the many copies of a repeated element may add.
const std::size_t REPEATED_BYTES = 256 * 1024;

/// Length of the long line a line-based text is given now and then: longer than a read buffer.
const std::size_t LONG_LINE = 3000;

bool IsNameChar(char c)
{
	return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '-' || c == '.' || c == ':';
}

/// The element name that starts at pos, or empty.
std::string NameAt(const std::string& text, std::size_t pos)
{
	std::size_t end = pos;
	while (end < text.size() && IsNameChar(text[end]))
		++end;
	return text.substr(pos, end - pos);
}
}

std::size_t TMutator::Below(std::size_t count)
{
	return count == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, count - 1)(m_Random);
}

std::size_t TMutator::FindRandom(const std::string& text, const std::string& pattern)
{
	const std::size_t at = text.find(pattern, Below(text.size() + 1));
	return at != std::string::npos ? at : text.find(pattern);
}

void TMutator::Mutate(std::string& text, TTextKind kind)
{
	for (std::size_t changes = 1 + Below(3); changes > 0; --changes) {
		if (kind != TTextKind::Xml) {
			switch (Below(4)) {
			case 0: FlipByte(text); break;
			case 1: Truncate(text); break;
			case 2: ReplaceNumber(text); break;
			default: DamageLines(text); break;
			}
			continue;
		}
		switch (Below(12)) {
		case 0: FlipByte(text); break;
		case 1: Truncate(text); break;
		case 2: DeleteElement(text); break;
		case 3: RepeatElement(text); break;
		case 4: DeleteAttribute(text); break;
		case 5: RepeatAttribute(text); break;
		case 6: NestDeeply(text); break;
		case 7: ReplacePath(text); break;
		case 8:
		case 9: ReplaceId(text); break;
		default: ReplaceNumber(text); break;
		}
	}
}

void TMutator::FlipByte(std::string& text)
{
	if (!text.empty())
		text[Below(text.size())] = static_cast<char>(Below(2) ? Below(256) : ' ' + Below(95));
}

void TMutator::Truncate(std::string& text)
{
	std::size_t at = Below(text.size() + 1);
	if (Below(2)) {
		// Just after a lead byte, or after the second byte of a longer character.
		for (std::size_t i = at; i < text.size(); ++i) {
			if (static_cast<unsigned char>(text[i]) >= 0xC2) {
				at = i + 1 + (static_cast<unsigned char>(text[i]) >= 0xE0 ? Below(2) : 0);
				break;
			}
		}
	}
	if (at < text.size())
		text.resize(at);
}

bool TMutator::FindElement(const std::string& text, std::size_t& start, std::size_t& end)
{
	std::vector<std::size_t> starts;
	for (std::size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
		if (at + 1 < text.size() && IsNameChar(text[at + 1]))
			starts.push_back(at);
	}
	if (starts.empty())
		return false;
	start = starts[Below(starts.size())];
	const std::string name = NameAt(text, start + 1);
	const std::size_t tagEnd = text.find('>', start);
	end = tagEnd == std::string::npos ? text.size() : tagEnd + 1;
	if (tagEnd == std::string::npos || text[tagEnd - 1] == '/')
		return true;
	// The matching end tag, counting the same element nested inside; without one, the start tag alone.
	int depth = 1;
	for (std::size_t at = text.find(name, end); at != std::string::npos; at = text.find(name, at + name.size())) {
		const bool bounded = at + name.size() < text.size() && !IsNameChar(text[at + name.size()]);
		if (bounded && text[at - 1] == '<')
			++depth;
		else if (bounded && at >= 2 && text.compare(at - 2, 2, "</") == 0 && --depth == 0) {
			const std::size_t close = text.find('>', at);
			end = close == std::string::npos ? text.size() : close + 1;
			break;
		}
	}
	return true;
}

void TMutator::DeleteElement(std::string& text)
{
	std::size_t start = 0, end = 0;
	if (FindElement(text, start, end))
		text.erase(start, end - start);
}

void TMutator::RepeatElement(std::string& text)
{
	std::size_t start = 0, end = 0;
	if (!FindElement(text, start, end))
		return;
	// Mostly one copy; now and then the many copies a generated file might hold,
	// as long as they stay within the size of a large scenario file.
	const std::string element = text.substr(start, end - start);
	const std::size_t copies = Below(8) == 0 ? std::min(200 + Below(2000), REPEATED_BYTES / element.size() + 1) : 1;
	std::string repeated;
	for (std::size_t i = 0; i < copies; ++i)
		repeated += element;
	text.insert(end, repeated);
}

bool TMutator::FindAttribute(const std::string& text, std::size_t& start, std::size_t& end)
{
	const std::size_t equals = FindRandom(text, "=\"");
	if (equals == std::string::npos || equals == 0)
		return false;
	start = equals;
	while (start > 0 && IsNameChar(text[start - 1]))
		--start;
	if (start > 0 && text[start - 1] == ' ')
		--start;
	end = text.find('"', equals + 2);
	if (end == std::string::npos)
		return false;
	++end;
	return true;
}

void TMutator::DeleteAttribute(std::string& text)
{
	std::size_t start = 0, end = 0;
	if (FindAttribute(text, start, end))
		text.erase(start, end - start);
}

void TMutator::RepeatAttribute(std::string& text)
{
	std::size_t start = 0, end = 0;
	if (FindAttribute(text, start, end))
		text.insert(end, (text[start] == ' ' ? "" : " ") + text.substr(start, end - start));
}

void TMutator::ReplaceNumber(std::string& text)
{
	std::size_t at = Below(text.size() + 1);
	while (at < text.size() && !std::isdigit(static_cast<unsigned char>(text[at])))
		++at;
	if (at >= text.size())
		at = text.find_first_of("0123456789");
	if (at == std::string::npos)
		return;
	std::size_t start = at;
	while (start > 0 && std::isdigit(static_cast<unsigned char>(text[start - 1])))
		--start;
	if (start > 0 && text[start - 1] == '-')
		--start;
	std::size_t end = at;
	while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
		++end;
	text.replace(start, end - start, Pick(HOSTILE_NUMBERS));
}

void TMutator::NestDeeply(std::string& text)
{
	const std::size_t at = FindRandom(text, "<");
	const int depth = NESTING_DEPTHS[Below(std::size(NESTING_DEPTHS))];
	std::string nest = Pick(NESTING_PREFIXES);
	for (int i = 0; i < depth; ++i)
		nest += Below(4) ? "<a>" : "<a x='>'>";
	nest += "\">";
	if (Below(2)) {
		for (int i = 0; i < depth; ++i)
			nest += "</a>";
	}
	text.insert(at == std::string::npos ? 0 : at, nest);
}

void TMutator::ReplaceId(std::string& text)
{
	const std::size_t equals = FindRandom(text, "=\"");
	if (equals == std::string::npos)
		return;
	const std::size_t end = text.find('"', equals + 2);
	if (end == std::string::npos)
		return;
	const std::string id = Below(3) && !m_Names.empty() ? m_Names[Below(m_Names.size())] : Pick(DANGLING_IDS);
	text.replace(equals + 2, end - equals - 2, id);
}

void TMutator::ReplacePath(std::string& text)
{
	// The text of an element, as the file and folder names are written.
	std::size_t at = FindRandom(text, ">");
	for (int tries = 0; at != std::string::npos && tries < 16; ++tries, at = text.find('>', at + 1)) {
		const std::size_t end = text.find('<', at);
		if (end != std::string::npos && end > at + 1 && text.find('\n', at) > end) {
			text.replace(at + 1, end - at - 1, Pick(HOSTILE_PATHS));
			return;
		}
	}
}

void TMutator::DamageLines(std::string& text)
{
	const std::size_t line = FindRandom(text, "\n");
	const std::size_t at = line == std::string::npos ? text.size() : line + Below(2);
	if (Below(4) == 0) {
		// A whole line written twice.
		const std::size_t start = text.rfind('\n', at == 0 ? 0 : at - 1);
		const std::size_t from = start == std::string::npos ? 0 : start + 1;
		text.insert(from, text.substr(from, text.find('\n', from) - from) + "\n");
		return;
	}
	const std::string noise = Below(6) == 0 ? "\nlong=" + std::string(LONG_LINE, 'x') + "\n" : Pick(LINE_NOISE);
	text.insert(std::min(at, text.size()), noise);
}

std::vector<std::string> QuotedValues(const std::string& text)
{
	std::vector<std::string> values;
	for (std::size_t at = text.find("=\""); at != std::string::npos; at = text.find("=\"", at + 2)) {
		const std::size_t end = text.find('"', at + 2);
		if (end == std::string::npos)
			break;
		values.push_back(text.substr(at + 2, end - at - 2));
	}
	return values;
}
