#include "script/FlagTable.h"

#include "app/Logger.h"
#include "app/XmlGuard.h"
#include "common/babel/babel.h"
#include "script/LuaManager.h"

#include <charconv>
#include <cmath>
#include <cctype>
#include <cstring>
#include <lua.h>
#include <tinyxml.h>
#include <vector>

namespace
{
const int FLAG_ENTRIES = 499;
// Tables nested deeper than this are not saved or read; the entry is skipped.
const int MAX_FLAG_DEPTH = 64;
enum { KEY_NUMBER = 3, KEY_STRING = 4 };
enum { VALUE_NIL = 0, VALUE_BOOLEAN = 1, VALUE_NUMBER = 3, VALUE_STRING = 4, VALUE_TABLE = 5 };

// The shortest text that reads back as the same number, whatever the locale.
std::string NumberText(lua_Number value)
{
	char text[64];
	const std::to_chars_result result = std::to_chars(text, text + sizeof text, value);
	return std::string(text, result.ptr);
}

// The number at the start of the text (blanks skipped, trailing characters ignored).
bool ReadNumber(const char* text, lua_Number& value)
{
	while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r')
		++text;
	return std::from_chars(text, text + std::strlen(text), value).ec == std::errc();
}

// Keys made of these characters make valid element names after the "_".
bool IsPlainName(const std::string& key)
{
	for (const char c : key)
		if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-'))
			return false;
	return true;
}

// The UTF-8 text of the bytes when they come back unchanged from a text of the document, inside CDATA,
// which keeps blanks and line feeds; false when they would not: the parser turns "\r" into "\n", a NUL ends
// a text, other control bytes are no XML, "]]>" ends the CDATA, and bytes that are no Shift-JIS become "?".
bool ExactText(const std::string& bytes, std::string& utf8)
{
	bool ascii = true;
	for (const char c : bytes) {
		if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n')
			return false;
		ascii = ascii && static_cast<unsigned char>(c) < 0x80;
	}
	if (bytes.find("]]>") != std::string::npos)
		return false;
	// ASCII is its own UTF-8 and comes back as it is.
	utf8 = ascii ? bytes : SjisToUtf8(bytes);
	return ascii || Utf8ToSjis(utf8) == bytes;
}

const char HEX_DIGITS[] = "0123456789ABCDEF";

// Two hexadecimal digits per byte: the form of a string that would not come back from a text.
std::string HexText(const std::string& bytes)
{
	std::string hex;
	hex.reserve(2 * bytes.size());
	for (const char c : bytes) {
		hex += HEX_DIGITS[static_cast<unsigned char>(c) >> 4];
		hex += HEX_DIGITS[static_cast<unsigned char>(c) & 0xF];
	}
	return hex;
}

int HexDigit(char c)
{
	const char* found = std::strchr(HEX_DIGITS, std::toupper(static_cast<unsigned char>(c)));
	return c != 0 && found ? int(found - HEX_DIGITS) : -1;
}

// The bytes of a HexText; false for a text that is not one.
bool ReadHexText(const char* hex, std::string& bytes)
{
	const std::size_t length = std::strlen(hex);
	if (length % 2 != 0)
		return false;
	bytes.clear();
	for (std::size_t i = 0; i < length; i += 2) {
		const int high = HexDigit(hex[i]);
		const int low = HexDigit(hex[i + 1]);
		if (high < 0 || low < 0)
			return false;
		bytes += char(high * 16 + low);
	}
	return true;
}

// The text of the key on top of the stack, with its type; false for a key that has no text form.
bool KeyText(lua_State* L, std::string& text, int& keyType)
{
	if (lua_type(L, -1) == LUA_TNUMBER) {
		text = NumberText(lua_tonumber(L, -1));
		keyType = KEY_NUMBER;
		return true;
	}
	if (lua_type(L, -1) == LUA_TSTRING) {
		size_t length = 0;
		const char* key = lua_tolstring(L, -1, &length);
		text.assign(key, length);
		keyType = KEY_STRING;
		return true;
	}
	return false;
}

// The element of one entry: "_" and the key when it is a valid name, else "_" with the key in "k", or in
// "kx" as a HexText when it would not come back from an attribute's text.
TiXmlElement* NewEntryElement(const std::string& keyText, int keyType)
{
	if (IsPlainName(keyText)) {
		TiXmlElement* element = new TiXmlElement("_" + keyText);
		element->SetAttribute("kt", keyType);
		return element;
	}
	TiXmlElement* element = new TiXmlElement("_");
	std::string utf8;
	if (keyType != KEY_STRING)
		element->SetAttribute("k", keyText);
	else if (ExactText(keyText, utf8))
		element->SetAttribute("k", utf8);
	else
		element->SetAttribute("kx", HexText(keyText));
	element->SetAttribute("kt", keyType);
	return element;
}

void AppendText(TiXmlElement* element, const std::string& text, bool cdata)
{
	TiXmlText* node = new TiXmlText(text);
	node->SetCDATA(cdata);
	element->LinkEndChild(node);
}

// What the writer has made so far. A table whose entries share tables (t = {a = u, b = u}) is written out
// whole at every place, so a table of a few dozen entries can stand for billions of elements: the table is
// first walked only to count what it would make, each entry dropped as soon as it is counted, and that
// walk stops once the count passes what a load accepts; only a table within the limits is written.
struct TFlagWriter
{
	/// Entries are counted and dropped, not kept in the document.
	bool countOnly = false;
	/// The tables around the value being written, outermost first.
	std::vector<const void*> path;
	/// Elements and nodes made, and the least bytes the file spends on them.
	TXmlShape made;
	std::size_t bytes = 0;
	bool stopped = false;

