#ifndef MORVALETH_APP_INILOADER_H
#define MORVALETH_APP_INILOADER_H

#include <map>
#include <set>
#include <string>
#include <vector>

/// Section/key/value store of an INI file; saving rewrites the file in place and keeps the lines it does not own.
class TIniLoader
{
public:
	/// Virtual: the configuration derives from the store.
	virtual ~TIniLoader();

	/// Replaces the store with the file's contents; false (store empty) when the file is missing, is no regular
	/// file or is larger than any configuration.
	bool LoadFromFile(const std::string& file);
	/// Writes the store into the file through a new "tmp.txt", keeping the old file as a new "morvaleth.bak"; false
	/// leaves the file untouched. What it writes is always a file LoadFromFile reads: when the old file with the
	/// store's values would pass the size it reads, only the keys in use are written, with a Warning.
	bool SaveToFile(const std::string& file);
	/// Why the last load or save failed, as a reason in parentheses that names what stood in the way; empty after a
	/// success, or when the file was only missing.
	const std::string& GetFileError() const { return m_FileError; }

	// A key asked for by a getter is in use until the next load.

	/// The value of the key; false, with out unchanged, when the section or key is missing.
	bool GetString(const std::string& section, const std::string& key, std::string& out) const;
	/// The value read as "%d" reads it, beyond the 32-bit range the nearest limit; false, with out unchanged, when missing or not a number.
	bool GetInt(const std::string& section, const std::string& key, int& out) const;
	/// The value read as "%x" reads it (colours as AARRGGBB), beyond 32 bits 0xFFFFFFFF; false, with out unchanged, when missing or not a number.
	bool GetHex(const std::string& section, const std::string& key, unsigned& out) const;

	/// Line numbers (from 1) of the lines last loaded that are neither blank, a comment, a section nor a key; saving copies them unchanged.
	const std::vector<int>& GetUnreadLines() const { return m_UnreadLines; }

	/// Assigns the value, creating the section and key when absent; the key is in use from then on.
	void SetString(const std::string& section, const std::string& key, const std::string& value);
	/// Assigns the number written with "%d".
	void SetInt(const std::string& section, const std::string& key, int value);

private:
	/// Values by key, in byte order.
	typedef std::map<std::string, std::string> TKeyMap;
	/// Keys by section name, in byte order.
	typedef std::map<std::string, TKeyMap> TSectionMap;

	/// The lines of the old file, with the store's values in place of the old ones and the store's other keys and
	/// sections added.
	std::string Merge(const std::vector<std::string>& lines) const;
	/// The keys in use that the store holds, each once under its section line (those of the section "" first,
	/// above every section line).
	std::string KeysInUse() const;
	/// The text to write in place of the old file's lines; false, with the reason, when none fits what a load reads.
	bool MakeText(const std::string& file, const std::vector<std::string>& lines, std::string& text);
	/// Appends the keys of a stored section that its lines in the old file lack.
	void AddMissingKeys(std::string& out, const std::string& section,
		const std::set<std::string>& present) const;
	/// Keeps the old file's bytes as the backup; false, logged, when it cannot be made.
	bool WriteBackup(const std::string& file, const std::string& bytes);
	/// The value of the key, or null.
	const std::string* FindValue(const std::string& section, const std::string& key) const;
	/// FindValue of a getter: the key is in use.
	const std::string* UseValue(const std::string& section, const std::string& key) const;

	/// The store; section "" holds the keys above the first section line.
	TSectionMap m_Sections;
	/// Keys asked for or set since the last load, by section.
	mutable std::map<std::string, std::set<std::string>> m_KeysInUse;
	/// See GetUnreadLines.
	std::vector<int> m_UnreadLines;
	/// See GetFileError.
	std::string m_FileError;
};

#endif
