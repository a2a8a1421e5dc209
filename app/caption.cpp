#include "app/caption.h"

namespace pelmora {

QString CaptionPrefix() {
    return QStringLiteral("PAT  ");
}

QString WindowCaption(const QString& title, const QString& versionSuffix) {
    return CaptionPrefix() + title + versionSuffix;
}

} // namespace pelmora
