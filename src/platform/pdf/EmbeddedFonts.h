#pragma once

#include <QByteArray>
#include <QStringView>
#include <array>
#include <bitset>
#include <memory>

class QTemporaryDir;

namespace pdf {

// The four faces of Liberation Sans (Arial's widths) that the program carries as resources,
// so that every build prints with the same letters. libharu loads a TrueType font only from a
// file: the faces are written once per process into a temporary folder that is removed at exit.
// Immutable after construction.
class EmbeddedFonts {
public:
    // What a character prints as when the faces have no drawing of it (an emoji, CJK).
    static constexpr char16_t MissingGlyph = u'\u25A1'; // □
    static constexpr std::size_t FaceCount = 4;

    static std::size_t faceIndex(bool bold, bool italic) { return (bold ? 1 : 0) + (italic ? 2 : 0); }

    // Throws PdfError when the faces cannot be written out.
    static const EmbeddedFonts& instance();

    // A face's file, named as the C library's fopen() expects.
    const QByteArray& file(bool bold, bool italic) const;
    // UTF-8 of the text as printed: each character the faces lack is one MissingGlyph; variation
    // selectors, which only choose how the character before them looks, are left out.
    QByteArray encode(QStringView text) const;

private:
    EmbeddedFonts();
    bool covers(char32_t character) const;

    std::unique_ptr<QTemporaryDir> m_folder;
    std::array<QByteArray, FaceCount> m_files;
    // libharu maps characters to glyphs through the Unicode table of the Basic Multilingual
    // Plane only; the four faces cover the same characters.
    std::bitset<0x10000> m_covered;
};

} // namespace pdf
