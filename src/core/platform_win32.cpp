#include "platform.h"

#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <ctime>

namespace ears::platform {

namespace {

// Files are opened in binary mode underneath: the programs do their own
// line-end translation.
int open_shared(const char* name, int flags, int mode) {
    return _sopen(name, flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, mode);
}

}  // namespace

int open_item(const char* name, bool, item_open_result& result) {
    const DWORD attributes = GetFileAttributesA(name);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        errno = ENOENT;
        result = item_open_result::missing;
        return -1;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        errno = EACCES;
        result = item_open_result::not_openable;
        return -1;
    }
    const int fd = open_shared(name, _O_RDONLY, 0);
    if (fd < 0) {
        result = item_open_result::not_openable;
        return -1;
    }
    // Only disk files: a device name such as CON must not wait for input.
    if (GetFileType(reinterpret_cast<HANDLE>(_get_osfhandle(fd))) != FILE_TYPE_DISK) {
        _close(fd);
        errno = EACCES;
        result = item_open_result::not_openable;
        return -1;
    }
    result = item_open_result::opened;
    return fd;
}

int open_output(const char* path, bool truncate) {
    int flags = _O_WRONLY | _O_APPEND | _O_CREAT;
    if (truncate) flags |= _O_TRUNC;
    return open_shared(path, flags, _S_IREAD | _S_IWRITE);
}

bool exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

void remove_file(const char* path) { _unlink(path); }

long read_file(int fd, void* buffer, std::size_t size) {
    return _read(fd, buffer, static_cast<unsigned>(size));
}

long write_file(int fd, const void* data, std::size_t size) {
    return _write(fd, data, static_cast<unsigned>(size));
}

int close_file(int fd) { return _close(fd) == 0 ? 0 : -1; }

struct directory_listing {
    HANDLE find;
    WIN32_FIND_DATAA data;
    bool pending;  // `data` holds an entry not yet handed out
};

directory_listing* open_listing() {
    auto* listing = new directory_listing{};
    // Every name, filtered by the caller: a "*.itm" search would also match
    // 8.3 short names such as those of a.itmx or a.itm~.
    listing->find = FindFirstFileA("*", &listing->data);
    if (listing->find == INVALID_HANDLE_VALUE) {
        delete listing;
        return nullptr;
    }
    listing->pending = true;
    return listing;
}

bool next_entry(directory_listing* listing, std::string& name, bool& regular) {
    if (listing == nullptr) return false;
    if (!listing->pending && !FindNextFileA(listing->find, &listing->data)) return false;
    listing->pending = false;
    name.assign(listing->data.cFileName);
    // The open checks for itself on Windows; the listing's word is not used.
    regular = false;
    return true;
}

void close_listing(directory_listing* listing) {
    if (listing == nullptr) return;
    FindClose(listing->find);
    delete listing;
}

local_time local_now() {
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_s(&tm, &now);
    return {tm.tm_year, tm.tm_mon, tm.tm_mday, tm.tm_wday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

// The C runtime would turn every LF on the console into CR LF; the programs
// write their own bytes, the same on every system.
void prepare_console() {
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
}

}  // namespace ears::platform
