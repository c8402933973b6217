#include "backup/safe_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <vector>

namespace korvel::backup {

namespace {

std::string failure(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = ::write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a path names at the end of its symbolic links, so that a backup
// onto a link replaces what it points to and the link stays.
std::string finalTarget(const std::string& path) {
    std::string at = path;
    struct stat info {};
    for (int hops = 0; hops < 40 && ::lstat(at.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
         ++hops) {
        std::vector<char> target(static_cast<std::size_t>(PATH_MAX) + 1);
        const ssize_t n = ::readlink(at.c_str(), target.data(), target.size() - 1);
        if (n <= 0) break;
        const std::string next(target.data(), static_cast<std::size_t>(n));
        at = next.starts_with('/') ? next : folderOf(at) + "/" + next;
    }
    return at;
}

// A device, pipe or terminal cannot be replaced by a rename; it takes the bytes.
std::string writeInPlace(const std::string& path, std::string_view content) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) return failure("cannot open", path);
    const bool written = writeAll(fd, content);
    const int saved = errno;
    if (::close(fd) != 0 || !written) {
        if (!written) errno = saved;
        return failure("cannot write", path);
    }
    return {};
}

}  // namespace

std::string unwritableFolder(const std::string& path) {
    const std::string folder = folderOf(finalTarget(path));
    if (::access(folder.c_str(), W_OK) == 0) return {};
    return failure("cannot write in", folder);
}

std::string replaceFile(const std::string& path, std::string_view content) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && !S_ISREG(existing.st_mode))
        return writeInPlace(path, content);

    const std::string file = finalTarget(path);
    const std::string folder = folderOf(file);
    std::string name = file + ".XXXXXX";
    std::vector<char> temp(name.begin(), name.end());
    temp.push_back('\0');
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return failure("cannot create a file in", folder);
    const std::string tempPath(temp.data());
    // The new file keeps the old one's permissions, or the usual ones for a new file.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, existing.st_mode != 0 ? (existing.st_mode & 07777) : (0666 & ~mask));

    std::string error;
    if (!writeAll(fd, content))
        error = failure("cannot write", path);
    else if (::fsync(fd) != 0)
        error = failure("cannot sync", path);
    if (::close(fd) != 0 && error.empty()) error = failure("cannot close", path);
    if (error.empty() && ::rename(tempPath.c_str(), file.c_str()) != 0)
        error = failure("cannot replace", path);
    if (!error.empty()) {
        ::unlink(tempPath.c_str());
        return error;
    }
    // The rename itself reaches the disk with the folder's entry.
    if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

}  // namespace korvel::backup
