#include "gui/GlQuad.h"

#include "gui/GcnGraphics.h"

#include <algorithm>
#include <cstring>
#include <guichan/cliprectangle.hpp>
#include <guichan/opengl/openglimage.hpp>

namespace
{
// Whether [x0, x1) x [y0, y1) lies inside the rectangle (x, y, width, height).
bool Inside(int x0, int y0, int x1, int y1, const int rect[4])
{
	return x0 >= rect[0] && y0 >= rect[1] && x1 <= rect[0] + rect[2] && y1 <= rect[1] + rect[3];
}

bool SameStyle(const TQuadStyle& a, const TQuadStyle& b)
{
	if (a.texture != b.texture)
		return false;
	if (a.texture == 0)
		return true;
	return a.envMode == b.envMode
		&& (a.envMode != GL_BLEND || std::memcmp(a.envColor, b.envColor, sizeof(a.envColor)) == 0);
}
}

TGlQuadBatch& GlQuadBatch()
{
	static TGlQuadBatch batch;
	return batch;
}

void TGlQuadBatch::BeginFrame(int width, int height)
{
	m_Vertices.clear();
	m_InFrame = true;
	m_Width = width;
	m_Height = height;
	m_Blend = false;
	SetColor(255, 255, 255, 255);
	SetClip(0, 0, width, height);
	ApplyScissor(true, 0, 0, width, height);
}

void TGlQuadBatch::EndFrame()
{
	Flush();
	m_InFrame = false;
}

void TGlQuadBatch::SetClip(int x, int y, int width, int height)
{
	m_Clip[0] = x;
	m_Clip[1] = y;
	m_Clip[2] = width;
	m_Clip[3] = height;
}

void TGlQuadBatch::SetColor(int r, int g, int b, int a)
{
	m_Color[0] = r / 255.0f;
	m_Color[1] = g / 255.0f;
	m_Color[2] = b / 255.0f;
	m_Color[3] = a / 255.0f;
}

bool TGlQuadBatch::Joins(const TQuadStyle& style, int blendNeed, int x0, int y0, int x1, int y1)
{
	// A quad inside its clip rectangle is drawn the same under any scissor that holds it, so quads of
	// different clips share a draw as long as one scissor serves them all.
	const bool clipped = m_InFrame && !Inside(x0, y0, x1, y1, m_Clip);
	if (m_Vertices.empty()) {
		m_Style = style;
		m_BlendNeed = blendNeed;
		m_Scissored = clipped;
		std::copy(m_Clip, m_Clip + 4, m_Scissor);
		m_Bounds[0] = x0;
		m_Bounds[1] = y0;
		m_Bounds[2] = x1;
		m_Bounds[3] = y1;
		return true;
	}
	if (!SameStyle(style, m_Style) || (blendNeed >= 0 && m_BlendNeed >= 0 && blendNeed != m_BlendNeed))
		return false;
	if (!clipped && m_Scissored && !Inside(x0, y0, x1, y1, m_Scissor))
		return false;
	if (clipped) {
		if (m_Scissored ? !std::equal(m_Clip, m_Clip + 4, m_Scissor)
						: !Inside(m_Bounds[0], m_Bounds[1], m_Bounds[2], m_Bounds[3], m_Clip))
			return false;
		m_Scissored = true;
		std::copy(m_Clip, m_Clip + 4, m_Scissor);
	}
	if (m_BlendNeed < 0)
		m_BlendNeed = blendNeed;
	m_Bounds[0] = std::min(m_Bounds[0], x0);
	m_Bounds[1] = std::min(m_Bounds[1], y0);
	m_Bounds[2] = std::max(m_Bounds[2], x1);
	m_Bounds[3] = std::max(m_Bounds[3], y1);
	return true;
}

