#ifndef MORVALETH_MODEL_AREALEDGER_H
#define MORVALETH_MODEL_AREALEDGER_H

#include "model/GameRecords.h"

#include <vector>

/// Keeps track of which areas changed, so that the rules' turn cycle redoes only what a change can move:
/// incomes and upkeep are drawn up again only for the masters whose areas changed, each master's areas
/// are known without a walk over the map, and the characters' acted marks are cleared only where a
/// character may have acted. The game touches an area on every change of its owner, its levels or its
/// characters; an area handed out for writing counts as touched.
class TAreaLedger
{
public:
	/// Forgets everything: the next update starts from scratch (new areas, a loaded game).
	void Reset()
	{
		m_Valid = false;
		m_AllTouched = true;
	}
	/// The area changed; an index outside the map is ignored.
	void Touch(int area);

	/// Takes in the owners of the areas touched since the last update (of every area after a reset or
	/// when the number of areas or masters changed). An owner outside the masters counts as none.
	void Update(const std::vector<TAreaInstance>& areas, int masters);
	/// The masters whose areas changed since the last call (every master after a rebuild), each once,
	/// taken out.
	std::vector<int> TakeMovedMasters();
	/// The master's areas in index order, as of the last update.
	const std::vector<int>& OwnedAreas(int master) const { return m_Owned[master]; }
	/// The areas touched since the last call (every area after a reset), taken out, in no set order.
	std::vector<int> TakeTouched(int areas);

private:
	void Rebuild(const std::vector<TAreaInstance>& areas, int masters);
	/// Files the area under its new owner; both owners have moved.
	void Refile(int area, int owner);
	void MarkMoved(int master);

	bool m_Valid = false;
	/// Every area's owner at the last update; -1 for none.
	std::vector<int> m_Owner;
	std::vector<std::vector<int>> m_Owned;
	/// Masters whose areas changed since the last TakeMovedMasters, with a flag per master.
	std::vector<int> m_Moved;
	std::vector<char> m_IsMoved;
	/// Areas touched since the last update, with a flag per area.
	std::vector<int> m_Changed;
	std::vector<char> m_IsChanged;
	/// Areas touched since the last TakeTouched; all of them after a reset.
	std::vector<int> m_Touched;
	std::vector<char> m_IsTouched;
	bool m_AllTouched = true;
};

#endif
