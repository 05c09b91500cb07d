// earlist run for real in fresh directories; files and console compared
// byte for byte.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <map>
#include <string>

#include "support.h"

namespace ears_test {
namespace {

const std::string RULE(75, '*');
const std::string PROMPT =
    "\nears file exists: ears_dir.txt\n"
    "This will overwrite it.  Press CTRL-C to stop or ENTER to continue\n";
const std::string NO_ITEMS = "Can't find any .itm files in this directory!!\n";

std::string heading(const std::string& stamp) {
    return "ZeKaRoNN's Trophyroll\n"
           "This is the complete list of ears that ZeKaRoNN (level 37 warrior) has\n"
           "collected on Emberfall Online\nLast updated on " +
           stamp + RULE + "\nNumber\tFilename:\t\tName:\t\t  Class:    Level:\n";
}

std::string padded(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

std::string line(int number, const std::string& file, const std::string& name,
                 const std::string& class_name, int level) {
    return std::to_string(number) + "\t" + file + "\t\t" + padded(name, 18) +
           padded(class_name, 10) + std::to_string(level) + "\n" + RULE + "\n";
}

// Checks the stamp in the stored listing and returns it (LF-ended).
std::string stamp_of(const std::string& stored, const run_result& result) {
    const std::string marker = "\r\nLast updated on ";
    const std::size_t at = stored.find(marker);
    if (at == std::string::npos || stored.size() < at + marker.size() + 26) {
        ADD_FAILURE() << "no date line in the listing";
        return "";
    }
    std::string stamp = stored.substr(at + marker.size(), 24);
    EXPECT_EQ(stored.substr(at + marker.size() + 24, 2), "\r\n");
    stamp += "\n";
    expect_stamp_in_run(stamp, result);
    return stamp;
}

// The console of a run that visits `order`, with each item's own message.
std::string visits(const std::vector<std::string>& order,
                   const std::map<std::string, std::string>& message) {
    std::string err;
    for (std::size_t i = 0; i < order.size(); ++i) {
        err += (i == 0 ? "Working on " : "") + order[i] + "\n";
        const auto m = message.find(order[i]);
        if (m != message.end()) err += m->second;
    }
    return err;
}

class earlist_test : public temp_dir_test {};

TEST_F(earlist_test, lists_every_item_file_in_listing_order) {
    struct entry {
        std::string file;
        std::string bytes;
        std::string name, class_name;
        int level;
    };
    std::string shifted = item_bytes({"Shifty", 19, 2, true});
    shifted.insert(10, "\r");  // CR LF at 10/11: every field one byte further in
    shifted[11] = '\n';
    const entry entries[] = {
        {"sorc.itm", item_bytes({"Morgana", 19, 40, true}), "Morgana", "Sorcerer", 40},
        {"war.ITM", item_bytes({"Brakk", 20, 37, true}), "Brakk", "Warrior", 37},
        {"rogue.Itm", item_bytes({"Sly", 21, 12, true}), "Sly", "Rogue", 12},
        {"plate.itm", item_bytes({"Tank", 22, 50, true}), "Tank", "Unknown", 50},
        {"odd.itm", item_bytes({"Oddball", 99, 0x80, true}), "Oddball", "Unknown", -128},
        {"sword.itm", item_bytes({"Longsword", 20, 0xFF, false}), "Longsword", "Warrior", -1},
        {"long.itm", item_bytes({"ExactlyEighteenChr", 20, 1, true}), "ExactlyEighteenChr",
         "Warrior", 1},
        {"noname.itm", item_bytes({"", 21, 3, true}), "", "Rogue", 3},
        {"short.itm", std::string("abc"), "", "Unknown", 0},
        {"shifted.itm", shifted, "Shifty", "Sorcerer", 2},
        {".itm", item_bytes({"Dotty", 19, 9, true}), "Dotty", "Sorcerer", 9},
    };
    std::map<std::string, const entry*> by_file;
    for (const entry& e : entries) {
        put(e.file, e.bytes);
        by_file[e.file] = &e;
    }
    put("empty.itm", "");
    put("eof.itm", "\x1A" + item_bytes({}));
    put("decoy.itmx", item_bytes({}));
    put("decoy.itm.bak", item_bytes({}));
    put("notes.txt", "x");

    const run_result result = run(program::earlist, dir);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "");

    const std::vector<std::string> order = reported_order(result.err, dir);
    ASSERT_EQ(order.size(), std::size(entries) + 2);
    const std::string stored = read_file(path("ears_dir.txt"));
    std::string expected = heading(stamp_of(stored, result));
    int number = 1;
    for (const std::string& file : order) {
        const auto e = by_file.find(file);
        if (e == by_file.end()) continue;  // empty: no line, no number
        expected += line(number++, file, e->second->name, e->second->class_name, e->second->level);
    }
    EXPECT_EQ(stored, crlf(expected));
    EXPECT_EQ(result.err, visits(order, {}));
}

TEST_F(earlist_test, entries_that_are_not_files_get_no_line_and_never_hang) {
    put("good.itm", item_bytes({"Good", 19, 1, true}));
    ASSERT_EQ(::mkdir(path("folder.itm").c_str(), 0755), 0);
    std::map<std::string, std::string> messages = {{"folder.itm", "\nfolder.itm is not there\n"}};
    if (under_wine()) {
        // FIFOs, sockets and symbolic links do not exist on Windows.
        const run_result result = run(program::earlist, dir);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.err, visits(reported_order(result.err, dir), messages));
        const std::string stored = read_file(path("ears_dir.txt"));
        EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result)) +
                               line(1, "good.itm", "Good", "Sorcerer", 1)));
        return;
    }
    ASSERT_EQ(::mkfifo(path("pipe.itm").c_str(), 0644), 0);
    ASSERT_EQ(::symlink("nowhere", path("dangling.itm").c_str()), 0);
    ASSERT_EQ(::symlink("loop.itm", path("loop.itm").c_str()), 0);
    ASSERT_EQ(::symlink("folder.itm", path("todir.itm").c_str()), 0);
    ASSERT_EQ(::symlink("good.itm", path("alias.itm").c_str()), 0);
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string socket_path = path("sock.itm");
    ASSERT_LT(socket_path.size(), sizeof address.sun_path);
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socket_path.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

    const run_result result = run(program::earlist, dir);
    ::close(sock);
    EXPECT_EQ(result.status, 0);
    const std::vector<std::string> order = reported_order(result.err, dir);
    messages.insert({
        {"pipe.itm", "\npipe.itm is not there\n"},
        {"sock.itm", "\nsock.itm is not there\n"},
        {"todir.itm", "\ntodir.itm is not there\n"},
        {"dangling.itm", "Problem locating file!\n"},
        {"loop.itm", "Problem locating file!\n"},
    });
    EXPECT_EQ(result.err, visits(order, messages));
    const std::string stored = read_file(path("ears_dir.txt"));
    std::string expected = heading(stamp_of(stored, result));
    int number = 1;
    for (const std::string& file : order) {
        if (file == "good.itm" || file == "alias.itm")
            expected += line(number++, file, "Good", "Sorcerer", 1);
    }
    EXPECT_EQ(stored, crlf(expected));
}

