// earpages run for real in fresh directories; every page and both console
// streams compared byte for byte with what a run over the listing order
// must give.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "support.h"

namespace ears_test {
namespace {

const std::string STAMP = "\x01STAMP\x01";  // stands for the date stamp in expectations
const std::string START = "Starting page_count is 1, ear_count is 1\n";
const std::string PROMPT =
    "\nears file exists: ears_zek1.htm\n"
    "This will overwrite it.  Press CTRL-C to stop or ENTER to continue\n";
const std::string NO_ITEMS = "Can't find any *.itm files in this directory!!\n";

std::string page_name(int page) { return "ears_zek" + std::to_string(page) + ".htm"; }

std::string heading(int page) {
    return "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2 Final//EN\">\n"
           "<HTML>\n<HEAD>\n\t<TITLE>ZeKaRoNN's Trophyroll</TITLE>\n"
           "</HEAD>\n<BODY BACKGROUND=\"BACKGROUND.jpg\" BGCOLOR=\"#000000\" TEXT=\"#C0C0C0\">\n"
           "<H2>ZeKaRoNN's Trophyroll</H2>\n"
           "<H4>This is the complete list of ears that ZeKaRoNN (Level 37 Sorcerer - Account "
           "#70342)</H4>\n"
           "<H4>has collected on Emberfall Online since 15 March 1997</H4>\n<P>&nbsp;</P>\n"
           "<H2>Page #" + std::to_string(page) + "</H2>\n"
           "<TABLE>\n\t<TR>\n\t\t<TD><FONT SIZE=\"2\"><STRONG><IMG SRC=\"lu.jpg\""
           "ALT=\"Last Update\" ALIGN=\"baseline\" WIDTH=\"149\"\n"
           "\t\t\tHEIGHT=\"33\"></STRONG></FONT></TD>\n"
           "\t\t<TD><FONT SIZE=\"2\"><STRONG>" + STAMP +
           "\t\t\t</STRONG></FONT></TD>\n\t</TR>\n</TABLE>\n<P>\n<TABLE>\n"
           "\t<TR>\n\t\t<TD>No.</TD><TD>&nbsp;</TD><TD>Name:</TD><TD>&nbsp;</TD><TD>Class:</TD>"
           "<TD>&nbsp;</TD><TD>&nbsp;</TD><TD>Level:</TD><TD>&nbsp;</TD><TD>&nbsp;</TD>"
           "<TD>Graphic:</TD>\n\t</TR>\n";
}

std::string row(int number, const std::string& html_name, const std::string& class_name,
                const std::string& graphic, int level) {
    const std::string l = std::to_string(level);
    return "\t<TR><TD>" + std::to_string(number) + ".</TD><TD>&nbsp;</TD><TD>" + html_name +
           "</TD><TD>&nbsp;</TD><TD>" + class_name + "</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD>" +
           l + "</TD><TD>&nbsp;</TD><TD>&nbsp;</TD><TD><IMG SRC=\"" + graphic +
           "\" WIDTH=18 HEIGHT=24 BORDER=0 ALT=\"EAR OF " + html_name + "  LEVEL : " + l +
           "\"></TD></TR>\n";
}

std::string footer(int page, bool next) {
    std::string f =
        "</TABLE>\n\n<P>&nbsp;</P>\n\n"
        "<P align=\"center\"><font color=\"#C0C0FF\">This page has been visited </font>"
        "<IMG SRC=\"/cgi-bin/nph-count?width=5&link=/~vorel/mordek/" + page_name(page) + "\""
        " height=20 width=75 alt=\"Page Counter Image\"align=absmiddle><font color=\"#C0C0FF\"> "
        "times since 21 May 1997 at 6:00PM Australian Standard Time...</font></P>";
    if (page >= 2)
        f += "\n<H2><A HREF=\"" + page_name(page - 1) + "\" NAME=\"Prior Page\">Prior Page</A></H2>\n";
    if (next)
        f += "\n<H2><A HREF=\"" + page_name(page + 1) + "\" NAME=\"Next Page\">Next Page</A></H2>\n";
    return f + "\n\n<P>&nbsp;</P>\n\n</BODY>\n</HTML>\n";
}

std::string escaped(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '&') out += "&amp;";
        else if (c == '<') out += "&lt;";
        else if (c == '>') out += "&gt;";
        else if (c == '"') out += "&quot;";
        else out += c;
    }
    return out;
}

