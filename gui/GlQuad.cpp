#include "gui/GlQuad.h"

#include "gui/GcnGraphics.h"
#include "platform/SwapControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <guichan/cliprectangle.hpp>
#include <guichan/opengl/openglimage.hpp>

const GLfloat IMAGE_COLOR[4] = {0, 0, 0, 1};

namespace
{
/// Most separate areas a frame draws again; more are drawn as one.
const std::size_t MAX_AREAS = 16;
/// Areas this close are drawn as one.
const int AREA_GAP = 32;
/// The record mode of a clear; no primitive has it.
const GLenum CLEAR = GL_COLOR_BUFFER_BIT;
/// Draws a piece looks back over for one that takes it, and pieces of theirs it compares itself with.
const std::size_t LOOK_BACK = 24;
const int MAX_CHECKS = 256;
const GLfloat WHITE[4] = {1, 1, 1, 1};

// Whether [x0, x1) x [y0, y1) lies inside the rectangle (x, y, width, height).
bool Inside(int x0, int y0, int x1, int y1, const int rect[4])
{
	return x0 >= rect[0] && y0 >= rect[1] && x1 <= rect[0] + rect[2] && y1 <= rect[1] + rect[3];
}

// Rectangles as (x0, y0, x1, y1): the intersection goes to the first.
void Intersect(int area[4], const int other[4])
{
	area[0] = std::max(area[0], other[0]);
	area[1] = std::max(area[1], other[1]);
	area[2] = std::min(area[2], other[2]);
	area[3] = std::min(area[3], other[3]);
}

bool IsEmpty(const int area[4])
{
	return area[0] >= area[2] || area[1] >= area[3];
}

void Unite(int area[4], const int other[4])
{
	if (IsEmpty(other))
		return;
	if (IsEmpty(area)) {
		std::copy(other, other + 4, area);
		return;
	}
	area[0] = std::min(area[0], other[0]);
	area[1] = std::min(area[1], other[1]);
	area[2] = std::max(area[2], other[2]);
	area[3] = std::max(area[3], other[3]);
}

bool Meet(const int a[4], const int b[4])
{
	return !IsEmpty(a) && !IsEmpty(b) && a[0] < b[2] && b[0] < a[2] && a[1] < b[3] && b[1] < a[3];
}

// A rectangle (x, y, width, height) as (x0, y0, x1, y1).
void Corners(const int rect[4], int box[4])
{
	box[0] = rect[0];
	box[1] = rect[1];
	box[2] = rect[0] + rect[2];
	box[3] = rect[1] + rect[3];
}

std::size_t VerticesPerPiece(GLenum mode)
{
	return mode == GL_QUADS ? 4 : mode == GL_LINES ? 2 : 1;
}

// Where two sequences of draws or pieces, one this frame's and one an earlier frame's, stop being the
// same: items are paired by their place from the start, and from the end where the counts differ.
struct TMismatch
{
	std::size_t head;
	std::size_t nowEnd;
	std::size_t earlierEnd;

	/// Whether the items between head and the ends pair one to one.
	bool Paired() const { return nowEnd == earlierEnd; }
};

template <typename TSame>
TMismatch FindMismatch(std::size_t nowCount, std::size_t earlierCount, TSame same)
{
	const std::size_t count = std::min(nowCount, earlierCount);
	std::size_t head = 0;
	while (head < count && same(head, head))
		++head;
	std::size_t tail = 0;
	while (tail < count - head && same(nowCount - 1 - tail, earlierCount - 1 - tail))
		++tail;
	return {head, nowCount - tail, earlierCount - tail};
}

// Makes the default texture one opaque black texel, drawn under untextured pieces; a new context
// starts without it.
void PrepareTexel()
{
	glBindTexture(GL_TEXTURE_2D, 0);
	GLint width = 0;
	glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
	if (width == 1)
		return;
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	const GLubyte black[4] = {0, 0, 0, 255};
	// The internal format of guichan's images, so that both share one sampler.
	glTexImage2D(GL_TEXTURE_2D, 0, 4, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, black);
}
}

