#ifndef MORVALETH_TESTS_SUPPORT_XWINDOW_H
#define MORVALETH_TESTS_SUPPORT_XWINDOW_H

#include <string>

// Finding the game's window on an X server that runs no window manager (Xvfb).
// Kept apart from Xlib's header, whose macros clash with names elsewhere.

/// The first shown top-level or nested window carrying the name, searched depth-first from
/// the root; 0 when there is none. `display` is an Xlib Display*.
unsigned long FindShownWindow(void* display, const std::string& name);

/// Polls for a shown window of the name until the time-out; 0 when none appeared.
unsigned long WaitForShownWindow(void* display, const std::string& name, int timeoutMs);

/// Makes Xlib errors about windows that vanished while being queried harmless.
void IgnoreVanishedWindows();

/// Asks the window to close as a window manager would (WM_DELETE_WINDOW).
void SendDeleteWindow(void* display, unsigned long window);

#endif
