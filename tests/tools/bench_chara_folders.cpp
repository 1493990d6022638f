// Times the scenario database load of a scenario with 200 character folders of
// 20 characters each, listed once and then every folder ten times.
// Usage: bench_chara_folders [source tree]; prints the best and mean load times.

#include "model/MorvalethData.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <string>

namespace fs = boost::filesystem;

namespace
{
const int RUNS = 10;
const int FOLDERS = 200;
const int CHARAS_PER_FOLDER = 20;
const int LISTINGS = 10;
const double GOAL_MS = 100.0;

std::string FolderName(int k)
{
	char name[16];
	std::snprintf(name, sizeof name, "F%03d", k);
	return name;
}

/// A copy of the sample with the character folders and MasterData.xml listing each of them the given number of times.
void WriteFolders(const fs::path& scenario)
{
	for (int k = 0; k < FOLDERS; ++k) {
		std::string charas = "<CharacterList>\n";
		for (int i = 0; i < CHARAS_PER_FOLDER; ++i)
			charas += MasterCharacterLike(scenario, FolderName(k) + "_" + std::to_string(i));
		fs::create_directories(scenario / FolderName(k));
		WriteFile((scenario / FolderName(k) / "CharacterData.xml").string(), charas + "</CharacterList>\n");
	}
}

void ListFolders(const fs::path& scenario, const std::string& original, int listings)
{
	std::string directories;
	for (int k = 0; k < FOLDERS; ++k) {
		for (int n = 0; n < listings; ++n)
			directories += "<Directory>" + FolderName(k) + "</Directory>";
	}
	std::string text = original;
	text.insert(text.find("</Character>"), directories);
	WriteFile((scenario / "Data/MasterData.xml").string(), text);
}

/// Loads the scenario RUNS times; the mean time, or a negative one when a load fails.
double Measure(const char* label, const fs::path& folder, double goal)
{
	TRunTimes times;
	if (!TimeRuns(RUNS, [&folder] { return TMorvalethData().Load(folder.string(), 0); }, times)) {
		std::printf("%s: load failed (see log.txt)\n", label);
		return -1;
	}
	PrintRunTimes(label, times, RUNS, goal);
	return times.mean;
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path scenario = CopySampleScenario(source / "data/Scenario/Default", "bench-folders", true);
	const std::string masterData = ReadFile((scenario / "Data/MasterData.xml").string());
	WriteFolders(scenario);
	ListFolders(scenario, masterData, 1);
	const double once = Measure("200 folders of 20 characters", scenario, GOAL_MS);
	ListFolders(scenario, masterData, LISTINGS);
	const double repeated = once < 0 ? -1 : Measure("every folder listed ten times", scenario, 2 * once);
	fs::remove_all(scenario.parent_path());
	return once >= 0 && repeated >= 0 ? 0 : 1;
}
