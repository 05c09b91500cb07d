#include "pages.h"

#include "scan.h"

namespace ears {

const char* const EARPAGES_USAGE_HEAD =
    "\nThis program will create a ears_zek file for you.\n"
    "It looks at each *.itm file and takes the first 512 characters\n";

std::string page_file_name(int page) { return "ears_zek" + std::to_string(page) + ".htm"; }

void append_html_escaped(std::string& out, std::string_view name) {
    for (const char c : name) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
}

void write_page_heading_unit(output_unit& unit, int page_count, const local_time& now) {
    unit.text("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\">\n");
    unit.text("<HTML>\n<HEAD>\n");
    unit.text("\t<TITLE>");
    unit.text("ZeKaRoNN");
    unit.text("'s Trophyroll</TITLE>\n");
    unit.text("</HEAD>\n<BODY BACKGROUND=\"BACKGROUND.jpg\" BGCOLOR=\"#000000\" "
              "TEXT=\"#C0C0C0\">\n<H2>");
    unit.text("ZeKaRoNN");
    unit.text("'s Trophyroll</H2>\n");
    unit.text("<H4>This is the complete list of ears that ");
    unit.text("ZeKaRoNN (Level 37 Sorcerer - Account #70342)");
    unit.text("</H4>\n");
    unit.text("<H4>has collected on ");
    unit.text(service_name);
    unit.text(" since ");
    unit.text("15 March 1997");
    unit.text("</H4>\n<P>&nbsp;</P>\n");
    unit.text("<H2>Page #" + std::to_string(page_count) + "</H2>\n");
    unit.text("<TABLE>\n\t<TR>\n\t\t<TD><FONT SIZE=\"2\"><STRONG><IMG SRC=\"lu.jpg\"");
    unit.text("ALT=\"Last Update\" ALIGN=\"baseline\" WIDTH=\"149\"\n");
    unit.text("\t\t\tHEIGHT=\"33\"></STRONG></FONT></TD>\n");
    unit.text("\t\t<TD><FONT SIZE=\"2\"><STRONG>");
    unit.text(time_stamp_text(now));
    unit.text("\t\t\t</STRONG></FONT></TD>\n\t</TR>\n</TABLE>\n<P>\n<TABLE>\n");
    unit.text("\t<TR>\n\t\t<TD>No.</TD><TD>&nbsp;</TD><TD>Name:</TD><TD>&nbsp;</TD>"
              "<TD>Class:</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>Level:</TD><TD>&nbsp;</TD>"
              "<TD>&nbsp;</TD><TD>Graphic:</TD>\n\t</TR>\n");
}

void write_page_footer_unit(output_unit& unit, int page, const std::string& path,
                            const std::string& prior_page_name, bool page_follows) {
    unit.text("</TABLE>\n\n<P>&nbsp;</P>\n\n");
    unit.text("<P align=\"center\"><font color=\"#C0C0FF\">This page has been visited </font>");
    unit.text("<IMG SRC=\"/cgi-bin/nph-count?width=5&link=/~vorel/mordek/");
    unit.text(path);
    unit.text("\"");
    unit.text(" height=20 width=75 alt=\"Page Counter Image\"align=absmiddle>"
              "<font color=\"#C0C0FF\"> ");
    unit.text("times since 21 May 1997 at 6:00PM Australian Standard Time...</font></P>");
    if (page >= 2) {
        unit.text("\n<H2><A HREF=\"" + prior_page_name +
                  "\" NAME=\"Prior Page\">Prior Page</A></H2>\n");
    }
    if (page_follows) {
        unit.text("\n<H2><A HREF=\"" + page_file_name(page + 1) +
                  "\" NAME=\"Next Page\">Next Page</A></H2>\n");
    }
    unit.text("\n\n<P>&nbsp;</P>\n\n</BODY>\n</HTML>\n");
}

void write_ear_row(host& io, const item_block& block, output_unit& row, int& ear_count) {
    const ear_record ear = decode_ear_record(block, EARPAGES_CLASSES);
    if (!ear.is_ear) {
        io.print_error("\nNOT AN EAR! count=" + std::to_string(ear_count) + "\n");
        return;
    }
    std::string name;
    append_html_escaped(name, ear.name);
    const std::string level = std::to_string(ear.level);

    row.text("\t<TR><TD>");
    row.field(field::ear_count_string, std::to_string(ear_count));
    ++ear_count;
    row.text(".</TD><TD>&nbsp;</TD><TD>");
    row.field(field::offset_name, name);
    row.text("</TD><TD>&nbsp;</TD><TD>");
    row.field(field::offset_class, ear.class_name);
    row.text("</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>");
    row.field(field::offset_level, level);
    row.text("</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD><IMG SRC=\"");
    row.field(field::graphic_ear, ear.graphic_ear);
    row.text("\" WIDTH=18 HEIGHT=24 BORDER=0 ALT=\"EAR OF ");
    row.field(field::offset_name, name);
    row.text("  LEVEL : ");
    row.field(field::offset_level, level);
    row.text("\"></TD></TR>\n");
}

int write_page_header(host& io, int page_count, const std::string& path, bool& output_failed) {
    io.remove_file(path);
    io.print_error("Opening " + path + "\n");
    output_unit unit;
    write_page_heading_unit(unit, page_count, io.now());
    return write_unit(io, path, /*begin=*/true, unit, output_failed) ? 0 : 1;
}

int write_page_footer(host& io, int page, const std::string& path, std::string& prior_page_name,
                      bool page_follows, bool& output_failed) {
    io.print_error("Closing " + path + "\n");
    output_unit unit;
    write_page_footer_unit(unit, page, path, prior_page_name, page_follows);
    if (!write_unit(io, path, /*begin=*/false, unit, output_failed)) return 1;
    // The next Prior Page link points here, once this page has its footer.
    if (page >= 2) prior_page_name = path;
    return 0;
}

bool run_pages(host& io) {
    run_state run;
    int page_count = 1;
    std::string prior_page_name = page_file_name(1);
    io.print_error("Starting page_count is " + std::to_string(page_count) + ", ear_count is " +
                   std::to_string(run.ear_count) + "\n");
    run.output_path = page_file_name(1);
    confirm_overwrite(io, run.output_path);

    int ear_count_before_item = run.ear_count;
    scan_steps steps;
    steps.write_row = [&io](const item_block& block, const std::string&, output_unit& row,
                            int& ear_count) { write_ear_row(io, block, row, ear_count); };
    steps.first = [&] {
        return write_page_header(io, 1, run.output_path, run.output_failed) == 0;
    };
    steps.between = [&] {
        const bool raised = run.ear_count != ear_count_before_item;
        ear_count_before_item = run.ear_count;
        const int listed = run.ear_count - 1;
        if (!raised || listed <= 0 || listed % EARS_PER_PAGE != 0) return true;
        if (write_page_footer(io, page_count, run.output_path, prior_page_name, true,
                              run.output_failed) != 0) {
            return false;
        }
        ++page_count;
        run.output_path = page_file_name(page_count);
        return write_page_header(io, page_count, run.output_path, run.output_failed) == 0;
    };
    steps.end = [&] {
        write_page_footer(io, page_count, run.output_path, prior_page_name, false,
                          run.output_failed);
    };
    steps.no_items_message = "Can't find any *.itm files in this directory!!\n";
    scan_item_files(io, run, steps);
    return !run.output_failed;
}

}  // namespace ears
