#include "support/XWindow.h"

#include <chrono>
#include <cstring>
#include <thread>
// Last: Xlib's macros (None, Bool, Status) clash with names in other headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
int IgnoreError(Display*, XErrorEvent*)
{
	return 0;
}

// While it lives, an Xlib error (a window listed a moment ago is gone when read) fails its request instead
// of ending the program through Xlib's default handler; the handler in place before comes back at its end,
// once the server has answered every request sent meanwhile.
class TVanishingWindowsTolerated
{
public:
	explicit TVanishingWindowsTolerated(Display* display)
		: m_Display(display), m_Previous(XSetErrorHandler(IgnoreError))
	{
	}
	~TVanishingWindowsTolerated()
	{
		XSync(m_Display, False);
		XSetErrorHandler(m_Previous);
	}
	TVanishingWindowsTolerated(const TVanishingWindowsTolerated&) = delete;
	TVanishingWindowsTolerated& operator=(const TVanishingWindowsTolerated&) = delete;

private:
	Display* m_Display;
	XErrorHandler m_Previous;
};

// The bytes of a property of the given type; false when the window lacks it or is gone.
bool ReadProperty(Display* display, Window window, const char* name, Atom type, std::string& bytes)
{
	const Atom property = XInternAtom(display, name, True);
	if (property == None)
		return false;
	Atom actualType = None;
	int format = 0;
	unsigned long items = 0;
	unsigned long after = 0;
	unsigned char* value = nullptr;
	if (XGetWindowProperty(display, window, property, 0, 1024, False, type, &actualType, &format, &items, &after,
			&value) != Success || !value)
		return false;
	// Xlib hands 32-bit items over as longs.
	const std::size_t size = format == 32 ? sizeof(long) : std::size_t(format / 8);
	bytes.assign(reinterpret_cast<const char*>(value), items * size);
	XFree(value);
	return actualType == type;
}

// SDL names its window before the video mode sizes and shows it, so only a shown window counts.
bool IsShown(Display* display, Window window)
{
	XWindowAttributes attributes;
	return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
}

Window FindBelow(Display* display, Window parent, const TWindowMatch& match)
{
	Window root = 0;
	Window parentOut = 0;
	Window* children = nullptr;
	unsigned count = 0;
	if (!XQueryTree(display, parent, &root, &parentOut, &children, &count))
		return 0;
	Window found = 0;
	for (unsigned i = 0; i < count && !found; ++i)
		found = IsShown(display, children[i]) && match(display, children[i]) ? children[i]
																			  : FindBelow(display, children[i], match);
	if (children)
		XFree(children);
	return found;
}
}

TWindowMatch NamedWindow(const std::string& name)
{
	return [name](void* display, unsigned long window) {
		XTextProperty property;
		if (!XGetWMName(static_cast<Display*>(display), window, &property))
			return false;
		const bool same = property.value && property.format == 8 && property.nitems == name.size()
			&& std::memcmp(property.value, name.data(), name.size()) == 0;
		if (property.value)
			XFree(property.value);
		return same;
	};
}

TWindowMatch TitledWindow(const std::string& title)
{
	return [title](void* display, unsigned long window) {
		Display* x = static_cast<Display*>(display);
		std::string bytes;
		return ReadProperty(x, window, "_NET_WM_NAME", XInternAtom(x, "UTF8_STRING", False), bytes) && bytes == title;
	};
}

TWindowMatch WindowOfProcess(long pid)
{
	return [pid](void* display, unsigned long window) {
		std::string bytes;
		long owner = 0;
		if (!ReadProperty(static_cast<Display*>(display), window, "_NET_WM_PID", XA_CARDINAL, bytes)
			|| bytes.size() != sizeof(owner))
			return false;
		std::memcpy(&owner, bytes.data(), sizeof(owner));
		return owner == pid;
	};
}

unsigned long FindShownWindow(void* display, const TWindowMatch& match)
{
	Display* x = static_cast<Display*>(display);
	const TVanishingWindowsTolerated tolerated(x);
	return FindBelow(x, DefaultRootWindow(x), match);
}

unsigned long WaitForShownWindow(void* display, const TWindowMatch& match, double limitSeconds,
	const std::function<bool()>& keepWaiting)
{
	const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
	do {
		if (const unsigned long window = FindShownWindow(display, match))
			return window;
		if (keepWaiting && !keepWaiting())
			return 0;
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	} while (std::chrono::steady_clock::now() < deadline);
	return 0;
}

bool ReadWindowPlace(void* display, unsigned long window, TWindowPlace& place)
{
	Display* x = static_cast<Display*>(display);
	const TVanishingWindowsTolerated tolerated(x);
	XWindowAttributes attributes;
	Window child = 0;
	if (!XGetWindowAttributes(x, window, &attributes)
		|| !XTranslateCoordinates(x, window, DefaultRootWindow(x), 0, 0, &place.X, &place.Y, &child))
		return false;
	place.Width = attributes.width;
	place.Height = attributes.height;
	return true;
}

std::vector<std::uint8_t> ReadWindowRgb(void* display, unsigned long window, int x, int y, int width, int height)
{
	Display* xDisplay = static_cast<Display*>(display);
	const TVanishingWindowsTolerated tolerated(xDisplay);
	std::vector<std::uint8_t> rgb;
	XImage* image = XGetImage(xDisplay, window, x, y, width, height, AllPlanes, ZPixmap);
	if (!image)
		return rgb;
	rgb.reserve(std::size_t(width) * height * 3);
	for (int row = 0; row < height; ++row)
		for (int column = 0; column < width; ++column) {
			const unsigned long pixel = XGetPixel(image, column, row);
			rgb.push_back(std::uint8_t((pixel & image->red_mask) >> 16));
			rgb.push_back(std::uint8_t((pixel & image->green_mask) >> 8));
			rgb.push_back(std::uint8_t(pixel & image->blue_mask));
		}
	XDestroyImage(image);
	return rgb;
}

void SendDeleteWindow(void* display, unsigned long window)
{
	Display* x = static_cast<Display*>(display);
	const TVanishingWindowsTolerated tolerated(x);
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
