#include "dialogs/cCommonDlg.h"

#include "dialogs/Messages.h"
#include "platform/IFileDialogs.h"
#include "platform/IShell.h"

#include <QColorDialog>
#include <QDir>
#include <QFileInfo>
#include <QFontDialog>
#include <QPrintDialog>
#include <QPrinter>

#include <cmath>
#include <limits>

namespace scrivlet {

namespace {

const QChar kNul(u'\0');

// The platform's list ends at its first empty string, so an entry with an empty part ends it
// too, and a description without its pattern is not an entry.
QList<std::pair<QString, QString>> filterPairs(const QString &converted)
{
    QList<std::pair<QString, QString>> pairs;
    const QStringList parts = converted.split(kNul);
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() || parts[i + 1].isEmpty())
            break;
        pairs.append({parts[i], parts[i + 1]});
    }
    return pairs;
}

// Several files come back the way the platform's dialog writes them into its buffer.
QString joinedFileName(const QStringList &files)
{
    if (files.size() == 1)
        return files.first();
    const QString folder = QFileInfo(files.first()).absolutePath();
    const QDir dir(folder);
    QStringList parts{folder};
    for (const QString &file : files)
        parts.append(dir.relativeFilePath(file));
    return parts.join(kNul);
}

cCommonDlg::ColorAnswer qtChooseColor(const cCommonDlg::ColorRequest &request)
{
    // Every dialog starts with the same blank row of custom colors.
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        QColorDialog::setCustomColor(i, Qt::white);
    const QColor chosen = QColorDialog::getColor(colorFromColorref(request.color), request.owner);
    if (!chosen.isValid())
        return {};
    return {true, colorrefFromColor(chosen), 0};
}

cCommonDlg::FontAnswer qtChooseFont(const cCommonDlg::FontRequest &request)
{
    QFont initial;
    if (!request.name.isEmpty())
        initial.setFamily(request.name);
    if (request.size > 0)
        initial.setPointSize(request.size);
    initial.setWeight(request.bold ? QFont::Bold : QFont::Normal);
    initial.setItalic(request.italic);
    initial.setStrikeOut(request.strikethru);
    initial.setUnderline(request.underline);

    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, request.owner);
    if (!ok)
        return {};
    cCommonDlg::FontAnswer answer;
    answer.accepted = true;
    answer.name = chosen.family();
    if (chosen.pointSizeF() > 0) {
        answer.size = chosen.pointSizeF();
    } else {
        const int dpi = request.owner ? request.owner->logicalDpiY() : 96;
        answer.size = chosen.pixelSize() * 72.0 / dpi;
    }
    answer.bold = chosen.weight() >= QFont::Medium;
    answer.italic = chosen.italic();
    answer.strikethru = chosen.strikeOut();
    answer.underline = chosen.underline();
    // Qt's font dialog has no color of its own.
    answer.color = request.color;
    return answer;
}

cCommonDlg::PrinterAnswer qtChoosePrinter(const cCommonDlg::PrinterRequest &request)
{
    constexpr qint32 kPdPageNums = 0x2;
    constexpr qint32 kPdNoPageNums = 0x8;

    QPrinter printer;
    if (request.copies > 0)
        printer.setCopyCount(request.copies);
    QPrintDialog dialog(&printer, request.owner);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, !(request.flags & kPdNoPageNums));
    // Qt asserts on reversed limits, which a caller may well leave in the properties.
    if (request.max > 0 && request.min <= request.max)
        dialog.setMinMax(request.min, request.max);
    if (request.fromPage > 0 && request.fromPage <= request.toPage)
        dialog.setFromTo(request.fromPage, request.toPage);
    if (request.flags & kPdPageNums)
        dialog.setPrintRange(QAbstractPrintDialog::PageRange);
    if (dialog.exec() != QDialog::Accepted)
        return {};

    cCommonDlg::PrinterAnswer answer;
    answer.accepted = true;
    // Outside a page range Qt reports no pages; the platform's dialog gives back what it got.
    const bool range = printer.printRange() == QPrinter::PageRange;
    answer.fromPage = range ? printer.fromPage() : request.fromPage;
    answer.toPage = range ? printer.toPage() : request.toPage;
    answer.min = dialog.minPage();
    answer.max = dialog.maxPage();
    answer.copies = printer.copyCount();
    return answer;
}

