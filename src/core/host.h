// Everything a run asks of the world outside the program, behind one small
// interface: the real one forwards to the platform layer, and tests put in
// their own to make files vanish or writes fall short at a chosen moment.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform.h"

namespace ears {

using platform::console_stream;
using platform::item_open_result;
using platform::local_time;

struct directory_entry {
    std::string name;
    bool listed_regular = false;  // the listing says: a regular file, not a link
};

class directory_search {
public:
    virtual ~directory_search() = default;
    // The next entry in listing order; false when there is none.
    virtual bool next(directory_entry& entry) = 0;
};

class host {
public:
    virtual ~host() = default;

    virtual bool exists(const std::string& path);
    // The existence test and the read-only open of an item file in one step:
    // `result` tells an item that is not there at all (a dangling link
    // included) from one that exists but cannot be opened as a file.
    virtual int open_item(const directory_entry& entry, item_open_result& result);
    virtual int open_output(const std::string& path, bool truncate);
    virtual void remove_file(const std::string& path);
    virtual long read(int fd, void* buffer, std::size_t size);
    virtual long write(int fd, const void* data, std::size_t size);
    virtual int close(int fd);
    virtual std::unique_ptr<directory_search> search_directory();

    virtual void console(console_stream stream, std::string_view text);
    virtual void wait_for_enter();
    virtual local_time now();

    void print_output(std::string_view text) { console(console_stream::output, text); }
    void print_error(std::string_view text) { console(console_stream::error, text); }
};

// The host of a real run: the current directory, the process's console and
// the system clock.
host& system_host();

// An open descriptor that closes itself. close() reports a failed close;
// the destructor closes silently on paths that give up early.
class file_handle {
public:
    file_handle() = default;
    file_handle(host& owner, int fd) : owner_(&owner), fd_(fd) {}
    file_handle(const file_handle&) = delete;
    file_handle& operator=(const file_handle&) = delete;
    file_handle(file_handle&& other) noexcept : owner_(other.owner_), fd_(other.release()) {}
    file_handle& operator=(file_handle&& other) noexcept {
        if (this != &other) {
            close();
            owner_ = other.owner_;
            fd_ = other.release();
        }
        return *this;
    }
    ~file_handle() { close(); }

    bool is_open() const { return fd_ >= 0; }
    int fd() const { return fd_; }

    // True when the descriptor was open and closed cleanly.
    bool close() {
        if (fd_ < 0) return false;
        const int result = owner_->close(fd_);
        fd_ = -1;
        return result == 0;
    }

private:
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

    host* owner_ = nullptr;
    int fd_ = -1;
};

}  // namespace ears
