#include "media/MorvalethMixer.h"
#include "platform/FileSystem.h"
#include "platform/SharedLibrary.h"

#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
// A mono 16-bit WAV file of a quiet tone lasting the given milliseconds.
std::string WaveFile(int milliseconds)
{
	const int rate = 22050;
	const std::uint32_t samples = std::uint32_t(rate) * milliseconds / 1000;
	std::string data;
	for (std::uint32_t i = 0; i < samples; ++i) {
		const std::int16_t value = std::int16_t(2000 * std::sin(i * 0.1));
		data += char(value & 0xFF);
		data += char((value >> 8) & 0xFF);
	}
	std::string file;
	const auto word = [&file](std::uint32_t value, int bytes) {
		for (int i = 0; i < bytes; ++i)
			file += char((value >> (8 * i)) & 0xFF);
	};
	file += "RIFF";
	word(36 + std::uint32_t(data.size()), 4);
	file += "WAVEfmt ";
	word(16, 4);
	word(1, 2);
	word(1, 2);
	word(rate, 4);
	word(rate * 2, 4);
	word(2, 2);
	word(16, 2);
	file += "data";
	word(std::uint32_t(data.size()), 4);
	return file + data;
}

// Opens the audio device on SDL's silent driver as start-up does; the mixer under test is made inside each test,
// so that it is gone before the device closes.
class Mixer : public ::testing::Test
{
protected:
	void SetUp() override
	{
		setenv("SDL_AUDIODRIVER", "dummy", 1);
		ASSERT_EQ(0, SDL_Init(SDL_INIT_AUDIO)) << SDL_GetError();
		ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096)) << Mix_GetError();
		WriteFile(m_Dir / "short.wav", WaveFile(200));
		WriteFile(m_Dir / "long.wav", WaveFile(2000));
	}

	void TearDown() override
	{
		Mix_HaltChannel(-1);
		Mix_HaltMusic();
		Mix_CloseAudio();
		SDL_Quit();
	}

	TTempDir m_Dir;
};
}

TEST_F(Mixer, SoundsAreNumberedInLoadOrderAndNeverShared)
{
	TCapturedLog log;
	TMorvalethMixer mixer(true);
	EXPECT_EQ(0, mixer.LoadSound(m_Dir / "short.wav"));
	EXPECT_EQ(-1, mixer.LoadSound(m_Dir / "missing.wav"));
	EXPECT_EQ(1, mixer.LoadSound(m_Dir / "short.wav"));
	EXPECT_EQ(1, log.CountLines("TMorvalethMixer::LoadSound:"));
	EXPECT_EQ(1, log.CountLines("failed to load " + (m_Dir / "missing.wav") + ". Mix_LoadWAV error. "));
	mixer.PlaySound(1);
	EXPECT_EQ(1, Mix_Playing(-1));
	mixer.PlaySound(0);
	EXPECT_EQ(2, Mix_Playing(-1));
}

TEST_F(Mixer, MusicIsLoadedOncePerPath)
{
	TCapturedLog log;
	TMorvalethMixer mixer(true);
	const std::string path = m_Dir / "long.wav";
	EXPECT_EQ(0, mixer.LoadMusic(path));
	// The second load must not open the file: it is gone.
	RemoveFile(path);
	EXPECT_EQ(0, mixer.LoadMusic(path));
	EXPECT_EQ(1, mixer.LoadMusic(m_Dir / "short.wav"));
	EXPECT_EQ(-1, mixer.LoadMusic(path + "x"));
	EXPECT_EQ(1, log.CountLines("failed to load " + path + "x. Mix_LoadMUS error. "));
	// A failure is not remembered: once the file is there it loads.
	WriteFile(path + "x", WaveFile(100));
	EXPECT_EQ(2, mixer.LoadMusic(path + "x"));
}

TEST_F(Mixer, MusicLoopsStartsAtOnceOrOnceTheOldOneHasFadedAndFadesOut)
{
	TMorvalethMixer mixer(true);
	const int first = mixer.LoadMusic(m_Dir / "long.wav");
	const int second = mixer.LoadMusic(m_Dir / "short.wav");
	EXPECT_FALSE(mixer.IsMusicPlaying());
	// Nothing was playing, so nothing fades.
	mixer.ChangeMusic(first, 500);
	EXPECT_TRUE(mixer.IsMusicPlaying());
	EXPECT_EQ(MIX_NO_FADING, Mix_FadingMusic());

	const Uint32 start = SDL_GetTicks();
	mixer.ChangeMusic(second, 300);
	EXPECT_GE(SDL_GetTicks() - start, 200u) << "the new music starts once the old one has faded";
	EXPECT_TRUE(mixer.IsMusicPlaying());
	// Longer than the short music: it loops.
	SDL_Delay(500);
	EXPECT_TRUE(mixer.IsMusicPlaying());
	mixer.FadeOutMusic(100);
	for (int wait = 0; wait < 500 && mixer.IsMusicPlaying(); ++wait)
		SDL_Delay(10);
	EXPECT_FALSE(mixer.IsMusicPlaying());
}

