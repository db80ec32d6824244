#include "history/RangePickers.h"

#include "common/DateTimeText.h"

#include <QCalendarWidget>
#include <QTextCharFormat>

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
    setDisplayFormat(common::DateFormat());
    clearDate();
}

void CalendarPicker::setCalendarFonts(const QFont& header, const QFont& weekDays)
{
    QCalendarWidget* calendar = calendarWidget();
    if (auto* navigation = calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar")))
        navigation->setFont(header);
    QTextCharFormat days = calendar->headerTextFormat();
    days.setFont(weekDays);
    calendar->setHeaderTextFormat(days);
}

TimePicker::TimePicker(QWidget* parent)
    : QTimeEdit(parent)
{
    setDisplayFormat(QStringLiteral("HH:mm:ss"));
}

} // namespace history
