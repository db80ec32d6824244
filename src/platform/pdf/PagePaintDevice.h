#pragma once

#include "platform/pdf/PagePaintEngine.h"

#include <QPaintDevice>
#include <QSizeF>

namespace pdf {

// A QPaintDevice whose painting becomes vector graphics on a PDF page, at 72 dots per
// inch: one unit is one point. The page's coordinate system must already put the origin
// at the area's top-left corner with y downward (Canvas::paint does that).
class PagePaintDevice : public QPaintDevice {
public:
    PagePaintDevice(HaruDocument& document, HPDF_Page page, const QSizeF& size);
    ~PagePaintDevice() override;

    QPaintEngine* paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSizeF m_size;
    mutable PagePaintEngine m_engine;
};

} // namespace pdf
