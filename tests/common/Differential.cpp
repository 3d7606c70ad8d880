#include "tests/common/Differential.h"

#include "editor/clsRTF.h"
#include "tests/common/FakePlatform.h"
#include "tests/common/MemoryEditControl.h"
#include "tests/common/ReferenceRTF.h"
#include "tests/common/TestSupport.h"

#include <random>
#include <sstream>

namespace scrivlet::test {

namespace {

// Conversions that keep, grow and shrink the text, at the caret and far from it.
QString testConverter(const QString &text, ConvType type)
{
    QString out = text;
    switch (type) {
    case ConvType::LowerCase:
        for (QChar &c : out)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + 32);
        break;
    case ConvType::UpperCase:
        for (QChar &c : out)
            if (c >= u'a' && c <= u'z')
                c = QChar(c.unicode() - 32);
        break;
    case ConvType::EscapeAngleBrackets:
        out.replace(QStringLiteral("<"), QStringLiteral("&lt;"));
        break;
    case ConvType::UnescapeAngleBrackets:
        out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
        break;
    default:
        out.prepend(QStringLiteral("<LI>"));
        break;
    }
    return out;
}

constexpr ConvType kConversions[] = {ConvType::LowerCase, ConvType::UpperCase,
                                     ConvType::EscapeAngleBrackets, ConvType::UnescapeAngleBrackets,
                                     ConvType::WrapLinesInLi};

const QString kTyped = QStringLiteral("abcAB <>\"=/&;lt\tあいアイ漢字ｱｲﾞ、。");
// Texts written through the interface may hold every kind of line break and odd unit.
const QString kWritten = kTyped + QStringLiteral("\r\n\r\n\r\n\r\n") + QChar(u'\r') + QChar(u'\n') +
                         QChar(0x2029) + QChar(0x2028) + QChar(0x00A0);

class Session
{
public:
    Session(const Subject &subject, MemoryEditControl &refControl, FakeClipboard &refClipboard,
            std::uint64_t seed)
        : m_subject(subject), m_refControl(refControl), m_refKeys(refControl),
          m_refClipboard(refClipboard), m_rng(seed)
    {}

    // Runs one sequence; returns an empty string or what went wrong.
    std::string run(int &steps);

private:
    int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(m_rng); }
    QString randomText(const QString &alphabet, int maxLength);
    void step(std::ostringstream &log);
    std::string compare() const;
    void undoOnce(std::ostringstream &log);
    void redoOnce(std::ostringstream &log);
    void checkRestored(const QString &before, const QString &expected, const char *what);
    void bothKeys(auto action)
    {
        action(m_refKeys);
        action(m_subject.keys);
    }
    void bothControls(auto action)
    {
        action(static_cast<IEditControl &>(m_refControl));
        action(m_subject.control);
    }

    const Subject &m_subject;
    MemoryEditControl &m_refControl;
    MemoryKeyDriver m_refKeys;
    FakeClipboard &m_refClipboard;
    std::mt19937_64 m_rng;
    FakeMessageService m_messages;
    std::unique_ptr<ReferenceRTF> m_ref;
    std::unique_ptr<clsRTF> m_ours;
    // The texts after each recorded change, and the texts undone, newest last.
    QStringList m_expectUndo;
    QStringList m_expectRedo;
    bool m_replaying = false;
    std::string m_failure;
};

QString Session::randomText(const QString &alphabet, int maxLength)
{
    const int length = pick(maxLength + 1);
    QString out;
    for (int i = 0; i < length; ++i)
        out.append(alphabet.at(pick(static_cast<int>(alphabet.size()))));
    return out;
}

std::string Session::compare() const
{
    std::ostringstream out;
    const IEditControl &a = m_refControl;
    const IEditControl &b = m_subject.control;
    if (a.Text() != b.Text())
        out << "text: reference \"" << visible(a.Text()) << "\" ours \"" << visible(b.Text())
            << "\"\n";
    if (a.SelStart() != b.SelStart() || a.SelLength() != b.SelLength())
        out << "selection: reference " << a.SelStart() << "+" << a.SelLength() << " ours "
            << b.SelStart() << "+" << b.SelLength() << "\n";
    if (m_ref->GetClctUndoCount() != m_ours->GetClctUndoCount() ||
        m_ref->GetClctRedoCount() != m_ours->GetClctRedoCount())
        out << "history: reference " << m_ref->GetClctUndoCount() << "/"
            << m_ref->GetClctRedoCount() << " ours " << m_ours->GetClctUndoCount() << "/"
            << m_ours->GetClctRedoCount() << "\n";
    if (m_ref->NeedSave() != m_ours->NeedSave() || m_ref->CanUndo() != m_ours->CanUndo())
        out << "flags differ\n";
    if (m_ours->GetClctUndoCount() != m_expectUndo.size() ||
        m_ours->GetClctRedoCount() != m_expectRedo.size())
        out << "history: expected " << m_expectUndo.size() << "/" << m_expectRedo.size() << "\n";
    out << m_failure;
    return out.str();
}

