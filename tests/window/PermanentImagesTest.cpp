#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "common/babel/babel.h"
#include "gui/GuiContext.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "platform/FileSystem.h"
#include "platform/PngFile.h"

#include "support/GlWindow.h"
#include "support/TestSupport.h"

#include <SDL/SDL_image.h>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <guichan/image.hpp>
#include <guichan/opengl/openglgraphics.hpp>
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const std::string SampleRoot = MORVALETH_SOURCE_DIR "/data";
const std::string Sample = SampleRoot + "/Scenario/Default";

// The sample's database, loaded once; each test takes a copy, since the loads write indices into it.
const TMorvalethData& SampleData()
{
	static const TMorvalethData* data = [] {
		TMorvalethData* loaded = new TMorvalethData;
		EXPECT_TRUE(loaded->Load(Sample, 0));
		return loaded;
	}();
	return *data;
}

// The RGB of every pixel of a picture file, row by row, with alpha below 255 marked as -1 (not compared).
std::vector<std::int64_t> OpaquePixels(const std::string& path, int& width, int& height)
{
	std::vector<std::int64_t> pixels;
	SDL_Surface* loaded = IMG_Load(path.c_str());
	EXPECT_NE(nullptr, loaded) << path;
	if (!loaded)
		return pixels;
	SDL_PixelFormat format = {};
	format.BitsPerPixel = 32;
	format.BytesPerPixel = 4;
	format.Rmask = 0x00FF0000;
	format.Gmask = 0x0000FF00;
	format.Bmask = 0x000000FF;
	format.Amask = 0xFF000000;
	format.Rshift = 16;
	format.Gshift = 8;
	format.Ashift = 24;
	format.alpha = 255;
	SDL_Surface* surface = SDL_ConvertSurface(loaded, &format, SDL_SWSURFACE);
	SDL_FreeSurface(loaded);
	width = surface->w;
	height = surface->h;
	for (int y = 0; y < height; ++y) {
		const std::uint32_t* row = reinterpret_cast<const std::uint32_t*>(static_cast<const char*>(surface->pixels) + y * surface->pitch);
		for (int x = 0; x < width; ++x)
			pixels.push_back(row[x] >> 24 == 0xFF ? std::int64_t(row[x] & 0xFFFFFF) : -1);
	}
	SDL_FreeSurface(surface);
	return pixels;
}

