#include "platform/ini/IniFile.h"

#include "platform/ini/IniDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace ini {

namespace {

// A missing or unreadable file reads as empty, as the profile-string functions do.
QByteArray ReadableContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Text with a UTF-16 byte order mark, or with NUL bytes (UTF-16 without a mark, UTF-32), is
// not 8-bit text: read as such it holds no key at all.
bool IsWideText(const QByteArray& content)
{
    return content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF") || content.contains('\0');
}

// The content of an existing file, or an empty one for a missing file; IniReadError for a
// file that exists but cannot be read as 8-bit text.
QByteArray ExistingContent(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return {};
    if (info.isDir())
        throw IniReadError(path, QStringLiteral("w miejscu pliku jest folder"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw IniReadError(path, file.errorString());
    const QByteArray content = file.readAll();
    if (IsWideText(content))
        throw IniReadError(path, QStringLiteral("plik jest zapisany w kodowaniu UTF-16, a program czyta tekst UTF-8 "
                                                "(zapisz go w edytorze jako UTF-8)"));
    return content;
}

// Replaced atomically; QSaveFile gives the new file the permissions of the one it replaces.
void ReplaceFile(const QString& path, const QByteArray& content, IniFile::NewFileAccess access)
{
    const bool created = !QFileInfo::exists(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw IniWriteError(path, file.errorString());
    // Restricted before anything is written into it.
    if (created && access == IniFile::NewFileAccess::OwnerOnly
        && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw IniWriteError(path, file.errorString());
    if (file.write(content) != content.size() || !file.commit())
        throw IniWriteError(path, file.errorString());
}

bool HasLineBreak(const QString& text)
{
    return text.contains(u'\n') || text.contains(u'\r');
}

void RequireWritableNames(const QString& section, const QString& key, const QString& value)
{
    if (section.trimmed().isEmpty() || section.contains(u']') || key.trimmed().isEmpty()
        || key.contains(u'=') || key.trimmed().startsWith(u'[') || key.trimmed().startsWith(u';')
        || HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
        throw std::invalid_argument("An INI section, key or value would not survive a write: ["
                                    + section.toStdString() + "] " + key.toStdString());
}

}  // namespace

std::optional<qint32> ParseInteger(const QString& text)
{
    bool ok = false;
    if (text.startsWith(u"0x", Qt::CaseInsensitive)) {
        const QString digits = text.mid(2);
        const bool allHex = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
            return c.isDigit() || (c.toLower() >= u'a' && c.toLower() <= u'f');
        });
        const qulonglong bits = allHex ? digits.toULongLong(&ok, 16) : 0;
        // Up to eight hex digits are the 32-bit pattern: 0xFFFFFFFF reads as -1.
        if (!ok || bits > std::numeric_limits<quint32>::max())
            return std::nullopt;
        return static_cast<qint32>(static_cast<quint32>(bits));
    }
    const qint32 value = text.toInt(&ok, 10);
    return ok ? std::optional(value) : std::nullopt;
}

std::optional<float> ParseFloat(const QString& text, QLocale locale)
{
    locale.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = locale.toDouble(text, &ok);
    // Only finite numbers that a float can hold.
    if (!ok || !std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(value);
}

IniFileError::IniFileError(const QString& message, const QString& path, const QString& reason)
    : std::runtime_error(message.toStdString())
    , m_path(path)
    , m_reason(reason)
{
}

IniReadError::IniReadError(const QString& path, const QString& reason)
    : IniFileError(QStringLiteral("Nie można odczytać pliku %1: %2").arg(path, reason), path, reason)
{
}

IniWriteError::IniWriteError(const QString& path, const QString& reason)
    : IniFileError(QStringLiteral("Nie można zapisać pliku %1: %2").arg(path, reason), path, reason)
{
}

IniFile::IniFile(QString path, NewFileAccess access)
    : m_path(std::move(path))
    , m_access(access)
{
}

void IniFile::requireReadable() const
{
    ExistingContent(m_path);
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const
{
    return IniDocument(ReadableContent(m_path)).value(section, key);
}

QString IniFile::readString(const QString& section, const QString& key, const QString& defaultValue) const
{
    QString value = this->value(section, key).value_or(defaultValue);
    if (value.size() > MaxValueLength) {
        value.truncate(MaxValueLength);
        if (value.back().isHighSurrogate())
            value.chop(1);
    }
    return value;
}

qint32 IniFile::readInteger(const QString& section, const QString& key, qint32 defaultValue) const
{
    return ParseInteger(readString(section, key, QString())).value_or(defaultValue);
}

float IniFile::readFloat(const QString& section, const QString& key, float defaultValue,
                         const QLocale& locale) const
{
    return ParseFloat(readString(section, key, QString()), locale).value_or(defaultValue);
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    RequireWritableNames(section, key, value);
    IniDocument document(ExistingContent(m_path));
    document.setValue(section, key, value);
    ReplaceFile(m_path, document.content(), m_access);
}

void IniFile::writeInteger(const QString& section, const QString& key, qint32 value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeFloat(const QString& section, const QString& key, float value, const QLocale& locale)
{
    // The shortest text that reads back as the same float, with the locale's separator.
    char buffer[64];
    const auto result = std::to_chars(std::begin(buffer), std::end(buffer), value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    text.replace(u'.', locale.decimalPoint());
    writeString(section, key, text);
}

} // namespace ini
