#ifndef MORVALETH_TESTS_LOADERFUZZ_H
#define MORVALETH_TESTS_LOADERFUZZ_H

#include "model/MorvalethData.h"

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

class TMorvalethGame;
class TMutator;
class TWaveFuzz;

/// How one round of the fuzz run ended.
struct TFuzzRound
{
	/// The input the round damaged: a scenario file, "save", "slot N", "ini", a sample WAV file or a script's code.
	std::string input;
	/// Every loader the damaged input reached took it.
	bool accepted = false;
	/// What went wrong, empty when nothing did: a refusal that names no file, a game that cannot be saved,
	/// a save that does not load back the same game, a configuration that does not read back the same.
	std::string fault;
	/// Wall-clock time of the round.
	double milliseconds = 0;
};

/// Damages the loaders' inputs one round at a time and checks what the loaders make of them: a copy of the
/// sample scenario whose files are damaged one round at a time, a save of a played game, a configuration file, and
/// the sample's WAV files, loaded through the mixer.
/// An accepted scenario becomes a new game that plays a turn, is saved, loaded and compared; so does an accepted save.
class TLoaderFuzz
{
public:
	/// Copies the sample's data files into a scratch folder and prepares the save and the configuration; the
	/// program's log is written to the scratch folder's "fuzz.log", one round at a time.
	explicit TLoaderFuzz(const std::string& sampleScenario);
	/// Removes the scratch folder.
	~TLoaderFuzz();

	/// The scratch folder; it must be the working folder while rounds run.
	std::string Folder() const;

	/// Names of the targets: the kinds of scenario file, then "save", "slots", "ini", "wav" and "script".
	static const std::vector<std::string>& Targets();
	/// True for a target name or "all", which takes the targets in turn.
	static bool IsTarget(const std::string& name);

	/// Runs round number round of the target; the same seed and round damage the same way.
	TFuzzRound Run(const std::string& target, unsigned seed, long round);

private:
	/// A scenario file damaged, then the database, a new game and its save and load.
	void RunScenarioRound(const std::string& target, std::mt19937& random, TFuzzRound& result);
	/// The save damaged, loaded into the sample's database, played, saved and loaded again.
	void RunSaveRound(std::mt19937& random, TFuzzRound& result);
	/// A slot file damaged or made a folder, and the slot list read as the save/load window reads it.
	void RunSlotRound(std::mt19937& random, TFuzzRound& result);
	/// The configuration damaged, loaded, saved and read back.
	void RunIniRound(std::mt19937& random, TFuzzRound& result);
	/// A pipe, a link or a folder under the name of the configuration, its temporary file or its backup: the
	/// configuration is refused whole, or the save writes only its own files.
	void RunHostileIniRound(TMutator& mutator, TFuzzRound& result);
	/// A sample WAV file damaged and loaded as a sound and as a music, each played.
	void RunWaveRound(std::mt19937& random, TFuzzRound& result);
	/// Plays a turn of the game, saves it, loads the save into a fresh game and compares the two.
	void PlaySaveAndReload(const TMorvalethData& data, int chapter, TMorvalethGame& game, TFuzzRound& result);
	/// Ends a refused round: a fault when no Error line (or Warning line, when they may tell) names what was refused.
	void CheckRefusal(const std::string& mustName, TFuzzRound& result, bool warningsTell = false) const;
	/// The log of the round so far.
	std::string RoundLog() const;

	/// The copy of the sample in the scratch folder.
	std::string m_Scenario;
	std::string m_LogPath;
	/// Files of each scenario target, relative to the scenario folder.
	std::map<std::string, std::vector<std::string>> m_Files;
	/// The undamaged text of every scenario file.
	std::map<std::string, std::string> m_Originals;
	/// Ids and names of the scenario, for the mutations that repeat them.
	std::vector<std::string> m_Names;
	/// The undamaged sample's database, for the save rounds.
	TMorvalethData m_Data;
	std::string m_SaveText;
	/// The save as the game master writes it into a slot.
	std::string m_SlotText;
	std::string m_IniText;
	/// The sample's WAV files and the audio device of the wav rounds.
	std::unique_ptr<TWaveFuzz> m_Wave;
};

#endif
