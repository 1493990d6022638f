#include "gui/GcnGui.h"

#include <algorithm>
#include <guichan/focushandler.hpp>
#include <guichan/widget.hpp>

namespace
{
gcn::Rectangle ScreenArea(const gcn::Widget& widget)
{
	int x = 0;
	int y = 0;
	widget.getAbsolutePosition(x, y);
	return gcn::Rectangle(x, y, widget.getWidth(), widget.getHeight());
}
}

void TGcnGui::logic()
{
	gcn::Gui::logic();
	RecheckPointer();
}

void TGcnGui::handleMousePressed(const gcn::MouseInput& mouseInput)
{
	RecheckPointer();
	gcn::Gui::handleMousePressed(mouseInput);
}

void TGcnGui::handleMouseMoved(const gcn::MouseInput& mouseInput)
{
	// Leaving the program's window arrives as a move to (-1, -1).
	m_PointerOver = mTop && mTop->getDimension().isPointInRect(mouseInput.getX(), mouseInput.getY());
	gcn::Gui::handleMouseMoved(mouseInput);
}

void TGcnGui::RecheckPointer()
{
	if (!m_PointerOver || mFocusHandler->getDraggedWidget()
		|| mFocusHandler->getModalMouseInputFocused() || !IsHoverStale())
		return;
	m_LookingAgain = true;
	handleMouseMoved(gcn::MouseInput(gcn::MouseInput::EMPTY, gcn::MouseInput::MOVED, mLastMouseX, mLastMouseY, 0));
	m_LookingAgain = false;
}

bool TGcnGui::IsHoverStale()
{
	// The same tests guichan makes on a mouse move.
	for (const gcn::Widget* widget : mWidgetWithMouseQueue)
		if (!gcn::Widget::widgetExists(widget) || !widget->isVisible()
			|| !ScreenArea(*widget).isPointInRect(mLastMouseX, mLastMouseY))
			return true;
	for (gcn::Widget* widget = getWidgetAt(mLastMouseX, mLastMouseY); widget; widget = widget->getParent())
		if (std::find(mWidgetWithMouseQueue.begin(), mWidgetWithMouseQueue.end(), widget)
			== mWidgetWithMouseQueue.end())
			return true;
	return false;
}
