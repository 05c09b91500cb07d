// Feeds arbitrary bytes as an item file through the text-mode read, the
// decode and both row writers, and checks what must hold for any input.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "item_file.h"
#include "listing.h"
#include "output_file.h"
#include "pages.h"

namespace {

// An item file held in memory, read the way the system would read it.
class memory_item : public ears::host {
public:
    memory_item(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    long read(int, void* buffer, std::size_t size) override {
        const std::size_t n = std::min(size, size_ - position_);
        std::memcpy(buffer, data_ + position_, n);
        position_ += n;
        return static_cast<long>(n);
    }
    void console(ears::console_stream, std::string_view) override {}

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

void check(bool condition) {
    if (!condition) std::abort();
}

// Every LF of a stored unit is the second byte of a CR LF pair.
void check_line_ends(const std::string& stored) {
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '\n') check(i > 0 && stored[i - 1] == '\r');
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    memory_item io(data, size);
    ears::item_block block;
    const int delivered = ears::read_item_block(io, 0, block);
    const std::size_t raw = std::min<std::size_t>(size, ears::ITEM_BLOCK_SIZE);
    check(delivered >= 0 && delivered <= ears::ITEM_BLOCK_SIZE);
    check(static_cast<std::size_t>(delivered) <= raw);
    // Past the raw bytes the block stays zero-filled.
    for (std::size_t i = raw; i < sizeof block.bytes; ++i) check(block.bytes[i] == 0);
    if (delivered == 0) return 0;

    const ears::ear_record ear = ears::decode_ear_record(block, ears::EARPAGES_CLASSES);
    const auto* begin = reinterpret_cast<const char*>(block.bytes);
    check(ear.name.data() == begin + ears::OFFSET_NAME);
    check(ear.name.size() <= ears::ITEM_BLOCK_SIZE - ears::OFFSET_NAME);
    check(ear.level >= -128 && ear.level <= 127);

    ears::output_unit unit;
    int ear_count = 1;
    ears::write_listing_line(block, "fuzz.itm", unit, ear_count);
    check(ear_count == 2);
    check_line_ends(unit.bytes());
    unit.clear();

    ears::write_ear_row(io, block, unit, ear_count);
    check_line_ends(unit.bytes());
    std::string escaped;
    ears::append_html_escaped(escaped, ear.name);
    check(escaped.find_first_of("<>\"") == std::string::npos);
    for (std::size_t amp = escaped.find('&'); amp != std::string::npos;
         amp = escaped.find('&', amp + 1)) {
        const std::string_view rest(escaped.c_str() + amp);
        check(rest.rfind("&amp;", 0) == 0 || rest.rfind("&lt;", 0) == 0 ||
              rest.rfind("&gt;", 0) == 0 || rest.rfind("&quot;", 0) == 0);
    }
    if (ear.is_ear) {
        check(ear_count == 3);
        // The name stands, escaped and with its line ends stored as CR LF, in
        // its cell and in the picture's ALT text.
        std::string stored;
        ears::append_text_mode(stored, escaped);
        const std::string& row = unit.bytes();
        check(row.find("<TD>&nbsp;</TD><TD>" + stored + "</TD>") != std::string::npos);
        check(row.find("ALT=\"EAR OF " + stored + "  LEVEL : ") != std::string::npos);
    } else {
        check(ear_count == 2 && unit.bytes().empty());
    }
    return 0;
}
