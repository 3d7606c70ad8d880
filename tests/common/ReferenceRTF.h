#pragma once
// The quick rule of Undo and Redo written out plainly, with a full copy of the text in every step:
// the reference for where the caret and the selection end up when a step was one insertion or
// removal at its caret. It says nothing about the text after other steps, which the rule gets
// wrong; the differential test checks those against its own list of texts.

#include "editor/ConvType.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <deque>
#include <memory>

namespace scrivlet {
class IEditControl;
}

namespace scrivlet::test {

struct ReferenceUndo
{
    int SelStart = 0;
    int TextLen = 0;
    QString Text;
};

class ReferenceRTF : public QObject
{
    Q_OBJECT
public:
    explicit ReferenceRTF(StringConverter converter = {}, QObject *parent = nullptr);

    void Init(IEditControl *target);
    void InitVariable();
    void Undo();
    void Redo();
    bool IsTextChange();
    int GetClctUndoCount() const { return static_cast<int>(clctUndo.size()); }
    int GetClctRedoCount() const { return static_cast<int>(clctRedo.size()); }
    void RemoveCollection(bool removeRedoOnly);
    bool NeedSave() const { return m_needSave; }
    void setNeedSave(bool flag) { m_needSave = flag; }
    bool CanUndo() const { return m_canUndo; }
    void setCanUndo(bool flag) { m_canUndo = flag; }

    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void Conv(ConvType type);
    void AllSelect();

    // Mid(b, endPos - d, d) of the longer string, with the empty result for a start out of range.
    static QString GetDiffString(QString a, QString b, int endPos);

private:
    void objRTF_Change();
    void selectRestored(const QString &s);

    StringConverter m_converter;
    QPointer<IEditControl> objRTF;
    bool m_canUndo = true;
    bool m_needSave = false;
    std::deque<std::shared_ptr<ReferenceUndo>> clctUndo;
    std::deque<std::shared_ptr<ReferenceUndo>> clctRedo;
};

} // namespace scrivlet::test
