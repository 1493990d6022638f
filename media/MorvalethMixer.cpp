#include "media/MorvalethMixer.h"

#include "app/Logger.h"
#include "media/MixerLibrary.h"
#include "media/WaveHeader.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <fstream>

TMorvalethMixer::TMorvalethMixer(bool enabled)
	: m_Enabled(enabled)
{
	std::fill(m_CommonSounds, m_CommonSounds + COMMON_SOUND_COUNT, -1);
	std::fill(m_CommonMusics, m_CommonMusics + COMMON_MUSIC_COUNT, -1);
}

TMorvalethMixer::~TMorvalethMixer()
{
	const TMixerLibrary* mix = Library();
	if (!mix)
		return;
	for (Mix_Chunk* sound : m_Sounds)
		mix->FreeChunk(sound);
	for (Mix_Music* music : m_Musics)
		mix->FreeMusic(music);
}

const TMixerLibrary* TMorvalethMixer::Library() const
{
	return m_Enabled ? MixerLibrary() : nullptr;
}

int TMorvalethMixer::LoadSound(const std::string& path)
{
	const TMixerLibrary* mix = Library();
	if (!mix)
		return 0;
	if (!IsSafeToLoad(path))
		return -1;
	SDL_RWops* source = SDL_RWFromFile(NativePath(path).c_str(), "rb");
	Mix_Chunk* sound = source ? mix->LoadWAV_RW(source, 1) : nullptr;
	if (!sound) {
		LOG_ERROR("failed to load %s. Mix_LoadWAV error. %s", path, Mix_GetError());
		return -1;
	}
	m_Sounds.push_back(sound);
	return int(m_Sounds.size()) - 1;
}

int TMorvalethMixer::LoadMusic(const std::string& path)
{
	const TMixerLibrary* mix = Library();
	if (!mix)
		return 0;
	const std::map<std::string, int>::const_iterator found = m_MusicIndex.find(path);
	if (found != m_MusicIndex.end())
		return found->second;
	if (!IsSafeToLoad(path))
		return -1;
	Mix_Music* music = mix->LoadMUS(NativePath(path).c_str());
	if (!music) {
		LOG_ERROR("failed to load %s. Mix_LoadMUS error. %s", path, Mix_GetError());
		return -1;
	}
	m_Musics.push_back(music);
	const int index = int(m_Musics.size()) - 1;
	m_MusicIndex[path] = index;
	return index;
}

bool TMorvalethMixer::IsSafeToLoad(const std::string& path)
{
	// A missing file is left to SDL_mixer, whose Error names it; a pipe or a device would hold the load for good.
	if (PathExists(path) && !IsRegularFile(path)) {
		LOG_WARNING("%s cannot be played and stays silent: it is no regular file", path);
		return false;
	}
	std::ifstream file(NativePath(path), std::ios::binary);
	const std::string fault = file ? SoundFileFault(file) : std::string();
	if (!fault.empty())
		LOG_WARNING("%s cannot be played and stays silent: %s", path, fault);
	return fault.empty();
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
	Mix_Chunk* sound = SoundAt(index);
	if (sound)
		Library()->PlayChannelTimed(-1, sound, 0, -1);
}

void TMorvalethMixer::PlayMusic(int index)
{
	Mix_Music* music = MusicAt(index);
	if (music)
		Library()->PlayMusic(music, -1);
}

void TMorvalethMixer::ChangeMusic(int index, int fadeTime)
{
	Mix_Music* music = MusicAt(index);
	if (!music)
		return;
	// Starting the next music waits until the fade-out has run its course.
	const TMixerLibrary* mix = Library();
	if (mix->PlayingMusic())
		mix->FadeOutMusic(fadeTime);
	mix->PlayMusic(music, -1);
}

void TMorvalethMixer::FadeOutMusic(int fadeTime)
{
	if (const TMixerLibrary* mix = Library())
		mix->FadeOutMusic(fadeTime);
}

bool TMorvalethMixer::IsMusicPlaying() const
{
	const TMixerLibrary* mix = Library();
	return mix && mix->PlayingMusic() != 0;
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
