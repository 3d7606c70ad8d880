#pragma once
// The undo history as first designed, kept as the reference that the real one must match: every
// step holds a full copy of the text, read from the control at each change. Slow on purpose.

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
