#include "TsvFile.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include <unistd.h>

namespace {

constexpr std::size_t kFlushSize = 1 << 20;

// Reports the failed file operation with the reason errno holds.
[[noreturn]] void failIo(const char* what, const std::filesystem::path& path)
{
    const int error = errno;
    throw std::system_error(error, std::generic_category(), what + (" " + path.string()));
}

} // namespace

TsvFile::TsvFile()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "zemlo-demo-db-XXXXXX.tsv").string();
    const int fd = mkstemps(pattern.data(), 4);
    if (fd < 0)
        failIo("cannot create a temporary file in", std::filesystem::temp_directory_path());
    m_path = pattern;
    m_file.reset(fdopen(fd, "wb"));
    if (!m_file) {
        const int error = errno;
        close(fd);
        std::filesystem::remove(m_path);
        errno = error;
        failIo("cannot open", m_path);
    }
    m_buffer.reserve(kFlushSize * 2);
}

TsvFile::~TsvFile()
{
    m_file.reset();
    std::error_code ignored;
    std::filesystem::remove(m_path, ignored);
}

void TsvFile::separate()
{
    if (m_rowStarted)
        m_buffer += '\t';
    m_rowStarted = true;
}

void TsvFile::put(std::string_view bytes)
{
    m_buffer += bytes;
}

void TsvFile::null()
{
    separate();
    put("\\N");
}

void TsvFile::number(std::string_view digits)
{
    separate();
    put(digits);
}

void TsvFile::text(std::string_view text)
{
    separate();
    for (const char c : text) {
        switch (c) {
        case '\\': put("\\\\"); break;
        case '\t': put("\\t"); break;
        case '\n': put("\\n"); break;
        default: m_buffer += c;
        }
    }
}

void TsvFile::endRow()
{
    m_buffer += '\n';
    m_rowStarted = false;
    ++m_rows;
    if (m_buffer.size() >= kFlushSize)
        finish();
}

void TsvFile::finish()
{
    if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file.get()) != m_buffer.size())
        failIo("cannot write", m_path);
    m_buffer.clear();
    if (std::fflush(m_file.get()) != 0)
        failIo("cannot write", m_path);
}