// The stretch between the longest shared start and end of two texts, found unit by unit.
std::pair<qsizetype, QString> differingStretch(const QString &from, const QString &to)
{
    const qsizetype shorter = std::min(from.size(), to.size());
    qsizetype head = 0;
    while (head < shorter && from[head] == to[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head && from[from.size() - 1 - tail] == to[to.size() - 1 - tail])
        ++tail;
    return {head, to.mid(head, to.size() - tail - head)};
}

void Session::checkRestored(const QString &before, const QString &expected, const char *what)
{
    const IEditControl &ours = m_subject.control;
    if (ours.Text() != expected) {
        m_failure += std::string(what) + " text: expected \"" + visible(expected) + "\" ours \"" +
                     visible(ours.Text()) + "\"\n";
        return;
    }
    if (m_refControl.Text() == expected)
        return; // the quick rule held: compare() checks the caret against it
    // The rule would have left another text: the stretch that differs comes back selected, or
    // the caret stands after it.
    const auto [head, restored] = differingStretch(before, expected);
    const bool selected = restored.size() >= 2 && restored != u"\r\n";
    const int start = static_cast<int>(selected ? head : head + restored.size());
    const int length = selected ? static_cast<int>(restored.size()) : 0;
    if (ours.SelStart() != start || ours.SelLength() != length)
        m_failure += std::string(what) + " selection: expected " + std::to_string(start) + "+" +
                     std::to_string(length) + " ours " + std::to_string(ours.SelStart()) + "+" +
                     std::to_string(ours.SelLength()) + "\n";
    // From here on the quick rule runs on the right text again.
    m_ref->setCanUndo(false);
    m_refControl.setText(expected);
    m_refControl.setSelStart(ours.SelStart());
    m_refControl.setSelLength(ours.SelLength());
    m_ref->setCanUndo(true);
}

void Session::undoOnce(std::ostringstream &log)
{
    log << "undo; ";
    const QString before = m_subject.control.Text();
    m_replaying = true;
    m_ref->Undo();
    m_ours->Undo();
    m_replaying = false;
    if (m_expectUndo.size() < 2) {
        checkRestored(before, before, "undo");
        return;
    }
    m_expectRedo.append(m_expectUndo.takeLast());
    checkRestored(before, m_expectUndo.last(), "undo");
}

void Session::redoOnce(std::ostringstream &log)
{
    log << "redo; ";
    const QString before = m_subject.control.Text();
    m_replaying = true;
    m_ref->Redo();
    m_ours->Redo();
    m_replaying = false;
    if (m_expectRedo.isEmpty()) {
        checkRestored(before, before, "redo");
        return;
    }
    m_expectUndo.append(m_expectRedo.takeLast());
    checkRestored(before, m_expectUndo.last(), "redo");
}

void Session::step(std::ostringstream &log)
{
    const int roll = pick(100);
    if (roll < 30) {
        if (pick(3) == 0) {
            // Typing over a selection: one change that both removes and inserts.
            const int at = pick(m_refControl.TextLength() + 1);
            const int length = 1 + pick(5);
            log << "select " << at << "+" << length << "; ";
            bothControls([&](IEditControl &c) {
                c.setSelStart(at);
                c.setSelLength(length);
            });
        }
        const int count = 1 + pick(5);
        for (int i = 0; i < count; ++i) {
            const QChar c = kTyped.at(pick(static_cast<int>(kTyped.size())));
            log << "type '" << visible(QString(c)) << "'; ";
            bothKeys([&](KeyDriver &k) { k.type(c); });
        }
    } else if (roll < 35) {
        log << "enter; ";
        bothKeys([](KeyDriver &k) { k.enter(); });
    } else if (roll < 45) {
        const int count = 1 + pick(3);
        log << "backspace x" << count << "; ";
        for (int i = 0; i < count; ++i)
            bothKeys([](KeyDriver &k) { k.backspace(); });
    } else if (roll < 52) {
        const int count = 1 + pick(3);
        log << "delete x" << count << "; ";
        for (int i = 0; i < count; ++i)
            bothKeys([](KeyDriver &k) { k.del(); });
    } else if (roll < 60) {
        const int at = pick(m_refControl.TextLength() + 2);
        const int length = pick(m_refControl.TextLength() + 3) - 1;
        log << "select " << at << "+" << length << "; ";
        bothControls([&](IEditControl &c) {
            c.setSelStart(at);
            c.setSelLength(length);
        });
    } else if (roll < 64) {
        const int at = pick(m_refControl.TextLength() + 2) - (pick(10) == 0 ? 3 : 0);
        log << "caret " << at << "; ";
        bothControls([&](IEditControl &c) { c.setSelStart(at); });
    } else if (roll < 69) {
        const QString text = randomText(kWritten, 6);
        log << "paste \"" << visible(text) << "\"; ";
        m_refClipboard.content = text;
        m_subject.clipboard.content = text;
        m_ref->Paste();
        m_ours->Paste();
    } else if (roll < 72) {
        log << "cut; ";
        m_ref->Cut();
        m_ours->Cut();
    } else if (roll < 74) {
        log << "copy; ";
        m_ref->Copy();
        m_ours->Copy();
    } else if (roll < 76) {
        log << "clear; ";
        m_ref->Delete();
        m_ours->Delete();
    } else if (roll < 80) {
        const ConvType type = kConversions[pick(std::size(kConversions))];
        log << "conv " << int(type) << "; ";
        m_ref->Conv(type);
        m_ours->Conv(type);
    } else if (roll < 83) {
        // An edit away from the caret, as a replacement or a drop makes.
        const int caret = m_refControl.SelStart();
        const int at = pick(m_refControl.TextLength() + 1);
        const int length = pick(4);
        const QString text = randomText(kWritten, 4);
        log << "far edit " << at << "+" << length << " \"" << visible(text) << "\"; ";
        bothControls([&](IEditControl &c) {
            c.setSelStart(at);
            c.setSelLength(length);
            c.setSelText(text);
            c.setSelStart(caret);
        });
    } else if (roll < 92) {
        const int count = 1 + pick(3);
        for (int i = 0; i < count && m_failure.empty(); ++i)
            undoOnce(log);
    } else if (roll < 97) {
        const int count = 1 + pick(3);
        for (int i = 0; i < count && m_failure.empty(); ++i)
            redoOnce(log);
    } else if (roll < 98) {
        log << "init; ";
        m_ref->InitVariable();
        m_ours->InitVariable();
        if (m_expectUndo.size() > 1)
            m_expectUndo = {m_expectUndo.last()};
        m_expectRedo.clear();
    } else if (roll < 99) {
        log << "saved; ";
        m_ref->setNeedSave(false);
        m_ours->setNeedSave(false);
    } else {
        const QString text = randomText(kWritten, 30);
        log << "rewrite \"" << visible(text) << "\"; ";
        bothControls([&](IEditControl &c) { c.setText(text); });
    }
}

std::string Session::run(int &steps)
{
    // A document window's load: the control emptied, the document bound, the text set (which
    // becomes the baseline) and the history reset. Sometimes the text is never set, so the
    // first change becomes the baseline.
    bothControls([](IEditControl &c) {
        c.setText(QString());
        c.setSelStart(0);
    });
    m_ref = std::make_unique<ReferenceRTF>(testConverter);
    m_ours = std::make_unique<clsRTF>(m_messages, testConverter);
    m_ref->Init(&m_refControl);
    m_ours->Init(&m_subject.control);
    QObject::connect(&m_refControl, &IEditControl::Change, m_ref.get(),
                     [this] { m_ref->IsTextChange(); });
    QObject::connect(&m_subject.control, &IEditControl::Change, m_ours.get(), [this] {
        m_ours->IsTextChange();
        if (!m_replaying) {
            m_expectUndo.append(m_subject.control.Text());
            m_expectRedo.clear();
        }
    });
    std::ostringstream log;
    if (pick(5) != 0) {
        const QString text = randomText(kWritten, 40);
        log << "load \"" << visible(text) << "\"; ";
        bothControls([&](IEditControl &c) { c.setText(text); });
    }
    m_ref->InitVariable();
    m_ours->InitVariable();
    if (m_expectUndo.size() > 1)
        m_expectUndo = {m_expectUndo.last()};

    std::string failure = compare();
    const int count = 1 + pick(40);
    for (int i = 0; i < count && failure.empty(); ++i, ++steps) {
        step(log);
        failure = compare();
    }
    m_ref.reset();
    m_ours.reset();
    if (failure.empty())
        return {};
    return failure + "after: " + log.str();
}

} // namespace

DifferentialResult runDifferential(const Subject &subject, int sequences, std::uint64_t seed)
{
    FakeClipboard refClipboard;
    MemoryEditControl refControl(refClipboard);
    DifferentialResult result;
    for (int i = 0; i < sequences; ++i) {
        Session session(subject, refControl, refClipboard, seed + std::uint64_t(i));
        const std::string failure = session.run(result.steps);
        ++result.sequences;
        if (!failure.empty()) {
            result.failure = "sequence " + std::to_string(i) + " (seed " +
                             std::to_string(seed + std::uint64_t(i)) + "): " + failure;
            break;
        }
    }
    return result;
}

} // namespace scrivlet::test
