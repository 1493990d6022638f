#ifndef MORVALETH_GUI_SKINMANAGER_H
#define MORVALETH_GUI_SKINMANAGER_H

#include <string>
#include <vector>
#include <guichan/color.hpp>

class TGcnCharDrawer;

namespace gcn
{
class Button;
class CheckBox;
class Graphics;
class Image;
class ListBox;
class RadioButton;
class Rectangle;
class ScrollArea;
class Widget;
}

/// The common look of every window: the title-bar skin image and the configured GUI colours, applied to widgets.
class TGcnSkinManager
{
public:
	/// No image; colours are the configuration's GUI colours.
	TGcnSkinManager();
	/// Deletes the image.
	virtual ~TGcnSkinManager();
	TGcnSkinManager(const TGcnSkinManager&) = delete;
	TGcnSkinManager& operator=(const TGcnSkinManager&) = delete;

	/// Loads "System/window.png" under the folder; false (no image) when it cannot be read.
	bool LoadImage(const std::string& folder);
	/// Loads an image through guichan's loader; null, with an Error logged, on failure.
	static gcn::Image* LoadImageFile(const std::string& path);

	/// Window colour as base, translucent black as background.
	void SetupWindow(gcn::Widget* window) const;
	/// Window colour as background.
	void SetupPane(gcn::Widget* widget) const;
	/// Dark pane colour as background.
	void SetupDarkPane(gcn::Widget* widget) const;
	/// Font colour on the radio-button background.
	void SetupRadioButton(gcn::RadioButton* radioButton) const;
	/// Font colour on the enabled-button colour; enables the button.
	void SetupButton(gcn::Button* button) const;
	/// Disabled font colour on the disabled-button colour; disables the button.
	void SetupDisabledButton(gcn::Button* button) const;
	/// Font colour on opaque black; enables the check box.
	static void SetupCheckBox(gcn::CheckBox* checkBox);
	/// Grey on grey; disables the check box.
	static void SetupDisabledCheckBox(gcn::CheckBox* checkBox);
	/// Font colour on the list-box colours.
	void SetupListBox(gcn::ListBox* listBox) const;
	/// Dark pane background and the configured scroll-bar width.
	void SetupScrollArea(gcn::ScrollArea* scrollArea) const;

	/// The skin image (owned); null when none was loaded.
	gcn::Image* m_Image;
	/// The configuration's table of GUI colours, so later changes apply to widgets set up afterwards.
	const gcn::Color* m_Colors;
};

/// Screen-edge corrections for drivers that rasterise rectangle outlines a pixel off.
struct TDrawRectangleSlide
{
	/// Stores the four corrections.
	void Set(int left, int right, int top, int bottom);
	/// Outlines the corrected rectangle and sets the point at its bottom-left corner, in the current colour.
	void DrawRectangle(gcn::Graphics* graphics, const gcn::Rectangle& rectangle) const;

	int m_Left = 0;
	int m_Right = 0;
	int m_Top = 0;
	int m_Bottom = 0;
};

/// The one set of corrections, filled from the configuration.
extern TDrawRectangleSlide g_DrawRectangleSlide;

/// A frame four pixels deep inside the rectangle that marks a highlighted cell.
void DrawHighlightFrame(gcn::Graphics* graphics, const gcn::Rectangle& rectangle);
/// A two-tone frame whose top edge leaves a gap for the caption drawn into it.
void DrawGroupFrame(gcn::Graphics* graphics, const gcn::Rectangle& rectangle, const std::string& caption,
	TGcnCharDrawer* drawer);
/// Draws the text with the graphics' font twice, one pixel apart.
void DrawBoldText(gcn::Graphics* graphics, const std::string& text, int x, int y);
/// A GL line in screen coordinates; the line width is restored afterwards.
void GLDrawLine(int x1, int y1, int x2, int y2, float lineWidth);
/// GL lines in screen coordinates, four numbers (x1, y1, x2, y2) a line, drawn in one go; the line width is
/// restored afterwards.
void GLDrawLines(const std::vector<int>& coordinates, float lineWidth);
/// A 16-segment GL circle outline in screen coordinates; the line width is restored afterwards.
void GLDrawCircle(int centerX, int centerY, int radius, float lineWidth);
/// Draws part of an OpenGL image stretched into the destination, coloured through the texture environment.
void DrawImageStretched(gcn::Graphics* graphics, const gcn::Image* image, int srcX, int srcY, int srcWidth,
	int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight, float r, float g, float b, float a);
/// DrawImageStretched with the colour (a, a, a, a).
void DrawImageStretchedAlpha(gcn::Graphics* graphics, const gcn::Image* image, int srcX, int srcY, int srcWidth,
	int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight, float a);

#endif
