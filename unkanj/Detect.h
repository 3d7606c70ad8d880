// Telling which code a text is in.
#pragma once

#include "KanjiCode.h"

#include <cstddef>
#include <functional>
#include <limits>
#include <string_view>

namespace scrivlet::unkanj {

struct Detection
{
    KanjiCode code = KanjiCode::Ascii;
    std::size_t errors = 0; // faults and unassigned codes when read in that code
    // The text begins with a UTF-8 byte-order mark that another code reads past: the text in
    // that code starts after the mark's three bytes.
    bool markIgnored = false;
};

// The code the text is most likely in; see Detect.cpp for the rules.
Detection detectCode(std::string_view text);

// The same, with the count of the candidate that leads on the text's start (the likely winner)
// left to the caller, who can convert the text in that code while counting, and so spare a
// pass. countLeader(code) must return countErrors(text, code).
using LeaderCount = std::function<std::size_t(KanjiCode)>;
Detection detectCode(std::string_view text, const LeaderCount &countLeader);

// The number of faulty sequences and unassigned codes when the text is read in the given code,
// counting stops at limit. The measure behind detectCode().
std::size_t countErrors(std::string_view text, KanjiCode code,
                        std::size_t limit = std::numeric_limits<std::size_t>::max());

} // namespace scrivlet::unkanj
