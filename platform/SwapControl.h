#ifndef MORVALETH_PLATFORM_SWAPCONTROL_H
#define MORVALETH_PLATFORM_SWAPCONTROL_H

#include <string>

/// Outcome of turning vertical synchronisation off.
enum TSwapControlResult
{
	SWAP_CONTROL_DISABLED,    ///< the swap interval is now 0
	SWAP_CONTROL_NO_FUNCTION, ///< the extension is listed but its function was not found
	SWAP_CONTROL_UNSUPPORTED, ///< no swap-control extension is offered
};

/// Sets the swap interval of the current GLX drawable to 0; extension receives the name of the extension used or missing.
TSwapControlResult DisableGlxSwapInterval(std::string& extension);

/// Copies a rectangle of the current GLX drawable's back buffer to the window (x, y from its bottom left)
/// and leaves the back buffer as it was; false when the window system offers no such copy.
bool CopyBackBufferPart(int x, int y, int width, int height);

#endif
