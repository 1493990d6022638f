#ifndef MORVALETH_MODEL_RECORDTABLE_H
#define MORVALETH_MODEL_RECORDTABLE_H

#include "app/Logger.h"

#include <algorithm>
#include <cstddef>
#include <set>
#include <string>
#include <vector>

// Tables of records that bear a string id: searched by id, sorted once after
// loading, and read by index with a check that never compiles out.

/// Index of the record whose id equals the wanted one in a table sorted by id; -1 when none does.
template <typename T>
int FindIndexByID(const std::vector<T>& table, const std::string& id)
{
	const auto found = std::lower_bound(table.begin(), table.end(), id,
		[](const T& record, const std::string& wanted) { return record.id < wanted; });
	return found != table.end() && found->id == id ? static_cast<int>(found - table.begin()) : -1;
}

/// Index of the first record whose id equals the wanted one, searching from the start; -1 when none does.
template <typename T>
int FindIndexLinear(const std::vector<T>& table, const std::string& id)
{
	const auto found = std::find_if(table.begin(), table.end(), [&id](const T& record) { return record.id == id; });
	return found != table.end() ? static_cast<int>(found - table.begin()) : -1;
}

/// Adds the id to the ids met so far; false, after the Warning path + " 重複したid " + id + note, when it was met before.
bool NoteNewId(std::set<std::string>& ids, const std::string& id, const std::string& path, const char* note = "");

/// The ids of a table's records.
template <typename T>
std::set<std::string> IdsOf(const std::vector<T>& table)
{
	std::set<std::string> ids;
	for (const T& record : table)
		ids.insert(record.id);
	return ids;
}

/// Warns of every record whose id an earlier record of the table bears already.
template <typename T>
void WarnRepeatedIds(const std::vector<T>& table, const std::string& path)
{
	std::set<std::string> ids;
	for (const T& record : table)
		NoteNewId(ids, record.id, path);
}

/// Sorts the table by id, keeping table order among equal ids, so that a lookup finds the first of them.
template <typename T>
void StableSortByID(std::vector<T>& table)
{
	std::stable_sort(table.begin(), table.end(), [](const T& a, const T& b) { return a.id < b.id; });
}

/// Sorts a table read from one file by id and warns of every repeated id of the file.
template <typename T>
void SortByID(std::vector<T>& table, const std::string& path)
{
	WarnRepeatedIds(table, path);
	StableSortByID(table);
}

/// Logs a read or write of a table entry outside the table.
void ReportBadIndex(const char* table, int index, std::size_t count);

/// Entry index of the table; outside the table logs an Error and gives an empty entry.
template <typename T>
const T& CheckedAt(const std::vector<T>& table, int index, const char* name)
{
	if (index >= 0 && static_cast<std::size_t>(index) < table.size())
		return table[index];
	ReportBadIndex(name, index, table.size());
	static const T empty{};
	return empty;
}

/// Entry index of the table for writing; outside the table logs an Error and gives null.
template <typename T>
T* CheckedSlot(std::vector<T>& table, int index, const char* name)
{
	if (index >= 0 && static_cast<std::size_t>(index) < table.size())
		return &table[index];
	ReportBadIndex(name, index, table.size());
	return nullptr;
}

#endif
