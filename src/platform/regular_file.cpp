#include "platform/regular_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::FILE* OpenRegularFileForWriting(const std::string& path, WriteMode mode)
{
    // Never opened at all when something else is known to be there.
    struct stat before{};
    if (stat(path.c_str(), &before) == 0 && !S_ISREG(before.st_mode)) {
        errno = S_ISDIR(before.st_mode) ? EISDIR : EINVAL;
        return nullptr;
    }
    // O_NONBLOCK: a pipe that appeared meanwhile fails at once instead of waiting for a reader.
    const int flags = O_WRONLY | O_CREAT | O_NOCTTY | O_CLOEXEC | O_NONBLOCK | (mode == WriteMode::Append ? O_APPEND : 0);
    const int fd = open(path.c_str(), flags, 0666);
    if (fd < 0)
        return nullptr;
    struct stat st{};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;
        return nullptr;
    }
    // Only a file known to be regular is emptied.
    if ((mode == WriteMode::Truncate && ftruncate(fd, 0) != 0) || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, mode == WriteMode::Append ? "ab" : "wb");
    if (!file)
        close(fd);
    return file;
}
