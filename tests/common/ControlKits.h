#pragma once
// The contract suites run against every edit control. A kit makes one control with its keyboard
// and clipboard; each test executable instantiates the suites with its own kits.

#include "tests/common/MemoryEditControl.h"
#include "tests/common/Differential.h"
#include "tests/common/FakePlatform.h"

#include <memory>

namespace scrivlet::test {

struct MemoryKit
{
    FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    MemoryKeyDriver keys{control};
    Subject subject() { return {control, keys, clipboard}; }
};

} // namespace scrivlet::test
