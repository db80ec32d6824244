#include "platform/pdf/EmbeddedFonts.h"

#include "platform/pdf/PdfError.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

namespace pdf {

namespace {

// In the order of EmbeddedFonts::faceIndex().
constexpr std::array<const char*, EmbeddedFonts::FaceCount> FaceNames{
    "LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf", "LiberationSans-BoldItalic.ttf"};

bool IsVariationSelector(char32_t character)
{
    return (character >= 0xFE00 && character <= 0xFE0F) || (character >= 0xE0100 && character <= 0xE01EF);
}

QByteArray Resource(const char* face)
{
    QFile file(QStringLiteral(":/fonts/") + QLatin1String(face));
    if (!file.open(QIODevice::ReadOnly))
        throw PdfError("W programie brakuje czcionki raportu " + std::string(face) + ".");
    return file.readAll();
}

// Reads big-endian fields of a font file; a field beyond its end reads as 0, so a damaged
// table covers nothing instead of reading outside the file.
class FontBytes {
public:
    explicit FontBytes(const QByteArray& bytes)
        : m_bytes(bytes)
    {
    }
    quint16 u16(qsizetype at) const { return fits(at, 2) ? qFromBigEndian<quint16>(m_bytes.constData() + at) : 0; }
    quint32 u32(qsizetype at) const { return fits(at, 4) ? qFromBigEndian<quint32>(m_bytes.constData() + at) : 0; }

private:
    bool fits(qsizetype at, qsizetype size) const { return at >= 0 && at + size <= m_bytes.size(); }

    const QByteArray& m_bytes;
};

// The characters that the font's Windows Unicode table (platform 3, encoding 1, format 4)
// maps to a glyph other than the missing-glyph box.
std::bitset<0x10000> CoveredCharacters(const QByteArray& font)
{
    const FontBytes bytes(font);
    std::bitset<0x10000> covered;
    qsizetype cmap = -1;
    for (quint16 table = 0, tables = bytes.u16(4); table < tables; ++table) {
        const qsizetype record = 12 + 16 * table;
        if (bytes.u32(record) == 0x636D6170) // "cmap"
            cmap = bytes.u32(record + 8);
    }
    if (cmap < 0)
        return covered;
    qsizetype subtable = -1;
    for (quint16 entry = 0, entries = bytes.u16(cmap + 2); entry < entries; ++entry) {
        const qsizetype record = cmap + 4 + 8 * entry;
        if (bytes.u16(record) == 3 && bytes.u16(record + 2) == 1)
            subtable = cmap + bytes.u32(record + 4);
    }
    if (subtable < 0 || bytes.u16(subtable) != 4)
        return covered;
    const int segments = bytes.u16(subtable + 6) / 2;
    const qsizetype ends = subtable + 14;
    const qsizetype starts = ends + 2 * segments + 2;
    const qsizetype deltas = starts + 2 * segments;
    const qsizetype rangeOffsets = deltas + 2 * segments;
    for (int segment = 0; segment < segments; ++segment) {
        const quint16 start = bytes.u16(starts + 2 * segment);
        const quint16 end = bytes.u16(ends + 2 * segment);
        const quint16 delta = bytes.u16(deltas + 2 * segment);
        const qsizetype rangeOffsetAt = rangeOffsets + 2 * segment;
        const quint16 rangeOffset = bytes.u16(rangeOffsetAt);
        for (quint32 character = start; character <= end && character < 0xFFFF; ++character) {
            quint16 glyph = 0;
            if (rangeOffset == 0) {
                glyph = quint16(character + delta);
            } else {
                glyph = bytes.u16(rangeOffsetAt + rangeOffset + 2 * (character - start));
                if (glyph != 0)
                    glyph = quint16(glyph + delta);
            }
            covered[character] = glyph != 0;
        }
    }
    return covered;
}

} // namespace

const EmbeddedFonts& EmbeddedFonts::instance()
{
    static const EmbeddedFonts fonts;
    return fonts;
}

EmbeddedFonts::EmbeddedFonts()
    : m_folder(std::make_unique<QTemporaryDir>())
{
    if (!m_folder->isValid())
        throw PdfError("Nie można utworzyć folderu tymczasowego dla czcionki raportu: " + m_folder->errorString().toStdString());
    for (std::size_t face = 0; face < FaceNames.size(); ++face) {
        const QByteArray bytes = Resource(FaceNames[face]);
        if (face == 0)
            m_covered = CoveredCharacters(bytes);
        const QString path = m_folder->filePath(QLatin1String(FaceNames[face]));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            throw PdfError("Nie można zapisać czcionki raportu " + path.toStdString() + ": " + file.errorString().toStdString());
        m_files[face] = QFile::encodeName(path);
    }
}

const QByteArray& EmbeddedFonts::file(bool bold, bool italic) const
{
    return m_files[faceIndex(bold, italic)];
}

bool EmbeddedFonts::covers(char32_t character) const
{
    return character < m_covered.size() && m_covered[character];
}

QByteArray EmbeddedFonts::encode(QStringView text) const
{
    QString printed;
    printed.reserve(text.size());
    for (const char32_t character : text.toUcs4()) {
        if (IsVariationSelector(character))
            continue;
        if (covers(character))
            printed.append(QChar(char16_t(character)));
        else
            printed.append(QChar(MissingGlyph));
    }
    return printed.toUtf8();
}

} // namespace pdf
