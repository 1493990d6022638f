#ifndef MORVALETH_TESTS_LARGESCENARIO_H
#define MORVALETH_TESTS_LARGESCENARIO_H

#include <boost/filesystem/path.hpp>
#include <string>

// Pieces the benchmarks use to grow the sample scenario into a large one.

/// Copies the sample scenario to a fresh folder "Large" under the system's temporary
/// folder (named after the tag); only XML and text files when dataOnly is set.
boost::filesystem::path CopySampleScenario(const boost::filesystem::path& sample, const std::string& tag, bool dataOnly);

/// Inserts the text before the closing tag of the file's root element.
void AppendToRoot(const boost::filesystem::path& path, const std::string& closingTag, const std::string& text);

/// The sample's master character "leon" of the scenario folder, as XML under another id.
std::string MasterCharacterLike(const boost::filesystem::path& scenario, const std::string& id);

/// Size of the large game at scale 1: a grid of 20 x 10 areas, 50 masters holding 4 areas each,
/// 10 characters stationed in each area.
const int LARGE_GRID_WIDTH = 20;
const int LARGE_GRID_HEIGHT = 10;
const int LARGE_MASTERS = 50;

/// A copy of the sample (see CopySampleScenario) whose only chapter is the large game grown by the
/// scale: the grid has scale times as many rows and there are scale times as many masters. Every
/// area has a battle map of its own with start points for each neighbour; master m holds areas
/// 4m .. 4m + 3 with its character in the first, and every second pair of masters is allied.
boost::filesystem::path WriteLargeGame(const boost::filesystem::path& sample, const std::string& tag, bool dataOnly,
	int scale = 1);

#endif
