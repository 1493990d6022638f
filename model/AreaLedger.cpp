#include "model/AreaLedger.h"

#include <algorithm>

namespace
{
void Mark(std::vector<char>& flags, std::vector<int>& list, int index)
{
	if (flags[index])
		return;
	flags[index] = 1;
	list.push_back(index);
}
}

void TAreaLedger::Touch(int area)
{
	if (area < 0 || area >= static_cast<int>(m_IsChanged.size()))
		return;
	Mark(m_IsChanged, m_Changed, area);
	if (!m_AllTouched)
		Mark(m_IsTouched, m_Touched, area);
}

void TAreaLedger::Update(const std::vector<TAreaInstance>& areas, int masters, const TEarningsOf& earnings)
{
	if (!m_Valid || m_Owner.size() != areas.size() || static_cast<int>(m_Owned.size()) != masters) {
		Rebuild(areas, masters, earnings);
		return;
	}
	for (int area : m_Changed) {
		m_IsChanged[area] = 0;
		Refile(area, areas[area].Owner, earnings);
	}
	m_Changed.clear();
}

std::vector<int> TAreaLedger::TakeMovedMasters()
{
	std::vector<int> moved;
	moved.swap(m_Moved);
	for (int master : moved)
		m_IsMoved[master] = 0;
	return moved;
}

std::vector<int> TAreaLedger::TakeTouched(int areas)
{
	std::vector<int> touched;
	if (m_AllTouched || static_cast<int>(m_IsTouched.size()) != areas) {
		for (int area = 0; area < areas; ++area)
			touched.push_back(area);
		m_AllTouched = false;
		m_IsTouched.assign(areas, 0);
		m_Touched.clear();
		return touched;
	}
	touched.swap(m_Touched);
	for (int area : touched)
		m_IsTouched[area] = 0;
	return touched;
}

void TAreaLedger::Rebuild(const std::vector<TAreaInstance>& areas, int masters, const TEarningsOf& earnings)
{
	m_Valid = true;
	m_Owner.assign(areas.size(), -1);
	m_Earnings.assign(areas.size(), TAreaEarnings());
	m_Owned.assign(masters, std::vector<int>());
	m_MasterEarnings.assign(masters, TAreaEarnings());
	m_Changed.clear();
	m_IsChanged.assign(areas.size(), 0);
	m_Moved.clear();
	m_IsMoved.assign(masters, 0);
	m_AllTouched = true;
	for (int master = 0; master < masters; ++master)
		MarkMoved(master);
	for (std::size_t area = 0; area < areas.size(); ++area)
		Refile(static_cast<int>(area), areas[area].Owner, earnings);
}

void TAreaLedger::Refile(int area, int owner, const TEarningsOf& earnings)
{
	const int count = static_cast<int>(m_Owned.size());
	const int old = m_Owner[area];
	const int now = owner >= 0 && owner < count ? owner : -1;
	if (old >= 0) {
		Book(old, m_Earnings[area], -1);
		if (now != old)
			m_Owned[old].erase(std::lower_bound(m_Owned[old].begin(), m_Owned[old].end(), area));
	}
	m_Earnings[area] = now >= 0 ? earnings(area) : TAreaEarnings();
	if (now >= 0) {
		Book(now, m_Earnings[area], 1);
		if (now != old)
			m_Owned[now].insert(std::lower_bound(m_Owned[now].begin(), m_Owned[now].end(), area), area);
	}
	m_Owner[area] = now;
}

void TAreaLedger::Book(int master, const TAreaEarnings& earnings, int sign)
{
	m_MasterEarnings[master].income += sign * earnings.income;
	m_MasterEarnings[master].upkeep += sign * earnings.upkeep;
	MarkMoved(master);
}

void TAreaLedger::MarkMoved(int master)
{
	Mark(m_IsMoved, m_Moved, master);
}
