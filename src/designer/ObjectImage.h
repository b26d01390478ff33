#pragma once

#include <string>

namespace fc {

class Workbook;
struct ObjectBlock;

// A sheet's object workbook as the table format stores it: written in the native workbook
// format to "<sheet>tmp.vts", encoded in place by the codec, dumped as hexadecimal text into
// "<sheet>tmp.rpt", whose lines make the ";NOBJECTS[" block; reading turns the digits back
// into "<sheet>tmp.vts" and decodes it. The temporary files live in `folder` (Windows-1251)
// and are removed afterwards.
class ObjectImage {
public:
    explicit ObjectImage(std::string folder) : folder_(std::move(folder)) {}

    // The block's lines (without the ";NOBJECTS[" and ";]OBJECTS" lines, CR LF after each).
    bool encode(int sheet, const Workbook& objects, std::string& lines, std::string& error) const;
    // The object workbook of a block; false with `error` when it cannot be read.
    bool decode(int sheet, const ObjectBlock& block, Workbook& objects, std::string& error) const;

private:
    std::string file(int sheet, const char* suffix) const;

    std::string folder_;
};

} // namespace fc
