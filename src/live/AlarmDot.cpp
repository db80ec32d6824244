#include "live/AlarmDot.h"

#include <QMouseEvent>

namespace live {

void AlarmDot::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace live