bool TGlQuadBatch::TRecord::SameState(const TRecord& other) const
{
	return mode == other.mode && style.texture == other.style.texture && blendNeed == other.blendNeed
		&& scissored == other.scissored && (!scissored || std::equal(scissor, scissor + 4, other.scissor))
		&& lineWidth == other.lineWidth
		&& (mode != CLEAR || std::memcmp(color, other.color, sizeof(color)) == 0);
}

bool TGlQuadBatch::TRecord::SamePiece(std::size_t n, const TRecord& other, std::size_t m) const
{
	const std::size_t per = VerticesPerPiece(mode);
	return std::memcmp(&vertices[n * per], &other.vertices[m * per], per * sizeof(TVertex)) == 0;
}

bool TGlQuadBatch::TRecord::operator==(const TRecord& other) const
{
	return SameState(other) && vertices.size() == other.vertices.size()
		&& (vertices.empty() || std::memcmp(vertices.data(), other.vertices.data(), vertices.size() * sizeof(TVertex)) == 0);
}

TGlQuadBatch& GlQuadBatch()
{
	static TGlQuadBatch batch;
	return batch;
}

TGlQuadBatch::TGlQuadBatch() = default;

TGlQuadBatch::~TGlQuadBatch() = default;

void TGlQuadBatch::SetKeepFrames(bool keep)
{
	m_KeepFrames = keep;
	m_Presented.clear();
}

void TGlQuadBatch::BeginFrame(int width, int height)
{
	m_Records.clear();
	m_InFrame = true;
	m_Width = width;
	m_Height = height;
	m_Blend = false;
	SetColor(255, 255, 255, 255);
	SetClip(0, 0, width, height);
}

void TGlQuadBatch::EndFrame()
{
	const std::vector<TArea> whole = {{{0, 0, m_Width, m_Height}}};
	if (!m_KeepFrames) {
		DrawRecords(m_Records, whole);
	} else {
		const bool comparable = !m_DrewEarly && !m_Presented.empty() && m_Presented.front().epoch == m_TextureEpoch;
		m_Shown.clear();
		if (comparable)
			Damage(m_Presented.front().records, m_Shown);
		// Unless the back buffer is only ever copied to the window, it holds no known frame after a swap,
		// and a changed frame is drawn whole.
		if (!comparable || (!m_Shown.empty() && !m_Partial))
			m_Shown = whole;
		DrawRecords(m_Records, m_Shown);
		m_PictureChanged = !m_Shown.empty();
		if (m_DrewEarly)
			m_Presented.clear();
		else
			m_Presented.assign(1, TFrame{std::move(m_Records), m_TextureEpoch});
	}
	m_Records.clear();
	m_DrewEarly = false;
	m_InFrame = false;
}

bool TGlQuadBatch::ShowChanges()
{
	if (!m_KeepFrames || !m_Partial)
		return false;
	for (const TArea& area : m_Shown)
		if (!CopyBackBufferPart(area.box[0], m_Height - area.box[3], area.box[2] - area.box[0],
				area.box[3] - area.box[1])) {
			m_Partial = false;
			m_Presented.clear();
			return false;
		}
	return true;
}

void TGlQuadBatch::Flush()
{
	if (!m_InFrame || m_Records.empty())
		return;
	// Drawn whole at once: a texture they use is about to go.
	const std::vector<TArea> whole = {{{0, 0, m_Width, m_Height}}};
	DrawRecords(m_Records, whole);
	m_Records.clear();
	m_DrewEarly = true;
}

