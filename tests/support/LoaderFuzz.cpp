#include "support/LoaderFuzz.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "common/babel/babel.h"
#include "model/DataFile.h"
#include "model/MorvalethGame.h"
#include "support/GameDescription.h"
#include "support/LargeScenario.h"
#include "support/Mutations.h"
#include "support/RunTimes.h"
#include "support/ScriptFuzz.h"
#include "support/TestSupport.h"
#include "support/WaveFuzz.h"

#include <algorithm>
#include <boost/filesystem.hpp>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <tinyxml.h>

namespace fs = boost::filesystem;

namespace
{
const char* const SAVE_FOLDER = "Save";
const char* const SAVE_FILE = "Save/save00.xml";
const int SLOT_COUNT = 10;
/// What the game master writes before the game's own elements.
const char* const SLOT_HEADER = "<Save><Scenario>Large</Scenario><Date>2026/01/02 03:04:05.000006</Date>"
								"<Digest>Large leon 1</Digest><Chapter index=\"0\" />";
const char* const INI_FILE = "fuzz.ini";
const char* const WAVE_FILE = "damaged.wav";

/// The scenario targets and the files of the sample each damages; a name ending in "/" stands for every character folder.
const std::pair<const char*, std::vector<std::string>> SCENARIO_TARGETS[] = {
	{"data", {"Data/MagicTable.xml", "Data/MagicGroup.xml", "Data/Race.xml", "Data/MapChipType.xml",
		"Data/MoveAndSkill.xml", "Data/Attribute.xml", "Data/Revive.xml", "Data/MasterData.xml", "Data/PowerMap.xml",
		"Data/FieldMap.xml"}},
	{"chara", {"/CharacterData.xml"}},
	{"special", {"/SpecialTable.xml"}},
	{"chapter", {"Data/Scenario1.xml", "Data/Scenario2.xml"}},
	{"area", {"Data/AreaData.xml"}},
	{"battlemap", {"Data/BattleMap_A01.xml", "Data/BattleMap_A02.xml", "Data/BattleMap_A03.xml", "Data/BattleMap_A04.xml",
		"Data/BattleMap_A05.xml", "Data/BattleMap_A06.xml", "Data/BattleMap_A07.xml"}},
	{"scenario", {"Scenario.xml"}},
	{"numbers", {"Data/MapObj.txt", "Data/MapChip.txt"}},
};

/// A configuration with every section the game reads, comments and a key above the first section.
const char* const BASE_INI =
	"# Configuration\n"
	"Version=1\n"
	"[Log]\nLogLevel=3\nLogEveryFlush=1\n"
	"[Window]\nFPS=60\nWidth=800\nHeight=600\nDisableSwapInterval=0\n"
	"\n# Colours are AARRGGBB\n"
	"[GUI]\nFontName=IPAGothic\nFontColor=FFFFFFFF\nWindowColor=FF4040FF\nDoubleClickFrame=30\nScrollbarWidth=16\n"
	"[Mixer]\nMusicEnabled=1\nSoundEnabled=1\n"
	"[Battle]\nAnimationSpeed=3\nTurnMax=10\n"
	"[Shortcut]\nWait=119\nMove=109\n"
	"[File]\nFileNameEncoding=utf-8\n";

/// The random draws of a round: the same seed and round give the same ones.
std::mt19937 RoundRandom(unsigned seed, long round)
{
	std::seed_seq sequence{seed, static_cast<unsigned>(round), static_cast<unsigned>(round >> 32)};
	return std::mt19937(sequence);
}

/// Every scenario file a target damages, found in the copied folder.
std::vector<std::string> TargetFiles(const std::string& scenario, const std::vector<std::string>& patterns)
{
	std::vector<std::string> files;
	for (const std::string& pattern : patterns) {
		if (pattern[0] != '/') {
			files.push_back(pattern);
			continue;
		}
		for (fs::directory_iterator it(scenario), end; it != end; ++it) {
			if (fs::exists(it->path() / pattern.substr(1)))
				files.push_back(it->path().filename().string() + pattern);
		}
	}
	std::sort(files.begin(), files.end());
	return files;
}

/// The current master hires every hero its search found, where it can.
void HireFoundHeroes(TMorvalethGame& game)
{
	int area = -1;
	int chara = -1;
	while (game.PopFoundHero(area, chara))
		game.EmployWanderingChara(area, chara);
}

/// Plays until a second new turn has begun, or every master had its turn twice: standing orders of every kind, found heroes hired.
void PlayTurn(TMorvalethGame& game)
{
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		if (game.GetArea(a).Owner >= 0)
			game.GetArea(a).Operation = a % OPERATION_COUNT;
	}
	int newTurns = 0;
	for (int step = 0; step < 2 * game.GetMasterCount() + 4 && newTurns < 2; ++step) {
		newTurns += game.ActivateNextMaster() ? 1 : 0;
		HireFoundHeroes(game);
	}
}

