#pragma once
// Random editing sessions run side by side: the literal reference history on the in-memory
// control, and the real history on the control under test. After every step both must show the
// same text, selection, history counts and flags.

#include <QString>

#include <cstdint>
#include <string>

namespace scrivlet {
class IEditControl;
class MemoryEditControl;
} // namespace scrivlet

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
    void type(QChar printable) override;
    void enter() override;
    void backspace() override;
    void del() override;

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
