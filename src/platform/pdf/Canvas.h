#pragma once

#include "platform/pdf/Font.h"
#include "platform/pdf/ImageStorage.h"

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QStringView>
#include <functional>
#include <hpdf.h>
#include <optional>

class QImage;
class QPaintDevice;

namespace pdf {

class HaruDocument;

// The page being printed, in the coordinates of the elements: points, origin at the
// page's top-left corner, y downward. Every method throws LibraryError when libharu fails.
class Canvas {
public:
    Canvas(HaruDocument& document, HPDF_Page page, double pageHeight);

    QByteArray encode(QStringView text);
    double textWidth(const QByteArray& text, const Font& font);
    // Distance from the top of the text to its baseline.
    double ascent(const Font& font);
    void drawText(QPointF baselineStart, const QByteArray& text, const Font& font, const QColor& colour);

    // Outlined with the thinnest line a viewer draws. A box at most one point high (or wide)
    // is a rule: its outline is one line through its middle, not two lines a point apart.
    void drawRect(const QRectF& box, const QColor& outline, const std::optional<QColor>& fill);
    // Scaled into the box.
    void drawImage(const QRectF& box, const QImage& image, ImageStorage storage);
    // Vector painting on a device of the box's size, clipped to the box: the device's unit is
    // a point, its origin the box's top-left corner.
    void paint(const QRectF& box, const std::function<void(QPaintDevice&)>& paint);

private:
    double pdfY(double y) const { return m_pageHeight - y; }
    void strokeLine(QPointF from, QPointF to);

    HaruDocument& m_document;
    HPDF_Page m_page;
    double m_pageHeight;
};

} // namespace pdf
