#include "app/IniLoader.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "platform/FileSystem.h"

namespace
{
const char* const TempFileName = "tmp.txt";
const char* const BackupFileName = "morvaleth.bak";
const char* const RenameFailedText = "%s => %s のrenameに失敗しました。この現象を作者に報告して下さい。";
const char* const RemoveFailedText = "%s の削除に失敗しました。この現象を作者に報告して下さい。";
const char* const CannotCreateText = " (%s を作成できません)";
// A configuration holds a few hundred bytes; a file past this is none, and reading it would hold the start.
const std::size_t MaxFileBytes = 4 << 20;

enum TLineKind { LINE_BLANK, LINE_SECTION, LINE_KEY, LINE_OTHER };

// The lines of a text, of any length, NUL bytes included: a damaged file must come back whole when it is
// written again. Each line feed is cut off, and so is one carriage return before it: files edited on
// Windows must read the same. A last line without a line feed counts too.
std::vector<std::string> SplitLines(const std::string& text)
{
	std::vector<std::string> lines;
	for (std::size_t start = 0; start < text.size();) {
		std::size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		lines.push_back(text.substr(start, end - start));
		if (!lines.back().empty() && lines.back().back() == '\r')
			lines.back().pop_back();
		start = end + 1;
	}
	return lines;
}

// Classifies a line. A section line gives its name, a key line its key and value;
// nothing is trimmed, so blanks around "=" belong to the key and the value.
TLineKind ParseLine(const std::string& line, std::string& name, std::string& value)
{
	if (line.empty() || line[0] == '#')
		return LINE_BLANK;
	if (line[0] == '[' && line.back() == ']') {
		name = line.substr(1, line.size() - 2);
		return LINE_SECTION;
	}
	const std::string::size_type equals = line.find('=');
	if (equals == std::string::npos)
		return LINE_OTHER;
	name = line.substr(0, equals);
	value = line.substr(equals + 1);
	return LINE_KEY;
}

// The reader takes one carriage return off the end of a line; a line that ends
// in one is written with one more, so that it reads back as it was.
void AppendLine(std::string& out, const std::string& line)
{
	out += line;
	out += !line.empty() && line.back() == '\r' ? "\r\n" : "\n";
}

void AppendKey(std::string& out, const std::string& key, const std::string& value)
{
	AppendLine(out, key + "=" + value);
}

// Why a file could not be read, for the messages that name it.
std::string ReadFailure(TFileRead read)
{
	switch (read) {
	case TFileRead::NOT_REGULAR:
		return " (通常のファイルではありません)";
	case TFileRead::TOO_LARGE:
		return FormatText(" (%d バイトを超えています)", static_cast<long long>(MaxFileBytes));
	case TFileRead::FAILED:
		return " (読み込みに失敗しました)";
	default:
		return std::string();
	}
}

// The sections of an old file as the writer needs them. A section may stand there several times (and the
// lines above the first section line belong to the section ""): a key the store adds goes once, at the end
// of the section's last copy, and only when no copy holds it.
struct TFileSections
{
	explicit TFileSections(const std::vector<std::string>& lines)
	{
		lastCopy[""] = ABOVE_FIRST_SECTION;
		std::string section, name, value;
		for (std::size_t i = 0; i < lines.size(); ++i) {
			const TLineKind kind = ParseLine(lines[i], name, value);
			if (kind == LINE_SECTION) {
				section = name;
				lastCopy[section] = static_cast<long>(i);
			} else if (kind == LINE_KEY)
				keys[section].insert(name);
		}
	}

	/// Where a section's copy starts: the line of its section line, or this for the lines above the first one.
	static constexpr long ABOVE_FIRST_SECTION = -1;
	/// Per section met, where its last copy starts.
	std::map<std::string, long> lastCopy;
	/// Per section, the keys of all its copies.
	std::map<std::string, std::set<std::string>> keys;
};
}

TIniLoader::~TIniLoader()
{
}

bool TIniLoader::LoadFromFile(const std::string& file)
{
	m_Sections.clear();
	m_KeysInUse.clear();
	m_UnreadLines.clear();
	std::string bytes;
	const TFileRead read = ReadFileBytes(file, MaxFileBytes, bytes);
	m_FileError = ReadFailure(read);
	if (read != TFileRead::READ)
		return false;
	std::string section, name, value;
	int number = 0;
	for (const std::string& line : SplitLines(bytes)) {
		++number;
		const TLineKind kind = ParseLine(line, name, value);
		if (kind == LINE_SECTION)
			section = name;
		else if (kind == LINE_KEY)
			m_Sections[section][name] = value;
		else if (kind == LINE_OTHER && line.find_first_not_of(" \t") != std::string::npos)
			m_UnreadLines.push_back(number);
	}
	return true;
}

bool TIniLoader::SaveToFile(const std::string& file)
{
	std::string old;
	const TFileRead read = ReadFileBytes(file, MaxFileBytes, old);
	m_FileError = ReadFailure(read);
	// A missing file is written anew; one that exists but cannot be read is left alone.
	if (read != TFileRead::READ && read != TFileRead::MISSING)
		return false;
	// The temporary file and the backup are made afresh: whatever stood under their names (a link, a pipe, a
	// file left behind) is replaced, never written through. The old file stays in place until the rename
	// replaces it in one step, so no failure leaves the configuration missing.
	std::string text;
	if (!MakeText(file, SplitLines(old), text))
		return false;
	if (!WriteNewFile(TempFileName, text)) {
		m_FileError = FormatText(CannotCreateText, TempFileName);
		return false;
	}
	if (read == TFileRead::READ && !WriteBackup(file, old)) {
		RemoveFile(TempFileName);
		return false;
	}
	if (!RenameFile(TempFileName, file)) {
		LOG_ERROR(RenameFailedText, TempFileName, file);
		m_FileError = FormatText(" (%s => %s)", TempFileName, file);
		RemoveFile(TempFileName);
		return false;
	}
	return true;
}

