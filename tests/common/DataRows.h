#pragma once
// Tables of test vectors kept in text files under tests/data: one row a line, fields separated
// by tabs; "#" starts a comment line; "[Group]" names the rows below it. Field escapes: \r \n
// \t \b \0 \\, \xHH for a raw byte, \uXXXX and \UXXXXXXXX for a character in UTF-8. Plain C++,
// so that the converter's tests, which have no Qt, read them too.

#include <fstream>
#include <map>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace scrivlet::test {

struct DataRow
{
    std::string group;
    std::vector<std::string> fields;
    const std::string &operator[](std::size_t i) const { return fields.at(i); }
    // GoogleTest prints a row by its first field, its name.
    friend void PrintTo(const DataRow &row, std::ostream *os) { *os << row.fields.at(0); }
};

inline std::string appendUtf8(std::string out, unsigned long c)
{
    const int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += static_cast<char>(extra == 0 ? c : (0xFF << (7 - extra) & 0xFF) | c >> 6 * extra);
    for (int i = extra - 1; i >= 0; --i)
        out += static_cast<char>(0x80 | (c >> 6 * i & 0x3F));
    return out;
}

inline std::string unescapeField(const std::string &field)
{
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            out += field[i];
            continue;
        }
        const char e = field[++i];
        const std::size_t digits = e == 'x' ? 2 : e == 'u' ? 4 : e == 'U' ? 8 : 0;
        if (digits > 0) {
            const unsigned long code = std::stoul(field.substr(i + 1, digits), nullptr, 16);
            out = e == 'x' ? out + static_cast<char>(code) : appendUtf8(std::move(out), code);
            i += digits;
        } else {
            static const std::map<char, char> named{
                {'r', '\r'}, {'n', '\n'}, {'t', '\t'}, {'b', '\b'}, {'0', '\0'}};
            out += named.contains(e) ? named.at(e) : e;
        }
    }
    return out;
}

// Every row of the file, its fields unescaped; a row of another width than expected throws
// (width 0: any).
inline std::vector<DataRow> readDataRows(const std::string &path, std::size_t width)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<DataRow> rows;
    std::string group, line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            // A row whose first field starts with a bracket must escape it ("\["); read as a
            // group name it would vanish from its table without a word.
            if (line.back() != ']' || line.find('\t') != std::string::npos)
                throw std::runtime_error(path + ": not a group name: " + line);
            group = line.substr(1, line.size() - 2);
            continue;
        }
        DataRow row{group, {}};
        std::istringstream fields(line);
        for (std::string f; std::getline(fields, f, '\t');)
            row.fields.push_back(unescapeField(f));
        if (line.back() == '\t')
            row.fields.emplace_back();
        if (width != 0 && row.fields.size() != width)
            throw std::runtime_error(path + ": bad row: " + line);
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace scrivlet::test
