#include "scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "listing.h"
#include "support.h"

namespace ears {
namespace {

using ears_test::item_bytes;
using ears_test::read_file;
using ears_test::write_file;

TEST(matches_item_pattern, any_case_extension_only_at_the_end) {
    const std::pair<const char*, bool> cases[] = {
        {"a.itm", true}, {"A.ITM", true}, {".itm", true},      {"a.b.itm", true},
        {"x.Itm", true}, {"a.itmx", false}, {"a.itm.bak", false}, {"a.itm~", false},
        {"itm", false},  {"aitm", false},  {".", false},         {"..", false},
    };
    for (const auto& [name, match] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(matches_item_pattern(name), match);
    }
}

// The real host with its console recorded and a hook on the search, so a
// test can change the directory between two entries.
class recording_host : public host {
public:
    void console(console_stream stream, std::string_view text) override {
        (stream == console_stream::output ? out : err) += text;
    }
    void wait_for_enter() override { ++waits; }

    std::unique_ptr<directory_search> search_directory() override {
        struct hooked final : directory_search {
            hooked(std::unique_ptr<directory_search> real, recording_host& owner)
                : real_(std::move(real)), owner_(owner) {}
            bool next(directory_entry& entry) override {
                if (!real_->next(entry)) return false;
                if (owner_.on_entry) owner_.on_entry(entry.name);
                return true;
            }
            std::unique_ptr<directory_search> real_;
            recording_host& owner_;
        };
        return std::make_unique<hooked>(host::search_directory(), *this);
    }

    local_time now() override { return clock; }

    std::string out, err;
    int waits = 0;
    local_time clock{126, 11, 5, 6, 9, 7, 3};  // Sat Dec 05 09:07:03 2026
    std::function<void(const std::string&)> on_entry;
};

class scan_test : public ears_test::temp_dir_test {
protected:
    void SetUp() override {
        temp_dir_test::SetUp();
        char here[4096];
        ASSERT_NE(::getcwd(here, sizeof here), nullptr);
        previous_ = here;
        ASSERT_EQ(::chdir(dir.c_str()), 0);
    }
    void TearDown() override {
        ASSERT_EQ(::chdir(previous_.c_str()), 0);
        temp_dir_test::TearDown();
    }

private:
    std::string previous_;
};

TEST_F(scan_test, item_removed_after_the_search_found_it_is_not_located) {
    write_file("a.itm", item_bytes({}));
    write_file("b.itm", item_bytes({}));
    recording_host io;
    // The second entry vanishes as soon as the search has yielded it.
    std::vector<std::string> yielded;
    io.on_entry = [&](const std::string& name) {
        if (!matches_item_pattern(name)) return;
        yielded.push_back(name);
        if (yielded.size() == 2) ::unlink(name.c_str());
    };
    run_state run;
    run.output_path = "out.txt";
    scan_steps steps;
    steps.write_row = [&](const item_block&, const std::string&, output_unit& row, int& count) {
        row.text("row\n");
        ++count;
    };
    EXPECT_TRUE(scan_item_files(io, run, steps));
    ASSERT_EQ(yielded.size(), 2u);
    EXPECT_EQ(io.err, "Working on " + yielded[0] + "\n" + yielded[1] + "\nProblem locating file!\n");
    EXPECT_EQ(read_file("out.txt"), "row\r\n");
    EXPECT_EQ(run.ear_count, 2);
    EXPECT_FALSE(run.output_failed);
}

TEST_F(scan_test, output_that_cannot_be_opened_for_one_item_skips_it_and_is_remembered) {
    write_file("a.itm", item_bytes({}));
    recording_host io;
    run_state run;
    run.output_path = "no-such-folder/out.txt";
    output_unit row;
    bool row_written = false;
    process_item_file(io, {"a.itm"}, run,
                      [&](const item_block&, const std::string&, output_unit&, int&) {
                          row_written = true;
                      },
                      row);
    EXPECT_FALSE(row_written);
    EXPECT_EQ(io.err, "\n unable to create ears file: no-such-folder/out.txt\n");
    EXPECT_TRUE(run.output_failed);
    EXPECT_EQ(run.ear_count, 1);
}

// Items that give no row still open the output, creating it empty.
TEST_F(scan_test, empty_item_opens_the_output_and_writes_nothing) {
    write_file("a.itm", "");
    recording_host io;
    run_state run;
    run.output_path = "out.txt";
    output_unit row;
    process_item_file(io, {"a.itm"}, run, write_listing_line, row);
    EXPECT_EQ(io.err, "");
    EXPECT_TRUE(ears_test::file_exists("out.txt"));
    EXPECT_EQ(read_file("out.txt"), "");
    EXPECT_FALSE(run.output_failed);
}

TEST_F(scan_test, steps_run_in_order_and_a_first_step_can_end_the_run) {
    write_file("a.itm", item_bytes({}));
    write_file("b.itm", item_bytes({}));
    recording_host io;
    run_state run;
    run.output_path = "out.txt";
    std::string trace;
    scan_steps steps;
    steps.write_row = [&](const item_block&, const std::string& name, output_unit&, int&) {
        trace += "row(" + name + ")";
    };
    steps.first = [&] { trace += "first;"; return true; };
    steps.between = [&] { trace += ";between;"; return true; };
    steps.end = [&] { trace += ";end"; };
    scan_item_files(io, run, steps);
    const auto order = ears_test::item_order(".");
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(trace, "first;row(" + order[0] + ");between;row(" + order[1] + ");end");

    trace.clear();
    steps.first = [&] { trace += "first;"; return false; };
    scan_item_files(io, run, steps);
    EXPECT_EQ(trace, "first;");
}

// The heading takes its date from the host's clock, read once for the run.
TEST_F(scan_test, listing_heading_carries_the_clock_of_the_run) {
    write_file("a.itm", item_bytes({"Brakk", 20, 37, true}));
    recording_host io;
    EXPECT_TRUE(run_listing(io));
    const std::string stored = read_file("ears_dir.txt");
    EXPECT_NE(stored.find("\r\nLast updated on Sat Dec 05 09:07:03 2026\r\n****"),
              std::string::npos)
        << stored;
    EXPECT_EQ(io.err, "Working on a.itm\n");
}

TEST_F(scan_test, run_program_answers_only_a_help_switch_in_the_first_argument) {
    struct args_case {
        std::vector<const char*> argv;
        bool help;
    };
    const args_case cases[] = {
        {{"prog", "-?"}, true},    {{"prog", "-h"}, true},        {{"prog", "-H"}, true},
        {{"prog", "-help"}, true}, {{"prog", "-R"}, false},       {{"prog", "/?"}, false},
        {{"prog", "help"}, false}, {{"prog", "-R", "-h"}, false}, {{"prog"}, false},
        {{"prog", "-"}, false},    {{"prog", ""}, false},
    };
    for (const args_case& c : cases) {
        SCOPED_TRACE(std::string(c.argv.size() > 1 ? c.argv[1] : "(none)"));
        recording_host io;
        bool ran = false;
        const int status = run_program(io, static_cast<int>(c.argv.size()), c.argv.data(),
                                       "HEAD\n", [&](host&) { ran = true; return true; });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(ran, !c.help);
        EXPECT_EQ(io.out, c.help ? "HEAD\n\nusage: prog\n   or: prog -R (recursively works on "
                                   "subdirectories)\n\n"
                                 : "");
    }
    recording_host io;
    const char* argv[] = {"prog"};
    EXPECT_EQ(run_program(io, 1, argv, "", [](host&) { return false; }), 1);
}

}  // namespace
}  // namespace ears
