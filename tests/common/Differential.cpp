#include "tests/common/Differential.h"

#include "editor/clsRTF.h"
#include "tests/common/ReferenceRTF.h"
#include "tests/common/TestSupport.h"

#include <random>
#include <sstream>

using namespace Qt::StringLiterals;

namespace scrivlet::test {
namespace {

// Conversions that keep, grow and shrink the text, at the caret and far from it.
constexpr ConvType kConversions[] = {ConvType::LowerCase, ConvType::UpperCase,
                                     ConvType::EscapeAngleBrackets, ConvType::UnescapeAngleBrackets,
                                     ConvType::WrapLinesInLi};
QString testConverter(const QString &text, ConvType type, ConvContext)
{
    using enum ConvType;
    return type == LowerCase               ? text.toLower()
           : type == UpperCase             ? text.toUpper()
           : type == EscapeAngleBrackets   ? QString(text).replace(u"<"_s, u"&lt;"_s)
           : type == UnescapeAngleBrackets ? QString(text).replace(u"&lt;"_s, u"<"_s)
                                           : u"<LI>"_s + text;
}

const QString kTyped = u"abcAB <>\"=/&;lt\tあいアイ漢字ｱｲﾞ、。"_s;
// Texts written through the interface may hold every kind of line break and odd unit.
const QString kWritten = kTyped + u"\r\n\r\n\r\n\r\n\r\n\u2029\u2028\u00A0"_s;

class Session
{
public:
    Session(const Subject &subject, std::uint64_t seed) : s(subject), rng(seed) {}

    // A document window's load: the control emptied, the document bound, the text set (which
    // becomes the baseline) and the history reset. Sometimes the text is never set, so the
    // first change becomes the baseline.
    std::string run(int &steps)
    {
        s.control.setText(QString());
        s.control.setSelStart(0);
        ref.Init(&refControl);
        ours.Init(&s.control);
        QObject::connect(&refControl, &IEditControl::Change, [this] { ref.IsTextChange(); });
        QObject::connect(&s.control, &IEditControl::Change, &ours, [this] {
            ours.IsTextChange();
            if (!replaying) {
                expectUndo.append(s.control.Text());
                expectRedo.clear();
            }
        });
        if (pick(5) != 0)
            rewrite("load", 40);
        baseline();
        std::string failed = compare();
        for (int i = 1 + pick(40); i > 0 && failed.empty(); --i, ++steps) {
            step();
            failed = compare();
        }
        return failed.empty() ? failed : failed + "after: " + log.str();
    }

private:
    static std::string span(int start, int length)
    {
        return std::to_string(start) + "+" + std::to_string(length);
    }
    static std::string state(const auto &history, const IEditControl &c)
    {
        std::ostringstream out;
        out << '"' << visible(c.Text()) << "\" " << span(c.SelStart(), c.SelLength()) << " steps "
            << history.GetClctUndoCount() << "/" << history.GetClctRedoCount() << " save "
            << history.NeedSave() << " can " << history.CanUndo();
        return out.str();
    }
    int pick(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(rng); }
    QString randomText(const QString &alphabet, int maxLength)
    {
        QString out;
        for (int i = pick(maxLength + 1); i > 0; --i)
            out.append(alphabet.at(pick(static_cast<int>(alphabet.size()))));
        return out;
    }
    // Logs the step and does it on both sides.
    void act(const std::string &what, auto action)
    {
        log << what << "; ";
        action(static_cast<IEditControl &>(refControl), static_cast<KeyDriver &>(refControl));
        action(s.control, s.keys);
    }
    void select(int at, int length)
    {
        act("select " + span(at, length), [&](IEditControl &c, KeyDriver &) {
            c.setSelStart(at);
            c.setSelLength(length);
        });
    }
    void rewrite(const std::string &what, int maxLength)
    {
        const QString text = randomText(kWritten, maxLength);
        act(what + " \"" + visible(text) + "\"",
            [&](IEditControl &c, KeyDriver &) { c.setText(text); });
    }
    void baseline()
    {
        ref.InitVariable();
        ours.InitVariable();
        if (expectUndo.size() > 1)
            expectUndo = {expectUndo.last()};
        expectRedo.clear();
    }
    // Both histories agree, and ours holds as many steps as the texts recorded.
    std::string compare() const
    {
        const std::string expected = state(ref, refControl), actual = state(ours, s.control);
        if (expected == actual && ours.GetClctUndoCount() == expectUndo.size() &&
            ours.GetClctRedoCount() == expectRedo.size())
            return failure;
        return "reference " + expected + "\nours      " + actual + "\nrecorded steps " +
               std::to_string(expectUndo.size()) + "/" + std::to_string(expectRedo.size()) + "\n" +
               failure;
    }