	/// Logs a Warning of what cannot be saved, once: in the pass that writes.
	void Warn(const std::string& text) const
	{
		if (!countOnly)
			g_Logger.Warning(text);
	}

	/// Counts the entry's element, its attributes and its text, and the least the file spends on them (its
	/// tags, indented one level for each table around it, and texts up to a NUL); stops the writer past the limits.
	void Count(const TiXmlElement* entry)
	{
		const std::size_t indent = 4 * path.size();
		const std::size_t name = entry->ValueStr().size();
		++made.elements;
		++made.nodes;
		bytes += indent + name + 2;
		for (const TiXmlAttribute* a = entry->FirstAttribute(); a; a = a->Next()) {
			++made.nodes;
			bytes += std::strlen(a->Name()) + std::strlen(a->Value()) + 4;
		}
		if (const TiXmlNode* first = entry->FirstChild()) {
			const bool text = first->ToText() != nullptr;
			made.nodes += text;
			bytes += name + 3 + (text ? std::strlen(first->Value()) : indent);
		}
		if (stopped || !(ExceedsXmlLimits(made, XML_LIMITS) || bytes > MAX_DATA_FILE_BYTES))
			return;
		stopped = true;
		g_Logger.Error(FormatText("フラグテーブルがセーブデータとして読み込める大きさ(要素 %d 個、ノード %d 個、%d バイト)"
			"を超えたため、保存を中止しました。", XML_LIMITS.elements, XML_LIMITS.nodes,
			static_cast<long long>(MAX_DATA_FILE_BYTES)));
	}
};

bool WriteValue(lua_State* L, int index, TiXmlElement* target, TFlagWriter& writer);

// One child element per entry of the table at the index; entries that cannot be saved are skipped with a Warning.
void WriteTable(lua_State* L, int index, TiXmlElement* target, TFlagWriter& writer)
{
	lua_checkstack(L, 4);
	lua_pushnil(L);
	while (lua_next(L, index) != 0) {
		// The key is read from a copy, so that converting it cannot disturb lua_next.
		lua_pushvalue(L, -2);
		std::string keyText;
		int keyType = 0;
		if (!KeyText(L, keyText, keyType)) {
			writer.Warn(FormatText("フラグテーブルのキー(%s型)は保存できないため、飛ばしました。",
				lua_typename(L, lua_type(L, -1))));
		} else {
			TiXmlElement* child = NewEntryElement(keyText, keyType);
			if (WriteValue(L, lua_gettop(L) - 1, child, writer)) {
				writer.Count(child);
				if (writer.countOnly)
					delete child;
				else
					target->LinkEndChild(child);
			} else {
				delete child;
			}
		}
		lua_pop(L, 2);
		if (writer.stopped) {
			lua_pop(L, 1);
			return;
		}
	}
}

bool WriteValue(lua_State* L, int index, TiXmlElement* target, TFlagWriter& writer)
{
	switch (lua_type(L, index)) {
	case LUA_TNIL:
		target->SetAttribute("t", VALUE_NIL);
		return true;
	case LUA_TNUMBER:
		target->SetAttribute("t", VALUE_NUMBER);
		AppendText(target, NumberText(lua_tonumber(L, index)), false);
		return true;
	case LUA_TBOOLEAN:
		target->SetAttribute("t", VALUE_BOOLEAN);
		AppendText(target, lua_toboolean(L, index) ? "1" : "0", false);
		return true;
	case LUA_TSTRING: {
		size_t length = 0;
		const char* text = lua_tolstring(L, index, &length);
		std::string utf8;
		const std::string bytes(text, length);
		target->SetAttribute("t", VALUE_STRING);
		// CDATA keeps blanks, line feeds and the empty string as they are; what a text would change
		// is kept byte for byte in "x".
		if (ExactText(bytes, utf8))
			AppendText(target, utf8, true);
		else
			target->SetAttribute("x", HexText(bytes));
		return true;
	}
	case LUA_TTABLE: {
		const void* table = lua_topointer(L, index);
		std::vector<const void*>& path = writer.path;
		if (int(path.size()) >= MAX_FLAG_DEPTH) {
			writer.Warn(FormatText("フラグテーブルの入れ子が %d 段を超えるため、%s を飛ばしました。",
				MAX_FLAG_DEPTH, target->Value()));
			return false;
		}
		for (const void* outer : path)
			if (outer == table) {
				writer.Warn(FormatText("フラグテーブルが自分自身を含むため、%s を飛ばしました。", target->Value()));
				return false;
			}
		target->SetAttribute("t", VALUE_TABLE);
		path.push_back(table);
		WriteTable(L, index, target, writer);
		path.pop_back();
		return true;
	}
	default:
		writer.Warn(FormatText("フラグテーブルの値(%s型)は保存できないため、%s を飛ばしました。",
			lua_typename(L, lua_type(L, index)), target->Value()));
		return false;
	}
}

// The element's name after its "_".
std::string NamedKey(const TiXmlElement* source)
{
	return source->ValueStr().substr(std::min<std::size_t>(1, source->ValueStr().size()));
}

// The bytes of a string key: "kx", else "k", else the element's name after the "_"; false for a bad "kx".
bool StringKey(const TiXmlElement* source, std::string& key)
{
	if (const char* hex = source->Attribute("kx"))
		return ReadHexText(hex, key);
	const char* stored = source->Attribute("k");
	key = stored ? Utf8ToSjis(stored) : NamedKey(source);
	return true;
}

// Pushes the key of the element; false for one whose key cannot be read.
bool PushKey(lua_State* L, const TiXmlElement* source, int keyType)
{
	if (keyType != KEY_NUMBER) {
		std::string key;
		if (!StringKey(source, key))
			return false;
		lua_pushlstring(L, key.data(), key.size());
		return true;
	}
	const char* stored = source->Attribute("k");
	const std::string text = stored ? std::string(stored) : NamedKey(source);
	lua_Number key = 0;
	if (!ReadNumber(text.c_str(), key) || std::isnan(key))
		return false;
	lua_pushnumber(L, key);
	return true;
}

// The text of the element's first child when it is a text node; null otherwise.
const char* FirstText(const TiXmlElement* source)
{
	const TiXmlNode* first = source->FirstChild();
	return first && first->ToText() ? first->Value() : nullptr;
}

int ReadEntry(lua_State* L, int index, const TiXmlElement* source, int depth);

// Fills a new table on top of the stack from the child elements; bad ones are skipped with a Warning.
void ReadTable(lua_State* L, const TiXmlElement* source, int depth)
{
	lua_newtable(L);
	const int table = lua_gettop(L);
	for (const TiXmlElement* child = source->FirstChildElement(); child; child = child->NextSiblingElement())
		if (ReadEntry(L, table, child, depth + 1) != 0)
			g_Logger.Warning(FormatText("フラグテーブルの要素 %s が壊れているため、飛ばしました。", child->ValueStr()));
}

// Pushes the value the element holds; false when it holds none that can be stored.
bool PushValue(lua_State* L, const TiXmlElement* source, int valueType, int depth)
{
	const char* text = FirstText(source);
	const bool empty = source->FirstChild() == nullptr;
	switch (valueType) {
	case VALUE_NIL:
		lua_pushnil(L);
		return true;
	case VALUE_NUMBER: {
		lua_Number value = 0;
		if (!text || !ReadNumber(text, value))
			return false;
		lua_pushnumber(L, value);
		return true;
	}
	case VALUE_BOOLEAN: {
		lua_Number value = 0;
		if (!text || !ReadNumber(text, value))
			return false;
		lua_pushboolean(L, int(value) != 0);
		return true;
	}
	case VALUE_STRING: {
		std::string value;
		if (const char* hex = source->Attribute("x")) {
			if (!ReadHexText(hex, value))
				return false;
			lua_pushlstring(L, value.data(), value.size());
			return true;
		}
		if (!text && !empty)
			return false;
		value = text ? Utf8ToSjis(text) : std::string();
		lua_pushlstring(L, value.data(), value.size());
		return true;
	}
	case VALUE_TABLE:
		if (text)
			return false;
		if (depth > MAX_FLAG_DEPTH) {
			g_Logger.Warning(FormatText("フラグテーブルの入れ子が %d 段を超えるため、%s を飛ばしました。",
				MAX_FLAG_DEPTH, source->ValueStr()));
			return false;
		}
		ReadTable(L, source, depth);
		return true;
	default:
		return false;
	}
}

int ReadEntry(lua_State* L, int index, const TiXmlElement* source, int depth)
{
	int valueType = 0;
	int keyType = 0;
	if (source->QueryIntAttribute("t", &valueType) != TIXML_SUCCESS ||
		source->QueryIntAttribute("kt", &keyType) != TIXML_SUCCESS)
		return -1;
	lua_checkstack(L, 4);
	if (!PushKey(L, source, keyType))
		return -1;
	if (PushValue(L, source, valueType, depth))
		lua_rawset(L, index);
	else
		lua_pop(L, 1);
	return 0;
}
}

