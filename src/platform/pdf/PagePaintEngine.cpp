#include "platform/pdf/PagePaintEngine.h"

#include "platform/pdf/HaruDocument.h"

#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace pdf {

namespace {

constexpr std::size_t MaxDashEntries = 8; // libharu's limit

std::optional<QColor> FillColour(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return std::nullopt;
    QColor colour = brush.color();
    if (const QGradient* gradient = brush.gradient(); gradient && !gradient->stops().isEmpty())
        colour = gradient->stops().constFirst().second;
    if (colour.alpha() == 0)
        return std::nullopt;
    return colour;
}

HPDF_LineCap LineCap(Qt::PenCapStyle cap)
{
    switch (cap) {
    case Qt::FlatCap:
        return HPDF_BUTT_END;
    case Qt::RoundCap:
        return HPDF_ROUND_END;
    default:
        return HPDF_PROJECTING_SCUARE_END;
    }
}

HPDF_LineJoin LineJoin(Qt::PenJoinStyle join)
{
    switch (join) {
    case Qt::RoundJoin:
        return HPDF_ROUND_JOIN;
    case Qt::BevelJoin:
        return HPDF_BEVEL_JOIN;
    default:
        return HPDF_MITER_JOIN;
    }
}

} // namespace

PagePaintEngine::PagePaintEngine(HaruDocument& document, HPDF_Page page)
    // Claiming every feature keeps QPainter from rasterising what it thinks we cannot draw.
    : QPaintEngine(AllFeatures)
    , m_document(document)
    , m_page(page)
{
}

bool PagePaintEngine::begin(QPaintDevice*)
{
    m_transform = QTransform();
    m_pen = QPen();
    m_brush = QBrush();
    m_clips.clear();
    m_clipEnabled = false;
    m_clipChanged = false;
    m_clipSaved = false;
    m_appliedStroke.reset();
    m_appliedFill.reset();
    return !m_document.failed();
}

bool PagePaintEngine::end()
{
    if (m_clipSaved)
        HPDF_Page_GRestore(m_page);
    m_clipSaved = false;
    return !m_document.failed();
}

void PagePaintEngine::updateState(const QPaintEngineState& state)
{
    const DirtyFlags dirty = state.state();
    // The transform first: a clip arrives in the coordinates of the transform sent with it.
    if (dirty & DirtyTransform)
        m_transform = state.transform();
    if (dirty & DirtyPen)
        m_pen = state.pen();
    if (dirty & DirtyBrush)
        m_brush = state.brush();
    if (dirty & DirtyClipPath)
        changeClip(state.clipPath(), state.clipOperation());
    if (dirty & DirtyClipRegion) {
        QPainterPath region;
        region.addRegion(state.clipRegion());
        changeClip(region, state.clipOperation());
    }
    if (dirty & DirtyClipEnabled) {
        m_clipEnabled = state.isClipEnabled();
        m_clipChanged = true;
    }
}

void PagePaintEngine::changeClip(const QPainterPath& path, Qt::ClipOperation operation)
{
    if (operation != Qt::IntersectClip)
        m_clips.clear();
    if (operation != Qt::NoClip)
        m_clips.push_back(m_transform.map(path));
    m_clipChanged = true;
}

bool PagePaintEngine::readyToDraw()
{
    if (m_document.failed())
        return false;
    applyClip();
    return true;
}

// PDF can only narrow a clip, so every change goes back to the state saved before the last
// clip and intersects the current clip paths anew.
void PagePaintEngine::applyClip()
{
    if (!m_clipChanged)
        return;
    m_clipChanged = false;
    if (m_clipSaved) {
        HPDF_Page_GRestore(m_page);
        m_clipSaved = false;
        m_appliedStroke.reset();
        m_appliedFill.reset();
    }
    if (!m_clipEnabled || m_clips.empty())
        return;
    HPDF_Page_GSave(m_page);
    m_clipSaved = true;
    for (const QPainterPath& clip : m_clips) {
        if (clip.isEmpty())
            HPDF_Page_Rectangle(m_page, 0, 0, 0, 0); // nothing stays visible
        else
            addPath(clip);
        if (clip.fillRule() == Qt::WindingFill)
            HPDF_Page_Clip(m_page);
        else
            HPDF_Page_Eoclip(m_page);
        HPDF_Page_EndPath(m_page);
    }
}

