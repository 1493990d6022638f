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

void TGcnGui::RecheckPointer()
{
	// An empty queue: the pointer has not come over the GUI yet, or has left the program's window.
	if (mWidgetWithMouseQueue.empty() || mFocusHandler->getDraggedWidget()
		|| mFocusHandler->getModalMouseInputFocused() || !IsHoverStale())
		return;
	handleMouseMoved(gcn::MouseInput(gcn::MouseInput::EMPTY, gcn::MouseInput::MOVED, mLastMouseX, mLastMouseY, 0));
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
