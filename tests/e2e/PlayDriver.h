#ifndef MORVALETH_TESTS_E2E_PLAYDRIVER_H
#define MORVALETH_TESTS_E2E_PLAYDRIVER_H

// Plays the real game program as a person does: it starts the binary in a copy of
// the data folder, moves the mouse, clicks and presses keys through xdotool, and
// sees only what the X server shows of the game's window and the files the game
// writes. Every wait is on what is on screen or in a file; a generous safety limit
// only turns a game that never gets there into a failed test with a screenshot.
// A wait that follows an action looks for what only the screen it awaits shows:
// the driver takes a shot just before each such action and refuses a check that
// already holds on it, since that check could not tell the two screens apart, however
// slowly a loaded machine draws the second.

#include "support/ChildProcess.h"
#include "support/XWindow.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

/// An RGB colour as 0xRRGGBB.
typedef std::uint32_t TColour;

/// A rectangle of the game window, in its own pixels.
struct TRect
{
	int X, Y, W, H;
};

/// One screenshot of the game's window: 8-bit RGB, top row first.
struct TShot
{
	int Width = 0;
	int Height = 0;
	std::vector<std::uint8_t> Rgb;

	bool Empty() const { return Rgb.empty(); }
	/// The colour at a pixel; 0 outside the shot.
	TColour Pixel(int x, int y) const;
	/// Share (0 to 1) of the rectangle's pixels within the tolerance of the colour, per channel.
	double ShareOf(const TRect& rect, TColour colour, int tolerance = 12) const;
	/// Share (0 to 1) of the rectangle's pixels that differ from the same pixels of another shot.
	double ChangedShare(const TShot& other, const TRect& rect) const;
	/// Number of different colours in the rectangle (up to the limit): text and pictures have many.
	int Colours(const TRect& rect, int limit = 64) const;
};

/// What a wait looks for in a shot of the window.
typedef std::function<bool(const TShot&)> TCheck;

/// A fresh copy of the repository's data folder as the working folder of one played game,
/// under the tests' working folder at "e2e/<name>".
class TPlayFolder
{
public:
	explicit TPlayFolder(const std::string& name);
	const std::string& Path() const { return m_Path; }
	/// The path of a file of the folder.
	std::string operator/(const std::string& name) const { return m_Path + "/" + name; }
	/// The whole file, or "" when it does not exist.
	std::string Read(const std::string& name) const;
	void Write(const std::string& name, const std::string& text) const;

private:
	std::string m_Path;
};

/// The game program running in a play folder, driven through the X server.
class TPlayer
{
public:
	/// Screenshots go to "artifacts/e2e/<run>/" of the tests' working folder.
	TPlayer(const TPlayFolder& folder, const std::string& run);
	/// Ends the program, whatever the test did, if it still runs.
	~TPlayer();

	/// Starts the program and waits for its window to be shown; false when it never is.
	bool Start();
	/// Starts it, from then on, as a user who may not write into the play folder: "nobody" when the tests run as
	/// root, who writes anywhere; others are held off by the folder's permissions.
	void StartWithoutWriteAccess() { m_WithoutWriteAccess = true; }
	bool Running();
	/// The window's size, known once started.
	int Width() const { return m_Place.Width; }
	int Height() const { return m_Place.Height; }
	/// Seconds from the start of the program to now.
	double SecondsSinceStart() const;

	/// Mouse and keys, in the window's own pixels; each returns once xdotool has sent the events.
	void MoveTo(int x, int y);
	void Click(int x, int y, int button = 1);
	void DoubleClick(int x, int y);
	/// A key by its X name ("Return", "Escape", "F1"...).
	void Key(const std::string& key);

	/// The window as it is now; empty when it cannot be read.
	TShot Shot();
	/// Keeps the current window as "<nn>_<name>.png" among the run's screenshots.
	void Keep(const std::string& name);
	/// Waits until the window shows what the check looks for, and keeps that screenshot under the
	/// name; false (with a "FAILED_" screenshot kept) when the program ends or the safety limit passes.
	/// For a screen that comes by itself; one that an action brings is awaited with Act.
	bool WaitFor(const std::string& name, const TCheck& seen);
	/// Takes a shot, does the action (mouse or keys) and waits as WaitFor does. The check must not
	/// hold on the shot taken before the action: when it does, it cannot tell the screen awaited from
	/// the one before, and the wait fails at once, keeping that shot as "SAME_<name>".
	bool Act(const std::string& name, const std::function<void()>& action, const TCheck& seen);
	/// Act for a screen told by a change: the rectangle differs from the shot before the action in at
	/// least the share of its pixels, and the check, when there is one, holds too.
	bool ActUntilChanged(const std::string& name, const std::function<void()>& action, const TRect& rect,
		double share, const TCheck& seen = TCheck());
	/// The shot taken just before the last action done through Act.
	const TShot& Before() const { return m_Before; }
	/// Waits until a file of the play folder holds the text (Shift-JIS, as the game writes it).
	bool WaitForText(const std::string& file, const std::string& text);

	/// Closes the window as a window manager would.
	void Close();
	/// Waits for the program to end: its exit status, or -1 when it was killed (after the safety
	/// limit) or crashed.
	int WaitForExit();
	/// The program's peak resident memory in kilobytes, known once it has ended.
	long PeakKilobytes() const { return m_Game.PeakKilobytes(); }

	/// How many seconds a wait may last before the test fails (MORVALETH_E2E_LIMIT, default 180).
	static double SafetyLimit();

private:
	void Run(const std::vector<std::string>& xdotoolArguments);
	void KeepShot(const TShot& shot, const std::string& name);
	bool FindWindow();

	const TPlayFolder& m_Folder;
	std::string m_Artifacts;
	int m_Kept = 0;
	TChildProcess m_Game;
	unsigned long m_Window = 0;
	/// The window's place on the screen and its size.
	TWindowPlace m_Place;
	/// Where the last move left the pointer, in the window's pixels.
	int m_PointerX = -1;
	int m_PointerY = -1;
	TShot m_Before;
	double m_StartedAt = 0;
	void* m_Display = nullptr;
	bool m_WithoutWriteAccess = false;
};

#endif