// The permanent images of a game, on a real OpenGL window. A data root of its own holds a copy of the sample as
// scenario "T" and an empty Default scenario, so that tests can move or hide pictures.
class PermanentImages : public ::testing::Test
{
protected:
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Window.reset(new TGlWindow(640, 480));
		ASSERT_TRUE(m_Window->IsOpen());
		m_Data = boost::make_shared<TMorvalethData>(SampleData());
		m_Image = boost::make_shared<TMorvalethImage>();
		m_Game = boost::make_shared<TMorvalethGame>();
		m_Game->SetData(m_Data.get());
		m_Master.m_RootDir = m_Root.Path();
		for (fs::recursive_directory_iterator it(Sample), end; it != end; ++it) {
			const fs::path target = fs::path(Scenario()) / fs::relative(it->path(), Sample);
			if (fs::is_directory(it->path()))
				fs::create_directories(target);
			else
				fs::copy_file(it->path(), target);
		}
		fs::create_directories(Default() + "/Picture");
		fs::create_directories(Default() + "/DefChar");
	}

	// The store goes before the window that holds its textures.
	void TearDown() override
	{
		m_Image.reset();
		if (m_Drawer)
			g_GuiContext.m_CharDrawers.remove(m_Drawer);
		m_Drawer.reset();
		m_Window.reset();
	}

	// Gives the GUI context a 16-pixel glyph drawer for the characters of the Shift-JIS text.
	void InstallDrawer(const std::string& text)
	{
		std::string list = " \n";
		for (std::size_t i = 0; i < text.size(); ++i) {
			const bool wide = IsSJISLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size();
			list += text.substr(i, wide ? 2 : 1) + "\n";
			i += wide;
		}
		WriteFile(m_Root / "sjis.txt", list);
		m_Drawer.reset(new TGcnCharDrawer());
		TScopedCwd cwd(m_Root.Path());
		ASSERT_TRUE(m_Drawer->Load("sjis.txt", nullptr, 16, 16, "")) << m_Drawer->m_LastError;
		g_GuiContext.m_CharDrawers.push_back(m_Drawer);
	}

	// Checks that the opaque pixels of a rectangle of a picture show on screen at (x, y), each enlarged to a
	// square of the scale; a sixteenth of the rectangle at least must be opaque for the check to count.
	void ExpectShown(const std::string& picture, int srcX, int srcY, int width, int height, int x, int y, int scale)
	{
		SCOPED_TRACE(picture);
		int pictureWidth = 0;
		int pictureHeight = 0;
		const std::vector<std::int64_t> pixels = OpaquePixels(picture, pictureWidth, pictureHeight);
		ASSERT_LE(srcX + width, pictureWidth);
		ASSERT_LE(srcY + height, pictureHeight);
		int compared = 0;
		int wrong = 0;
		for (int sy = 0; sy < height; ++sy)
			for (int sx = 0; sx < width; ++sx) {
				const std::int64_t rgb = pixels[std::size_t(srcY + sy) * pictureWidth + srcX + sx];
				if (rgb < 0)
					continue;
				++compared;
				for (int k = 0; k < scale * scale; ++k)
					wrong += (m_Window->Pixel(x + sx * scale + k % scale, y + sy * scale + k / scale) & 0xFFFFFF) != rgb;
			}
		EXPECT_LE(width * height / 16, compared);
		EXPECT_EQ(0, wrong);
	}

	std::string Scenario() const { return m_Root / "Scenario/T"; }
	std::string Default() const { return m_Root / "Scenario/Default"; }

	bool Load() { return m_Master.LoadPermanentImage(m_Data, m_Image, m_Game, Scenario()); }

	const TCharaData& Chara(const std::string& id) const { return m_Data->GetCharaData(m_Data->GetCharaIndex(id)); }
	int Flag(const std::string& master) const { return m_Data->GetMasterData(m_Data->GetMasterIndex(master)).FlagImage; }
	int Effect(const std::string& id) const { return m_Data->GetSpecialData(m_Data->GetSpecialIndex(id)).EffectImage; }

	TTempDir m_Root;
	std::unique_ptr<TGlWindow> m_Window;
	TDremoGameMaster m_Master;
	boost::shared_ptr<TMorvalethData> m_Data;
	boost::shared_ptr<TMorvalethImage> m_Image;
	boost::shared_ptr<TMorvalethGame> m_Game;
	boost::shared_ptr<TGcnCharDrawer> m_Drawer;
};
}