    void replay(bool undo)
    {
        log << (undo ? "undo; " : "redo; ");
        const QString before = s.control.Text();
        replaying = true;
        undo ? ref.Undo() : ref.Redo();
        undo ? ours.Undo() : ours.Redo();
        replaying = false;
        const bool moves = undo ? expectUndo.size() >= 2 : !expectRedo.isEmpty();
        if (moves)
            (undo ? expectRedo : expectUndo).append((undo ? expectUndo : expectRedo).takeLast());
        const QString expected = moves ? expectUndo.last() : before;
        const IEditControl &c = s.control;
        const std::string what = undo ? "undo" : "redo";
        if (c.Text() != expected) {
            failure += what + " text: expected \"" + visible(expected) + "\" ours \"" +
                       visible(c.Text()) + "\"\n";
            return;
        }
        if (refControl.Text() == expected)
            return; // the quick rule held: compare() checks the caret against it
        // The rule would have left another text: the stretch that differs comes back selected,
        // or the caret stands after it. Found unit by unit between the longest shared start and
        // end.
        const qsizetype shorter = std::min(before.size(), expected.size());
        qsizetype head = 0, tail = 0;
        while (head < shorter && before[head] == expected[head])
            ++head;
        while (tail < shorter - head &&
               before[before.size() - 1 - tail] == expected[expected.size() - 1 - tail])
            ++tail;
        const QString restored = expected.mid(head, expected.size() - tail - head);
        const bool selected = restored.size() >= 2 && restored != u"\r\n";
        const int start = static_cast<int>(selected ? head : head + restored.size());
        const int length = selected ? static_cast<int>(restored.size()) : 0;
        if (c.SelStart() != start || c.SelLength() != length)
            failure += what + " selection: expected " + span(start, length) + " ours " +
                       span(c.SelStart(), c.SelLength()) + "\n";
        // From here on the quick rule runs on the right text again.
        ref.setCanUndo(false);
        refControl.setText(expected);
        refControl.setSelStart(c.SelStart());
        refControl.setSelLength(c.SelLength());
        ref.setCanUndo(true);
    }

    void step()
    {
        const int roll = pick(100);
        const int length = refControl.TextLength();
        if (roll < 30) {
            if (pick(3) == 0) { // typing over a selection: one change that removes and inserts
                const int at = pick(length + 1);
                select(at, 1 + pick(5));
            }
            for (int i = 1 + pick(5); i > 0; --i) {
                const QString c(kTyped.at(pick(static_cast<int>(kTyped.size()))));
                act("type '" + visible(c) + "'",
                    [&c](IEditControl &, KeyDriver &k) { k.typeText(c); });
            }
        } else if (roll < 35) {
            act("enter", [](IEditControl &, KeyDriver &k) { k.pressEnter(); });
        } else if (roll < 52) {
            const bool back = roll < 45;
            for (int i = pick(3); i >= 0; --i)
                act(back ? "backspace" : "delete", [back](IEditControl &, KeyDriver &k) {
                    back ? k.pressBackspace() : k.pressDelete();
                });
        } else if (roll < 60) {
            const int at = pick(length + 2);
            select(at, pick(length + 3) - 1);
        } else if (roll < 64) {
            const int at = pick(length + 2) - (pick(10) == 0 ? 3 : 0);
            act("caret " + std::to_string(at),
                [at](IEditControl &c, KeyDriver &) { c.setSelStart(at); });
        } else if (roll < 69) {
            const QString text = randomText(kWritten, 6);
            log << "paste \"" << visible(text) << "\"; ";
            refClipboard.content = s.clipboard.content = text;
            refControl.paste();
            ours.Paste();
        } else if (roll < 76) {
            log << (roll < 72 ? "cut; " : roll < 74 ? "copy; " : "clear; ");
            roll < 72 ? refControl.cut() : roll < 74 ? refControl.copy() : refControl.clear();
            roll < 72 ? ours.Cut() : roll < 74 ? ours.Copy() : ours.Delete();
        } else if (roll < 80) {
            const ConvType type = kConversions[pick(std::size(kConversions))];
            log << "conv " << int(type) << "; ";
            ref.Conv(type);
            ours.Conv(type);
        } else if (roll < 83) { // an edit away from the caret, as a replacement or a drop makes
            const int caret = refControl.SelStart(), at = pick(length + 1), removed = pick(4);
            const QString text = randomText(kWritten, 4);
            act("far edit " + span(at, removed) + " \"" + visible(text) + "\"",
                [&](IEditControl &c, KeyDriver &) {
                    c.setSelStart(at);
                    c.setSelLength(removed);
                    c.setSelText(text);
                    c.setSelStart(caret);
                });
        } else if (roll < 97) {
            for (int i = 1 + pick(3); i > 0 && failure.empty(); --i)
                replay(roll < 92);
        } else if (roll < 98) {
            log << "init; ";
            baseline();
        } else if (roll < 99) {
            log << "saved; ";
            ref.setNeedSave(false);
            ours.setNeedSave(false);
        } else {
            rewrite("rewrite", 30);
        }
    }

    const Subject &s;
    std::mt19937_64 rng;
    std::ostringstream log;
    FakeClipboard refClipboard;
    MemoryEditControl refControl{refClipboard};
    ReferenceRTF ref{testConverter};
    FakeMessageService messages;
    clsRTF ours{messages, testConverter};
    // The texts after each recorded change, and the texts undone, newest last.
    QStringList expectUndo, expectRedo;
    bool replaying = false;
    std::string failure;
};

} // namespace

DifferentialResult runDifferential(const Subject &subject, int sequences, std::uint64_t seed)
{
    DifferentialResult result;
    for (int n = 0; n < sequences && result.failure.empty(); ++n) {
        const std::uint64_t s = seed + std::uint64_t(n);
        if (const std::string failure = Session(subject, s).run(result.steps); !failure.empty())
            result.failure =
                "sequence " + std::to_string(n) + " (seed " + std::to_string(s) + "): " + failure;
    }
    return result;
}

} // namespace scrivlet::test
