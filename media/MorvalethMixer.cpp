#include "media/MorvalethMixer.h"

#include "app/Logger.h"
#include "platform/FileSystem.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>

#include <algorithm>

TMorvalethMixer::TMorvalethMixer(bool enabled)
	: m_Enabled(enabled)
{
	std::fill(m_CommonSounds, m_CommonSounds + COMMON_SOUND_COUNT, -1);
	std::fill(m_CommonMusics, m_CommonMusics + COMMON_MUSIC_COUNT, -1);
}

TMorvalethMixer::~TMorvalethMixer()
{
	for (Mix_Chunk* sound : m_Sounds)
		Mix_FreeChunk(sound);
	for (Mix_Music* music : m_Musics)
		Mix_FreeMusic(music);
}

int TMorvalethMixer::LoadSound(const std::string& path)
{
	if (!m_Enabled)
		return 0;
	SDL_RWops* source = SDL_RWFromFile(NativePath(path).c_str(), "rb");
	Mix_Chunk* sound = source ? Mix_LoadWAV_RW(source, 1) : nullptr;
	if (!sound) {
		LOG_ERROR("failed to load %s. Mix_LoadWAV error. %s", path, Mix_GetError());
		return -1;
	}
	m_Sounds.push_back(sound);
	return int(m_Sounds.size()) - 1;
}

int TMorvalethMixer::LoadMusic(const std::string& path)
{
	if (!m_Enabled)
		return 0;
	const std::map<std::string, int>::const_iterator found = m_MusicIndex.find(path);
	if (found != m_MusicIndex.end())
		return found->second;
	Mix_Music* music = Mix_LoadMUS(NativePath(path).c_str());
	if (!music) {
		LOG_ERROR("failed to load %s. Mix_LoadMUS error. %s", path, Mix_GetError());
		return -1;
	}
	m_Musics.push_back(music);
	const int index = int(m_Musics.size()) - 1;
	m_MusicIndex[path] = index;
	return index;
}

bool TMorvalethMixer::LoadCommonSound(int id, const std::string& path)
{
	return LoadCommon(m_CommonSounds, COMMON_SOUND_COUNT, id, &TMorvalethMixer::LoadSound, path);
}

bool TMorvalethMixer::LoadCommonMusic(int id, const std::string& path)
{
	return LoadCommon(m_CommonMusics, COMMON_MUSIC_COUNT, id, &TMorvalethMixer::LoadMusic, path);
}

bool TMorvalethMixer::LoadCommon(int* table, int count, int id, int (TMorvalethMixer::*load)(const std::string&),
	const std::string& path)
{
	if (!m_Enabled)
		return true;
	if (id < 0 || id >= count)
		return false;
	table[id] = (this->*load)(path);
	return table[id] != -1;
}

Mix_Chunk* TMorvalethMixer::SoundAt(int index) const
{
	return index >= 0 && std::size_t(index) < m_Sounds.size() ? m_Sounds[index] : nullptr;
}

Mix_Music* TMorvalethMixer::MusicAt(int index) const
{
	return index >= 0 && std::size_t(index) < m_Musics.size() ? m_Musics[index] : nullptr;
}

int TMorvalethMixer::CommonIndex(const int* table, int count, int id)
{
	return id >= 0 && id < count ? table[id] : -1;
}

void TMorvalethMixer::PlaySound(int index)
{
	Mix_Chunk* sound = m_Enabled ? SoundAt(index) : nullptr;
	if (sound)
		Mix_PlayChannelTimed(-1, sound, 0, -1);
}

void TMorvalethMixer::PlayMusic(int index)
{
	Mix_Music* music = m_Enabled ? MusicAt(index) : nullptr;
	if (music)
		Mix_PlayMusic(music, -1);
}

void TMorvalethMixer::ChangeMusic(int index, int fadeTime)
{
	Mix_Music* music = m_Enabled ? MusicAt(index) : nullptr;
	if (!music)
		return;
	// Starting the next music waits until the fade-out has run its course.
	if (Mix_PlayingMusic())
		Mix_FadeOutMusic(fadeTime);
	Mix_PlayMusic(music, -1);
}

void TMorvalethMixer::FadeOutMusic(int fadeTime)
{
	if (m_Enabled)
		Mix_FadeOutMusic(fadeTime);
}

bool TMorvalethMixer::IsMusicPlaying() const
{
	return m_Enabled && Mix_PlayingMusic() != 0;
}

void TMorvalethMixer::PlayCommonSound(int id)
{
	PlaySound(CommonIndex(m_CommonSounds, COMMON_SOUND_COUNT, id));
}

void TMorvalethMixer::PlayCommonMusic(int id)
{
	PlayMusic(CommonIndex(m_CommonMusics, COMMON_MUSIC_COUNT, id));
}

void TMorvalethMixer::ChangeCommonMusic(int id, int fadeTime)
{
	ChangeMusic(CommonIndex(m_CommonMusics, COMMON_MUSIC_COUNT, id), fadeTime);
}
