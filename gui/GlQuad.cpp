#include "gui/GlQuad.h"

#include "gui/GcnGraphics.h"
#include "platform/SwapControl.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <guichan/cliprectangle.hpp>
#include <guichan/opengl/openglimage.hpp>

namespace
{
/// Most separate areas a frame draws again; more are drawn as one.
const std::size_t MAX_AREAS = 16;
/// Areas this close are drawn as one.
const int AREA_GAP = 32;
/// The record mode of a clear; no primitive has it.
const GLenum CLEAR = GL_COLOR_BUFFER_BIT;

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

// Rectangles as (x0, y0, x1, y1): the intersection goes to the first.
void Intersect(int area[4], const int other[4])
{
	area[0] = std::max(area[0], other[0]);
	area[1] = std::max(area[1], other[1]);
	area[2] = std::min(area[2], other[2]);
	area[3] = std::min(area[3], other[3]);
}

void Unite(int area[4], const int other[4])
{
	if (area[0] >= area[2] || area[1] >= area[3]) {
		std::copy(other, other + 4, area);
		return;
	}
	area[0] = std::min(area[0], other[0]);
	area[1] = std::min(area[1], other[1]);
	area[2] = std::max(area[2], other[2]);
	area[3] = std::max(area[3], other[3]);
}

bool IsEmpty(const int area[4])
{
	return area[0] >= area[2] || area[1] >= area[3];
}
}