TEST_F(PermanentImages, TheSampleLoadsEveryPictureItNames)
{
	TCapturedLog log;
	m_Master.m_RootDir = SampleRoot;
	ASSERT_TRUE(m_Master.LoadPermanentImage(m_Data, m_Image, m_Game, Sample)) << m_Master.m_LastError;
	EXPECT_EQ(0, log.CountLines(" Error ") + log.CountLines(" Warning ")) << log.Text();

	for (int i = 0; i < m_Data->GetCharaCount(); ++i) {
		const TCharaData& chara = m_Data->GetCharaData(i);
		EXPECT_NE(-1, chara.ChipImage) << chara.id;
		EXPECT_EQ(chara.Face.empty(), chara.FaceImage == -1) << chara.id;
	}
	for (int i = 0; i < m_Data->GetSpecialCount(); ++i) {
		const TSpecialData& special = m_Data->GetSpecialData(i);
		EXPECT_TRUE(special.Image.empty() || special.EffectImage != -1) << special.id;
	}
	// The neutral flag comes first, then the masters' flags in database order; garm's lies in a character folder.
	EXPECT_EQ(0, m_Data->GetNeutralFlagImage());
	EXPECT_EQ(1, Flag("garm"));
	EXPECT_EQ(2, Flag("leon"));
	EXPECT_EQ(3, Flag("sera"));
	ASSERT_FALSE(m_Image->m_FieldMapTiles.empty());

	// Every area but the ignored one gets its name, in area order.
	BuildNeighborTable();
	ASSERT_TRUE(m_Game->LoadNew(m_Data.get(), Sample, 0, 1));
	std::string names;
	for (int i = 0; i < m_Game->GetAreaCount(); ++i)
		names += m_Game->GetArea(i).Name;
	InstallDrawer(names);
	ASSERT_TRUE(m_Master.MakeAreaNameImages(m_Image, m_Game)) << m_Master.m_LastError;
	for (int i = 0, next = 0; i < m_Game->GetAreaCount(); ++i)
		EXPECT_EQ(m_Game->GetArea(i).Ignore ? -1 : next++, m_Game->GetArea(i).NameImage) << m_Game->GetArea(i).id;
	EXPECT_TRUE(m_Game->GetArea(m_Game->GetAreaIndex("A07")).Ignore);

	// The world as the world map shows it: the field map, and each area's flag with its name below.
	m_Window->BeginFrame();
	gcn::Graphics& graphics = m_Window->Graphics();
	const int tileWidth = m_Image->m_FieldMapTiles[0]->getWidth();
	const int tileHeight = m_Image->m_FieldMapTiles[0]->getHeight();
	for (std::size_t i = 0; i < m_Image->m_FieldMapTiles.size(); ++i)
		graphics.drawImage(m_Image->m_FieldMapTiles[i], int(i % m_Image->m_FieldMapTilesPerRow) * tileWidth,
			int(i / m_Image->m_FieldMapTilesPerRow) * tileHeight);
	for (int i = 0; i < m_Game->GetAreaCount(); ++i) {
		const TAreaInstance& area = m_Game->GetArea(i);
		if (area.Ignore)
			continue;
		const int owner = area.Owner == -1 ? -1 : m_Game->GetMaster(area.Owner).DataIndex;
		const int flag = owner == -1 ? m_Data->GetNeutralFlagImage() : m_Data->GetMasterData(owner).FlagImage;
		m_Image->DrawFlag(&graphics, area.Location.x, area.Location.y, flag, 1);
		m_Image->DrawAreaName(&graphics, area.Location.x - 4 * int(area.Name.size()), area.Location.y + 33,
			area.NameImage);
	}
	m_Window->EndFrame();
	m_Window->Screenshot("sample_world");
	const TAreaInstance& west = m_Game->GetArea(m_Game->GetAreaIndex("A01"));
	int white = 0;
	for (int x = west.Location.x - 24; x < west.Location.x + 56; ++x)
		white += m_Window->Pixel(x, west.Location.y + 41) == 0xFFFFFFFF;
	EXPECT_LT(3, white);
}