void TGlQuadBatch::AddQuad(const TQuadStyle& style, int x, int y, int width, int height, float s0, float t0,
	float s1, float t1, const GLfloat color[4])
{
	// Blending makes no difference to an opaque colour without a texture.
	const int blendNeed = style.texture == 0 && color[3] == 1.0f ? -1 : int(style.blend);
	const int x0 = std::min(x, x + width);
	const int y0 = std::min(y, y + height);
	const int x1 = std::max(x, x + width);
	const int y1 = std::max(y, y + height);
	if (!Joins(style, blendNeed, x0, y0, x1, y1)) {
		Flush();
		Joins(style, blendNeed, x0, y0, x1, y1);
	}
	const GLfloat fx0 = GLfloat(x);
	const GLfloat fy0 = GLfloat(y);
	const GLfloat fx1 = GLfloat(x + width);
	const GLfloat fy1 = GLfloat(y + height);
	// The corners in the order a quad of the graphics is drawn.
	m_Vertices.push_back({s0, t0, color[0], color[1], color[2], color[3], fx0, fy0});
	m_Vertices.push_back({s0, t1, color[0], color[1], color[2], color[3], fx0, fy1});
	m_Vertices.push_back({s1, t1, color[0], color[1], color[2], color[3], fx1, fy1});
	m_Vertices.push_back({s1, t0, color[0], color[1], color[2], color[3], fx1, fy0});
}

void TGlQuadBatch::AddFill(int x, int y, int width, int height)
{
	TQuadStyle style;
	style.blend = m_Blend;
	AddQuad(style, x, y, width, height, 0, 0, 0, 0, m_Color);
}

void TGlQuadBatch::ApplyScissor(bool whole, int x, int y, int width, int height) const
{
	if (whole)
		glScissor(0, 0, m_Width, m_Height);
	else
		glScissor(x, m_Height - y - height, width, height);
}

void TGlQuadBatch::Flush()
{
	if (m_Vertices.empty())
		return;
	if (m_Style.texture != 0) {
		glBindTexture(GL_TEXTURE_2D, m_Style.texture);
		glEnable(GL_TEXTURE_2D);
		glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, m_Style.envMode);
		if (m_Style.envMode == GL_BLEND)
			glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, m_Style.envColor);
	} else {
		glDisable(GL_TEXTURE_2D);
	}
	if (m_BlendNeed == 1)
		glEnable(GL_BLEND);
	else if (m_BlendNeed == 0)
		glDisable(GL_BLEND);
	if (m_InFrame)
		ApplyScissor(!m_Scissored, m_Scissor[0], m_Scissor[1], m_Scissor[2], m_Scissor[3]);

	const TVertex* first = m_Vertices.data();
	glEnableClientState(GL_VERTEX_ARRAY);
	glEnableClientState(GL_COLOR_ARRAY);
	glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &first->x);
	glColorPointer(4, GL_FLOAT, sizeof(TVertex), &first->r);
	if (m_Style.texture != 0) {
		glEnableClientState(GL_TEXTURE_COORD_ARRAY);
		glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &first->s);
	}
	glDrawArrays(GL_QUADS, 0, GLsizei(m_Vertices.size()));
	glDisableClientState(GL_TEXTURE_COORD_ARRAY);
	glDisableClientState(GL_COLOR_ARRAY);
	glDisableClientState(GL_VERTEX_ARRAY);
	m_Vertices.clear();
}

void TGlQuadBatch::PrepareImmediate()
{
	Flush();
	glDisable(GL_TEXTURE_2D);
	if (m_Blend)
		glEnable(GL_BLEND);
	else
		glDisable(GL_BLEND);
	glColor4fv(m_Color);
	if (m_InFrame)
		ApplyScissor(false, m_Clip[0], m_Clip[1], m_Clip[2], m_Clip[3]);
}

void AddTexturedQuad(const TQuadStyle& style, const gcn::OpenGLImage* image, const gcn::ClipRectangle& clip,
	int srcX, int srcY, int srcWidth, int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight,
	const GLfloat color[4])
{
	// Textures are padded to powers of two: coordinates are fractions of the texture, not the image.
	const float textureWidth = float(image->getTextureWidth());
	const float textureHeight = float(image->getTextureHeight());
	GlQuadBatch().AddQuad(style, dstX + clip.xOffset, dstY + clip.yOffset, dstWidth, dstHeight,
		srcX / textureWidth, srcY / textureHeight, (srcX + srcWidth) / textureWidth,
		(srcY + srcHeight) / textureHeight, color);
}

void FlushUnlessBatching(gcn::Graphics* graphics)
{
	if (!dynamic_cast<TGcnGraphics*>(graphics))
		GlQuadBatch().Flush();
}
