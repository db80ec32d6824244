#pragma once

#include <QLabel>

namespace live {

// A channel's alarm picture in the live view; a double-click asks for the channel's details.
class AlarmDot final : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

} // namespace live
