#include "output_file.h"

#include <cerrno>

namespace ears {

std::string_view field_message_name(field f) {
    switch (f) {
        case field::ear_count_string: return "ear_count_string";
        case field::offset_name: return "offset_name";
        case field::offset_class: return "offset_class";
        case field::offset_level: return "offset_level";
        case field::graphic_ear: return "graphic_ear";
        case field::file_name: return "file_name";
    }
    return "";
}

void append_text_mode(std::string& out, std::string_view data) {
    std::size_t start = 0;
    for (std::size_t lf = data.find('\n'); lf != std::string_view::npos;
         lf = data.find('\n', start)) {
        out.append(data.data() + start, lf - start);
        out.append("\r\n", 2);
        start = lf + 1;
    }
    out.append(data.data() + start, data.size() - start);
}

file_handle open_output_file(host& io, const std::string& path, bool begin) {
    const int fd = io.open_output(path, begin);
    if (fd < 0) {
        io.print_error("\n unable to create ears file: " + path + "\n");
        return {};
    }
    return {io, fd};
}

bool write_unit(host& io, const std::string& path, bool begin, output_unit& unit,
                bool& output_failed) {
    file_handle file = open_output_file(io, path, begin);
    if (!file.is_open()) {
        output_failed = true;
        return false;
    }
    if (!unit.store(io, file.fd(), path)) output_failed = true;
    if (!file.close()) output_failed = true;
    return true;
}

void output_unit::clear() {
    translated_.clear();
    pieces_.clear();
}

void output_unit::add(std::string_view data, std::optional<ears::field> checked) {
    const std::size_t begin = translated_.size();
    append_text_mode(translated_, data);
    pieces_.push_back({begin, translated_.size(), checked});
}

void output_unit::text(std::string_view data) { add(data, std::nullopt); }

void output_unit::field(ears::field which, std::string_view data) { add(data, which); }

void output_unit::report(host& io, const std::string& path, const piece& p, int error) {
    if (!p.checked) return;  // short texts are not reported
    std::string message = "\nError! writing ";
    message += field_message_name(*p.checked);
    message += " to " + path + "\n";
    io.print_error(message);
    io.print_error("errno = " + std::to_string(error) + "\n");
}

bool output_unit::store_piece(host& io, int fd, const std::string& path, const piece& p) {
    const std::size_t size = p.end - p.begin;
    const long n = io.write(fd, translated_.data() + p.begin, size);
    if (n >= 0 && static_cast<std::size_t>(n) == size) return true;
    // errno is the failed write's own error, or whatever an earlier failure
    // left when part of the data was stored.
    report(io, path, p, errno);
    return false;
}

bool output_unit::store(host& io, int fd, const std::string& path) {
    const std::size_t total = translated_.size();
    const long n = total > 0 ? io.write(fd, translated_.data(), total) : 0;
    if (n >= 0 && static_cast<std::size_t>(n) == total) {
        clear();
        return true;
    }
    const int error = errno;
    const std::size_t stored = n > 0 ? static_cast<std::size_t>(n) : 0;
    bool all_stored = true;
    std::size_t next = 0;  // first piece still to be written
    // Pieces wholly stored (empty ones at the stop included) are done.
    while (next < pieces_.size() && pieces_[next].end <= stored) ++next;
    if (next < pieces_.size() && (n < 0 || pieces_[next].begin < stored)) {
        // The store stopped inside this piece (or failed at its start): it
        // is the short or failed write.
        report(io, path, pieces_[next], error);
        all_stored = false;
        ++next;
    }
    for (; next < pieces_.size(); ++next) {
        if (!store_piece(io, fd, path, pieces_[next])) all_stored = false;
    }
    clear();
    return all_stored;
}

namespace {

void put_two_digits(std::string& out, int value) {
    out += static_cast<char>('0' + (value / 10) % 10);
    out += static_cast<char>('0' + value % 10);
}

}  // namespace

std::string time_stamp_text(const local_time& when) {
    static constexpr char DAYS[] = "SunMonTueWedThuFriSat";
    static constexpr char MONTHS[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    std::string out;
    out.reserve(25);
    out.append(DAYS + 3 * (when.weekday % 7), 3);
    out += ' ';
    out.append(MONTHS + 3 * (when.month % 12), 3);
    out += ' ';
    put_two_digits(out, when.day);
    out += ' ';
    put_two_digits(out, when.hour);
    out += ':';
    put_two_digits(out, when.minute);
    out += ':';
    put_two_digits(out, when.second);
    out += ' ';
    put_two_digits(out, when.years_since_1900 / 100 + 19);
    put_two_digits(out, when.years_since_1900 % 100);
    out += '\n';
    return out;
}

}  // namespace ears