qint16 roundedPoints(double points)
{
    const double rounded = std::round(std::abs(points));
    return static_cast<qint16>(std::min(rounded, double(std::numeric_limits<qint16>::max())));
}

} // namespace

QColor colorFromColorref(qint32 colorref)
{
    return QColor(colorref & 0xFF, (colorref >> 8) & 0xFF, (colorref >> 16) & 0xFF);
}

qint32 colorrefFromColor(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}

cCommonDlg::cCommonDlg(IFileDialogs &fileDialogs, IShell &shell)
    : m_fileDialogs(fileDialogs), m_shell(shell), m_colorChooser(qtChooseColor),
      m_fontChooser(qtChooseFont), m_printerChooser(qtChoosePrinter), m_initDir(QDir::currentPath())
{
    setFilter(QStringLiteral("All Files (*.*)|*.*"));
}

void cCommonDlg::setColorChooser(ColorChooser chooser)
{
    m_colorChooser = chooser ? std::move(chooser) : ColorChooser(qtChooseColor);
}

void cCommonDlg::setFontChooser(FontChooser chooser)
{
    m_fontChooser = chooser ? std::move(chooser) : FontChooser(qtChooseFont);
}

void cCommonDlg::setPrinterChooser(PrinterChooser chooser)
{
    m_printerChooser = chooser ? std::move(chooser) : PrinterChooser(qtChoosePrinter);
}

void cCommonDlg::setFilter(const QString &filter)
{
    m_filter = filter;
    m_convertedFilter = filter;
    m_convertedFilter.replace(u'|', kNul);
    if (m_convertedFilter.isEmpty() || m_convertedFilter.back() != kNul)
        m_convertedFilter.append(kNul);
}

QStringList cCommonDlg::FileNames() const
{
    if (m_fileName.isEmpty())
        return {};
    const QStringList parts = m_fileName.split(kNul);
    if (parts.size() == 1)
        return parts;
    const QDir folder(parts.first());
    QStringList paths;
    for (qsizetype i = 1; i < parts.size(); ++i)
        paths.append(QDir::cleanPath(folder.filePath(parts[i])));
    return paths;
}

void cCommonDlg::setAction(CommonDialogAction action)
{
    m_action = action;
    switch (action) {
    case CommonDialogAction::Open:
        ShowOpen();
        break;
    case CommonDialogAction::Save:
        ShowSave();
        break;
    case CommonDialogAction::Color:
        ShowColor();
        break;
    case CommonDialogAction::Font:
        ShowFont();
        break;
    case CommonDialogAction::Printer:
        ShowPrinter();
        break;
    case CommonDialogAction::Help:
        ShowHelp();
        break;
    case CommonDialogAction::None:
        break;
    }
}

QString cCommonDlg::ErrDescription() const
{
    for (const auto &entry : dialogs::msg::kCommonDialogErrors) {
        if (entry.number == m_errNumber)
            return QString::fromUtf16(entry.text);
    }
    return dialogs::msg::kUnknownError;
}

void cCommonDlg::ShowOpen()
{
    showFileDialog(false);
}

void cCommonDlg::ShowSave()
{
    showFileDialog(true);
}

