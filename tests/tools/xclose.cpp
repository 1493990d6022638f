// Closes a top-level X window the way a window manager would: waits for a
// shown window of the given name, prints its size as "WIDTH HEIGHT" and sends it the
// WM_DELETE_WINDOW client message. Xvfb runs no window manager, so the tests
// need this to close the game's window.
//
// Usage: xclose NAME [TIMEOUT_MS]
// Exit status: 0 when the message was sent, 1 when no such window appeared in
// time, 2 when the display cannot be opened.

#include "support/XWindow.h"

#include <cstdio>
#include <cstdlib>
// Last: Xlib's macros clash with names in other headers.
#include <X11/Xlib.h>

int main(int argc, char** argv)
{
	if (argc < 2) {
		std::fprintf(stderr, "usage: xclose NAME [TIMEOUT_MS]\n");
		return 2;
	}
	const int timeoutMs = argc > 2 ? std::atoi(argv[2]) : 10000;
	Display* display = XOpenDisplay(nullptr);
	if (!display) {
		std::fprintf(stderr, "xclose: cannot open the display\n");
		return 2;
	}
	IgnoreVanishedWindows();
	const Window window = WaitForShownWindow(display, argv[1], timeoutMs);
	if (!window) {
		XCloseDisplay(display);
		return 1;
	}
	XWindowAttributes attributes;
	XGetWindowAttributes(display, window, &attributes);
	std::printf("%d %d\n", attributes.width, attributes.height);
	std::fflush(stdout);
	SendDeleteWindow(display, window);
	XCloseDisplay(display);
	return 0;
}
