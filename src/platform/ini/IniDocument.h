#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace ini {

// The text of an INI file as a list of lines, parsed on demand. Edits touch only the line
// of the key they set (or add lines), so every other line keeps its exact bytes, including
// its line end and any text that is not valid UTF-8.
class IniDocument {
public:
    explicit IniDocument(const QByteArray& content);

    // The value of the first matching key of the first matching section, trimmed and with
    // one pair of matching surrounding quotes removed; nothing when there is no such key.
    std::optional<QString> value(const QString& section, const QString& key) const;
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray content() const;

private:
    struct Line {
        QByteArray text;
        QByteArray end;  // "\n", "\r\n", or empty for a last line without a line end
    };
    // A section's lines: the header's index and the index one past its last line.
    struct SectionRange {
        std::size_t header;
        std::size_t end;
    };

    std::optional<SectionRange> findSection(const QString& section) const;
    std::optional<std::size_t> findKey(const SectionRange& range, const QString& key) const;
    void insertLine(std::size_t index, const QString& text);

    QByteArray m_byteOrderMark;
    QByteArray m_lineEnd;  // for new lines: the file's first line end, LF for a new file
    std::vector<Line> m_lines;
};

} // namespace ini
