#pragma once
// The standard choosers behind properties: file, color, font and print dialogs and the help
// files. References the file-dialog and shell services it was given and the owner window, which
// may close; owns nothing else.

#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

namespace scrivlet {

class IFileDialogs;
class IShell;

// The option bits of the file dialogs that mean something here; callers may pass any others,
// which are kept as they are.
namespace ofn {
inline constexpr qint32 OverwritePrompt = 0x2;
inline constexpr qint32 HideReadOnly = 0x4;
inline constexpr qint32 NoChangeDir = 0x8;
inline constexpr qint32 AllowMultiSelect = 0x200;
inline constexpr qint32 PathMustExist = 0x800;
inline constexpr qint32 FileMustExist = 0x1000;
inline constexpr qint32 Explorer = 0x80000;
inline constexpr qint32 LongNames = 0x200000;
} // namespace ofn

// The font dialog always starts from the font properties.
inline constexpr qint32 kCfInitToLogFontStruct = 0x40;

// The extended error of a chooser that could not be shown at all.
inline constexpr qint32 kCdlDialogFailure = -32768;
// The extended error of a file dialog whose answer does not fit MaxFileSize.
inline constexpr qint32 kCdlBufferTooSmall = 20476;

// Which chooser setting Action shows; any other value is only stored.
enum class CommonDialogAction : qint16 {
    None = 0,
    Open = 1,
    Save = 2,
    Color = 3,
    Font = 4,
    Printer = 5,
    Help = 6,
};

// Colors are 0x00BBGGRR values; the top byte is ignored.
QColor colorFromColorref(qint32 colorref);
qint32 colorrefFromColor(const QColor &color);

class cCommonDlg
{
public:
    // What the color, font and print choosers are given and answer. Qt's dialogs answer unless a
    // chooser is put in their place (tests script them). `error` is the extended error of a
    // chooser that was cancelled or failed, in the numbering ErrDescription knows.
    struct ColorRequest
    {
        QWidget *owner = nullptr;
        qint32 color = 0;
        qint32 flags = 0;
    };
    struct ColorAnswer
    {
        bool accepted = false;
        qint32 color = 0;
        qint32 error = 0;
    };
    struct FontRequest
    {
        QWidget *owner = nullptr;
        QString name;
        qint16 size = 0; // points; 0 leaves the size to the chooser
        bool bold = false;
        bool italic = false;
        bool strikethru = false;
        bool underline = false;
        qint32 color = 0;
        qint32 min = 0;
        qint32 max = 0;
        qint32 flags = 0;
    };
    struct FontAnswer
    {
        bool accepted = false;
        QString name;
        double size = 0; // points
        bool bold = false;
        bool italic = false;
        bool strikethru = false;
        bool underline = false;
        qint32 color = 0;
        qint32 error = 0;
    };
    struct PrinterRequest
    {
        QWidget *owner = nullptr;
        qint32 hdc = 0;
        qint32 flags = 0;
        qint32 fromPage = 0;
        qint32 toPage = 0;
        qint32 min = 0;
        qint32 max = 0;
        qint32 copies = 0;
    };
    struct PrinterAnswer
    {
        bool accepted = false;
        qint32 fromPage = 0;
        qint32 toPage = 0;
        qint32 min = 0;
        qint32 max = 0;
        qint32 copies = 0;
    };
    using ColorChooser = std::function<ColorAnswer(const ColorRequest &)>;
    using FontChooser = std::function<FontAnswer(const FontRequest &)>;
    using PrinterChooser = std::function<PrinterAnswer(const PrinterRequest &)>;

    cCommonDlg(IFileDialogs &fileDialogs, IShell &shell);
    cCommonDlg(const cCommonDlg &) = delete;
    cCommonDlg &operator=(const cCommonDlg &) = delete;

    // An empty function puts Qt's dialog back.
    void setColorChooser(ColorChooser chooser);
    void setFontChooser(FontChooser chooser);
    void setPrinterChooser(PrinterChooser chooser);

    // No chooser opens without an owner: the call then counts as a failed dialog.
    QWidget *Form() const { return m_form; }
    void setForm(QWidget *form) { m_form = form; }

    QString DialogTitle() const { return m_dialogTitle; }
    void setDialogTitle(const QString &title) { m_dialogTitle = title; }

    // Descriptions and patterns in turn, "|" after each (the last one optional); patterns of one
    // entry are separated by ";". Reads back as it was set.
    QString Filter() const { return m_filter; }
    void setFilter(const QString &filter);
    // The filter as the platform's dialog takes it: every "|" a NUL, ending in one NUL.
    QString convertedFilter() const { return m_convertedFilter; }

    // 1-based; anything out of range starts at the first entry.
    qint16 FilterIndex() const { return m_filterIndex; }
    void setFilterIndex(qint16 index) { m_filterIndex = index; }

    qint32 flags() const { return m_flags; }
    void setFlags(qint32 flags) { m_flags = flags; }

    QString InitDir() const { return m_initDir; }
    void setInitDir(const QString &dir) { m_initDir = dir; }

    // The initial name going in; the chosen path coming out. Several chosen files come out as
    // the folder followed by the names, each after a single NUL.
    QString FileName() const { return m_fileName; }
    void setFileName(const QString &fileName) { m_fileName = fileName; }
    // The full paths FileName holds: one for a single file, none when it is empty.
    QStringList FileNames() const;

    // The chosen file's name without its folder (of the first, when there are several).
    QString FileTitle() const { return m_fileTitle; }
    void setFileTitle(const QString &title) { m_fileTitle = title; }

    QString DefaultExt() const { return m_defaultExt; }
    void setDefaultExt(const QString &ext) { m_defaultExt = ext; }

