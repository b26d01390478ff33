#include "components/codec/Codec.h"
#include "components/platform/FileBytes.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

namespace fc {
namespace {

std::string allBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) {
        s += static_cast<char>(b);
    }
    return s;
}

TEST(Codec, StringRoundTrips) {
    std::mt19937 rng(7);
    std::vector<std::string> inputs = {"", allBytes(), std::string(1, '\0'), std::string(3, '\xFF'),
                                       "0000065024-000000003"};
    for (int b = 0; b < 256; ++b) {
        inputs.push_back(std::string(1, static_cast<char>(b)));
    }
    for (int len : {2, 17, 255, 256, 1000, 70000}) {
        std::string s(static_cast<std::size_t>(len), '\0');
        for (char& c : s) {
            c = static_cast<char>(rng() & 0xFF);
        }
        inputs.push_back(s);
    }
    for (const std::string& in : inputs) {
        SCOPED_TRACE("length " + std::to_string(in.size()));
        const std::string enc = codec::EncodeString(in);
        for (char c : enc) {
            ASSERT_TRUE((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')) << int(c);
        }
        EXPECT_EQ(codec::DecodeString(enc), in);
        EXPECT_EQ(*codec::tryDecodeBytes(codec::encodeBytes(in)), in);
    }
}

TEST(Codec, SimilarTextsLookUnrelated) {
    // The settings file must not give away a shared beginning of two texts.
    std::string a = codec::EncodeString("server|user|secret1");
    std::string b = codec::EncodeString("server|user|secret2");
    EXPECT_NE(a.substr(0, 30), b.substr(0, 30));
    EXPECT_EQ(a.find("server"), std::string::npos);
}

struct Garbage {
    const char* name;
    std::string text;
};

class CodecGarbage : public ::testing::TestWithParam<Garbage> {};

TEST_P(CodecGarbage, FailsWithoutCrash) {
    EXPECT_FALSE(codec::tryDecodeString(GetParam().text).has_value());
    EXPECT_THROW(codec::DecodeString(GetParam().text), codec::CodecError);
    EXPECT_FALSE(codec::tryDecodeBytes(GetParam().text).has_value());
}

std::string flipped(std::string s, std::size_t at) {
    s[at] = s[at] == 'A' ? 'B' : 'A';
    return s;
}

const std::string kGood = codec::EncodeString("klp text");

INSTANTIATE_TEST_SUITE_P(Inputs, CodecGarbage,
                         ::testing::Values(Garbage{"empty", ""}, Garbage{"magicOnly", "FCS1"},
                                           Garbage{"plainText", "C:\\LDK|user|pw"},
                                           Garbage{"oddLength", kGood + "0"},
                                           Garbage{"lowerHex", "FCS1" + std::string(16, 'a')},
                                           Garbage{"truncated", kGood.substr(0, kGood.size() - 2)},
                                           Garbage{"extraBytes", kGood + "00"},
                                           Garbage{"flippedBody", flipped(kGood, kGood.size() - 1)},
                                           Garbage{"flippedLength", flipped(kGood, 5)},
                                           Garbage{"nonHex", "FCS1" + std::string(16, 'Z')},
                                           Garbage{"nulBytes", std::string(24, '\0')}),
                         [](const auto& i) { return i.param.name; });

class CodecFile : public ::testing::Test {
protected:
    std::string path(const char* name) { return dir.path().toStdString() + "/" + name; }
    QTemporaryDir dir;
};

TEST_F(CodecFile, EncodesAndDecodesInPlace) {
    for (const std::string& content : {std::string(), allBytes() + allBytes()}) {
        const std::string p = path("1tmp.vts");
        ASSERT_TRUE(files::writeAtomic(p, content));
        std::int64_t size = codec::EncodeFile(p);
        std::string encoded = *files::readAll(p);
        EXPECT_EQ(size, static_cast<std::int64_t>(encoded.size()));
        EXPECT_NE(encoded, content);
        codec::DecodeFile(p);
        EXPECT_EQ(*files::readAll(p), content);
    }
}

TEST_F(CodecFile, RefusesGarbageAndKeepsTheFile) {
    const std::string p = path("2tmp.vts");
    std::string encoded = codec::encodeBytes("workbook");
    encoded.back() = static_cast<char>(encoded.back() ^ 1);
    for (const std::string& content : {std::string(), std::string("plain text"), encoded}) {
        ASSERT_TRUE(files::writeAtomic(p, content));
        EXPECT_THROW(codec::DecodeFile(p), codec::CodecError);
        EXPECT_EQ(*files::readAll(p), content);
    }
    EXPECT_THROW(codec::DecodeFile(path("missing.vts")), codec::CodecError);
    EXPECT_THROW(codec::EncodeFile(path("missing.vts")), codec::CodecError);
    EXPECT_FALSE(files::exists(path("missing.vts")));
}

} // namespace
} // namespace fc