/// The first line of two descriptions that differs, for the fault text.
std::string FirstDifference(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
	for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
		if (before[i] != after[i])
			return "\n  was: " + before[i] + "\n  now: " + after[i];
	}
	return "\n  lines: " + std::to_string(before.size()) + " and " + std::to_string(after.size());
}

/// Writes a damaged copy of the text to the path.
void WriteDamaged(TMutator& mutator, std::string text, TTextKind kind, const std::string& path)
{
	mutator.Mutate(text, kind);
	WriteFile(path, text);
}

/// Lines of a text as the configuration reads them: each ends at a line feed, a last one may lack it.
std::size_t CountTextLines(const std::string& text)
{
	return std::count(text.begin(), text.end(), '\n') + (!text.empty() && text.back() != '\n' ? 1 : 0);
}

/// The store of a configuration written as a new file, so that two stores compare as texts.
std::string DumpStore(TIniLoader& store, const std::string& path)
{
	fs::remove(path);
	store.SaveToFile(path);
	return ReadFile(path);
}
}

// The data files only: the loaders never open pictures or sounds.
TLoaderFuzz::TLoaderFuzz(const std::string& sampleScenario)
	: m_Scenario(CopySampleScenario(sampleScenario, "fuzz-loaders", true).string()), m_LogPath(Folder() + "/fuzz.log"),
	  m_Wave(new TWaveFuzz(sampleScenario + "/MusicAndSound"))
{
	fs::create_directories(Folder() + "/Save");
	std::set<std::string> names;
	for (const auto& target : SCENARIO_TARGETS) {
		m_Files[target.first] = TargetFiles(m_Scenario, target.second);
		for (const std::string& file : m_Files[target.first]) {
			m_Originals[file] = ReadFile(m_Scenario + "/" + file);
			for (const std::string& value : QuotedValues(m_Originals[file]))
				names.insert(value);
		}
	}
	m_Names.assign(names.begin(), names.end());
	g_Logger.Open(m_LogPath);
	g_Logger.m_FlushEveryLine = true;
	g_Logger.SetLevel(1);
	// Every new turn then also runs the consistency checks.
	g_Config.m_LogLevel = 3;
	TMorvalethGame game;
	SeedRandom(1);
	if (!m_Data.Load(m_Scenario, 0) || !game.LoadNew(&m_Data, m_Scenario, 0, 3))
		throw std::runtime_error("the sample does not load: " + RoundLog());
	game.PlaceAllInhabitants();
	for (int turn = 0; turn < 3; ++turn)
		PlayTurn(game);
	m_SaveText = SaveGameText(game);
	m_SlotText = SLOT_HEADER + m_SaveText.substr(m_SaveText.find("<Save>") + 6);
	m_IniText = BASE_INI;
}

TLoaderFuzz::~TLoaderFuzz()
{
	boost::system::error_code ignored;
	fs::remove_all(Folder(), ignored);
}

std::string TLoaderFuzz::Folder() const
{
	return fs::path(m_Scenario).parent_path().string();
}

const std::vector<std::string>& TLoaderFuzz::Targets()
{
	static const std::vector<std::string> targets = [] {
		std::vector<std::string> names;
		for (const auto& target : SCENARIO_TARGETS)
			names.push_back(target.first);
		names.push_back("save");
		names.push_back("slots");
		names.push_back("ini");
		names.push_back("wav");
		names.push_back("script");
		return names;
	}();
	return targets;
}

bool TLoaderFuzz::IsTarget(const std::string& name)
{
	return name == "all" || std::find(Targets().begin(), Targets().end(), name) != Targets().end();
}

TFuzzRound TLoaderFuzz::Run(const std::string& target, unsigned seed, long round)
{
	const std::string& chosen = target == "all" ? Targets()[round % Targets().size()] : target;
	std::mt19937 random = RoundRandom(seed, round);
	SeedRandom(random());
	g_Logger.Open(m_LogPath);
	TFuzzRound result;
	const TClock::time_point start = TClock::now();
	if (chosen == "save")
		RunSaveRound(random, result);
	else if (chosen == "slots")
		RunSlotRound(random, result);
	else if (chosen == "ini")
		RunIniRound(random, result);
	else if (chosen == "wav")
		RunWaveRound(random, result);
	else if (chosen == "script")
		RunScriptRound(random, m_LogPath, result);
	else
		RunScenarioRound(chosen, random, result);
	result.milliseconds = MillisecondsSince(start);
	return result;
}

