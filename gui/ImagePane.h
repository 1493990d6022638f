#ifndef MORVALETH_GUI_IMAGEPANE_H
#define MORVALETH_GUI_IMAGEPANE_H

#include <vector>
#include <guichan/widget.hpp>

namespace gcn
{
class Image;
}

/// Shows one image at its own size; the image belongs to the image store.
class TGcnImagePane : public gcn::Widget
{
public:
	/// No image.
	TGcnImagePane();

	/// Shows the image and takes its size; null shows nothing and keeps the size.
	void SetImage(gcn::Image* image);

	/// The image at (0, 0), when there is one.
	virtual void draw(gcn::Graphics* graphics);

	/// The image shown (not owned); null for none.
	gcn::Image* m_Image;
};

/// Shows a picture cut into tiles laid out row by row; the tiles belong to the image store.
class TGcnImagePaneLarge : public gcn::Widget
{
public:
	/// No tiles.
	TGcnImagePaneLarge();

	/// Takes the tiles, tilesPerRow to a row, and sizes the pane to them; refused with a Warning, nothing
	/// changed, when a row would not be filled or the tiles make no picture.
	void SetImage(const std::vector<gcn::Image*>& tiles, int tilesPerRow);

	/// The tiles, row by row.
	virtual void draw(gcn::Graphics* graphics);

	/// The tiles (not owned).
	std::vector<gcn::Image*> m_Tiles;
	/// Tiles a row.
	unsigned int m_TilesPerRow;
};

#endif
