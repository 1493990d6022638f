#ifndef MORVALETH_TESTS_GUISCREEN_H
#define MORVALETH_TESTS_GUISCREEN_H

#include "support/GlWindow.h"
#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <cstdint>
#include <memory>
#include <string>
#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>

namespace gcn
{
class Container;
class Widget;
}

/// A real window running the game's GUI as start-up builds it: the settings of an INI text, the 16-pixel
/// font, the skin, a top container in the top colour and SDL input, so that a test injects the player's
/// input as SDL events and reads the drawn pixels. It works in a scratch folder holding the skin and the
/// character list; glyph sheets are kept between tests in the test working folder.
class TGuiScreen
{
public:
	TGuiScreen(int width, int height, const std::string& ini = std::string());
	~TGuiScreen();

	/// False when no window could be opened.
	bool IsOpen() const { return m_Open; }
	int Width() const { return m_Width; }
	int Height() const { return m_Height; }
	/// The GUI's top container.
	gcn::Container& Top() { return *m_Top; }
	TGlWindow& Window() { return *m_Window; }
	const TGlWindow& Window() const { return *m_Window; }

	/// One frame as the main loop runs it, without pacing: queued input and logic, then drawing.
	void Frame();
	/// Moves the mouse there, then runs a frame.
	void MoveMouse(int x, int y);
	/// Moves the mouse there and clicks with the button, then runs a frame.
	void Click(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
	/// Clicks with the button where the mouse already stands, with no move before, then runs a frame.
	void ClickInPlace(int x, int y, Uint8 button = SDL_BUTTON_LEFT);
	/// Clicks the middle of the widget (which must be shown), then runs a frame.
	void ClickOn(const gcn::Widget& widget);
	/// Presses and releases a key, handing it to the game master's key queue as the main loop does.
	void PressKey(SDLKey key);

	/// The colour of a drawn pixel, y counted from the top.
	gcn::Color Pixel(int x, int y) const;
	/// Pixels of the area whose colour passes the test.
	int CountPixels(const gcn::Rectangle& area, bool (*test)(const gcn::Color&)) const;
	/// Keeps a screenshot among the artefacts of the test working folder.
	void Screenshot(const std::string& name) const;

	/// Where a widget lies on the screen.
	static gcn::Rectangle ScreenArea(const gcn::Widget& widget);

private:
	void PrepareFolder();
	void StartGui(const std::string& ini);
	void Push(const SDL_Event& event);
	void PushMotion(int x, int y);

	int m_Width;
	int m_Height;
	bool m_Open;
	std::string m_TestFolder;
	TTempDir m_Dir;
	std::unique_ptr<TScopedCwd> m_Cwd;
	std::unique_ptr<TGlWindow> m_Window;
	std::unique_ptr<gcn::Container> m_Top;
};

/// Whether two colours differ by at most the tolerance in each of red, green and blue.
bool NearColor(const gcn::Color& a, const gcn::Color& b, int tolerance = 2);

#endif
