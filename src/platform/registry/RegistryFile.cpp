#include "platform/registry/RegistryFile.h"

#include "platform/registry/RegistryPath.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

LONG ErrorFromErrno(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS: return ERROR_ACCESS_DENIED;
    case ENOENT:
    case ENOTDIR: return ERROR_FILE_NOT_FOUND;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_GEN_FAILURE;
    }
}

// mkdir -p with private permissions.
bool MakeFolders(const std::string& folder)
{
    struct stat st { };
    if (stat(folder.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode);
    std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash)))
        return false;
    return mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

RegistryFileContents ReadRegistryFile(const std::string& path)
{
    RegistryFileContents result;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        result.state = errno == ENOENT ? RegistryFileContents::State::Missing : RegistryFileContents::State::Broken;
        return result;
    }
    std::string bytes;
    char buf[8192];
    bool ok = true;
    while (true) {
        ssize_t n = read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        if (n == 0)
            break;
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    close(fd);
    auto doc = ok ? RegDocument::Parse(bytes) : std::nullopt;
    if (!doc) {
        result.state = RegistryFileContents::State::Broken;
        return result;
    }
    result.state = RegistryFileContents::State::Good;
    result.document = std::move(*doc);
    return result;
}

LONG WriteRegistryFile(const std::string& filePath, const std::string& text)
{
    // A file kept elsewhere behind a link is updated where it really lives,
    // so the link stays a link.
    std::string path = filePath;
    if (char* real = realpath(filePath.c_str(), nullptr)) {
        path = real;
        std::free(real);
    }
    std::string folder = RegistryFolder(path);
    if (!MakeFolders(folder))
        return ErrorFromErrno(errno);
    std::string temp = path + ".tmp-XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return ErrorFromErrno(errno);
    // A new file is private to the user; an existing one keeps its permissions.
    struct stat old { };
    if (stat(path.c_str(), &old) == 0)
        fchmod(fd, old.st_mode & 07777);
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    int err = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        return ErrorFromErrno(err);
    }
    // Make the rename itself durable.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return ERROR_SUCCESS;
}

LONG MoveBrokenFileAside(const std::string& path)
{
    std::time_t now = std::time(nullptr);
    for (int counter = 0; counter < 1000; ++counter) {
        std::string target = BrokenFileName(path, now, counter);
        if (renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return ERROR_SUCCESS;
        if (errno == EEXIST)
            continue;
        if (errno != EINVAL && errno != ENOSYS)
            return ErrorFromErrno(errno);
        // The file system cannot refuse to replace: check first instead.
        if (access(target.c_str(), F_OK) == 0)
            continue;
        if (rename(path.c_str(), target.c_str()) == 0)
            return ERROR_SUCCESS;
        return ErrorFromErrno(errno);
    }
    return ERROR_GEN_FAILURE;
}

}  // namespace platform
