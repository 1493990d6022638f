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

/// How a quad is drawn: its texture, and whether it blends.
///
/// Every quad, line and point goes through one texture environment, GL_BLEND with a white environment
/// colour: a texel t under the vertex colour c gives c * (1 - t) + t in colour and c * t in opacity (an
/// opacity-only texel gives c in colour and c * t in opacity). An image's texels therefore come out as
/// they are under an opaque black colour, and a quad without a texture is drawn through an opaque black
/// texel, which leaves its colour as it is. One environment, one vertex layout and a texture on every
/// draw keep the software renderer to a few compiled pipelines, which it would otherwise make for every
/// combination of texturing, environment and vertex layout that a frame uses.
struct TQuadStyle
{
	/// Texture name; 0 draws the quad in its colour alone.
	GLuint texture = 0;
	/// Whether the quad blends over what lies under it.
	bool blend = false;
};

/// The colour under which an image's texels are drawn as they are.
extern const GLfloat IMAGE_COLOR[4];

/// What a frame draws through OpenGL, gathered for the whole frame and handed over in as few draws as the
/// picture allows. The software renderer copies its whole pipeline state at every draw, so a frame of many
/// small quads with a change of texture between each pair costs many times what the same quads cost in a
/// few draws. A piece joins the latest draw of its kind unless something drawn since would then be drawn
/// after it where the two meet: every pixel still sees its pieces in their order, and the picture is that
/// of drawing each piece on its own.
///
/// A batch that keeps its frames (SetKeepFrames) compares each frame with the last it drew: a frame equal to
/// it draws nothing and need not be presented, and where the window system can show parts of the back
/// buffer (ShowChanges), the back buffer is never swapped and only the parts of the window where the two
/// frames differ are drawn and shown again.
///
/// The blending switch and the current colour are kept here as the GL state that the drawing code would
/// have set; OpenGL itself only sees them when the frame is handed over.
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
	/// (s0, t0)-(s1, t1) in texture fractions, under the colour (r, g, b, a from 0 to 1).
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
	/// A rectangle of window pixels (x0, y0, x1, y1).
	struct TArea
	{
		int box[4];
	};
	/// One draw: quads of one texture, lines or points of one width, or a clear.
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
		/// The colour of a clear, or the one colour of every piece of an untextured draw (alpha -1 when
		/// its pieces differ in colour or it has a texture).
		GLfloat color[4] = {0, 0, 0, -1};
		std::vector<TVertex> vertices;

		/// Whether the other draws the same way, whatever its pieces.
		bool SameState(const TRecord& other) const;
		/// Whether its n-th piece lies where the other's m-th lies, in the same colours.
		bool SamePiece(std::size_t n, const TRecord& other, std::size_t m) const;
		bool operator==(const TRecord& other) const;
	};
	/// A quad, line or point being added, and the draw it would make on its own.
	struct TPiece
	{
		TRecord record;
		/// Whether it needs its clip rectangle as a scissor.
		bool clipped = false;
		/// The window pixels it may touch, its clip included.
		int box[4] = {0, 0, 0, 0};
	};

	/// Clips a piece of one primitive to the clip rectangle and adds it.
	void ClipAndAdd(TPiece& piece);
	/// Adds a piece to the latest draw that can take it and that it can reach, or as a draw of its own.
	void Add(TPiece& piece);
	/// Whether the draw can take the piece; sets its scissor and blending when it can.
	bool Takes(TRecord& record, const TPiece& piece) const;
	/// Whether the piece may be drawn before the record: no pixel meets both, or both leave it the same.
	bool DrawsBefore(const TPiece& piece, const TRecord& record, int& checks) const;
	/// The window pixels the n-th piece of a draw may touch.
	void PieceBox(const TRecord& record, std::size_t n, int box[4]) const;
	/// A piece of lines or points, as yet without ends, at the current clip, in the current colour and blending.
	TPiece NewLinePiece(GLenum mode, GLfloat lineWidth) const;
	/// Adds a line from (x0, y0) to (x1, y1), or a point at (x0, y0), made from the piece.
	void AddLinePiece(TPiece piece, GLfloat x0, GLfloat y0, GLfloat x1, GLfloat y1);

	/// Draws the records where they meet the areas, with the state every draw shares set around them.
	void DrawRecords(const std::vector<TRecord>& records, const std::vector<TArea>& areas) const;
	/// Draws a record where it meets the rectangle (x0, y0, x1, y1).
	void Draw(const TRecord& record, const int area[4]) const;
	/// Sets the scissor a record needs where it meets the rectangle (x0, y0, x1, y1), unless the one set serves.
	void SetScissor(const TRecord& record, const int area[4]) const;
	/// A presented frame: its records, and the texture epoch it was drawn in.
	struct TFrame
	{
		std::vector<TRecord> records;
		unsigned epoch;
	};
	/// The rectangles of the window in which this frame's records differ from an earlier frame's.
	void Damage(const std::vector<TRecord>& earlier, std::vector<TArea>& areas) const;
	/// Adds the rectangles in which the pieces of a draw differ from those of its earlier counterpart.
	void PieceDamage(const TRecord& now, const TRecord& earlier, std::vector<TArea>& areas) const;
	/// Adds a rectangle to the areas drawn again, joined with those it touches.
	void AddArea(std::vector<TArea>& areas, const int bounds[4]) const;

	bool m_InFrame = false;
	int m_Width = 0;
	int m_Height = 0;
	int m_Clip[4] = {0, 0, 0, 0};
	bool m_Blend = false;
	GLfloat m_Color[4] = {1, 1, 1, 1};
	/// This frame's records.
	std::vector<TRecord> m_Records;
	/// The state set while records are drawn: texture, blending, line width and scissor (x0, y0, x1, y1).
	mutable GLuint m_Bound = 0;
	mutable bool m_Blending = false;
	mutable GLfloat m_LineWidth = 0;
	mutable int m_Scissor[4] = {0, 0, 0, 0};

	/// Kept frames: the frame drawn before this one (none when unknown).
	bool m_KeepFrames = false;
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
