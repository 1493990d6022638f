#include "support/XWindow.h"

#include <chrono>
#include <cstring>
#include <thread>
// Last: Xlib's macros (None, Bool, Status) clash with names in other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
// A window listed a moment ago may be gone when it is queried (another client's
// short-lived window while the game starts): that query fails instead of ending
// the program.
int IgnoreError(Display*, XErrorEvent*)
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

Window FindBelow(Display* display, Window parent, const std::string& name)
{
	Window root = 0;
	Window parentOut = 0;
	Window* children = nullptr;
	unsigned count = 0;
	if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
		return 0;
	Window found = 0;
	for (unsigned i = 0; i < count && !found; ++i)
		found = IsShownWithName(display, children[i], name) ? children[i] : FindBelow(display, children[i], name);
	if (children)
		XFree(children);
	return found;
}
}

unsigned long FindShownWindow(void* display, const std::string& name)
{
	Display* x = static_cast<Display*>(display);
	return FindBelow(x, DefaultRootWindow(x), name);
}

unsigned long WaitForShownWindow(void* display, const std::string& name, int timeoutMs)
{
	const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
	do {
		if (const unsigned long window = FindShownWindow(display, name))
			return window;
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	} while (std::chrono::steady_clock::now() < deadline);
	return 0;
}

void IgnoreVanishedWindows()
{
	XSetErrorHandler(IgnoreError);
}

void SendDeleteWindow(void* display, unsigned long window)
{
	Display* x = static_cast<Display*>(display);
	XEvent event;
	std::memset(&event, 0, sizeof(event));
	event.xclient.type = ClientMessage;
	event.xclient.window = window;
	event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
	event.xclient.format = 32;
	event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
	event.xclient.data.l[1] = CurrentTime;
	XSendEvent(x, window, False, NoEventMask, &event);
	XFlush(x);
}
