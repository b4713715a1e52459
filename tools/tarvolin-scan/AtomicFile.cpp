#include "tools/tarvolin-scan/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = ::write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

std::string AtomicFile::Folder() const
{
    const std::size_t slash = m_path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : m_path.substr(0, slash);
}

bool AtomicFile::Check(const std::string& prefix, std::string& error) const
{
    const std::string lead = prefix + ": ";
    struct stat info { };
    if (::stat(m_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = lead + (S_ISDIR(info.st_mode) ? "is a directory" : "is not a regular file");
        return false;
    }
    const std::string folder = Folder();
    if (::stat(folder.c_str(), &info) != 0) {
        error = lead + (errno == ENOENT ? "there is no folder " + folder : folder + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = lead + folder + " is not a folder";
        return false;
    }
    // Each content is written to a temporary file beside the file and
    // renamed over it: make one now, as each replacement will.
    std::string temporary = m_path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = lead + "cannot create a file in " + folder + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    ::unlink(temporary.c_str());
    return true;
}

bool AtomicFile::Replace(const std::string& text, std::string& error) const
{
    std::string temporary = m_path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = "cannot create a file beside " + m_path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemp makes the file private; the result is an ordinary file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    const bool written = WriteAll(fd, text) && ::fsync(fd) == 0;
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        error = "cannot write " + temporary + ": " + std::strerror(written ? errno : savedErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        error = "cannot replace " + m_path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}
