#include "platform/ini/IniDocument.h"

namespace ini {

namespace {

const QByteArray Utf8ByteOrderMark("\xEF\xBB\xBF");

bool IsSectionHeader(const QString& trimmed)
{
    return trimmed.startsWith(u'[') && trimmed.contains(u']');
}

QString SectionName(const QString& trimmed)
{
    return trimmed.mid(1, trimmed.lastIndexOf(u']') - 1).trimmed();
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

// The key of a key=value line; nothing for blank lines, comments and lines without "=".
std::optional<QString> KeyName(const QString& trimmed)
{
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals < 0 || trimmed.startsWith(u';'))
        return std::nullopt;
    return trimmed.left(equals).trimmed();
}

QString Unquoted(const QString& value)
{
    const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
                        && value.back() == value.front();
    return quoted ? value.mid(1, value.size() - 2) : value;
}

QString Decoded(const QByteArray& line)
{
    return QString::fromUtf8(line).trimmed();
}

}  // namespace

IniDocument::IniDocument(const QByteArray& content)
{
    QByteArrayView rest(content);
    if (rest.startsWith(Utf8ByteOrderMark)) {
        m_byteOrderMark = Utf8ByteOrderMark;
        rest = rest.sliced(Utf8ByteOrderMark.size());
    }
    while (!rest.isEmpty()) {
        const qsizetype newline = rest.indexOf('\n');
        if (newline < 0) {
            m_lines.push_back({rest.toByteArray(), {}});
            break;
        }
        const qsizetype textEnd = newline > 0 && rest[newline - 1] == '\r' ? newline - 1 : newline;
        m_lines.push_back({rest.first(textEnd).toByteArray(), rest.sliced(textEnd, newline + 1 - textEnd).toByteArray()});
        rest = rest.sliced(newline + 1);
    }
    m_lineEnd = !m_lines.empty() && !m_lines.front().end.isEmpty() ? m_lines.front().end : QByteArray("\n");
}

std::optional<IniDocument::SectionRange> IniDocument::findSection(const QString& section) const
{
    for (std::size_t header = 0; header < m_lines.size(); ++header) {
        const QString trimmed = Decoded(m_lines[header].text);
        if (!IsSectionHeader(trimmed) || !SameName(SectionName(trimmed), section))
            continue;
        std::size_t end = header + 1;
        while (end < m_lines.size() && !IsSectionHeader(Decoded(m_lines[end].text)))
            ++end;
        return SectionRange{header, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> IniDocument::findKey(const SectionRange& range, const QString& key) const
{
    for (std::size_t index = range.header + 1; index < range.end; ++index) {
        const std::optional<QString> name = KeyName(Decoded(m_lines[index].text));
        if (name && SameName(*name, key))
            return index;
    }
    return std::nullopt;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const
{
    const std::optional<SectionRange> range = findSection(section);
    const std::optional<std::size_t> index = range ? findKey(*range, key) : std::nullopt;
    if (!index)
        return std::nullopt;
    const QString line = QString::fromUtf8(m_lines[*index].text);
    return Unquoted(line.mid(line.indexOf(u'=') + 1).trimmed());
}

void IniDocument::setValue(const QString& section, const QString& key, const QString& value)
{
    const std::optional<SectionRange> range = findSection(section);
    if (!range) {
        if (!m_lines.empty() && !Decoded(m_lines.back().text).isEmpty())
            insertLine(m_lines.size(), QString());
        insertLine(m_lines.size(), u'[' + section + u']');
        insertLine(m_lines.size(), key + u'=' + value);
        return;
    }
    if (const std::optional<std::size_t> index = findKey(*range, key)) {
        // Keep the key as the file spells it, and the blanks around "=".
        QByteArray& text = m_lines[*index].text;
        qsizetype valueStart = text.indexOf('=') + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t'))
            ++valueStart;
        text = text.left(valueStart) + value.toUtf8();
        return;
    }
    // A new key follows the section's last non-blank line, so blank lines that separate it
    // from the next section stay where they are.
    std::size_t after = range->end;
    while (after - 1 > range->header && Decoded(m_lines[after - 1].text).isEmpty())
        --after;
    insertLine(after, key + u'=' + value);
}

void IniDocument::insertLine(std::size_t index, const QString& text)
{
    if (index > 0 && m_lines[index - 1].end.isEmpty())
        m_lines[index - 1].end = m_lineEnd;
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(index), Line{text.toUtf8(), m_lineEnd});
}

QByteArray IniDocument::content() const
{
    QByteArray content = m_byteOrderMark;
    for (const Line& line : m_lines)
        content += line.text + line.end;
    return content;
}

} // namespace ini
