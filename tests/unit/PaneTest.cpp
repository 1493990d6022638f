#include "gui/HintPane.h"
#include "gui/ImagePane.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
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
	pane.SetImage(&image);
	pane.SetImage(nullptr);
	EXPECT_EQ(std::make_pair(30, 20), std::make_pair(pane.getWidth(), pane.getHeight()));
	EXPECT_EQ(nullptr, pane.m_Image);
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
	// Accepted: 4 to a row leaves the second row short; the pane is as wide as the first row, as high as the
	// first column.
	TGcnImagePaneLarge accepted;
	accepted.SetImage(six, 4);
	EXPECT_EQ(std::make_pair(100, 14), std::make_pair(accepted.getWidth(), accepted.getHeight()));
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
