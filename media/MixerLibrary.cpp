#include "media/MixerLibrary.h"

#include <dlfcn.h>

namespace
{
const char* const LIBRARY_FILE = "libSDL_mixer-1.2.so.0";

template <typename TFunction>
bool Find(void* library, const char* name, TFunction& function)
{
	function = reinterpret_cast<TFunction>(dlsym(library, name));
	return function != nullptr;
}

// What dlopen or dlsym found wrong; never empty.
std::string LastError()
{
	const char* reason = dlerror();
	return reason ? reason : std::string(LIBRARY_FILE) + " cannot be used";
}

// Loads the library and every function; the reason when something is missing, else empty.
std::string Load(TMixerLibrary& mix)
{
	void* library = dlopen(LIBRARY_FILE, RTLD_NOW | RTLD_LOCAL);
	if (!library)
		return LastError();
	// The library stays loaded for the rest of the run, as it would had the program been linked to it.
	if (Find(library, "Mix_OpenAudio", mix.OpenAudio) && Find(library, "Mix_CloseAudio", mix.CloseAudio)
		&& Find(library, "Mix_LoadWAV_RW", mix.LoadWAV_RW) && Find(library, "Mix_LoadMUS", mix.LoadMUS)
		&& Find(library, "Mix_FreeChunk", mix.FreeChunk) && Find(library, "Mix_FreeMusic", mix.FreeMusic)
		&& Find(library, "Mix_PlayChannelTimed", mix.PlayChannelTimed)
		&& Find(library, "Mix_PlayMusic", mix.PlayMusic) && Find(library, "Mix_FadeOutMusic", mix.FadeOutMusic)
		&& Find(library, "Mix_PlayingMusic", mix.PlayingMusic))
		return std::string();
	return LastError();
}
}

const TMixerLibrary* MixerLibrary(std::string* error)
{
	static TMixerLibrary mix;
	static const std::string failure = Load(mix);
	if (error)
		*error = failure;
	return failure.empty() ? &mix : nullptr;
}
