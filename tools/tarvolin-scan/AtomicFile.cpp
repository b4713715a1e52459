#include "tools/tarvolin-scan/AtomicFile.h"

#include "tools/tarvolin-scan/ExistingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// The mode of the file that is replaced, so that a file a user made private
// stays private; a new file gets what the umask leaves of rw-rw-rw-.
mode_t ModeFor(const std::string& path)
{
    struct stat info { };
    if (::stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives fd its mode and writes text to the disk through it.
bool Fill(int fd, const std::string& text, mode_t mode)
{
    return ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
}

// Makes a rename in folder last: without this a crash soon after may find
// the old file again, or none. File systems that cannot sync a folder say
// EINVAL; they have nothing to sync.
bool SyncFolder(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
    const int savedErrno = errno;
    ::close(fd);
    errno = savedErrno;
    return synced;
}

}  // namespace

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
    if (!RegularOrAbsent(m_path, lead, error))
        return false;
    const std::string folder = Folder();
    struct stat info { };
    if (::stat(folder.c_str(), &info) != 0) {
        error = lead + (errno == ENOENT ? "there is no folder " + folder : folder + ": " + std::strerror(errno));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        error = lead + folder + " is not a folder";
        return false;
    }
    // Make the temporary file now, as each replacement may, which also
    // clears one a killed run left.
    const std::string temporary = TemporaryPath();
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = lead + "cannot create a file in " + folder + ": " + std::strerror(errno);
        return false;
    }
    ::close(fd);
    ::unlink(temporary.c_str());
    return true;
}

bool AtomicFile::Open(const std::string& prefix, const Reader& read, std::string& error) const
{
    std::string text;
    if (!Check(prefix, error) || !ReadExisting(m_path, prefix + ": ", text, error))
        return false;
    std::string reason;
    if (!text.empty() && !read(text, reason)) {
        error = Refusal(prefix + ": ", reason);
        return false;
    }
    return true;
}

bool AtomicFile::WriteUnnamed(const std::string& text, unsigned mode) const
{
    const int fd = ::open(Folder().c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const std::string temporary = TemporaryPath();
    bool done = Fill(fd, text, mode);
    if (done) {
        // A name is given through /proc, which any process may do (linking
        // the descriptor itself takes a capability).
        ::unlink(temporary.c_str());
        const std::string self = "/proc/self/fd/" + std::to_string(fd);
        done = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    if (::close(fd) != 0 && done) {
        ::unlink(temporary.c_str());
        done = false;
    }
    return done;
}

bool AtomicFile::WriteNamed(const std::string& text, unsigned mode, std::string& error) const
{
    const std::string temporary = TemporaryPath();
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create a file beside " + m_path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = Fill(fd, text, mode);
    const int savedErrno = errno;
    if (::close(fd) != 0 || !written) {
        error = "cannot write " + temporary + ": " + std::strerror(written ? errno : savedErrno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool AtomicFile::Replace(const std::string& text, std::string& error) const
{
    const mode_t mode = ModeFor(m_path);
    // Where the file system makes no unnamed files (or /proc is missing),
    // the content is written again under the fixed name.
    if (!WriteUnnamed(text, mode) && !WriteNamed(text, mode, error))
        return false;
    const std::string temporary = TemporaryPath();
    if (::rename(temporary.c_str(), m_path.c_str()) != 0) {
        error = "cannot replace " + m_path + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (!SyncFolder(Folder())) {
        error = "cannot sync the folder of " + m_path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
