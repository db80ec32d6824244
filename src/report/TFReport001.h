#pragma once

#include <QWidget>

namespace report {

// The page template of the PDF report. It is created at start and never shown.
class TFReport001 final : public QWidget {
    Q_OBJECT
public:
    explicit TFReport001(QWidget* parent = nullptr);
};

} // namespace report
