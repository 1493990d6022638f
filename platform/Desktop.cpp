#include "platform/Desktop.h"

#include <SDL/SDL.h>

bool GetDesktopSize(int& width, int& height)
{
	// Before the first video mode is set, SDL reports the desktop's mode here;
	// a video driver that does not know it leaves the size at 0.
	const SDL_VideoInfo* info = SDL_GetVideoInfo();
	if (!info || info->current_w <= 0 || info->current_h <= 0)
		return false;
	width = info->current_w;
	height = info->current_h;
	return true;
}

bool FitWindowToDesktop(int desktopWidth, int desktopHeight, int& width, int& height)
{
	// Room is left for the window frame and a task bar.
	const int widthLimit = desktopWidth - 16;
	const int heightLimit = desktopHeight - 64;
	if (width <= widthLimit && height <= heightLimit)
		return false;
	if (width >= widthLimit)
		width = widthLimit;
	if (height >= heightLimit)
		height = heightLimit;
	return true;
}
