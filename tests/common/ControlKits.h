#pragma once
// A kit makes one edit control with its keyboard and clipboard, for the contract suite and the
// differential run; each test executable instantiates them with its own kits.

#include "tests/common/Differential.h"
#include "tests/common/FakePlatform.h"

namespace scrivlet::test {

struct MemoryKit
{
    FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    MemoryKeyDriver keys{control};
    Subject subject() { return {control, keys, clipboard}; }
};

} // namespace scrivlet::test
