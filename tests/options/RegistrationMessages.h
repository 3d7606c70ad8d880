#pragma once
// The messages of the shell page, kept in data/registration-messages.txt as the system's own
// texts.

#include "tests/common/TestSupport.h"

#include <QString>

#include <gtest/gtest.h>

namespace scrivlet::test {

// The text of the message for the extension, and whether its box is critical.
inline std::pair<QString, bool> registrationMessage(const std::string &message,
                                                    const std::string &extension)
{
    for (const DataRow &row : readDataRows(SCRIVLET_OPTIONS_DATA "/registration-messages.txt", 4)) {
        if (row[0] == message && row[1] == extension)
            return {field(row, 2), row[3] == "critical"};
    }
    ADD_FAILURE() << "no " << message << " message for " << extension;
    return {};
}

} // namespace scrivlet::test
