#ifndef MORVALETH_MEDIA_MORVALETHMIXER_H
#define MORVALETH_MEDIA_MORVALETHMIXER_H

#include <map>
#include <string>
#include <vector>

struct Mix_Chunk;
struct _Mix_Music;
struct TMixerLibrary;

/// Common sound effects: a surprise on the world map, a strike, a death.
enum { COMMON_SOUND_WHAT = 0, COMMON_SOUND_ATTACK, COMMON_SOUND_DEATH, COMMON_SOUND_COUNT };
/// Common music: the scenario's event music and its decisive-battle music.
enum { COMMON_MUSIC_EVENT = 0, COMMON_MUSIC_DECISIVE, COMMON_MUSIC_COUNT };

/// Sound effects and music of one game through SDL_mixer; a disabled mixer accepts every call and does nothing.
class TMorvalethMixer
{
public:
	/// Empty tables and no common sound or music; enabled when the audio device is open.
	explicit TMorvalethMixer(bool enabled);
	/// Frees every sound, then every music.
	~TMorvalethMixer();
	TMorvalethMixer(const TMorvalethMixer&) = delete;
	TMorvalethMixer& operator=(const TMorvalethMixer&) = delete;

	/// Loads a sound effect; its index, -1 when it cannot be read or its header is unsafe (0 when disabled).
	int LoadSound(const std::string& path);
	/// Loads a music, or finds it among those loaded from the same path; its index, -1 on failure or an unsafe header (0 when disabled).
	int LoadMusic(const std::string& path);
	/// Loads a sound as common sound id (COMMON_SOUND_*); false when it did not load.
	bool LoadCommonSound(int id, const std::string& path);
	/// Loads a music as common music id (COMMON_MUSIC_*); false when it did not load.
	bool LoadCommonMusic(int id, const std::string& path);

	/// Plays a sound once on the first free channel.
	void PlaySound(int index);
	/// Plays a music, looping for ever.
	void PlayMusic(int index);
	/// Fades the playing music out over fadeTime milliseconds, then plays the music looping.
	void ChangeMusic(int index, int fadeTime);
	/// Fades the playing music out over fadeTime milliseconds.
	void FadeOutMusic(int fadeTime);
	/// Whether a music plays (or fades).
	bool IsMusicPlaying() const;
	/// Plays a common sound, if one was loaded for the id.
	void PlayCommonSound(int id);
	/// Plays a common music, if one was loaded for the id.
	void PlayCommonMusic(int id);
	/// Changes to a common music, if one was loaded for the id.
	void ChangeCommonMusic(int id, int fadeTime);

private:
	/// Loads a file with load and stores its index as common id of the table; false when it did not load.
	bool LoadCommon(int* table, int count, int id, int (TMorvalethMixer::*load)(const std::string&),
		const std::string& path);
	/// Whether SDL_mixer may be given the file: a Warning names a file whose header would crash it, and why.
	static bool IsSafeToLoad(const std::string& path);
	/// SDL_mixer's functions while the mixer is enabled, else null.
	const TMixerLibrary* Library() const;
	/// The sound of an index, null for one that no load returned.
	Mix_Chunk* SoundAt(int index) const;
	/// The music of an index, null for one that no load returned.
	_Mix_Music* MusicAt(int index) const;
	/// The index stored for a common id, -1 for none or an unknown id.
	static int CommonIndex(const int* table, int count, int id);

	/// Set when the audio device was opened; fixed for the mixer's life.
	bool m_Enabled;
	/// Sound effects in load order (owned).
	std::vector<Mix_Chunk*> m_Sounds;
	/// Music in load order (owned).
	std::vector<_Mix_Music*> m_Musics;
	/// Music index by the path it was loaded from.
	std::map<std::string, int> m_MusicIndex;
	/// Sound index of each common sound, -1 for none.
	int m_CommonSounds[COMMON_SOUND_COUNT];
	/// Music index of each common music, -1 for none.
	int m_CommonMusics[COMMON_MUSIC_COUNT];
};

#endif
