#include "options/OptionSettings.h"

#include "files/basINI.h"

namespace scrivlet::options {

namespace {
const QString kBrowser = QStringLiteral("Browser");
const QString kTemplate = QStringLiteral("Template");
} // namespace

LoadedOptions LoadOptions()
{
    LoadedOptions out;
    out.values.internetExplorer =
        basINI::ReadIniString(kBrowser, QStringLiteral("Internet Explorer"), QString());
    out.values.netscape = basINI::ReadIniString(kBrowser, QStringLiteral("Netscape"), QString());
    out.values.use = basINI::ReadIniInt(kTemplate, QStringLiteral("Use"), 0);
    out.values.templatePass =
        basINI::ReadIniString(kTemplate, QStringLiteral("TemplatePass"), QString());
    out.ok = out.values.use >= 0 && out.values.use <= 2;
    return out;
}

bool SaveOptions(const OptionValues &values)
{
    const QString use = values.use == 0   ? QStringLiteral("0")
                        : values.use == 1 ? QStringLiteral("1")
                                          : QStringLiteral("2");
    return basINI::WriteIniValues(
        {{kBrowser, QStringLiteral("Internet Explorer"), values.internetExplorer},
         {kBrowser, QStringLiteral("Netscape"), values.netscape},
         {kTemplate, QStringLiteral("Use"), use},
         {kTemplate, QStringLiteral("TemplatePass"), values.templatePass}});
}

} // namespace scrivlet::options
