#include "app/GameConfig.h"

#include "app/Logger.h"

#include <algorithm>
#include <cctype>
#include <climits>

TGameConfig g_Config;

namespace
{
struct TColorEntry
{
	const char* key;
	unsigned color;
};

struct TSwitchEntry
{
	const char* section;
	const char* key;
};

struct TIntEntry
{
	const char* section;
	const char* key;
	int value;
};

// Section GUI; default colours as AARRGGBB.
const TColorEntry GuiColorTable[GUICOLOR_COUNT] = {
	{ "WindowColor", 0xFF4040FF },
	{ "ButtonEnabledColor", 0xFF808080 },
	{ "ButtonDisabledColor", 0xFF404040 },
	{ "DarkPaneColor", 0xFF000020 },
	{ "GrayPaneColor", 0xFFD0D0D0 },
	{ "EventPaneColor", 0xFF0020C0 },
	{ "ListBoxBackgroundColor", 0xFF000000 },
	{ "ListBoxSelectionColor", 0xFF000080 },
	{ "SelectedFrameColor", 0x80FF0000 },
	{ "RadioButtonBGColor", 0xFF000000 },
	{ "MagicSelectPaneColor", 0x80000080 },
	{ "BattleCharaListPaneColor", 0x80000080 },
};

// Every switch is off by default.
const TSwitchEntry SwitchTable[SWITCH_COUNT] = {
	{ "Window", "DisableSwapInterval" },
	{ "Mixer", "MusicEnabled" },
	{ "Mixer", "SoundEnabled" },
	{ "Watch", "Use" },
	{ "Watch", "OnlyLarge" },
	{ "Watch", "OnlyMaster" },
	{ "Watch", "NoNeutral" },
	{ "Watch", "MaxSpeed" },
};

const TIntEntry IntTable[CONFIG_COUNT] = {
	{ "Window", "FPS", 60 },
	{ "Window", "Width", 800 },
	{ "Window", "Height", 600 },
	{ "GUI", "ScrollbarWidth", 16 },
	{ "Battle", "AnimationSpeed", 3 },
	{ "Battle", "TurnMax", 10 },
	{ "Screen", "DrawRectangleSlideLeft", 0 },
	{ "Screen", "DrawRectangleSlideRight", 0 },
	{ "Screen", "DrawRectangleSlideTop", 0 },
	{ "Screen", "DrawRectangleSlideBottom", 0 },
};

// Section Shortcut; no key is assigned by default.
const char* const ShortcutSection = "Shortcut";
const char* const ShortcutKeys[SHORTCUT_COUNT] = {
	"Wait", "Move", "Attack", "Charge", "Special", "Magic", "RunAway",
};

// What a getter of colours answers for an index outside its table.
const gcn::Color OutOfTableColor(0, 0, 0, 255);

// Whether the index lies inside a table of that size; an Error naming the calling method and line when not.
bool InTable(int index, int size, const std::string& method, int line)
{
	if (index >= 0 && index < size)
		return true;
	g_Logger.Error(MethodText(method, line, "index %d is outside 0..%d", index, size - 1));
	return false;
}
#define IN_TABLE(index, size) InTable(index, size, MethodName(__PRETTY_FUNCTION__), __LINE__)

// Whether a text reads as one AARRGGBB word: blanks, an optional "0x" and at most eight significant hexadecimal
// digits. A sign or more digits would be wrapped or cut to some other colour.
bool IsColorWord(const std::string& text)
{
	const char* const hexDigits = "0123456789abcdefABCDEF";
	std::size_t at = text.find_first_not_of(" \t\n\v\f\r");
	if (at == std::string::npos)
		return false;
	if ((text.compare(at, 2, "0x") == 0 || text.compare(at, 2, "0X") == 0) && at + 2 < text.size()
		&& std::isxdigit(static_cast<unsigned char>(text[at + 2])))
		at += 2;
	const std::size_t end = std::min(text.find_first_not_of(hexDigits, at), text.size());
	const std::size_t significant = std::min(text.find_first_not_of('0', at), end);
	return end > at && end - significant <= 8;
}

// Red is in bits 16-23, green in 8-15, blue in 0-7 and alpha in 24-31.
gcn::Color ColorOfWord(unsigned word)
{
	return gcn::Color((word >> 16) & 0xFF, (word >> 8) & 0xFF, word & 0xFF, (word >> 24) & 0xFF);
}
}

