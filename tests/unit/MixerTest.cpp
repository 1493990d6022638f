#include "media/MorvalethMixer.h"
#include "media/WaveHeader.h"
#include "platform/FileSystem.h"
#include "platform/SharedLibrary.h"

#include "ModelFixture.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>

namespace
{
// Appends a number of the given bytes, least significant first, or most significant first for an AIFF file.
void Append(std::string& file, std::uint32_t value, int bytes, bool bigEndian = false)
{
	for (int i = 0; i < bytes; ++i)
		file += char((value >> (8 * (bigEndian ? bytes - 1 - i : i))) & 0xFF);
}

// Overwrites a little-endian number inside a file.
void Poke(std::string& file, std::size_t at, std::uint32_t value, int bytes)
{
	std::string number;
	Append(number, value, bytes);
	file.replace(at, bytes, number);
}

// A mono 16-bit WAV file of a quiet tone lasting the given milliseconds: fmt at 12, data size at 40, samples at 44.
std::string WaveFile(int milliseconds)
{
	const int rate = 22050;
	const std::uint32_t samples = std::uint32_t(rate) * milliseconds / 1000;
	std::string data;
	for (std::uint32_t i = 0; i < samples; ++i)
		Append(data, std::uint16_t(std::int16_t(2000 * std::sin(i * 0.1))), 2);
	std::string file = "RIFF";
	Append(file, 36 + std::uint32_t(data.size()), 4);
	file += "WAVEfmt ";
	// Size, format, channels, rate, byte rate, block alignment, bits.
	const std::pair<std::uint32_t, int> fields[] = {{16, 4}, {1, 2}, {1, 2}, {rate, 4}, {rate * 2, 4}, {2, 2}, {16, 2}};
	for (const auto& field : fields)
		Append(file, field.first, field.second);
	file += "data";
	Append(file, std::uint32_t(data.size()), 4);
	return file + data;
}

// A mono 16-bit AIFF file of 100 frames at 22050 Hz: channels at 20, the rate's exponent at 28.
std::string AiffFile()
{
	std::string file = "FORM";
	Append(file, 4 + 26 + 16 + 200, 4, true);
	file += "AIFFCOMM";
	Append(file, 18, 4, true);
	Append(file, 1, 2, true);
	Append(file, 100, 4, true);
	Append(file, 16, 2, true);
	file += std::string("\x40\x0D\xAC\x44\0\0\0\0\0\0", 10) + "SSND";
	Append(file, 8 + 200, 4, true);
	return file + std::string(8 + 200, '\0');
}

// A Creative Voice file of one block of 16-bit mono sound at 22050 Hz: the block's rate at 30, its channels at 35.
std::string VocFile()
{
	std::string file = std::string("Creative Voice File\x1A", 20);
	Append(file, 26, 2), Append(file, 0x010A, 2), Append(file, 0x1129, 2);
	file += char(9);
	Append(file, 12 + 200, 3), Append(file, 22050, 4), Append(file, 16, 1), Append(file, 1, 1), Append(file, 4, 2);
	return file + std::string(4 + 200, '\0') + char(0);
}

// What the header check says of a file.
std::string Fault(const std::string& bytes)
{
	std::istringstream file(bytes);
	return SoundFileFault(file);
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
	// The fade ends once the mixer has mixed its 100 ms of sound, however long a busy machine takes for that.
	mixer.FadeOutMusic(100);
	while (mixer.IsMusicPlaying())
		SDL_Delay(10);
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

TEST(SoundHeader, HeadersThatWouldCrashSdlOrLieAboutTheFileAreRefusedWithTheReason)
{
	const std::string wave = WaveFile(10);
	// An IMA ADPCM header of 256-byte blocks, each holding up to 505 samples.
	const auto ima = [](std::string& file, std::uint32_t samplesPerBlock) {
		std::string format;
		for (const auto& field : std::vector<std::pair<std::uint32_t, int>>{
				 {20, 4}, {0x11, 2}, {1, 2}, {22050, 4}, {11100, 4}, {256, 2}, {4, 2}, {2, 2}, {samplesPerBlock, 2}})
			Append(format, field.first, field.second);
		file.replace(16, 20, format);
	};
	const struct
	{
		const char* name;
		std::function<void(std::string&)> damage;
		std::string fault;
	} cases[] = {
		{"intact", [](std::string&) {}, ""},
		{"zero channels", [](std::string& f) { Poke(f, 22, 0, 2); }, "0 channels (1 or 2 can be played)"},
		{"five channels", [](std::string& f) { Poke(f, 22, 5, 2); }, "5 channels"},
		{"zero rate", [](std::string& f) { Poke(f, 24, 0, 4); }, "a rate of 0 Hz (1000 to 384000 Hz can be played)"},
		// Too far below the device's rate for SDL's ten conversion filters.
		{"300 Hz", [](std::string& f) { Poke(f, 24, 300, 4), Poke(f, 28, 600, 4); }, "a rate of 300 Hz"},
		{"data past the end", [&](std::string& f) { Poke(f, 40, std::uint32_t(wave.size() - 43), 4); },
			"the 'data' chunk of " + std::to_string(wave.size() - 43) + " bytes runs past the end of the file"},
		{"fmt too short", [](std::string& f) { f.erase(34, 2), Poke(f, 16, 14, 4); }, "a fmt chunk of 14 bytes, fewer than 16"},
		{"block alignment zero", [](std::string& f) { Poke(f, 32, 0, 2); }, "a block alignment of 0 for 1 channels of 16 bits"},
		{"bits zero", [](std::string& f) { Poke(f, 34, 0, 2); }, "0 bits per sample"},
		{"byte rate", [](std::string& f) { Poke(f, 28, 22050, 4); }, "a byte rate of 22050 for 22050 Hz in blocks of 2 bytes"},
		{"cut in the header", [](std::string& f) { f.resize(10); }, "the file ends inside its RIFF header"},
		{"three bytes", [](std::string& f) { f.resize(3); }, "the file holds only 3 bytes"},
		{"cut in fmt", [](std::string& f) { f.resize(30); }, "the 'fmt ' chunk of 16 bytes runs past the end of the file"},
		{"cut before data", [](std::string& f) { f.resize(36); }, "the file ends before its data chunk"},
		{"unknown format", [](std::string& f) { Poke(f, 20, 3, 2); }, "the unknown format 0x0003"},
		{"data first", [](std::string& f) { f = f.substr(0, 12) + f.substr(36) + f.substr(12, 24); },
			"a 'data' chunk where the fmt chunk must stand"},
		{"LIST before fmt, junk before data",
			[](std::string& f) { f.insert(36, std::string("junk\2\0\0\0ab", 10)), f.insert(12, std::string("LIST\4\0\0\0INFO", 12)); }, ""},
		{"IMA ADPCM", [&](std::string& f) { ima(f, 505); }, ""},
		{"IMA ADPCM overfull blocks", [&](std::string& f) { ima(f, 506); }, "506 samples per block, where a block of 256 bytes holds 505"},
		{"IMA ADPCM no blocks", [&](std::string& f) { ima(f, 505), Poke(f, 32, 0, 2); }, "a block alignment of 0, below"},
		{"AIFF", [](std::string& f) { f = AiffFile(); }, ""},
		{"AIFF zero channels", [](std::string& f) { f = AiffFile(), f[21] = 0; }, "0 channels"},
		{"AIFF zero rate", [](std::string& f) { f = AiffFile(), f[28] = 0; }, "a rate of 0 Hz"},
		{"AIFF cut", [](std::string& f) { f = AiffFile(), f.resize(100); }, "the 'SSND' chunk of 208 bytes runs past the end of the file"},
		{"VOC", [](std::string& f) { f = VocFile(); }, ""},
		{"VOC zero channels", [](std::string& f) { f = VocFile(), f[35] = 0; }, "0 channels"},
		{"VOC 1 Hz", [](std::string& f) { f = VocFile(), Poke(f, 30, 1, 4); }, "a rate of 1 Hz"},
		// SDL_mixer divides the rate of a mono extended block by the channels it has yet: none.
		{"VOC mono extended block", [](std::string& f) { f = VocFile(), f.insert(26, std::string("\x08\x04\0\0\xA6\xD2\0\0", 8)); },
			"a mono extended block before any sound"},
		{"VOC cut", [](std::string& f) { f = VocFile(), f.resize(100); }, "a block of type 9 and 212 bytes runs past the end of the file"},
		{"another kind of file", [](std::string& f) { f.replace(0, 4, "OggS"); }, ""},
	};
	for (const auto& test : cases) {
		std::string file = wave;
		test.damage(file);
		EXPECT_EQ(test.fault, Fault(file).substr(0, test.fault.size())) << test.name << ": " << Fault(file);
		EXPECT_EQ(test.fault.empty(), Fault(file).empty()) << test.name << ": " << Fault(file);
	}
	int sampleSounds = 0;
	for (boost::filesystem::directory_iterator it(SampleScenario() + "/MusicAndSound"), end; it != end; ++it) {
		std::ifstream file(it->path().string(), std::ios::binary);
		EXPECT_EQ("", SoundFileFault(file)) << it->path();
		++sampleSounds;
	}
	EXPECT_LE(15, sampleSounds);
}

TEST_F(Mixer, ASoundWhoseHeaderWouldCrashSdlStaysSilentWithAWarningNamingIt)
{
	TCapturedLog log;
	TMorvalethMixer mixer(true);
	std::string file = WaveFile(100);
	Poke(file, 22, 0, 2);
	Poke(file, 24, 0, 4);
	const std::string path = m_Dir / "zero.wav";
	WriteFile(path, file);
	EXPECT_EQ(-1, mixer.LoadSound(path));
	EXPECT_EQ(-1, mixer.LoadMusic(path));
	EXPECT_FALSE(mixer.LoadCommonSound(COMMON_SOUND_ATTACK, path));
	EXPECT_EQ(3, log.CountLines("Warning TMorvalethMixer::IsSafeToLoad:")) << log.Text();
	EXPECT_EQ(3, log.CountLines(path + " cannot be played and stays silent: 0 channels")) << log.Text();
	EXPECT_EQ(0, CountErrors(log));
	mixer.PlaySound(-1);
	mixer.PlayCommonSound(COMMON_SOUND_ATTACK);
	mixer.PlayMusic(-1);
	EXPECT_EQ(0, Mix_Playing(-1));
	EXPECT_FALSE(mixer.IsMusicPlaying());
	EXPECT_EQ(0, mixer.LoadSound(m_Dir / "short.wav")) << "nothing was kept of the refused file";
	// A pipe under a sound's name would hold the load for good.
	const std::string pipe = m_Dir / "pipe.wav";
	ASSERT_EQ(0, ::mkfifo(pipe.c_str(), 0600));
	EXPECT_EQ(-1, mixer.LoadSound(pipe));
	EXPECT_EQ(-1, mixer.LoadMusic(pipe));
	EXPECT_EQ(2, log.CountLines(pipe + " cannot be played and stays silent: it is no regular file")) << log.Text();
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
