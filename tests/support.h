// Helpers shared by the tests: a fresh temporary directory per test, item
// files built byte by byte, and a runner for the built programs.
#pragma once

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

namespace ears_test {

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool file_exists(const std::string& path);

struct item_fields {
    std::string name = "Grimwald";
    unsigned char class_code = 20;
    unsigned char level = 37;
    bool is_ear = true;
};

// A 512-byte item file with the fields at their offsets and zeros elsewhere.
std::string item_bytes(const item_fields& fields);

// Names of the entries of `dir` that match *.itm, in the order the system
// lists them to this process.
std::vector<std::string> item_order(const std::string& dir);

// The order in which a run visited the item files, read from its standard
// error, and checked to hold every item name of `dir` once. The listing's
// order is the system's, so expectations follow what the program reports.
std::vector<std::string> reported_order(const std::string& err, const std::string& dir);

// The order the programs will see, learnt from a run of earlist (which
// leaves no file behind) where the programs see another system than the
// tests do.
std::vector<std::string> program_order(const std::string& dir);

// Text as it is stored in an output file: every LF as CR LF.
std::string crlf(const std::string& text);

struct run_result {
    int status = -1;
    std::string out;
    std::string err;
    std::time_t started = 0;
    std::time_t finished = 0;
};

enum class program { earlist, earpages };

struct run_options {
    std::vector<std::string> args;
    std::string input;          // standard input, when `closed_input` is false
    bool closed_input = false;  // standard input closed instead of a file
    bool closed_console = false;  // standard output and error closed
    bool unprivileged = false;  // run as nobody
    std::string program_name;   // how the program is typed; default its path
};

std::string program_path(program which);

// Runs a program with `dir` as its current directory, bounded by a timeout.
run_result run(program which, const std::string& dir, const run_options& options = {});

// The name the program shows for itself when it is typed as `typed`.
std::string shown_program_name(const std::string& typed);

// True when the tests drive Windows executables under Wine.
bool under_wine();

// Checks that `stamp` is a date stamp of a second between the run's start
// and end, in local time.
void expect_stamp_in_run(const std::string& stamp, const run_result& result);

class temp_dir_test : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // The collection directory the program runs in.
    std::string dir;
    // Where a test may put files that are not part of the collection.
    std::string root;
    std::string path(const std::string& name) const { return dir + "/" + name; }
    void put(const std::string& name, const std::string& bytes) { write_file(path(name), bytes); }
};

// Puts an old output file `name` with `mode` into `dir` and takes from the
// unprivileged user the right to create or remove entries there. Returns the
// options of a run as that user, which answers the overwrite prompt.
run_options locked_old_output(const std::string& dir, const std::string& name,
                              const std::string& old, unsigned mode);

// A fixture whose tests need POSIX file modes and setpriv; under Wine they
// are left out, since Windows has neither.
template <class Fixture = temp_dir_test>
class posix_modes_test : public Fixture {
protected:
    void SetUp() override {
        Fixture::SetUp();
        if (under_wine()) GTEST_SKIP() << "Windows has no setpriv and no POSIX file modes";
    }
};

}  // namespace ears_test
