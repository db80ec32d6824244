#include "history/RangePickers.h"

namespace history {

namespace {
// The day that stands for "no date"; no measurement is that old.
const QDate NoDate(1900, 1, 1);
} // namespace

CalendarPicker::CalendarPicker(QWidget* parent)
    : QDateEdit(parent)
{
    setCalendarPopup(true);
    setMinimumDate(NoDate);
    setDisplayFormat(QLocale().dateFormat(QLocale::ShortFormat).replace(QStringLiteral("yyyy"), QStringLiteral("yy")).replace(QStringLiteral("yy"), QStringLiteral("yyyy")));
    clearDate();
}

TimePicker::TimePicker(QWidget* parent)
    : QTimeEdit(parent)
{
    setDisplayFormat(QStringLiteral("HH:mm:ss"));
}

} // namespace history