PagePaintEngine::StrokeStyle PagePaintEngine::strokeStyle() const
{
    const double scale = m_pen.isCosmetic() ? 1.0 : std::sqrt(std::abs(m_transform.determinant()));
    const double width = std::min<double>(m_pen.widthF() * scale, HPDF_MAX_LINEWIDTH);
    std::vector<HPDF_UINT16> dash;
    if (m_pen.style() != Qt::SolidLine) {
        // Qt's dash lengths are in pen widths; a hairline dashes in points.
        const double unit = std::max(width, 1.0);
        for (const qreal length : m_pen.dashPattern()) {
            if (dash.size() == MaxDashEntries)
                break;
            dash.push_back(HPDF_UINT16(std::clamp(std::lround(length * unit), 1L, long(HPDF_MAX_DASH_PATTERN))));
        }
        if (dash.size() % 2 != 0)
            dash.pop_back();
    }
    return {m_pen.color().rgb(), float(width), std::move(dash), LineCap(m_pen.capStyle()),
            LineJoin(m_pen.joinStyle())};
}

bool PagePaintEngine::applyPen()
{
    if (m_pen.style() == Qt::NoPen || m_pen.color().alpha() == 0)
        return false;
    StrokeStyle style = strokeStyle();
    if (m_appliedStroke == style)
        return true;
    SetStrokeColour(m_page, QColor(style.colour));
    HPDF_Page_SetLineWidth(m_page, style.width);
    HPDF_Page_SetDash(m_page, style.dash.empty() ? nullptr : style.dash.data(), HPDF_UINT(style.dash.size()), 0);
    HPDF_Page_SetLineCap(m_page, style.cap);
    HPDF_Page_SetLineJoin(m_page, style.join);
    m_appliedStroke = std::move(style);
    return true;
}

bool PagePaintEngine::applyBrush()
{
    const std::optional<QColor> colour = FillColour(m_brush);
    if (colour)
        applyFill(*colour);
    return colour.has_value();
}

void PagePaintEngine::applyFill(const QColor& colour)
{
    if (m_appliedFill == colour.rgb())
        return;
    SetFillColour(m_page, colour);
    m_appliedFill = colour.rgb();
}

// Colours and line styles cannot change inside a PDF path, so they are set before it is built.
template <typename BuildPath>
void PagePaintEngine::paintPath(bool fillable, bool evenOdd, const BuildPath& buildPath)
{
    if (!readyToDraw())
        return;
    const bool fill = fillable && applyBrush();
    const bool stroke = applyPen();
    if (!fill && !stroke)
        return;
    buildPath();
    if (fill && stroke)
        evenOdd ? HPDF_Page_EofillStroke(m_page) : HPDF_Page_FillStroke(m_page);
    else if (fill)
        evenOdd ? HPDF_Page_Eofill(m_page) : HPDF_Page_Fill(m_page);
    else
        HPDF_Page_Stroke(m_page);
}

void PagePaintEngine::moveTo(QPointF point)
{
    HPDF_Page_MoveTo(m_page, point.x(), point.y());
}

void PagePaintEngine::lineTo(QPointF point)
{
    HPDF_Page_LineTo(m_page, point.x(), point.y());
}

void PagePaintEngine::addPolygon(const QPointF* points, int pointCount)
{
    moveTo(m_transform.map(points[0]));
    for (int i = 1; i < pointCount; ++i)
        lineTo(m_transform.map(points[i]));
}

void PagePaintEngine::addPath(const QPainterPath& devicePath)
{
    QPointF start;
    QPointF current;
    bool hasSegments = false;
    // A subpath that returns to its start is closed, so its first corner gets a join, not caps.
    const auto closeIfReturned = [&] {
        if (hasSegments && current == start)
            HPDF_Page_ClosePath(m_page);
        hasSegments = false;
    };
    for (int i = 0; i < devicePath.elementCount(); ++i) {
        const QPainterPath::Element& element = devicePath.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            closeIfReturned();
            start = element;
            moveTo(element);
            break;
        case QPainterPath::LineToElement:
            lineTo(element);
            hasSegments = true;
            break;
        case QPainterPath::CurveToElement: {
            const QPointF control2 = devicePath.elementAt(i + 1);
            const QPointF end = devicePath.elementAt(i + 2);
            HPDF_Page_CurveTo(m_page, element.x, element.y, control2.x(), control2.y(), end.x(), end.y());
            hasSegments = true;
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break; // read with its curve
        }
        current = devicePath.elementAt(i);
    }
    closeIfReturned();
}

