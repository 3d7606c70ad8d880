#pragma once
// Random editing sessions on the control under test with the real history. After every Undo
// and Redo the text must be the one the test itself recorded for that step (a plain list of
// texts, kept apart from any history). The quick rule, run on the in-memory control beside it,
// says where the caret and selection go when a step was one insertion or removal at its caret;
// after any other step the stretch that differs must come back selected.

#include "tests/common/MemoryEditControl.h"

#include <cstdint>
#include <string>

namespace scrivlet::test {

class FakeClipboard;

// What the keyboard does to a control.
class KeyDriver
{
public:
    virtual ~KeyDriver() = default;
    virtual void type(QChar printable) = 0;
    virtual void enter() = 0;
    virtual void backspace() = 0;
    virtual void del() = 0;
};

class MemoryKeyDriver final : public KeyDriver
{
public:
    explicit MemoryKeyDriver(MemoryEditControl &control) : m_control(control) {}
    void type(QChar printable) override { m_control.typeText(QString(printable)); }
    void enter() override { m_control.pressEnter(); }
    void backspace() override { m_control.pressBackspace(); }
    void del() override { m_control.pressDelete(); }

private:
    MemoryEditControl &m_control;
};

// The control under test, the keys that type into it, and the clipboard it uses.
struct Subject
{
    IEditControl &control;
    KeyDriver &keys;
    FakeClipboard &clipboard;
};

struct DifferentialResult
{
    int sequences = 0;
    int steps = 0;
    std::string failure; // empty when every step matched
};

DifferentialResult runDifferential(const Subject &subject, int sequences, std::uint64_t seed);

} // namespace scrivlet::test
