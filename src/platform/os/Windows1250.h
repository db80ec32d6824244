#pragma once

#include <QByteArray>
#include <QStringEncoder>
#include <QStringView>
#include <iconv.h>
#include <memory>
#include <type_traits>

namespace os {

// Text in the Windows-1250 code page (Central European ANSI), as the CSV files and the
// PDF fonts want it. A character the code page cannot hold becomes one "?", whatever
// its length in UTF-16 (an emoji is one "?"). One object serves any number of texts;
// append() reuses the object's buffers and the caller's, so streaming many short texts
// costs no allocation per text once the buffers have grown. Not thread-safe: one object
// per thread.
class Windows1250 {
public:
    Windows1250();

    QByteArray encode(QStringView text);
    // Appends the encoded text to out.
    void append(QStringView text, QByteArray& out);

private:
    struct IconvCloser {
        void operator()(iconv_t descriptor) const { iconv_close(descriptor); }
    };
    using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

    IconvHandle m_converter;
    // Stateless: a lone surrogate at the end of one text must not wait for the next.
    QStringEncoder m_toUtf8{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    QByteArray m_utf8;
};

} // namespace os