bool luavar2xml(lua_State* L, int index, TiXmlElement* target)
{
	const int absolute = index > 0 ? index : lua_gettop(L) + index + 1;
	TFlagWriter count;
	count.countOnly = true;
	TiXmlElement counted(target->ValueStr());
	WriteValue(L, absolute, &counted, count);
	if (count.stopped)
		return false;
	TFlagWriter writer;
	return WriteValue(L, absolute, target, writer);
}

namespace
{
const char* const FLAG_GLOBAL = "Flag";

// Sets the global Flag to the value on top of the stack, popping it. The globals are written raw: a
// metatable the script gave them runs no code of its own outside a run's protection.
void SetFlagGlobal(lua_State* L)
{
	lua_pushstring(L, FLAG_GLOBAL);
	lua_insert(L, -2);
	lua_rawset(L, LUA_GLOBALSINDEX);
}
}

int xml2luavar(lua_State* L, int index, const TiXmlElement* source)
{
	const int absolute = index > 0 ? index : lua_gettop(L) + index + 1;
	return ReadEntry(L, absolute, source, 1);
}

void TMorvalethLuaManager::CreateFlagTable()
{
	const TRunBounds bounds;
	if (!m_State)
		return;
	lua_createtable(m_State, FLAG_ENTRIES, 0);
	for (int i = 1; i <= FLAG_ENTRIES; ++i) {
		lua_pushboolean(m_State, 0);
		lua_rawseti(m_State, -2, i);
	}
	SetFlagGlobal(m_State);
}

