#pragma once

#include "platform/pdf/Element.h"

#include <memory>
#include <utility>
#include <vector>

namespace pdf {

// The children of a container, owned, printed in the order they were added.
class ElementList {
public:
    template <typename T, typename... Args>
    T& add(Args&&... args)
    {
        auto element = std::make_unique<T>(std::forward<Args>(args)...);
        T& added = *element;
        m_elements.push_back(std::move(element));
        return added;
    }

    void print(Canvas& canvas, QPointF origin) const
    {
        for (const auto& element : m_elements)
            element->print(canvas, origin);
    }

private:
    std::vector<std::unique_ptr<Element>> m_elements;
};

} // namespace pdf
