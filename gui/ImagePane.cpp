#include "gui/ImagePane.h"

#include "app/Logger.h"

#include <guichan/graphics.hpp>
#include <guichan/image.hpp>

TGcnImagePane::TGcnImagePane()
	: m_Image(nullptr)
{
}

void TGcnImagePane::SetImage(gcn::Image* image)
{
	m_Image = image;
	if (image)
		setSize(image->getWidth(), image->getHeight());
}

void TGcnImagePane::draw(gcn::Graphics* graphics)
{
	if (m_Image)
		graphics->drawImage(m_Image, 0, 0);
}

TGcnImagePaneLarge::TGcnImagePaneLarge()
	: m_TilesPerRow(0)
{
}

void TGcnImagePaneLarge::SetImage(const std::vector<gcn::Image*>& tiles, int tilesPerRow)
{
	// Compared as unsigned, a negative count is larger than any list; 0 to a row lays no tile anywhere.
	const std::size_t perRow = static_cast<unsigned int>(tilesPerRow);
	if (perRow > tiles.size() || (perRow == 0 && !tiles.empty())) {
		LOG_WARNING("無効なパラメータです。");
		return;
	}
	int width = 0;
	int height = 0;
	for (std::size_t i = 0; i < tiles.size(); ++i) {
		if (i < perRow)
			width += tiles[i]->getWidth();
		if (i % perRow == 0)
			height += tiles[i]->getHeight();
	}
	if (width == 0 || height == 0) {
		LOG_WARNING("画像リストが仮定を満たしていないので構築に失敗しました。");
		return;
	}
	m_Tiles = tiles;
	m_TilesPerRow = perRow;
	setSize(width, height);
}

void TGcnImagePaneLarge::draw(gcn::Graphics* graphics)
{
	int x = 0;
	int y = 0;
	for (std::size_t i = 0; i < m_Tiles.size(); ++i) {
		graphics->drawImage(m_Tiles[i], x, y);
		if (i % m_TilesPerRow == m_TilesPerRow - 1) {
			x = 0;
			y += m_Tiles[i]->getHeight();
		} else
			x += m_Tiles[i]->getWidth();
	}
}
