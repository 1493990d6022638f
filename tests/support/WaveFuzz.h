#ifndef MORVALETH_TESTS_WAVEFUZZ_H
#define MORVALETH_TESTS_WAVEFUZZ_H

#include <random>
#include <string>
#include <utility>
#include <vector>

/// Damages one of the sample's WAV files a round at a time and loads it through the mixer as a game with
/// sound and music on does, on SDL's silent audio driver: as a sound effect and as a music, each played.
class TWaveFuzz
{
public:
	/// Reads the WAV files of the folder; the audio device opens at the first round.
	explicit TWaveFuzz(const std::string& soundFolder);
	/// Closes the audio device if a round opened it.
	~TWaveFuzz();
	TWaveFuzz(const TWaveFuzz&) = delete;
	TWaveFuzz& operator=(const TWaveFuzz&) = delete;

	/// Writes a damaged copy of one file to path and loads it; input names the file damaged, and the
	/// answer is whether the sound and the music both took it.
	bool Run(std::mt19937& random, const std::string& path, std::string& input);

private:
	/// Opens the device as the game does, with short buffers, so that waiting for a mix takes milliseconds.
	void OpenAudio();
	/// Waits until SDL_mixer has mixed twice since the call, so that whatever was started has played.
	void WaitForMixes() const;

	/// Name and bytes of each of the sample's WAV files.
	std::vector<std::pair<std::string, std::string>> m_Files;
	bool m_AudioOpen = false;
};

#endif
