#include "listing.h"

#include "scan.h"

namespace ears {

const char* const EARLIST_USAGE_HEAD =
    "\nThis program will create a ears_dir.txt file for you.\n"
    "It looks at each .itm file and takes the first 512 characters\n";

void write_listing_header(output_unit& unit, const local_time& now) {
    unit.text("ZeKaRoNN's Trophyroll\n");
    unit.text("This is the complete list of ears that ZeKaRoNN (level 37 warrior) has\n");
    unit.text("collected on ");
    unit.text(service_name);
    unit.text("\nLast updated on ");
    unit.text(time_stamp_text(now));
    unit.text(RULE_LINE);
    unit.text("Number\tFilename:\t\tName:\t\t  Class:    Level:\n");
}

namespace {

// Fills a column with single spaces, each its own write as the listing
// has always done.
void pad(output_unit& line, std::size_t used, std::size_t width) {
    for (std::size_t i = used; i < width; ++i) line.text(" ");
}

}  // namespace

void write_listing_line(const item_block& block, const std::string& item_name,
                        output_unit& line, int& ear_count) {
    const ear_record ear = decode_ear_record(block, EARLIST_CLASSES);
    line.field(field::ear_count_string, std::to_string(ear_count));
    ++ear_count;
    line.text("\t");
    line.field(field::file_name, item_name);
    line.text("\t\t");
    line.field(field::offset_name, ear.name);
    pad(line, ear.name.size(), NAME_COLUMN_WIDTH);
    line.field(field::offset_class, ear.class_name);
    pad(line, ear.class_name.size(), CLASS_COLUMN_WIDTH);
    line.field(field::offset_level, std::to_string(ear.level));
    line.text("\n");
    line.text(RULE_LINE);
}

bool run_listing(host& io) {
    run_state run;
    run.output_path = LISTING_PATH;
    if (confirm_overwrite(io, run.output_path)) io.remove_file(run.output_path);

    output_unit heading;
    write_listing_header(heading, io.now());
    if (!write_unit(io, run.output_path, /*begin=*/true, heading, run.output_failed)) return false;

    scan_steps steps;
    steps.write_row = write_listing_line;
    steps.no_items_message = "Can't find any .itm files in this directory!!\n";
    scan_item_files(io, run, steps);
    return !run.output_failed;
}

}  // namespace ears