struct class_row {
    const char* name;
    const char* graphic;
};
class_row class_of(unsigned char code) {
    switch (code) {
        case 19: return {"Sorcerer", "sor_ear.gif"};
        case 20: return {"Warrior", "war_ear.gif"};
        case 21: return {"Rogue", "rog_ear.gif"};
        case 22: return {"Plate", "pla_ear.gif"};
        default: return {"Unknown", "unk_ear.gif"};
    }
}

// What a run over `order` must leave: pages (LF line ends, STAMP in each
// heading) and the standard error stream. Entries missing from `items` give
// no row and no message (empty files).
struct expected_run {
    std::vector<std::string> pages;
    std::string err;
};

expected_run expect_run(const std::vector<std::string>& order,
                        const std::map<std::string, item_fields>& items, bool prompt = false) {
    expected_run e;
    e.err = START + (prompt ? PROMPT : "");
    if (order.empty()) return e;
    e.err += "Opening " + page_name(1) + "\n";
    e.pages.push_back(heading(1));
    int ear = 1, before = 1, page = 1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (i > 0) {
            const bool raised = ear != before;
            before = ear;
            if (raised && (ear - 1) % 200 == 0) {
                e.err += "Closing " + page_name(page) + "\n";
                e.pages.back() += footer(page, true);
                ++page;
                e.err += "Opening " + page_name(page) + "\n";
                e.pages.push_back(heading(page));
            }
        }
        e.err += (i == 0 ? "Working on " : "") + order[i] + "\n";
        const auto it = items.find(order[i]);
        if (it == items.end()) continue;
        const item_fields& f = it->second;
        if (!f.is_ear) {
            e.err += "\nNOT AN EAR! count=" + std::to_string(ear) + "\n";
            continue;
        }
        const class_row c = class_of(f.class_code);
        e.pages.back() += row(ear++, escaped(f.name), c.name, c.graphic,
                              static_cast<signed char>(f.level));
    }
    e.err += "Closing " + page_name(page) + "\n";
    e.pages.back() += footer(page, false);
    return e;
}

// Compares a stored page with its expectation, after checking that its
// date stamp is a second of the run.
void expect_page(const std::string& stored, const std::string& expected_lf,
                 const run_result& result) {
    std::string expected = crlf(expected_lf);
    const std::size_t at = expected.find(STAMP);
    ASSERT_NE(at, std::string::npos);
    ASSERT_GE(stored.size(), at + 26);
    const std::string stamp = stored.substr(at, 24) + "\n";
    EXPECT_EQ(stored.substr(at + 24, 2), "\r\n");
    expect_stamp_in_run(stamp, result);
    expected.replace(at, STAMP.size(), crlf(stamp));
    EXPECT_EQ(stored, expected);
}

class earpages_test : public temp_dir_test {
protected:
    std::map<std::string, item_fields> items;

    void add_item(const std::string& name, const item_fields& f) {
        items[name] = f;
        put(name, item_bytes(f));
    }
    void add_ears(int count, const std::string& prefix = "ear") {
        for (int i = 0; i < count; ++i) {
            add_item(prefix + std::to_string(i) + ".itm",
                     {"P" + std::to_string(i), static_cast<unsigned char>(19 + i % 5),
                      static_cast<unsigned char>(i % 256), true});
        }
    }
    // Makes the files at these positions of the listing order (negative:
    // from the end) non-ears, without changing the order.
    void make_non_ears_at(const std::vector<int>& positions) {
        const std::vector<std::string> order = program_order(dir);
        for (const int index : positions) {
            const std::string& name = order[index < 0 ? order.size() + index : index];
            items[name].is_ear = false;
            put(name, item_bytes(items[name]));
        }
    }

