#include "platform/pdf/LayoutPanel.h"

namespace pdf {

void LayoutPanel::print(Canvas& canvas, QPointF origin) const
{
    m_children.print(canvas, origin + box().topLeft());
}

} // namespace pdf
