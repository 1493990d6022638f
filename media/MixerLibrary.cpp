#include "media/MixerLibrary.h"

#include "platform/SharedLibrary.h"

namespace
{
// Loads the library and every function; the reason when something is missing, else empty.
std::string Load(TMixerLibrary& mix)
{
	TSharedLibrary library("libSDL_mixer-1.2.so.0");
	library.Find("Mix_OpenAudio", mix.OpenAudio)
		.Find("Mix_CloseAudio", mix.CloseAudio)
		.Find("Mix_LoadWAV_RW", mix.LoadWAV_RW)
		.Find("Mix_LoadMUS", mix.LoadMUS)
		.Find("Mix_FreeChunk", mix.FreeChunk)
		.Find("Mix_FreeMusic", mix.FreeMusic)
		.Find("Mix_PlayChannelTimed", mix.PlayChannelTimed)
		.Find("Mix_PlayMusic", mix.PlayMusic)
		.Find("Mix_FadeOutMusic", mix.FadeOutMusic)
		.Find("Mix_PlayingMusic", mix.PlayingMusic);
	return library.Error();
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
