// The pictures a game keeps from its start to its end, and the rendered area
// names. Their image indices go into the database and the areas, where the
// windows, the battle and the scripts find them.

#include "app/GameMaster.h"

#include "app/Logger.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

namespace
{
// Every log line of the permanent loads names the method that runs them.
const char* const LOAD_PERMANENT_IMAGE = "TDremoGameMaster::LoadPermanentImage";
const char* const NEUTRAL_FLAG = "Flag0.png";

// True when some character has the special as its own special.
bool IsSpecialOfAnyChara(const TMorvalethData& data, int special)
{
	for (int i = 0; i < data.GetCharaCount(); ++i)
		if (data.GetCharaData(i).Special == special)
			return true;
	return false;
}
}

bool TDremoGameMaster::LoadPermanentImage(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const boost::shared_ptr<TMorvalethGame>&,
	const std::string& scenarioDir)
{
	image->m_ScenarioDir = scenarioDir;
	image->m_SystemDir = m_RootDir + "/" + "System";
	// The store has already logged which command image or status chip is missing.
	if (!image->LoadCommandImages())
		return FailLoad("ボタン画像の読み込みに失敗");
	if (!image->LoadStatusChips())
		return FailLoad("共通チップ画像の読み込みに失敗（バージョンが違うZazidezi.exeのデータ？）");
	if (!LoadFieldMapPicture(data, image, scenarioDir))
		return false;
	for (int i = 0; i < data->GetCharaCount(); ++i)
		if (!LoadCharaPictures(data, image, scenarioDir, i))
			return false;
	std::string chips;
	std::string objects;
	return LoadPicture(data, image, scenarioDir, "BMAPCHAR.png", &TMorvalethImage::LoadMapChipImage, &chips)
		&& CheckSheetCells(chips, image->GetMapChipCells(), data->GetMapChipNumberCount(), "MapChip.txt")
		&& LoadPicture(data, image, scenarioDir, "BMAPOBJ.png", &TMorvalethImage::LoadMapObjImage, &objects)
		&& CheckSheetCells(objects, image->GetMapObjCells(), data->GetMapObjNumberCount(), "MapObj.txt")
		&& LoadPicture(data, image, scenarioDir, data->GetPowerMapFile(), &TMorvalethImage::LoadPowerMap)
		&& LoadFlagPictures(data, image, scenarioDir) && LoadSpecialPictures(data, image, scenarioDir);
}

bool TDremoGameMaster::FailLoad(const std::string& reason)
{
	m_LastError = reason;
	return false;
}

bool TDremoGameMaster::FailLoadLogged(int line, const std::string& reason)
{
	g_Logger.Error(MethodText(LOAD_PERMANENT_IMAGE, line, "%s", reason));
	return FailLoad(reason);
}

// A scenario without the picture goes on, its world map showing none; a picture there that gives no map of
// the size the world map is laid out in is refused, as every other picture the game needs.
bool TDremoGameMaster::LoadFieldMapPicture(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir)
{
	const std::string& name = data->GetFieldMapFile();
	if (name.empty())
		return true;
	std::string folder;
	if (!FindInPictureDir(data, scenarioDir, name, folder)) {
		g_Logger.Warning(MethodText(LOAD_PERMANENT_IMAGE, __LINE__, "%s not found.", name), "picture not found");
		return true;
	}
	const std::string path = folder + "/" + name;
	if (!image->LoadFieldMapImage(path))
		return FailLoadLogged(__LINE__, path + " の読み込みに失敗");
	if (image->m_FieldMapWidth == data->GetFieldMapWidth() && image->m_FieldMapHeight == data->GetFieldMapHeight())
		return true;
	return FailLoadLogged(__LINE__, FormatText("%s の大きさ %dx%d が FieldMap.xml の %dx%d と違います", path,
		image->m_FieldMapWidth, image->m_FieldMapHeight, data->GetFieldMapWidth(), data->GetFieldMapHeight()));
}