TGameConfig::TGameConfig()
	: m_LogLevel(0), m_LogEveryFlush(false), m_TextFontSize(0), m_DoubleClickFrame(0), m_MessageTimeoutFrame(0),
	  m_WindowWidth(0), m_WindowHeight(0), m_Switches(), m_IntValues(), m_Shortcuts()
{
}

bool TGameConfig::Load(const std::string& file)
{
	m_File = file;
	// A file that is no regular file, or far too large for one, is not read at all: its reason follows.
	if (!LoadFromFile(file))
		g_Logger.Warning(file + " の読込に失敗しましたがデフォルト値を用いて続行します。" + GetFileError());
	ReportUnreadLines();
	LoadNamedSettings();
	LoadTables();
	KeepUsableSizes();
	return true;
}

void TGameConfig::KeepUsableSizes()
{
	// The main loop divides by the frame rate and the toolkit refuses a scroll bar without width. A window
	// narrower or lower than the settings window allows (or than the default, where that is lower) could not
	// show the settings window that would repair it. These fall back to their defaults rather than stop the
	// program.
	const struct
	{
		int index;
		int minimum;
	} limits[] = {
		{ CONFIG_FPS, 1 },
		{ CONFIG_WIDTH, std::min(SETTINGS_MIN_WINDOW_SIDE, IntTable[CONFIG_WIDTH].value) },
		{ CONFIG_HEIGHT, std::min(SETTINGS_MIN_WINDOW_SIDE, IntTable[CONFIG_HEIGHT].value) },
		{ CONFIG_SCROLLBAR_WIDTH, 1 },
	};
	for (const auto& limit : limits) {
		const TIntEntry& entry = IntTable[limit.index];
		if (m_IntValues[limit.index] < limit.minimum) {
			LOG_WARNING("%s: %s/%s=%d is below %d; the default %d is used", m_File, entry.section, entry.key,
				m_IntValues[limit.index], limit.minimum, entry.value);
			m_IntValues[limit.index] = entry.value;
		}
	}
}

void TGameConfig::ReportUnreadLines() const
{
	const std::vector<int>& lines = GetUnreadLines();
	if (!lines.empty())
		LOG_WARNING("%s: %d line(s) from line %d on are neither a [section] nor a key=value line; they are ignored and "
					"kept in the file", m_File, static_cast<int>(lines.size()), lines.front());
}

void TGameConfig::LoadNamedSettings()
{
	if (!GetString("GUI", "FontName", m_FontName))
		m_FontName.clear();
	m_LogLevel = ReadInt("Log", "LogLevel", 3);
	m_LogEveryFlush = ReadInt("Log", "LogEveryFlush", 1) != 0;
	m_TextFontSize = 16;
	m_FontColor = ReadColor("GUI", "FontColor", 0xFFFFFFFF);
	m_FontDisabledColor = ReadColor("GUI", "FontDisabledColor", 0xFF808080);
	m_MsgDlgColor = ReadColor("GUI", "MsgDlgColor", 0xFFA0A0A0);
	m_WorldMapEdgeColor = ReadColor("GUI", "WorldMapEdgeColor", 0xC0FF0000);
	m_BattleMapShadeColor = ReadColor("GUI", "BattleMapShadeColor", 0x80000000);
	m_DoubleClickFrame = ReadInt("GUI", "DoubleClickFrame", 30);
	m_MessageTimeoutFrame = ReadInt("GUI", "MessageTimeoutFrame", 60);
}