TEST_F(PermanentImages, TheSamplesChipFlagEffectFaceAndPowerMapDrawWhereTheyBelong)
{
	m_Master.m_RootDir = SampleRoot;
	ASSERT_TRUE(m_Master.LoadPermanentImage(m_Data, m_Image, m_Game, Sample)) << m_Master.m_LastError;
	BuildNeighborTable();
	ASSERT_TRUE(m_Game->LoadNew(m_Data.get(), Sample, 0, 1));

	// Each area's paint points take its owner's colour; neutral areas keep the picture's.
	m_Image->InitPowerMap();
	for (int i = 0; i < m_Game->GetAreaCount(); ++i) {
		const TAreaInstance& area = m_Game->GetArea(i);
		if (area.Owner != -1)
			m_Image->PaintPowerMap(m_Data->GetMasterData(m_Game->GetMaster(area.Owner).DataIndex).PowerMapColor,
				area.PaintPoints);
	}
	gcn::Image* powerMap = m_Image->GetPowerMap();
	ASSERT_NE(nullptr, powerMap);

	const TCharaData& leon = Chara("leon");
	const TSpecialData& firebolt = m_Data->GetSpecialData(m_Data->GetSpecialIndex("firebolt"));
	m_Window->BeginFrame();
	gcn::Graphics& graphics = m_Window->Graphics();
	graphics.setColor(gcn::Color(255, 255, 255));
	m_Image->DrawChara(&graphics, 10, 10, leon.ChipImage);
	m_Image->DrawFlag(&graphics, 60, 10, Flag("leon"), 1);
	m_Image->DrawEffect(&graphics, 110, 10, firebolt.EffectImage, firebolt.ImageWidth, firebolt.ImageHeight, 2, 0);
	m_Image->DrawFaceScaled(&graphics, 10, 60, leon.FaceImage, 512, 512);
	graphics.drawImage(powerMap, 250, 60);
	m_Window->EndFrame();
	m_Window->Screenshot("sample_pictures");

	ExpectShown(Sample + "/DefChar/chip_leon.png", 0, 0, 32, 32, 10, 10, 1);
	ExpectShown(Sample + "/Picture/flag_leon.png", 32, 0, 32, 32, 60, 10, 1);
	ExpectShown(Sample + "/Element/eff_fire.png", 2 * firebolt.ImageWidth, 0, firebolt.ImageWidth,
		firebolt.ImageHeight, 110, 10, 1);
	ExpectShown(Sample + "/DefChar/face_leon.png", 0, 0, 96, 96, 10, 60, 2);
	int width = 0;
	int height = 0;
	const std::vector<std::int64_t> picture = OpaquePixels(Sample + "/Picture/powermap.png", width, height);
	for (int i = 0; i < m_Game->GetAreaCount(); ++i) {
		const TAreaInstance& area = m_Game->GetArea(i);
		for (const point_t& point : area.PaintPoints) {
			if (point.x == 0 && point.y == 0)
				continue; // The corner is drawn black, whoever holds it.
			const gcn::Color owner = area.Owner == -1 ? gcn::Color()
				: ColorFromPacked(m_Data->GetMasterData(m_Game->GetMaster(area.Owner).DataIndex).PowerMapColor);
			const std::int64_t expected = area.Owner == -1 ? picture[std::size_t(point.y) * width + point.x]
				: (owner.r << 16) | (owner.g << 8) | owner.b;
			EXPECT_EQ(expected, m_Window->Pixel(250 + point.x, 60 + point.y) & 0xFFFFFF) << area.id;
		}
	}
}

TEST_F(PermanentImages, PicturesFallBackToTheDefaultScenarioAndAFlagInPictureWins)
{
	fs::rename(Scenario() + "/Picture/BMAPCHAR.png", Default() + "/Picture/BMAPCHAR.png");
	fs::rename(Scenario() + "/DefChar/face_leon.png", Default() + "/DefChar/face_leon.png");
	// A blue flag of that name in "Picture"; garm's own is red.
	fs::copy_file(Scenario() + "/Picture/flag_leon.png", Scenario() + "/Picture/flag_garm.png");
	TCapturedLog log;
	ASSERT_TRUE(Load()) << m_Master.m_LastError;
	EXPECT_EQ(0, log.CountLines(" Error ") + log.CountLines(" Warning ")) << log.Text();
	EXPECT_NE(-1, Chara("leon").FaceImage);
	// garm's flag is loaded from its character folder and again from "Picture", which it keeps.
	EXPECT_EQ(2, Flag("garm"));
	EXPECT_EQ(3, Flag("leon"));
	EXPECT_EQ(4, Flag("sera"));
	m_Window->BeginFrame();
	m_Window->Graphics().setColor(gcn::Color(255, 255, 255));
	m_Image->DrawFlag(&m_Window->Graphics(), 0, 0, Flag("garm"), 0);
	m_Window->EndFrame();
	int blue = 0;
	int red = 0;
	for (int y = 0; y < 32; ++y)
		for (int x = 0; x < 32; ++x) {
			const std::uint32_t pixel = m_Window->Pixel(x, y);
			const int r = (pixel >> 16) & 0xFF;
			const int g = (pixel >> 8) & 0xFF;
			const int b = pixel & 0xFF;
			blue += b > r + 100 && b > g + 60;
			red += r > g + 100 && r > b + 100;
		}
	EXPECT_LT(100, blue);
	EXPECT_EQ(0, red);
}

