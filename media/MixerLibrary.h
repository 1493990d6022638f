#ifndef MORVALETH_MEDIA_MIXERLIBRARY_H
#define MORVALETH_MEDIA_MIXERLIBRARY_H

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <string>

/// The functions of SDL_mixer that the game calls, from the library loaded the first time they are asked
/// for: a game with music and sound off never loads it, nor the codec and sound-server libraries it pulls
/// in, which would take a few megabytes and part of the start-up.
struct TMixerLibrary
{
	int (*OpenAudio)(int frequency, Uint16 format, int channels, int chunkSize);
	void (*CloseAudio)();
	Mix_Chunk* (*LoadWAV_RW)(SDL_RWops* source, int freeSource);
	Mix_Music* (*LoadMUS)(const char* file);
	void (*FreeChunk)(Mix_Chunk* chunk);
	void (*FreeMusic)(Mix_Music* music);
	int (*PlayChannelTimed)(int channel, Mix_Chunk* chunk, int loops, int ticks);
	int (*PlayMusic)(Mix_Music* music, int loops);
	int (*FadeOutMusic)(int milliseconds);
	int (*PlayingMusic)();
};

/// The library's functions, loaded at the first call; null when the library or one of them is missing,
/// with the reason in error when it is given.
const TMixerLibrary* MixerLibrary(std::string* error = nullptr);

#endif