bool TGlQuadBatch::TRecord::operator==(const TRecord& other) const
{
	if (mode != other.mode || !SameStyle(style, other.style) || blendNeed != other.blendNeed
		|| scissored != other.scissored || (scissored && !std::equal(scissor, scissor + 4, other.scissor))
		|| lineWidth != other.lineWidth || std::memcmp(color, other.color, sizeof(color)) != 0
		|| vertices.size() != other.vertices.size())
		return false;
	return vertices.empty() || std::memcmp(vertices.data(), other.vertices.data(), vertices.size() * sizeof(TVertex)) == 0;
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
	m_RunOpen = false;
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
	CloseRun();
	if (m_KeepFrames) {
		const std::vector<TArea> whole = {{{0, 0, m_Width, m_Height}}};
		const bool comparable = !m_DrewEarly && !m_Presented.empty() && m_Presented.front().epoch == m_TextureEpoch;
		m_Shown.clear();
		if (comparable)
			Damage(m_Presented.front().records, m_Shown);
		// Unless the back buffer is only ever copied to the window, it holds no known frame after a swap,
		// and a changed frame is drawn whole.
		if (!comparable || (!m_Shown.empty() && !m_Partial))
			m_Shown = whole;
		DrawAreas(m_Shown);
		m_PictureChanged = !m_Shown.empty();
		if (m_DrewEarly)
			m_Presented.clear();
		else
			m_Presented.assign(1, TFrame{std::move(m_Records), m_TextureEpoch});
		m_Records.clear();
		m_DrewEarly = false;
	}
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

void TGlQuadBatch::DrawAreas(const std::vector<TArea>& areas) const
{
	for (const TArea& area : areas)
		for (const TRecord& record : m_Records)
			Draw(record, area.box);
}

void TGlQuadBatch::Flush()
{
	CloseRun();
	if (!m_KeepFrames || !m_InFrame || m_Records.empty())
		return;
	// Drawn whole at once: a texture they use is about to go.
	const std::vector<TArea> whole = {{{0, 0, m_Width, m_Height}}};
	DrawAreas(whole);
	m_Records.clear();
	m_DrewEarly = true;
}

void TGlQuadBatch::Damage(const std::vector<TRecord>& earlier, std::vector<TArea>& areas) const
{
	// A pixel outside every record that differs between the two frames meets the same records in the same
	// order in both, and keeps its colour. Records are paired by their place from the start, and from the
	// end where the frames hold different numbers of them.
	const std::size_t count = std::min(m_Records.size(), earlier.size());
	std::size_t head = 0;
	while (head < count && m_Records[head] == earlier[head])
		++head;
	std::size_t tail = 0;
	while (tail < count - head && m_Records[m_Records.size() - 1 - tail] == earlier[earlier.size() - 1 - tail])
		++tail;
	const bool paired = m_Records.size() == earlier.size();
	for (const std::vector<TRecord>* records : {&m_Records, &earlier})
		for (std::size_t i = head; i < records->size() - tail; ++i)
			if (!paired || !(m_Records[i] == earlier[i]))
				AddArea(areas, (*records)[i].bounds);
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

bool TGlQuadBatch::Joins(const TQuadStyle& style, int blendNeed, int x0, int y0, int x1, int y1)
{
	// A quad inside its clip rectangle is drawn the same under any scissor that holds it, so quads of
	// different clips share a draw as long as one scissor serves them all.
	const bool clipped = m_InFrame && !Inside(x0, y0, x1, y1, m_Clip);
	TRecord& run = m_Run;
	if (!m_RunOpen) {
		run.mode = GL_QUADS;
		run.style = style;
		run.blendNeed = blendNeed;
		run.scissored = clipped;
		std::copy(m_Clip, m_Clip + 4, run.scissor);
		run.bounds[0] = x0;
		run.bounds[1] = y0;
		run.bounds[2] = x1;
		run.bounds[3] = y1;
		run.vertices.clear();
		m_RunOpen = true;
		return true;
	}
	if (!SameStyle(style, run.style) || (blendNeed >= 0 && run.blendNeed >= 0 && blendNeed != run.blendNeed))
		return false;
	if (!clipped && run.scissored && !Inside(x0, y0, x1, y1, run.scissor))
		return false;
	if (clipped) {
		if (run.scissored ? !std::equal(m_Clip, m_Clip + 4, run.scissor)
						  : !Inside(run.bounds[0], run.bounds[1], run.bounds[2], run.bounds[3], m_Clip))
			return false;
		run.scissored = true;
		std::copy(m_Clip, m_Clip + 4, run.scissor);
	}
	if (run.blendNeed < 0)
		run.blendNeed = blendNeed;
	const int quad[4] = {x0, y0, x1, y1};
	Unite(run.bounds, quad);
	return true;
}

void TGlQuadBatch::CloseRun()
{
	if (!m_RunOpen)
		return;
	m_RunOpen = false;
	Commit(m_Run);
}

void TGlQuadBatch::Commit(TRecord& record)
{
	if (record.scissored) {
		const int clip[4] = {record.scissor[0], record.scissor[1], record.scissor[0] + record.scissor[2],
			record.scissor[1] + record.scissor[3]};
		Intersect(record.bounds, clip);
	}
	if (m_KeepFrames && m_InFrame) {
		m_Records.push_back(std::move(record));
		return;
	}
	const int whole[4] = {0, 0, m_Width, m_Height};
	Draw(record, whole);
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
		CloseRun();
		Joins(style, blendNeed, x0, y0, x1, y1);
	}
	const GLfloat fx0 = GLfloat(x);
	const GLfloat fy0 = GLfloat(y);
	const GLfloat fx1 = GLfloat(x + width);
	const GLfloat fy1 = GLfloat(y + height);
	// The corners in the order a quad of the graphics is drawn.
	std::vector<TVertex>& vertices = m_Run.vertices;
	vertices.push_back({s0, t0, color[0], color[1], color[2], color[3], fx0, fy0});
	vertices.push_back({s0, t1, color[0], color[1], color[2], color[3], fx0, fy1});
	vertices.push_back({s1, t1, color[0], color[1], color[2], color[3], fx1, fy1});
	vertices.push_back({s1, t0, color[0], color[1], color[2], color[3], fx1, fy0});
}

void TGlQuadBatch::AddFill(int x, int y, int width, int height)
{
	TQuadStyle style;
	style.blend = m_Blend;
	AddQuad(style, x, y, width, height, 0, 0, 0, 0, m_Color);
}

void TGlQuadBatch::AddLines(GLenum mode, const std::vector<GLfloat>& coordinates, GLfloat lineWidth)
{
	if (coordinates.size() < 2)
		return;
	CloseRun();
	TRecord record;
	record.mode = mode;
	record.blendNeed = m_Blend ? 1 : 0;
	record.scissored = m_InFrame;
	std::copy(m_Clip, m_Clip + 4, record.scissor);
	record.lineWidth = lineWidth;
	std::copy(m_Color, m_Color + 4, record.color);
	GLfloat box[4] = {coordinates[0], coordinates[1], coordinates[0], coordinates[1]};
	for (std::size_t i = 0; i + 1 < coordinates.size(); i += 2) {
		record.vertices.push_back({0, 0, m_Color[0], m_Color[1], m_Color[2], m_Color[3], coordinates[i],
			coordinates[i + 1]});
		box[0] = std::min(box[0], coordinates[i]);
		box[1] = std::min(box[1], coordinates[i + 1]);
		box[2] = std::max(box[2], coordinates[i]);
		box[3] = std::max(box[3], coordinates[i + 1]);
	}
	// Wide lines and points reach half their width beyond their ends, and a pixel more for rounding.
	const GLfloat reach = lineWidth / 2 + 2;
	record.bounds[0] = int(std::floor(box[0] - reach));
	record.bounds[1] = int(std::floor(box[1] - reach));
	record.bounds[2] = int(std::ceil(box[2] + reach));
	record.bounds[3] = int(std::ceil(box[3] + reach));
	Commit(record);
}

void TGlQuadBatch::AddClear(int r, int g, int b)
{
	CloseRun();
	TRecord record;
	record.mode = CLEAR;
	record.color[0] = r / 255.0f;
	record.color[1] = g / 255.0f;
	record.color[2] = b / 255.0f;
	record.bounds[2] = m_Width;
	record.bounds[3] = m_Height;
	Commit(record);
}

void TGlQuadBatch::ApplyScissor(const int area[4]) const
{
	glScissor(area[0], m_Height - area[3], area[2] - area[0], area[3] - area[1]);
}

void TGlQuadBatch::Draw(const TRecord& record, const int area[4]) const
{
	if (m_InFrame) {
		int reach[4] = {area[0], area[1], area[2], area[3]};
		Intersect(reach, record.bounds);
		if (IsEmpty(reach))
			return;
		// The scissor leaves out the record's own bounds: nothing of it lies beyond them, and draws in a
		// row under one clip then share one scissor, which the software renderer does not set up again.
		int box[4] = {0, 0, m_Width, m_Height};
		Intersect(box, area);
		if (record.scissored) {
			const int clip[4] = {record.scissor[0], record.scissor[1], record.scissor[0] + record.scissor[2],
				record.scissor[1] + record.scissor[3]};
			Intersect(box, clip);
			// An empty clip draws nothing, so an empty scissor serves it.
			box[2] = std::max(box[0], box[2]);
			box[3] = std::max(box[1], box[3]);
		}
		ApplyScissor(box);
	}
	if (record.mode == CLEAR) {
		glClearColor(record.color[0], record.color[1], record.color[2], 1.0f);
		glClear(GL_COLOR_BUFFER_BIT);
		return;
	}
	if (record.mode == GL_QUADS && record.style.texture != 0) {
		glBindTexture(GL_TEXTURE_2D, record.style.texture);
		glEnable(GL_TEXTURE_2D);
		glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, record.style.envMode);
		if (record.style.envMode == GL_BLEND)
			glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, record.style.envColor);
	} else {
		glDisable(GL_TEXTURE_2D);
	}
	if (record.blendNeed == 1)
		glEnable(GL_BLEND);
	else if (record.blendNeed == 0)
		glDisable(GL_BLEND);
	if (record.mode != GL_QUADS) {
		// Every record of points or lines sets its own width.
		glColor4fv(record.color);
		glLineWidth(record.lineWidth);
		glBegin(record.mode);
		for (const TVertex& vertex : record.vertices)
			glVertex2f(vertex.x, vertex.y);
		glEnd();
		return;
	}
	const TVertex* first = record.vertices.data();
	glEnableClientState(GL_VERTEX_ARRAY);
	glEnableClientState(GL_COLOR_ARRAY);
	glVertexPointer(2, GL_FLOAT, sizeof(TVertex), &first->x);
	glColorPointer(4, GL_FLOAT, sizeof(TVertex), &first->r);
	if (record.style.texture != 0) {
		glEnableClientState(GL_TEXTURE_COORD_ARRAY);
		glTexCoordPointer(2, GL_FLOAT, sizeof(TVertex), &first->s);
	}
	glDrawArrays(GL_QUADS, 0, GLsizei(record.vertices.size()));
	glDisableClientState(GL_TEXTURE_COORD_ARRAY);
	glDisableClientState(GL_COLOR_ARRAY);
	glDisableClientState(GL_VERTEX_ARRAY);
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
