// Closes a top-level X window the way a window manager would: waits for a
// shown window of the given name, prints its size as "WIDTH HEIGHT" and sends it the
// WM_DELETE_WINDOW client message. Xvfb runs no window manager, so the tests
// need this to close the game's window.
//
// Usage: xclose NAME [TIMEOUT_MS]
// Exit status: 0 when the message was sent, 1 when no such window appeared in
// time, 2 when the display cannot be opened.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace
{
// A window listed a moment ago may be gone when it is queried (another client's
// short-lived window while the game starts): that query fails instead of ending
// the program.
int IgnoreVanishedWindow(Display*, XErrorEvent*)
{
	return 0;
}

// SDL names its window before the video mode sizes and shows it, so only a
// shown window counts.
bool IsShownWithName(Display* display, Window window, const std::string& name)
{
	XWindowAttributes attributes;
	if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable)
		return false;
	XTextProperty property;
	if (!XGetWMName(display, window, &property))
		return false;
	const bool same = property.value && property.format == 8 && property.nitems == name.size()
		&& std::memcmp(property.value, name.data(), name.size()) == 0;
	if (property.value)
		XFree(property.value);
	return same;
}

// Depth-first search below a window; 0 when none carries the name.
Window FindWindow(Display* display, Window parent, const std::string& name)
{
	Window root = 0;
	Window parentOut = 0;
	Window* children = nullptr;
	unsigned count = 0;
	if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
		return 0;
	Window found = 0;
	for (unsigned i = 0; i < count && !found; ++i)
		found = IsShownWithName(display, children[i], name) ? children[i] : FindWindow(display, children[i], name);
	if (children)
		XFree(children);
	return found;
}

Window WaitForWindow(Display* display, const std::string& name, int timeoutMs)
{
	const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
	do {
		Window window = FindWindow(display, DefaultRootWindow(display), name);
		if (window)
			return window;
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	} while (std::chrono::steady_clock::now() < deadline);
	return 0;
}

void SendDeleteWindow(Display* display, Window window)
{
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
	event.xclient.data.l[1] = CurrentTime;
	XSendEvent(display, window, False, NoEventMask, &event);
	XFlush(display);
}
}

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
	XSetErrorHandler(IgnoreVanishedWindow);
	const Window window = WaitForWindow(display, argv[1], timeoutMs);
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
