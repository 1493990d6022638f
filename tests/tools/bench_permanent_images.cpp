// Measures how long a new game takes to load every permanent picture of the sample scenario into a fresh
// image store (command images, status chips, field map, chips and faces, sheets, power map, flags, effects).
// Needs an X display. The data folder is the source tree's "data", or the first argument.

#include "app/GameMaster.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GlWindow.h"
#include "support/RunTimes.h"

#include <GL/gl.h>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>

#include <cstdio>
#include <string>

namespace
{
const int Runs = 20;

// Milliseconds of each run: a fresh store and a fresh copy of the database, loaded until the textures exist.
bool Measure(const std::string& root, const TMorvalethData& sample, TRunTimes& times)
{
	TDremoGameMaster master;
	master.m_RootDir = root;
	const bool loaded = TimeRuns(Runs, [&] {
		boost::shared_ptr<TMorvalethImage> image = boost::make_shared<TMorvalethImage>();
		const bool done = master.LoadPermanentImage(boost::make_shared<TMorvalethData>(sample), image,
			boost::make_shared<TMorvalethGame>(), root + "/Scenario/Default");
		glFinish();
		return done;
	}, times);
	if (!loaded)
		std::fprintf(stderr, "the sample's pictures did not load\n");
	return loaded;
}
}

int main(int argc, char** argv)
{
	const std::string root = argc > 1 ? argv[1] : boost::filesystem::path(__FILE__).parent_path().parent_path()
		.parent_path().string() + "/data";
	TGlWindow window(800, 600);
	if (!ReportBenchmarkWindow(window))
		return 1;
	TMorvalethData sample;
	TRunTimes times;
	if (!sample.Load(root + "/Scenario/Default", 0) || !Measure(root, sample, times))
		return 1;
	std::printf("permanent images of the sample: %.1f ms on average, %.1f ms at best (%d runs)\n", times.mean,
		times.best, Runs);
	return 0;
}
