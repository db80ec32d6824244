#pragma once

#include <QBrush>
#include <QPaintEngine>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <hpdf.h>
#include <optional>
#include <vector>

namespace pdf {

class HaruDocument;

// Turns QPainter calls into PDF path, text and image operators on a libharu page:
// lines, polylines, polygons, rectangles and paths (one PDF path per call, however many
// points), text in the embedded Liberation Sans faces, raster images, pens with width, cap, join and
// dash pattern, solid brushes (other brushes fill with their first colour), the world
// transform and clipping. Antialiasing hints are ignored: viewers antialias anyway.
// Transparency is not: a colour is painted opaque unless it is fully transparent.
// Failures are recorded in the document and end the painting; nothing throws through
// QPainter.
class PagePaintEngine : public QPaintEngine {
public:
    PagePaintEngine(HaruDocument& document, HPDF_Page page);

    bool begin(QPaintDevice* device) override;
    bool end() override;
    void updateState(const QPaintEngineState& state) override;

    using QPaintEngine::drawLines;
    using QPaintEngine::drawPolygon;
    using QPaintEngine::drawRects;
    void drawLines(const QLineF* lines, int lineCount) override;
    void drawRects(const QRectF* rects, int rectCount) override;
    void drawPath(const QPainterPath& path) override;
    void drawPolygon(const QPointF* points, int pointCount, PolygonDrawMode mode) override;
    void drawTextItem(const QPointF& position, const QTextItem& textItem) override;
    void drawImage(const QRectF& target, const QImage& image, const QRectF& source,
                   Qt::ImageConversionFlags flags) override;
    void drawPixmap(const QRectF& target, const QPixmap& pixmap, const QRectF& source) override;
    Type type() const override { return User; }

private:
    struct StrokeStyle {
        QRgb colour;
        float width;
        std::vector<HPDF_UINT16> dash;
        HPDF_LineCap cap;
        HPDF_LineJoin join;
        bool operator==(const StrokeStyle&) const = default;
    };

    bool readyToDraw();
    void applyClip();
    void changeClip(const QPainterPath& path, Qt::ClipOperation operation);
    bool applyPen();
    bool applyBrush();
    void applyFill(const QColor& colour);
    StrokeStyle strokeStyle() const;
    template <typename BuildPath>
    void paintPath(bool fillable, bool evenOdd, const BuildPath& buildPath);
    void addPath(const QPainterPath& devicePath);
    void addPolygon(const QPointF* points, int pointCount);
    void moveTo(QPointF point);
    void lineTo(QPointF point);

    HaruDocument& m_document;
    HPDF_Page m_page;

    QTransform m_transform;
    QPen m_pen;
    QBrush m_brush;

    // Clip paths in device coordinates, intersected; applied lazily before the next drawing.
    std::vector<QPainterPath> m_clips;
    bool m_clipEnabled = false;
    bool m_clipChanged = false;
    bool m_clipSaved = false;

    // What the page's graphics state holds now; unknown after a restore.
    std::optional<StrokeStyle> m_appliedStroke;
    std::optional<QRgb> m_appliedFill;
};

} // namespace pdf
