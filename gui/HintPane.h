#ifndef MORVALETH_GUI_HINTPANE_H
#define MORVALETH_GUI_HINTPANE_H

#include <string>
#include <guichan/widget.hpp>

/// A box of black text on a pale yellow ground that fades in and out over four frames.
class TGcnHintPane : public gcn::Widget
{
public:
	/// Empty, transparent and at rest; base colour pale yellow.
	TGcnHintPane();

	/// Stores the text (Shift-JIS; a newline starts a line) and sizes the pane to it.
	void SetText(const std::string& text);
	/// Shows the pane and fades it in from its current opacity.
	void FadeIn();
	/// Fades the pane out; it hides itself once transparent.
	void FadeOut();

	/// Size of a text in the pane: 6 pixels a byte of the longest line plus 10, 14 pixels a line plus 8.
	static gcn::Rectangle MeasureText(const std::string& text);

	/// Steps the fade once a frame, also while hidden.
	virtual void logic();
	/// Outline, ground and text in the faded colours.
	virtual void draw(gcn::Graphics* graphics);

	/// The text shown.
	std::string m_Text;
	/// Opacity, 0 to 255.
	int m_Alpha;
	/// Change of the opacity a frame: +64 fading in, -64 fading out, 0 at rest.
	int m_Step;

private:
	/// Glyph size of the text.
	int m_FontSize;
};

#endif
