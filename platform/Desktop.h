#ifndef MORVALETH_PLATFORM_DESKTOP_H
#define MORVALETH_PLATFORM_DESKTOP_H

/// Reads the desktop's size; SDL's video subsystem must be started and no video mode set yet. False when SDL cannot tell.
bool GetDesktopSize(int& width, int& height);

/// Shrinks a window that does not fit a desktop (16 pixels of width, 64 of height kept free); true when the size was changed.
bool FitWindowToDesktop(int desktopWidth, int desktopHeight, int& width, int& height);

#endif
