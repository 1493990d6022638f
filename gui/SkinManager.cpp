#include "gui/SkinManager.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "gui/GlQuad.h"
#include "media/CharDrawer.h"
#include "platform/FileSystem.h"

#include <cmath>
#include <GL/gl.h>
#include <guichan/exception.hpp>
#include <guichan/graphics.hpp>
#include <guichan/image.hpp>
#include <guichan/opengl/openglimage.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/checkbox.hpp>
#include <guichan/widgets/listbox.hpp>
#include <guichan/widgets/radiobutton.hpp>
#include <guichan/widgets/scrollarea.hpp>

TDrawRectangleSlide g_DrawRectangleSlide;

namespace
{
const gcn::Color WINDOW_BACKGROUND(0, 0, 0, 192);
const gcn::Color BLACK(0, 0, 0, 255);
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color LIGHT_GREY(192, 192, 192, 255);
const gcn::Color GREY(128, 128, 128, 255);
const int GROUP_CAPTION_INDENT = 8;
const int CIRCLE_SEGMENTS = 16;
const float CIRCLE_STEP_DEGREES = 22.5f;
const float DEGREES_TO_RADIANS = 0.017453292f;
}

TGcnSkinManager::TGcnSkinManager()
	: m_Image(nullptr), m_Colors(&g_Config.GetGuiColor(0))
{
}

TGcnSkinManager::~TGcnSkinManager()
{
	delete m_Image;
}

bool TGcnSkinManager::LoadImage(const std::string& folder)
{
	GlQuadBatch().Flush();
	delete m_Image;
	m_Image = LoadImageFile(folder + "/System/" + "window.png");
	return m_Image != nullptr;
}

gcn::Image* TGcnSkinManager::LoadImageFile(const std::string& path)
{
	try {
		GlQuadBatch().NoteNewTexture();
		return gcn::Image::load(NativePath(path), true);
	} catch (const gcn::Exception&) {
		LOG_ERROR("Failed to load image %s", path);
		return nullptr;
	}
}

void TGcnSkinManager::SetupWindow(gcn::Widget* window) const
{
	window->setBaseColor(m_Colors[GUICOLOR_WINDOW]);
	window->setBackgroundColor(WINDOW_BACKGROUND);
}

void TGcnSkinManager::SetupPane(gcn::Widget* widget) const
{
	widget->setBackgroundColor(m_Colors[GUICOLOR_WINDOW]);
}

void TGcnSkinManager::SetupDarkPane(gcn::Widget* widget) const
{
	widget->setBackgroundColor(m_Colors[GUICOLOR_DARK_PANE]);
}

void TGcnSkinManager::SetupRadioButton(gcn::RadioButton* radioButton) const
{
	radioButton->setForegroundColor(g_Config.m_FontColor);
	radioButton->setBackgroundColor(m_Colors[GUICOLOR_RADIOBUTTON_BG]);
}

void TGcnSkinManager::SetupButton(gcn::Button* button) const
{
	button->setBaseColor(m_Colors[GUICOLOR_BUTTON_ENABLED]);
	button->setForegroundColor(g_Config.m_FontColor);
	button->setEnabled(true);
}

void TGcnSkinManager::SetupDisabledButton(gcn::Button* button) const
{
	button->setBaseColor(m_Colors[GUICOLOR_BUTTON_DISABLED]);
	button->setForegroundColor(g_Config.m_FontDisabledColor);
	button->setEnabled(false);
}

void TGcnSkinManager::SetupCheckBox(gcn::CheckBox* checkBox)
{
	checkBox->setForegroundColor(g_Config.m_FontColor);
	checkBox->setBackgroundColor(BLACK);
	checkBox->setEnabled(true);
}

void TGcnSkinManager::SetupDisabledCheckBox(gcn::CheckBox* checkBox)
{
	checkBox->setForegroundColor(LIGHT_GREY);
	checkBox->setBackgroundColor(GREY);
	checkBox->setEnabled(false);
}

void TGcnSkinManager::SetupListBox(gcn::ListBox* listBox) const
{
	listBox->setForegroundColor(g_Config.m_FontColor);
	listBox->setBackgroundColor(m_Colors[GUICOLOR_LISTBOX_BACKGROUND]);
	listBox->setSelectionColor(m_Colors[GUICOLOR_LISTBOX_SELECTION]);
}

void TGcnSkinManager::SetupScrollArea(gcn::ScrollArea* scrollArea) const
{
	scrollArea->setBackgroundColor(m_Colors[GUICOLOR_DARK_PANE]);
	scrollArea->setScrollbarWidth(g_Config.GetIntValue(CONFIG_SCROLLBAR_WIDTH));
}

void TDrawRectangleSlide::Set(int left, int right, int top, int bottom)
{
	m_Left = left;
	m_Right = right;
	m_Top = top;
	m_Bottom = bottom;
}

void TDrawRectangleSlide::DrawRectangle(gcn::Graphics* graphics, const gcn::Rectangle& r) const
{
	graphics->drawRectangle(gcn::Rectangle(r.x + m_Left, r.y + m_Top, r.width + m_Right - m_Left,
		r.height + m_Bottom - m_Top));
	graphics->drawPoint(r.x, r.y + r.height);
}

