#include "platform/SwapControl.h"

#include <cstring>
#include <GL/glx.h>

namespace
{
const char* const EXT_SWAP_CONTROL = "GLX_EXT_swap_control";
const char* const MESA_SWAP_CONTROL = "GLX_MESA_swap_control";

typedef void (*TSwapIntervalExt)(Display*, GLXDrawable, int);
typedef int (*TSwapIntervalMesa)(unsigned int);

// Extension names are separated by spaces; a plain substring test would also
// take "GLX_EXT_swap_control_tear" for the wanted one.
bool HasExtension(const char* list, const char* name)
{
	const std::size_t length = std::strlen(name);
	for (const char* p = list; (p = std::strstr(p, name)) != nullptr; p += length) {
		const bool starts = p == list || p[-1] == ' ';
		const bool ends = p[length] == '\0' || p[length] == ' ';
		if (starts && ends)
			return true;
	}
	return false;
}

template <typename TFunction, typename... Args>
TSwapControlResult CallSwapInterval(const char* functionName, Args... args)
{
	TFunction function = reinterpret_cast<TFunction>(
		glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(functionName)));
	if (!function)
		return SWAP_CONTROL_NO_FUNCTION;
	function(args...);
	return SWAP_CONTROL_DISABLED;
}
}

TSwapControlResult DisableGlxSwapInterval(std::string& extension)
{
	extension = EXT_SWAP_CONTROL;
	Display* display = glXGetCurrentDisplay();
	const char* list = display ? glXQueryExtensionsString(display, DefaultScreen(display)) : nullptr;
	if (!list)
		return SWAP_CONTROL_UNSUPPORTED;
	if (HasExtension(list, EXT_SWAP_CONTROL))
		return CallSwapInterval<TSwapIntervalExt>("glXSwapIntervalEXT", display, glXGetCurrentDrawable(), 0);
	if (HasExtension(list, MESA_SWAP_CONTROL)) {
		extension = MESA_SWAP_CONTROL;
		return CallSwapInterval<TSwapIntervalMesa>("glXSwapIntervalMESA", 0u);
	}
	return SWAP_CONTROL_UNSUPPORTED;
}

bool CopyBackBufferPart(int x, int y, int width, int height)
{
	typedef void (*TCopySubBuffer)(Display*, GLXDrawable, int, int, int, int);
	Display* display = glXGetCurrentDisplay();
	const GLXDrawable drawable = glXGetCurrentDrawable();
	if (!display || !drawable)
		return false;
	static const TCopySubBuffer copy = [display]() -> TCopySubBuffer {
		const char* list = glXQueryExtensionsString(display, DefaultScreen(display));
		if (!list || !HasExtension(list, "GLX_MESA_copy_sub_buffer"))
			return nullptr;
		return reinterpret_cast<TCopySubBuffer>(
			glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXCopySubBufferMESA")));
	}();
	if (!copy)
		return false;
	copy(display, drawable, x, y, width, height);
	return true;
}