TEST_F(earlist_test, closed_console_streams_never_leak_into_the_listing) {
    if (std::getenv("EARS_TEST_RUNNER") != nullptr)
        GTEST_SKIP() << "a wrapper (Wine, valgrind) keeps the console streams for itself";
    put("a.itm", item_bytes({"Brakk", 20, 37, true}));
    put("b.itm", "");
    ASSERT_EQ(::mkdir(path("c.itm").c_str(), 0755), 0);  // a message on each visit
    run_options options;
    options.closed_input = true;
    options.closed_console = true;
    const run_result result = run(program::earlist, dir, options);
    EXPECT_EQ(result.status, 0);
    const std::string stored = read_file(path("ears_dir.txt"));
    EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result)) +
                           line(1, "a.itm", "Brakk", "Warrior", 37)));
}

TEST_F(earlist_test, no_item_file_leaves_the_heading_only) {
    put("readme.txt", "not an item");
    const run_result result = run(program::earlist, dir);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, NO_ITEMS);
    EXPECT_EQ(result.err, "");
    const std::string stored = read_file(path("ears_dir.txt"));
    EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result))));
}

TEST_F(earlist_test, existing_listing_is_announced_waited_for_and_replaced) {
    struct prompt_case {
        const char* what;
        std::string input;
        bool closed;
    };
    const prompt_case cases[] = {
        {"answered with Enter", "\n", false},
        {"answered with a line", "yes please\n", false},
        {"input at end of file", "", false},
        {"input closed", "", true},
    };
    for (const prompt_case& c : cases) {
        SCOPED_TRACE(c.what);
        put("ears_dir.txt", "OLD LINE THAT MUST GO\r\n");
        put("a.itm", item_bytes({"Brakk", 20, 37, true}));
        run_options options;
        options.input = c.input;
        options.closed_input = c.closed;
        const run_result result = run(program::earlist, dir, options);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, PROMPT + "Working on a.itm\n");
        const std::string stored = read_file(path("ears_dir.txt"));
        EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result)) +
                               line(1, "a.itm", "Brakk", "Warrior", 37)));
    }
}