void PagePaintEngine::drawLines(const QLineF* lines, int lineCount)
{
    paintPath(false, false, [&] {
        for (int i = 0; i < lineCount; ++i) {
            moveTo(m_transform.map(lines[i].p1()));
            lineTo(m_transform.map(lines[i].p2()));
        }
    });
}

void PagePaintEngine::drawRects(const QRectF* rects, int rectCount)
{
    paintPath(true, false, [&] {
        for (int i = 0; i < rectCount; ++i) {
            if (m_transform.type() <= QTransform::TxScale) {
                const QRectF rect = m_transform.mapRect(rects[i]);
                HPDF_Page_Rectangle(m_page, rect.x(), rect.y(), rect.width(), rect.height());
            } else {
                const QPolygonF corners(rects[i]);
                addPolygon(corners.constData(), int(corners.size()));
                HPDF_Page_ClosePath(m_page);
            }
        }
    });
}

void PagePaintEngine::drawPath(const QPainterPath& path)
{
    if (path.isEmpty())
        return;
    paintPath(true, path.fillRule() == Qt::OddEvenFill, [&] { addPath(m_transform.map(path)); });
}

void PagePaintEngine::drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode)
{
    if (pointCount < 1)
        return;
    const bool closed = mode != PolylineMode;
    paintPath(closed, mode == OddEvenMode, [&] {
        addPolygon(points, pointCount);
        if (closed)
            HPDF_Page_ClosePath(m_page);
    });
}

void PagePaintEngine::drawTextItem(const QPointF& position, const QTextItem& textItem)
{
    const QString text = textItem.text();
    const QFont font = textItem.font();
    const double size = std::min<double>(font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize(),
                                         HPDF_MAX_FONTSIZE);
    if (text.isEmpty() || size <= 0 || m_pen.style() == Qt::NoPen || m_pen.color().alpha() == 0
        || !readyToDraw())
        return;

    const HPDF_Font face = m_document.face(font.weight() >= QFont::DemiBold, font.style() != QFont::StyleNormal);
    const QByteArray encoded = m_document.encode(text);
    const HPDF_TextWidth measured =
        HPDF_Font_TextWidth(face, reinterpret_cast<const HPDF_BYTE*>(encoded.constData()), HPDF_UINT(encoded.size()));
    const double printedWidth = measured.width * size / 1000.0;
    // Qt placed the text by the advances of its own font; fitting the printed face into the
    // same width keeps right-aligned and centred texts where Qt put them.
    const double stretch = printedWidth > 0 && textItem.width() > 0 ? textItem.width() / printedWidth : 1.0;
    // Glyphs are drawn upward from the baseline, the page here runs downward: flip them.
    const QTransform placement = QTransform(stretch, 0, 0, -1, position.x(), position.y()) * m_transform;
    if (qFuzzyIsNull(placement.determinant()) || m_document.failed())
        return;

    applyFill(m_pen.color());
    HPDF_Page_BeginText(m_page);
    HPDF_Page_SetFontAndSize(m_page, face, size);
    HPDF_Page_SetTextMatrix(m_page, placement.m11(), placement.m12(), placement.m21(), placement.m22(),
                            placement.dx(), placement.dy());
    HPDF_Page_ShowText(m_page, encoded.constData());
    HPDF_Page_EndText(m_page);
}

void PagePaintEngine::drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                                Qt::ImageConversionFlags)
{
    if (image.isNull() || target.isEmpty() || !readyToDraw())
        return;
    const QImage part = source == QRectF(image.rect()) ? image : image.copy(source.toAlignedRect());
    const HPDF_Image object = m_document.newImage(part);
    if (m_document.failed())
        return;
    const SavedGraphicsState imageState(m_page);
    HPDF_Page_Concat(m_page, m_transform.m11(), m_transform.m12(), m_transform.m21(), m_transform.m22(),
                     m_transform.dx(), m_transform.dy());
    // An image's first row is at the top of its unit square, which points up; here y points down.
    HPDF_Page_DrawImage(m_page, object, target.left(), target.bottom(), target.width(), -target.height());
}

void PagePaintEngine::drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source)
{
    drawImage(target, pixmap.toImage(), source, Qt::AutoColor);
}

} // namespace pdf
