#ifndef MORVALETH_TESTS_SAMPLEGUIWINDOW_H
#define MORVALETH_TESTS_SAMPLEGUIWINDOW_H

#include "support/GuiScreen.h"

#include <cstdint>
#include <guichan/genericinput.hpp>
#include <memory>
#include <string>

namespace gcn
{
class Widget;
}

/// A point on the screen.
struct TScreenPoint
{
	int x;
	int y;
};

/// Guichan's generic input, which also queues key presses as guichan's own events.
class TGuiInput : public gcn::GenericInput
{
public:
	/// Queues a press and a release of the key.
	void PushKey(int key);
};

/// An 800 x 600 screen of the game's GUI on a grey top container with the sample's database, pictures and a
/// new game of its first chapter in the game master, and input fed to guichan as its own events.
class TSampleGuiWindow
{
public:
	TSampleGuiWindow();
	~TSampleGuiWindow();

	/// Opens the screen with the settings of the INI text and loads the sample; fails the test when it cannot.
	void Open(const std::string& ini);
	/// Takes the GUI and the game master's sample down before the window that holds their textures.
	void Close();

	TGlWindow& Window() { return m_Screen->Window(); }
	const TGlWindow& Window() const { return m_Screen->Window(); }
	gcn::Container& Top() { return m_Screen->Top(); }
	TGuiInput& Input() { return m_Input; }

	/// Draws the GUI; with a name, keeps a screenshot among the artefacts of the test working folder.
	void DrawFrame(const char* screenshot = nullptr);
	void Screenshot(const std::string& name) const { m_Screen->Screenshot(name); }
	/// Moves the mouse there and lets guichan handle it.
	void MoveMouse(const TScreenPoint& point);
	/// Queues a click of the button there; the caller runs the frame that handles it.
	void PushClick(const TScreenPoint& point, int button);

	/// The screen position of a point of a widget, and of its middle.
	static TScreenPoint At(const gcn::Widget& widget, int x = 0, int y = 0);
	static TScreenPoint Middle(const gcn::Widget& widget);
	/// Number of pixels of the colour (0xAARRGGBB) in the rectangle (screen coordinates).
	int Count(int x0, int y0, int width, int height, std::uint32_t colour) const;

private:
	std::string m_RootDir;
	std::string m_ScenarioDir;
	std::unique_ptr<TGuiScreen> m_Screen;
	TGuiInput m_Input;
};

#endif
