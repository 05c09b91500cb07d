// The operating system underneath both programs: the current directory's
// files, the console and the clock. One source per system implements it
// (platform_posix.cpp, platform_win32.cpp); nothing else includes a system
// header, so the rest of the code reads the same everywhere.
#pragma once

#include <cstddef>
#include <string>

namespace ears::platform {

// Why an item file could not be opened: a name that is not there at all
// (or a link that leads nowhere) is told apart from one that exists but is
// not a readable regular file.
enum class item_open_result { opened, missing, not_openable };

// Opens an existing regular file read-only without ever blocking, so a FIFO
// or device that carries an item name cannot hang the run. Returns a
// descriptor, or -1 with `result` saying why. `listed_regular` passes on the
// directory listing's word that the entry is a regular file, which spares
// asking the system again.
int open_item(const char* name, bool listed_regular, item_open_result& result);

// Opens for writing at the end of the file, creating it with mode 0664 less
// the creation mask; `truncate` empties an existing file first.
int open_output(const char* path, bool truncate);

bool exists(const char* path);
void remove_file(const char* path);

// Raw byte transfers, no translation. -1 on failure with errno set.
long read_file(int fd, void* buffer, std::size_t size);
long write_file(int fd, const void* data, std::size_t size);
// 0 on success, -1 when the system reports an error for the close.
int close_file(int fd);

// Enumerates the current directory's entry names, one at a time, in the
// order the system lists them; memory use does not depend on their number.
struct directory_listing;
directory_listing* open_listing();
// False at the end of the listing or when the system refuses to go on.
// `regular` is true when the listing itself says the entry is a regular
// file (not a link), false when it is something else or does not say.
bool next_entry(directory_listing* listing, std::string& name, bool& regular);
void close_listing(directory_listing* listing);

struct local_time {
    int years_since_1900;
    int month;    // 0-11
    int day;      // 1-31
    int weekday;  // 0-6, Sunday first
    int hour;
    int minute;
    int second;
};
local_time local_now();

// Called once before anything else. Makes sure standard input, output and
// error are open (on /dev/null where they were closed), so that no output
// file can take their place and receive console messages; on Windows it
// puts the console streams in binary mode.
void prepare_console();

// The console streams are these descriptors on every system; read_file and
// write_file serve them too.
constexpr int STANDARD_INPUT = 0;
constexpr int STANDARD_OUTPUT = 1;
constexpr int STANDARD_ERROR = 2;
enum class console_stream { output, error };

}  // namespace ears::platform
