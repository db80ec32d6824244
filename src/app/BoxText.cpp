#include "app/BoxText.h"

#include <QFontMetrics>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>

namespace app {

namespace {

// The lines of one line of text wrapped to width pixels.
QStringList Wrapped(const QString& line, const QFont& font, int width)
{
    if (QFontMetrics(font).horizontalAdvance(line) <= width)
        return {line};
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine wrapped = layout.createLine(); wrapped.isValid(); wrapped = layout.createLine()) {
        wrapped.setLineWidth(width);
        lines.append(line.mid(wrapped.textStart(), wrapped.textLength()).trimmed());
    }
    layout.endLayout();
    return lines;
}

} // namespace

BoxText FitBoxText(const QString& text, const QFont& font, const QSize& room)
{
    QStringList lines;
    for (const QString& line : text.split(QLatin1Char('\n')))
        lines.append(Wrapped(line, font, room.width()));
    const qsizetype fitting = std::max(3, room.height() / std::max(1, QFontMetrics(font).lineSpacing()));
    if (lines.size() <= fitting)
        return {lines.join(QLatin1Char('\n')), false};
    // The start says what failed, the end often why: both stay.
    const qsizetype tail = (fitting - 1) / 3;
    const qsizetype head = fitting - 1 - tail;
    QStringList shown = lines.mid(0, head);
    shown.append(QStringLiteral("…"));
    shown.append(lines.mid(lines.size() - tail));
    return {shown.join(QLatin1Char('\n')), true};
}

} // namespace app
