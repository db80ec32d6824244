#include "platform/pdf/Canvas.h"

#include "platform/pdf/HaruDocument.h"
#include "platform/pdf/PagePaintDevice.h"

#include <QImage>

namespace pdf {

Canvas::Canvas(HaruDocument& document, HPDF_Page page, double pageHeight)
    : m_document(document)
    , m_page(page)
    , m_pageHeight(pageHeight)
{
}

QByteArray Canvas::encode(QStringView text)
{
    return m_document.encode(text);
}

double Canvas::textWidth(const QByteArray& text, const Font& font)
{
    const HPDF_TextWidth width = HPDF_Font_TextWidth(m_document.face(font.bold, font.italic),
                                                     reinterpret_cast<const HPDF_BYTE*>(text.constData()),
                                                     HPDF_UINT(text.size()));
    m_document.throwIfFailed();
    return width.width * font.size / 1000.0;
}

double Canvas::ascent(const Font& font)
{
    const HPDF_INT ascent = HPDF_Font_GetAscent(m_document.face(font.bold, font.italic));
    m_document.throwIfFailed();
    return ascent * font.size / 1000.0;
}

void Canvas::drawText(QPointF baselineStart, const QByteArray& text, const Font& font, const QColor& colour)
{
    SetFillColour(m_page, colour);
    HPDF_Page_BeginText(m_page);
    HPDF_Page_SetFontAndSize(m_page, m_document.face(font.bold, font.italic), font.size);
    HPDF_Page_TextOut(m_page, baselineStart.x(), pdfY(baselineStart.y()), text.constData());
    HPDF_Page_EndText(m_page);
    m_document.throwIfFailed();
}

void Canvas::drawRect(const QRectF& box, const QColor& outline, const std::optional<QColor>& fill)
{
    if (fill) {
        SetFillColour(m_page, *fill);
        HPDF_Page_Rectangle(m_page, box.left(), pdfY(box.bottom()), box.width(), box.height());
        HPDF_Page_Fill(m_page);
    }
    SetStrokeColour(m_page, outline);
    HPDF_Page_SetLineWidth(m_page, 0);
    if (box.height() <= 1) {
        strokeLine({box.left(), box.center().y()}, {box.right(), box.center().y()});
    } else if (box.width() <= 1) {
        strokeLine({box.center().x(), box.top()}, {box.center().x(), box.bottom()});
    } else {
        HPDF_Page_Rectangle(m_page, box.left(), pdfY(box.bottom()), box.width(), box.height());
        HPDF_Page_Stroke(m_page);
    }
    m_document.throwIfFailed();
}

void Canvas::strokeLine(QPointF from, QPointF to)
{
    HPDF_Page_MoveTo(m_page, from.x(), pdfY(from.y()));
    HPDF_Page_LineTo(m_page, to.x(), pdfY(to.y()));
    HPDF_Page_Stroke(m_page);
}

void Canvas::drawImage(const QRectF& box, const QImage& image, ImageStorage storage)
{
    if (image.isNull())
        return;
    const HPDF_Image object =
        storage == ImageStorage::Shared ? m_document.sharedImage(image) : m_document.newImage(image);
    m_document.throwIfFailed();
    HPDF_Page_DrawImage(m_page, object, box.left(), pdfY(box.bottom()), box.width(), box.height());
    m_document.throwIfFailed();
}

void Canvas::paint(const QRectF& box, const std::function<void(QPaintDevice&)>& paint)
{
    {
        const SavedGraphicsState boxState(m_page);
        // From here on the page's coordinates are the box's: origin top-left, y downward.
        HPDF_Page_Concat(m_page, 1, 0, 0, -1, box.left(), pdfY(box.top()));
        HPDF_Page_Rectangle(m_page, 0, 0, box.width(), box.height());
        HPDF_Page_Clip(m_page);
        HPDF_Page_EndPath(m_page);
        m_document.throwIfFailed();

        PagePaintDevice device(m_document, m_page, box.size());
        paint(device);
    }
    // The engine records libharu's failures without throwing through QPainter.
    m_document.throwIfFailed();
}

} // namespace pdf
