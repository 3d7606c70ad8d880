#include "editor/clsRTF.h"

#include "editor/IEditControl.h"
#include "editor/Messages.h"
#include "editor/TextCompare.h"
#include "platform/IMessageService.h"

#include <QtMath>

#include <stdexcept>

namespace scrivlet {

clsRTF::clsRTF(IMessageService &messages, StringConverter converter, QObject *parent)
    : QObject(parent), m_messages(messages), m_converter(std::move(converter))
{
    InitVariable();
}

clsRTF::~clsRTF() = default;

void clsRTF::Init(IEditControl *target)
{
    if (objRTF)
        disconnect(objRTF, nullptr, this, nullptr);
    objRTF = target;
    if (target)
        connect(target, &IEditControl::Change, this, &clsRTF::objRTF_Change);
}

void clsRTF::objRTF_Change()
{
    objRTF->emptyUndoBuffer();
}

void clsRTF::InitVariable()
{
    m_canUndo = true;
    m_needSave = false;
    RemoveCollection(false);
}

void clsRTF::RemoveCollection(bool removeRedoOnly)
{
    clctRedo.clear();
    if (!removeRedoOnly) {
        while (clctUndo.size() > 1)
            clctUndo.pop_front();
    }
}

bool clsRTF::IsTextChange(bool continuesLast)
{
    if (!m_canUndo)
        return false;
    m_needSave = true;
    RemoveCollection(true);
    if (continuesLast && clctUndo.size() > 1)
        clctUndo.pop_back();
    if (objRTF) {
        // The control's text as a shared value: the step costs what the last change cost, not
        // what the page weighs.
        auto step = std::make_shared<clsUndo>();
        step->SelStart = objRTF->SelStart();
        step->Text = objRTF->TextSnapshot();
        step->TextLen = static_cast<int>(step->Text.length());
        clctUndo.push_back(std::move(step));
    }
    return true;
}

void clsRTF::selectRestored(const QString &restored)
{
    // A restored stretch stays selected so that the user sees what came back; a single
    // character (also one outside the BMP) or a line break only moves the caret after it.
    const bool oneCharacter = restored.size() == 1 || restored == u"\r\n" ||
                              (restored.size() == 2 && restored.front().isHighSurrogate() &&
                               restored.back().isLowSurrogate());
    if (!oneCharacter && !restored.isEmpty())
        objRTF->setSelLength(static_cast<int>(restored.size()));
    else
        objRTF->setSelStart(objRTF->SelStart() + static_cast<int>(restored.size()));
}

namespace {

// The units by which the longer of a and b exceeds the shorter, ending just before the 1-based
// position endPos of the longer; empty where that run would start before the first unit or
// after the last.
QString GetDiffString(const SharedText &a, const SharedText &b, qsizetype endPos)
{
    const SharedText &longer = b.length() < a.length() ? a : b;
    const SharedText &shorter = b.length() < a.length() ? b : a;
    const qsizetype d = longer.length() - shorter.length();
    const qsizetype start = endPos - d; // 1-based
    if (d == 0 || start < 1 || start > longer.length())
        return {};
    return longer.mid(start - 1, d);
}

// Whether pos falls between the two halves of a character outside the BMP; a caret or a
// selection edge there would let the next key split the character.
bool splitsPair(const SharedText &text, qsizetype pos)
{
    return pos > 0 && pos < text.length() && QChar::isHighSurrogate(text.at(pos - 1)) &&
           QChar::isLowSurrogate(text.at(pos));
}

// Whether longer is shorter with length units inserted at pos, and nothing else changed.
bool isInsertion(const SharedText &shorter, const SharedText &longer, qsizetype pos,
                 qsizetype length)
{
    const qsizetype kept = shorter.length();
    if (pos < 0 || pos > kept || longer.length() != kept + length)
        return false;
    return shorter.commonPrefix(longer, pos) == pos &&
           shorter.commonSuffix(longer, kept - pos) == kept - pos;
}

} // namespace

// The quick rule of Undo and Redo takes a step for one insertion or removal at its caret. A
// step that replaced text (typing over a selection, a conversion, a replacement) is no such
// thing, and the rule would leave a mix of both texts; the history holds the text to go back
// to, so only the stretch that differs is put back, through the selection.
void clsRTF::restoreText(const SharedText &target)
{
    const SharedText now = objRTF->TextSnapshot();
    const qsizetype shorter = std::min(now.length(), target.length());
    // Two characters outside the BMP may share a half (😀 and 😃 share the first): the stretch
    // grows to whole characters.
    qsizetype head = now.commonPrefix(target, shorter);
    while (splitsPair(now, head) || splitsPair(target, head))
        --head;
    qsizetype tail = now.commonSuffix(target, shorter - head);
    while (splitsPair(now, now.length() - tail) || splitsPair(target, target.length() - tail))
        --tail;
    const QString restored = target.mid(head, target.length() - tail - head);
    objRTF->setSelStart(static_cast<int>(head));
    objRTF->setSelLength(static_cast<int>(now.length() - tail - head));
    objRTF->setSelText(restored);
    objRTF->setSelStart(static_cast<int>(head));
    selectRestored(restored);
}

void clsRTF::Undo()
{
    const auto n = clctUndo.size();
    if (n >= 2 && m_canUndo) {
        m_canUndo = false;
        const auto cur = clctUndo[n - 1];
        const auto prev = clctUndo[n - 2];
        if (objRTF) {
            const SharedText now = objRTF->TextSnapshot();
            if (prev->TextLen < cur->TextLen) {
                const int d = cur->TextLen - prev->TextLen;
                // After a rewrite of the whole text the caret may stand nearer the start than
                // the length grew; the start is then taken as 0.
                const int start = std::max(0, cur->SelStart - d);
                if (isInsertion(prev->Text, now, start, d)) {
                    objRTF->hideSelection(true);
                    objRTF->setSelStart(start);
                    objRTF->setSelLength(d);
                    objRTF->setSelText(QString());
                    objRTF->hideSelection(false);
                } else {
                    restoreText(prev->Text);
                }
            } else {
                const qsizetype g = prev->Text.length() - cur->Text.length();
                const bool quick = g == 0 ? now.sameText(prev->Text)
                                          : isInsertion(now, prev->Text, cur->SelStart, g);
                if (quick) {
                    const QString s = GetDiffString(prev->Text, cur->Text, cur->SelStart + g + 1);
                    objRTF->setSelStart(cur->SelStart);
                    objRTF->setSelLength(0);
                    objRTF->setSelText(s);
                    objRTF->setSelStart(cur->SelStart);
                    selectRestored(s);
                } else {
                    restoreText(prev->Text);
                }
            }
        }
        clctRedo.push_back(cur);
        clctUndo.pop_back();
    }
    m_canUndo = true;
}

void clsRTF::Redo()
{
    if (!clctRedo.empty() && m_canUndo) {
        m_canUndo = false;
        const auto u = clctRedo.back();
        if (objRTF) {
            const SharedText now = objRTF->TextSnapshot();
            const int length = static_cast<int>(now.length());
            if (u->TextLen < length) {
                if (isInsertion(u->Text, now, u->SelStart, length - u->TextLen)) {
                    objRTF->setSelStart(u->SelStart);
                    objRTF->setSelLength(length - u->TextLen);
                    objRTF->setSelText(QString());
                } else {
                    restoreText(u->Text);
                }
            } else {
                const int d = u->TextLen - length;
                const bool quick =
                    d == 0 ? now.sameText(u->Text) : isInsertion(now, u->Text, u->SelStart - d, d);
                if (quick) {
                    const QString s = GetDiffString(now, u->Text, u->SelStart + 1);
                    const int start = u->SelStart - static_cast<int>(s.size());
                    objRTF->setSelStart(start);
                    objRTF->setSelLength(0);
                    objRTF->setSelText(s);
                    objRTF->setSelStart(start);
                    selectRestored(s);
                } else {
                    restoreText(u->Text);
                }
            }
        }
        clctUndo.push_back(u);
        clctRedo.pop_back();
    }
    m_canUndo = true;
}

void clsRTF::FindNext(const QString &searchStr)
{
    if (searchStr.isEmpty())
        return;
    try {
        if (!objRTF)
            throw std::runtime_error("no control");
        const qsizetype start = qsizetype(objRTF->SelStart()) + objRTF->SelLength();
        const QString text = objRTF->TextSnapshot().toString();
        qsizetype length = 0;
        const qsizetype p =
            findForward(text, normalizeLineBreaks(searchStr), start, CompareMode::Text, &length);
        if (p >= 0) {
            objRTF->setSelStart(static_cast<int>(p));
            objRTF->setSelLength(static_cast<int>(length));
        } else {
            m_messages.information(editor::msg::kSearchFinished);
        }
    } catch (const std::exception &) {
        m_messages.critical(editor::msg::kSearchFailed);
    }
}

void clsRTF::FindBack(const QString &searchStr)
{
    if (searchStr.isEmpty())
        return;
    try {
        if (!objRTF)
            throw std::runtime_error("no control");
        const int selStart = objRTF->SelStart();
        if (selStart == 0) {
            m_messages.information(editor::msg::kSearchFinished);
            return;
        }
        const QString text = objRTF->TextSnapshot().toString();
        qsizetype length = 0;
        const qsizetype p = findBackward(text, normalizeLineBreaks(searchStr), selStart,
                                         CompareMode::Text, &length);
        if (p >= 0) {
            objRTF->setSelStart(static_cast<int>(p));
            objRTF->setSelLength(static_cast<int>(length));
        } else {
            m_messages.information(editor::msg::kSearchFinished);
        }
    } catch (const std::exception &) {
        m_messages.critical(editor::msg::kSearchFailed);
    }
}

void clsRTF::Cut()
{
    if (objRTF)
        objRTF->cut();
}

void clsRTF::Copy()
{
    if (objRTF)
        objRTF->copy();
}

void clsRTF::Paste()
{
    if (objRTF)
        objRTF->paste();
}

void clsRTF::Delete()
{
    if (objRTF)
        objRTF->clear();
}

void clsRTF::AllSelect()
{
    if (objRTF)
        objRTF->selectAll();
}

void clsRTF::Conv(ConvType type)
{
    if (!objRTF || !m_converter)
        return;
    if (objRTF->SelLength() < 1) {
        objRTF->setText(m_converter(objRTF->Text(), type, {}));
        return;
    }
    // Only the conversions of markup pay for a copy of the whole text.
    const bool around = readsAroundTheRange(type);
    const QString document = around ? objRTF->Text() : QString();
    const QString result =
        m_converter(objRTF->SelText(), type,
                    around ? ConvContext{document, objRTF->SelStart()} : ConvContext{});
    objRTF->setSelText(result);
}

QPoint clsRTF::GetCaretPoint()
{
    if (!objRTF)
        return {};
    objRTF->SetFocus();
    return objRTF->caretPos();
}

// Twips are rounded half away from zero, as the pixel factor is seldom a whole number on
// screens of other than 96 dpi.
int clsRTF::CaretX()
{
    const QPoint p = GetCaretPoint();
    return objRTF ? qRound(p.x() * objRTF->twipsPerPixel().x()) : 0;
}

int clsRTF::CaretY()
{
    const QPoint p = GetCaretPoint();
    return objRTF ? qRound(p.y() * objRTF->twipsPerPixel().y()) : 0;
}

} // namespace scrivlet
