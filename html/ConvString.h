#pragma once
// The string conversions of the Edit menu: pure functions of a text and a conversion type.

#include "editor/ConvType.h"

#include <QString>

namespace scrivlet::html {

// Returns text converted by type. A type this program does not know returns the text unchanged.
QString ConvString(const QString &text, ConvType type, ConvContext around = {});

} // namespace scrivlet::html
