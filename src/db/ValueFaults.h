#pragma once

#include "platform/sql/FloatCell.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace db {

struct ChannelTable;

// Why a channel's cell holds no value, in the operator's words: with the value's text
// ("wartość 1e+39 wykracza poza zakres liczby 32-bitowej"), or without it.
QString ValueFaultText(sql::FloatCell::State fault, QByteArrayView value);
QString ValueFaultText(sql::FloatCell::State fault);

// The channels whose value cells could not be read as numbers, each with the first reason
// found for it, in the order found.
class ValueFaults {
public:
    // Keeps the reason unless the channel has one already.
    void add(quint32 channel, sql::FloatCell::State fault, QByteArrayView value);
    bool empty() const { return m_faults.empty(); }
    // The message that names the channels and their reasons, the values' texts with them
    // or not (a message told once while it stays the same must not change with the values).
    QString message(const ChannelTable& channels, bool withValues) const;

private:
    struct Fault {
        quint32 channel;
        sql::FloatCell::State state;
        QByteArray value;
    };
    std::vector<Fault> m_faults;
    std::vector<bool> m_known; // by channel
};

} // namespace db