TEST_F(PermanentImages, AMissingFaceOrAnUnusedSpecialsImageIsOnlyAWarning)
{
	RemoveFile(Scenario() + "/DefChar/face_leon.png");
	RemoveFile(Scenario() + "/Element/eff_summon.png");
	RemoveFile(Scenario() + "/Picture/fieldmap.png");
	TCapturedLog log;
	ASSERT_TRUE(Load()) << m_Master.m_LastError;
	EXPECT_EQ(-1, Chara("leon").FaceImage);
	EXPECT_NE(-1, Chara("leon").ChipImage);
	EXPECT_EQ(-1, Effect("summonwolf"));
	EXPECT_TRUE(m_Image->m_FieldMapTiles.empty());
	// The face and field-map lines name the method; the special's line is plain.
	EXPECT_EQ(2, log.CountLines("TDremoGameMaster::LoadPermanentImage:"));
	EXPECT_EQ(1, log.CountLines("顔画像 face_leon.png の読み込みに失敗しました。キャラ leon の顔を無しにします。"));
	EXPECT_EQ(1, log.CountLines(" Warning Special summonwolf の画像 eff_summon.png が見つかりませんでしたが"
		"このSpecialは使われていないのでスルーします。"));
	EXPECT_EQ(1, log.CountLines("fieldmap.png not found."));
	EXPECT_EQ(3, log.CountLines(" Warning ")) << log.Text();
	EXPECT_EQ(0, log.CountLines(" Error "));
}

TEST_F(PermanentImages, EachMissingNeededPictureFailsTheLoadWithItsOwnReason)
{
	struct TCase
	{
		std::vector<std::string> hidden;
		const char* reason;
		bool logged;
	};
	const TCase cases[] = {
		{{"System/command_wait.png"}, "ボタン画像の読み込みに失敗", false},
		{{"System/chip_departure.png"}, "共通チップ画像の読み込みに失敗（バージョンが違うZazidezi.exeのデータ？）", false},
		{{"Extra/chip_bandit.png"}, "キャラチップ画像 chip_bandit.png の読み込みに失敗", true},
		// The terrain sheet is loaded before the power map, so only its failure is reported.
		{{"Picture/BMAPCHAR.png", "Picture/powermap.png"}, "BMAPCHAR.png の読み込みに失敗", true},
		{{"Picture/BMAPOBJ.png"}, "BMAPOBJ.png の読み込みに失敗", true},
		{{"Picture/powermap.png"}, "powermap.png の読み込みに失敗", true},
		{{"Picture/Flag0.png"}, "中立旗画像 Flag0.png の読み込みに失敗", true},
		{{"DefChar/eff_aura.png"}, "Special warcry の画像 eff_aura.png をロードできませんでした。", true},
	};
	for (const TCase& c : cases) {
		SCOPED_TRACE(c.reason);
		for (const std::string& file : c.hidden)
			fs::rename(Scenario() + "/" + file, Scenario() + "/" + file + ".hidden");
		m_Image = boost::make_shared<TMorvalethImage>();
		m_Data = boost::make_shared<TMorvalethData>(SampleData());
		TCapturedLog log;
		EXPECT_FALSE(Load());
		EXPECT_EQ(c.reason, m_Master.m_LastError);
		EXPECT_EQ(c.logged ? 1 : 0, log.CountLines("TDremoGameMaster::LoadPermanentImage:")) << log.Text();
		EXPECT_EQ(c.logged ? 1 : 0, log.CountLines(std::string(" Error ") + "TDremoGameMaster::LoadPermanentImage:"));
		for (const std::string& file : c.hidden)
			fs::rename(Scenario() + "/" + file + ".hidden", Scenario() + "/" + file);
	}
}