void TLoaderFuzz::RunScenarioRound(const std::string& target, std::mt19937& random, TFuzzRound& result)
{
	const std::vector<std::string>& files = m_Files.at(target);
	TMutator mutator(random(), m_Names);
	result.input = files[mutator.Below(files.size())];
	const std::string path = m_Scenario + "/" + result.input;
	WriteDamaged(mutator, m_Originals.at(result.input), target == "numbers" ? TTextKind::Numbers : TTextKind::Xml, path);
	const int chapter = static_cast<int>(mutator.Below(2));
	TMorvalethData data;
	TMorvalethGame game;
	if (!data.Load(m_Scenario, chapter) || !game.LoadNew(&data, m_Scenario, chapter, 1 + static_cast<int>(mutator.Below(5))))
		CheckRefusal(m_Scenario, result);
	else {
		game.PlaceAllInhabitants();
		PlaySaveAndReload(data, chapter, game, result);
	}
	WriteFile(path, m_Originals.at(result.input));
}

void TLoaderFuzz::RunSaveRound(std::mt19937& random, TFuzzRound& result)
{
	result.input = "save";
	TMutator mutator(random(), m_Names);
	WriteDamaged(mutator, m_SaveText, TTextKind::Xml, SAVE_FILE);
	TiXmlDocument document;
	const TiXmlElement* root = ReadSaveDocument(document, SAVE_FILE);
	TMorvalethGame game;
	if (!root || !game.LoadSaved(&m_Data, m_Scenario, 0, root))
		CheckRefusal("", result);
	else
		PlaySaveAndReload(m_Data, 0, game, result);
}

void TLoaderFuzz::RunSlotRound(std::mt19937& random, TFuzzRound& result)
{
	TMutator mutator(random(), m_Names);
	const int slot = static_cast<int>(mutator.Below(SLOT_COUNT));
	const std::string path = TDremoGameMaster::GetSaveFilePath(SAVE_FOLDER, slot);
	result.input = "slot " + std::to_string(slot);
	for (int other = 0; other < SLOT_COUNT; ++other)
		fs::remove_all(TDremoGameMaster::GetSaveFilePath(SAVE_FOLDER, other));
	// A folder in a slot's place, as a careless copy leaves one.
	if (mutator.Below(8) == 0)
		fs::create_directories(path);
	else
		WriteDamaged(mutator, m_SlotText, TTextKind::Xml, path);
	std::vector<std::string> labels;
	TDremoGameMaster::ReadSaveSlotLabels(SAVE_FOLDER, labels, SLOT_COUNT);
	const std::size_t empty = std::count(labels.begin(), labels.end(), std::string("データなし"));
	if (labels.size() != SLOT_COUNT || empty != SLOT_COUNT - 1 || labels[slot] == "データなし")
		result.fault = "the slot list is wrong";
	else if (labels[slot] == "互換性が無いか、破損したデータ")
		CheckRefusal(path, result);
	else
		result.accepted = true;
	fs::remove_all(path);
}

void TLoaderFuzz::RunIniRound(std::mt19937& random, TFuzzRound& result)
{
	result.input = "ini";
	TMutator mutator(random(), m_Names);
	WriteDamaged(mutator, m_IniText, TTextKind::Ini, INI_FILE);
	// A round in four puts something that is no plain file under the name of the configuration, of its
	// temporary file or of its backup.
	if (mutator.Below(4) == 0) {
		RunHostileIniRound(mutator, result);
		return;
	}
	const std::string damaged = ReadFile(INI_FILE);
	TGameConfig config;
	config.Load(INI_FILE);
	if (!config.Save(INI_FILE)) {
		result.fault = "the configuration is not saved: " + RoundLog();
		return;
	}
	TIniLoader reread;
	reread.LoadFromFile(INI_FILE);
	result.accepted = true;
	// Nothing was changed: every key is rewritten where it stood, and none is added.
	if (CountTextLines(ReadFile(INI_FILE)) != CountTextLines(damaged))
		result.fault = "a save without changes added lines to the configuration";
	else if (DumpStore(config, "first.ini") != DumpStore(reread, "second.ini"))
		result.fault = "the saved configuration reads back otherwise";
}

