#pragma once
// Files for the suites that work on the file system without Qt: a scratch folder and whole-file
// reads and writes, as byte strings that failures print with escapes.

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace scrivlet::test {

using Names = std::set<std::string>;

inline std::string readFile(const std::string &path)
{
    std::ostringstream data;
    data << std::ifstream(path, std::ios::binary).rdbuf();
    return data.str();
}

inline void writeFile(const std::string &path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The entry itself, not what a link points at.
inline struct stat statOf(const std::string &path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st;
}

// A fresh folder below the system's temporary folder, removed with everything in it (made
// writable again first, should a test have locked it).
struct TempDir
{
    std::string path = [] {
        std::string pattern = std::filesystem::temp_directory_path() / "scrivlet-test-XXXXXX";
        return ::mkdtemp(pattern.data()) != nullptr ? pattern : throw std::runtime_error("mkdtemp");
    }();
    TempDir() = default;
    TempDir(const TempDir &) = delete;
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::permissions(path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path, ignored);
    }
    std::string file(const std::string &name) const { return path + "/" + name; }
    // Hidden files included: a temporary file left behind shows.
    Names names() const
    {
        Names all;
        for (const auto &entry : std::filesystem::directory_iterator(path))
            all.insert(entry.path().filename());
        return all;
    }
};

} // namespace scrivlet::test
