#pragma once
// Browser preview: the preview copy of a document, written beside it, and the choice of the
// browser that shows it. Owns nothing; references the services it is given.
//
// A preview never opens the document's own file: the editor's current text, saved or not, goes
// into the copy, so the page shows the latest edits while the document stays untouched.

#include <QString>

#include <functional>

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
// dangling link counts as taken, so that a preview never writes through a planted link.
QString NextPreviewPath(const QString &documentPath);

// Writes text as the document's preview copy: deletes the window's last copy (previewFile)
// first, writes the new one in the kanji code and line ends of the settings, and remembers it
// in previewFile. The path written, or empty when it could not be written (the reason has been
// shown).
QString MakePreviewFile(IMessageService &messages, QString &previewFile,
                        const QString &documentPath, const QString &text);

// The rule that only a saved page is previewed: while the document is untitled, save runs the
// Save command (which asks for a name); when the document is still untitled the user is asked
// whether to try again. True when the document has a name, false when the user declined.
bool EnsureSaved(IMessageService &messages, const std::function<bool()> &isUntitled,
                 const std::function<QString()> &documentName, const std::function<void()> &save);

// Shows text, the current contents of the document at documentPath, in the browser. previewFile
// is the window's last preview copy, replaced by the new one.
void PreviewDocument(Browser browser, const PreviewServices &services, QString &previewFile,
                     const QString &documentPath, const QString &text);

// Starts the browser without a page, as the frame does when no document is open. The
// associated browser has no such command and starts nothing.
void StartBrowser(Browser browser, const PreviewServices &services);

// What the default browser is handed to open without a page.
inline const QString kBlankPage = QStringLiteral("about:blank");

} // namespace scrivlet::preview
