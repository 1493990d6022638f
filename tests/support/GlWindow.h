#ifndef MORVALETH_TESTS_GLWINDOW_H
#define MORVALETH_TESTS_GLWINDOW_H

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace gcn
{
class OpenGLGraphics;
class OpenGLSDLImageLoader;
}

/// A real SDL window with an OpenGL context, guichan's OpenGL graphics and its
/// image loader installed, for tests that draw and read pixels back.
class TGlWindow
{
public:
	TGlWindow(int width = 800, int height = 600);
	~TGlWindow();

	/// False when no window could be opened (no display).
	bool IsOpen() const { return m_Open; }
	gcn::OpenGLGraphics& Graphics() { return *m_Graphics; }

	/// Clears to black and starts guichan drawing.
	void BeginFrame();
	/// Ends guichan drawing (the back buffer keeps the picture for reading).
	void EndFrame();

	/// Colour of a pixel of the back buffer as 0xAARRGGBB, y counted from the top.
	std::uint32_t Pixel(int x, int y) const;
	/// Writes the back buffer as a PNG under "artifacts/" of the test working folder; returns the path.
	std::string Screenshot(const std::string& name) const;

private:
	int m_Width;
	int m_Height;
	bool m_Open;
	std::unique_ptr<gcn::OpenGLSDLImageLoader> m_ImageLoader;
	std::unique_ptr<gcn::OpenGLGraphics> m_Graphics;
};

/// Average milliseconds a frame of drawing: until submitted, and until the GPU has drawn it.
struct TFrameTimes
{
	double submit = 0;
	double finished = 0;
};

/// For the benchmark programs: draws the frames on a cleared screen in white and times each drawing.
TFrameTimes TimeFrames(gcn::OpenGLGraphics& graphics, int frames, const std::function<void(int frame)>& draw);

/// For the benchmark programs: true when the window is open, after printing its renderer; otherwise says
/// on stderr why it could not open (no X display, or SDL's reason).
bool ReportBenchmarkWindow(const TGlWindow& window);

/// Skips the current test when there is no X display to open a window on.
#define SKIP_WITHOUT_DISPLAY()                                      \
	do {                                                            \
		if (!std::getenv("DISPLAY"))                                \
			GTEST_SKIP() << "needs an X display (run tools/test.sh)"; \
	} while (0)

#endif
