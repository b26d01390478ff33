#include "exchange/AnswerWatch.h"

#include "components/platform/FileBytes.h"

#include <QFile>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fc {

namespace {

std::string nativeBytes(std::string_view path) {
    return QFile::encodeName(files::toNative(path)).toStdString();
}

bool allDigits(const char* s) {
    if (*s == '\0') {
        return false;
    }
    for (; *s; ++s) {
        if (*s < '0' || *s > '9') {
            return false;
        }
    }
    return true;
}

// The access mode of descriptor `fd` of process `pid`, from its "flags:" line (octal).
bool openForWriting(const std::string& pid, const char* fd) {
    const std::string info = "/proc/" + pid + "/fdinfo/" + fd;
    std::FILE* f = std::fopen(info.c_str(), "r");
    if (!f) {
        return false;
    }
    char line[128];
    bool writing = false;
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, "flags:", 6) == 0) {
            const long flags = std::strtol(line + 6, nullptr, 8);
            writing = (flags & O_ACCMODE) != O_RDONLY;
            break;
        }
    }
    std::fclose(f);
    return writing;
}

} // namespace

bool files::heldForWriting(std::string_view path) {
    struct stat target {};
    if (::stat(nativeBytes(path).c_str(), &target) != 0) {
        return false;
    }
    DIR* proc = ::opendir("/proc");
    if (!proc) {
        return false;
    }
    bool held = false;
    while (!held) {
        const dirent* p = ::readdir(proc);
        if (!p) {
            break;
        }
        if (!allDigits(p->d_name)) {
            continue;
        }
        const std::string pid = p->d_name;
        const std::string fdDir = "/proc/" + pid + "/fd";
        DIR* fds = ::opendir(fdDir.c_str()); // other users' tables are closed to us
        if (!fds) {
            continue;
        }
        while (const dirent* d = ::readdir(fds)) {
            if (!allDigits(d->d_name)) {
                continue;
            }
            struct stat st {};
            if (::stat((fdDir + "/" + d->d_name).c_str(), &st) == 0 && st.st_dev == target.st_dev &&
                st.st_ino == target.st_ino && openForWriting(pid, d->d_name)) {
                held = true;
                break;
            }
        }
        ::closedir(fds);
    }
    ::closedir(proc);
    return held;
}

AnswerWatch::State AnswerWatch::look(std::string_view path) {
    struct stat st {};
    if (::stat(nativeBytes(path).c_str(), &st) != 0) {
        seen_.reset();
        return State::Missing;
    }
    if (!S_ISREG(st.st_mode)) {
        // No file will come of it: whoever takes it finds out that it cannot be read.
        seen_.reset();
        return State::Whole;
    }
    Stamp now;
    now.path = std::string(path);
    now.size = static_cast<std::uint64_t>(st.st_size);
    now.device = static_cast<std::uint64_t>(st.st_dev);
    now.inode = static_cast<std::uint64_t>(st.st_ino);
    now.modifiedNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 +
                     static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    const bool same = seen_ && *seen_ == now;
    seen_ = now;
    // The look through the process tables costs more: only for a file that has settled.
    if (!same || files::heldForWriting(path)) {
        return State::Growing;
    }
    return State::Whole;
}

} // namespace fc