bool TDremoGameMaster::LoadCharaPictures(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir, int i)
{
	const TCharaData& chara = data->GetCharaData(i);
	std::string folder;
	int face = -1;
	if (!chara.Face.empty()) {
		if (FindCharaResourceFile(data, scenarioDir, chara.Face, chara.DirIndex, folder))
			face = image->LoadFaceImage(folder, chara.Face);
		if (face == -1)
			g_Logger.Warning(MethodText(LOAD_PERMANENT_IMAGE, __LINE__,
				"顔画像 %s の読み込みに失敗しました。キャラ %s の顔を無しにします。", chara.Face, chara.id), "face picture");
	}
	int chip = -1;
	if (FindCharaResourceFile(data, scenarioDir, chara.BattleChip, chara.DirIndex, folder))
		chip = image->LoadCharaImage(folder, chara.BattleChip);
	if (chip == -1)
		return FailLoadLogged(__LINE__, "キャラチップ画像 " + chara.BattleChip + " の読み込みに失敗");
	data->SetCharaImageIndex(i, face, chip);
	return true;
}

bool TDremoGameMaster::LoadPicture(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir, const std::string& name,
	bool (TMorvalethImage::*load)(const std::string&), std::string* path)
{
	// An empty name is looked up too: it finds the folder, which does not load.
	std::string folder;
	if (FindInPictureDir(data, scenarioDir, name, folder) && ((*image).*load)(folder + "/" + name)) {
		if (path)
			*path = folder + "/" + name;
		return true;
	}
	return FailLoadLogged(__LINE__, name + " の読み込みに失敗");
}

// A chip the terrain tables name but the sheet lacks would be drawn as a warning for every cell it stands on,
// in every frame of every battle.
bool TDremoGameMaster::CheckSheetCells(const std::string& path, int cells, int needed, const char* table)
{
	if (cells >= needed)
		return true;
	return FailLoadLogged(__LINE__,
		FormatText("%s には 32x32 のチップが %d 個しかなく、%s の %d 個に足りません", path, cells, table, needed));
}

bool TDremoGameMaster::LoadFlagPictures(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir)
{
	std::string folder;
	int neutral = -1;
	if (FindInPictureDir(data, scenarioDir, NEUTRAL_FLAG, folder))
		neutral = image->LoadFlagImage(folder, NEUTRAL_FLAG);
	if (neutral == -1)
		return FailLoadLogged(__LINE__, std::string("中立旗画像 ") + NEUTRAL_FLAG + " の読み込みに失敗");
	data->SetNeutralFlagImageIndex(neutral);
	for (int m = 0; m < data->GetMasterCount(); ++m) {
		const TMasterData& master = data->GetMasterData(m);
		if (master.FlagFile.empty())
			continue;
		// A copy in "Picture" wins over one in a character folder; both are loaded.
		int flag = master.FlagImage;
		if (FindCharaResourceFile(data, scenarioDir, master.FlagFile, -1, folder))
			flag = image->LoadFlagImage(folder, master.FlagFile);
		if (FindInPictureDir(data, scenarioDir, master.FlagFile, folder))
			flag = image->LoadFlagImage(folder, master.FlagFile);
		data->SetMasterFlagImageIndex(m, flag);
	}
	return true;
}

bool TDremoGameMaster::LoadSpecialPictures(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir)
{
	for (int j = 0; j < data->GetSpecialCount(); ++j) {
		const TSpecialData& special = data->GetSpecialData(j);
		if (special.Image.empty())
			continue;
		const int index = LoadEffectPicture(data, image, scenarioDir, special.Image);
		if (index == -1) {
			if (IsSpecialOfAnyChara(*data, j))
				return FailLoadLogged(__LINE__,
					"Special " + special.id + " の画像 " + special.Image + " をロードできませんでした。");
			WarningOf("Special %s の画像 %s が見つかりませんでしたがこのSpecialは使われていないのでスルーします。",
				special.id, special.Image);
		}
		data->SetSpecialImageIndex(j, index);
	}
	return true;
}

bool TDremoGameMaster::MakeAreaNameImages(const boost::shared_ptr<TMorvalethImage>& image,
	const boost::shared_ptr<TMorvalethGame>& game)
{
	for (int i = 0; i < game->GetAreaCount(); ++i) {
		TAreaInstance& area = game->GetArea(i);
		if (area.Ignore)
			continue;
		const int index = image->AddAreaNameImage(area.Name);
		if (index == -1)
			return FailLoad("エリア " + area.id + " の名前画像を生成できませんでした。");
		area.NameImage = index;
	}
	return true;
}
