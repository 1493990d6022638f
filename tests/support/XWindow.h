#ifndef MORVALETH_TESTS_SUPPORT_XWINDOW_H
#define MORVALETH_TESTS_SUPPORT_XWINDOW_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Finding and reading the game's window on an X server that runs no window manager (Xvfb), for
// every test and tool: the only walk of the X tree. A window may vanish at any moment (the game
// ends, another client's short-lived window goes); each function here then fails the one request,
// never the program, and puts back the Xlib error handler that was in place before.
// Kept apart from Xlib's header, whose macros clash with names elsewhere. `display` is an Xlib Display*.

/// Whether a shown window is the one sought; given the display and the window.
typedef std::function<bool(void* display, unsigned long window)> TWindowMatch;

/// Matches a window whose name (WM_NAME) is the text.
TWindowMatch NamedWindow(const std::string& name);
/// Matches a window whose UTF-8 title (_NET_WM_NAME) is the text.
TWindowMatch TitledWindow(const std::string& title);
/// Matches a window that the process owns (_NET_WM_PID).
TWindowMatch WindowOfProcess(long pid);

/// The first shown top-level or nested window that the match accepts, searched depth-first from the
/// root; 0 when there is none.
unsigned long FindShownWindow(void* display, const TWindowMatch& match);

/// Searches again every few milliseconds while `keepWaiting` holds (when given) and the safety limit,
/// in seconds, has not passed; 0 when no window appeared.
unsigned long WaitForShownWindow(void* display, const TWindowMatch& match, double limitSeconds,
	const std::function<bool()>& keepWaiting = std::function<bool()>());

/// Where a window stands on the screen and its size.
struct TWindowPlace
{
	int X = 0;
	int Y = 0;
	int Width = 0;
	int Height = 0;
};

/// Reads the window's place; false when it is gone.
bool ReadWindowPlace(void* display, unsigned long window, TWindowPlace& place);

/// The window's pixels in the rectangle as 8-bit RGB, top row first; empty when it cannot be read.
std::vector<std::uint8_t> ReadWindowRgb(void* display, unsigned long window, int x, int y, int width, int height);

/// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
void SendDeleteWindow(void* display, unsigned long window);

#endif
