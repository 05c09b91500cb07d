// Output files: how they are opened, how their line ends are stored, how a
// write that falls short is reported, and the date stamp of the headings.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host.h"

namespace ears {

// The fields whose writes are checked; each has its own error message.
enum class field {
    ear_count_string,
    offset_name,
    offset_class,
    offset_level,
    graphic_ear,
    file_name,
};

std::string_view field_message_name(field f);

// Appends `data` to `out` with every LF stored as CR LF.
void append_text_mode(std::string& out, std::string_view data);

// Opens an output file for one unit of writing, appending and creating it
// with mode 0664. `begin` empties a file the run starts afresh, so an old
// file that could not be removed never keeps its old content. On failure
// prints the creation failure message.
file_handle open_output_file(host& io, const std::string& path, bool begin = false);

// One unit of writing (a heading, a row, a footer) gathered in memory with
// its line ends already translated, then stored with one write.
//
// When that write stores everything, the file holds exactly what separate
// writes of its texts and fields would have stored. When it stores less, the
// text or field in which it stopped counts as the short write, and the rest
// are written one by one, so the file and the messages are what separate
// writes could have given and no byte is written twice.
class output_unit {
public:
    void text(std::string_view data);
    void field(ears::field which, std::string_view data);

    // Writes the unit to `fd`, reporting short field writes against `path`
    // with the field's message and "errno = %d". Returns false when any text
    // or field stored fewer bytes than asked. Leaves the unit empty.
    bool store(host& io, int fd, const std::string& path);

    void clear();
    const std::string& bytes() const { return translated_; }

private:
    struct piece {
        std::size_t begin;  // translated bytes [begin, end)
        std::size_t end;
        std::optional<ears::field> checked;  // empty for a text
    };

    void add(std::string_view data, std::optional<ears::field> checked);
    // Writes one piece on its own; false when it stored less than all.
    bool store_piece(host& io, int fd, const std::string& path, const piece& p);
    void report(host& io, const std::string& path, const piece& p, int error);

    std::string translated_;
    std::vector<piece> pieces_;
};

// Opens `path` for one unit of writing (see open_output_file), stores `unit`
// and closes the file. Returns false when the file could not be opened;
// sets `output_failed` for that, for a short write and for a failed close.
bool write_unit(host& io, const std::string& path, bool begin, output_unit& unit,
                bool& output_failed);

// "Www Mmm dd hh:mm:ss yyyy\n": 25 characters describing `when`.
std::string time_stamp_text(const local_time& when);

}  // namespace ears