// A picture that is there but cannot serve fails the load with its path: a chip sheet short of the chips its
// table numbers would warn for every cell of every frame, a field map that does not load or does not fit
// FieldMap.xml would leave the world map empty.
TEST_F(PermanentImages, APictureThatCannotServeFailsTheLoadNamingTheFile)
{
	struct TCase
	{
		const char* file;
		int width;
		int height;
		const char* reason;
	};
	const TCase cases[] = {
		{"BMAPCHAR.png", 1, 1, " には 32x32 のチップが 0 個しかなく、MapChip.txt の 10 個に足りません"},
		{"BMAPCHAR.png", 320, 31, " には 32x32 のチップが 0 個しかなく、MapChip.txt の 10 個に足りません"},
		{"BMAPCHAR.png", 160, 64, ""},
		{"BMAPOBJ.png", 160, 32, " には 32x32 のチップが 5 個しかなく、MapObj.txt の 6 個に足りません"},
		{"fieldmap.png", 1, 1, " の大きさ 1x1 が FieldMap.xml の 640x480 と違います"},
		{"fieldmap.png", 640, 479, " の大きさ 640x479 が FieldMap.xml の 640x480 と違います"},
		// Cut short: the picture does not load.
		{"fieldmap.png", 0, 0, " の読み込みに失敗"},
	};
	for (const TCase& c : cases) {
		SCOPED_TRACE(std::string(c.file) + " " + std::to_string(c.width) + "x" + std::to_string(c.height));
		const std::string path = Scenario() + "/Picture/" + c.file;
		fs::rename(path, path + ".kept");
		if (c.width > 0)
			ASSERT_TRUE(WritePng(path, c.width, c.height, 3, std::vector<std::uint8_t>(3 * c.width * c.height, 90).data()));
		else
			WriteFile(path, ReadFile(path + ".kept").substr(0, 200));
		m_Image = boost::make_shared<TMorvalethImage>();
		m_Data = boost::make_shared<TMorvalethData>(SampleData());
		TCapturedLog log;
		if (*c.reason) {
			EXPECT_FALSE(Load());
			EXPECT_EQ(path + c.reason, m_Master.m_LastError);
			EXPECT_EQ(1, log.CountLines(" Error TDremoGameMaster::LoadPermanentImage:")) << log.Text();
			EXPECT_EQ(1, log.CountLines(path + c.reason)) << log.Text();
		} else {
			EXPECT_TRUE(Load()) << m_Master.m_LastError;
		}
		fs::remove(path);
		fs::rename(path + ".kept", path);
	}
}

// The scenario select shows the game master's reason: an area name that cannot be drawn (an empty name, as
// "&#0;" leaves it) names the area and the file that holds it.
TEST_F(PermanentImages, ANewGameWhoseAreaNameCannotBeDrawnNamesTheAreaAndTheFile)
{
	const std::string areas = Scenario() + "/Data/AreaData.xml";
	const std::string text = ReadFile(areas);
	const std::string name = SjisToUtf8("<Name>風見の丘</Name>");
	ASSERT_NE(std::string::npos, text.find(name));
	WriteFile(areas, text.substr(0, text.find(name)) + "<Name>&#0;</Name>" + text.substr(text.find(name) + name.size()));
	InstallDrawer("A");
	BuildNeighborTable();
	EXPECT_FALSE(m_Master.NewGame("T", 0, 3));
	EXPECT_EQ("画像データの読み込みに失敗(パターン2) (エリア A02 の名前画像を生成できませんでした。 " + areas + ")",
		m_Master.m_LastError);
}

TEST_F(PermanentImages, AreaNamesSkipIgnoredAreasAndAnEmptyNameFails)
{
	InstallDrawer("AB");
	std::vector<TAreaInstance> areas(3);
	const char* const names[] = {"AB", "B", "BA"};
	for (int i = 0; i < 3; ++i) {
		areas[i].id = "A0" + std::to_string(i + 1);
		areas[i].Name = names[i];
	}
	areas[1].Ignore = true;
	areas[1].NameImage = 7;
	m_Game->SetAreas(areas);
	EXPECT_TRUE(m_Master.MakeAreaNameImages(m_Image, m_Game));
	EXPECT_EQ(0, m_Game->GetArea(0).NameImage);
	EXPECT_EQ(7, m_Game->GetArea(1).NameImage);
	EXPECT_EQ(1, m_Game->GetArea(2).NameImage);

	m_Game->GetArea(2).Name.clear();
	EXPECT_FALSE(m_Master.MakeAreaNameImages(m_Image, m_Game));
	EXPECT_EQ("エリア A03 の名前画像を生成できませんでした。", m_Master.m_LastError);
}
