#pragma once
// The settings the options dialog edits: the two browsers of the preview and how a new document
// starts. Read from and written to the current settings file; stateless.

#include <QString>

namespace scrivlet::options {

struct OptionValues
{
    QString internetExplorer; // "Browser"/"Internet Explorer"
    QString netscape;         // "Browser"/"Netscape"
    int use = 0;              // "Template"/"Use": 0 standard template, 1 chosen, 2 blank page
    QString templatePass;     // "Template"/"TemplatePass"
};

// The values read, and whether "Use" named one of the three choices.
struct LoadedOptions
{
    OptionValues values;
    bool ok = false;
};

// Reads the settings in the dialog's order. A "Use" that names none of the three choices is a
// failure, but the folder after it is still read: the dialog's OK would otherwise write it back
// empty.
LoadedOptions LoadOptions();

// Writes the settings in one step: all of them, or none when one cannot be written, so that
// Cancel after a failed OK still changes nothing. A "Use" other than 0 and 1 is written as "2".
bool SaveOptions(const OptionValues &values);

} // namespace scrivlet::options
