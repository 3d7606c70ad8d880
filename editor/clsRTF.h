#pragma once
// The editor document behind one document window: its own undo and redo history, the
// unsaved-changes flag, search and the editing operations. Owns its history; references the
// bound edit control (which may go first) and the message service.

#include "editor/ConvType.h"
#include "editor/SharedText.h"
#include "editor/clsUndo.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

#include <deque>
#include <memory>

namespace scrivlet {

class IEditControl;
class IMessageService;

class clsRTF : public QObject
{
    Q_OBJECT
public:
    clsRTF(IMessageService &messages, StringConverter converter, QObject *parent = nullptr);
    ~clsRTF() override;

    // History and flags.
    void Init(IEditControl *target);
    void InitVariable();
    void Undo();
    void Redo();
    // Records the control's text as a step; continuesLast makes it the step the last change
    // recorded instead, for edits that are pieces of one input.
    bool IsTextChange(bool continuesLast = false);
    int GetClctUndoCount() const { return static_cast<int>(clctUndo.size()); }
    int GetClctRedoCount() const { return static_cast<int>(clctRedo.size()); }
    void RemoveCollection(bool removeRedoOnly);
    bool NeedSave() const { return m_needSave; }
    void setNeedSave(bool flag) { m_needSave = flag; }
    bool CanUndo() const { return m_canUndo; }
    void setCanUndo(bool flag) { m_canUndo = flag; }

    // Search: select the next or previous match by the text comparison, or say that there is
    // none. Any line break in searchStr stands for the control's CR LF.
    void FindBack(const QString &searchStr);
    void FindNext(const QString &searchStr);

    // Editing operations.
    void Cut();
    void Copy();
    void Paste();
    void Delete();
    void Conv(ConvType type);
    void AllSelect();
    int CaretX();
    int CaretY();

private:
    void objRTF_Change();
    QPoint GetCaretPoint();
    void selectRestored(const QString &restored);
    // Puts back, through the selection, the stretch of target that the control's text lacks.
    void restoreText(const SharedText &target);

    IMessageService &m_messages;
    StringConverter m_converter;
    QPointer<IEditControl> objRTF;
    bool m_canUndo = true;
    bool m_needSave = false;
    std::deque<std::shared_ptr<const clsUndo>> clctUndo;
    std::deque<std::shared_ptr<const clsUndo>> clctRedo;
};

} // namespace scrivlet
