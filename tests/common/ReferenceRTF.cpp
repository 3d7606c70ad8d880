#include "tests/common/ReferenceRTF.h"

#include "editor/IEditControl.h"

#include <cstdlib>

namespace scrivlet::test {

ReferenceRTF::ReferenceRTF(StringConverter converter, QObject *parent)
    : QObject(parent), m_converter(std::move(converter))
{
    InitVariable();
}

void ReferenceRTF::Init(IEditControl *target)
{
    objRTF = target;
    connect(target, &IEditControl::Change, this, &ReferenceRTF::objRTF_Change);
}

void ReferenceRTF::objRTF_Change()
{
    objRTF->emptyUndoBuffer();
}

void ReferenceRTF::InitVariable()
{
    m_canUndo = true;
    m_needSave = false;
    RemoveCollection(false);
}

void ReferenceRTF::RemoveCollection(bool removeRedoOnly)
{
    clctRedo.clear();
    if (!removeRedoOnly) {
        while (clctUndo.size() > 1)
            clctUndo.pop_front();
    }
}

bool ReferenceRTF::IsTextChange()
{
    if (!m_canUndo)
        return false;
    m_needSave = true;
    RemoveCollection(true);
    auto step = std::make_shared<ReferenceUndo>();
    step->SelStart = objRTF->SelStart();
    const QString text = objRTF->Text();
    step->TextLen = static_cast<int>(text.size());
    // A deep copy: no storage shared with the control or other steps.
    step->Text = QString(text.constData(), text.size());
    clctUndo.push_back(step);
    return true;
}

QString ReferenceRTF::GetDiffString(QString a, QString b, int endPos)
{
    if (b.size() < a.size())
        std::swap(a, b);
    const int d = static_cast<int>(b.size() - a.size());
    const int start = endPos - d;
    if (d == 0 || start < 1 || start > b.size())
        return {};
    return b.mid(start - 1, d);
}

void ReferenceRTF::selectRestored(const QString &s)
{
    if (s.size() >= 2 && s != QStringLiteral("\r\n"))
        objRTF->setSelLength(static_cast<int>(s.size()));
    else
        objRTF->setSelStart(objRTF->SelStart() + static_cast<int>(s.size()));
}

void ReferenceRTF::Undo()
{
    const auto n = clctUndo.size();
    if (n >= 2 && m_canUndo) {
        m_canUndo = false;
        const auto cur = clctUndo[n - 1];
        const auto prev = clctUndo[n - 2];
        if (prev->TextLen < cur->TextLen) {
            const int d = cur->TextLen - prev->TextLen;
            objRTF->hideSelection(true);
            objRTF->setSelStart(std::max(0, cur->SelStart - d));
            objRTF->setSelLength(d);
            objRTF->setSelText(QString());
            objRTF->hideSelection(false);
        } else {
            const int g = std::abs(static_cast<int>(prev->Text.size() - cur->Text.size()));
            const QString s = GetDiffString(prev->Text, cur->Text, cur->SelStart + g + 1);
            objRTF->setSelStart(cur->SelStart);
            objRTF->setSelLength(0);
            objRTF->setSelText(s);
            objRTF->setSelStart(cur->SelStart);
            selectRestored(s);
        }
        clctRedo.push_back(cur);
        clctUndo.pop_back();
    }
    m_canUndo = true;
}

void ReferenceRTF::Redo()
{
    if (!clctRedo.empty() && m_canUndo) {
        m_canUndo = false;
        const auto u = clctRedo.back();
        const QString text = objRTF->Text();
        const int length = static_cast<int>(text.size());
        if (u->TextLen < length) {
            objRTF->setSelStart(u->SelStart);
            objRTF->setSelLength(length - u->TextLen);
            objRTF->setSelText(QString());
        } else {
            const QString s = GetDiffString(text, u->Text, u->SelStart + 1);
            const int start = std::max(0, u->SelStart - static_cast<int>(s.size()));
            objRTF->setSelStart(start);
            objRTF->setSelLength(0);
            objRTF->setSelText(s);
            objRTF->setSelStart(start);
            selectRestored(s);
        }
        clctUndo.push_back(u);
        clctRedo.pop_back();
    }
    m_canUndo = true;
}

void ReferenceRTF::Cut()
{
    objRTF->cut();
}

void ReferenceRTF::Copy()
{
    objRTF->copy();
}

void ReferenceRTF::Paste()
{
    objRTF->paste();
}

void ReferenceRTF::Delete()
{
    objRTF->clear();
}

void ReferenceRTF::AllSelect()
{
    objRTF->selectAll();
}

void ReferenceRTF::Conv(ConvType type)
{
    const QString source = objRTF->SelLength() > 0 ? objRTF->SelText() : objRTF->Text();
    const QString result = m_converter(source, type);
    if (objRTF->SelLength() < 1)
        objRTF->setText(result);
    else
        objRTF->setSelText(result);
}

} // namespace scrivlet::test
