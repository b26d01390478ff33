#include "RichWorkbook.h"

#include "components/format/JsonDump.h"
#include "components/format/JsonWriter.h"
#include "components/model/Workbook.h"

#include <gtest/gtest.h>

namespace fc {
namespace {

TEST(JsonDump, RichWorkbookMatchesGolden) {
    Workbook book;
    makeRichWorkbook(book);
    EXPECT_EQ(compareGolden("components/native/rich.json", dumpWorkbook(book)), "");
}

TEST(JsonDump, EmptyWorkbookMatchesGolden) {
    Workbook book;
    EXPECT_EQ(compareGolden("components/native/empty.json", dumpWorkbook(book)), "");
}

TEST(JsonDump, StyleIndicesDoNotDependOnTableOrder) {
    // The same cells styled in another order of interning give the same dump.
    Style a, b;
    a.font.bold = true;
    b.font.italic = true;
    Workbook one, two;
    two.styles().intern(b);
    for (Workbook* w : {&one, &two}) {
        w->sheet().setText(1, 1, "a");
        w->sheet().setStyle(1, 1, a);
        w->sheet().setText(2, 1, "b");
        w->sheet().setStyle(2, 1, b);
    }
    EXPECT_EQ(dumpWorkbook(one), dumpWorkbook(two));
}

TEST(JsonWriter, EscapesAndLaysOut) {
    JsonWriter j;
    j.beginObject();
    j.field("s", "q\"b\\n\n\x01");
    j.textField("ru", "\xC0\xE1"); // "Аб" in Windows-1251
    j.key("a");
    j.beginArray(true);
    j.value(1.5);
    j.value(1e21);
    j.value(0.1);
    j.null();
    j.endArray();
    j.key("e");
    j.beginObject();
    j.endObject();
    j.endObject();
    EXPECT_EQ(j.take(), "{\n"
                        "  \"s\": \"q\\\"b\\\\n\\n\\u0001\",\n"
                        "  \"ru\": \"\xD0\x90\xD0\xB1\",\n"
                        "  \"a\": [1.5, 1e+21, 0.1, null],\n"
                        "  \"e\": {}\n"
                        "}\n");
}

TEST(JsonDump, CellNames) {
    EXPECT_EQ(cellName(1, 1), "A1");
    EXPECT_EQ(cellName(10, 26), "Z10");
    EXPECT_EQ(cellName(65536, 27), "AA65536");
    EXPECT_EQ(cellName(3, 256), "IV3");
    EXPECT_EQ(rangeName(1, 2, 3, 4), "B1:D3");
}

} // namespace
} // namespace fc
