#pragma once

#include "FieldSink.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

// A temporary tab-separated file in the format LOAD DATA reads by default
// (backslash escapes, \N for NULL). The file is removed when the object goes.
class TsvFile : public FieldSink {
public:
    TsvFile();
    ~TsvFile() override;
    TsvFile(const TsvFile&) = delete;
    TsvFile& operator=(const TsvFile&) = delete;

    using FieldSink::number;
    void null() override;
    void number(std::string_view digits) override;
    void text(std::string_view text) override;
    void endRow() override;

    // Writes out what is buffered; the file is then complete for loading.
    void finish();
    const std::filesystem::path& path() const { return path_; }
    long long rows() const { return rows_; }

private:
    void separate();
    void put(std::string_view bytes);

    struct Close {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::filesystem::path path_;
    std::unique_ptr<std::FILE, Close> file_;
    std::string buffer_;
    bool rowStarted_ = false;
    long long rows_ = 0;
};
