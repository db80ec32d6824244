#include "report/TFReport001.h"

namespace report {

TFReport001::TFReport001(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FReport001"));
}

} // namespace report
