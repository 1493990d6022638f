#ifndef MORVALETH_GUI_GLQUAD_H
#define MORVALETH_GUI_GLQUAD_H

#include <GL/gl.h>
#include <vector>

namespace gcn
{
class ClipRectangle;
class Graphics;
class OpenGLImage;
}

/// How a quad is drawn: its texture and texture environment, and whether it blends.
struct TQuadStyle
{
	/// Texture name; 0 draws the quad in its colour alone.
	GLuint texture = 0;
	/// Texture environment mode (GL_REPLACE, GL_MODULATE or GL_BLEND); only textured quads use it.
	GLint envMode = GL_REPLACE;
	/// Texture environment colour; only the GL_BLEND mode uses it.
	GLfloat envColor[4] = {1, 1, 1, 1};
	/// Whether the quad blends over what lies under it.
	bool blend = false;
};

/// The quads of a frame, gathered while the state they need stays the same and handed to OpenGL as one
/// vertex array. The software renderer copies its whole pipeline state at every draw that follows a change
/// of texture, blending or colour, so a frame of many small quads with a state change between each pair
/// costs many times what the same quads cost in a few draws. Quads keep their order: the pixels are those
/// that drawing each quad on its own gives.
///
/// The blending switch and the current colour are kept here as the GL state that the drawing code would
/// have set; OpenGL itself only sees them when a batch is handed over. Anything drawn with OpenGL directly
/// (lines, points) calls PrepareImmediate first.
class TGlQuadBatch
{
public:
	/// Starts a frame of the given window size with nothing gathered, blending off and white.
	void BeginFrame(int width, int height);
	/// Hands over what was gathered; the scissor is again OpenGL's own business.
	void EndFrame();
	/// Hands over what was gathered.
	void Flush();

	/// The clip rectangle, in window pixels, that quads added from now on are clipped to.
	void SetClip(int x, int y, int width, int height);
	/// The blending switch as the drawing code sets it.
	void SetBlend(bool blend) { m_Blend = blend; }
	bool Blend() const { return m_Blend; }
	/// The current colour, 0 to 255 a channel.
	void SetColor(int r, int g, int b, int a);

	/// Adds a quad at window pixels [x, x + width) x [y, y + height) in the style, its texture rectangle
	/// (s0, t0)-(s1, t1) in texture fractions, in the colour (r, g, b, a from 0 to 1).
	void AddQuad(const TQuadStyle& style, int x, int y, int width, int height, float s0, float t0, float s1,
		float t1, const GLfloat color[4]);
	/// Adds an untextured quad in the current colour with the current blending switch.
	void AddFill(int x, int y, int width, int height);

	/// Hands over what was gathered and sets OpenGL up for drawing without a texture in the current colour
	/// with the current blending switch and clip.
	void PrepareImmediate();

private:
	struct TVertex
	{
		GLfloat s, t;
		GLfloat r, g, b, a;
		GLfloat x, y;
	};
	/// Whether a quad of the style and bounds can join what is gathered; sets the gathered style and
	/// scissor when it can.
	bool Joins(const TQuadStyle& style, int blendNeed, int x0, int y0, int x1, int y1);
	void ApplyScissor(bool whole, int x, int y, int width, int height) const;

	std::vector<TVertex> m_Vertices;
	TQuadStyle m_Style;
	/// Blending the gathered quads need: 0 off, 1 on, -1 either (opaque colour without a texture).
	int m_BlendNeed = -1;
	/// Scissor the gathered quads need; without one, none of them reaches outside its own clip.
	bool m_Scissored = false;
	int m_Scissor[4] = {0, 0, 0, 0};
	/// Bounds of the gathered quads, in window pixels (x0, y0, x1, y1).
	int m_Bounds[4] = {0, 0, 0, 0};

	/// Whether a frame of TGcnGraphics is being drawn: then clip rectangles come from SetClip and
	/// OpenGL's scissor is set here.
	bool m_InFrame = false;
	int m_Width = 0;
	int m_Height = 0;
	int m_Clip[4] = {0, 0, 0, 0};
	bool m_Blend = false;
	GLfloat m_Color[4] = {1, 1, 1, 1};
};

/// The batch of the one OpenGL context.
TGlQuadBatch& GlQuadBatch();

/// Adds a quad that maps a source rectangle of the image's texture onto a destination rectangle moved by
/// the clip area's offset.
void AddTexturedQuad(const TQuadStyle& style, const gcn::OpenGLImage* image, const gcn::ClipRectangle& clip,
	int srcX, int srcY, int srcWidth, int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight,
	const GLfloat color[4]);

/// Hands the batch over at once unless the graphics gathers quads itself (a TGcnGraphics), so that quads
/// drawn through any other graphics show in their place.
void FlushUnlessBatching(gcn::Graphics* graphics);

#endif
