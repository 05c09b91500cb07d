#include "output_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

namespace ears {
namespace {

TEST(append_text_mode, stores_every_lf_as_cr_lf_and_nothing_else) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"</H4>\n", "</H4>\r\n"},
        {"\n\n", "\r\n\r\n"},
        {"a\r\nb", "a\r\r\nb"},
        {"no line end", "no line end"},
        {"\r", "\r"},
    };
    for (const auto& [data, stored] : cases) {
        SCOPED_TRACE(data);
        std::string out = "old";
        append_text_mode(out, data);
        EXPECT_EQ(out, "old" + stored);
    }
}

// A file that takes at most `room` more bytes, then reports a full disk; its
// console is recorded.
class full_disk_host : public host {
public:
    explicit full_disk_host(std::size_t room) : room_(room) {}
    long write(int, const void* data, std::size_t size) override {
        writes.push_back(size);
        if (room_ == 0 && size > 0) {
            errno = ENOSPC;
            return -1;
        }
        const std::size_t n = std::min(size, room_);
        file.append(static_cast<const char*>(data), n);
        room_ -= n;
        return static_cast<long>(n);
    }
    void console(console_stream, std::string_view text) override { err += text; }
    std::string file, err;
    std::vector<std::size_t> writes;

private:
    std::size_t room_;
};

void fill_row(output_unit& unit) {
    unit.text("<TD>");                          // 4 bytes
    unit.field(field::ear_count_string, "12");  // 2
    unit.text("\n");                            // 2 stored
    unit.field(field::offset_name, "Grim");     // 4
    unit.field(field::offset_level, "");        // 0
    unit.field(field::graphic_ear, "x.gif");    // 5
}

TEST(output_unit, whole_unit_is_one_write) {
    full_disk_host io(1000);
    output_unit unit;
    fill_row(unit);
    EXPECT_TRUE(unit.store(io, 3, "p.htm"));
    EXPECT_EQ(io.file, "<TD>12\r\nGrimx.gif");
    EXPECT_EQ(io.writes, (std::vector<std::size_t>{17}));
    EXPECT_EQ(io.err, "");
    EXPECT_TRUE(unit.bytes().empty());
}

TEST(output_unit, short_store_reports_the_piece_where_it_stopped_and_writes_the_rest_alone) {
    struct short_case {
        const char* what;
        std::size_t room;
        std::string err;
        std::vector<std::size_t> writes;
    };
    const std::string count_msg = "\nError! writing ear_count_string to p.htm\n";
    const std::string name_msg = "\nError! writing offset_name to p.htm\n";
    const std::string graphic_msg = "\nError! writing graphic_ear to p.htm\n";
    const short_case cases[] = {
        // Stops inside the count: short with errno as an earlier failure left
        // it (7 here); every later non-empty piece then fails on its own.
        {"inside a field", 5, count_msg + "errno = 7\n" + name_msg + "errno = 28\n" + graphic_msg +
                                  "errno = 28\n",
         {17, 2, 4, 0, 5}},
        // Stops inside the CR LF of a text: not reported; the next field
        // fails on its own write.
        {"inside a text", 7, name_msg + "errno = 28\n" + graphic_msg + "errno = 28\n",
         {17, 4, 0, 5}},
        // Stops exactly between two pieces: the next one is written alone.
        {"on a boundary", 8, name_msg + "errno = 28\n" + graphic_msg + "errno = 28\n",
         {17, 4, 0, 5}},
        // Nothing stored: the first piece is the failed write, with its error.
        {"full from the start", 0, count_msg + "errno = 28\n" + name_msg + "errno = 28\n" +
                                       graphic_msg + "errno = 28\n",
         {17, 2, 2, 4, 0, 5}},
    };
    for (const short_case& c : cases) {
        SCOPED_TRACE(c.what);
        full_disk_host io(c.room);
        output_unit unit;
        fill_row(unit);
        errno = 7;
        EXPECT_FALSE(unit.store(io, 3, "p.htm"));
        EXPECT_EQ(io.file, std::string("<TD>12\r\nGrimx.gif").substr(0, c.room));
        EXPECT_EQ(io.err, c.err);
        EXPECT_EQ(io.writes, c.writes);
    }
}

TEST(time_stamp_text, fixed_positions_two_digits_everywhere) {
    struct stamp_case {
        local_time when;
        const char* text;
    };
    const stamp_case cases[] = {
        {{126, 11, 5, 6, 9, 7, 3}, "Sat Dec 05 09:07:03 2026\n"},
        {{100, 0, 1, 0, 0, 0, 0}, "Sun Jan 01 00:00:00 2000\n"},
        {{99, 5, 30, 3, 23, 59, 59}, "Wed Jun 30 23:59:59 1999\n"},
        {{105, 1, 28, 1, 12, 30, 45}, "Mon Feb 28 12:30:45 2005\n"},
    };
    for (const stamp_case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(time_stamp_text(c.when), c.text);
    }
}

}  // namespace
}  // namespace ears
