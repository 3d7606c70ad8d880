#pragma once
// Random editing sessions on the control under test with the real history. After every Undo
// and Redo the text must be the one the test itself recorded for that step (a plain list of
// texts, kept apart from any history). The quick rule, run on the in-memory control beside it,
// says where the caret and selection go when a step was one insertion or removal at its caret;
// after any other step the stretch that differs must come back selected.

#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"

#include <cstdint>
#include <string>

namespace scrivlet::test {

// The control under test, the keys that type into it, and the clipboard it uses.
struct Subject
{
    IEditControl &control;
    KeyDriver &keys;
    FakeClipboard &clipboard;
};

struct DifferentialResult
{
    int steps = 0;
    std::string failure; // empty when every step matched
};

DifferentialResult runDifferential(const Subject &subject, int sequences, std::uint64_t seed);

// An in-memory control with its keys and clipboard, for the contract suite and this run.
struct MemoryKit
{
    FakeClipboard clipboard;
    MemoryEditControl control{clipboard};
    KeyDriver &keys = control;
    Subject subject() { return {control, keys, clipboard}; }
};

} // namespace scrivlet::test
