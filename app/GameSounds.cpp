// The sounds and music a game keeps: the common sound effects (without which
// the game does not start), the specials' sounds and every music. A record
// whose file is missing or broken stays silent with index -1.

#include "app/GameMaster.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "media/MorvalethMixer.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

namespace
{
// File names of the common sound effects, by COMMON_SOUND_* id.
const char* const COMMON_SOUND_FILES[COMMON_SOUND_COUNT] = {"なんだ？.wav", "攻撃.wav", "死亡！.wav"};

const char* const SPECIAL_SOUND_MISSING = "%s の効果音 %s が見つかりませんでした。この効果音を無音にします。";
const char* const SPECIAL_SOUND_FAILED = "%s の効果音 %s の読み込みに失敗しました。この効果音を無音にします。";
const char* const MUSIC_MISSING = "%s の音楽 %s が見つかりませんでした。この音楽を無音にします。";
const char* const MUSIC_FAILED = "%s の音楽 %s の読み込みに失敗しました。この音楽を無音にします。";
}

bool TDremoGameMaster::LoadSounds(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethGame>& game, const boost::shared_ptr<TMorvalethMixer>& mixer,
	const std::string& scenarioDir)
{
	if (g_Config.GetBoolValue(SWITCH_SOUND_ENABLED)) {
		if (!LoadCommonSounds(data, mixer, scenarioDir))
			return false;
		LoadSpecialSounds(data, mixer, scenarioDir);
	}
	if (g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED)) {
		LoadCommonMusics(data, mixer, scenarioDir);
		LoadMasterMusics(data, mixer, scenarioDir);
		LoadAreaMusics(data, game, mixer, scenarioDir);
	}
	return true;
}

bool TDremoGameMaster::LoadCommonSounds(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir)
{
	for (int id = 0; id < COMMON_SOUND_COUNT; ++id) {
		const std::string name = COMMON_SOUND_FILES[id];
		std::string folder;
		if (!FindInMusicDir(data, scenarioDir, name, folder)) {
			g_Logger.Error(FormatText("共通効果音 %s が見つかりませんでした。", name));
			return false;
		}
		if (!mixer->LoadCommonSound(id, folder + "/" + name)) {
			g_Logger.Error(FormatText("共通効果音 %s の読み込みに失敗しました。", name));
			return false;
		}
	}
	return true;
}

void TDremoGameMaster::LoadSpecialSounds(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir)
{
	const auto load = [&mixer](const std::string& path) { return mixer->LoadSound(path); };
	for (int i = 0; i < data->GetSpecialCount(); ++i) {
		const TSpecialData& special = data->GetSpecialData(i);
		if (special.Sound.empty())
			continue;
		const int sound = LoadRecordSound(data, scenarioDir, special.id, special.Sound, SPECIAL_SOUND_MISSING,
			SPECIAL_SOUND_FAILED, load);
		if (sound != -1)
			data->SetSpecialSoundIndex(i, sound);
	}
}

void TDremoGameMaster::LoadCommonMusics(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir)
{
	for (int id = 0; id < COMMON_MUSIC_COUNT; ++id) {
		const std::string& name = data->GetCommonMusic(id);
		if (name.empty())
			continue;
		std::string folder;
		if (!FindInMusicDir(data, scenarioDir, name, folder))
			g_Logger.Warning(FormatText("共通音楽 %s が見つかりませんでした。", name));
		else if (!mixer->LoadCommonMusic(id, folder + "/" + name))
			g_Logger.Warning(FormatText("共通音楽 %s の読み込みに失敗しました。", name));
	}
}

void TDremoGameMaster::LoadMasterMusics(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir)
{
	const auto load = [&mixer](const std::string& path) { return mixer->LoadMusic(path); };
	for (int m = 0; m < data->GetMasterCount(); ++m) {
		const TMasterData& master = data->GetMasterData(m);
		const std::string* const names[] = {&master.Music, &master.BattleMusic, &master.MasterBattleMusic};
		int indices[3] = {-1, -1, -1};
		for (int k = 0; k < 3; ++k)
			if (!names[k]->empty())
				indices[k] = LoadRecordSound(data, scenarioDir, master.id, *names[k], MUSIC_MISSING, MUSIC_FAILED, load);
		data->SetMasterMusicIndex(m, indices[0], indices[1], indices[2]);
	}
}

void TDremoGameMaster::LoadAreaMusics(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethGame>& game, const boost::shared_ptr<TMorvalethMixer>& mixer,
	const std::string& scenarioDir)
{
	const auto load = [&mixer](const std::string& path) { return mixer->LoadMusic(path); };
	for (int i = 0; i < game->GetAreaCount(); ++i) {
		const TAreaInstance& area = game->GetArea(i);
		if (area.Music.empty())
			continue;
		const int music = LoadRecordSound(data, scenarioDir, area.id, area.Music, MUSIC_MISSING, MUSIC_FAILED, load);
		if (music != -1)
			game->SetAreaMusicIndex(i, music);
	}
}

int TDremoGameMaster::LoadRecordSound(const boost::shared_ptr<TMorvalethData>& data, const std::string& scenarioDir,
	const std::string& owner, const std::string& name, const char* missingText, const char* failedText,
	const std::function<int(const std::string&)>& load) const
{
	std::string folder;
	if (!FindInMusicDir(data, scenarioDir, name, folder)) {
		WarningOf(missingText, owner, name);
		return -1;
	}
	const int index = load(folder + "/" + name);
	if (index == -1)
		WarningOf(failedText, owner, name);
	return index;
}
