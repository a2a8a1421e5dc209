#include "app/caption.h"

namespace pelmora {

std::u16string WindowCaption(const std::u16string& title, const std::u16string& versionSuffix) {
    return CaptionPrefix + title + versionSuffix;
}

} // namespace pelmora
