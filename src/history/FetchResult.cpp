#include "history/FetchResult.h"

namespace history {

std::shared_ptr<const FetchResult> FetchResult::Empty(quint32 channelCount)
{
    auto result = std::make_shared<FetchResult>();
    result->store = std::make_shared<const MeasurementStore>(channelCount);
    result->events = std::make_shared<const EventRows>();
    return result;
}

} // namespace history