void TGlQuadBatch::Damage(const std::vector<TRecord>& earlier, std::vector<TArea>& areas) const
{
	// A pixel outside every record that differs between the two frames meets the same records in the same
	// order in both, and keeps its colour.
	const TMismatch mismatch = FindMismatch(m_Records.size(), earlier.size(),
		[&](std::size_t i, std::size_t j) { return m_Records[i] == earlier[j]; });
	if (mismatch.Paired()) {
		for (std::size_t i = mismatch.head; i < mismatch.nowEnd; ++i)
			if (!(m_Records[i] == earlier[i]))
				PieceDamage(m_Records[i], earlier[i], areas);
		return;
	}
	for (std::size_t i = mismatch.head; i < mismatch.nowEnd; ++i)
		AddArea(areas, m_Records[i].bounds);
	for (std::size_t j = mismatch.head; j < mismatch.earlierEnd; ++j)
		AddArea(areas, earlier[j].bounds);
}

void TGlQuadBatch::PieceDamage(const TRecord& now, const TRecord& earlier, std::vector<TArea>& areas) const
{
	// A draw joins pieces from all over the window: where only some of them moved or changed, the pixels
	// of the others meet the same pieces in the same order in both frames.
	if (!now.SameState(earlier)) {
		AddArea(areas, now.bounds);
		AddArea(areas, earlier.bounds);
		return;
	}
	const std::size_t per = VerticesPerPiece(now.mode);
	const TMismatch mismatch = FindMismatch(now.vertices.size() / per, earlier.vertices.size() / per,
		[&](std::size_t n, std::size_t m) { return now.SamePiece(n, earlier, m); });
	int box[4];
	for (std::size_t n = mismatch.head; n < mismatch.nowEnd; ++n)
		if (!mismatch.Paired() || !now.SamePiece(n, earlier, n)) {
			PieceBox(now, n, box);
			AddArea(areas, box);
		}
	for (std::size_t m = mismatch.head; m < mismatch.earlierEnd; ++m)
		if (!mismatch.Paired() || !now.SamePiece(m, earlier, m)) {
			PieceBox(earlier, m, box);
			AddArea(areas, box);
		}
}

