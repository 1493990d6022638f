#include "support/LargeScenario.h"

#include "support/TestSupport.h"

#include <algorithm>
#include <boost/filesystem.hpp>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const int AREAS_PER_MASTER = LARGE_GRID_WIDTH * LARGE_GRID_HEIGHT / LARGE_MASTERS;
const int CHARAS_PER_AREA = 10;
const int MAP_WIDTH = 16;
const int MAP_HEIGHT = 12;
const int START_POINTS = 20;

std::string MasterId(int m)
{
	return "boss" + std::to_string(m);
}

std::string AreaId(int i)
{
	return "A" + std::to_string(1000 + i);
}

/// Neighbours of area i of a grid of the given rows: left, right, above, below.
std::vector<int> Neighbors(int i, int rows)
{
	const int x = i % LARGE_GRID_WIDTH;
	const int y = i / LARGE_GRID_WIDTH;
	std::vector<int> found;
	if (x > 0)
		found.push_back(i - 1);
	if (x + 1 < LARGE_GRID_WIDTH)
		found.push_back(i + 1);
	if (y > 0)
		found.push_back(i - LARGE_GRID_WIDTH);
	if (y + 1 < rows)
		found.push_back(i + LARGE_GRID_WIDTH);
	return found;
}

/// Object number of a map cell: a castle in the middle, cities around it, a wall round them, a road across.
int MapObject(int x, int y)
{
	const int dx = std::abs(x - MAP_WIDTH / 2);
	const int dy = std::abs(y - MAP_HEIGHT / 2);
	const int ring = std::max(dx, dy);
	if (ring == 0)
		return 4;
	if (ring <= 2)
		return 1;
	if (dy == 0)
		return 3;
	return ring == 3 ? 2 : 0;
}

/// A battle map file for area i, with a set of start points on the top rows for each neighbour.
std::string BattleMap(int i, int rows)
{
	std::ostringstream out;
	out << "<BattleMap Width=\"" << MAP_WIDTH << "\" Height=\"" << MAP_HEIGHT << "\" City=\"0\" Wall=\"0\" Road=\"0\">\n";
	for (const char* layer : {"MapChip", "MapObject", "MapObjectNo", "MapHeight"}) {
		out << "<" << layer << ">";
		for (int y = 0; y < MAP_HEIGHT; ++y) {
			out << "<L" << y << ">";
			for (int x = 0; x < MAP_WIDTH; ++x)
				out << (x ? "," : "") << (std::string(layer) == "MapObject" ? MapObject(x, y) : 0);
			out << "</L" << y << ">";
		}
		out << "</" << layer << ">\n";
	}
	out << "<NeighborArea>";
	for (int neighbor : Neighbors(i, rows)) {
		out << "<Area id=\"" << AreaId(neighbor) << "\">";
		for (int p = 0; p < START_POINTS; ++p)
			out << "<Point" << p << " x=\"" << p % MAP_WIDTH << "\" y=\"" << p / MAP_WIDTH << "\"/>";
		out << "</Area>";
	}
	out << "</NeighborArea></BattleMap>\n";
	return out.str();
}

std::string AreaElement(int i, int rows)
{
	std::ostringstream out;
	out << "<Area id=\"" << AreaId(i) << "\"><Name>Area " << i << "</Name><AreaCharacter><Inhabit>"
		<< "<Character id=\"militia\"/><Character id=\"bandit\"/></Inhabit><Employable><Character id=\"soldier\"/>"
		<< "</Employable></AreaCharacter><BaseIncome>" << 10 + i % 7 << "</BaseIncome><City max=\"12\" value=\"0\"/>"
		<< "<Wall max=\"10\" ini=\"50\" value=\"0\"/><Road max=\"6\" value=\"0\"/><InhabitCost value=\"100\"/>"
		<< "<Location x=\"" << 16 + i % LARGE_GRID_WIDTH * 32 << "\" y=\"" << 16 + i / LARGE_GRID_WIDTH * 32 << "\"/>";
	for (int neighbor : Neighbors(i, rows))
		out << "<NeighborArea>" << AreaId(neighbor) << "</NeighborArea>";
	out << "<Music>event.wav</Music><BattleMapFile>BM_" << AreaId(i) << ".xml</BattleMapFile></Area>\n";
	return out.str();
}

