#include "support/WaveFuzz.h"

#include "media/MixerLibrary.h"
#include "media/MorvalethMixer.h"
#include "platform/SharedLibrary.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <atomic>
#include <boost/filesystem.hpp>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>

namespace fs = boost::filesystem;

namespace
{
/// Offset and width of each number of the sample's headers: RIFF size, fmt size, format, channels, rate,
/// byte rate, block alignment, bits, data size. Every sample file has its fmt chunk at 12 and its data at 36.
const std::pair<std::size_t, int> HEADER_FIELDS[] = {{4, 4}, {16, 4}, {20, 2}, {22, 2}, {24, 4}, {28, 4}, {32, 2},
	{34, 2}, {40, 4}};
const std::pair<std::size_t, int> SIZE_FIELDS[] = {{4, 4}, {16, 4}, {40, 4}};
const std::size_t FMT_CHUNK = 12;
const std::size_t DATA_CHUNK = 36;
const std::size_t HEADER_END = 44;
/// Names of the chunks a damage adds.
const char* const CHUNK_NAMES[] = {"LIST", "fact", "junk", "data", "fmt "};

/// Mixes SDL_mixer has finished since the device opened.
std::atomic<long> g_Mixes(0);

void CountMix(void*, Uint8*, int)
{
	++g_Mixes;
}

std::size_t Below(std::mt19937& random, std::size_t count)
{
	return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
}

std::uint32_t ReadNumber(const std::string& file, std::size_t at, int bytes)
{
	std::uint32_t value = 0;
	for (int i = 0; i < bytes && at + i < file.size(); ++i)
		value |= std::uint32_t(static_cast<unsigned char>(file[at + i])) << (8 * i);
	return value;
}

/// Writes the number where the file has room for it.
void WriteNumber(std::string& file, std::size_t at, std::uint32_t value, int bytes)
{
	for (int i = 0; i < bytes && at + i < file.size(); ++i)
		file[at + i] = char((value >> (8 * i)) & 0xFF);
}

/// A header number set to an edge value, a neighbour of its own or a random one.
void DamageField(std::mt19937& random, std::string& file)
{
	const auto& field = HEADER_FIELDS[Below(random, std::size(HEADER_FIELDS))];
	const std::uint32_t old = ReadNumber(file, field.first, field.second);
	const std::uint32_t values[] = {0, 1, old + 1, old - 1, old * 2, old / 2, 0xFFFFFFFFu, std::uint32_t(random())};
	WriteNumber(file, field.first, values[Below(random, std::size(values))], field.second);
}

/// A chunk size just around what the file holds, or far past it.
void DamageSize(std::mt19937& random, std::string& file)
{
	const auto& field = SIZE_FIELDS[Below(random, std::size(SIZE_FIELDS))];
	const std::uint32_t rest = std::uint32_t(file.size() - std::min(file.size(), field.first + 4));
	const std::uint32_t values[] = {rest - 1, rest, rest + 1, rest + 2, 0, 0x7FFFFFFFu, 0xFFFFFFF0u};
	WriteNumber(file, field.first, values[Below(random, std::size(values))], field.second);
}

/// The file cut, half of the time inside its header.
void Truncate(std::mt19937& random, std::string& file)
{
	file.resize(Below(random, 1 + (Below(random, 2) == 0 ? std::min(file.size(), HEADER_END + 4) : file.size())));
}

/// Chunks in another order: data before fmt, fmt gone or twice, or a chunk of a few bytes (whose size may
/// lie) before fmt or before data.
void Reorder(std::mt19937& random, std::string& file)
{
	if (file.size() < HEADER_END)
		return;
	const std::string fmt = file.substr(FMT_CHUNK, DATA_CHUNK - FMT_CHUNK);
	switch (Below(random, 4)) {
	case 0:
		file = file.substr(0, FMT_CHUNK) + file.substr(DATA_CHUNK) + fmt;
		break;
	case 1:
		file.erase(FMT_CHUNK, fmt.size());
		break;
	case 2:
		file.insert(DATA_CHUNK, fmt);
		break;
	default: {
		const std::size_t size = Below(random, 9);
		std::string chunk = CHUNK_NAMES[Below(random, std::size(CHUNK_NAMES))] + std::string(4, '\0') + std::string(size, 'x');
		WriteNumber(chunk, 4, std::uint32_t(size + Below(random, 2)), 4);
		file.insert(Below(random, 2) == 0 ? FMT_CHUNK : DATA_CHUNK, chunk);
	}
	}
}

/// A few bytes of the header set to random values.
void FlipBytes(std::mt19937& random, std::string& file)
{
	for (std::size_t n = 1 + Below(random, 4); n > 0 && !file.empty(); --n)
		file[Below(random, std::min(file.size(), HEADER_END))] = char(random());
}

void Damage(std::mt19937& random, std::string& file)
{
	void (*const damages[])(std::mt19937&, std::string&) = {DamageField, DamageSize, Truncate, Reorder, FlipBytes};
	damages[Below(random, std::size(damages))](random, file);
}
}

TWaveFuzz::TWaveFuzz(const std::string& soundFolder)
{
	for (fs::directory_iterator it(soundFolder), end; it != end; ++it) {
		if (it->path().extension() == ".wav")
			m_Files.emplace_back(it->path().filename().string(), ReadFile(it->path().string()));
	}
	std::sort(m_Files.begin(), m_Files.end());
	if (m_Files.empty())
		throw std::runtime_error("no WAV file in " + soundFolder);
}

TWaveFuzz::~TWaveFuzz()
{
	if (m_AudioOpen) {
		MixerLibrary()->CloseAudio();
		SDL_QuitSubSystem(SDL_INIT_AUDIO);
	}
}

void TWaveFuzz::OpenAudio()
{
	if (m_AudioOpen)
		return;
	setenv("SDL_AUDIODRIVER", "dummy", 1);
	void (*setPostMix)(void (*)(void*, Uint8*, int), void*) = nullptr;
	TSharedLibrary("libSDL_mixer-1.2.so.0").Find("Mix_SetPostMix", setPostMix);
	const TMixerLibrary* mix = MixerLibrary();
	if (!mix || !setPostMix || SDL_InitSubSystem(SDL_INIT_AUDIO) != 0 || mix->OpenAudio(44100, AUDIO_S16SYS, 2, 256) != 0)
		throw std::runtime_error(std::string("the silent audio device does not open: ") + SDL_GetError());
	setPostMix(CountMix, nullptr);
	m_AudioOpen = true;
}

void TWaveFuzz::WaitForMixes() const
{
	const long start = g_Mixes;
	while (g_Mixes < start + 2)
		SDL_Delay(1);
}

bool TWaveFuzz::Run(std::mt19937& random, const std::string& path, std::string& input)
{
	OpenAudio();
	const auto& original = m_Files[Below(random, m_Files.size())];
	input = original.first;
	std::string bytes = original.second;
	for (std::size_t n = 1 + Below(random, 2); n > 0; --n)
		Damage(random, bytes);
	WriteFile(path, bytes);
	TMorvalethMixer mixer(true);
	const int sound = mixer.LoadSound(path);
	const int music = mixer.LoadMusic(path);
	mixer.PlaySound(sound);
	mixer.PlayMusic(music);
	if (sound >= 0 || music >= 0)
		WaitForMixes();
	return sound >= 0 && music >= 0;
}