void TGlQuadBatch::AddArea(std::vector<TArea>& areas, const int bounds[4]) const
{
	TArea area = {{0, 0, m_Width, m_Height}};
	Intersect(area.box, bounds);
	if (IsEmpty(area.box))
		return;
	// Areas that touch or nearly touch become one, and so do the last two when there are too many: each
	// area costs a draw of everything that meets it.
	for (std::size_t i = 0; i < areas.size();) {
		const int* other = areas[i].box;
		if (area.box[0] <= other[2] + AREA_GAP && other[0] <= area.box[2] + AREA_GAP
			&& area.box[1] <= other[3] + AREA_GAP && other[1] <= area.box[3] + AREA_GAP) {
			Unite(area.box, other);
			areas.erase(areas.begin() + i);
			i = 0;
		} else {
			++i;
		}
	}
	areas.push_back(area);
	if (areas.size() > MAX_AREAS) {
		TArea merged = areas.back();
		areas.pop_back();
		Unite(merged.box, areas.back().box);
		areas.pop_back();
		AddArea(areas, merged.box);
	}
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

void TGlQuadBatch::ClipAndAdd(TPiece& piece)
{
	TRecord& record = piece.record;
	record.scissored = false;
	PieceBox(record, 0, piece.box);
	// A piece that may reach outside the clip rectangle needs it as its scissor.
	piece.clipped = m_InFrame && !Inside(piece.box[0], piece.box[1], piece.box[2], piece.box[3], m_Clip);
	record.scissored = piece.clipped;
	std::copy(m_Clip, m_Clip + 4, record.scissor);
	if (piece.clipped) {
		int clip[4];
		Corners(m_Clip, clip);
		Intersect(piece.box, clip);
	}
	std::copy(piece.box, piece.box + 4, record.bounds);
	Add(piece);
}

void TGlQuadBatch::Add(TPiece& piece)
{
	if (!m_InFrame) {
		const std::vector<TArea> whole = {{{0, 0, m_Width, m_Height}}};
		DrawRecords({std::move(piece.record)}, whole);
		return;
	}
	int checks = 0;
	const std::size_t count = m_Records.size();
	for (std::size_t i = count; i > 0 && count - i < LOOK_BACK; --i) {
		if (Takes(m_Records[i - 1], piece))
			return;
		if (!DrawsBefore(piece, m_Records[i - 1], checks))
			break;
	}
	m_Records.push_back(std::move(piece.record));
}

bool TGlQuadBatch::Takes(TRecord& record, const TPiece& piece) const
{
	const TRecord& own = piece.record;
	if (record.mode != own.mode || own.mode == CLEAR || record.style.texture != own.style.texture
		|| record.lineWidth != own.lineWidth
		|| (record.blendNeed >= 0 && own.blendNeed >= 0 && record.blendNeed != own.blendNeed))
		return false;
	// A piece inside its clip rectangle is drawn the same under any scissor that holds it, so pieces of
	// different clips share a draw as long as one scissor serves them all.
	if (!piece.clipped && record.scissored && !Inside(piece.box[0], piece.box[1], piece.box[2], piece.box[3], record.scissor))
		return false;
	if (piece.clipped) {
		if (record.scissored ? !std::equal(own.scissor, own.scissor + 4, record.scissor)
							 : !Inside(record.bounds[0], record.bounds[1], record.bounds[2], record.bounds[3], own.scissor))
			return false;
		record.scissored = true;
		std::copy(own.scissor, own.scissor + 4, record.scissor);
	}
	if (record.blendNeed < 0)
		record.blendNeed = own.blendNeed;
	if (record.color[3] >= 0 && std::memcmp(record.color, own.color, sizeof(own.color)) != 0)
		record.color[3] = -1;
	Unite(record.bounds, piece.box);
	record.vertices.insert(record.vertices.end(), own.vertices.begin(), own.vertices.end());
	return true;
}

bool TGlQuadBatch::DrawsBefore(const TPiece& piece, const TRecord& record, int& checks) const
{
	if (IsEmpty(piece.box) || !Meet(piece.box, record.bounds))
		return true;
	if (record.mode == CLEAR)
		return false;
	// Pieces of one colour without a texture leave every pixel they share the same in either order.
	const TRecord& own = piece.record;
	if (own.color[3] >= 0 && std::memcmp(record.color, own.color, sizeof(own.color)) == 0
		&& (own.color[3] == 1 || own.blendNeed == record.blendNeed))
		return true;
	const std::size_t count = record.vertices.size() / VerticesPerPiece(record.mode);
	for (std::size_t n = 0; n < count; ++n) {
		if (++checks > MAX_CHECKS)
			return false;
		int box[4];
		PieceBox(record, n, box);
		if (Meet(piece.box, box))
			return false;
	}
	return true;
}

void TGlQuadBatch::PieceBox(const TRecord& record, std::size_t n, int box[4]) const
{
	const std::size_t per = VerticesPerPiece(record.mode);
	const TVertex* first = &record.vertices[n * per];
	GLfloat corners[4] = {first->x, first->y, first->x, first->y};
	for (const TVertex* vertex = first + 1; vertex < first + per; ++vertex) {
		corners[0] = std::min(corners[0], vertex->x);
		corners[1] = std::min(corners[1], vertex->y);
		corners[2] = std::max(corners[2], vertex->x);
		corners[3] = std::max(corners[3], vertex->y);
	}
	if (record.mode == GL_QUADS) {
		for (int i = 0; i < 4; ++i)
			box[i] = int(corners[i]);
	} else {
		// The pixels a point or line touches have their centres within half its width of its ends (within
		// half a pixel for thin lines, and half a pixel more along wide ones), and a little more for rounding.
		const GLfloat reach = (record.mode == GL_LINES && record.lineWidth > 1 ? record.lineWidth / 2 + 0.5f : 0.5f)
			+ 1.0f / 64;
		box[0] = int(std::ceil(corners[0] - reach - 0.5f));
		box[1] = int(std::ceil(corners[1] - reach - 0.5f));
		box[2] = int(std::floor(corners[2] + reach - 0.5f)) + 1;
		box[3] = int(std::floor(corners[3] + reach - 0.5f)) + 1;
	}
	if (record.scissored) {
		int clip[4];
		Corners(record.scissor, clip);
		Intersect(box, clip);
	}
}

void TGlQuadBatch::AddQuad(const TQuadStyle& style, int x, int y, int width, int height, float s0, float t0,
	float s1, float t1, const GLfloat color[4])
{
	TPiece piece;
	TRecord& record = piece.record;
	record.style = style;
	// Blending makes no difference to an opaque colour without a texture.
	const bool plain = style.texture == 0;
	record.blendNeed = plain && color[3] == 1.0f ? -1 : int(style.blend);
	if (plain)
		std::copy(color, color + 4, record.color);
	const GLfloat fx0 = GLfloat(x);
	const GLfloat fy0 = GLfloat(y);
	const GLfloat fx1 = GLfloat(x + width);
	const GLfloat fy1 = GLfloat(y + height);
	// The corners in the order a quad of the graphics is drawn.
	record.vertices = {{s0, t0, color[0], color[1], color[2], color[3], fx0, fy0},
		{s0, t1, color[0], color[1], color[2], color[3], fx0, fy1},
		{s1, t1, color[0], color[1], color[2], color[3], fx1, fy1},
		{s1, t0, color[0], color[1], color[2], color[3], fx1, fy0}};
	ClipAndAdd(piece);
}

void TGlQuadBatch::AddFill(int x, int y, int width, int height)
{
	TQuadStyle style;
	style.blend = m_Blend;
	AddQuad(style, x, y, width, height, 0, 0, 0, 0, m_Color);
}

TGlQuadBatch::TPiece TGlQuadBatch::NewLinePiece(GLenum mode, GLfloat lineWidth) const
{
	TPiece piece;
	TRecord& record = piece.record;
	record.mode = mode;
	record.lineWidth = lineWidth;
	record.blendNeed = m_Color[3] == 1.0f ? -1 : int(m_Blend);
	std::copy(m_Color, m_Color + 4, record.color);
	return piece;
}

void TGlQuadBatch::AddLinePiece(TPiece piece, GLfloat x0, GLfloat y0, GLfloat x1, GLfloat y1)
{
	TRecord& record = piece.record;
	record.vertices.push_back({0, 0, m_Color[0], m_Color[1], m_Color[2], m_Color[3], x0, y0});
	if (record.mode == GL_LINES)
		record.vertices.push_back({0, 0, m_Color[0], m_Color[1], m_Color[2], m_Color[3], x1, y1});
	ClipAndAdd(piece);
}

void TGlQuadBatch::AddLines(GLenum mode, const std::vector<GLfloat>& coordinates, GLfloat lineWidth)
{
	const std::size_t points = coordinates.size() / 2;
	const GLfloat* at = coordinates.data();
	if (mode == GL_POINTS) {
		const TPiece piece = NewLinePiece(GL_POINTS, lineWidth);
		for (std::size_t i = 0; i < points; ++i)
			AddLinePiece(piece, at[2 * i], at[2 * i + 1], 0, 0);
		return;
	}
	// A line loop is drawn as the lines between its points, the last back to the first: a loop's pixels
	// are those of its lines.
	const TPiece piece = NewLinePiece(GL_LINES, lineWidth);
	const bool loop = mode == GL_LINE_LOOP;
	const std::size_t lines = loop ? (points < 2 ? 0 : points) : points / 2;
	for (std::size_t i = 0; i < lines; ++i) {
		const std::size_t start = loop ? i : 2 * i;
		const std::size_t end = loop ? (i + 1) % points : 2 * i + 1;
		AddLinePiece(piece, at[2 * start], at[2 * start + 1], at[2 * end], at[2 * end + 1]);
	}
}

void TGlQuadBatch::AddClear(int r, int g, int b)
{
	TPiece piece;
	TRecord& record = piece.record;
	record.mode = CLEAR;
	record.color[0] = r / 255.0f;
	record.color[1] = g / 255.0f;
	record.color[2] = b / 255.0f;
	record.color[3] = 1;
	piece.box[2] = m_Width;
	piece.box[3] = m_Height;
	std::copy(piece.box, piece.box + 4, record.bounds);
	Add(piece);
}

void TGlQuadBatch::DrawRecords(const std::vector<TRecord>& records, const std::vector<TArea>& areas) const
{
	if (records.empty() || areas.empty())
		return;
	const GLboolean blending = glIsEnabled(GL_BLEND);
	glEnable(GL_TEXTURE_2D);
	glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
	glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, WHITE);
	PrepareTexel();
	m_Bound = 0;
	m_Blending = blending;
	m_LineWidth = 0;
	// No scissor is known to be set yet.
	std::fill(m_Scissor, m_Scissor + 4, -1);
	glEnableClientState(GL_VERTEX_ARRAY);
	glEnableClientState(GL_COLOR_ARRAY);
	glEnableClientState(GL_TEXTURE_COORD_ARRAY);
	for (const TArea& area : areas)
		for (const TRecord& record : records)
			Draw(record, area.box);
	glDisableClientState(GL_TEXTURE_COORD_ARRAY);
	glDisableClientState(GL_COLOR_ARRAY);
	glDisableClientState(GL_VERTEX_ARRAY);
	glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
	glDisable(GL_TEXTURE_2D);
	if (blending)
		glEnable(GL_BLEND);
	else
		glDisable(GL_BLEND);
}

