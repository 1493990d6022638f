#include "gui/HintPane.h"
#include "gui/ImagePane.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <guichan/graphics.hpp>
#include <guichan/image.hpp>
#include <string>
#include <utility>
#include <vector>

namespace
{
/// An image of a size, with no pixels.
class TSizedImage : public gcn::Image
{
public:
	TSizedImage(int width, int height) : m_Width(width), m_Height(height) {}
	void free() override {}
	int getWidth() const override { return m_Width; }
	int getHeight() const override { return m_Height; }
	gcn::Color getPixel(int, int) override { return gcn::Color(); }
	void putPixel(int, int, const gcn::Color&) override {}
	void convertToDisplayFormat() override {}

private:
	int m_Width;
	int m_Height;
};

/// Notes where each image is drawn.
class TImageRecorder : public gcn::Graphics
{
public:
	void drawImage(const gcn::Image* image, int, int, int x, int y, int, int) override
	{
		m_Drawn.push_back({ image, { x, y } });
	}
	void drawPoint(int, int) override {}
	void drawLine(int, int, int, int) override {}
	void drawRectangle(const gcn::Rectangle&) override {}
	void fillRectangle(const gcn::Rectangle&) override {}
	void setColor(const gcn::Color&) override {}
	const gcn::Color& getColor() const override { return m_Color; }

	std::vector<std::pair<const gcn::Image*, std::pair<int, int>>> m_Drawn;

private:
	gcn::Color m_Color;
};

/// Six tiles of different sizes: widths 10, 20, 30, 40, 50, 60 and heights 5, 6, 7, 8, 9, 10.
std::vector<gcn::Image*> SixTiles(std::vector<TSizedImage>& store)
{
	store.clear();
	for (int i = 0; i < 6; ++i)
		store.emplace_back(10 * (i + 1), 5 + i);
	std::vector<gcn::Image*> tiles;
	for (TSizedImage& tile : store)
		tiles.push_back(&tile);
	return tiles;
}
}

TEST(HintPane, TakesSixPixelsAByteAndFourteenALine)
{
	struct TCase
	{
		const char* text;
		int width;
		int height;
	};
	// "日本" is two characters of two bytes: the size-12 font's full width each.
	const TCase cases[] = { { "", 10, 22 }, { "abc", 28, 22 }, { "ab\nabcd", 34, 36 }, { "\x93\xfa\x96\x7b", 34, 22 },
		{ "abcd\nab\n", 34, 50 } };
	for (const TCase& c : cases) {
		TGcnHintPane pane;
		pane.SetText(c.text);
		EXPECT_EQ(std::make_pair(c.width, c.height), std::make_pair(pane.getWidth(), pane.getHeight())) << c.text;
	}
}

TEST(HintPane, FadesInAndOutInFourFramesAndReversesFromWhereItIs)
{
	TGcnHintPane pane;
	pane.setVisible(false);
	pane.logic();
	EXPECT_EQ(0, pane.m_Alpha) << "at rest nothing changes";
	EXPECT_FALSE(pane.isVisible());

	// Each step: (call before it, alpha afterwards, visible afterwards).
	struct TStep
	{
		void (TGcnHintPane::*call)();
		int alpha;
		bool visible;
	};
	const TStep steps[] = {
		{ &TGcnHintPane::FadeIn, 64, true }, { nullptr, 128, true }, { nullptr, 192, true }, { nullptr, 255, true },
		{ nullptr, 255, true }, { &TGcnHintPane::FadeOut, 191, true }, { nullptr, 127, true }, { nullptr, 63, true },
		{ nullptr, 0, false }, { nullptr, 0, false }, { &TGcnHintPane::FadeIn, 64, true }, { nullptr, 128, true },
		{ &TGcnHintPane::FadeOut, 64, true }, { &TGcnHintPane::FadeIn, 128, true },
	};
	int frame = 0;
	for (const TStep& step : steps) {
		if (step.call)
			(pane.*step.call)();
		pane.logic();
		EXPECT_EQ(step.alpha, pane.m_Alpha) << "frame " << frame;
		EXPECT_EQ(step.visible, pane.isVisible()) << "frame " << frame;
		if (step.visible) {
			EXPECT_EQ(gcn::Color(255, 255, 225, step.alpha), pane.getBackgroundColor()) << "frame " << frame;
			EXPECT_EQ(gcn::Color(0, 0, 0, step.alpha), pane.getForegroundColor()) << "frame " << frame;
		}
		++frame;
	}
}

