#ifndef MORVALETH_GUI_GCNGRAPHICS_H
#define MORVALETH_GUI_GCNGRAPHICS_H

#include <guichan/opengl/openglgraphics.hpp>

/// guichan's OpenGL graphics, drawing the same pixels through the quad batch (TGlQuadBatch): images and
/// filled rectangles are gathered into as few draws as their textures allow, the clip rectangle reaches
/// OpenGL only when a draw needs it, and a frame sets the state it draws with instead of saving and
/// restoring all of OpenGL's state around it.
class TGcnGraphics : public gcn::OpenGLGraphics
{
public:
	void _beginDraw() override;
	void _endDraw() override;
	bool pushClipArea(gcn::Rectangle area) override;
	void popClipArea() override;
	void drawImage(const gcn::Image* image, int srcX, int srcY, int dstX, int dstY, int width,
		int height) override;
	void drawPoint(int x, int y) override;
	void drawLine(int x1, int y1, int x2, int y2) override;
	void drawRectangle(const gcn::Rectangle& rectangle) override;
	void fillRectangle(const gcn::Rectangle& rectangle) override;
	void setColor(const gcn::Color& color) override;

private:
	/// The clip rectangle on top of the stack; throws as guichan does when drawing outside a frame.
	const gcn::ClipRectangle& TopClip() const;
	/// Tells the batch the clip rectangle now on top of the stack.
	void PassClip();
};

#endif
