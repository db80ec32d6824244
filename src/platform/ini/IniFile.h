#pragma once

#include <QLocale>
#include <QString>
#include <stdexcept>

namespace ini {

// Raised when an INI file cannot be created or rewritten.
class IniWriteError : public std::runtime_error {
public:
    explicit IniWriteError(const QString& path);
    const QString& path() const { return m_path; }

private:
    QString m_path;
};

// One INI file read and written one key at a time, with the rules of the Windows
// profile-string functions:
// - section and key names are compared case-insensitively (the first match wins);
// - values are trimmed of blanks, one pair of matching surrounding quotes (" or ') is
//   removed, and at most MaxValueLength characters are returned;
// - a missing or unreadable file reads as empty;
// - a write replaces the value of an existing key in place, appends a new key at the end
//   of its section and a new section at the end of the file; every other line stays
//   byte for byte as it was. The file is replaced atomically, so a failed write leaves
//   the previous file intact.
// The file is UTF-8 text with LF or CRLF line ends; a rewritten file keeps its line ends.
class IniFile {
public:
    static constexpr int MaxValueLength = 2047;

    explicit IniFile(QString path);

    const QString& path() const { return m_path; }

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after a "0x" prefix; anything else gives the default.
    qint32 readInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    // A decimal number by the rules of the locale; anything else gives the default.
    float readFloat(const QString& section, const QString& key, float defaultValue,
                    const QLocale& locale) const;

    // Throw IniWriteError when the file cannot be written, std::invalid_argument when a
    // name or value would break the line structure of the file.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, qint32 value);
    void writeFloat(const QString& section, const QString& key, float value, const QLocale& locale);

private:
    QString m_path;
};

} // namespace ini
