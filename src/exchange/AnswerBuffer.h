#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace fc {

// A report window's answer: the answer bytes with a terminating NUL and the read position the
// answer reader and the sheet readers share. The first NUL ends the content, so a NUL inside
// the file cuts it short; nothing past it is ever read.
class AnswerBuffer {
public:
    AnswerBuffer();
    // `framed`: the bytes as the answer timer hands them over (its framing byte already NUL).
    explicit AnswerBuffer(std::string framed);
    // The whole answer file as stored: its last byte is the server's framing byte, not
    // content.
    static AnswerBuffer fromAnswerFile(std::string fileBytes);

    // Content bytes before the terminating NUL.
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::size_t pos() const { return pos_; }
    void setPos(std::size_t p) { pos_ = p < size_ ? p : size_; }
    bool atEnd() const { return pos_ >= size_; }
    std::string_view content() const { return std::string_view(bytes_.data(), size_); }
    // The content, writable in place; data()[size()] is the NUL.
    char* data() { return bytes_.data(); }

    // The raw line from the read position up to and including its LF (or to the end).
    std::string READL();
    // The same without a copy: valid while the buffer lives and is not changed.
    std::string_view readRaw();
    // The same converted from code page 866, with blanks before a TAB, CR or LF dropped.
    std::string READ_LN();
    // The first line, cut at its end and at 256 bytes, trimmed.
    std::string statusLine() const;

private:
    std::string bytes_;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
};

} // namespace fc
