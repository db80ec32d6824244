#include "history/ValueEnvelope.h"

namespace history {

namespace {

constexpr qsizetype Fan = ValueEnvelope::BlockRows;

} // namespace

ValueEnvelope::ValueEnvelope(std::span<const float> values)
{
    std::vector<Span> level(values.size() / Fan);
    for (std::size_t block = 0; block < level.size(); ++block) {
        for (const float value : values.subspan(block * Fan, Fan))
            level[block].add(value);
    }
    while (!level.empty()) {
        std::vector<Span> above(level.size() / Fan);
        for (std::size_t block = 0; block < above.size(); ++block) {
            for (std::size_t i = block * Fan; i < (block + 1) * Fan; ++i)
                above[block].add(level[i]);
        }
        m_levels.push_back(std::move(level));
        level = std::move(above);
    }
}

ValueEnvelope::Span ValueEnvelope::span(std::span<const float> values, qsizetype begin, qsizetype end) const
{
    Span result;
    // A run that holds no whole block is read as it is.
    if ((begin + Fan - 1) / Fan * Fan + Fan > end) {
        for (const float value : values.subspan(std::size_t(begin), std::size_t(end - begin)))
            result.add(value);
        return result;
    }
    // Rows [begin, end) in items of size 1 (a value) up: the ragged ends at each size are
    // read item by item, the whole blocks between them one size up.
    qsizetype size = 1;
    for (std::size_t level = 0;; ++level) {
        const qsizetype blockSize = size * Fan;
        const qsizetype head = std::min((begin + blockSize - 1) / blockSize * blockSize, end);
        const qsizetype tail = std::max(end / blockSize * blockSize, head);
        const auto read = [&](qsizetype from, qsizetype to) {
            if (level == 0) {
                for (qsizetype row = from; row < to; ++row)
                    result.add(values[std::size_t(row)]);
                return;
            }
            const std::vector<Span>& blocks = m_levels[level - 1];
            for (qsizetype item = from / size; item < to / size; ++item)
                result.add(blocks[std::size_t(item)]);
        };
        if (level >= m_levels.size() || head >= tail) {
            read(begin, end);
            return result;
        }
        read(begin, head);
        read(tail, end);
        begin = head;
        end = tail;
        size = blockSize;
    }
}

} // namespace history
