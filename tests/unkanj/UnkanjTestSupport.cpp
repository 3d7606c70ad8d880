#include "UnkanjTestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iconv.h>
#include <sstream>

namespace scrivlet::unkanj::test {

std::optional<std::string> iconvConvert(const char *from, const char *to, std::string_view text)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(text.size() * 4 + 16, '\0');
    char *in = const_cast<char *>(text.data());
    std::size_t inLeft = text.size();
    char *o = out.data();
    std::size_t outLeft = out.size();
    bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1) &&
              iconv(cd, nullptr, nullptr, &o, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

std::string cp932ToUtf8(std::string_view text)
{
    std::optional<std::string> utf8 = iconvConvert("CP932", "UTF-8", text);
    EXPECT_TRUE(utf8.has_value()) << "not valid CP932: " << hex(text);
    return utf8.value_or("");
}

std::string convertFrom(std::string_view text, KanjiCode from, KanjiCode to, LineEnd lineEnd,
                        ReferenceStyle refs)
{
    return convertText(text, from, OutputFormat{to, lineEnd, refs});
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream data;
    data << in.rdbuf();
    return data.str();
}

void writeFile(const std::string &path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string sampleFile(const std::string &name)
{
    return readFile(std::string(UNKANJ_TEST_DATA) + "/" + name);
}

std::string hex(std::string_view bytes)
{
    std::string out;
    char buf[4];
    for (char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02X ", static_cast<unsigned char>(c));
        out += buf;
    }
    return out;
}

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "unkanj-test-XXXXXX").string();
    char *made = mkdtemp(pattern.data());
    if (made == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = made;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

} // namespace scrivlet::unkanj::test
