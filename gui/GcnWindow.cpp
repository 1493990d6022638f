#include "gui/GcnWindow.h"

#include "app/GameMaster.h"
#include "gui/SkinManager.h"

#include <guichan/exception.hpp>
#include <guichan/font.hpp>
#include <guichan/graphics.hpp>
#include <guichan/image.hpp>

namespace
{
const float SKIN_ALPHA = 0.75f;
const int CAPTION_MARGIN = 4;
}

TGcnWindow::TGcnWindow()
{
	ApplySkin();
}

TGcnWindow::TGcnWindow(const std::string& caption)
	: gcn::Window(caption)
{
	ApplySkin();
}

void TGcnWindow::ApplySkin()
{
	setFrameSize(0);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(this);
}

void TGcnWindow::draw(gcn::Graphics* graphics)
{
	const gcn::Rectangle children = getChildrenArea();
	graphics->setColor(getBackgroundColor());
	g_DrawRectangleSlide.DrawRectangle(graphics, gcn::Rectangle(0, 0, getWidth(), getHeight()));
	graphics->setColor(getBaseColor());
	DrawTitleBar(graphics, children);
	DrawBody(graphics, children);
	drawChildren(graphics);
	DrawCaption(graphics);
	drawChildren(graphics);
}

void TGcnWindow::DrawTitleBar(gcn::Graphics* graphics, const gcn::Rectangle& children)
{
	const gcn::Image* skin = g_GameMaster.m_Skin ? g_GameMaster.m_Skin->m_Image : nullptr;
	if (skin)
		DrawImageStretchedAlpha(graphics, skin, 0, 0, skin->getWidth(), skin->getHeight(), 1, 1, getWidth() - 2,
			children.y - 1, SKIN_ALPHA);
	else
		graphics->fillRectangle(gcn::Rectangle(1, 1, getWidth() - 2, children.y - 1));
}

void TGcnWindow::DrawBody(gcn::Graphics* graphics, const gcn::Rectangle& d)
{
	const int width = getWidth();
	const int height = getHeight();
	graphics->fillRectangle(gcn::Rectangle(1, d.y, d.x - 1, d.height));
	graphics->fillRectangle(gcn::Rectangle(d.x + d.width, d.y, width - d.x - d.width - 1, d.height));
	graphics->fillRectangle(gcn::Rectangle(1, d.y + d.height, width - 2, height - d.y - d.height - 1));
	if (isOpaque())
		graphics->fillRectangle(d);
}

void TGcnWindow::DrawCaption(gcn::Graphics* graphics)
{
	const int titleBarHeight = static_cast<int>(getTitleBarHeight());
	const int y = (titleBarHeight - getFont()->getHeight()) / 2;
	int x = 0;
	switch (getAlignment()) {
	case gcn::Graphics::LEFT:
		x = CAPTION_MARGIN;
		break;
	case gcn::Graphics::CENTER:
		x = getWidth() / 2;
		break;
	case gcn::Graphics::RIGHT:
		x = getWidth() - CAPTION_MARGIN;
		break;
	default:
		throw gcn::Exception("Unknown alignment.", "TGcnWindow::draw", __FILE__, __LINE__);
	}
	graphics->setColor(getForegroundColor());
	graphics->setFont(getFont());
	graphics->pushClipArea(gcn::Rectangle(0, 0, getWidth(), titleBarHeight - 1));
	graphics->drawText(getCaption(), x, y, getAlignment());
	graphics->popClipArea();
}
