#include "render/reducing_decoder.h"

#include <QColorSpace>
#include <new>

#include "core/regular_file.h"

namespace quillhaven {

ReducedDecode decodeRegularFile(const QString& path,
                                const std::function<ReducedDecode(std::FILE*)>& decode) {
    try {
        const RegularStream file = openRegularStream(path);
        if (!file) {
            return {ReducedDecode::Outcome::unreadable, {}};
        }
        return decode(file.get());
    } catch (const std::bad_alloc&) {
        return {ReducedDecode::Outcome::unreadable, {}};
    }
}

ReducedDecode reducedPicture(QImage image, const std::string& iccProfile, bool srgb) {
    if (!iccProfile.empty()) {
        image.setColorSpace(QColorSpace::fromIccProfile(QByteArray::fromStdString(iccProfile)));
    } else if (srgb) {
        image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    }
    return {ReducedDecode::Outcome::decoded, std::move(image)};
}

}  // namespace quillhaven
