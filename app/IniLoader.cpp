#include "app/IniLoader.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "platform/FileSystem.h"

namespace
{
const char* const TempFileName = "tmp.txt";
const char* const BackupFileName = "morvaleth.bak";
const char* const RenameFailedText = "%s => %s のrenameに失敗しました。この現象を作者に報告して下さい。";

typedef std::map<std::string, std::string> TKeys;

enum TLineKind { LINE_BLANK, LINE_SECTION, LINE_KEY, LINE_OTHER };

// Reads one line of any length, NUL bytes included: a damaged file must come back
// whole when it is written again. The line feed is cut off, and so is one carriage
// return before it: files edited on Windows must read the same.
bool ReadLine(std::FILE* file, std::string& line)
{
	line.clear();
	int c = std::getc(file);
	if (c == EOF)
		return false;
	for (; c != EOF && c != '\n'; c = std::getc(file))
		line.push_back(static_cast<char>(c));
	if (!line.empty() && line.back() == '\r')
		line.pop_back();
	return true;
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
void WriteLine(std::FILE* out, const std::string& line)
{
	std::fwrite(line.data(), 1, line.size(), out);
	std::fputs(!line.empty() && line.back() == '\r' ? "\r\n" : "\n", out);
}

void WriteKey(std::FILE* out, const std::string& key, const std::string& value)
{
	WriteLine(out, key + "=" + value);
}

// Ends a section of the old file: the store's keys that the file lacked go last in it.
void WriteUnwrittenKeys(std::FILE* out, const TKeys* section, std::set<std::string>& written)
{
	if (section)
		for (const auto& entry : *section)
			if (!written.count(entry.first))
				WriteKey(out, entry.first, entry.second);
	written.clear();
}
}

TIniLoader::~TIniLoader()
{
}

bool TIniLoader::LoadFromFile(const std::string& file)
{
	m_Sections.clear();
	m_UnreadLines.clear();
	std::FILE* in = OpenFile(file, "r");
	if (!in)
		return false;
	std::string section, line, name, value;
	for (int number = 1; ReadLine(in, line); ++number) {
		const TLineKind kind = ParseLine(line, name, value);
		if (kind == LINE_SECTION)
			section = name;
		else if (kind == LINE_KEY)
			m_Sections[section][name] = value;
		else if (kind == LINE_OTHER && line.find_first_not_of(" \t") != std::string::npos)
			m_UnreadLines.push_back(number);
	}
	const bool complete = !std::ferror(in);
	std::fclose(in);
	if (!complete) {
		m_Sections.clear();
		m_UnreadLines.clear();
	}
	return complete;
}

bool TIniLoader::SaveToFile(const std::string& file)
{
	std::FILE* in = OpenFile(file, "r");
	const bool hadFile = in != nullptr;
	// A missing file is written anew; one that exists but cannot be opened is left alone.
	if (!hadFile && PathExists(file))
		return false;
	if (!WriteTempFile(in))
		return false;
	// The old file is copied, not moved, to the backup: it stays in place until the
	// rename replaces it in one step, so no failure leaves the configuration missing.
	// A copy that replaced nothing is removed, so that no stray file is left behind.
	if (hadFile && !CopyFile(file, BackupFileName)) {
		LOG_ERROR(RenameFailedText, file, BackupFileName);
		RemoveFile(TempFileName);
		return false;
	}
	if (!RenameFile(TempFileName, file)) {
		LOG_ERROR(RenameFailedText, TempFileName, file);
		RemoveFile(TempFileName);
		return false;
	}
	return true;
}

bool TIniLoader::WriteTempFile(std::FILE* in) const
{
	std::FILE* out = OpenFile(TempFileName, "w");
	if (!out) {
		if (in)
			std::fclose(in);
		return false;
	}
	bool complete = true;
	if (in) {
		WriteMerged(in, out);
		complete = !std::ferror(in);
		std::fclose(in);
	} else
		WriteSectionsExcept(out, std::set<std::string>());
	complete = !std::ferror(out) && complete;
	complete = std::fclose(out) == 0 && complete;
	// A copy cut short by a read or write error must never replace the file.
	if (!complete)
		RemoveFile(TempFileName);
	return complete;
}

void TIniLoader::WriteMerged(std::FILE* in, std::FILE* out) const
{
	// Lines above the first section line belong to no stored section and are copied.
	const TKeys* section = nullptr;
	std::set<std::string> written;
	std::set<std::string> met;
	std::string line, name, value;
	while (ReadLine(in, line)) {
		const TLineKind kind = ParseLine(line, name, value);
		if (kind == LINE_SECTION) {
			WriteUnwrittenKeys(out, section, written);
			met.insert(name);
			const auto found = m_Sections.find(name);
			section = found == m_Sections.end() ? nullptr : &found->second;
			WriteLine(out, line);
		} else if (kind == LINE_KEY && section && section->count(name)) {
			WriteKey(out, name, section->at(name));
			written.insert(name);
		} else
			WriteLine(out, line);
	}
	WriteUnwrittenKeys(out, section, written);
	WriteSectionsExcept(out, met);
}

void TIniLoader::WriteSectionsExcept(std::FILE* out, const std::set<std::string>& met) const
{
	for (const auto& section : m_Sections) {
		if (met.count(section.first))
			continue;
		WriteLine(out, "[" + section.first + "]");
		for (const auto& entry : section.second)
			WriteKey(out, entry.first, entry.second);
	}
}

const std::string* TIniLoader::FindValue(const std::string& section, const std::string& key) const
{
	const auto keys = m_Sections.find(section);
	if (keys == m_Sections.end())
		return nullptr;
	const auto entry = keys->second.find(key);
	return entry == keys->second.end() ? nullptr : &entry->second;
}

bool TIniLoader::GetString(const std::string& section, const std::string& key, std::string& out) const
{
	const std::string* value = FindValue(section, key);
	if (value)
		out = *value;
	return value != nullptr;
}

bool TIniLoader::GetInt(const std::string& section, const std::string& key, int& out) const
{
	const std::string* value = FindValue(section, key);
	return value && ReadInt(value->c_str(), out);
}

bool TIniLoader::GetHex(const std::string& section, const std::string& key, unsigned& out) const
{
	const std::string* value = FindValue(section, key);
	return value && ReadHex(value->c_str(), out);
}

void TIniLoader::SetString(const std::string& section, const std::string& key, const std::string& value)
{
	m_Sections[section][key] = value;
}

void TIniLoader::SetInt(const std::string& section, const std::string& key, int value)
{
	SetString(section, key, std::to_string(value));
}