void cCommonDlg::showFileDialog(bool save)
{
    m_action = save ? CommonDialogAction::Save : CommonDialogAction::Open;
    m_returnValue = 0;
    m_errNumber = 0;

    FileDialogAnswer answer;
    if (m_form) {
        FileDialogRequest request;
        request.owner = m_form;
        request.title = m_dialogTitle;
        request.filters = filterPairs(m_convertedFilter);
        if (m_filterIndex >= 1 && m_filterIndex <= request.filters.size())
            request.filterIndex = m_filterIndex - 1;
        request.initialDirectory = m_initDir;
        // The name goes in through a buffer of MaxFileSize characters, which it may not fill,
        // and a name stops at its first NUL (a folder, after several files were chosen).
        request.fileName = m_fileName.left(std::max(0, m_maxFileSize - 1)).section(kNul, 0, 0);
        request.save = save;
        request.multiSelect = m_flags & ofn::AllowMultiSelect;
        request.pathMustExist = m_flags & (ofn::PathMustExist | ofn::FileMustExist);
        request.promptOverwrite = m_flags & ofn::OverwritePrompt;
        request.defaultSuffix = m_defaultExt;
        answer = m_fileDialogs.choose(request);
    }

    QString result;
    if (answer.accepted && !answer.files.isEmpty()) {
        result = joinedFileName(answer.files);
        // The answer has to fit the buffer with its terminator, two NULs after several names.
        const qsizetype terminator = answer.files.size() > 1 ? 2 : 1;
        if (result.size() + terminator > m_maxFileSize) {
            result.clear();
            m_errNumber = kCdlBufferTooSmall;
        }
    }

    // A failure, an overlong answer included, is a cancel; without an owner no dialog could be
    // shown, and leaving an earlier answer in place would let it pass for this one.
    if (result.isEmpty()) {
        if (m_cancelError) {
            m_cancelButton = true;
            m_fileName.clear();
        }
        return;
    }
    m_returnValue = 1;
    m_cancelButton = false;
    m_fileName = result;
    m_fileTitle = QFileInfo(answer.files.first()).fileName();
    // Unless told not to, a file dialog leaves the process in the folder the file was chosen
    // in: the next dialog that starts in the current directory starts there, not where the
    // program happened to be started.
    if (!(m_flags & ofn::NoChangeDir))
        QDir::setCurrent(QFileInfo(answer.files.first()).absolutePath());
}

void cCommonDlg::ShowColor()
{
    ColorAnswer answer;
    if (m_form)
        answer = m_colorChooser({m_form, m_color, m_flags});
    else
        answer.error = kCdlDialogFailure;

    m_returnValue = answer.accepted ? 1 : 0;
    if (!answer.accepted) {
        m_cancelButton = true;
        m_errNumber = answer.error;
        return;
    }
    m_cancelButton = false;
    m_color = answer.color;
}

void cCommonDlg::ShowFont()
{
    FontAnswer answer;
    if (m_form) {
        FontRequest request;
        request.owner = m_form;
        request.name = m_fontName;
        request.size = m_fontSize;
        request.bold = m_fontBold;
        request.italic = m_fontItalic;
        request.strikethru = m_fontStrikethru;
        request.underline = m_fontUnderline;
        request.color = m_color;
        request.min = m_min;
        request.max = m_max;
        request.flags = m_flags | kCfInitToLogFontStruct;
        answer = m_fontChooser(request);
    } else {
        answer.error = kCdlDialogFailure;
    }

    m_returnValue = answer.accepted ? 1 : 0;
    if (!answer.accepted) {
        // A cancelled font dialog answers "no font", not the font it was given.
        m_cancelButton = true;
        m_errNumber = answer.error;
        m_fontBold = m_fontItalic = m_fontStrikethru = m_fontUnderline = false;
        m_fontName.clear();
        m_fontSize = 0;
        m_color = 0;
        return;
    }
    m_cancelButton = false;
    m_fontBold = answer.bold;
    m_fontItalic = answer.italic;
    m_fontStrikethru = answer.strikethru;
    m_fontUnderline = answer.underline;
    m_fontName = answer.name;
    m_fontSize = roundedPoints(answer.size);
    m_color = answer.color;
}

void cCommonDlg::ShowPrinter()
{
    m_action = CommonDialogAction::Printer;
    m_returnValue = 0;
    m_errNumber = 0;

    PrinterAnswer answer;
    if (m_form) {
        answer = m_printerChooser(
            {m_form, m_hdc, m_flags, m_fromPage, m_toPage, m_min, m_max, m_copies});
    }
    if (!answer.accepted) {
        if (m_cancelError)
            m_cancelButton = true;
        return;
    }
    m_returnValue = 1;
    m_cancelButton = false;
    m_fromPage = answer.fromPage;
    m_toPage = answer.toPage;
    m_min = answer.min;
    m_max = answer.max;
    m_copies = answer.copies;
}

void cCommonDlg::ShowHelp()
{
    if (m_helpFile.isEmpty() || m_helpCommand == 0)
        return;
    m_returnValue = m_shell.openWithDefault(m_helpFile) ? 1 : 0;
}

void cCommonDlg::ShowHtmlHelp()
{
    if (m_htmlHelpFile.isEmpty())
        return;
    m_returnValue = m_shell.openWithDefault(m_htmlHelpFile) ? 1 : 0;
}

} // namespace scrivlet
