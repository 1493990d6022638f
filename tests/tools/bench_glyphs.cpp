// Measures the glyph sheets: the time to make the sheets of sizes 12 and 16 from nothing, and the cost
// of drawing 2,000 Japanese characters a frame through the drawer. Needs an X display.

#include "media/CharDrawer.h"
#include "platform/GlyphRaster.h"
#include "support/GlWindow.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <GL/gl.h>
#include <guichan/color.hpp>
#include <guichan/opengl/openglgraphics.hpp>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace
{
const int ScreenWidth = 800;
const int ScreenHeight = 600;
const int CharactersPerLine = 50;
const int LinesPerFrame = 40;
const int Frames = 200;

// Forty lines of fifty double-byte characters: hiragana, katakana and kanji from the default list.
std::vector<std::string> JapaneseLines()
{
	const std::vector<int> codes = DefaultCharacterList();
	std::vector<int> japanese;
	for (int code : codes)
		if ((code >= 0x829F && code <= 0x82F1) || (code >= 0x8340 && code <= 0x8396) || (code >= 0x889F && code < 0x9000))
			japanese.push_back(code);
	std::vector<std::string> lines;
	for (int line = 0; line < LinesPerFrame; ++line) {
		std::string text;
		for (int i = 0; i < CharactersPerLine; ++i) {
			const int code = japanese[(line * 131 + i * 7) % japanese.size()];
			text += static_cast<char>(code >> 8);
			text += static_cast<char>(code & 0xFF);
		}
		lines.push_back(text);
	}
	return lines;
}

// Times RenderGlyphSheet alone and then a whole Load (list, sheet, pages) in an empty folder.
std::unique_ptr<TGcnCharDrawer> MeasureSheet(int size)
{
	const std::vector<int> codes = DefaultCharacterList();
	const int rows = int(codes.size() + 63) / 64;
	TClock::time_point start = TClock::now();
	const int result = RenderGlyphSheet(codes.data(), int(codes.size()), 64 * size, rows * size, size, "",
		"raster.png");
	std::printf("size %d: RenderGlyphSheet %.0f ms (result %d)\n", size, MillisecondsSince(start), result);

	std::unique_ptr<TGcnCharDrawer> drawer(new TGcnCharDrawer());
	start = TClock::now();
	const bool loaded = drawer->Load("sjis.txt", nullptr, size, size, "");
	std::printf("size %d: Load from nothing (generate, reload, %zu pages) %.0f ms%s%s\n", size,
		drawer->m_Textures.size(), MillisecondsSince(start), loaded ? "" : " FAILED: ", drawer->m_LastError.c_str());
	start = TClock::now();
	TGcnCharDrawer again;
	again.Load("sjis.txt", nullptr, size, size, "");
	std::printf("size %d: Load of the cached sheet %.0f ms\n", size, MillisecondsSince(start));
	return loaded ? std::move(drawer) : nullptr;
}

// Average milliseconds a frame for drawing every line, without and with waiting for the GPU.
void MeasureDrawing(TGcnCharDrawer& drawer, gcn::OpenGLGraphics& graphics)
{
	const std::vector<std::string> lines = JapaneseLines();
	const TFrameTimes times = TimeFrames(graphics, Frames, [&](int) {
		for (int i = 0; i < LinesPerFrame; ++i)
			drawer.DrawString(&graphics, 0, (i * 15) % ScreenHeight, lines[i].c_str(), gcn::Color(255, 255, 200));
	});
	std::printf("size %d: %d characters a frame: %.3f ms to submit, %.3f ms until drawn (average of %d frames)\n",
		drawer.m_GlyphHeight, CharactersPerLine * LinesPerFrame, times.submit, times.finished, Frames);
}
}

int main()
{
	// Sheets are made in a scratch working folder, from nothing.
	TTempDir folder;
	TScopedCwd cwd(folder.Path());
	TGlWindow window(ScreenWidth, ScreenHeight);
	if (!ReportBenchmarkWindow(window))
		return 1;

	int status = 0;
	for (int size : {12, 16}) {
		std::unique_ptr<TGcnCharDrawer> drawer = MeasureSheet(size);
		if (!drawer) {
			status = 1;
			continue;
		}
		MeasureDrawing(*drawer, window.Graphics());
	}
	return status;
}
