#include "gui/GcnGraphics.h"

#include "gui/GlQuad.h"

#include <GL/gl.h>
#include <guichan/exception.hpp>
#include <guichan/opengl/openglimage.hpp>

namespace
{
// guichan's images are RGBA textures, which the GL_REPLACE environment draws without the current colour:
// their quads carry one colour, so that a frame whose colour changed draws the same records.
const GLfloat REPLACED_COLOR[4] = {1, 1, 1, 1};
}

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

const gcn::ClipRectangle& TGcnGraphics::TopClip() const
{
	if (mClipStack.empty())
		throw GCN_EXCEPTION("Clip stack is empty, perhaps you called a draw funtion outside of _beginDraw() and _endDraw()?");
	return mClipStack.top();
}

void TGcnGraphics::PassClip()
{
	const gcn::ClipRectangle& top = TopClip();
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
	TQuadStyle style;
	style.texture = texture->getTextureHandle();
	style.blend = true;
	AddTexturedQuad(style, texture, TopClip(), srcX, srcY, width, height, dstX, dstY, width, height,
		REPLACED_COLOR);
	// Images always blend; an opaque colour leaves blending off after them.
	if (!mAlpha)
		GlQuadBatch().SetBlend(false);
}

// Points and lines go through the same window coordinates as guichan's own.
void TGcnGraphics::drawPoint(int x, int y)
{
	const gcn::ClipRectangle& top = TopClip();
	GlQuadBatch().AddLines(GL_POINTS, {GLfloat(x + top.xOffset), GLfloat(y + top.yOffset)}, 1.0f);
}

void TGcnGraphics::drawLine(int x1, int y1, int x2, int y2)
{
	const gcn::ClipRectangle& top = TopClip();
	const GLfloat startX = x1 + top.xOffset + 0.375f;
	const GLfloat startY = y1 + top.yOffset + 0.375f;
	const GLfloat endX = x2 + top.xOffset + 1.0f - 0.375f;
	const GLfloat endY = y2 + top.yOffset + 1.0f - 0.375f;
	GlQuadBatch().AddLines(GL_LINES, {startX, startY, endX, endY}, 1.0f);
	// Both ends as points, for the pixels a line leaves out.
	GlQuadBatch().AddLines(GL_POINTS, {endX, endY, startX, startY}, 1.0f);
}

void TGcnGraphics::drawRectangle(const gcn::Rectangle& rectangle)
{
	const gcn::ClipRectangle& top = TopClip();
	const GLfloat left = GLfloat(rectangle.x + top.xOffset);
	const GLfloat topY = GLfloat(rectangle.y + top.yOffset);
	const GLfloat right = rectangle.x + rectangle.width + top.xOffset - 1.0f;
	const GLfloat bottom = GLfloat(rectangle.y + rectangle.height + top.yOffset);
	GlQuadBatch().AddLines(GL_LINE_LOOP, {left, topY, right, topY + 0.375f, right, bottom, left, bottom}, 1.0f);
}

void TGcnGraphics::fillRectangle(const gcn::Rectangle& rectangle)
{
	const gcn::ClipRectangle& top = TopClip();
	const int x = rectangle.x + top.xOffset;
	const int y = rectangle.y + top.yOffset;
	// An opaque fill of the whole window is a clear, which the software renderer does without shading a
	// pixel.
	if (mColor.a == 255 && x <= 0 && y <= 0 && x + rectangle.width >= mWidth && y + rectangle.height >= mHeight
		&& top.x == 0 && top.y == 0 && top.width == mWidth && top.height == mHeight) {
		GlQuadBatch().AddClear(mColor.r, mColor.g, mColor.b);
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