bool TMorvalethLuaManager::SaveToXML(TiXmlElement* parent)
{
	const TRunBounds bounds;
	if (!m_State || !parent)
		return true;
	lua_pushstring(m_State, FLAG_GLOBAL);
	lua_rawget(m_State, LUA_GLOBALSINDEX);
	bool saved = true;
	if (lua_istable(m_State, -1)) {
		TiXmlElement* flag = new TiXmlElement(FLAG_GLOBAL);
		saved = luavar2xml(m_State, -1, flag);
		parent->LinkEndChild(flag);
	}
	lua_pop(m_State, 1);
	return saved;
}

bool TMorvalethLuaManager::LoadFromXML(TiXmlElement* element)
{
	const TRunBounds bounds;
	if (!m_State) {
		g_Logger.Error("TMorvalethLuaManager::LoadFromXML() error : Lua state null.");
		return false;
	}
	if (!element) {
		LOG_ERROR("LuaEvent がありません。");
		return false;
	}
	const int top = lua_gettop(m_State);
	bool read = false;
	for (const TiXmlElement* child = element->FirstChildElement(); child; child = child->NextSiblingElement()) {
		// Only the flag table is kept in the save; an edited save cannot replace other globals.
		if (child->ValueStr() != FLAG_GLOBAL) {
			LOG_WARNING("%s は読み込みません。", child->ValueStr());
			continue;
		}
		lua_settop(m_State, top);
		lua_newtable(m_State);
		for (const TiXmlElement* entry = child->FirstChildElement(); entry; entry = entry->NextSiblingElement())
			if (xml2luavar(m_State, top + 1, entry) != 0) {
				g_Logger.Error("xml2luavar error");
				lua_settop(m_State, top);
				return false;
			}
		read = true;
	}
	// The global changes only once the whole element has been read.
	if (read)
		SetFlagGlobal(m_State);
	lua_settop(m_State, top);
	return true;
}
