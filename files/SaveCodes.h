#pragma once
// The two settings of section Convert that choose how a save writes a page, KanjiCode and
// ReturnCode: the one table of their values, the File menu items that show them and the
// converter options that carry them out.

#include <QString>

namespace scrivlet::files {

enum class SaveSetting { KanjiCode, ReturnCode };

// The setting as the settings file holds it ("Shift-JIS" and "CRLF" when it is missing).
QString ReadSaveSetting(SaveSetting setting);

// The menu item that a value checks. A value the table does not know counts as the default
// (Shift-JIS, CR+LF), so an older or hand-edited settings file keeps its meaning.
int SaveSettingIndex(SaveSetting setting, const QString &value);
// The value that the menu item with this index writes; any other index writes the default.
QString SaveSettingValue(SaveSetting setting, int index);
// The value a save writes with: a known value as it is, any other the default.
QString EffectiveSaveSetting(SaveSetting setting, const QString &value);
// The converter's option for a value: "-j", "-e", "-s", "-w"; "-CRLF", "-CR", "-LF".
QString SaveSettingOption(SaveSetting setting, const QString &value);

} // namespace scrivlet::files
