#ifndef MORVALETH_GUI_GCNWINDOW_H
#define MORVALETH_GUI_GCNWINDOW_H

#include <string>
#include <guichan/widgets/window.hpp>

/// The base of every game window: a guichan window framed and coloured by the skin.
class TGcnWindow : public gcn::Window
{
public:
	/// A window without caption, skinned.
	TGcnWindow();
	/// A window with the caption, skinned.
	explicit TGcnWindow(const std::string& caption);

	/// Outline, skinned title bar, border, body, children and caption.
	virtual void draw(gcn::Graphics* graphics);

private:
	/// No frame, then the skin's window colours.
	void ApplySkin();
	/// The title bar: the skin image when there is one, else the base colour.
	void DrawTitleBar(gcn::Graphics* graphics, const gcn::Rectangle& children);
	/// The border around the children area and, for an opaque window, the body.
	void DrawBody(gcn::Graphics* graphics, const gcn::Rectangle& children);
	/// The caption, aligned and clipped to the title bar.
	void DrawCaption(gcn::Graphics* graphics);
};

#endif
