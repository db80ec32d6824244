#pragma once

#include "platform/pdf/ElementList.h"

namespace pdf {

// A group of elements placed relative to the panel's top-left corner, printed in the
// order they were added. The panel itself draws nothing and clips nothing.
class LayoutPanel : public Element {
public:
    using Element::Element;

    template <typename T, typename... Args>
    T& add(Args&&... args)
    {
        return m_children.add<T>(std::forward<Args>(args)...);
    }

    void print(Canvas& canvas, QPointF origin) const override;

private:
    ElementList m_children;
};

} // namespace pdf
