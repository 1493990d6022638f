#include "model/RecordTable.h"

void ReportBadIndex(const char* table, int index, std::size_t count)
{
	LOG_ERROR("%s: index %d outside the table of %d entries", table, index, static_cast<int>(count));
}
