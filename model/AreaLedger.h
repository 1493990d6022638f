#ifndef MORVALETH_MODEL_AREALEDGER_H
#define MORVALETH_MODEL_AREALEDGER_H

#include "model/GameRecords.h"

#include <functional>
#include <vector>

/// What an area adds to its owner's income and to its upkeep of heroes.
struct TAreaEarnings
{
	long long income = 0;
	long long upkeep = 0;
};

/// Keeps track of which areas changed, so that the rules redo only what a change can move: each
/// master's income and upkeep are the sums of what its areas earn, and an area's share is taken out
/// and put in again only when the area changed; each master's areas are known without a walk over the
/// map, and the characters' acted marks are cleared only where a character may have acted. The game
/// touches an area on every change of its owner, its levels or its characters; an area handed out for
/// writing counts as touched.
class TAreaLedger
{
public:
	/// What an area earns now, by area index.
	typedef std::function<TAreaEarnings(int)> TEarningsOf;

	/// Forgets everything: the next update starts from scratch (new areas, a loaded game).
	void Reset()
	{
		m_Valid = false;
		m_AllTouched = true;
	}
	/// The area changed; an index outside the map is ignored.
	void Touch(int area);

	/// Takes in the owners and the earnings of the areas touched since the last update (of every area
	/// after a reset or when the number of areas or masters changed). An owner outside the masters counts
	/// as none.
	void Update(const std::vector<TAreaInstance>& areas, int masters, const TEarningsOf& earnings);
	/// The masters whose areas changed since the last call (every master after a rebuild), each once,
	/// taken out.
	std::vector<int> TakeMovedMasters();
	/// The master's areas in index order, as of the last update.
	const std::vector<int>& OwnedAreas(int master) const { return m_Owned[master]; }
	/// What the master's areas earn in all, as of the last update.
	const TAreaEarnings& MasterEarnings(int master) const { return m_MasterEarnings[master]; }
	/// The areas touched since the last call (every area after a reset), taken out, in no set order.
	std::vector<int> TakeTouched(int areas);

private:
	void Rebuild(const std::vector<TAreaInstance>& areas, int masters, const TEarningsOf& earnings);
	/// Files the area and what it earns under its owner, taking it out from under the one it had; both
	/// owners have moved.
	void Refile(int area, int owner, const TEarningsOf& earnings);
	/// Adds (sign 1) or takes out (sign -1) what an area earns to or from the master's sums; the master has moved.
	void Book(int master, const TAreaEarnings& earnings, int sign);
	void MarkMoved(int master);

	bool m_Valid = false;
	/// Every area's owner at the last update; -1 for none.
	std::vector<int> m_Owner;
	/// What every area earned for its owner at the last update; nothing for a neutral one.
	std::vector<TAreaEarnings> m_Earnings;
	std::vector<std::vector<int>> m_Owned;
	std::vector<TAreaEarnings> m_MasterEarnings;
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