    run_result run_and_check(const run_options& options = {}, bool prompt = false,
                             std::size_t pages_expected = 0) {
        const run_result result = run(program::earpages, dir, options);
        const expected_run e = expect_run(reported_order(result.err, dir), items, prompt);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, e.err);
        if (pages_expected) EXPECT_EQ(e.pages.size(), pages_expected);
        for (std::size_t p = 0; p < e.pages.size(); ++p) {
            SCOPED_TRACE(page_name(static_cast<int>(p + 1)));
            expect_page(read_file(path(page_name(static_cast<int>(p + 1)))), e.pages[p], result);
        }
        EXPECT_FALSE(file_exists(path(page_name(static_cast<int>(e.pages.size() + 1)))));
        return result;
    }
};

TEST_F(earpages_test, single_page_with_every_class_non_ears_and_hostile_names) {
    add_item("sorc.itm", {"Morgana", 19, 40, true});
    add_item("war.ITM", {"Brakk", 20, 37, true});
    add_item("rogue.itm", {"Sly", 21, 12, true});
    add_item("plate.itm", {"Tank", 22, 50, true});
    add_item("odd.itm", {"Oddball", 7, 0xFF, true});
    add_item("sword.itm", {"Longsword", 20, 1, false});
    add_item("xss.itm", {"<script>alert(1)</script>", 19, 1, true});
    add_item("attr.itm", {"a\" onerror=\"x", 20, 2, true});
    add_item("amp.itm", {"Tom & Jerry's &amp;", 21, 3, true});
    put("empty.itm", "");
    put("decoy.itmx", item_bytes({}));
    run_and_check({}, false, 1);
    const std::string page = read_file(path("ears_zek1.htm"));
    EXPECT_EQ(page.find("<script>"), std::string::npos);
    EXPECT_EQ(page.find("onerror=\"x"), std::string::npos);
    EXPECT_NE(page.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
}

TEST_F(earpages_test, paging_at_two_hundred_ears) {
    struct paging_case {
        const char* what;
        int items;
        std::vector<int> non_ears;  // positions in listing order made non-ears
        std::size_t pages;
    };
    std::vector<int> first_sixty;
    for (int i = 0; i < 60; ++i) first_sixty.push_back(i);
    const paging_case cases[] = {
        {"exactly 200 ears: one page, no links", 200, {}, 1},
        {"201 ears: two pages linked both ways", 201, {}, 2},
        {"200 ears then a non-ear last: page 2 begun with no rows", 201, {-1}, 2},
        {"the 200th ear, three non-ears, an ear: one break, ear 201 on page 2", 204,
         {200, 201, 202}, 2},
        {"250 entries of which 190 are ears: one page", 250, first_sixty, 1},
        {"401 ears: page 2 links both ways, page 3 back only", 401, {}, 3},
    };
    for (const paging_case& c : cases) {
        SCOPED_TRACE(c.what);
        TearDown();
        SetUp();
        items.clear();
        add_ears(c.items);
        if (!c.non_ears.empty()) make_non_ears_at(c.non_ears);
        run_and_check({}, false, c.pages);
    }
}

TEST_F(earpages_test, four_hundred_fifty_items_with_non_ears_and_empty_files_mixed_in) {
    add_ears(440);  // 420 ears once 20 are made non-ears
    std::vector<int> positions;
    for (int i = 0; i < 20; ++i) positions.push_back(i * 21 + 3);
    make_non_ears_at(positions);
    for (int i = 0; i < 10; ++i) put("empty" + std::to_string(i) + ".itm", "");
    run_and_check({}, false, 3);
}

TEST_F(earpages_test, prompt_only_for_the_first_page_and_old_later_pages_stay) {
    add_ears(201);
    put("ears_zek2.htm", "OLD PAGE 2\r\n");
    put("ears_zek4.htm", "OLD PAGE 4\r\n");
    run_and_check({}, false, 2);
    EXPECT_EQ(read_file(path("ears_zek4.htm")), "OLD PAGE 4\r\n");

    put("ears_zek1.htm", "OLD PAGE 1\r\n");
    run_options options;
    options.input = "\n";
    run_and_check(options, true, 2);
    EXPECT_EQ(read_file(path("ears_zek4.htm")), "OLD PAGE 4\r\n");
}

TEST_F(earpages_test, no_item_file_writes_nothing) {
    put("ears_zek1.htm", "OLD PAGE 1\r\n");
    run_options options;
    options.closed_input = true;
    const run_result result = run(program::earpages, dir, options);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, NO_ITEMS);
    EXPECT_EQ(result.err, START + PROMPT);
    EXPECT_EQ(read_file(path("ears_zek1.htm")), "OLD PAGE 1\r\n");

    ::unlink(path("ears_zek1.htm").c_str());
    const run_result fresh = run(program::earpages, dir);
    EXPECT_EQ(fresh.out, NO_ITEMS);
    EXPECT_EQ(fresh.err, START);
    EXPECT_FALSE(file_exists(path("ears_zek1.htm")));
}

