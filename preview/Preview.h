#pragma once
// Browser preview: the preview copy of a document, written beside it, and the choice of the
// browser that shows it. Owns nothing; references the services it is given.
//
// A preview never opens the document's own file: the editor's current text, saved or not, goes
// into the copy, so the page shows the latest edits while the document stays untouched.

#include <QString>

#include <functional>
#include <optional>

namespace scrivlet {
class IMessageService;
class IShell;
} // namespace scrivlet

namespace scrivlet::preview {

// The browsers of the Tool menus, numbered as their items.
enum class Browser { InternetExplorer = 0, Netscape = 1, Associated = 2 };

// The key of section "Browser" that holds the path of the browser's program. The two keys keep
// their historic names; each may name any browser program.
QString BrowserSettingKey(Browser browser);

// What a preview needs from around it.
struct PreviewServices
{
    IMessageService &messages;
    IShell &shell;
    // Opens the options dialog, where the browser paths are set. May be empty.
    std::function<void()> showOptionsDialog;
};

// The first of dir + "tmp" + base + i + ".html", i = 0, 1, 2 ..., that names nothing on disk,
// where dir is the document's folder and base its file name without the last extension. A
// dangling link counts as taken, so that a preview never writes through a planted link. A base
// too long for a file name of its own is shortened until the name fits.
QString NextPreviewPath(const QString &documentPath);

// The preview copy a window wrote last. It is deleted before the next preview and when the
// window closes, but only while it is still the file this window wrote: a page saved under its
// name since (by Save As, or by opening and saving the copy itself) or written there by another
// program is the user's, and stays.
class PreviewCopy
{
public:
    bool isEmpty() const { return m_path.isEmpty(); }

    // Writes text as the copy of the document at documentPath: deletes the last copy first,
    // writes the new one in the kanji code and line ends of the settings, readable by no more
    // users than the document, and remembers it. The path written, or empty when it could not
    // be written (the reason has been shown).
    QString write(IMessageService &messages, const QString &documentPath, const QString &text);
    // Deletes the copy if it is still the file written, and forgets it either way.
    void remove();

private:
    // What tells the written file from any other that takes its path later.
    struct Identity
    {
        quint64 device = 0, inode = 0;
        qint64 size = 0, changedSeconds = 0, changedNanoseconds = 0;
        bool operator==(const Identity &) const = default;
    };
    static std::optional<Identity> identityOf(const QString &path);
    static std::optional<Identity> identityOf(int fd);

    QString m_path;
    Identity m_written;
};

// The rule that only a saved page is previewed: while the document is untitled, save runs the
// Save command (which asks for a name); when the document is still untitled the user is asked
// whether to try again. True when the document has a name, false when the user declined.
bool EnsureSaved(IMessageService &messages, const std::function<bool()> &isUntitled,
                 const std::function<QString()> &documentName, const std::function<void()> &save);

// Shows text, the current contents of the document at documentPath, in the browser. copy is the
// window's last preview copy, replaced by the new one.
void PreviewDocument(Browser browser, const PreviewServices &services, PreviewCopy &copy,
                     const QString &documentPath, const QString &text);

// Starts the browser without a page, as the frame does when no document is open. The
// associated browser has no such command and starts nothing.
void StartBrowser(Browser browser, const PreviewServices &services);

// What the default browser is handed to open without a page.
inline const QString kBlankPage = QStringLiteral("about:blank");

} // namespace scrivlet::preview
