#ifndef MORVALETH_GUI_GLQUAD_H
#define MORVALETH_GUI_GLQUAD_H

namespace gcn
{
class ClipRectangle;
class OpenGLImage;
}

/// Emits, inside glBegin(GL_QUADS), one quad that maps a source rectangle of the
/// image's texture onto a destination rectangle moved by the clip area's offset.
void EmitTexturedQuad(const gcn::OpenGLImage* image, const gcn::ClipRectangle& clip,
	int srcX, int srcY, int srcWidth, int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight);

#endif
