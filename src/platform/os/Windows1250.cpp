#include "platform/os/Windows1250.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace os {

namespace {

// Length of the UTF-8 sequence that starts with this byte; the input comes from Qt's own
// encoder, so it is well formed.
int Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

} // namespace

Windows1250::Windows1250()
{
    const iconv_t descriptor = iconv_open("WINDOWS-1250", "UTF-8");
    if (descriptor == iconv_t(-1))
        throw std::runtime_error(std::string("Cannot convert text to Windows-1250: ") + std::strerror(errno));
    m_converter.reset(descriptor);
}

QByteArray Windows1250::encode(QStringView text)
{
    QByteArray out;
    append(text, out);
    return out;
}

void Windows1250::append(QStringView text, QByteArray& out)
{
    m_utf8.resize(m_toUtf8.requiredSpace(text.size()));
    const char* const utf8End = m_toUtf8.appendToBuffer(m_utf8.data(), text);

    // Every character takes at least one UTF-8 byte and exactly one Windows-1250 byte.
    const qsizetype start = out.size();
    out.resize(start + (utf8End - m_utf8.constData()));

    char* in = m_utf8.data();
    size_t inLeft = utf8End - in;
    char* next = out.data() + start;
    size_t outLeft = inLeft;
    iconv(m_converter.get(), nullptr, nullptr, nullptr, nullptr);
    while (iconv(m_converter.get(), &in, &inLeft, &next, &outLeft) == size_t(-1)) {
        // Only EILSEQ can stop it: the input is complete and the output large enough.
        *next++ = '?';
        --outLeft;
        const size_t skipped = std::min<size_t>(Utf8SequenceLength(static_cast<unsigned char>(*in)), inLeft);
        in += skipped;
        inLeft -= skipped;
    }
    out.resize(next - out.constData());
}

} // namespace os
