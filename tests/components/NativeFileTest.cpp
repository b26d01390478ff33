#include "RichWorkbook.h"

#include "components/format/FileType.h"
#include "components/format/JsonDump.h"
#include "components/format/NativeCodec_p.h"
#include "components/format/NativeFile.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <sys/resource.h>

namespace fc {
namespace {

std::string richBytes() {
    Workbook book;
    makeRichWorkbook(book);
    return native::write(book);
}

// A workbook that a failed read must leave exactly as it was.
struct Target {
    Workbook book;
    std::string before;
    Target() {
        book.sheet().setText(1, 1, "keep me");
        book.sheet().setName("Mine");
        before = dumpWorkbook(book);
    }
    bool unchanged() const { return dumpWorkbook(book) == before; }
};

TEST(NativeFile, RoundTripKeepsEverything) {
    Workbook book;
    makeRichWorkbook(book);
    Workbook back;
    std::string error;
    ASSERT_TRUE(native::read(native::write(book), back, error)) << cp1251::toUtf8(error);
    EXPECT_EQ(dumpWorkbook(back), dumpWorkbook(book));
    // What the dump shows only in summary.
    for (int s = 1; s <= book.numSheets(); ++s) {
        SCOPED_TRACE(s);
        const Sheet& a = book.sheet(s);
        const Sheet& b = back.sheet(s);
        EXPECT_EQ(b.nextObjectId(), a.nextObjectId());
        ASSERT_EQ(b.objects().size(), a.objects().size());
        for (std::size_t i = 0; i < a.objects().size(); ++i) {
            EXPECT_EQ(b.objects()[i].image, a.objects()[i].image);
        }
        EXPECT_EQ(b.formulaCount(), a.formulaCount());
    }
    EXPECT_FALSE(back.modified());
    EXPECT_FALSE(back.needsRecalc());
    // Written again, the file is the same byte for byte.
    EXPECT_EQ(native::write(back), native::write(book));
}

TEST(NativeFile, ChecksumIsCrc32) {
    EXPECT_EQ(native::crc32("123456789"), 0xCBF43926u); // the standard check value
    const std::string text = "The quick brown fox jumps over the lazy dog, twice over.";
    for (std::size_t cut = 0; cut <= text.size(); ++cut) {
        const std::string_view t(text);
        ASSERT_EQ(native::crc32(t.substr(0, cut), t.substr(cut)), native::crc32(t)) << cut;
    }
}

TEST(NativeFile, SmallestRecordsRoundTrip) {
    // Records with every field at its shortest: the size checks must not refuse them.
    Workbook book;
    book.sheet().addObject(DrawnObject{});
    book.sheet().setRowHidden(1, true);
    book.sheet().setColHidden(1, true);
    book.sheet().merge({1, 1, 1, 2});
    Style plain;
    plain.font.name.clear();
    plain.numberFormat.clear();
    book.sheet().setStyle(2, 2, plain);
    book.sheet().setValue(3, 3, Value::fromText(""));
    Workbook back;
    std::string error;
    ASSERT_TRUE(native::read(native::write(book), back, error)) << cp1251::toUtf8(error);
    EXPECT_EQ(dumpWorkbook(back), dumpWorkbook(book));
}

TEST(NativeFile, WritesOnlyStylesInUse) {
    Workbook book;
    Style unused;
    unused.font.bold = true;
    book.styles().intern(unused);
    Style used;
    used.numberFormat = "0.00";
    book.sheet().setNumber(1, 1, 5);
    book.sheet().setStyle(1, 1, used);
    Workbook back;
    std::string error;
    ASSERT_TRUE(native::read(native::write(book), back, error));
    EXPECT_EQ(back.styles().size(), 2u);
    EXPECT_EQ(back.sheet().style(1, 1), used);
    EXPECT_EQ(back.sheet().text(1, 1), "5.00");
}

TEST(NativeFile, GoldenFileStaysReadable) {
    // A file of the first version, kept as written then: later versions must read it.
    std::string expected = compareGolden("components/native/rich-v1.vts", richBytes());
    EXPECT_EQ(expected, "") << "the layout of version 1 changed";
    Workbook book;
    std::string error;
    ASSERT_EQ(
        readWorkbookFile(std::string(FC_TEST_DATA) + "/components/native/rich-v1.vts", book, error),
        kFileNative)
        << cp1251::toUtf8(error);
    EXPECT_EQ(compareGolden("components/native/rich.json", dumpWorkbook(book)), "");
}

TEST(NativeFile, FuzzSeedsAreCurrent) {
    // The fuzz target starts from these; they follow the layout like the golden file.
    Workbook empty;
    EXPECT_EQ(compareGolden("fuzz/native/empty.vts", native::write(empty)), "");
    Workbook small;
    small.setNumSheets(2);
    Sheet& s = small.sheet(2);
    s.setNumber(1, 1, 2);
    s.setFormula(1, 2, "=A1*3");
    s.setFormulaResult(1, 2, Value::fromNumber(6));
    s.setText(2, 1, "x");
    s.merge({3, 1, 4, 2});
    s.setRowHeading(2, "7");
    DrawnObject o;
    o.kind = ObjectKind::Button;
    o.text = "ok";
    s.addObject(o);
    EXPECT_EQ(compareGolden("fuzz/native/small.vts", native::write(small)), "");
    EXPECT_EQ(compareGolden("fuzz/native/rich.vts", richBytes()), "");
}

TEST(NativeFile, RefusesEveryTruncation) {
    const std::string bytes = richBytes();
    Target t;
    for (std::size_t len = 0; len < bytes.size(); ++len) {
        std::string error;
        ASSERT_FALSE(native::read(std::string_view(bytes).substr(0, len), t.book, error))
            << "accepted " << len << " of " << bytes.size() << " bytes";
        ASSERT_FALSE(error.empty());
    }
    EXPECT_TRUE(t.unchanged());
}

TEST(NativeFile, RefusesEveryFlippedByte) {
    const std::string bytes = richBytes();
    Target t;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 10 || i == 11) {
            continue; // the minor version: a newer minor still reads
        }
        for (unsigned char mask : {0x01, 0x80}) {
            std::string damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ mask);
            std::string error;
            ASSERT_FALSE(native::read(damaged, t.book, error)) << "byte " << i;
        }
    }
    EXPECT_TRUE(t.unchanged());
}

