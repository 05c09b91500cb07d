// The programs under hostile conditions: a disk that fills up mid-run,
// outputs that cannot be removed, random collections, and a real browser
// reading a page with names chosen to break it.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <random>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "support.h"

namespace ears_test {
namespace {

// A small tmpfs mounted on the collection directory for one test.
class full_disk_test : public temp_dir_test {
protected:
    void SetUp() override {
        temp_dir_test::SetUp();
        ASSERT_EQ(::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=1m,mode=0777"), 0)
            << "the disk-full tests mount a tmpfs and need root";
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(dir.c_str(), MNT_DETACH);
        temp_dir_test::TearDown();
    }

public:
    // Leaves room for exactly one more 4 KiB page beside what is stored now.
    void shrink_to_one_free_page() {
        struct stat st {};
        long used_pages = 0;
        for (const std::string& name : item_order(dir)) {
            ASSERT_EQ(::stat(path(name).c_str(), &st), 0);
            used_pages += (st.st_size + 4095) / 4096;
        }
        const std::string options = "size=" + std::to_string((used_pages + 1) * 4096);
        ASSERT_EQ(::mount("tmpfs", dir.c_str(), "tmpfs", MS_REMOUNT, options.c_str()), 0);
    }

private:
    bool mounted_ = false;
};

// Takes the field error reports out of a console stream, checking their
// form, and returns what is left.
std::string without_field_errors(const std::string& err, const std::string& path, int& reports,
                                 std::vector<int>& errnos) {
    const std::regex report("\nError! writing (ear_count_string|offset_name|offset_class|"
                            "offset_level|graphic_ear|file_name) to " + path +
                            "\nerrno = (-?[0-9]+)\n");
    std::string rest;
    auto begin = std::sregex_iterator(err.begin(), err.end(), report);
    std::size_t last = 0;
    reports = 0;
    for (auto it = begin; it != std::sregex_iterator(); ++it) {
        rest += err.substr(last, static_cast<std::size_t>(it->position()) - last);
        last = static_cast<std::size_t>(it->position() + it->length());
        errnos.push_back(std::stoi((*it)[2]));
        ++reports;
    }
    return rest + err.substr(last);
}

void expect_disk_full_run(program which, const std::string& dir, const std::string& output,
                          full_disk_test& fixture) {
    const run_result full = run(which, dir);
    ASSERT_EQ(full.status, 0);
    const std::string complete = read_file(dir + "/" + output);
    ASSERT_GT(complete.size(), 4096u);
    ASSERT_EQ(::unlink((dir + "/" + output).c_str()), 0);
    fixture.shrink_to_one_free_page();

    const run_result result = run(which, dir);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    const std::string stored = read_file(dir + "/" + output);
    EXPECT_EQ(stored.size(), 4096u);
    // A byte-exact prefix of the full output; only the date may differ.
    std::string expected = complete.substr(0, stored.size());
    const std::string listing_marker = "Last updated on ";
    const std::string page_marker = "</TD>\r\n\t\t<TD><FONT SIZE=\"2\"><STRONG>";
    const std::size_t stamp_at = which == program::earlist
                                     ? stored.find(listing_marker) + listing_marker.size()
                                     : stored.find(page_marker) + page_marker.size();
    expect_stamp_in_run(stored.substr(stamp_at, 24) + "\n", result);
    expected.replace(stamp_at, 24, stored.substr(stamp_at, 24));
    EXPECT_EQ(stored, expected);

    int reports = 0;
    std::vector<int> errnos;
    EXPECT_EQ(without_field_errors(result.err, output, reports, errnos), full.err);
    EXPECT_GT(reports, 0);
    // After the first short write every field fails on a full disk.
    for (std::size_t i = 1; i < errnos.size(); ++i) EXPECT_EQ(errnos[i], 28) << i;
}

TEST_F(full_disk_test, earlist_reports_each_lost_field_and_ends_with_status_one) {
    for (int i = 0; i < 40; ++i)
        put("ear" + std::to_string(i) + ".itm", item_bytes({"Player" + std::to_string(i), 20, 9, true}));
    expect_disk_full_run(program::earlist, dir, "ears_dir.txt", *this);
}

TEST_F(full_disk_test, earpages_reports_each_lost_field_and_ends_with_status_one) {
    for (int i = 0; i < 40; ++i)
        put("ear" + std::to_string(i) + ".itm", item_bytes({"Player" + std::to_string(i), 21, 9, true}));
    expect_disk_full_run(program::earpages, dir, "ears_zek1.htm", *this);
}

// Random collections: no item file and no ear may be lost.
class random_collection_test : public temp_dir_test {};

struct parsed_listing {
    std::vector<int> numbers;
    std::vector<std::string> files;
};

parsed_listing parse_listing(const std::string& stored) {
    const std::string rule = "\r\n" + std::string(75, '*') + "\r\n";
    parsed_listing p;
    std::size_t at = stored.find(rule);  // the heading's rule
    at = stored.find("\r\n", at + rule.size()) + 2;  // after the column titles
    while (at < stored.size()) {
        const std::size_t end = stored.find(rule, at);
        if (end == std::string::npos) {
            ADD_FAILURE() << "listing line without its rule";
            break;
        }
        const std::string line = stored.substr(at, end - at);
        const std::size_t tab = line.find('\t');
        const std::size_t tabs = line.find("\t\t", tab + 1);
        p.numbers.push_back(std::stoi(line.substr(0, tab)));
        p.files.push_back(line.substr(tab + 1, tabs - tab - 1));
        at = end + rule.size();
    }
    return p;
}

TEST_F(random_collection_test, every_item_gets_one_line_and_every_ear_one_row) {
    std::mt19937 random(20261211);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TearDown();
        SetUp();
        std::set<std::string> listed;  // files that deliver at least one byte
        const char* const extensions[] = {".itm", ".ITM", ".Itm", ".iTm"};
        const char* const decoys[] = {".itmx", ".itm.bak", ".txt", "itm", ".itm~"};
        for (int i = 0; i < 300; ++i) {
            const bool decoy = random() % 8 == 0;
            const std::string name = "f" + std::to_string(i) +
                                     (decoy ? decoys[random() % 5] : extensions[random() % 4]);
            const std::size_t size = random() % 1025;
            std::string bytes(size, '\0');
            for (char& c : bytes) {
                const unsigned pick = random() % 100;
                c = static_cast<char>(pick < 4 ? '\r' : pick < 8 ? '\n' : pick < 9 ? 0x1A
                                                                     : random() % 256);
            }
            if (size > 393 && random() % 2 == 0) {  // make many of them ears
                bytes[392] = 23;
                bytes[393] = 0;
            }
            put(name, bytes);
            if (!decoy && size > 0 && bytes[0] != 0x1A) listed.insert(name);
        }

        const run_result list = run(program::earlist, dir);
        ASSERT_EQ(list.status, 0);
        const std::vector<std::string> order = reported_order(list.err, dir);
        const parsed_listing p = parse_listing(read_file(path("ears_dir.txt")));
        std::vector<std::string> expected_files;
        for (const std::string& f : order)
            if (listed.count(f)) expected_files.push_back(f);
        EXPECT_EQ(p.files, expected_files);
        for (std::size_t i = 0; i < p.numbers.size(); ++i) EXPECT_EQ(p.numbers[i], int(i) + 1);

        const run_result pages = run(program::earpages, dir);
        ASSERT_EQ(pages.status, 0);
        const std::regex not_an_ear("NOT AN EAR! count=([0-9]+)\n");
        int non_ears = 0;
        for (auto it = std::sregex_iterator(pages.err.begin(), pages.err.end(), not_an_ear);
             it != std::sregex_iterator(); ++it)
            ++non_ears;
        const int ears = static_cast<int>(listed.size()) - non_ears;
        std::vector<int> rows;
        const std::regex row_start("\t<TR><TD>([0-9]+)\\.</TD>");
        for (int page = 1; file_exists(path("ears_zek" + std::to_string(page) + ".htm")); ++page) {
            const std::string stored = read_file(path("ears_zek" + std::to_string(page) + ".htm"));
            for (auto it = std::sregex_iterator(stored.begin(), stored.end(), row_start);
                 it != std::sregex_iterator(); ++it)
                rows.push_back(std::stoi((*it)[1]));
        }
        ASSERT_EQ(static_cast<int>(rows.size()), ears);
        for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i], int(i) + 1);
    }
}

