#pragma once

#include <QLocale>
#include <QString>
#include <optional>
#include <stdexcept>

namespace ini {

// An INI file that cannot be used; the message names the file and the reason, in Polish.
class IniFileError : public std::runtime_error {
public:
    const QString& path() const { return m_path; }
    const QString& reason() const { return m_reason; }

protected:
    IniFileError(const QString& message, const QString& path, const QString& reason);

private:
    QString m_path;
    QString m_reason;
};

// An existing file that cannot be read as INI text: a folder of that name, no access, or
// text in UTF-16 (which the profile-string rules would read as nothing).
class IniReadError : public IniFileError {
public:
    IniReadError(const QString& path, const QString& reason);
};

// A file that cannot be created or rewritten.
class IniWriteError : public IniFileError {
public:
    IniWriteError(const QString& path, const QString& reason);
};

// One INI file read and written one key at a time, with the rules of the Windows
// profile-string functions:
// - section and key names are compared case-insensitively (the first match wins);
// - values are trimmed of blanks, one pair of matching surrounding quotes (" or ') is
//   removed, and at most MaxValueLength characters are returned;
// - a missing or unreadable file reads as empty (requireReadable() tells them apart);
// - a write replaces the value of an existing key in place, appends a new key at the end
//   of its section and a new section at the end of the file; every other line stays
//   byte for byte as it was. The file is replaced atomically, so a failed write leaves
//   the previous file intact.
// The file is UTF-8 text with LF or CRLF line ends; a rewritten file keeps its line ends and
// its permissions, and a file that cannot be read is never rewritten (IniReadError).
class IniFile {
public:
    static constexpr int MaxValueLength = 2047;
    // Who may read a file that a write creates: as the umask allows, or its owner only (for a
    // file that holds a password).
    enum class NewFileAccess { Default, OwnerOnly };

    explicit IniFile(QString path, NewFileAccess access = NewFileAccess::Default);

    const QString& path() const { return m_path; }

    // Throws IniReadError when the file exists but its text cannot be read; a missing file
    // is fine.
    void requireReadable() const;
    // The text of a key; nothing when the file or the key is missing.
    std::optional<QString> value(const QString& section, const QString& key) const;

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // Decimal, or hexadecimal after a "0x" prefix; anything else gives the default.
    qint32 readInteger(const QString& section, const QString& key, qint32 defaultValue) const;
    // A decimal number by the rules of the locale; anything else gives the default.
    float readFloat(const QString& section, const QString& key, float defaultValue,
                    const QLocale& locale) const;

    // Throw IniWriteError when the file cannot be written, IniReadError when an existing file
    // cannot be read, std::invalid_argument when a name or value would break the line
    // structure of the file.
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, qint32 value);
    void writeFloat(const QString& section, const QString& key, float value, const QLocale& locale);

private:
    QString m_path;
    NewFileAccess m_access;
};

// A decimal integer, or hexadecimal after "0x" (up to eight digits, the 32-bit pattern);
// nothing for any other text.
std::optional<qint32> ParseInteger(const QString& text);
// A finite decimal number that a float holds, by the rules of the locale; nothing otherwise.
std::optional<float> ParseFloat(const QString& text, QLocale locale);

} // namespace ini