void DrawHighlightFrame(gcn::Graphics* graphics, const gcn::Rectangle& r)
{
	const int right = r.x + r.width;
	const int bottom = r.y + r.height;
	graphics->setColor(BLACK);
	g_DrawRectangleSlide.DrawRectangle(graphics, gcn::Rectangle(r.x + 3, r.y + 3, r.width - 5, r.height - 5));
	graphics->drawLine(r.x, r.y, right, r.y);
	graphics->drawLine(r.x, bottom, right, bottom);
	graphics->drawLine(r.x, r.y, r.x, bottom);
	graphics->drawLine(right, r.y, right, bottom);
	graphics->setColor(WHITE);
	g_DrawRectangleSlide.DrawRectangle(graphics, gcn::Rectangle(r.x + 2, r.y + 2, r.width - 3, r.height - 3));
	g_DrawRectangleSlide.DrawRectangle(graphics, gcn::Rectangle(r.x + 1, r.y + 1, r.width - 1, r.height - 1));
}

namespace
{
/// The group frame's edges, moved by (shift, shift), with a gap in the top edge for a caption of that width.
void DrawGroupFrameEdges(gcn::Graphics* graphics, const gcn::Rectangle& r, int captionWidth, int shift)
{
	const int left = r.x + shift;
	const int top = r.y + shift;
	const int right = r.x + r.width + shift;
	const int bottom = r.y + r.height + shift;
	graphics->drawLine(left, bottom, right, bottom);
	graphics->drawLine(left, top, left, bottom);
	graphics->drawLine(right, top, right, bottom);
	graphics->drawLine(left, top, r.x + GROUP_CAPTION_INDENT, top);
	graphics->drawLine(r.x + captionWidth + GROUP_CAPTION_INDENT, top, right, top);
}
}

void DrawGroupFrame(gcn::Graphics* graphics, const gcn::Rectangle& r, const std::string& caption,
	TGcnCharDrawer* drawer)
{
	const int captionWidth = drawer ? drawer->m_GlyphWidth * static_cast<int>(caption.size()) / 2 : 0;
	graphics->setColor(LIGHT_GREY);
	DrawGroupFrameEdges(graphics, r, captionWidth, 1);
	graphics->setColor(WHITE);
	DrawGroupFrameEdges(graphics, r, captionWidth, 0);
	if (drawer)
		drawer->DrawString(graphics, r.x + GROUP_CAPTION_INDENT, r.y - drawer->m_GlyphHeight / 2, caption.c_str(),
			WHITE);
}

void DrawBoldText(gcn::Graphics* graphics, const std::string& text, int x, int y)
{
	graphics->drawText(text, x, y, gcn::Graphics::LEFT);
	graphics->drawText(text, x + 1, y, gcn::Graphics::LEFT);
}

void GLDrawLine(int x1, int y1, int x2, int y2, float lineWidth)
{
	GLDrawLines({ x1, y1, x2, y2 }, lineWidth);
}

void GLDrawLines(const std::vector<int>& coordinates, float lineWidth)
{
	std::vector<GLfloat> ends;
	for (size_t i = 0; i + 3 < coordinates.size(); i += 4)
		ends.insert(ends.end(), coordinates.begin() + i, coordinates.begin() + i + 4);
	GlQuadBatch().AddLines(GL_LINES, ends, lineWidth);
}

void GLDrawCircle(int centerX, int centerY, int radius, float lineWidth)
{
	std::vector<GLfloat> points;
	for (int i = 0; i < CIRCLE_SEGMENTS; ++i) {
		const float angle = i * CIRCLE_STEP_DEGREES * DEGREES_TO_RADIANS;
		points.push_back(centerX + std::cos(angle) * radius);
		points.push_back(centerY + std::sin(angle) * radius);
	}
	GlQuadBatch().AddLines(GL_LINE_LOOP, points, lineWidth);
}

void DrawImageStretched(gcn::Graphics* graphics, const gcn::Image* image, int srcX, int srcY, int srcWidth,
	int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight, float r, float g, float b, float a)
{
	const gcn::OpenGLImage* texture = dynamic_cast<const gcn::OpenGLImage*>(image);
	if (!texture)
		return;
	// The environment colour is set here rather than inherited from whatever was
	// drawn last, so the skin looks the same on every frame.
	TQuadStyle style;
	style.texture = texture->getTextureHandle();
	style.envMode = GL_BLEND;
	style.blend = true;
	const GLfloat color[4] = { r, g, b, a };
	AddTexturedQuad(style, texture, graphics->getCurrentClipArea(), srcX, srcY, srcWidth, srcHeight,
		dstX, dstY, dstWidth, dstHeight, color);
	GlQuadBatch().SetBlend(false);
	FlushUnlessBatching(graphics);
}

void DrawImageStretchedAlpha(gcn::Graphics* graphics, const gcn::Image* image, int srcX, int srcY, int srcWidth,
	int srcHeight, int dstX, int dstY, int dstWidth, int dstHeight, float a)
{
	DrawImageStretched(graphics, image, srcX, srcY, srcWidth, srcHeight, dstX, dstY, dstWidth, dstHeight, a, a, a, a);
}
