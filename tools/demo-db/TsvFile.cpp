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
    path_ = pattern;
    file_.reset(fdopen(fd, "wb"));
    if (!file_) {
        const int error = errno;
        close(fd);
        std::filesystem::remove(path_);
        errno = error;
        failIo("cannot open", path_);
    }
    buffer_.reserve(kFlushSize * 2);
}

TsvFile::~TsvFile()
{
    file_.reset();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

void TsvFile::separate()
{
    if (rowStarted_)
        buffer_ += '\t';
    rowStarted_ = true;
}

void TsvFile::put(std::string_view bytes)
{
    buffer_ += bytes;
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
        default: buffer_ += c;
        }
    }
}

void TsvFile::endRow()
{
    buffer_ += '\n';
    rowStarted_ = false;
    ++rows_;
    if (buffer_.size() >= kFlushSize)
        finish();
}

void TsvFile::finish()
{
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_.get()) != buffer_.size())
        failIo("cannot write", path_);
    buffer_.clear();
    if (std::fflush(file_.get()) != 0)
        failIo("cannot write", path_);
}
