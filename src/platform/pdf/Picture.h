#pragma once

#include "platform/pdf/Element.h"
#include "platform/pdf/ImageStorage.h"

#include <QImage>

namespace pdf {

// A raster image scaled into its box. A shared picture (a logo) is stored once in the
// document and every page refers to it; a per-page picture (a chart) is stored anew on every
// page. A shared picture given a different image stores that image once as well.
class Picture : public Element {
public:
    Picture(const QRectF& box, ImageStorage storage, const QImage& image = QImage());

    const QImage& image() const { return m_image; }
    void setImage(const QImage& image) { m_image = image; }
    ImageStorage storage() const { return m_storage; }

    void print(Canvas& canvas, QPointF origin) const override;

private:
    ImageStorage m_storage;
    QImage m_image;
};

} // namespace pdf