void TLoaderFuzz::RunHostileIniRound(TMutator& mutator, TFuzzRound& result)
{
	const std::string names[] = {INI_FILE, "tmp.txt", "morvaleth.bak"};
	const std::string& name = names[mutator.Below(3)];
	const std::size_t kind = mutator.Below(6);
	const char* const kinds[] = {"a pipe", "a link to another file", "a link to /dev/zero", "a link to nothing",
		"an empty folder", "a folder with a file"};
	result.input = "ini (" + name + " is " + kinds[kind] + ")";
	const std::string victim = "victim.txt";
	WriteFile(victim, "not the configuration");
	fs::remove(name);
	if (kind == 0)
		::mkfifo(name.c_str(), 0600);
	else if (kind <= 3)
		fs::create_symlink(kind == 1 ? victim : kind == 2 ? "/dev/zero" : "nowhere.txt", name);
	else
		fs::create_directories(kind == 4 ? name : name + "/kept");
	const fs::file_type type = fs::symlink_status(name).type();
	// The refusal of a configuration is a Warning.
	g_Logger.SetLevel(2);
	TGameConfig config;
	config.Load(INI_FILE);
	config.SetIntValue(CONFIG_TURN_MAX, 7);
	const bool saved = config.Save(INI_FILE);
	g_Logger.SetLevel(1);
	// A link to a file or to nothing is read (or found missing) and replaced by the saved file; a pipe, a device
	// or a folder under the configuration's name is refused whole.
	const bool refused = name == INI_FILE && kind != 1 && kind != 3;
	result.accepted = !refused;
	TGameConfig reread;
	reread.Load(INI_FILE);
	// After a save the temporary file is gone, the configuration and its backup are files of the writer's own.
	const fs::file_type left = name == "tmp.txt" ? fs::file_not_found : fs::regular_file;
	if (refused) {
		// The defaults, one Warning naming the file, and a save that leaves the entry as it was.
		if (config.GetIntValue(CONFIG_WIDTH) != 800 || saved || fs::symlink_status(name).type() != type)
			result.fault = "a configuration that is no plain file is not refused whole: " + RoundLog();
		else
			CheckRefusal(INI_FILE, result, true);
	} else if (saved != (kind != 5) || (saved && fs::symlink_status(name).type() != left))
		result.fault = "the settings are not saved past what stands under " + name + ": " + RoundLog();
	else if (saved && reread.GetIntValue(CONFIG_TURN_MAX) != 7)
		result.fault = "the saved settings do not read back";
	if (ReadFile(victim) != "not the configuration" || fs::exists("nowhere.txt"))
		result.fault = "a settings save wrote through a link";
	for (const std::string& each : names)
		fs::remove_all(each);
}

void TLoaderFuzz::RunWaveRound(std::mt19937& random, TFuzzRound& result)
{
	// The mixer refuses a file whose header would crash SDL with a Warning.
	g_Logger.SetLevel(2);
	const std::string path = Folder() + "/" + WAVE_FILE;
	result.accepted = m_Wave->Run(random, path, result.input);
	if (!result.accepted)
		CheckRefusal(path, result, true);
	g_Logger.SetLevel(1);
}

void TLoaderFuzz::PlaySaveAndReload(const TMorvalethData& data, int chapter, TMorvalethGame& game, TFuzzRound& result)
{
	result.accepted = true;
	PlayTurn(game);
	const std::string saved = SaveGameText(game);
	if (saved.empty()) {
		result.fault = "the game cannot be saved: " + RoundLog();
		return;
	}
	WriteFile(SAVE_FILE, saved);
	TiXmlDocument document;
	const TiXmlElement* root = ReadSaveDocument(document, SAVE_FILE);
	TMorvalethGame loaded;
	if (!root || !loaded.LoadSaved(&data, m_Scenario, chapter, root)) {
		result.fault = "the game's own save does not load: " + RoundLog();
		return;
	}
	game.CalcIncome();
	game.CalcMasterPower();
	const std::vector<std::string> before = DescribeGame(game);
	const std::vector<std::string> after = DescribeGame(loaded);
	if (before != after)
		result.fault = "the loaded game differs from the saved one:" + FirstDifference(before, after);
	else if (SaveGameText(loaded) != saved)
		result.fault = "the loaded game saves otherwise";
}

void TLoaderFuzz::CheckRefusal(const std::string& mustName, TFuzzRound& result, bool warningsTell) const
{
	std::istringstream log(ReadFile(m_LogPath));
	std::string line;
	while (std::getline(log, line)) {
		const bool tells = line.find(" Error ") != std::string::npos || (warningsTell && line.find(" Warning ") != std::string::npos);
		if (tells && line.find(mustName) != std::string::npos)
			return;
	}
	result.fault = mustName.empty() ? "refused without an Error line" : "refused without naming a file: " + RoundLog();
}

std::string TLoaderFuzz::RoundLog() const
{
	// The log is Shift-JIS; faults are printed for a UTF-8 terminal.
	return SjisToUtf8(ReadFile(m_LogPath));
}
