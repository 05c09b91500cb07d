#include "support.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace ears_test {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool file_exists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::string item_bytes(const item_fields& fields) {
    std::string b(512, '\0');
    b.replace(100, fields.name.size(), fields.name);
    b[224] = static_cast<char>(fields.class_code);
    b[228] = static_cast<char>(fields.level);
    if (fields.is_ear) b[392] = 23;
    return b;
}

static bool is_item_name(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".itm";
}

std::vector<std::string> item_order(const std::string& dir) {
    std::vector<std::string> names;
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return names;
    while (const dirent* e = ::readdir(d)) {
        if (is_item_name(e->d_name)) names.emplace_back(e->d_name);
    }
    ::closedir(d);
    return names;
}

std::vector<std::string> reported_order(const std::string& err, const std::string& dir) {
    std::vector<std::string> names = item_order(dir);
    std::vector<std::string> order;
    std::size_t start = 0;
    while (start < err.size()) {
        std::size_t end = err.find('\n', start);
        if (end == std::string::npos) end = err.size();
        std::string line = err.substr(start, end - start);
        start = end + 1;
        const std::string working = "Working on ";
        if (order.empty() && line.compare(0, working.size(), working) == 0)
            line = line.substr(working.size());
        if (std::find(names.begin(), names.end(), line) != names.end()) order.push_back(line);
    }
    std::vector<std::string> sorted_order = order, sorted_names = names;
    std::sort(sorted_order.begin(), sorted_order.end());
    std::sort(sorted_names.begin(), sorted_names.end());
    EXPECT_EQ(sorted_order, sorted_names) << "the run did not visit every item file once";
    return order;
}

std::vector<std::string> program_order(const std::string& dir) {
    if (!under_wine()) return item_order(dir);
    const bool had_listing = file_exists(dir + "/ears_dir.txt");
    const std::string old = had_listing ? read_file(dir + "/ears_dir.txt") : "";
    run_options options;
    options.input = "\n";
    const run_result result = run(program::earlist, dir, options);
    if (had_listing) write_file(dir + "/ears_dir.txt", old);
    else ::unlink((dir + "/ears_dir.txt").c_str());
    return reported_order(result.err, dir);
}

std::string crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

bool under_wine() {
    const char* runner = std::getenv("EARS_TEST_RUNNER");
    return runner != nullptr && std::string(runner).find("wine") != std::string::npos;
}

std::string program_path(program which) {
    const char* var = which == program::earlist ? "EARS_EARLIST" : "EARS_EARPAGES";
    if (const char* set = std::getenv(var)) return set;
    return which == program::earlist ? EARLIST_PATH : EARPAGES_PATH;
}

static std::string quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

std::string shown_program_name(const std::string& typed) {
    if (!under_wine() || typed.empty() || typed[0] != '/') return typed;
    // Wine hands a Windows program its path as a Windows one, on drive Z:.
    std::string shown = "Z:" + typed;
    for (char& c : shown) {
        if (c == '/') c = '\\';
    }
    return shown;
}

run_result run(program which, const std::string& dir, const run_options& options) {
    run_result result;
    const std::string base = dir + "/../";
    const std::string out = base + "stdout", err = base + "stderr", in = base + "stdin";
    write_file(in, options.input);

    std::string command = "cd " + quote(dir) + " && ";
    if (options.unprivileged) command += "setpriv --reuid=65534 --regid=65534 --clear-groups ";
    command += "timeout 60 ";
    if (const char* runner = std::getenv("EARS_TEST_RUNNER")) command += std::string(runner) + " ";
    std::string typed = options.program_name.empty() ? program_path(which) : options.program_name;
    if (options.unprivileged) {
        // The build tree may lie where the unprivileged user cannot reach:
        // run a copy from the test's own directory.
        const std::string copy = base + (which == program::earlist ? "earlist" : "earpages");
        write_file(copy, read_file(program_path(which)));
        ::chmod(copy.c_str(), 0755);
        typed = copy;
    }
    command += quote(typed);
    for (const std::string& a : options.args) command += " " + quote(a);
    command += options.closed_input ? " <&-" : " <" + quote(in);
    command += options.closed_console ? " >&- 2>&-" : " >" + quote(out) + " 2>" + quote(err);

    result.started = std::time(nullptr);
    const int status = std::system(command.c_str());
    result.finished = std::time(nullptr);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = read_file(out);
    result.err = read_file(err);
    return result;
}

run_options locked_old_output(const std::string& dir, const std::string& name,
                              const std::string& old, unsigned mode) {
    write_file(dir + "/" + name, old);
    ::chmod((dir + "/" + name).c_str(), mode);
    ::chmod(dir.c_str(), 0755);
    run_options options;
    options.unprivileged = true;
    options.input = "\n";
    return options;
}

void expect_stamp_in_run(const std::string& stamp, const run_result& result) {
    ASSERT_EQ(stamp.size(), 25u) << stamp;
    for (std::time_t t = result.started; t <= result.finished; ++t) {
        std::tm tm {};
        ::localtime_r(&t, &tm);
        char text[64];
        std::strftime(text, sizeof text, "%a %b %d %H:%M:%S %Y\n", &tm);
        if (stamp == text) return;
    }
    ADD_FAILURE() << "date stamp '" << stamp << "' is not a second of the run";
}

void temp_dir_test::SetUp() {
    char pattern[] = "/tmp/ears-test-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    ASSERT_NE(made, nullptr);
    root = made;
    ::chmod(root.c_str(), 0777);
    dir = root + "/collection";
    ASSERT_EQ(::mkdir(dir.c_str(), 0777), 0);
    ::chmod(dir.c_str(), 0777);
}

void temp_dir_test::TearDown() {
    if (root.empty()) return;
    const std::string command = "chmod -R u+rwx " + quote(root) + " 2>/dev/null; rm -rf " + quote(root);
    (void)std::system(command.c_str());
}

}  // namespace ears_test
