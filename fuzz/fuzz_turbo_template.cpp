// The extended-layout reader over arbitrary template text, with a companion that has formats,
// merges and drawn objects, so that form rows, "printstr" rows, heights and placement records
// are all reached. Nothing may crash.
#include "components/model/Workbook.h"
#include "designer/TurboReader.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void fillCompanion(fc::Workbook& c) {
    fc::Sheet& s = c.sheet(1);
    s.setMaxCol(6);
    s.setMaxRow(4);
    fc::Style st;
    st.font.bold = true;
    st.borders[0].style = fc::BorderStyle::Thin;
    for (int r = 1; r <= 4; ++r) {
        for (int col = 2; col <= 6; ++col) {
            s.setStyle(r, col, st);
        }
    }
    s.merge({1, 2, 1, 4});
    s.merge({2, 5, 3, 6});
    fc::DrawnObject box;
    box.kind = fc::ObjectKind::Rectangle;
    box.x1 = 1.5;
    box.x2 = 3;
    box.y1 = 0;
    box.y2 = 2;
    s.addObject(box);
    fc::DrawnObject pic;
    pic.kind = fc::ObjectKind::Picture;
    pic.heightPx = 40;
    s.addObject(pic);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fc::Workbook book;
    auto loader = [](const std::string& name, fc::Workbook& companion) {
        if (name.empty()) {
            return 0;
        }
        fillCompanion(companion);
        return 1;
    };
    fc::TurboReader().read(bytes, loader, book);
    return 0;
}
