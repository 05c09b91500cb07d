// The frame both programs share: the help switch, the overwrite prompt,
// and the scan that takes every item file of the current directory through
// the same procedure, with each program's row writer and steps plugged in.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "host.h"
#include "item_file.h"
#include "output_file.h"

namespace ears {

// The online game service on which the ears were collected; both headings
// name it.
constexpr std::string_view service_name = "Emberfall Online";

// What a run owns for its whole life.
struct run_state {
    int ear_count = 1;        // the number the next listed record receives
    std::string output_path;  // the output file being filled
    bool output_failed = false;  // an output could not be opened or a write fell short
};

// Decodes the block and adds its row (if any) to `row`, raising `ear_count`
// once for each record written.
using row_writer = std::function<void(const item_block& block, const std::string& item_name,
                                      output_unit& row, int& ear_count)>;

struct scan_steps {
    row_writer write_row;
    // Once the search has found an item file, before its name is printed.
    // Returns false when the run must end.
    std::function<bool()> first;
    // Between two items, before the next name is printed; false ends the run.
    std::function<bool()> between;
    // After the last item.
    std::function<void()> end;
    // Printed on standard output when the directory holds no item file.
    std::string_view no_items_message;
};

// True for names that match *.itm, letters compared without regard to case.
bool matches_item_pattern(std::string_view name);

// Prints the usage for a help switch (-?, -h, -H as the first two
// characters of the first argument), otherwise calls `run`. Returns the exit
// status: 0 when the run did its job, 1 when any output went wrong.
int run_program(host& io, int argc, const char* const* argv, std::string_view usage_head,
                const std::function<bool(host&)>& run);

// Announces an existing output file and waits for Enter (or end of input).
// Returns whether the file existed.
bool confirm_overwrite(host& io, const std::string& path);

// Visits every item file in listing order. Returns false when the directory
// held none (after printing the no-item message).
bool scan_item_files(host& io, run_state& run, const scan_steps& steps);

// Takes one item file through existence test, opens, read and row writer.
void process_item_file(host& io, const directory_entry& item, run_state& run,
                       const row_writer& write_row, output_unit& row);

}  // namespace ears
