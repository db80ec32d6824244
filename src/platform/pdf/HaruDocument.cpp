#include "platform/pdf/HaruDocument.h"

#include "platform/pdf/PdfError.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QSizeF>
#include <cstring>

namespace pdf {

namespace {

constexpr const char* Encoding = "UTF-8";
constexpr HPDF_UINT32 WriteChunkSize = 64 * 1024;

QImage OpaqueRgb(const QImage& image)
{
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB888);
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    return flat;
}

// The pixels row after row without the padding that QImage keeps at the end of each row.
QByteArray PackedRows(const QImage& rgb)
{
    const qsizetype rowBytes = qsizetype(rgb.width()) * 3;
    QByteArray pixels(rowBytes * rgb.height(), Qt::Uninitialized);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(pixels.data() + y * rowBytes, rgb.constScanLine(y), rowBytes);
    return pixels;
}

// A ToUnicode CMap that maps every two-byte code to the UTF-16 unit of the same value (the
// surrogates excepted), in ranges that differ in their last byte only, at most 100 a block.
QByteArray IdentityToUnicodeCMap()
{
    QList<QByteArray> ranges;
    for (int high = 0; high <= 0xFF; ++high) {
        if (high >= 0xD8 && high <= 0xDF)
            continue;
        const QByteArray start = QByteArray::number(high, 16).rightJustified(2, '0').toUpper() + "00";
        ranges.append('<' + start + "> <" + start.left(2) + "FF> <" + start + '>');
    }
    QByteArray cmap = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                      "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                      "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n";
    for (qsizetype block = 0; block < ranges.size(); block += 100) {
        const QList<QByteArray> part = ranges.mid(block, 100);
        cmap += QByteArray::number(part.size()) + " beginbfrange\n" + part.join('\n') + "\nendbfrange\n";
    }
    return cmap + "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n";
}

} // namespace

HaruDocument::HaruDocument()
    : m_doc(HPDF_New(&HaruDocument::OnError, this))
    , m_fonts(EmbeddedFonts::instance())
{
    if (!m_doc)
        throw PdfError("Zabrakło pamięci na dokument PDF.");
    HPDF_SetCompressionMode(handle(), HPDF_COMP_ALL);
    HPDF_UseUTFEncodings(handle());
    HPDF_SetPageLayout(handle(), HPDF_PAGE_LAYOUT_ONE_COLUMN);
    HPDF_SetInfoAttr(handle(), HPDF_INFO_PRODUCER, "");
    throwIfFailed();
}

void HPDF_STDCALL HaruDocument::OnError(HPDF_STATUS number, HPDF_STATUS detail, void* document)
{
    auto* self = static_cast<HaruDocument*>(document);
    // The first failure is the cause; later ones only echo the refusal of a failed document.
    if (!self->failed()) {
        self->m_error = number;
        self->m_errorDetail = detail;
    }
}

void HaruDocument::throwIfFailed() const
{
    if (failed())
        throw LibraryError(m_error, m_errorDetail);
}

HPDF_Page HaruDocument::addPage(const QSizeF& size)
{
    const HPDF_Page page = HPDF_AddPage(handle());
    HPDF_Page_SetWidth(page, size.width());
    HPDF_Page_SetHeight(page, size.height());
    return page;
}

HPDF_Font HaruDocument::face(bool bold, bool italic)
{
    HPDF_Font& loaded = m_faces[EmbeddedFonts::faceIndex(bold, italic)];
    if (!loaded) {
        // Embedded: libharu writes the glyphs that the document's texts use, the others empty.
        const char* name = HPDF_LoadTTFontFromFile(handle(), m_fonts.file(bold, italic).constData(), HPDF_TRUE);
        if (name)
            loaded = HPDF_GetFont(handle(), name, Encoding);
        // libharu gives a face of its UTF-8 encoding that encoding's own CMap as /ToUnicode,
        // which maps no code to a character: readers then copy or search the text wrongly.
        if (loaded)
            HPDF_Dict_Add(loaded, "ToUnicode", toUnicode());
    }
    return loaded;
}

HPDF_Dict HaruDocument::toUnicode()
{
    // The faces' codes are the characters' UTF-16 units themselves.
    if (!m_toUnicode) {
        m_toUnicode = HPDF_DictStream_New(handle()->mmgr, handle()->xref);
        if (m_toUnicode) {
            m_toUnicode->filter = HPDF_STREAM_FILTER_FLATE_DECODE;
            const QByteArray cmap = IdentityToUnicodeCMap();
            HPDF_Stream_Write(m_toUnicode->stream, reinterpret_cast<const HPDF_BYTE*>(cmap.constData()),
                              HPDF_UINT(cmap.size()));
        }
    }
    return m_toUnicode;
}

HPDF_Image HaruDocument::newImage(const QImage& image)
{
    const QImage rgb = OpaqueRgb(image);
    const QByteArray pixels = PackedRows(rgb);
    return HPDF_LoadRawImageFromMem(handle(), reinterpret_cast<const HPDF_BYTE*>(pixels.constData()),
                                    rgb.width(), rgb.height(), HPDF_CS_DEVICE_RGB, 8);
}

HPDF_Image HaruDocument::sharedImage(const QImage& image)
{
    const auto known = m_sharedImages.find(image.cacheKey());
    if (known != m_sharedImages.end())
        return known->second;
    const HPDF_Image loaded = newImage(image);
    if (loaded)
        m_sharedImages.emplace(image.cacheKey(), loaded);
    return loaded;
}

void HaruDocument::setCreationDate(const QDateTime& dateTime)
{
    const QDate date = dateTime.date();
    const QTime time = dateTime.time();
    const HPDF_Date value{date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second(),
                          ' ', 0, 0};
    HPDF_SetInfoDateAttr(handle(), HPDF_INFO_CREATION_DATE, value);
}

void HaruDocument::setInformation(const char* key, const QString& text)
{
    if (text.isEmpty())
        return;
    // libharu writes an information text byte for byte, which readers take as PDFDocEncoding:
    // the text goes in as UTF-16BE with its byte order mark, as PDF text strings may be. The
    // dictionary exists from the constructor on (the producer entry).
    QByteArray utf16 = "\xFE\xFF";
    for (const QChar unit : text) {
        utf16.append(char(unit.unicode() >> 8));
        utf16.append(char(unit.unicode() & 0xFF));
    }
    const HPDF_Binary value = HPDF_Binary_New(handle()->mmgr, reinterpret_cast<HPDF_BYTE*>(utf16.data()),
                                              HPDF_UINT(utf16.size()));
    if (value)
        HPDF_Dict_Add(handle()->info, key, value);
}

void HaruDocument::write(const std::function<void(const char* data, qint64 size)>& sink)
{
    if (HPDF_SaveToStream(handle()) != HPDF_OK || HPDF_ResetStream(handle()) != HPDF_OK)
        return;
    QByteArray chunk(WriteChunkSize, Qt::Uninitialized);
    for (;;) {
        HPDF_UINT32 size = WriteChunkSize;
        // The end of the stream reads as HPDF_STREAM_EOF together with the last piece.
        const HPDF_STATUS status = HPDF_ReadFromStream(handle(), reinterpret_cast<HPDF_BYTE*>(chunk.data()), &size);
        if (size > 0)
            sink(chunk.constData(), size);
        if (status != HPDF_OK || size == 0)
            return;
    }
}

} // namespace pdf
