#include "components/ui/JpgToBmp.h"

#include "components/platform/FileBytes.h"

#include <QBuffer>
#include <QImage>
#include <QSaveFile>

namespace fc::codec {

bool JPGtoBMP(const std::string& path) {
    const QString native = files::toNative(path);
    QImage image;
    if (!image.load(native) || image.isNull()) {
        return false;
    }
    QSaveFile out(native);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!image.save(&out, "BMP")) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace fc::codec
