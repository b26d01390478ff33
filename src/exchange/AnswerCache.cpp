#include "exchange/AnswerCache.h"

#include "components/format/FileType.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "exchange/AnswerText.h"
#include "exchange/OutsideFiles.h"
#include "exchange/ResultContext.h"
#include "exchange/SheetProperty.h"

#include <QDir>
#include <QFileInfo>

namespace fc {

namespace cache {

std::string serverFileName(std::string_view request) {
    const std::size_t at = request.find(";cache=");
    if (at == std::string_view::npos) {
        return {};
    }
    std::string_view name = request.substr(at + 7);
    const std::size_t end = name.find_first_of(std::string_view(" \xFA", 2));
    return std::string(name.substr(0, end));
}

std::string localKey(std::string_view request, std::string_view state) {
    std::string_view head = request.substr(0, request.find(";cache"));
    head = head.empty() ? head : head.substr(1);
    std::string key(answer::trimmed(head));
    key += '\xFA';
    key += answer::trimmed(answer::mid(state, 9, 12));
    key += '\xFA';
    key += answer::trimmed(answer::mid(state, 21, 12));
    return codepage::toWindows(key);
}

std::string safeName(std::string_view name) {
    // Only what a file name cannot hold is escaped, as "%" and two hexadecimal digits (and "%"
    // itself, so that two keys never meet in one name): "/" and "\\" (a folder separator in
    // the program's paths), control characters, and a name of dots alone.
    static const char* hex = "0123456789ABCDEF";
    const bool dots = !name.empty() && name.find_first_not_of('.') == std::string_view::npos;
    std::string out;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127 || c == '%' || c == '/' || c == '\\' || (dots && c == '.')) {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::uint32_t packedTime(const QDateTime& t) {
    if (!t.isValid()) {
        return 0;
    }
    const QDateTime l = t.toLocalTime();
    const QDate d = l.date();
    const QTime h = l.time();
    if (d.year() < 1980) {
        return 0;
    }
    const std::uint32_t date = std::uint32_t((d.year() - 1980) << 9 | d.month() << 5 | d.day());
    const std::uint32_t time = std::uint32_t(h.hour() << 11 | h.minute() << 5 | h.second() / 2);
    return date << 16 | time;
}

std::string localPath(std::string_view currentDir, std::string_view name) {
    std::string p(currentDir);
    if (!p.empty() && p.back() != '/' && p.back() != '\\') {
        p += '/';
    }
    return p + "CACHE/" + safeName(name);
}

} // namespace cache

bool storeInCache(ResultContext& ctx, std::string_view name) {
    const std::string trimmedName(answer::trimmed(name));
    if (trimmedName.empty()) {
        return false;
    }
    const std::string path = cache::localPath(ctx.currentDir, trimmedName);
    QDir().mkpath(QFileInfo(resolvePath({}, path)).path());
    ctx.book.recalc();
    std::string error;
    if (!writeWorkbookFile(path, kFileNative, ctx.book, error)) {
        ctx.prompter.error(error);
        return false;
    }
    return true;
}

bool LoadFromCache(Workbook& book, std::string_view request, std::string_view reportState,
                   std::string_view currentDir, std::string_view serverDir) {
    if (request.find(";cache=") == std::string_view::npos) {
        return false;
    }
    const std::string server = cache::serverFileName(request);
    const std::string local = cache::localPath(currentDir, cache::localKey(request, reportState));
    const QFileInfo localInfo(resolvePath({}, local));
    if (!localInfo.isFile()) {
        return false;
    }
    const std::uint32_t localStamp = cache::packedTime(localInfo.lastModified());
    std::uint32_t serverStamp = 0;
    if (!server.empty()) {
        std::string dir(serverDir);
        if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') {
            dir += '/';
        }
        const QFileInfo serverInfo(resolvePath({}, dir + "CACHE/" + cache::safeName(server)));
        if (serverInfo.isFile()) {
            serverStamp = cache::packedTime(serverInfo.lastModified());
        }
    }
    if (localStamp <= serverStamp) {
        return false;
    }
    std::string error;
    Workbook fresh;
    if (readWorkbookFile(local, fresh, error) != kFileNative) {
        return false;
    }
    book.swapContents(fresh);
    resultPermissions(book); // the stored copy may come from a program that allowed more
    ViewOptions v = book.view();
    v.showHScrollBar = true;
    v.showVScrollBar = true;
    book.setView(v);
    book.events().doSelChange = true;
    return true;
}

} // namespace fc
