#include "battle/MagicRules.h"

#include "model/MorvalethData.h"

namespace
{
const char* const MAGIC_SUFFIX = "魔法";

/// Magic rank of the character in the group; 0 where its list stops short.
int MagicRank(const TCharaData& data, int group)
{
	return group >= 0 && group < static_cast<int>(data.MagicRanks.size()) ? data.MagicRanks[group] : 0;
}

int SpecialCost(const TMorvalethData& data, int special)
{
	return data.GetSpecialData(special).ConsumeMP;
}

/// Calls visit(group, entry) for every magic entry, groups in database order, then their magic, then the
/// entries, until it returns true; true when it did.
template <typename Visit>
bool FindEntry(const TMorvalethData& data, Visit visit)
{
	for (int g = 0; g < data.GetMagicGroupCount(); ++g)
		for (int magic : data.GetMagicGroupData(g).Magic)
			for (const TMagicEntry& entry : data.GetMagicData(magic).Entries)
				if (visit(g, entry))
					return true;
	return false;
}
}

bool CanUseMagic(const TMorvalethData& data, const TCharaInstance& chara)
{
	const TCharaData& chData = data.GetCharaData(chara.CharaIndex);
	return FindEntry(data, [&](int group, const TMagicEntry& entry) {
		return entry.Rank <= MagicRank(chData, group) && SpecialCost(data, entry.SpecialIndex) <= chara.MP;
	});
}

bool CanCastSpecial(const TMorvalethData& data, const TCharaInstance& chara, int special)
{
	const TCharaData& chData = data.GetCharaData(chara.CharaIndex);
	bool castable = false;
	FindEntry(data, [&](int group, const TMagicEntry& entry) {
		if (entry.SpecialIndex != special)
			return false;
		castable = entry.Rank <= MagicRank(chData, group) && SpecialCost(data, special) <= chara.MP;
		return true;
	});
	return castable;
}

std::vector<TMagicRow> BuildMagicRows(const TMorvalethData& data, int charaData, int mp, int group,
	const std::vector<int>& useCounts)
{
	std::vector<TMagicRow> rows;
	const int rank = MagicRank(data.GetCharaData(charaData), group);
	for (int magic : data.GetMagicGroupData(group).Magic) {
		const TMagicData& magicData = data.GetMagicData(magic);
		const int uses = magic < static_cast<int>(useCounts.size()) ? useCounts[magic] : 0;
		const bool spent = magicData.Limit != 0 && uses >= magicData.Limit;
		TMagicRow row;
		row.magic = magic;
		bool listed = false;
		for (int k = 0; k < MAGIC_ENTRY_MAX && k < static_cast<int>(magicData.Entries.size()); ++k) {
			const TMagicEntry& entry = magicData.Entries[k];
			if (entry.Rank > rank)
				continue;
			row.cells[k].special = entry.SpecialIndex;
			row.cells[k].enabled = SpecialCost(data, entry.SpecialIndex) <= mp && !spent;
			listed = true;
		}
		if (listed)
			rows.push_back(row);
	}
	return rows;
}

TMagicHit MagicHitTest(const std::vector<TMagicRow>& rows, int x, int y)
{
	TMagicHit hit;
	if (x < MAGIC_CELL_LEFT || y < MAGIC_CELL_TOP)
		return hit;
	const int column = (x - MAGIC_CELL_LEFT) / MAGIC_CELL_SIZE;
	const int row = (y - MAGIC_CELL_TOP) / MAGIC_ROW_HEIGHT;
	if (column >= MAGIC_ENTRY_MAX || row >= static_cast<int>(rows.size())
		|| (y - MAGIC_CELL_TOP) % MAGIC_ROW_HEIGHT > MAGIC_CELL_SIZE)
		return hit;
	hit.row = row;
	hit.column = column;
	hit.special = rows[row].cells[column].special;
	hit.enabled = rows[row].cells[column].enabled;
	hit.magic = rows[row].magic;
	return hit;
}

std::string MagicGroupTitle(const std::string& groupName)
{
	const std::string suffix = MAGIC_SUFFIX;
	const bool named = groupName.size() >= suffix.size()
		&& groupName.compare(groupName.size() - suffix.size(), suffix.size(), suffix) == 0;
	return named ? groupName : groupName + suffix;
}
