#pragma once

#include <QDateEdit>
#include <QTimeEdit>

namespace history {

// A date picker with a drop-down calendar that can hold "no date": it then shows its hint.
class CalendarPicker final : public QDateEdit {
    Q_OBJECT
public:
    explicit CalendarPicker(QWidget* parent = nullptr);

    bool hasDate() const { return date() != minimumDate(); }
    void clearDate() { setDate(minimumDate()); }
    void setHint(const QString& hint) { setSpecialValueText(hint); }
    // The drop-down calendar's month header and its day-of-week row.
    void setCalendarFonts(const QFont& header, const QFont& weekDays);
};

// A time-of-day picker showing hours, minutes and seconds.
class TimePicker final : public QTimeEdit {
    Q_OBJECT
public:
    explicit TimePicker(QWidget* parent = nullptr);
};

} // namespace history
