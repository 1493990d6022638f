// Times the save-slot list over ten hostile slots and a large valid save, and the XML guard on that save.
// The large save is the game grown from the sample by the scale (20 x 10 x scale areas, each with its battle
// map), written as the game master writes it. The hostile slots are an oversize file, bombs of empty
// elements, of "<!>" tags, of comments and of attributes, deep nesting, a pipe, a folder, a binary file
// and a save whose caption lies past its head.
// Usage: bench_slots [scale [source tree]] (scale 1 to 19: at 20 the masters pass their limit);
// prints the slots' captions, the times and the save's shape.

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "app/XmlGuard.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"

#include <boost/filesystem.hpp>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <tinyxml.h>

namespace fs = boost::filesystem;

namespace
{
const int RUNS = 3;
const char* const CAPTION = "<Save><Scenario>Large</Scenario><Date>2026/01/02 03:04:05</Date><Digest>bomb</Digest>";

void WriteText(const fs::path& path, const std::string& text)
{
	std::ofstream(path.string(), std::ios::binary) << text;
}

/// The caption followed by the piece repeated count times.
std::string Bomb(const std::string& piece, long count)
{
	std::string text = CAPTION;
	text.reserve(text.size() + piece.size() * count);
	for (long i = 0; i < count; ++i)
		text += piece;
	return text;
}

/// An element with 256 attributes.
std::string WideElement()
{
	std::string element = "<a";
	for (int i = 0; i < 256; ++i)
		element += " b" + std::to_string(i) + "=''";
	return element + "/>";
}

/// Nine hostile slots 0..8 in the folder.
void WriteHostileSlots(const fs::path& folder)
{
	const auto slot = [&](int n) { return fs::path(TDremoGameMaster::GetSaveFilePath(folder.string(), n)); };
	WriteText(slot(0), CAPTION);
	fs::resize_file(slot(0), MAX_DATA_FILE_BYTES + 1);
	WriteText(slot(1), Bomb("<a/>", 3990000));
	WriteText(slot(2), Bomb("<!>", 80000000));
	WriteText(slot(3), Bomb("<!---->", 30000000));
	WriteText(slot(4), Bomb(WideElement(), 15000));
	WriteText(slot(5), Bomb("<a>", 1000000));
	::mkfifo(slot(6).c_str(), 0600);
	fs::create_directory(slot(7));
	WriteText(slot(8), "<Save><Date>d</Date><Digest>" + std::string(50u << 20, 'x') + "</Digest></Save>");
}

/// The large game written into slot 9 as the game master writes a save, with its caption first.
bool WriteLargeSave(const TMorvalethGame& game, const fs::path& folder)
{
	TiXmlDocument document;
	TiXmlElement* root = new TiXmlElement("Save");
	document.LinkEndChild(root);
	for (const char* name : {"Scenario", "Date", "Digest"}) {
		TiXmlElement* child = new TiXmlElement(name);
		child->LinkEndChild(new TiXmlText(name));
		root->LinkEndChild(child);
	}
	return game.SaveToXML(root) && document.SaveFile(TDremoGameMaster::GetSaveFilePath(folder.string(), 9).c_str());
}

bool Measure(const char* label, const std::function<bool()>& step)
{
	TRunTimes times;
	if (!TimeRuns(RUNS, step, times))
		return false;
	std::printf("%-40s best %9.1f ms  mean %9.1f ms\n", label, times.best, times.mean);
	return true;
}
}

int main(int argc, char** argv)
{
	const int scale = argc > 1 ? std::atoi(argv[1]) : 10;
	const fs::path source = argc > 2 ? fs::path(argv[2]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path large = WriteLargeGame(source / "data/Scenario/Default", "bench-slots", true, scale);
	const fs::path folder = large.parent_path() / "Save";
	fs::create_directories(folder);
	g_Logger.SetLevel(1);
	TMorvalethData data;
	TMorvalethGame game;
	bool ok = data.Load(large.string(), 0) && game.LoadNew(&data, large.string(), 0, 3);
	if (ok) {
		game.ActivateNextMaster();
		ok = WriteLargeSave(game, folder);
	}
	WriteHostileSlots(folder);
	std::vector<std::string> labels;
	ok = ok && Measure("slot list of ten slots", [&] {
		TDremoGameMaster::ReadSaveSlotLabels(folder.string(), labels, 10);
		return labels.size() == 10;
	});
	for (std::size_t i = 0; ok && i < labels.size(); ++i)
		std::printf("  slot %zu: %.60s\n", i, labels[i].c_str());
	const std::string save = TDremoGameMaster::GetSaveFilePath(folder.string(), 9);
	std::string text;
	std::string reason;
	TRunTimes guard;
	ok = ok && TimeRuns(RUNS, [&] { return ReadXmlText(save, text, reason) == TXmlFileState::Loaded; }, guard);
	const TXmlShape shape = MeasureXml(text.c_str(), {INT_MAX, INT_MAX, LONG_MAX, LONG_MAX});
	std::printf("large save: %d areas, %.1f MB, %ld elements, %ld nodes\n", game.GetAreaCount(),
		text.size() / 1048576.0, shape.elements, shape.nodes);
	std::printf("guard on the large save: best %.1f ms, %.0f MB/s\n", guard.best,
		text.size() / 1048576.0 / (guard.best / 1000.0));
	TiXmlDocument document;
	ok = ok && Measure("guard and parse of the large save", [&] { return LoadXmlFile(document, save) == TXmlFileState::Loaded; });
	ok = ok && Measure("whole load of the large save", [&] {
		TMorvalethGame loaded;
		return LoadXmlFile(document, save) == TXmlFileState::Loaded
			&& loaded.LoadSaved(&data, large.string(), 0, document.FirstChildElement("Save"));
	});
	fs::remove_all(large.parent_path());
	if (!ok) {
		std::printf("the large game could not be built, saved or loaded (see log.txt)\n");
		return 1;
	}
	return 0;
}
