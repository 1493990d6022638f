// Measures how long a new game takes to load every permanent picture of the sample scenario into a fresh
// image store (command images, status chips, field map, chips and faces, sheets, power map, flags, effects).
// Needs an X display. The data folder is the source tree's "data", or the first argument.

#include "app/GameMaster.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/RunTimes.h"

#include <SDL/SDL.h>
#include <GL/gl.h>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <guichan/opengl/openglsdlimageloader.hpp>

#include <cstdio>
#include <cstdlib>
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
	if (!std::getenv("DISPLAY")) {
		std::fprintf(stderr, "needs an X display (for example Xvfb with DISPLAY set)\n");
		return 1;
	}
	if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(800, 600, 32, SDL_OPENGL)) {
		std::fprintf(stderr, "no OpenGL window: %s\n", SDL_GetError());
		return 1;
	}
	std::printf("renderer %s\n", glGetString(GL_RENDERER));
	int status = 1;
	{
		gcn::OpenGLSDLImageLoader loader;
		gcn::Image::setImageLoader(&loader);
		TMorvalethData sample;
		TRunTimes times;
		if (sample.Load(root + "/Scenario/Default", 0) && Measure(root, sample, times)) {
			std::printf("permanent images of the sample: %.1f ms on average, %.1f ms at best (%d runs)\n", times.mean,
				times.best, Runs);
			status = 0;
		}
		gcn::Image::setImageLoader(nullptr);
	}
	SDL_Quit();
	return status;
}
