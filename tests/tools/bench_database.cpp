// Times the scenario database load: the sample scenario, and a generated large
// scenario (200 areas, 50 masters, 100 magic) written to a temporary folder.
// Usage: bench_database [source tree]; prints the best and mean load times.

#include "model/MorvalethData.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <sstream>
#include <string>

namespace fs = boost::filesystem;

namespace
{
const int RUNS = 20;
const double GOAL_MS = 50.0;

std::string MagicTable(int count)
{
	std::ostringstream out;
	out << "<MagicList>\n";
	for (int i = 0; i < count; ++i) {
		out << "<Magic id=\"magic" << i << "\" groupid=\"" << (i % 3 == 0 ? "dark" : i % 3 == 1 ? "fire" : "light")
			<< "\" limit=\"" << i % 4 << "\"><Name>Magic " << i << "</Name><Guidance>Guidance text " << i << "</Guidance>"
			<< "<Entry specialid=\"firebolt\" rank=\"1\"/><Entry specialid=\"heal\" rank=\"3\"/></Magic>\n";
	}
	return out.str() + "</MagicList>\n";
}

std::string MasterData(int count)
{
	std::ostringstream out;
	out << "<MasterList><Character><Directory>DefChar</Directory><Directory>Element</Directory>"
		<< "<Directory>Extra</Directory><Directory>Large</Directory></Character>"
		<< "<CommonMusic><EventMusic>event.wav</EventMusic><DecisiveMusic>decisive.wav</DecisiveMusic></CommonMusic>\n";
	for (int i = count - 1; i >= 0; --i) {
		out << "<Master id=\"master" << i << "\"><Name>Master " << i << "</Name><PowerMapColor>FF" << std::hex
			<< (0x102030 + i * 0x010101) << std::dec << "</PowerMapColor><Music>m" << i << ".wav</Music>"
			<< "<BattleMusic>b.wav</BattleMusic><FlagFile>flag" << i << ".png</FlagFile></Master>\n";
	}
	return out.str() + "</MasterList>\n";
}

std::string PowerMap(int count)
{
	std::ostringstream out;
	out << "<PowerMap><Image><File>powermap.png</File></Image><AreaList>\n";
	for (int i = count - 1; i >= 0; --i) {
		out << "<Area id=\"A" << i << "\"><PaintPoint x=\"" << 1 + i % 20 * 8 << "\" y=\"" << 1 + i / 20 * 8
			<< "\"/><PaintPoint x=\"" << 2 + i % 20 * 8 << "\" y=\"" << 2 + i / 20 * 8 << "\"/></Area>\n";
	}
	return out.str() + "</AreaList></PowerMap>\n";
}

/// A copy of the sample with large magic, master and power map files, and a
/// character folder holding the masters' characters.
fs::path WriteLargeScenario(const fs::path& sample)
{
	const fs::path folder = CopySampleScenario(sample, "bench-database", true);
	std::string masters = "<CharacterList>\n";
	for (int i = 0; i < 50; ++i)
		masters += MasterCharacterLike(folder, "master" + std::to_string(i));
	fs::create_directories(folder / "Large");
	WriteFile((folder / "Large/CharacterData.xml").string(), masters + "</CharacterList>\n");
	WriteFile((folder / "Data/MagicTable.xml").string(), MagicTable(100));
	WriteFile((folder / "Data/MasterData.xml").string(), MasterData(50));
	WriteFile((folder / "Data/PowerMap.xml").string(), PowerMap(200));
	return folder;
}

/// Loads the scenario RUNS times; false when a load fails.
bool Measure(const char* label, const fs::path& folder)
{
	TRunTimes times;
	if (!TimeRuns(RUNS, [&folder] { return TMorvalethData().Load(folder.string(), 0); }, times)) {
		std::printf("%s: load failed (see log.txt)\n", label);
		return false;
	}
	PrintRunTimes(label, times, RUNS, GOAL_MS);
	return true;
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path sample = source / "data/Scenario/Default";
	const fs::path large = WriteLargeScenario(sample);
	const bool ok = Measure("sample", sample) && Measure("large", large);
	fs::remove_all(large.parent_path());
	return ok ? 0 : 1;
}
