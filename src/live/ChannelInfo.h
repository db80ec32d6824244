#pragma once

#include <QString>

class QWidget;
namespace db { struct ChannelTable; }

namespace live {

// The nine lines about a channel: name, groups as stored, and both alarms' thresholds.
QString ChannelInfoText(const db::ChannelTable& channels, quint32 channel);

// Opens a new modeless "Informacje..." window for the channel, none for a channel that is not
// loaded. The window has no owner and deletes itself when closed; it is returned so that its
// owner can close it at exit.
QWidget* ShowChannelInfo(quint32 channel, const db::ChannelTable& channels);

} // namespace live