TEST(ImagePane, TakesTheSizeOfItsImageAndANullImageKeepsIt)
{
	TSizedImage image(30, 20);
	TGcnImagePane pane;
	pane.setSize(5, 5);
	TImageRecorder graphics;
	pane.draw(&graphics);
	pane.SetImage(&image);
	EXPECT_EQ(std::make_pair(30, 20), std::make_pair(pane.getWidth(), pane.getHeight()));
	pane.draw(&graphics);
	pane.SetImage(nullptr);
	EXPECT_EQ(std::make_pair(30, 20), std::make_pair(pane.getWidth(), pane.getHeight()));
	pane.draw(&graphics);
	ASSERT_EQ(1u, graphics.m_Drawn.size()) << "only the set image is drawn";
	EXPECT_EQ(std::make_pair(0, 0), graphics.m_Drawn[0].second);
}

TEST(ImagePaneLarge, LaysTilesRowByRowAndSizesToTheFirstRowAndColumn)
{
	std::vector<TSizedImage> store;
	const std::vector<gcn::Image*> tiles = SixTiles(store);
	struct TCase
	{
		int perRow;
		int width;
		int height;
		std::vector<std::pair<int, int>> positions;
	};
	const TCase cases[] = {
		{ 3, 60, 13, { { 0, 0 }, { 10, 0 }, { 30, 0 }, { 0, 7 }, { 40, 7 }, { 90, 7 } } },
		// The second row holds two tiles only.
		{ 4, 100, 14, { { 0, 0 }, { 10, 0 }, { 30, 0 }, { 60, 0 }, { 0, 8 }, { 50, 8 } } },
		{ 6, 210, 5, { { 0, 0 }, { 10, 0 }, { 30, 0 }, { 60, 0 }, { 100, 0 }, { 150, 0 } } },
		{ 1, 10, 45, { { 0, 0 }, { 0, 5 }, { 0, 11 }, { 0, 18 }, { 0, 26 }, { 0, 35 } } },
	};
	for (const TCase& c : cases) {
		TGcnImagePaneLarge pane;
		pane.SetImage(tiles, c.perRow);
		EXPECT_EQ(std::make_pair(c.width, c.height), std::make_pair(pane.getWidth(), pane.getHeight())) << c.perRow;
		TImageRecorder graphics;
		pane.draw(&graphics);
		ASSERT_EQ(6u, graphics.m_Drawn.size()) << c.perRow;
		for (int i = 0; i < 6; ++i) {
			EXPECT_EQ(tiles[i], graphics.m_Drawn[i].first);
			EXPECT_EQ(c.positions[i], graphics.m_Drawn[i].second) << c.perRow << " tile " << i;
		}
	}
}

TEST(ImagePaneLarge, RefusesRowsThatCannotBeFilledAndTilesOfNoSizeWithAWarning)
{
	std::vector<TSizedImage> store;
	const std::vector<gcn::Image*> six = SixTiles(store);
	TSizedImage flat(10, 0);
	struct TCase
	{
		std::vector<gcn::Image*> tiles;
		int perRow;
		const char* warning;
	};
	const TCase cases[] = {
		{ six, 7, "無効なパラメータです。" },
		{ six, -1, "無効なパラメータです。" },
		{ six, 0, "無効なパラメータです。" },
		{ {}, 0, "画像リストが仮定を満たしていないので構築に失敗しました。" },
		{ { &flat }, 1, "画像リストが仮定を満たしていないので構築に失敗しました。" },
	};
	for (const TCase& c : cases) {
		TCapturedLog log;
		TGcnImagePaneLarge pane;
		pane.SetImage(six, 2);
		pane.SetImage(c.tiles, c.perRow);
		EXPECT_EQ(1, log.CountLines(" Warning TGcnImagePaneLarge::SetImage:")) << c.perRow;
		EXPECT_EQ(1, log.CountLines(c.warning)) << c.perRow;
		EXPECT_EQ(six, pane.m_Tiles) << "the pane keeps what it had";
		EXPECT_EQ(2u, pane.m_TilesPerRow);
		EXPECT_EQ(std::make_pair(30, 21), std::make_pair(pane.getWidth(), pane.getHeight()));
	}
}
