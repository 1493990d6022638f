#ifndef MORVALETH_TESTS_RUNTIMES_H
#define MORVALETH_TESTS_RUNTIMES_H

// Timing helpers of the benchmark programs.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>

typedef std::chrono::steady_clock TClock;

/// Milliseconds since a point of the steady clock.
inline double MillisecondsSince(TClock::time_point start)
{
	return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

/// Best and mean milliseconds of repeated runs of a step.
struct TRunTimes
{
	double best = 0;
	double mean = 0;
};

/// Times runs of a step; false as soon as a run fails.
inline bool TimeRuns(int runs, const std::function<bool()>& step, TRunTimes& times)
{
	double best = 1e300;
	double total = 0;
	for (int run = 0; run < runs; ++run) {
		const TClock::time_point start = TClock::now();
		if (!step())
			return false;
		const double ms = MillisecondsSince(start);
		best = std::min(best, ms);
		total += ms;
	}
	times.best = best;
	times.mean = runs > 0 ? total / runs : 0;
	return true;
}

/// Prints the times of a step against the goal for its mean.
inline void PrintRunTimes(const char* label, const TRunTimes& times, int runs, double goalMs)
{
	std::printf("%-30s best %8.3f ms  mean %8.3f ms  over %d runs  (goal %.0f ms: %s)\n", label, times.best,
		times.mean, runs, goalMs, times.mean < goalMs ? "met" : "missed");
}

#endif
