#include "db/ValueFaults.h"

#include "db/ChannelTable.h"

namespace db {

namespace {

// A message names this many channels at most; the count says how many there are.
constexpr std::size_t ListedChannels = 10;

} // namespace

QString ValueFaultText(sql::FloatCell::State fault, QByteArrayView value)
{
    const QString text = QString::fromUtf8(value);
    return fault == sql::FloatCell::State::OutOfRange
               ? QStringLiteral("wartość %1 wykracza poza zakres liczby 32-bitowej").arg(text)
               : QStringLiteral("wartość „%1” nie jest liczbą").arg(text);
}

QString ValueFaultText(sql::FloatCell::State fault)
{
    return fault == sql::FloatCell::State::OutOfRange ? QStringLiteral("wartość wykracza poza zakres liczby 32-bitowej")
                                                      : QStringLiteral("wartość nie jest liczbą");
}

void ValueFaults::add(quint32 channel, sql::FloatCell::State fault, QByteArrayView value)
{
    if (channel >= m_known.size())
        m_known.resize(channel + 1);
    if (m_known[channel])
        return;
    m_known[channel] = true;
    m_faults.push_back({channel, fault, value.toByteArray()});
}

QString ValueFaults::message(const ChannelTable& channels, bool withValues) const
{
    QString text = QStringLiteral("Nie udało się odczytać wartości kanałów (razem: %1); ich komórki pokazują \"- \":")
                       .arg(m_faults.size());
    for (std::size_t i = 0; i < std::min(m_faults.size(), ListedChannels); ++i) {
        const Fault& fault = m_faults[i];
        text += QLatin1Char('\n') + channels.NAME[fault.channel] + QStringLiteral(": ")
                + (withValues ? ValueFaultText(fault.state, fault.value) : ValueFaultText(fault.state));
    }
    if (m_faults.size() > ListedChannels)
        text += QStringLiteral("\n…");
    return text;
}

} // namespace db
