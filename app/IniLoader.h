#ifndef MORVALETH_APP_INILOADER_H
#define MORVALETH_APP_INILOADER_H

#include <cstdio>
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

	/// Replaces the store with the file's contents; false (store empty) when the file cannot be read.
	bool LoadFromFile(const std::string& file);
	/// Writes the store into the file through "tmp.txt", keeping the old file as "morvaleth.bak"; false leaves the file untouched.
	bool SaveToFile(const std::string& file);

	/// The value of the key; false, with out unchanged, when the section or key is missing.
	bool GetString(const std::string& section, const std::string& key, std::string& out) const;
	/// The value read as "%d" reads it, beyond the 32-bit range the nearest limit; false, with out unchanged, when missing or not a number.
	bool GetInt(const std::string& section, const std::string& key, int& out) const;
	/// The value read as "%x" reads it (colours as AARRGGBB), beyond 32 bits 0xFFFFFFFF; false, with out unchanged, when missing or not a number.
	bool GetHex(const std::string& section, const std::string& key, unsigned& out) const;

	/// Line numbers (from 1) of the lines last loaded that are neither blank, a comment, a section nor a key; saving copies them unchanged.
	const std::vector<int>& GetUnreadLines() const { return m_UnreadLines; }

	/// Assigns the value, creating the section and key when absent.
	void SetString(const std::string& section, const std::string& key, const std::string& value);
	/// Assigns the number written with "%d".
	void SetInt(const std::string& section, const std::string& key, int value);

private:
	/// Values by key, in byte order.
	typedef std::map<std::string, std::string> TKeyMap;
	/// Keys by section name, in byte order.
	typedef std::map<std::string, TKeyMap> TSectionMap;

	/// Copies the old file into the new one, with the store's values in place of the old ones.
	void WriteMerged(std::FILE* in, std::FILE* out) const;
	/// Appends every section whose name is not in the set, with all its keys.
	void WriteSectionsExcept(std::FILE* out, const std::set<std::string>& met) const;
	/// Writes "tmp.txt" from the old file (closed here) or, when there is none, from the store alone; false when incomplete.
	bool WriteTempFile(std::FILE* in) const;
	/// The value of the key, or null.
	const std::string* FindValue(const std::string& section, const std::string& key) const;

	/// The store; section "" holds the keys above the first section line.
	TSectionMap m_Sections;
	/// See GetUnreadLines.
	std::vector<int> m_UnreadLines;
};

#endif
