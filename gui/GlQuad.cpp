#include "gui/GlQuad.h"

#include <GL/gl.h>
#include <guichan/cliprectangle.hpp>
#include <guichan/opengl/openglimage.hpp>

void EmitTexturedQuad(const gcn::OpenGLImage* image, const gcn::ClipRectangle& clip,
	int srcX, int srcY, int srcWidth, int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight)
{
	const int x = dstX + clip.xOffset;
	const int y = dstY + clip.yOffset;
	// Textures are padded to powers of two: coordinates are fractions of the texture, not the image.
	const float textureWidth = float(image->getTextureWidth());
	const float textureHeight = float(image->getTextureHeight());
	const float s0 = srcX / textureWidth;
	const float t0 = srcY / textureHeight;
	const float s1 = (srcX + srcWidth) / textureWidth;
	const float t1 = (srcY + srcHeight) / textureHeight;
	glTexCoord2f(s0, t0);
	glVertex2i(x, y);
	glTexCoord2f(s0, t1);
	glVertex2i(x, y + dstHeight);
	glTexCoord2f(s1, t1);
	glVertex2i(x + dstWidth, y + dstHeight);
	glTexCoord2f(s1, t0);
	glVertex2i(x + dstWidth, y);
}