TEST_F(Mixer, CommonSoundsAndMusicPlayOnlyWhenLoaded)
{
	TCapturedLog log;
	TMorvalethMixer mixer(true);
	EXPECT_TRUE(mixer.LoadCommonSound(COMMON_SOUND_ATTACK, m_Dir / "short.wav"));
	EXPECT_FALSE(mixer.LoadCommonSound(COMMON_SOUND_DEATH, m_Dir / "missing.wav"));
	EXPECT_FALSE(mixer.LoadCommonSound(COMMON_SOUND_COUNT, m_Dir / "short.wav"));
	EXPECT_TRUE(mixer.LoadCommonMusic(COMMON_MUSIC_EVENT, m_Dir / "long.wav"));
	EXPECT_FALSE(mixer.LoadCommonMusic(-1, m_Dir / "long.wav"));

	mixer.PlayCommonSound(COMMON_SOUND_WHAT);
	mixer.PlayCommonSound(COMMON_SOUND_DEATH);
	mixer.PlayCommonSound(-1);
	mixer.PlayCommonSound(COMMON_SOUND_COUNT);
	EXPECT_EQ(0, Mix_Playing(-1));
	mixer.PlayCommonSound(COMMON_SOUND_ATTACK);
	EXPECT_EQ(1, Mix_Playing(-1));

	// Without a decisive music, the event music keeps playing.
	mixer.PlayCommonMusic(COMMON_MUSIC_DECISIVE);
	EXPECT_FALSE(mixer.IsMusicPlaying());
	mixer.PlayCommonMusic(COMMON_MUSIC_EVENT);
	mixer.ChangeCommonMusic(COMMON_MUSIC_DECISIVE, 500);
	mixer.ChangeCommonMusic(COMMON_MUSIC_COUNT, 500);
	EXPECT_TRUE(mixer.IsMusicPlaying());
	EXPECT_EQ(0, Mix_FadingMusic());
}

TEST_F(Mixer, IndicesNoLoadReturnedAreIgnored)
{
	TMorvalethMixer mixer(true);
	const int music = mixer.LoadMusic(m_Dir / "long.wav");
	mixer.LoadSound(m_Dir / "short.wav");
	for (int bad : {-1, 1, 99}) {
		mixer.PlaySound(bad);
		mixer.PlayMusic(bad);
	}
	EXPECT_EQ(0, Mix_Playing(-1));
	EXPECT_FALSE(mixer.IsMusicPlaying());
	mixer.PlayMusic(music);
	mixer.ChangeMusic(-1, 500);
	mixer.ChangeMusic(7, 500);
	EXPECT_TRUE(mixer.IsMusicPlaying());
	EXPECT_EQ(0, Mix_FadingMusic());
}

TEST_F(Mixer, ADisabledMixerLoadsAndPlaysNothing)
{
	TCapturedLog log;
	TMorvalethMixer playing(true);
	playing.PlayMusic(playing.LoadMusic(m_Dir / "long.wav"));
	{
		TMorvalethMixer mixer(false);
		EXPECT_EQ(0, mixer.LoadSound(m_Dir / "missing.wav"));
		EXPECT_EQ(0, mixer.LoadMusic(m_Dir / "missing.wav"));
		EXPECT_EQ(0, mixer.LoadSound(m_Dir / "short.wav"));
		EXPECT_TRUE(mixer.LoadCommonSound(COMMON_SOUND_ATTACK, m_Dir / "short.wav"));
		EXPECT_TRUE(mixer.LoadCommonMusic(COMMON_MUSIC_EVENT, m_Dir / "missing.wav"));
		mixer.PlaySound(0);
		mixer.PlayCommonSound(COMMON_SOUND_ATTACK);
		mixer.PlayMusic(0);
		mixer.ChangeMusic(0, 500);
		mixer.FadeOutMusic(10);
		EXPECT_FALSE(mixer.IsMusicPlaying());
	}
	EXPECT_EQ(0, Mix_Playing(-1));
	EXPECT_TRUE(playing.IsMusicPlaying());
	EXPECT_EQ(0, Mix_FadingMusic());
	EXPECT_EQ("", log.Text());
}

TEST(SharedLibrary, AMissingLibraryOrFunctionIsNamedAndLeavesTheFunctionNull)
{
	int (*function)() = &Mix_PlayingMusic;
	TSharedLibrary missing("libmorvaleth-missing.so.0");
	missing.Find("Mix_PlayingMusic", function);
	EXPECT_EQ(nullptr, function);
	EXPECT_NE(std::string::npos, missing.Error().find("libmorvaleth-missing.so.0")) << missing.Error();

	TSharedLibrary mixer("libSDL_mixer-1.2.so.0");
	int (*playing)() = nullptr;
	mixer.Find("Mix_PlayingMusic", playing);
	EXPECT_EQ(&Mix_PlayingMusic, playing) << "the library the tests link is the one loaded";
	EXPECT_EQ("", mixer.Error());
	mixer.Find("Mix_NoSuchFunction", function);
	EXPECT_EQ(nullptr, function);
	EXPECT_NE(std::string::npos, mixer.Error().find("Mix_NoSuchFunction")) << mixer.Error();
}
