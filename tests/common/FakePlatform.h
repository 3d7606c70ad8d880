#pragma once
// Test doubles of the platform services: they record what was shown and answer as scripted.

#include "platform/IClipboard.h"
#include "platform/IFileDialogs.h"
#include "platform/IMessageService.h"
#include "platform/IShell.h"
#include "tests/common/TestSupport.h"

#include <QFileInfo>
#include <QList>

#include <functional>

namespace scrivlet::test {

struct ShownMessage
{
    QString text;
    QString title;
    MessageIcon icon;
    MessageButtons buttons;
};

class FakeMessageService final : public IMessageService
{
public:
    MessageAnswer show(const QString &text, const QString &title, MessageIcon icon,
                       MessageButtons buttons) override
    {
        shown.append({text, title, icon, buttons});
        if (whileShown)
            whileShown();
        return !answers.isEmpty()              ? answers.takeFirst()
               : buttons == MessageButtons::Ok ? MessageAnswer::Ok
                                               : MessageAnswer::Cancel;
    }

    QStringList texts() const { return mapped(shown, &ShownMessage::text); }

    QList<ShownMessage> shown;
    QList<MessageAnswer> answers;     // given in order; Ok or Cancel when none is left
    std::function<void()> whileShown; // what happens while a box is up, as its event loop runs
};

class FakeClipboard final : public IClipboard
{
public:
    QString text() const override { return content; }
    void setText(const QString &text) override { content = text; }

    QString content;
};

class FakeFileDialogs final : public IFileDialogs
{
public:
    FileDialogAnswer choose(const FileDialogRequest &request) override
    {
        requests.append(request);
        return answers.isEmpty() ? FileDialogAnswer{} : answers.takeFirst();
    }

    // Scripts the next answer: the files chosen, or a cancel when there are none.
    void willChoose(const QStringList &files) { answers.append({!files.isEmpty(), files}); }

    QString chooseFolder(QObject *, const QString &prompt, const QString &start) override
    {
        folderPrompts.append(prompt);
        folderStarts.append(start);
        return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
    }
    QStringList folderPrompts;
    QStringList folderStarts;
    QStringList folderAnswers; // given in order; a cancel (empty) when none is left

    QList<FileDialogRequest> requests;
    QList<FileDialogAnswer> answers; // given in order; a cancel when none is left
};

struct StartedProgram
{
    QString program;
    QStringList arguments;
};

class FakeShell final : public IShell
{
public:
    bool openWithDefault(const QString &fileOrUrl) override
    {
        opened.append(fileOrUrl);
        if (refusesMissingFiles && fileOrUrl.startsWith(u'/') && !QFileInfo::exists(fileOrUrl))
            return false;
        return succeeds;
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        started.append({program, arguments});
        return succeeds;
    }

    QStringList opened;
    QList<StartedProgram> started;
    bool succeeds = true;
    // Like the desktop's shell: an absolute path that names nothing is not opened.
    bool refusesMissingFiles = false;
};

} // namespace scrivlet::test
