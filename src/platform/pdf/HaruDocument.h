#pragma once

#include "platform/pdf/EmbeddedFonts.h"

#include <QByteArray>
#include <QColor>
#include <QStringView>
#include <array>
#include <functional>
#include <hpdf.h>
#include <memory>
#include <type_traits>
#include <unordered_map>

class QDateTime;
class QImage;
class QSizeF;

namespace pdf {

// One libharu document in memory, with the settings every document of ours has: Flate
// compression, one-column page layout, no producer text. libharu reports a failure through
// a C callback, which must not throw; the first failure is recorded here, the call that
// failed returns as usual, and throwIfFailed() raises it on the C++ side. A failed document
// refuses all further work. Nothing here throws after construction.
class HaruDocument {
public:
    HaruDocument();
    HaruDocument(const HaruDocument&) = delete;
    HaruDocument& operator=(const HaruDocument&) = delete;

    HPDF_Doc handle() const { return m_doc.get(); }
    bool failed() const { return m_error != HPDF_OK; }
    void throwIfFailed() const;

    HPDF_Page addPage(const QSizeF& size);
    // A face of the embedded Liberation Sans, loaded when first used: only the faces that a
    // document prints with are embedded in it, each with the glyphs it prints.
    HPDF_Font face(bool bold, bool italic);
    // Text in the faces' encoding, UTF-8; a character they lack prints as EmbeddedFonts::MissingGlyph.
    QByteArray encode(QStringView text) const { return m_fonts.encode(text); }
    // A new image object; transparency is flattened onto white.
    HPDF_Image newImage(const QImage& image);
    // One image object per distinct image (by QImage::cacheKey) for the whole document.
    HPDF_Image sharedImage(const QImage& image);
    // Wall-clock fields, without a time zone.
    void setCreationDate(const QDateTime& dateTime);
    // A text entry of the document's information ("Title", "Author", "Creator"), any
    // characters; an empty text is left out.
    void setInformation(const char* key, const QString& text);
    // Serialises the document and hands the bytes to sink piece by piece.
    void write(const std::function<void(const char* data, qint64 size)>& sink);

private:
    static void HPDF_STDCALL OnError(HPDF_STATUS number, HPDF_STATUS detail, void* document);
    // The faces' map from their codes back to Unicode, one stream for the whole document.
    HPDF_Dict toUnicode();

    struct HaruFree {
        void operator()(HPDF_Doc doc) const { HPDF_Free(doc); }
    };

    HPDF_STATUS m_error = HPDF_OK;
    HPDF_STATUS m_errorDetail = 0;
    std::unique_ptr<std::remove_pointer_t<HPDF_Doc>, HaruFree> m_doc;
    const EmbeddedFonts& m_fonts;
    std::array<HPDF_Font, EmbeddedFonts::FaceCount> m_faces{};
    HPDF_Dict m_toUnicode = nullptr; // owned by the document
    std::unordered_map<qint64, HPDF_Image> m_sharedImages;
};

// GSave now, GRestore at the end of the scope, also when an exception leaves it.
class SavedGraphicsState {
public:
    explicit SavedGraphicsState(HPDF_Page page)
        : m_page(page)
    {
        HPDF_Page_GSave(m_page);
    }
    ~SavedGraphicsState() { HPDF_Page_GRestore(m_page); }
    SavedGraphicsState(const SavedGraphicsState&) = delete;
    SavedGraphicsState& operator=(const SavedGraphicsState&) = delete;

private:
    HPDF_Page m_page;
};

inline void SetFillColour(HPDF_Page page, const QColor& colour)
{
    HPDF_Page_SetRGBFill(page, colour.redF(), colour.greenF(), colour.blueF());
}

inline void SetStrokeColour(HPDF_Page page, const QColor& colour)
{
    HPDF_Page_SetRGBStroke(page, colour.redF(), colour.greenF(), colour.blueF());
}

} // namespace pdf
