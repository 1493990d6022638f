#include "gui/WidgetSet.h"

#include <guichan/widget.hpp>

TGcnWidgetSet::~TGcnWidgetSet()
{
}

void TGcnWidgetSet::Add(boost::shared_ptr<gcn::Widget> widget)
{
	m_Widgets.push_back(widget);
}
