#include "history/FetchResult.h"

namespace history {

FetchResult FetchResult::Empty(quint32 channelCount, const QDateTime& start, const QDateTime& end)
{
    FetchResult result;
    result.rangeStart = start;
    result.rangeEnd = end;
    result.store = std::make_shared<const MeasurementStore>(channelCount);
    result.events = std::make_shared<const EventRows>();
    return result;
}

} // namespace history
