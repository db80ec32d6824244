#include "platform/pdf/PagePaintDevice.h"

#include <limits>

namespace pdf {

namespace {

constexpr int PointsPerInch = 72;
constexpr double MillimetresPerPoint = 25.4 / PointsPerInch;

} // namespace

PagePaintDevice::PagePaintDevice(HaruDocument& document, HPDF_Page page, const QSizeF& size)
    : m_size(size)
    , m_engine(document, page)
{
}

PagePaintDevice::~PagePaintDevice() = default;

QPaintEngine* PagePaintDevice::paintEngine() const
{
    return &m_engine;
}

int PagePaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return qRound(m_size.width());
    case PdmHeight:
        return qRound(m_size.height());
    case PdmWidthMM:
        return qRound(m_size.width() * MillimetresPerPoint);
    case PdmHeightMM:
        return qRound(m_size.height() * MillimetresPerPoint);
    case PdmNumColors:
        return std::numeric_limits<int>::max();
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return PointsPerInch;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return int(devicePixelRatioFScale());
    }
    return QPaintDevice::metric(metric);
}

} // namespace pdf