/// The chapter: master m holds areas m x 4 .. m x 4 + 3, its character and nine troops in each.
std::string Chapter(int masters)
{
	const char* const troops[] = {"soldier", "knight", "archer", "militia", "bandit"};
	std::ostringstream out;
	out << "<Chapter><Name>Large</Name><Explanation>Generated</Explanation><Turn>1</Turn>\n";
	for (int m = 0; m < masters; ++m)
		out << "<Master id=\"" << MasterId(m) << "\"><Handle>h</Handle><Diffculty>d</Diffculty><Explanation>e</Explanation></Master>\n";
	for (int i = 0; i < masters * AREAS_PER_MASTER; ++i) {
		const int m = i / AREAS_PER_MASTER;
		out << "<Area id=\"" << AreaId(i) << "\" master=\"" << MasterId(m) << "\"/>";
		for (int c = 0; c < CHARAS_PER_AREA; ++c) {
			const std::string id = c == 0 && i % AREAS_PER_MASTER == 0 ? MasterId(m) : troops[(i + c) % 5];
			out << "<Character id=\"" << id << "\" area=\"" << AreaId(i) << "\" rank=\"" << c % 3 << "\"/>";
		}
		out << "\n";
	}
	for (int m = 1; m < masters; m += 2)
		out << "<Alliance id1=\"" << MasterId(m - 1) << "\" id2=\"" << MasterId(m) << "\" turn=\"" << (m % 4 == 1 ? "infinite" : "5") << "\"/>\n";
	return out.str() + "</Chapter>\n";
}
}

fs::path CopySampleScenario(const fs::path& sample, const std::string& tag, bool dataOnly)
{
	const fs::path folder = fs::temp_directory_path() / fs::unique_path(tag + "-%%%%-%%%%") / "Large";
	fs::create_directories(folder);
	for (fs::recursive_directory_iterator it(sample), end; it != end; ++it) {
		const fs::path target = folder / fs::relative(it->path(), sample);
		const std::string extension = it->path().extension().string();
		if (fs::is_directory(it->path()))
			fs::create_directories(target);
		else if (!dataOnly || extension == ".xml" || extension == ".txt")
			fs::copy_file(it->path(), target);
	}
	return folder;
}

void AppendToRoot(const fs::path& path, const std::string& closingTag, const std::string& text)
{
	std::string content = ReadFile(path.string());
	content.insert(content.rfind(closingTag), text);
	WriteFile(path.string(), content);
}

std::string MasterCharacterLike(const fs::path& scenario, const std::string& id)
{
	const std::string text = ReadFile((scenario / "DefChar/CharacterData.xml").string());
	const std::string open = "<Character id=\"leon\">";
	const std::string close = "</Character>";
	const std::size_t begin = text.find(open);
	const std::size_t end = text.find(close, begin) + close.size();
	return "<Character id=\"" + id + "\">" + text.substr(begin + open.size(), end - begin - open.size()) + "\n";
}

fs::path WriteLargeGame(const fs::path& sample, const std::string& tag, bool dataOnly, int scale)
{
	const fs::path folder = CopySampleScenario(sample, tag, dataOnly);
	const int masters = LARGE_MASTERS * scale;
	const int rows = LARGE_GRID_HEIGHT * scale;
	std::string masterList;
	std::string charas;
	for (int m = 0; m < masters; ++m) {
		charas += MasterCharacterLike(folder, MasterId(m));
		masterList += "<Master id=\"" + MasterId(m) + "\"><Name>" + MasterId(m)
			+ "</Name><PowerMapColor>FF102030</PowerMapColor><FlagFile>flag_leon.png</FlagFile></Master>\n";
	}
	AppendToRoot(folder / "DefChar/CharacterData.xml", "</CharacterList>", charas);
	AppendToRoot(folder / "Data/MasterData.xml", "</MasterList>", masterList);
	std::string areas = "<AreaList>\n";
	std::string paint;
	for (int i = 0; i < LARGE_GRID_WIDTH * rows; ++i) {
		areas += AreaElement(i, rows);
		paint += "<Area id=\"" + AreaId(i) + "\"><PaintPoint x=\"" + std::to_string(1 + i) + "\" y=\"1\"/></Area>\n";
		WriteFile((folder / ("Data/BM_" + AreaId(i) + ".xml")).string(), BattleMap(i, rows));
	}
	WriteFile((folder / "Data/AreaData.xml").string(), areas + "</AreaList>\n");
	AppendToRoot(folder / "Data/PowerMap.xml", "</AreaList>", paint);
	WriteFile((folder / "Data/Scenario1.xml").string(), Chapter(masters));
	fs::remove(folder / "Data/Scenario2.xml");
	return folder;
}
