#pragma once

#include "platform/pdf/ElementList.h"

#include <QSizeF>

namespace pdf {

// The template of a page: its size in points and its elements (usually layout panels),
// placed from the page's top-left corner. One page template serves any number of pages.
class Page {
public:
    explicit Page(const QSizeF& size)
        : m_size(size)
    {
    }
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    const QSizeF& size() const { return m_size; }

    template <typename T, typename... Args>
    T& add(Args&&... args)
    {
        return m_elements.add<T>(std::forward<Args>(args)...);
    }

    void print(Canvas& canvas) const { m_elements.print(canvas, QPointF(0, 0)); }

private:
    QSizeF m_size;
    ElementList m_elements;
};

} // namespace pdf