TEST_F(earlist_test, prompt_comes_before_the_search) {
    put("ears_dir.txt", "old\r\n");
    run_options options;
    options.input = "\n";
    const run_result result = run(program::earlist, dir, options);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, NO_ITEMS);
    EXPECT_EQ(result.err, PROMPT);
    const std::string stored = read_file(path("ears_dir.txt"));
    EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result))));
}

TEST_F(earlist_test, help_switch_prints_usage_and_writes_nothing) {
    put("a.itm", item_bytes({}));
    for (const char* help : {"-?", "-h", "-H", "-help"}) {
        SCOPED_TRACE(help);
        // Typed as a relative name, shown as typed (under Wine: by its path).
        run_options options;
        options.args = {help, "ignored"};
        if (!under_wine()) {
            options.program_name = "./earlist";
            ASSERT_EQ(::symlink(program_path(program::earlist).c_str(), path("earlist").c_str()), 0);
        }
        const run_result result = run(program::earlist, dir, options);
        ::unlink(path("earlist").c_str());
        EXPECT_EQ(result.status, 0);
        const std::string name =
            shown_program_name(under_wine() ? program_path(program::earlist) : "./earlist");
        EXPECT_EQ(result.out, "\nThis program will create a ears_dir.txt file for you.\n"
                              "It looks at each .itm file and takes the first 512 characters\n"
                              "\nusage: " + name + "\n   or: " + name +
                                  " -R (recursively works on subdirectories)\n\n");
        EXPECT_EQ(result.err, "");
        EXPECT_FALSE(file_exists(path("ears_dir.txt")));
    }
}

TEST_F(earlist_test, other_arguments_run_normally) {
    put("a.itm", item_bytes({"Brakk", 20, 37, true}));
    for (std::vector<std::string> args : {std::vector<std::string>{"-R"}, {"/?"}, {"help"},
                                          {"-R", "-h"}, {"x", "-?"}}) {
        SCOPED_TRACE(args[0]);
        ::unlink(path("ears_dir.txt").c_str());
        run_options options;
        options.args = args;
        const run_result result = run(program::earlist, dir, options);
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "Working on a.itm\n");
        const std::string stored = read_file(path("ears_dir.txt"));
        EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result)) +
                               line(1, "a.itm", "Brakk", "Warrior", 37)));
    }
}

// These run as an unprivileged user, so that file modes bind.
using earlist_permissions_test = posix_modes_test<>;

TEST_F(earlist_permissions_test, listing_that_can_be_neither_removed_nor_opened) {
    put("a.itm", item_bytes({}));
    const run_result result =
        run(program::earlist, dir, locked_old_output(dir, "ears_dir.txt", "OLD\r\n", 0444));
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, PROMPT + "\n unable to create ears file: ears_dir.txt\n");
    EXPECT_EQ(read_file(path("ears_dir.txt")), "OLD\r\n");
}

TEST_F(earlist_permissions_test, listing_that_cannot_be_removed_starts_empty_all_the_same) {
    put("a.itm", item_bytes({"Brakk", 20, 37, true}));
    const run_result result = run(
        program::earlist, dir,
        locked_old_output(dir, "ears_dir.txt", "OLD LINES THAT MUST NOT STAY\r\n", 0666));
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, PROMPT + "Working on a.itm\n");
    const std::string stored = read_file(path("ears_dir.txt"));
    EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result)) +
                           line(1, "a.itm", "Brakk", "Warrior", 37)));
}

TEST_F(earlist_permissions_test, unreadable_item_is_not_there_and_created_listing_is_0664) {
    put("a.itm", item_bytes({}));
    ::chmod(path("a.itm").c_str(), 0);
    run_options options;
    options.unprivileged = true;
    const run_result result = run(program::earlist, dir, options);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "Working on a.itm\n\na.itm is not there\n");
    const std::string stored = read_file(path("ears_dir.txt"));
    EXPECT_EQ(stored, crlf(heading(stamp_of(stored, result))));
    struct stat st {};
    ASSERT_EQ(::stat(path("ears_dir.txt").c_str(), &st), 0);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(st.st_mode & 0777, 0664 & ~mask);
}

}  // namespace
}  // namespace ears_test