// A save that grew the file past what a load reads would leave every setting at
// its default at the next start, and no save could repair it. Comments, lines the
// store does not read, keys no one asks for and the copies of a key the reader
// overwrites are then given up: they stay in the backup.
bool TIniLoader::MakeText(const std::string& file, const std::vector<std::string>& lines, std::string& text)
{
	text = Merge(lines);
	if (text.size() <= MaxFileBytes)
		return true;
	text = KeysInUse();
	if (text.size() > MaxFileBytes) {
		m_FileError = FormatText(" (書き出すと %d バイトを超えます)", static_cast<long long>(MaxFileBytes));
		return false;
	}
	LOG_WARNING("%s は書き出すと %d バイトを超えるので、使われている設定だけを書き出します。"
		"ほかの行は %s に残ります。", file, static_cast<long long>(MaxFileBytes), BackupFileName);
	return true;
}

std::string TIniLoader::KeysInUse() const
{
	std::string out;
	for (const auto& section : m_Sections) {
		const auto used = m_KeysInUse.find(section.first);
		if (used == m_KeysInUse.end())
			continue;
		if (!section.first.empty())
			AppendLine(out, "[" + section.first + "]");
		for (const auto& entry : section.second)
			if (used->second.count(entry.first))
				AppendKey(out, entry.first, entry.second);
	}
	return out;
}

bool TIniLoader::WriteBackup(const std::string& file, const std::string& bytes)
{
	if (WriteNewFile(BackupFileName, bytes))
		return true;
	// Something that cannot be removed (a folder with files) holds the backup's name.
	if (PathExists(BackupFileName))
		LOG_ERROR(RemoveFailedText, BackupFileName);
	LOG_ERROR(RenameFailedText, file, BackupFileName);
	m_FileError = FormatText(CannotCreateText, BackupFileName);
	return false;
}

std::string TIniLoader::Merge(const std::vector<std::string>& lines) const
{
	const TFileSections sections(lines);
	std::string out;
	std::string section;
	long copy = TFileSections::ABOVE_FIRST_SECTION;
	const auto endCopy = [&] {
		if (sections.lastCopy.at(section) != copy)
			return;
		const auto present = sections.keys.find(section);
		AddMissingKeys(out, section, present == sections.keys.end() ? std::set<std::string>() : present->second);
	};
	std::string name, value;
	for (std::size_t i = 0; i < lines.size(); ++i) {
		const TLineKind kind = ParseLine(lines[i], name, value);
		const std::string* stored = kind == LINE_KEY ? FindValue(section, name) : nullptr;
		if (kind == LINE_SECTION) {
			endCopy();
			section = name;
			copy = static_cast<long>(i);
			AppendLine(out, lines[i]);
		} else if (stored)
			AppendKey(out, name, *stored);
		else
			AppendLine(out, lines[i]);
	}
	endCopy();
	for (const auto& stored : m_Sections) {
		if (sections.lastCopy.count(stored.first))
			continue;
		AppendLine(out, "[" + stored.first + "]");
		AddMissingKeys(out, stored.first, std::set<std::string>());
	}
	return out;
}

void TIniLoader::AddMissingKeys(std::string& out, const std::string& section,
	const std::set<std::string>& present) const
{
	const auto stored = m_Sections.find(section);
	if (stored == m_Sections.end())
		return;
	for (const auto& entry : stored->second)
		if (!present.count(entry.first))
			AppendKey(out, entry.first, entry.second);
}

const std::string* TIniLoader::FindValue(const std::string& section, const std::string& key) const
{
	const auto keys = m_Sections.find(section);
	if (keys == m_Sections.end())
		return nullptr;
	const auto entry = keys->second.find(key);
	return entry == keys->second.end() ? nullptr : &entry->second;
}

const std::string* TIniLoader::UseValue(const std::string& section, const std::string& key) const
{
	m_KeysInUse[section].insert(key);
	return FindValue(section, key);
}

bool TIniLoader::GetString(const std::string& section, const std::string& key, std::string& out) const
{
	const std::string* value = UseValue(section, key);
	if (value)
		out = *value;
	return value != nullptr;
}

bool TIniLoader::GetInt(const std::string& section, const std::string& key, int& out) const
{
	const std::string* value = UseValue(section, key);
	return value && ReadInt(value->c_str(), out);
}

bool TIniLoader::GetHex(const std::string& section, const std::string& key, unsigned& out) const
{
	const std::string* value = UseValue(section, key);
	return value && ReadHex(value->c_str(), out);
}

void TIniLoader::SetString(const std::string& section, const std::string& key, const std::string& value)
{
	m_Sections[section][key] = value;
	m_KeysInUse[section].insert(key);
}

void TIniLoader::SetInt(const std::string& section, const std::string& key, int value)
{
	SetString(section, key, std::to_string(value));
}
