#ifndef MORVALETH_SCRIPT_WORLDMAPINTERFACE_H
#define MORVALETH_SCRIPT_WORLDMAPINTERFACE_H

#include <utility>
#include <vector>

/// What the world-map engine functions hand to the world-map controller. The
/// controller lives in a higher layer and implements this; scripts reach it
/// through g_ScriptWorldMap.
class TWorldMapInterface
{
public:
	/// The controller that implements this is destroyed as itself; nothing to release here.
	virtual ~TWorldMapInterface() {}

	/// Centres the world map on the area (area index, in range).
	virtual void FocusArea(int area) = 0;
	/// Ends the current master's turn; the controller leaves the master on a later frame.
	virtual void EndTurn() = 0;
	/// Starts the march of the listed (source area, position) pairs against the target area;
	/// the controller resumes the calling script once the battle or occupation is applied.
	virtual void Departure(int target, const std::vector<std::pair<int, int>>& departures) = 0;
	/// Offers an alliance from the current master to the partner instance; false when the
	/// offer needs frames (a dialog or message) or asking the partner failed, true when settled at once.
	virtual bool ProposeAlliance(int partner, int turns, int price) = 0;
};

#endif
