#pragma once
// The quick rule of Undo and Redo written out plainly, with a full copy of the text in every step:
// the reference for where the caret and the selection end up when a step was one insertion or
// removal at its caret. It says nothing about the text after other steps, which the rule gets
// wrong; the differential test checks those against its own list of texts. A QObject, so that a
// connection can end with it (the history benchmark).

#include "editor/ConvType.h"
#include "editor/IEditControl.h"

#include <deque>

namespace scrivlet::test {

class ReferenceRTF : public QObject
{
public:
    explicit ReferenceRTF(StringConverter converter = {}) : m_converter(std::move(converter)) {}

    void Init(IEditControl *target) { objRTF = target; }
    void InitVariable()
    {
        m_canUndo = true;
        m_needSave = false;
        clctRedo.clear();
        while (clctUndo.size() > 1)
            clctUndo.pop_front();
    }
    void IsTextChange()
    {
        if (!m_canUndo)
            return;
        m_needSave = true;
        clctRedo.clear();
        const QString text = objRTF->Text();
        clctUndo.push_back({objRTF->SelStart(), static_cast<int>(text.size()), text});
    }
    int GetClctUndoCount() const { return static_cast<int>(clctUndo.size()); }
    int GetClctRedoCount() const { return static_cast<int>(clctRedo.size()); }
    bool NeedSave() const { return m_needSave; }
    void setNeedSave(bool flag) { m_needSave = flag; }
    bool CanUndo() const { return m_canUndo; }
    void setCanUndo(bool flag) { m_canUndo = flag; }

    void Undo()
    {
        const auto n = clctUndo.size();
        if (n >= 2 && m_canUndo) {
            m_canUndo = false;
            const Step cur = clctUndo[n - 1], prev = clctUndo[n - 2];
            const int d = cur.TextLen - prev.TextLen;
            if (d > 0)
                remove(std::max(0, cur.SelStart - d), d);
            else
                putBack(GetDiffString(prev.Text, cur.Text, cur.SelStart - d + 1), cur.SelStart);
            clctRedo.push_back(cur);
            clctUndo.pop_back();
        }
        m_canUndo = true;
    }
    void Redo()
    {
        if (!clctRedo.empty() && m_canUndo) {
            m_canUndo = false;
            const Step u = clctRedo.back();
            const QString text = objRTF->Text();
            const QString s = GetDiffString(text, u.Text, u.SelStart + 1);
            if (u.TextLen < text.size())
                remove(u.SelStart, static_cast<int>(text.size()) - u.TextLen);
            else
                putBack(s, std::max(0, u.SelStart - static_cast<int>(s.size())));
            clctUndo.push_back(u);
            clctRedo.pop_back();
        }
        m_canUndo = true;
    }
    void Conv(ConvType type)
    {
        const QString result =
            m_converter(objRTF->SelLength() > 0 ? objRTF->SelText() : objRTF->Text(), type, {});
        objRTF->SelLength() < 1 ? objRTF->setText(result) : objRTF->setSelText(result);
    }

    // Mid(b, endPos - d, d) of the longer string, with the empty result for a start out of range.
    static QString GetDiffString(QString a, QString b, int endPos)
    {
        if (b.size() < a.size())
            std::swap(a, b);
        const int d = static_cast<int>(b.size() - a.size());
        const int start = endPos - d;
        return d == 0 || start < 1 || start > b.size() ? QString() : b.mid(start - 1, d);
    }

private:
    struct Step
    {
        int SelStart;
        int TextLen;
        QString Text;
    };

    void remove(int start, int length)
    {
        objRTF->setSelStart(start);
        objRTF->setSelLength(length);
        objRTF->setSelText(QString());
    }
    // Inserts s at start; a stretch of two units or more other than a line break stays selected,
    // else the caret moves after it.
    void putBack(const QString &s, int start)
    {
        objRTF->setSelStart(start);
        objRTF->setSelLength(0);
        objRTF->setSelText(s);
        objRTF->setSelStart(start);
        if (s.size() >= 2 && s != u"\r\n")
            objRTF->setSelLength(static_cast<int>(s.size()));
        else
            objRTF->setSelStart(objRTF->SelStart() + static_cast<int>(s.size()));
    }

    StringConverter m_converter;
    IEditControl *objRTF = nullptr;
    bool m_canUndo = true;
    bool m_needSave = false;
    std::deque<Step> clctUndo, clctRedo;
};

} // namespace scrivlet::test
