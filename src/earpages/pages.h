// The web pages ears_zek1.htm, ears_zek2.htm, ...: the three units of a
// page (heading, ear row, footer) and the run that fills 200 ears a page.
#pragma once

#include <string>

#include "host.h"
#include "item_file.h"
#include "output_file.h"

namespace ears {

constexpr int EARS_PER_PAGE = 200;

extern const char* const EARPAGES_USAGE_HEAD;

std::string page_file_name(int page);

// Writes the bytes & < > " of a player name as HTML character references, so
// a name chosen by another player shows as text and never as markup.
void append_html_escaped(std::string& out, std::string_view name);

void write_page_heading_unit(output_unit& unit, int page_count, const local_time& now);
void write_page_footer_unit(output_unit& unit, int page, const std::string& path,
                            const std::string& prior_page_name, bool page_follows);

// The row writer of earpages: a row for an ear, a console note for
// anything else.
void write_ear_row(host& io, const item_block& block, output_unit& row, int& ear_count);

// Return 0 once the page file was opened, 1 when it could not be.
int write_page_header(host& io, int page_count, const std::string& path, bool& output_failed);
int write_page_footer(host& io, int page, const std::string& path, std::string& prior_page_name,
                      bool page_follows, bool& output_failed);

// Returns false when any output went wrong.
bool run_pages(host& io);

}  // namespace ears
