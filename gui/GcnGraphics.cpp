#include "gui/GcnGraphics.h"

#include "gui/GlQuad.h"

#include <GL/gl.h>
#include <guichan/exception.hpp>
#include <guichan/opengl/openglimage.hpp>

void TGcnGraphics::_beginDraw()
{
	// The state guichan's graphics sets up, without saving OpenGL's state first: nothing else draws
	// between frames, and saving it copies the state of every texture unit twice a frame.
	glMatrixMode(GL_MODELVIEW);
	glLoadIdentity();
	glMatrixMode(GL_TEXTURE);
	glLoadIdentity();
	glMatrixMode(GL_PROJECTION);
	glLoadIdentity();
	glOrtho(0.0, double(mWidth), double(mHeight), 0.0, -1.0, 1.0);
	glDisable(GL_LIGHTING);
	glDisable(GL_CULL_FACE);
	glDisable(GL_DEPTH_TEST);
	glDisable(GL_TEXTURE_2D);
	glDisable(GL_BLEND);
	glEnable(GL_SCISSOR_TEST);
	glPointSize(1.0f);
	glLineWidth(1.0f);
	glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
	glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
	// The colour and blending of a new frame are those the saved state gave back at the end of the last.
	GlQuadBatch().BeginFrame(mWidth, mHeight);
	pushClipArea(gcn::Rectangle(0, 0, mWidth, mHeight));
}

void TGcnGraphics::_endDraw()
{
	GlQuadBatch().EndFrame();
	// What guichan's graphics leaves behind by restoring the state it saved.
	glDisable(GL_SCISSOR_TEST);
	glDisable(GL_BLEND);
	glDisable(GL_TEXTURE_2D);
	glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
	gcn::Graphics::popClipArea();
}

void TGcnGraphics::PassClip()
{
	const gcn::ClipRectangle& top = mClipStack.top();
	GlQuadBatch().SetClip(top.x, top.y, top.width, top.height);
}

bool TGcnGraphics::pushClipArea(gcn::Rectangle area)
{
	const bool result = gcn::Graphics::pushClipArea(area);
	PassClip();
	return result;
}

void TGcnGraphics::popClipArea()
{
	gcn::Graphics::popClipArea();
	if (!mClipStack.empty())
		PassClip();
}

void TGcnGraphics::drawImage(const gcn::Image* image, int srcX, int srcY, int dstX, int dstY, int width,
	int height)
{
	const gcn::OpenGLImage* texture = dynamic_cast<const gcn::OpenGLImage*>(image);
	if (!texture)
		throw GCN_EXCEPTION("Trying to draw an image of unknown format, must be an OpenGLImage.");
	if (mClipStack.empty())
		throw GCN_EXCEPTION("Clip stack is empty, perhaps you called a draw funtion outside of _beginDraw() and _endDraw()?");
	TQuadStyle style;
	style.texture = texture->getTextureHandle();
	style.blend = true;
	const GLfloat color[4] = {mColor.r / 255.0f, mColor.g / 255.0f, mColor.b / 255.0f, mColor.a / 255.0f};
	AddTexturedQuad(style, texture, mClipStack.top(), srcX, srcY, width, height, dstX, dstY, width, height, color);
	// Images always blend; an opaque colour leaves blending off after them.
	if (!mAlpha)
		GlQuadBatch().SetBlend(false);
}

void TGcnGraphics::drawPoint(int x, int y)
{
	GlQuadBatch().PrepareImmediate();
	gcn::OpenGLGraphics::drawPoint(x, y);
}

void TGcnGraphics::drawLine(int x1, int y1, int x2, int y2)
{
	GlQuadBatch().PrepareImmediate();
	gcn::OpenGLGraphics::drawLine(x1, y1, x2, y2);
}

void TGcnGraphics::drawRectangle(const gcn::Rectangle& rectangle)
{
	GlQuadBatch().PrepareImmediate();
	gcn::OpenGLGraphics::drawRectangle(rectangle);
}

void TGcnGraphics::fillRectangle(const gcn::Rectangle& rectangle)
{
	if (mClipStack.empty())
		throw GCN_EXCEPTION("Clip stack is empty, perhaps you called a draw funtion outside of _beginDraw() and _endDraw()?");
	const gcn::ClipRectangle& top = mClipStack.top();
	const int x = rectangle.x + top.xOffset;
	const int y = rectangle.y + top.yOffset;
	// An opaque fill of the whole window is a clear, which the software renderer does without shading a
	// pixel.
	if (mColor.a == 255 && x <= 0 && y <= 0 && x + rectangle.width >= mWidth && y + rectangle.height >= mHeight
		&& top.x == 0 && top.y == 0 && top.width == mWidth && top.height == mHeight) {
		GlQuadBatch().Flush();
		glScissor(0, 0, mWidth, mHeight);
		glClearColor(mColor.r / 255.0f, mColor.g / 255.0f, mColor.b / 255.0f, 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		return;
	}
	GlQuadBatch().AddFill(x, y, rectangle.width, rectangle.height);
}

void TGcnGraphics::setColor(const gcn::Color& color)
{
	mColor = color;
	mAlpha = color.a != 255;
	GlQuadBatch().SetColor(color.r, color.g, color.b, color.a);
	// As in guichan, a translucent colour switches blending on and an opaque one leaves it as it is.
	if (mAlpha)
		GlQuadBatch().SetBlend(true);
}
