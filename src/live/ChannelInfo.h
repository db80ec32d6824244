#pragma once

#include <QString>

class QObject;
class QWidget;
namespace db { struct ChannelTable; }

namespace live {

// The nine lines about a channel: name, groups as stored, and both alarms' thresholds.
QString ChannelInfoText(const db::ChannelTable& channels, quint32 channel);

// Opens a new modeless "Informacje..." window for the channel whose dot was double-clicked
// (the channel number is the last four characters of the dot's name). The window has no
// owner and deletes itself when closed; it is returned so that its owner can close it at exit.
QWidget* ShowChannelInfo(const QObject* dot, const db::ChannelTable& channels);

} // namespace live
