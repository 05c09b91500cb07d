#include "scan.h"

namespace ears {

bool matches_item_pattern(std::string_view name) {
    constexpr std::string_view extension = ".itm";
    if (name.size() < extension.size()) return false;
    const std::string_view tail = name.substr(name.size() - extension.size());
    for (std::size_t i = 0; i < extension.size(); ++i) {
        char c = tail[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != extension[i]) return false;
    }
    return true;
}

int run_program(host& io, int argc, const char* const* argv, std::string_view usage_head,
                const std::function<bool(host&)>& run) {
    if (argc >= 2 && argv[1] != nullptr && argv[1][0] == '-' &&
        (argv[1][1] == '?' || argv[1][1] == 'h' || argv[1][1] == 'H')) {
        const std::string program = argc >= 1 && argv[0] != nullptr ? argv[0] : "";
        std::string usage(usage_head);
        usage += "\nusage: " + program + "\n   or: " + program +
                 " -R (recursively works on subdirectories)\n\n";
        io.print_output(usage);
        return 0;
    }
    return run(io) ? 0 : 1;
}

bool confirm_overwrite(host& io, const std::string& path) {
    if (!io.exists(path)) return false;
    io.print_error("\nears file exists: " + path + "\n");
    io.print_error("This will overwrite it.  Press CTRL-C to stop or ENTER to continue\n");
    io.wait_for_enter();
    return true;
}

namespace {

// The next entry that matches *.itm, in listing order.
bool next_item(directory_search& search, directory_entry& entry) {
    while (search.next(entry)) {
        if (matches_item_pattern(entry.name)) return true;
    }
    return false;
}

}  // namespace

void process_item_file(host& io, const directory_entry& entry, run_state& run,
                       const row_writer& write_row, output_unit& row) {
    const std::string& name = entry.name;
    item_open_result why = item_open_result::opened;
    file_handle item(io, io.open_item(entry, why));
    if (why == item_open_result::missing) {
        io.print_error("Problem locating file!\n");
        return;
    }
    if (!item.is_open()) {
        io.print_error("\n" + name + " is not there\n");
        return;
    }
    file_handle output = open_output_file(io, run.output_path);
    if (!output.is_open()) {
        run.output_failed = true;
        return;
    }
    item_block block;
    if (read_item_block(io, item.fd(), block) > 0) {
        write_row(block, name, row, run.ear_count);
        if (!row.store(io, output.fd(), run.output_path)) run.output_failed = true;
    }
    row.clear();
    item.close();
    if (!output.close()) run.output_failed = true;
}

bool scan_item_files(host& io, run_state& run, const scan_steps& steps) {
    std::unique_ptr<directory_search> search = io.search_directory();
    directory_entry entry;
    if (!next_item(*search, entry)) {
        io.print_output(steps.no_items_message);
        return false;
    }
    if (steps.first && !steps.first()) return true;

    output_unit row;
    io.print_error("Working on " + entry.name + "\n");
    process_item_file(io, entry, run, steps.write_row, row);
    while (next_item(*search, entry)) {
        if (steps.between && !steps.between()) return true;
        io.print_error(entry.name + "\n");
        process_item_file(io, entry, run, steps.write_row, row);
    }
    if (steps.end) steps.end();
    return true;
}

}  // namespace ears