TEST(NativeFile, RefusesTrailingBytesAndNewerVersion) {
    Target t;
    std::string error;
    EXPECT_FALSE(native::read(richBytes() + "x", t.book, error));
    std::string newer = richBytes();
    newer[8] = 2;
    EXPECT_FALSE(native::read(newer, t.book, error));
    EXPECT_NE(cp1251::toUtf8(error).find("версия файла 2"), std::string::npos)
        << cp1251::toUtf8(error);
    EXPECT_TRUE(t.unchanged());
}

// The file split into its chunks and put together again with fresh checksums, so that a
// test can plant a payload that passes the checksum and must be caught by the checks.
struct Chunks {
    std::string head;
    std::vector<std::pair<std::string, std::string>> list;

    explicit Chunks(const std::string& bytes) : head(bytes.substr(0, 12)) {
        std::size_t pos = 12;
        while (pos + 12 <= bytes.size()) {
            std::uint32_t len = 0;
            for (int i = 0; i < 4; ++i) {
                len |= std::uint32_t(static_cast<unsigned char>(bytes[pos + 4 + i])) << (8 * i);
            }
            list.emplace_back(bytes.substr(pos, 4), bytes.substr(pos + 8, len));
            pos += 12 + len;
        }
    }
    std::string& payload(const std::string& tag, int nth = 0) {
        for (auto& c : list) {
            if (c.first == tag && nth-- == 0) {
                return c.second;
            }
        }
        throw std::runtime_error("no chunk " + tag);
    }
    std::string join() const {
        native::ByteWriter w;
        w.bytes() = head;
        for (const auto& c : list) {
            w.begin(c.first.c_str());
            w.bytes() += c.second;
            w.end();
        }
        return std::move(w.bytes());
    }
};

std::string payloadOf(const std::function<void(native::ByteWriter&)>& f) {
    native::ByteWriter w;
    f(w);
    return std::move(w.bytes());
}

