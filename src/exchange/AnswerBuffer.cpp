#include "exchange/AnswerBuffer.h"

#include "components/text/CodePage.h"
#include "exchange/AnswerText.h"

#include <cstring>

namespace fc {

AnswerBuffer::AnswerBuffer() : bytes_(1, '\0') {}

AnswerBuffer::AnswerBuffer(std::string framed) : bytes_(std::move(framed)) {
    size_ = std::strlen(bytes_.c_str());
    bytes_.resize(size_ + 1, '\0');
}

AnswerBuffer AnswerBuffer::fromAnswerFile(std::string fileBytes) {
    if (!fileBytes.empty()) {
        fileBytes.back() = '\0';
    }
    return AnswerBuffer(std::move(fileBytes));
}

std::string_view AnswerBuffer::readRaw() {
    if (pos_ >= size_) {
        return {};
    }
    const char* start = bytes_.data() + pos_;
    const void* lf = std::memchr(start, '\n', size_ - pos_);
    const std::size_t len =
        lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - start) + 1 : size_ - pos_;
    pos_ += len;
    return std::string_view(start, len);
}

std::string AnswerBuffer::READL() { return std::string(readRaw()); }

std::string AnswerBuffer::READ_LN() {
    const std::string_view raw = readRaw();
    std::string out;
    out.reserve(raw.size());
    std::size_t held = 0;
    for (char ch : raw) {
        if (ch == ' ') {
            ++held;
            continue;
        }
        if (ch != '\t' && ch != '\r' && ch != '\n') {
            out.append(held, ' ');
        }
        held = 0;
        out.push_back(static_cast<char>(codepage::toWindows(static_cast<unsigned char>(ch))));
    }
    return out;
}

std::string AnswerBuffer::statusLine() const {
    std::string_view s = content().substr(0, 256);
    const std::size_t end = s.find_first_of("\r\n");
    if (end != std::string_view::npos) {
        s = s.substr(0, end);
    }
    return std::string(answer::trimmed(s));
}

} // namespace fc
