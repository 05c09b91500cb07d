// The item file: the first 512 bytes of a saved game item, read in text
// mode, and the ear record decoded from fixed offsets in them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "host.h"

namespace ears {

constexpr int ITEM_BLOCK_SIZE = 512;

constexpr std::size_t OFFSET_NAME = 100;
constexpr std::size_t OFFSET_CLASS = 224;
constexpr std::size_t OFFSET_LEVEL = 228;
constexpr std::size_t OFFSET_TYPE = 392;
constexpr unsigned char EAR_TYPE_CODE = 23;

struct item_block {
    unsigned char bytes[ITEM_BLOCK_SIZE];
    int count;  // bytes delivered by the text-mode read
};

// Reads one more byte when the raw bytes end in CR; false at end of file.
using next_byte_reader = bool (*)(void* context, unsigned char& byte);

// Applies the text-mode read rules to the `raw` bytes already in `bytes`,
// in place: CR LF becomes LF, 0x1A ends the data, and a CR that is the last
// raw byte is settled by one further byte from `next`. Returns the number of
// bytes delivered; positions from there to `raw` keep their raw bytes.
int translate_read(unsigned char* bytes, int raw, next_byte_reader next, void* context);

// Zero-fills the block, then asks the file for ITEM_BLOCK_SIZE bytes in one
// read and translates them. Returns the delivered count (1..512), 0 at end
// of file, -1 when the read fails.
int read_item_block(host& io, int fd, item_block& block);

struct ear_class {
    unsigned char code;
    std::string_view name;
    std::string_view graphic_ear;
};

// The class table of a program: tested in order, anything else is unknown.
struct class_table {
    const ear_class* rows;
    std::size_t size;
};

// earpages knows four classes; earlist has never heard of Plate.
extern const class_table EARPAGES_CLASSES;
extern const class_table EARLIST_CLASSES;

struct ear_record {
    std::string_view name;  // points into the block
    std::string_view class_name;
    std::string_view graphic_ear;
    int level;
    bool is_ear;
};

ear_record decode_ear_record(const item_block& block, const class_table& classes);

}  // namespace ears
