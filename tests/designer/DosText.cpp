#include "DosText.h"

#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"

#include <QString>

namespace fc::test {

namespace {

// Code page 866 from 176 to 223, then 250.
const char16_t kBox[] = u"░▒▓│┤╡╢╖╕╣║╗╝╜╛┐└┴┬├─┼╞╟╚╔╩╦╠═╬╧╨╤╥╙╘╒╓╫╪┘┌█▄▌▐▀";

} // namespace

std::string dos(std::string_view utf8) {
    const QString s = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    const std::u16string_view box(kBox);
    std::string out;
    for (QChar ch : s) {
        const auto at = box.find(static_cast<char16_t>(ch.unicode()));
        if (at != std::u16string_view::npos) {
            out += static_cast<char>(176 + at);
        } else if (ch.unicode() == 0xB7) {
            out += static_cast<char>(250);
        } else {
            out += static_cast<char>(codepage::toDos(cp1251::fromUnicode(ch.unicode())));
        }
    }
    return out;
}

std::string dosLines(const std::vector<std::string>& utf8Lines) {
    std::string out;
    for (const std::string& l : utf8Lines) {
        out += dos(l) + "\r\n";
    }
    return out;
}

std::string win(std::string_view utf8) { return cp1251::fromUtf8(utf8); }

std::vector<std::string> utf8Lines(std::string_view bytes) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) {
            end = bytes.size();
        }
        out.push_back(cp1251::toUtf8(codepage::toWindows(bytes.substr(start, end - start))));
        start = end + 2;
    }
    return out;
}

} // namespace fc::test
