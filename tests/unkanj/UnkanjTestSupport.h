// Helpers of the converter's tests: glibc iconv as the independent reference, sample files,
// temporary folders.
#pragma once

#include "Convert.h"
#include "Detect.h"

#include <optional>
#include <string>
#include <string_view>

namespace scrivlet::unkanj::test {

// glibc iconv over a whole text; nothing when it rejects the input.
std::optional<std::string> iconvConvert(const char *from, const char *to, std::string_view text);

// The UTF-8 form of a CP932 text by glibc, which is Microsoft's table.
std::string cp932ToUtf8(std::string_view text);

// Converts text from a known code (Detect is tested on its own).
std::string convertFrom(std::string_view text, KanjiCode from, KanjiCode to,
                        LineEnd lineEnd = LineEnd::Lf, ReferenceStyle refs = ReferenceStyle::Html);

std::string readFile(const std::string &path);
void writeFile(const std::string &path, std::string_view bytes);
std::string sampleFile(const std::string &name);

// Bytes as hex pairs, for failure messages about binary text.
std::string hex(std::string_view bytes);

// A fresh folder below the system's temporary folder, removed with everything in it.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

} // namespace scrivlet::unkanj::test