void TGameConfig::LoadTables()
{
	for (int i = 0; i < GUICOLOR_COUNT; ++i)
		m_GuiColors[i] = ReadColor("GUI", GuiColorTable[i].key, GuiColorTable[i].color);
	for (int i = 0; i < SWITCH_COUNT; ++i)
		m_Switches[i] = ReadInt(SwitchTable[i].section, SwitchTable[i].key, 0) != 0;
	for (int i = 0; i < CONFIG_COUNT; ++i)
		m_IntValues[i] = ReadInt(IntTable[i].section, IntTable[i].key, IntTable[i].value);
	m_ExtraColors[EXTRACOLOR_TOP] = ReadColor("GUI", "TopColor", 0xFF606080);
	m_FileNameEncoding = "utf-8";
	GetString("File", "FileNameEncoding", m_FileNameEncoding);
	for (int i = 0; i < SHORTCUT_COUNT; ++i)
		m_Shortcuts[i] = ReadInt(ShortcutSection, ShortcutKeys[i], 0);
}

gcn::Color TGameConfig::ReadColor(const char* section, const char* key, unsigned defaultWord) const
{
	unsigned word = defaultWord;
	std::string text;
	if (GetString(section, key, text) && (!IsColorWord(text) || !GetHex(section, key, word)))
		LOG_WARNING("%s: %s/%s=%s is not a hexadecimal colour; the default %08x is used", m_File, section, key, text,
			defaultWord);
	return ColorOfWord(word);
}

int TGameConfig::ReadInt(const char* section, const char* key, int defaultValue) const
{
	int value = defaultValue;
	std::string text;
	if (!GetString(section, key, text))
		return value;
	if (!GetInt(section, key, value))
		LOG_WARNING("%s: %s/%s=%s is not a number; the default %d is used", m_File, section, key, text, defaultValue);
	else if (value == INT_MAX || value == INT_MIN) {
		// The reader holds a number beyond 32 bits at the limit; no setting means that.
		LOG_WARNING("%s: %s/%s=%s is out of range; the default %d is used", m_File, section, key, text, defaultValue);
		value = defaultValue;
	}
	return value;
}

bool TGameConfig::Save(const std::string& file)
{
	return SaveToFile(file);
}

int TGameConfig::GetIntValue(int index) const
{
	return IN_TABLE(index, CONFIG_COUNT) ? m_IntValues[index] : 0;
}

bool TGameConfig::GetBoolValue(int index) const
{
	return IN_TABLE(index, SWITCH_COUNT) && m_Switches[index];
}

int TGameConfig::GetShortcut(int index) const
{
	return IN_TABLE(index, SHORTCUT_COUNT) ? m_Shortcuts[index] : 0;
}

gcn::Color TGameConfig::GetColor(int index) const
{
	return IN_TABLE(index, EXTRACOLOR_COUNT) ? m_ExtraColors[index] : OutOfTableColor;
}

const gcn::Color& TGameConfig::GetGuiColor(int index) const
{
	return IN_TABLE(index, GUICOLOR_COUNT) ? m_GuiColors[index] : OutOfTableColor;
}

void TGameConfig::SetIntValue(int index, int value)
{
	if (!IN_TABLE(index, CONFIG_COUNT))
		return;
	m_IntValues[index] = value;
	SetInt(IntTable[index].section, IntTable[index].key, value);
}

void TGameConfig::SetBoolValue(int index, bool value)
{
	if (!IN_TABLE(index, SWITCH_COUNT))
		return;
	m_Switches[index] = value;
	SetInt(SwitchTable[index].section, SwitchTable[index].key, value ? 1 : 0);
}

void TGameConfig::SetShortcut(int index, int key)
{
	if (!IN_TABLE(index, SHORTCUT_COUNT))
		return;
	m_Shortcuts[index] = key;
	SetInt(ShortcutSection, ShortcutKeys[index], key);
}

bool TGameConfig::FindShortcutAction(int key, int& action) const
{
	// Keys that SDL cannot name arrive as 0, which also marks an unassigned shortcut.
	if (key == 0)
		return false;
	for (int i = 0; i < SHORTCUT_COUNT; ++i) {
		if (m_Shortcuts[i] == key) {
			action = i;
			return true;
		}
	}
	return false;
}

void TGameConfig::GetWindowSize(int& width, int& height) const
{
	width = m_WindowWidth;
	height = m_WindowHeight;
}

void TGameConfig::SetWindowSize(int width, int height)
{
	m_WindowWidth = width;
	m_WindowHeight = height;
}