TEST(NativeFile, ChecksEveryCountAndIndex) {
    Workbook small;
    small.setNumSheets(2);
    small.sheet(1).setNumber(1, 1, 5);
    const std::string good = native::write(small);
    struct Case {
        const char* name;
        std::function<void(Chunks&)> damage;
    };
    const Case cases[] = {
        {"noSheets", [](Chunks& c) { c.payload("BOOK")[0] = 0; }},
        {"currentBeyondSheets", [](Chunks& c) { c.payload("BOOK")[1] = 3; }},
        {"styleCountHuge",
         [](Chunks& c) {
             c.payload("STYL") = payloadOf([](native::ByteWriter& w) { w.uv(1ull << 40); });
         }},
        {"noDefaultStyle",
         [](Chunks& c) { c.payload("STYL") = payloadOf([](native::ByteWriter& w) { w.uv(0); }); }},
        {"rowBeyondSheet",
         [](Chunks& c) {
             c.payload("CELL") = payloadOf([](native::ByteWriter& w) {
                 w.uv(1), w.uv(70000), w.uv(1), w.uv(1), w.u8(1), w.f64(1);
             });
         }},
        {"columnsNotIncreasing",
         [](Chunks& c) {
             c.payload("CELL") = payloadOf([](native::ByteWriter& w) {
                 w.uv(1), w.uv(1), w.uv(2), w.uv(3), w.u8(1), w.f64(1), w.uv(0), w.u8(0);
             });
         }},
        {"styleIndexOutOfTable",
         [](Chunks& c) {
             c.payload("CELL") = payloadOf([](native::ByteWriter& w) {
                 w.uv(1), w.uv(1), w.uv(1), w.uv(1), w.u8(0x10), w.uv(5);
             });
         }},
        {"unknownValueKind",
         [](Chunks& c) {
             c.payload("CELL") = payloadOf(
                 [](native::ByteWriter& w) { w.uv(1), w.uv(1), w.uv(1), w.uv(1), w.u8(7); });
         }},
        {"errorCodeNone",
         [](Chunks& c) {
             c.payload("CELL") = payloadOf([](native::ByteWriter& w) {
                 w.uv(1), w.uv(1), w.uv(1), w.uv(1), w.u8(4), w.u8(0);
             });
         }},
        {"textLongerThanChunk",
         [](Chunks& c) {
             c.payload("CELL") = payloadOf([](native::ByteWriter& w) {
                 w.uv(1), w.uv(1), w.uv(1), w.uv(1), w.u8(2), w.uv(1000000), w.u8('x');
             });
         }},
        {"cellsTwiceForOneSheet",
         [](Chunks& c) {
             auto cells = *std::find_if(c.list.begin(), c.list.end(),
                                        [](const auto& x) { return x.first == "CELL"; });
             auto at = std::find_if(c.list.begin(), c.list.end(),
                                    [](const auto& x) { return x.first == "CELL"; });
             c.list.insert(at, cells);
         }},
        {"objectCountHuge",
         [](Chunks& c) {
             c.payload("OBJS") =
                 payloadOf([](native::ByteWriter& w) { w.uv(1), w.uv(1ull << 33); });
         }},
        {"duplicateObjectIds",
         [](Chunks& c) {
             c.payload("OBJS") = payloadOf([](native::ByteWriter& w) {
                 w.uv(3), w.uv(2);
                 for (int i = 0; i < 2; ++i) {
                     w.uv(1 + i / 2), w.u8(2); // ids 1 and 1
                     for (int k = 0; k < 4; ++k) {
                         w.f64(1);
                     }
                     w.str(""), w.sv(0), w.str(""), w.str(""), w.uv(0), w.str(""), w.sv(0);
                     w.uv(0), w.u32(0), w.u32(0), w.sv(0), w.sv(0), w.boolean(false);
                 }
             });
         }},
        {"objectOffTheSheet",
         [](Chunks& c) {
             c.payload("OBJS") = payloadOf([](native::ByteWriter& w) {
                 w.uv(2), w.uv(1), w.uv(1), w.u8(2), w.f64(1e300), w.f64(1), w.f64(1), w.f64(1);
                 w.str(""), w.sv(0), w.str(""), w.str(""), w.uv(0), w.str(""), w.sv(0);
                 w.uv(0), w.u32(0), w.u32(0), w.sv(0), w.sv(0), w.boolean(false);
             });
         }},
        {"sheetMissing",
         [](Chunks& c) {
             c.list.erase(std::find_if(c.list.begin(), c.list.end(),
                                       [](const auto& x) { return x.first == "SHET"; }));
         }},
        {"endMissing", [](Chunks& c) { c.list.pop_back(); }},
        {"leftoverBytesInChunk", [](Chunks& c) { c.payload("OBJS") += '\0'; }},
    };
    {
        Workbook back;
        std::string error;
        ASSERT_TRUE(native::read(Chunks(good).join(), back, error)) << "the surgery itself";
    }
    // Each damage must be caught by its own check, not by a later accident.
    const std::map<std::string, const char*> why = {
        {"noSheets", "число листов"},
        {"currentBeyondSheets", "текущий лист больше числа листов"},
        {"styleCountHuge", "больше, чем данных: стили"},
        {"noDefaultStyle", "нет стиля по умолчанию"},
        {"rowBeyondSheet", "шаг строки"},
        {"columnsNotIncreasing", "шаг столбца"},
        {"styleIndexOutOfTable", "номер стиля"},
        {"unknownValueKind", "неверный вид ячейки"},
        {"errorCodeNone", "код ошибки"},
        {"textLongerThanChunk", "строка длиннее данных раздела"},
        {"cellsTwiceForOneSheet", "раздел CELL не на своём месте"},
        {"objectCountHuge", "больше, чем данных: объекты"},
        {"duplicateObjectIds", "номер объекта повторяется"},
        {"objectOffTheSheet", "координата объекта"},
        {"sheetMissing", "раздел CELL не на своём месте"},
        {"endMissing", "файл обрезан"},
        {"leftoverBytesInChunk", "лишние данные в конце раздела (раздел OBJS)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Chunks chunks(good);
        c.damage(chunks);
        Target t;
        std::string error;
        EXPECT_FALSE(native::read(chunks.join(), t.book, error));
        ASSERT_EQ(why.count(c.name), 1u);
        EXPECT_NE(cp1251::toUtf8(error).find(why.at(c.name)), std::string::npos)
            << cp1251::toUtf8(error);
        EXPECT_TRUE(t.unchanged());
    }
}

TEST(NativeFile, SkipsChunksOfLaterMinorVersions) {
    Workbook book;
    book.sheet().setText(2, 2, "x");
    Chunks chunks(native::write(book));
    chunks.list.insert(chunks.list.end() - 1, {"NOTE", "something new"});
    Workbook back;
    std::string error;
    ASSERT_TRUE(native::read(chunks.join(), back, error)) << cp1251::toUtf8(error);
    EXPECT_EQ(back.sheet().text(2, 2), "x");
}

class WorkbookFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path(const char* name) const {
        return cp1251::fromQString(dir.filePath(QString::fromUtf8(name)));
    }
    static QByteArray contents(const std::string& p) {
        QFile f(workbookPath(p));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(WorkbookFileTest, WritesAndReadsThroughTheFrontDoor) {
    Workbook book;
    makeRichWorkbook(book);
    std::string error;
    const std::string file = path("кэш.vts");
    ASSERT_TRUE(writeWorkbookFile(file, kFileNative, book, error)) << cp1251::toUtf8(error);
    Workbook back;
    EXPECT_EQ(readWorkbookFile(file, back, error), kFileNative);
    EXPECT_EQ(dumpWorkbook(back), dumpWorkbook(book));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1) << "a temporary file was left";
}

TEST_F(WorkbookFileTest, RefusesWhatItCannotHandle) {
    Target t;
    std::string error;
    {
        QFile f(workbookPath(path("text.vts")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just some text\r\n");
    }
    EXPECT_EQ(readWorkbookFile(path("text.vts"), t.book, error), 0);
    EXPECT_EQ(cp1251::toUtf8(error).rfind("Неизвестный тип файла ", 0), 0u)
        << cp1251::toUtf8(error);
    EXPECT_EQ(readWorkbookFile(path("missing.vts"), t.book, error), 0);
    EXPECT_EQ(cp1251::toUtf8(error).rfind("Не могу открыть файл ", 0), 0u);
    EXPECT_FALSE(writeWorkbookFile(path("x.bin"), 3, t.book, error));
    EXPECT_EQ(cp1251::toUtf8(error), "Тип файла 3 не поддерживается");
    EXPECT_FALSE(writeWorkbookFile(path("no/such/dir/x.vts"), kFileNative, t.book, error));
    EXPECT_EQ(cp1251::toUtf8(error).rfind("Не могу создать файл ", 0), 0u);
    EXPECT_TRUE(t.unchanged());
}

TEST_F(WorkbookFileTest, BackslashesSeparateFolders) {
    Workbook book;
    std::string error;
    ASSERT_TRUE(QDir(dir.path()).mkdir("CACHE"));
    std::string file = cp1251::fromQString(dir.path()) + "\\CACHE\\key";
    ASSERT_TRUE(writeWorkbookFile(file, kFileNative, book, error)) << cp1251::toUtf8(error);
    EXPECT_TRUE(QFile::exists(dir.filePath("CACHE/key")));
}

TEST_F(WorkbookFileTest, FailedSaveKeepsTheOldFile) {
    const std::string file = path("book.vts");
    Workbook old;
    old.sheet().setText(1, 1, "old");
    std::string error;
    ASSERT_TRUE(writeWorkbookFile(file, kFileNative, old, error));
    const QByteArray before = contents(file);

    Workbook big;
    for (int r = 1; r <= 2000; ++r) {
        big.sheet().setText(r, 1, "a text long enough to need its own buffer");
    }
    // The disk fills up halfway through the save.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool ok = writeWorkbookFile(file, kFileNative, big, error);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);

    EXPECT_FALSE(ok);
    EXPECT_EQ(cp1251::toUtf8(error).rfind("Ошибка записи файла ", 0), 0u) << cp1251::toUtf8(error);
    EXPECT_EQ(contents(file), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"book.vts"});
}

} // namespace
} // namespace fc