// A generated page in headless Chromium: every ear is a table row, and the
// names that try to inject markup stay text.
class browser_test : public temp_dir_test {};

TEST_F(browser_test, hostile_names_render_as_text_in_chromium) {
    const char* chromium = "/usr/bin/chromium";
    if (::access(chromium, X_OK) != 0) GTEST_SKIP() << "chromium is not installed";
    const std::vector<std::string> names = {
        "<script>document.title='pwned'</script>", "a\" onerror=\"alert(1)", "Tom &amp; Jerry",
        "<img src=x onerror=alert(2)>", "Plain"};
    for (std::size_t i = 0; i < names.size(); ++i)
        put("n" + std::to_string(i) + ".itm", item_bytes({names[i], 20, 7, true}));
    ASSERT_EQ(run(program::earpages, dir).status, 0);

    const std::string dom_file = root + "/dom.html";
    const std::string command =
        std::string(chromium) +
        " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
        " --disable-component-update --disable-sync --user-data-dir=" + root + "/profile"
        " --dump-dom file://" + path("ears_zek1.htm") + " >" + dom_file + " 2>/dev/null";
    ASSERT_EQ(std::system(("timeout 120 " + command).c_str()), 0);
    const std::string dom = read_file(dom_file);
    ASSERT_NE(dom.find("</table>"), std::string::npos) << dom;

    // The Last Update row, the column titles, and one row per ear.
    std::size_t rows = 0;
    for (std::size_t at = dom.find("<tr>"); at != std::string::npos; at = dom.find("<tr>", at + 1))
        ++rows;
    EXPECT_EQ(rows, 2 + names.size());
    // No element or attribute came out of a name.
    EXPECT_EQ(dom.find("<script"), std::string::npos);
    EXPECT_EQ(dom.find("<img src=\"x\""), std::string::npos);
    EXPECT_EQ(std::regex_search(dom, std::regex("<[^>]* onerror=\"")), false);
    EXPECT_EQ(dom.find("pwned</title>"), std::string::npos);
    // Each name is there as text.
    EXPECT_NE(dom.find("<td>&lt;script&gt;document.title='pwned'&lt;/script&gt;</td>"),
              std::string::npos);
    EXPECT_NE(dom.find("<td>a\" onerror=\"alert(1)</td>"), std::string::npos);
    EXPECT_NE(dom.find("<td>Tom &amp;amp; Jerry</td>"), std::string::npos);
    EXPECT_NE(dom.find("alt=\"EAR OF a&quot; onerror=&quot;alert(1)  LEVEL : 7\""),
              std::string::npos);
}

}  // namespace
}  // namespace ears_test
