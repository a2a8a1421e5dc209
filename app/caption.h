// The window caption: CaptionPrefix, the product title of the language in use, the version.
#pragma once

#include <QString>

namespace pelmora {

// Three characters and two spaces that open the main window's caption.
QString CaptionPrefix();

QString WindowCaption(const QString& title, const QString& versionSuffix);

} // namespace pelmora
