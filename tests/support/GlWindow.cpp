#include "support/GlWindow.h"

#include "gui/GcnGraphics.h"
#include "platform/PngFile.h"
#include "support/RunTimes.h"

#include <SDL/SDL.h>
#include <GL/gl.h>
#include <guichan/opengl.hpp>
#include <guichan/opengl/openglsdlimageloader.hpp>
#include <boost/filesystem.hpp>
#include <cstdio>
#include <cstdlib>
#include <vector>

TGlWindow::TGlWindow(int width, int height)
	: m_Width(width), m_Height(height), m_Open(false)
{
	if (SDL_Init(SDL_INIT_VIDEO) != 0)
		return;
	SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	if (!SDL_SetVideoMode(width, height, 32, SDL_OPENGL))
		return;
	m_ImageLoader.reset(new gcn::OpenGLSDLImageLoader());
	gcn::Image::setImageLoader(m_ImageLoader.get());
	m_Graphics.reset(new TGcnGraphics());
	m_Graphics->setTargetPlane(width, height);
	m_Open = true;
}

TGlWindow::~TGlWindow()
{
	gcn::Image::setImageLoader(nullptr);
	m_Graphics.reset();
	m_ImageLoader.reset();
	SDL_Quit();
}

void TGlWindow::BeginFrame()
{
	glClearColor(0, 0, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	m_Graphics->_beginDraw();
}

void TGlWindow::EndFrame()
{
	m_Graphics->_endDraw();
	glFinish();
}

std::uint32_t TGlWindow::Pixel(int x, int y) const
{
	std::uint8_t rgba[4] = {0, 0, 0, 0};
	glReadBuffer(GL_BACK);
	glReadPixels(x, m_Height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
	return (std::uint32_t(rgba[3]) << 24) | (rgba[0] << 16) | (rgba[1] << 8) | rgba[2];
}

std::string TGlWindow::Screenshot(const std::string& name) const
{
	std::vector<std::uint8_t> pixels(std::size_t(m_Width) * m_Height * 3);
	glReadBuffer(GL_BACK);
	glPixelStorei(GL_PACK_ALIGNMENT, 1);
	glReadPixels(0, 0, m_Width, m_Height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
	// GL rows run bottom-up; PNG rows top-down.
	std::vector<std::uint8_t> flipped(pixels.size());
	const std::size_t row = std::size_t(m_Width) * 3;
	for (int y = 0; y < m_Height; ++y)
		std::copy_n(&pixels[(m_Height - 1 - y) * row], row, &flipped[y * row]);
	boost::filesystem::create_directories("artifacts");
	const std::string path = "artifacts/" + name + ".png";
	WritePng(path, m_Width, m_Height, 3, flipped.data());
	return path;
}

bool ReportBenchmarkWindow(const TGlWindow& window)
{
	if (!std::getenv("DISPLAY")) {
		std::fprintf(stderr, "needs an X display (for example Xvfb with DISPLAY set)\n");
		return false;
	}
	if (!window.IsOpen()) {
		std::fprintf(stderr, "no OpenGL window: %s\n", SDL_GetError());
		return false;
	}
	GLint maxTexture = 0;
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
	std::printf("renderer %s, GL_MAX_TEXTURE_SIZE %d\n", glGetString(GL_RENDERER), maxTexture);
	return true;
}

TFrameTimes TimeFrames(gcn::OpenGLGraphics& graphics, int frames, const std::function<void(int frame)>& draw)
{
	TFrameTimes times;
	for (int frame = 0; frame < frames; ++frame) {
		glClear(GL_COLOR_BUFFER_BIT);
		graphics._beginDraw();
		graphics.setColor(gcn::Color(255, 255, 255));
		glFinish();
		const TClock::time_point start = TClock::now();
		draw(frame);
		times.submit += MillisecondsSince(start);
		glFinish();
		times.finished += MillisecondsSince(start);
		graphics._endDraw();
		SDL_GL_SwapBuffers();
	}
	if (frames > 0) {
		times.submit /= frames;
		times.finished /= frames;
	}
	return times;
}
