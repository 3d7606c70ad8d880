#include "files/SaveCodes.h"

#include "files/basINI.h"

#include <span>

namespace scrivlet::files {

namespace {

struct Row
{
    const char16_t *value;
    const char16_t *option;
};

// In the order of the File menu's items: a row's index is its item's.
constexpr Row kKanjiCodes[] = {
    {u"JIS", u"-j"}, {u"EUC", u"-e"}, {u"Shift-JIS", u"-s"}, {u"UTF-8", u"-w"}};
constexpr int kKanjiDefault = 2;
constexpr Row kReturnCodes[] = {{u"CRLF", u"-CRLF"}, {u"CR", u"-CR"}, {u"LF", u"-LF"}};
constexpr int kReturnDefault = 0;

std::span<const Row> rows(SaveSetting setting)
{
    if (setting == SaveSetting::KanjiCode)
        return kKanjiCodes;
    return kReturnCodes;
}

int defaultRow(SaveSetting setting)
{
    return setting == SaveSetting::KanjiCode ? kKanjiDefault : kReturnDefault;
}

} // namespace

QString ReadSaveSetting(SaveSetting setting)
{
    const bool kanji = setting == SaveSetting::KanjiCode;
    return basINI::ReadIniString(QStringLiteral("Convert"),
                                 kanji ? QStringLiteral("KanjiCode") : QStringLiteral("ReturnCode"),
                                 QString::fromUtf16(rows(setting)[defaultRow(setting)].value));
}

int SaveSettingIndex(SaveSetting setting, const QString &value)
{
    const auto table = rows(setting);
    for (std::size_t i = 0; i < table.size(); ++i)
        if (value == QStringView(table[i].value))
            return static_cast<int>(i);
    return defaultRow(setting);
}

QString SaveSettingValue(SaveSetting setting, int index)
{
    const auto table = rows(setting);
    const bool known = index >= 0 && static_cast<std::size_t>(index) < table.size();
    return QString::fromUtf16(table[known ? index : defaultRow(setting)].value);
}

QString EffectiveSaveSetting(SaveSetting setting, const QString &value)
{
    return SaveSettingValue(setting, SaveSettingIndex(setting, value));
}

QString SaveSettingOption(SaveSetting setting, const QString &value)
{
    return QString::fromUtf16(rows(setting)[SaveSettingIndex(setting, value)].option);
}

} // namespace scrivlet::files
