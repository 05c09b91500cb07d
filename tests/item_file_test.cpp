#include "item_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support.h"

namespace ears {
namespace {

// A host whose item file is a string in memory, read like a real file.
class memory_file_host : public host {
public:
    explicit memory_file_host(std::string bytes) : bytes_(std::move(bytes)) {}
    long read(int, void* buffer, std::size_t size) override {
        ++reads;
        if (fail) return -1;
        const std::size_t n = std::min(size, bytes_.size() - position_);
        std::memcpy(buffer, bytes_.data() + position_, n);
        position_ += n;
        return static_cast<long>(n);
    }
    bool fail = false;
    int reads = 0;

private:
    std::string bytes_;
    std::size_t position_ = 0;
};

struct read_case {
    const char* what;
    std::string file;
    int delivered;
    std::string delivered_bytes;  // the first `delivered` bytes of the block
};

std::string with(std::string base, std::size_t at, const std::string& bytes) {
    base.replace(at, bytes.size(), bytes);
    return base;
}

TEST(read_item_block, translates_line_ends_and_end_of_text) {
    const std::string x600(600, 'x');
    const read_case cases[] = {
        {"empty file", "", 0, ""},
        {"plain bytes", "abc", 3, "abc"},
        {"CR LF becomes LF", "a\r\nb", 3, "a\nb"},
        {"lone CR stays", "a\rb", 3, "a\rb"},
        {"CR CR LF keeps one CR", "\r\r\n", 2, "\r\n"},
        {"0x1A ends the data", "ab\x1A" "cd", 2, "ab"},
        {"0x1A first delivers nothing", "\x1A" "abc", 0, ""},
        {"last-byte CR at end of file is delivered", "ab\r", 3, "ab\r"},
        {"last-byte CR before LF is dropped", with(x600, 511, "\r\n"), 511, std::string(511, 'x')},
        {"last-byte CR before other byte is kept", with(x600, 511, "\ry"), 512,
         std::string(511, 'x') + "\r"},
        {"never more than 512", x600, 512, std::string(512, 'x')},
    };
    for (const read_case& c : cases) {
        SCOPED_TRACE(c.what);
        memory_file_host io(c.file);
        item_block block;
        EXPECT_EQ(read_item_block(io, 0, block), c.delivered);
        EXPECT_EQ(block.count, c.delivered);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(block.bytes), c.delivered_bytes.size()),
                  c.delivered_bytes);
    }
}

TEST(read_item_block, asks_for_one_more_byte_only_after_a_final_cr) {
    memory_file_host plain(std::string(600, 'x'));
    item_block block;
    read_item_block(plain, 0, block);
    EXPECT_EQ(plain.reads, 1);

    memory_file_host split(with(std::string(600, 'x'), 511, "\r\n"));
    read_item_block(split, 0, block);
    EXPECT_EQ(split.reads, 2);
    // The dropped CR keeps its raw place past the delivered count.
    EXPECT_EQ(block.bytes[511], '\r');
}

TEST(read_item_block, failed_read_gives_minus_one) {
    memory_file_host io("abc");
    io.fail = true;
    item_block block;
    EXPECT_EQ(read_item_block(io, 0, block), -1);
}

TEST(read_item_block, bytes_past_the_delivered_count_stay_raw_and_the_rest_is_zero) {
    // 0x1A at 2: the raw bytes after it stay where the read put them.
    memory_file_host io("ab\x1A\r\ncd");
    item_block block;
    std::memset(block.bytes, 0x55, sizeof block.bytes);
    ASSERT_EQ(read_item_block(io, 0, block), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.bytes), 7), "ab\x1A\r\ncd");
    EXPECT_EQ(block.bytes[7], 0);
    EXPECT_EQ(block.bytes[511], 0);
}

// A 512-byte-or-longer file with fields at file offsets; what decodes out of
// the block after the text-mode read.
struct field_case {
    const char* what;
    std::string file;
    int delivered;
    std::string name;
    int level;
    bool is_ear;
};

std::string fields_at(std::size_t shift, const std::string& name, char level) {
    std::string f(700, 'z');
    f.replace(100 + shift, name.size() + 1, name + '\0');
    f.replace(224 + shift, 2, std::string("\x14\0", 2));
    f[228 + shift] = level;
    f.replace(392 + shift, 2, std::string("\x17\0", 2));
    return f;
}

