#include "designer/ObjectImage.h"

#include "components/codec/Codec.h"
#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"
#include "components/platform/FileBytes.h"
#include "designer/ObjectBlock.h"

namespace fc {

std::string ObjectImage::file(int sheet, const char* suffix) const {
    return files::join(folder_, std::to_string(sheet) + suffix);
}

bool ObjectImage::encode(int sheet, const Workbook& objects, std::string& lines,
                         std::string& error) const {
    const std::string vts = file(sheet, "tmp.vts");
    const std::string rpt = file(sheet, "tmp.rpt");
    bool ok = false;
    try {
        if (!files::writeDirect(vts, native::write(objects))) {
            error = "cannot write " + vts;
        } else {
            const std::int64_t size = codec::EncodeFile(vts);
            std::optional<std::string> encoded = files::readAll(vts);
            if (!encoded || static_cast<std::int64_t>(encoded->size()) < size) {
                error = "cannot read " + vts;
            } else if (!files::writeDirect(rpt, ObjectBlock::digits(encoded->substr(
                                                    0, static_cast<std::size_t>(size))))) {
                error = "cannot write " + rpt;
            } else if (std::optional<std::string> text = files::readAll(rpt)) {
                lines = std::move(*text);
                ok = true;
            } else {
                error = "cannot read " + rpt;
            }
        }
    } catch (const codec::CodecError& e) {
        error = e.what();
    }
    files::remove(vts);
    files::remove(rpt);
    return ok;
}

bool ObjectImage::decode(int sheet, const ObjectBlock& block, Workbook& objects,
                         std::string& error) const {
    if (!block.complete) {
        error = "the object block is cut short or holds other characters";
        return false;
    }
    const std::string vts = file(sheet, "tmp.vts");
    bool ok = false;
    try {
        if (!files::writeDirect(vts, block.bytes)) {
            error = "cannot write " + vts;
        } else {
            // The older block was stored as it stands.
            if (block.encoded) {
                codec::DecodeFile(vts);
            }
            if (std::optional<std::string> image = files::readAll(vts)) {
                ok = native::read(*image, objects, error);
            } else {
                error = "cannot read " + vts;
            }
        }
    } catch (const codec::CodecError& e) {
        error = e.what();
    }
    files::remove(vts);
    return ok;
}

} // namespace fc
