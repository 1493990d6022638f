// Measures the image store: drawing a whole 800 x 600 field map and 100 animated flags a frame, and
// one refresh of a power map (reset, fills, new image). Needs an X display.

#include "media/MorvalethImage.h"
#include "platform/PngFile.h"
#include "support/GlWindow.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <GL/gl.h>
#include <guichan/color.hpp>
#include <guichan/image.hpp>
#include <guichan/opengl/openglgraphics.hpp>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
const int ScreenWidth = 800;
const int ScreenHeight = 600;
const int Flags = 100;
const int Frames = 300;
const int PowerMapRefreshes = 20;
// Power-map regions are squares of this side, parted by one-pixel border lines.
const int RegionSide = 50;

// Writes an RGB picture: a colourful field, or a grid of regions on a border colour.
void WritePictures()
{
	std::vector<std::uint8_t> field;
	std::vector<std::uint8_t> power;
	for (int y = 0; y < ScreenHeight; ++y)
		for (int x = 0; x < ScreenWidth; ++x) {
			const std::uint8_t rgb[3] = {std::uint8_t(x), std::uint8_t(y), std::uint8_t(x ^ y)};
			field.insert(field.end(), rgb, rgb + 3);
			const bool border = x % RegionSide == 0 || y % RegionSide == 0;
			const std::uint8_t land[3] = {0x80, 0x80, 0x80};
			const std::uint8_t line[3] = {0, 0, 0xFF};
			power.insert(power.end(), border ? line : land, (border ? line : land) + 3);
		}
	std::vector<std::uint8_t> flag;
	for (int y = 0; y < 40; ++y)
		for (int x = 0; x < 96; ++x) {
			const std::uint8_t rgb[3] = {std::uint8_t(80 * (x / 32)), 0xC0, std::uint8_t(4 * y)};
			flag.insert(flag.end(), rgb, rgb + 3);
		}
	WritePng("field.png", ScreenWidth, ScreenHeight, 3, field.data());
	WritePng("power.png", ScreenWidth, ScreenHeight, 3, power.data());
	WritePng("flag.png", 96, 40, 3, flag.data());
}

// Average milliseconds a frame for the field map and the flags, without and with waiting for the GPU.
void MeasureFieldMapAndFlags(TMorvalethImage& store, gcn::OpenGLGraphics& graphics)
{
	const TFrameTimes times = TimeFrames(graphics, Frames, [&](int frame) {
		const int perRow = store.m_FieldMapTilesPerRow;
		for (std::size_t i = 0; i < store.m_FieldMapTiles.size(); ++i) {
			gcn::Image* tile = store.m_FieldMapTiles[i];
			graphics.drawImage(tile, int(i % perRow) * tile->getWidth(), int(i / perRow) * tile->getHeight());
		}
		for (int i = 0; i < Flags; ++i)
			store.DrawFlag(&graphics, (i * 73) % (ScreenWidth - 32), (i * 151) % (ScreenHeight - 40), 0, frame / 8 + i);
	});
	std::printf("field map (%zu tile(s)) + %d flags: %.3f ms to submit, %.3f ms until drawn (average of %d frames)\n",
		store.m_FieldMapTiles.size(), Flags, times.submit, times.finished, Frames);
}

// Average milliseconds of one power-map refresh: every region painted from one seed, then the image built.
void MeasurePowerMap(TMorvalethImage& store)
{
	std::vector<point_t> seeds;
	for (int y = RegionSide / 2; y < ScreenHeight; y += RegionSide)
		for (int x = RegionSide / 2; x < ScreenWidth; x += RegionSide) {
			point_t seed;
			seed.x = x;
			seed.y = y;
			seeds.push_back(seed);
		}
	double total = 0;
	for (int refresh = 0; refresh < PowerMapRefreshes; ++refresh) {
		const TClock::time_point start = TClock::now();
		store.InitPowerMap();
		for (std::size_t i = 0; i < seeds.size(); ++i)
			store.PaintPowerMap(0xFF000000u | TPackedColor(i * 2654435761u >> 8), std::vector<point_t>(1, seeds[i]));
		store.GetPowerMap();
		glFinish();
		total += MillisecondsSince(start);
	}
	std::printf("power map %d x %d, %zu regions: %.3f ms a refresh (average of %d)\n", ScreenWidth, ScreenHeight,
		seeds.size(), total / PowerMapRefreshes, PowerMapRefreshes);
}
}

int main()
{
	// The pictures are written into a scratch working folder.
	TTempDir folder;
	TScopedCwd cwd(folder.Path());
	TGlWindow window(ScreenWidth, ScreenHeight);
	if (!ReportBenchmarkWindow(window))
		return 1;

	int status = 0;
	gcn::OpenGLGraphics& graphics = window.Graphics();
	WritePictures();
	TMorvalethImage store;
	if (!store.LoadFieldMapImage("field.png") || store.LoadFlagImage(".", "flag.png") < 0
		|| !store.LoadPowerMap("power.png")) {
		std::fprintf(stderr, "the pictures did not load\n");
		status = 1;
	} else {
		MeasureFieldMapAndFlags(store, graphics);
		MeasurePowerMap(store);
	}
	return status;
}
