#include "support/GlWindow.h"
#include "support/XWindow.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>
// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace
{
int g_Errors = 0;

int CountError(Display*, XErrorEvent*)
{
	++g_Errors;
	return 0;
}

// Windows of another client, as the game's would be: named, titled and owned as SDL marks its own.
class XWindowSearch : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Searcher = XOpenDisplay(nullptr);
		m_Owner = XOpenDisplay(nullptr);
		ASSERT_NE(nullptr, m_Searcher);
		ASSERT_NE(nullptr, m_Owner);
		g_Errors = 0;
		m_Previous = XSetErrorHandler(CountError);
	}

	void TearDown() override
	{
		if (m_Owner)
			XCloseDisplay(m_Owner);
		if (m_Searcher)
			XCloseDisplay(m_Searcher);
		if (m_Previous)
			XSetErrorHandler(m_Previous);
	}

	Window Make(const std::string& name, long pid, bool shown)
	{
		const Window window = XCreateSimpleWindow(m_Owner, DefaultRootWindow(m_Owner), 0, 0, 40, 30, 0, 0, 0);
		XStoreName(m_Owner, window, name.c_str());
		const std::string title = name + u8" ・題";
		XChangeProperty(m_Owner, window, XInternAtom(m_Owner, "_NET_WM_NAME", False),
			XInternAtom(m_Owner, "UTF8_STRING", False), 8, PropModeReplace,
			reinterpret_cast<const unsigned char*>(title.data()), int(title.size()));
		XChangeProperty(m_Owner, window, XInternAtom(m_Owner, "_NET_WM_PID", False), XA_CARDINAL, 32,
			PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
		if (shown)
			XMapWindow(m_Owner, window);
		XSync(m_Owner, False);
		return window;
	}

	Display* m_Searcher = nullptr;
	Display* m_Owner = nullptr;
	XErrorHandler m_Previous = nullptr;
};
}

TEST_F(XWindowSearch, FindsAShownWindowByItsNameTitleOrOwnerButNoHiddenOne)
{
	Make("hidden", 4001, false);
	const Window first = Make("first", 4002, true);
	const Window second = Make("second", 4003, true);
	Make("second", 4004, false);
	EXPECT_EQ(first, FindShownWindow(m_Searcher, NamedWindow("first")));
	EXPECT_EQ(second, FindShownWindow(m_Searcher, TitledWindow(u8"second ・題")));
	EXPECT_EQ(second, FindShownWindow(m_Searcher, WindowOfProcess(4003)));
	EXPECT_EQ(0u, FindShownWindow(m_Searcher, NamedWindow("hidden")));
	EXPECT_EQ(0u, FindShownWindow(m_Searcher, WindowOfProcess(4004)));
	EXPECT_EQ(0u, FindShownWindow(m_Searcher, TitledWindow("second")));

	TWindowPlace place;
	ASSERT_TRUE(ReadWindowPlace(m_Searcher, second, place));
	EXPECT_EQ(40, place.Width);
	EXPECT_EQ(30, place.Height);
	EXPECT_EQ(std::size_t(40 * 30 * 3), ReadWindowRgb(m_Searcher, second, 0, 0, 40, 30).size());
	EXPECT_EQ(0, g_Errors);
}

// Windows that another client destroys while the search walks past them (the game's own short-lived windows
// as it starts or ends) fail only their own requests: the search goes on to the window it seeks, and the
// caller's error handler neither sees those errors nor is lost.
TEST_F(XWindowSearch, PassesOverWindowsThatVanishUnderIt)
{
	std::vector<Window> vanishing;
	for (int i = 0; i < 8; ++i)
		vanishing.push_back(Make("vanishing", 5000 + i, true));
	const Window stays = Make("stays", 5100, true);
	bool destroyed = false;
	const TWindowMatch sought = NamedWindow("stays");
	const Window found = FindShownWindow(m_Searcher, [&](void* display, unsigned long window) {
		if (!destroyed) {
			for (Window gone : vanishing)
				XDestroyWindow(m_Owner, gone);
			XSync(m_Owner, False);
			destroyed = true;
		}
		return sought(display, window);
	});
	EXPECT_TRUE(destroyed);
	EXPECT_EQ(stays, found);
	EXPECT_EQ(0, g_Errors);

	TWindowPlace place;
	EXPECT_FALSE(ReadWindowPlace(m_Searcher, vanishing.back(), place));
	EXPECT_TRUE(ReadWindowRgb(m_Searcher, vanishing.back(), 0, 0, 4, 4).empty());
	SendDeleteWindow(m_Searcher, vanishing.back());
	XSync(m_Searcher, False);
	EXPECT_EQ(0, g_Errors);
	XWindowAttributes attributes;
	XGetWindowAttributes(m_Searcher, vanishing.back(), &attributes);
	EXPECT_EQ(1, g_Errors) << "the caller's own handler is back";
}
