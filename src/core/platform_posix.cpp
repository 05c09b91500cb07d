#include "platform.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace ears::platform {

int open_item(const char* name, bool listed_regular, item_open_result& result) {
    // O_NONBLOCK keeps a FIFO without a writer from blocking the open; the
    // fstat then turns away anything that is not a regular file. When the
    // listing has just called the entry a regular file the fstat is left
    // out: it is an eighth of the system calls of an item, and an entry
    // swapped for something else in between still never blocks the run.
    int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const bool gone = errno == ENOENT || errno == ELOOP || errno == ENOTDIR ||
                          errno == ENAMETOOLONG;
        result = gone ? item_open_result::missing : item_open_result::not_openable;
        return -1;
    }
    struct stat st {};
    if (!listed_regular && (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
        ::close(fd);
        result = item_open_result::not_openable;
        return -1;
    }
    result = item_open_result::opened;
    return fd;
}

int open_output(const char* path, bool truncate) {
    // O_NONBLOCK: an output name that is a FIFO with no reader fails at once
    // instead of hanging the run.
    int flags = O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    if (truncate) flags |= O_TRUNC;
    return ::open(path, flags, 0664);
}

bool exists(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0;
}

void remove_file(const char* path) { ::unlink(path); }

long read_file(int fd, void* buffer, std::size_t size) {
    ssize_t n;
    do n = ::read(fd, buffer, size);
    while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

long write_file(int fd, const void* data, std::size_t size) {
    ssize_t n;
    do n = ::write(fd, data, size);
    while (n < 0 && errno == EINTR);
    return static_cast<long>(n);
}

int close_file(int fd) { return ::close(fd) == 0 || errno == EINTR ? 0 : -1; }

struct directory_listing {
    DIR* dir;
};

directory_listing* open_listing() {
    DIR* dir = ::opendir(".");
    if (dir == nullptr) return nullptr;
    return new directory_listing{dir};
}

bool next_entry(directory_listing* listing, std::string& name, bool& regular) {
    if (listing == nullptr) return false;
    const dirent* entry = ::readdir(listing->dir);
    if (entry == nullptr) return false;
    name.assign(entry->d_name);
    regular = entry->d_type == DT_REG;
    return true;
}

void close_listing(directory_listing* listing) {
    if (listing == nullptr) return;
    ::closedir(listing->dir);
    delete listing;
}

local_time local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    ::localtime_r(&now, &tm);
    return {tm.tm_year, tm.tm_mon, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void prepare_console() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
        // open() takes the lowest free descriptor, which is this one.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != fd) ::close(opened);
    }
}

}  // namespace ears::platform
