#include "tools/tarvolin-scan/ExistingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool RegularOrAbsent(const std::string& path, const std::string& lead, std::string& error)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return true;
    error = lead + (S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file");
    return false;
}

bool ReadAll(int fd, std::string& text)
{
    char buffer[65536];
    for (off_t at = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        text.append(buffer, static_cast<std::size_t>(got));
        at += got;
    }
}

bool ReadExisting(const std::string& path, const std::string& lead, std::string& text, std::string& error)
{
    text.clear();
    if (!RegularOrAbsent(path, lead, error))
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        return true;
    const bool read = fd >= 0 && ReadAll(fd, text);
    const int savedErrno = errno;
    if (fd >= 0)
        ::close(fd);
    if (!read)
        error = lead + std::strerror(savedErrno);
    return read;
}

std::string Refusal(const std::string& lead, const std::string& reason)
{
    return lead + reason + " (a new one needs a new file)";
}