    // Characters the answer may take, its terminating NUL included; a longer answer fails.
    qint32 MaxFileSize() const { return m_maxFileSize; }
    void setMaxFileSize(qint32 size) { m_maxFileSize = size; }

    bool CancelError() const { return m_cancelError; }
    void setCancelError(bool cancelError) { m_cancelError = cancelError; }

    bool CancelButton() const { return m_cancelButton; }

    CommonDialogAction Action() const { return m_action; }
    // Stores the value, then shows the chooser it names.
    void setAction(CommonDialogAction action);

    qint32 ErrNumber() const { return m_errNumber; }
    QString ErrDescription() const;

    qint32 Color() const { return m_color; }
    void setColor(qint32 color) { m_color = color; }

    QString FontName() const { return m_fontName; }
    void setFontName(const QString &name) { m_fontName = name; }
    qint16 FontSize() const { return m_fontSize; }
    void setFontSize(qint16 size) { m_fontSize = size; }
    bool FontBold() const { return m_fontBold; }
    void setFontBold(bool bold) { m_fontBold = bold; }
    bool FontItalic() const { return m_fontItalic; }
    void setFontItalic(bool italic) { m_fontItalic = italic; }
    bool FontStrikethru() const { return m_fontStrikethru; }
    void setFontStrikethru(bool strikethru) { m_fontStrikethru = strikethru; }
    bool FontUnderline() const { return m_fontUnderline; }
    void setFontUnderline(bool underline) { m_fontUnderline = underline; }

    // Size limits of the font dialog, page limits of the print dialog.
    qint32 Max() const { return m_max; }
    void setMax(qint32 max) { m_max = max; }
    qint32 Min() const { return m_min; }
    void setMin(qint32 min) { m_min = min; }

    qint32 FromPage() const { return m_fromPage; }
    void setFromPage(qint32 page) { m_fromPage = page; }
    qint32 ToPage() const { return m_toPage; }
    void setToPage(qint32 page) { m_toPage = page; }
    qint32 Copies() const { return m_copies; }
    void setCopies(qint32 copies) { m_copies = copies; }
    qint32 hdc() const { return m_hdc; }
    void setHdc(qint32 hdc) { m_hdc = hdc; }
    qint32 PrinterDefault() const { return m_printerDefault; }
    void setPrinterDefault(qint32 printerDefault) { m_printerDefault = printerDefault; }

    QString HelpFile() const { return m_helpFile; }
    void setHelpFile(const QString &file) { m_helpFile = file; }
    qint32 HelpCommand() const { return m_helpCommand; }
    void setHelpCommand(qint32 command) { m_helpCommand = command; }
    qint32 HelpContext() const { return m_helpContext; }
    void setHelpContext(qint32 context) { m_helpContext = context; }
    QString HelpKey() const { return m_helpKey; }
    void setHelpKey(const QString &key) { m_helpKey = key; }

    QString HtmlHelpFile() const { return m_htmlHelpFile; }
    void setHtmlHelpFile(const QString &file) { m_htmlHelpFile = file; }
    qint32 HtmlHelpCommand() const { return m_htmlHelpCommand; }
    void setHtmlHelpCommand(qint32 command) { m_htmlHelpCommand = command; }
    qint32 HtmlHelpContext() const { return m_htmlHelpContext; }
    void setHtmlHelpContext(qint32 context) { m_htmlHelpContext = context; }
    QString HtmlHelpKey() const { return m_htmlHelpKey; }
    void setHtmlHelpKey(const QString &key) { m_htmlHelpKey = key; }

    void ShowOpen();
    void ShowSave();
    void ShowColor();
    void ShowFont();
    void ShowPrinter();
    // Both open the named file with the desktop's handler; the commands and contexts have no
    // meaning there.
    void ShowHelp();
    void ShowHtmlHelp();

private:
    void showFileDialog(bool save);

    IFileDialogs &m_fileDialogs;
    IShell &m_shell;
    ColorChooser m_colorChooser;
    FontChooser m_fontChooser;
    PrinterChooser m_printerChooser;

    QPointer<QWidget> m_form;
    QString m_dialogTitle = QStringLiteral("Open File");
    QString m_filter;
    QString m_convertedFilter;
    qint16 m_filterIndex = 0;
    qint32 m_flags = 0;
    QString m_initDir;
    QString m_fileName;
    QString m_fileTitle = QString(254, QLatin1Char(' '));
    QString m_defaultExt;
    qint32 m_maxFileSize = 255;
    bool m_cancelError = false;
    bool m_cancelButton = false;
    CommonDialogAction m_action = CommonDialogAction::None;
    qint32 m_errNumber = 0;
    qint32 m_returnValue = 0; // of the last chooser: 1 confirmed, 0 cancelled or failed
    qint32 m_color = 0;
    QString m_fontName;
    qint16 m_fontSize = 0;
    bool m_fontBold = false;
    bool m_fontItalic = false;
    bool m_fontStrikethru = false;
    bool m_fontUnderline = false;
    qint32 m_max = 0;
    qint32 m_min = 0;
    qint32 m_fromPage = 0;
    qint32 m_toPage = 0;
    qint32 m_copies = 0;
    qint32 m_hdc = 0;
    qint32 m_printerDefault = 0;
    QString m_helpFile;
    qint32 m_helpCommand = 0;
    qint32 m_helpContext = 0;
    QString m_helpKey = QStringLiteral("0");
    QString m_htmlHelpFile;
    qint32 m_htmlHelpCommand = 0;
    qint32 m_htmlHelpContext = 0;
    QString m_htmlHelpKey;
};

} // namespace scrivlet