TEST(decode_ear_record, fields_follow_the_translated_bytes) {
    std::string one_pair = with(fields_at(1, "Grim", 5), 40, "\r\n");
    std::string eof_at_300 = with(fields_at(0, "Grim", 5), 300, "\x1A");
    // CR LF at 50, 0x1A at 300: name/class/level shift by one, type does not.
    std::string mixed(700, 'z');
    mixed.replace(50, 2, "\r\n");
    mixed.replace(101, 5, std::string("Grim\0", 5));
    mixed.replace(225, 2, std::string("\x14\0", 2));
    mixed[229] = 5;
    mixed[300] = 0x1A;
    mixed.replace(392, 2, std::string("\x17\0", 2));
    std::string eof_in_name = fields_at(0, "Gr\x1Aim", 5);

    const field_case cases[] = {
        {"one CR LF before offset 100", one_pair, 511, "Grim", 5, true},
        {"0x1A at 300", eof_at_300, 300, "Grim", 5, true},
        {"CR LF at 50 and 0x1A at 300", mixed, 299, "Grim", 5, true},
        {"0x1A inside the name", eof_in_name, 102, "Gr\x1Aim", 5, true},
    };
    for (const field_case& c : cases) {
        SCOPED_TRACE(c.what);
        memory_file_host io(c.file);
        item_block block;
        EXPECT_EQ(read_item_block(io, 0, block), c.delivered);
        const ear_record ear = decode_ear_record(block, EARPAGES_CLASSES);
        EXPECT_EQ(ear.name, c.name);
        EXPECT_EQ(ear.class_name, "Warrior");
        EXPECT_EQ(ear.level, c.level);
        EXPECT_EQ(ear.is_ear, c.is_ear);
    }
}

item_block block_of(const std::string& bytes) {
    item_block block{};
    std::memcpy(block.bytes, bytes.data(), std::min<std::size_t>(bytes.size(), 512));
    block.count = 512;
    return block;
}

TEST(decode_ear_record, class_tables_of_both_programs) {
    struct class_case {
        unsigned char code, high;
        std::string_view pages_name, pages_graphic, list_name;
    };
    const class_case cases[] = {
        {19, 0, "Sorcerer", "sor_ear.gif", "Sorcerer"},
        {20, 0, "Warrior", "war_ear.gif", "Warrior"},
        {21, 0, "Rogue", "rog_ear.gif", "Rogue"},
        {22, 0, "Plate", "pla_ear.gif", "Unknown"},
        {19, 1, "Unknown", "unk_ear.gif", "Unknown"},
        {0, 0, "Unknown", "unk_ear.gif", "Unknown"},
        {23, 0, "Unknown", "unk_ear.gif", "Unknown"},
    };
    for (const class_case& c : cases) {
        SCOPED_TRACE(int(c.code) * 256 + c.high);
        std::string bytes(512, '\0');
        bytes[224] = static_cast<char>(c.code);
        bytes[225] = static_cast<char>(c.high);
        const item_block block = block_of(bytes);
        const ear_record pages = decode_ear_record(block, EARPAGES_CLASSES);
        EXPECT_EQ(pages.class_name, c.pages_name);
        EXPECT_EQ(pages.graphic_ear, c.pages_graphic);
        EXPECT_EQ(decode_ear_record(block, EARLIST_CLASSES).class_name, c.list_name);
    }
}

TEST(decode_ear_record, level_type_and_name_bounds) {
    std::string bytes(512, '\0');
    const std::pair<unsigned char, int> levels[] = {{0xFF, -1}, {0x25, 37}, {0x80, -128}, {0x7F, 127}};
    for (auto [raw, level] : levels) {
        bytes[228] = static_cast<char>(raw);
        EXPECT_EQ(decode_ear_record(block_of(bytes), EARLIST_CLASSES).level, level);
    }
    const std::pair<std::string, bool> types[] = {
        {std::string("\x17\0", 2), true}, {"\x17\x01", false}, {std::string("\x18\0", 2), false}};
    for (const auto& [type, ear] : types) {
        bytes.replace(392, 2, type);
        EXPECT_EQ(decode_ear_record(block_of(bytes), EARPAGES_CLASSES).is_ear, ear);
    }
    // No zero byte from offset 100 to the end: the name stops at the buffer.
    std::string full(512, 'n');
    EXPECT_EQ(decode_ear_record(block_of(full), EARLIST_CLASSES).name.size(), 412u);
    // Nothing but zeros: an empty name.
    EXPECT_EQ(decode_ear_record(block_of(std::string(512, '\0')), EARLIST_CLASSES).name, "");
}

}  // namespace
}  // namespace ears