void TGlQuadBatch::Draw(const TRecord& record, const int area[4]) const
{
	if (m_InFrame) {
		int reach[4] = {area[0], area[1], area[2], area[3]};
		Intersect(reach, record.bounds);
		if (IsEmpty(reach))
			return;
		SetScissor(record, area);
	}
	if (record.mode == CLEAR) {
		glClearColor(record.color[0], record.color[1], record.color[2], 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		return;
	}
	if (record.style.texture != m_Bound) {
		glBindTexture(GL_TEXTURE_2D, record.style.texture);
		m_Bound = record.style.texture;
	}
	// Blending is switched only where it makes a difference.
	if (record.blendNeed >= 0 && (record.blendNeed == 1) != m_Blending) {
		m_Blending = record.blendNeed == 1;
		if (m_Blending)
			glEnable(GL_BLEND);
		else
			glDisable(GL_BLEND);
	}
	if (record.mode != GL_QUADS && record.lineWidth != m_LineWidth) {
		m_LineWidth = record.lineWidth;
		glLineWidth(record.lineWidth);
	}
	const TVertex* first = record.vertices.data();
	glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &first->x);
	glColorPointer(4, GL_FLOAT, sizeof(TVertex), &first->r);
	glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &first->s);
	glDrawArrays(record.mode, 0, GLsizei(record.vertices.size()));
}

