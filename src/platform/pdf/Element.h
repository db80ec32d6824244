#pragma once

#include <QPointF>
#include <QRectF>

namespace pdf {

class Canvas;

// Something printed on a page inside its box: points, relative to the parent's top-left
// corner, y downward. Elements form a template: the caller keeps references to them and
// changes their content between pages.
class Element {
public:
    explicit Element(const QRectF& box)
        : m_box(box)
    {
    }
    virtual ~Element() = default;
    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;

    const QRectF& box() const { return m_box; }
    void setBox(const QRectF& box) { m_box = box; }

    // Prints with the parent's top-left corner at origin (page coordinates).
    virtual void print(Canvas& canvas, QPointF origin) const = 0;

private:
    QRectF m_box;
};

} // namespace pdf
