#include "model/RecordTable.h"

bool NoteNewId(std::set<std::string>& ids, const std::string& id, const std::string& path, const char* note)
{
	if (ids.insert(id).second)
		return true;
	g_Logger.Warning(path + " 重複したid " + id + note, path + " 重複したid" + note);
	return false;
}

void ReportBadIndex(const char* table, int index, std::size_t count)
{
	LOG_ERROR("%s: index %d outside the table of %d entries", table, index, static_cast<int>(count));
}