void TGlQuadBatch::SetScissor(const TRecord& record, const int area[4]) const
{
	// Every change of state costs the software renderer a copy of it for the rest of the frame, so the
	// scissor changes only where it must. It leaves out the record's own bounds: nothing of it lies
	// beyond them. A record without a clip of its own keeps any scissor that cuts it where the area does.
	int box[4] = {0, 0, m_Width, m_Height};
	Intersect(box, area);
	if (record.scissored) {
		int clip[4];
		Corners(record.scissor, clip);
		Intersect(box, clip);
		// An empty clip draws nothing, so an empty scissor serves it.
		box[2] = std::max(box[0], box[2]);
		box[3] = std::max(box[1], box[3]);
	} else {
		int kept[4] = {m_Scissor[0], m_Scissor[1], m_Scissor[2], m_Scissor[3]};
		int wanted[4] = {box[0], box[1], box[2], box[3]};
		Intersect(kept, record.bounds);
		Intersect(wanted, record.bounds);
		if (std::equal(kept, kept + 4, wanted) || (IsEmpty(kept) && IsEmpty(wanted)))
			return;
	}
	if (std::equal(box, box + 4, m_Scissor))
		return;
	std::copy(box, box + 4, m_Scissor);
	glScissor(box[0], m_Height - box[3], box[2] - box[0], box[3] - box[1]);
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
