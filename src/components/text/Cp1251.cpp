#include "components/text/Cp1251.h"

#include <array>

namespace fc::cp1251 {

namespace {

const char16_t kToUnicode[256] = {
    0x0000, 0x0001, 0x0002, 0x0003, 0x0004, 0x0005, 0x0006, 0x0007, 0x0008, 0x0009, 0x000A, 0x000B,
    0x000C, 0x000D, 0x000E, 0x000F, 0x0010, 0x0011, 0x0012, 0x0013, 0x0014, 0x0015, 0x0016, 0x0017,
    0x0018, 0x0019, 0x001A, 0x001B, 0x001C, 0x001D, 0x001E, 0x001F, 0x0020, 0x0021, 0x0022, 0x0023,
    0x0024, 0x0025, 0x0026, 0x0027, 0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037, 0x0038, 0x0039, 0x003A, 0x003B,
    0x003C, 0x003D, 0x003E, 0x003F, 0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F, 0x0050, 0x0051, 0x0052, 0x0053,
    0x0054, 0x0055, 0x0056, 0x0057, 0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067, 0x0068, 0x0069, 0x006A, 0x006B,
    0x006C, 0x006D, 0x006E, 0x006F, 0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x007F, 0x0402, 0x0403, 0x201A, 0x0453,
    0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A,
    0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B,
    0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433,
    0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B,
    0x044C, 0x044D, 0x044E, 0x044F,
};

// Position of each byte in the sort order: digits, Latin, Cyrillic (Ё after Е, ё after е).
struct Order {
    std::array<unsigned short, 256> key{};
    Order() {
        for (int b = 0; b < 256; ++b) {
            key[b] = static_cast<unsigned short>(b * 4);
        }
        // Cyrillic letters sort after Latin ones and before the rest of the upper half.
        auto place = [&](int b, int slot) { key[b] = static_cast<unsigned short>(2048 + slot); };
        for (int i = 0; i < 32; ++i) {
            int slotUpper = i * 4 + (i > 5 ? 4 : 0);
            place(0xC0 + i, slotUpper);
            place(0xE0 + i, slotUpper + 2);
        }
        place(0xA8, 5 * 4 + 4);     // Ё after Е
        place(0xB8, 5 * 4 + 4 + 2); // ё after е
    }
};

const Order& order() {
    static const Order o;
    return o;
}

} // namespace

char32_t toUnicode(unsigned char b) { return kToUnicode[b]; }

unsigned char fromUnicode(char32_t u, unsigned char fallback) {
    if (u < 0x80) {
        return static_cast<unsigned char>(u);
    }
    if (u >= 0x410 && u <= 0x44F) {
        return static_cast<unsigned char>(u - 0x410 + 0xC0);
    }
    for (int b = 0x80; b < 0xC0; ++b) {
        if (kToUnicode[b] == u && u != 0xFFFD) {
            return static_cast<unsigned char>(b);
        }
    }
    return fallback;
}

std::string toUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char ch : text) {
        char32_t u = kToUnicode[static_cast<unsigned char>(ch)];
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | (u >> 6));
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (u >> 12));
            out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}

std::string fromUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        char32_t u;
        int len;
        if (c < 0x80) {
            u = c;
            len = 1;
        } else if ((c & 0xE0) == 0xC0) {
            u = c & 0x1F;
            len = 2;
        } else if ((c & 0xF0) == 0xE0) {
            u = c & 0x0F;
            len = 3;
        } else if ((c & 0xF8) == 0xF0) {
            u = c & 0x07;
            len = 4;
        } else {
            out += '?';
            ++i;
            continue;
        }
        if (i + static_cast<std::size_t>(len) > s.size()) {
            out += '?';
            break;
        }
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            unsigned char cc = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            u = (u << 6) | (cc & 0x3F);
        }
        if (!ok) {
            out += '?';
            ++i;
            continue;
        }
        out += static_cast<char>(fromUnicode(u));
        i += static_cast<std::size_t>(len);
    }
    return out;
}

QString toQString(std::string_view text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (char ch : text) {
        out += QChar(kToUnicode[static_cast<unsigned char>(ch)]);
    }
    return out;
}

std::string fromQString(const QString& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(s.size()));
    for (QChar ch : s) {
        out += static_cast<char>(fromUnicode(ch.unicode()));
    }
    return out;
}

unsigned char upper(unsigned char b) {
    if (b >= 'a' && b <= 'z') {
        return static_cast<unsigned char>(b - 32);
    }
    if (b >= 0xE0) {
        return static_cast<unsigned char>(b - 32);
    }
    switch (b) {
    case 0xB8: return 0xA8; // ё
    case 0xBA: return 0xAA; // є
    case 0xBF: return 0xAF; // ї
    case 0xB3: return 0xB2; // і
    case 0xB4: return 0xA5; // ґ
    case 0xA2: return 0xA1; // ў
    case 0x90: return 0x80;
    case 0x83: return 0x81;
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9D: return 0x8D;
    case 0x9E: return 0x8E;
    case 0x9F: return 0x8F;
    case 0xBC: return 0xA3;
    case 0xBE: return 0xBD;
    default: return b;
    }
}

unsigned char lower(unsigned char b) {
    if (b >= 'A' && b <= 'Z') {
        return static_cast<unsigned char>(b + 32);
    }
    if (b >= 0xC0 && b <= 0xDF) {
        return static_cast<unsigned char>(b + 32);
    }
    switch (b) {
    case 0xA8: return 0xB8;
    case 0xAA: return 0xBA;
    case 0xAF: return 0xBF;
    case 0xB2: return 0xB3;
    case 0xA5: return 0xB4;
    case 0xA1: return 0xA2;
    case 0x80: return 0x90;
    case 0x81: return 0x83;
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8D: return 0x9D;
    case 0x8E: return 0x9E;
    case 0x8F: return 0x9F;
    case 0xA3: return 0xBC;
    case 0xBD: return 0xBE;
    default: return b;
    }
}

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        ch = static_cast<char>(upper(static_cast<unsigned char>(ch)));
    }
    return out;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& ch : out) {
        ch = static_cast<char>(lower(static_cast<unsigned char>(ch)));
    }
    return out;
}

int collate(std::string_view a, std::string_view b, bool caseSensitive) {
    const auto& key = order().key;
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (!caseSensitive) {
            x = upper(x);
            y = upper(y);
        }
        if (x != y) {
            return key[x] < key[y] ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

} // namespace fc::cp1251
