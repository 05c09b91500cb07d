#include "host.h"

#include <cerrno>

namespace ears {

namespace {

class listing_search final : public directory_search {
public:
    listing_search() : listing_(platform::open_listing()) {}
    ~listing_search() override { platform::close_listing(listing_); }
    listing_search(const listing_search&) = delete;
    listing_search& operator=(const listing_search&) = delete;

    bool next(directory_entry& entry) override {
        return platform::next_entry(listing_, entry.name, entry.listed_regular);
    }

private:
    platform::directory_listing* listing_;
};

}  // namespace

bool host::exists(const std::string& path) { return platform::exists(path.c_str()); }

int host::open_item(const directory_entry& entry, item_open_result& result) {
    return platform::open_item(entry.name.c_str(), entry.listed_regular, result);
}

int host::open_output(const std::string& path, bool truncate) {
    return platform::open_output(path.c_str(), truncate);
}

void host::remove_file(const std::string& path) { platform::remove_file(path.c_str()); }

long host::read(int fd, void* buffer, std::size_t size) {
    return platform::read_file(fd, buffer, size);
}

long host::write(int fd, const void* data, std::size_t size) {
    return platform::write_file(fd, data, size);
}

int host::close(int fd) { return platform::close_file(fd); }

std::unique_ptr<directory_search> host::search_directory() {
    return std::make_unique<listing_search>();
}

void host::console(console_stream stream, std::string_view text) {
    const int fd = stream == console_stream::output ? platform::STANDARD_OUTPUT
                                                    : platform::STANDARD_ERROR;
    // A message must not disturb the error number that a later
    // "errno = %d" line reports.
    const int saved = errno;
    const char* data = text.data();
    std::size_t size = text.size();
    while (size > 0) {
        const long n = platform::write_file(fd, data, size);
        if (n <= 0) break;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    errno = saved;
}

void host::wait_for_enter() {
    // One read, as a line-buffered console gives it: it returns when Enter is
    // pressed, and at once at the end of input or when input is closed.
    const int saved = errno;
    char line[512];
    (void)platform::read_file(platform::STANDARD_INPUT, line, sizeof line);
    errno = saved;
}

local_time host::now() { return platform::local_now(); }

host& system_host() {
    static host& real = [] () -> host& {
        platform::prepare_console();
        static host instance;
        return instance;
    }();
    return real;
}

}  // namespace ears
