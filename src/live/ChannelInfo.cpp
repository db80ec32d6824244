#include "live/ChannelInfo.h"

#include "common/ValueText.h"
#include "db/ChannelTable.h"

#include <QPushButton>
#include <QMessageBox>

namespace live {

QString ChannelInfoText(const db::ChannelTable& channels, quint32 channel)
{
    const qint32 dot = channels.DOT[channel];
    const common::FixedPointFormat format;
    const QString unit = QLatin1Char(' ') + channels.UNIT[channel] + QLatin1Char('\n');
    const auto line = [&](const char16_t* label, float threshold) {
        return QString::fromUtf16(label) + db::ThresholdText(threshold, dot, format) + unit;
    };
    return QStringLiteral("Nazwa :: ") + channels.NAME[channel] + QLatin1Char('\n')
        + QStringLiteral("Grupa :: ") + channels.POSITION_1[channel] + QLatin1Char('\n')
        + QStringLiteral("Podgrupa :: ") + channels.POSITION_2[channel] + QStringLiteral("\n\n")
        + line(u"Alarm 1 :: próg górny :: ", channels.A1_H[channel])
        + line(u"Alarm 1 :: hist.  +/- :: ", channels.A1_HIS[channel])
        + line(u"Alarm 1 :: próg dolny :: ", channels.A1_L[channel]) + QLatin1Char('\n')
        + line(u"Alarm 2 :: próg górny :: ", channels.A2_H[channel])
        + line(u"Alarm 2 :: hist.  +/- :: ", channels.A2_HIS[channel])
        + line(u"Alarm 2 :: próg dolny :: ", channels.A2_L[channel]);
}

QWidget* ShowChannelInfo(quint32 channel, const db::ChannelTable& channels)
{
    if (channel >= channels.count)
        return nullptr;
    auto* window = new QMessageBox(QMessageBox::Information, QStringLiteral("Informacje..."), QString());
    // The texts from the settings table are shown as written, with their line breaks.
    window->setTextFormat(Qt::PlainText);
    window->setText(ChannelInfoText(channels, channel));
    // A message box always gets a button; this window shows none and is closed from its title bar or with Escape.
    window->addButton(QMessageBox::Ok)->hide();
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setModal(false);
    window->show();
    return window;
}

} // namespace live
