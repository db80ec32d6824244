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
    const std::filesystem::path& path() const { return m_path; }
    long long rows() const { return m_rows; }

private:
    void separate();
    void put(std::string_view bytes);

    struct Close {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::filesystem::path m_path;
    std::unique_ptr<std::FILE, Close> m_file;
    std::string m_buffer;
    bool m_rowStarted = false;
    long long m_rows = 0;
};
