#include "item_file.h"

#include <cstring>

namespace ears {

namespace {

constexpr unsigned char CR = 0x0D;
constexpr unsigned char LF = 0x0A;
constexpr unsigned char END_OF_TEXT = 0x1A;

constexpr ear_class CLASS_ROWS[] = {
    {19, "Sorcerer", "sor_ear.gif"},
    {20, "Warrior", "war_ear.gif"},
    {21, "Rogue", "rog_ear.gif"},
    {22, "Plate", "pla_ear.gif"},
};
constexpr ear_class UNKNOWN_CLASS = {0, "Unknown", "unk_ear.gif"};

struct file_reader {
    host* io;
    int fd;
};

bool read_one_more(void* context, unsigned char& byte) {
    auto* reader = static_cast<file_reader*>(context);
    return reader->io->read(reader->fd, &byte, 1) == 1;
}

}  // namespace

const class_table EARPAGES_CLASSES = {CLASS_ROWS, 4};
const class_table EARLIST_CLASSES = {CLASS_ROWS, 3};

int translate_read(unsigned char* bytes, int raw, next_byte_reader next, void* context) {
    int delivered = 0;
    for (int i = 0; i < raw; ++i) {
        const unsigned char c = bytes[i];
        if (c == END_OF_TEXT) break;
        if (c == CR) {
            if (i + 1 < raw) {
                if (bytes[i + 1] == LF) continue;  // the LF is delivered next
            } else {
                // The pair may straddle the end of the request: one more byte
                // decides, and stays out of the block either way.
                unsigned char extra = 0;
                if (next(context, extra) && extra == LF) break;
            }
        }
        bytes[delivered++] = c;
    }
    return delivered;
}

int read_item_block(host& io, int fd, item_block& block) {
    // Zero-filled so that fields past a short file's end read as zeros and
    // the name always finds an end inside the buffer.
    std::memset(block.bytes, 0, sizeof block.bytes);
    block.count = 0;
    const long raw = io.read(fd, block.bytes, sizeof block.bytes);
    if (raw < 0) return block.count = -1;
    file_reader reader{&io, fd};
    block.count = translate_read(block.bytes, static_cast<int>(raw), read_one_more, &reader);
    return block.count;
}

ear_record decode_ear_record(const item_block& block, const class_table& classes) {
    const unsigned char* b = block.bytes;
    ear_record record{};

    // The name ends at the first zero byte, or at the end of the buffer.
    const auto* name = reinterpret_cast<const char*>(b + OFFSET_NAME);
    const std::size_t room = ITEM_BLOCK_SIZE - OFFSET_NAME;
    const void* zero = std::memchr(name, 0, room);
    record.name = std::string_view(name, zero ? static_cast<const char*>(zero) - name : room);

    const ear_class* found = &UNKNOWN_CLASS;
    for (std::size_t i = 0; i < classes.size; ++i) {
        if (b[OFFSET_CLASS] == classes.rows[i].code && b[OFFSET_CLASS + 1] == 0) {
            found = &classes.rows[i];
            break;
        }
    }
    record.class_name = found->name;
    record.graphic_ear = found->graphic_ear;
    record.level = static_cast<signed char>(b[OFFSET_LEVEL]);
    record.is_ear = b[OFFSET_TYPE] == EAR_TYPE_CODE && b[OFFSET_TYPE + 1] == 0;
    return record;
}

}  // namespace ears
