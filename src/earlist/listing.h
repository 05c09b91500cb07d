// The text listing ears_dir.txt: its heading, one line per item file, and
// the run that fills it.
#pragma once

#include <string>

#include "host.h"
#include "item_file.h"
#include "output_file.h"

namespace ears {

constexpr const char* LISTING_PATH = "ears_dir.txt";
constexpr const char* RULE_LINE =
    "***************************************************************************\n";
constexpr std::size_t NAME_COLUMN_WIDTH = 18;
constexpr std::size_t CLASS_COLUMN_WIDTH = 10;

extern const char* const EARLIST_USAGE_HEAD;

void write_listing_header(output_unit& unit, const local_time& now);

// The row writer of earlist: every block is listed, ear or not.
void write_listing_line(const item_block& block, const std::string& item_name,
                        output_unit& line, int& ear_count);

// Returns false when any output went wrong.
bool run_listing(host& io);

}  // namespace ears
