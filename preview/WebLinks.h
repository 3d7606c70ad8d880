#pragma once
// Where the program's own pages and its author are reached: the Help menu and the About box
// take these from here only. The addresses lie under the reserved domain example.org until the
// project has its own.

#include <QString>

namespace scrivlet::preview {

inline const QString kHomePageUrl = QStringLiteral("https://www.example.org/scrivlet/");
// A page below the home page.
inline const QString kDownloadPageUrl =
    QStringLiteral("https://www.example.org/scrivlet/download.html");
inline const QString kAuthorMailAddress = QStringLiteral("scrivlet@example.org");

// The help contents, below the program directory.
inline const QString kHelpContentsPath = QStringLiteral("doc/index.html");

} // namespace scrivlet::preview