TEST_F(earpages_test, help_switch_prints_usage_and_writes_nothing) {
    add_ears(1);
    for (const char* help : {"-?", "-h", "-H", "-help"}) {
        SCOPED_TRACE(help);
        run_options options;
        options.args = {help};
        const run_result result = run(program::earpages, dir, options);
        const std::string name = shown_program_name(program_path(program::earpages));
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "\nThis program will create a ears_zek file for you.\n"
                              "It looks at each *.itm file and takes the first 512 characters\n"
                              "\nusage: " + name + "\n   or: " + name +
                                  " -R (recursively works on subdirectories)\n\n");
        EXPECT_EQ(result.err, "");
        EXPECT_FALSE(file_exists(path("ears_zek1.htm")));
    }
}

TEST_F(earpages_test, page_heading_that_cannot_be_created_ends_the_run_with_status_one) {
    add_ears(201);
    // A directory in the way of page 2: it can be neither removed nor opened.
    ASSERT_EQ(::mkdir(path("ears_zek2.htm").c_str(), 0755), 0);
    const std::vector<std::string> order = program_order(dir);
    const run_result result = run(program::earpages, dir);
    EXPECT_EQ(result.status, 1);
    expected_run e = expect_run(std::vector<std::string>(order.begin(), order.begin() + 200), items);
    // The footer of page 1 links on to the page that could not be written.
    const std::string last_footer = footer(1, false);
    e.pages[0].replace(e.pages[0].size() - last_footer.size(), last_footer.size(), footer(1, true));
    EXPECT_EQ(result.err, e.err.substr(0, e.err.size() - std::string("Closing ears_zek1.htm\n").size()) +
                              "Closing ears_zek1.htm\nOpening ears_zek2.htm\n"
                              "\n unable to create ears file: ears_zek2.htm\n");
    expect_page(read_file(path("ears_zek1.htm")), e.pages[0], result);
}

using earpages_permissions_test = posix_modes_test<earpages_test>;

TEST_F(earpages_permissions_test, first_heading_that_cannot_be_created) {
    add_ears(3);
    ::chmod(dir.c_str(), 0755);  // nobody may not create files here
    run_options options;
    options.unprivileged = true;
    const run_result result = run(program::earpages, dir, options);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, START + "Opening ears_zek1.htm\n\n unable to create ears file: ears_zek1.htm\n");
    EXPECT_FALSE(file_exists(path("ears_zek1.htm")));
}

TEST_F(earpages_permissions_test, page_that_cannot_be_removed_starts_empty_all_the_same) {
    add_ears(3);
    run_and_check(locked_old_output(dir, "ears_zek1.htm", "OLD CONTENT THAT MUST GO\r\n", 0666),
                  true, 1);
}

TEST_F(earpages_permissions_test, old_page_that_can_be_neither_removed_nor_written) {
    add_ears(1);
    const run_result result = run(program::earpages, dir,
                                  locked_old_output(dir, "ears_zek1.htm", "OLD PAGE\r\n", 0444));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, START + PROMPT + "Opening ears_zek1.htm\n"
                          "\n unable to create ears file: ears_zek1.htm\n");
    EXPECT_EQ(read_file(path("ears_zek1.htm")), "OLD PAGE\r\n");
}

}  // namespace
}  // namespace ears_test
