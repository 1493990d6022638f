#ifndef MORVALETH_BATTLE_EFFECTPLAY_H
#define MORVALETH_BATTLE_EFFECTPLAY_H

#include <vector>

/// When the cells of one use of a special strike and when the use ends, in frames from its start.
struct TEffectSchedule
{
	/// Frame at which each cell strikes, in the order of the cells; never below 0.
	std::vector<int> strikes;
	/// The use ends at this frame, after the strikes that fall on it; never before the last strike.
	int end = 0;
};

/// Schedules one use on cells cells for the animation type (TAnimationType; None strikes every cell at
/// frame 0 and ends there), an image of frameCount frames each shown for unit frames, the special's
/// radius (Stream) and, for Shot, each cell's distance in pixels from the caster, crossed at 32 / shotDivisor
/// pixels per unit.
TEffectSchedule ScheduleEffect(int animationType, int cells, int frameCount, int unit, int shotDivisor,
	int maxRadius, const std::vector<int>& distances);

/// Pixels a missile crosses per frame unit at the shot divisor (at least 1).
int ShotSpeed(int shotDivisor);

#endif
