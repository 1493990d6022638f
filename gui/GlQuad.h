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

/// What a frame draws through OpenGL, gathered while the state it needs stays the same and handed over in
/// as few draws as that allows. The software renderer copies its whole pipeline state at every draw that
/// follows a change of texture, blending or colour, so a frame of many small quads with a state change
/// between each pair costs many times what the same quads cost in a few draws. Everything keeps its order:
/// the pixels are those that drawing each piece on its own gives.
///
/// A batch that keeps its frames (SetKeepFrames) compares each frame with the last it drew: a frame equal to
/// it draws nothing and need not be presented, and where the window system can show parts of the back
/// buffer (ShowChanges), the back buffer is never swapped and only the parts of the window where the two
/// frames differ are drawn and shown again.
///
/// The blending switch and the current colour are kept here as the GL state that the drawing code would
/// have set; OpenGL itself only sees them when a draw is handed over.
class TGlQuadBatch
{
public:
	TGlQuadBatch();
	~TGlQuadBatch();
	TGlQuadBatch(const TGlQuadBatch&) = delete;
	TGlQuadBatch& operator=(const TGlQuadBatch&) = delete;

	/// Starts a frame of the given window size with nothing gathered, blending off and white.
	void BeginFrame(int width, int height);
	/// Hands the frame over; the scissor is again OpenGL's own business.
	void EndFrame();
	/// Makes everything gathered so far reach OpenGL now (before a texture it uses is deleted).
	void Flush();

	/// Keeps frames from now on (the main window does; off-screen tests draw every frame whole).
	void SetKeepFrames(bool keep);
	/// Whether the last frame differs from the frame presented before it and must be presented.
	bool PictureChanged() const { return m_PictureChanged; }
	/// Shows the parts of the back buffer that the last frame changed; false when the window system cannot,
	/// and the back buffer is to be swapped instead (then and from now on).
	bool ShowChanges();
	/// The window's pixels were lost (it was exposed): the next frame is drawn whole and presented.
	void ForgetFrames() { m_Presented.clear(); }
	/// A texture was made: a texture name may now stand for other pixels than in the frames before.
	void NoteNewTexture() { ++m_TextureEpoch; }

	/// The clip rectangle, in window pixels, that what is added from now on is clipped to.
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
	/// Adds points, lines or a line loop (GL_POINTS, GL_LINES, GL_LINE_LOOP) through window coordinates
	/// (x, y pairs), without a texture, in the current colour and blending, clipped to the clip rectangle.
	void AddLines(GLenum mode, const std::vector<GLfloat>& coordinates, GLfloat lineWidth);
	/// Fills the whole window with an opaque colour (0 to 255 a channel).
	void AddClear(int r, int g, int b);

private:
	struct TVertex
	{
		GLfloat s, t;
		GLfloat r, g, b, a;
		GLfloat x, y;
	};
	/// One draw: a run of quads of one style, some points or lines, or a clear.
	struct TRecord
	{
		GLenum mode = GL_QUADS;
		TQuadStyle style;
		/// Blending it needs: 0 off, 1 on, -1 either (opaque colour without a texture, or a clear).
		int blendNeed = -1;
		/// Scissor it needs; without one, nothing of it reaches outside its own clip rectangle.
		bool scissored = false;
		int scissor[4] = {0, 0, 0, 0};
		/// Window pixels it may touch (x0, y0, x1, y1).
		int bounds[4] = {0, 0, 0, 0};
		GLfloat lineWidth = 1;
		GLfloat color[4] = {1, 1, 1, 1};
		std::vector<TVertex> vertices;

		bool operator==(const TRecord& other) const;
	};

	/// Whether a quad of the style and bounds can join the open run; sets its style and scissor when it can.
	bool Joins(const TQuadStyle& style, int blendNeed, int x0, int y0, int x1, int y1);
	/// Ends the open run of quads.
	void CloseRun();
	/// Ends a record: drawn at once, or kept for the end of the frame.
	void Commit(TRecord& record);
	/// Draws a record where it meets the rectangle (x0, y0, x1, y1).
	void Draw(const TRecord& record, const int area[4]) const;
	/// Sets the scissor to the rectangle (x0, y0, x1, y1) of window pixels.
	void ApplyScissor(const int area[4]) const;
	/// A rectangle of window pixels (x0, y0, x1, y1).
	struct TArea
	{
		int box[4];
	};
	/// A presented frame: its records, and the texture epoch it was drawn in.
	struct TFrame
	{
		std::vector<TRecord> records;
		unsigned epoch;
	};
	/// The rectangles of the window in which this frame's records differ from an earlier frame's.
	void Damage(const std::vector<TRecord>& earlier, std::vector<TArea>& areas) const;
	/// Draws the records of this frame where they meet the areas.
	void DrawAreas(const std::vector<TArea>& areas) const;
	/// Adds a rectangle to the areas drawn again, joined with those it touches.
	void AddArea(std::vector<TArea>& areas, const int bounds[4]) const;

	TRecord m_Run;
	bool m_RunOpen = false;

	bool m_InFrame = false;
	int m_Width = 0;
	int m_Height = 0;
	int m_Clip[4] = {0, 0, 0, 0};
	bool m_Blend = false;
	GLfloat m_Color[4] = {1, 1, 1, 1};

	/// Kept frames: this frame's records and those of the frame drawn before (none when unknown).
	bool m_KeepFrames = false;
	std::vector<TRecord> m_Records;
	std::vector<TFrame> m_Presented;
	/// The parts of the window the last frame drew.
	std::vector<TArea> m_Shown;
	/// Whether frames are shown by copying parts of the back buffer, which then always holds the last frame.
	bool m_Partial = true;
	/// The frame drew before it ended (a texture was deleted), so it is drawn whole.
	bool m_DrewEarly = false;
	bool m_PictureChanged = true;
	unsigned m_TextureEpoch = 0;
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
