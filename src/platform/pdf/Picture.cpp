#include "platform/pdf/Picture.h"

#include "platform/pdf/Canvas.h"

namespace pdf {

Picture::Picture(const QRectF& box, ImageStorage storage, const QImage& image)
    : Element(box)
    , m_storage(storage)
    , m_image(image)
{
}

void Picture::print(Canvas& canvas, QPointF origin) const
{
    canvas.drawImage(box().translated(origin), m_image, m_storage);
}

} // namespace pdf
