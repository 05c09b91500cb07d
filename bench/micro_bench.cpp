// Micro-benchmarks of the per-item work that does not touch the disk: the
// text-mode read translation and the building of a row.
#include <benchmark/benchmark.h>

#include <cstring>

#include "item_file.h"
#include "listing.h"
#include "pages.h"

namespace {

ears::item_block sample_block(bool with_line_ends) {
    ears::item_block block{};
    std::memset(block.bytes, 'x', sizeof block.bytes);
    if (with_line_ends) {
        for (int i = 10; i < 500; i += 37) {
            block.bytes[i] = '\r';
            block.bytes[i + 1] = '\n';
        }
    }
    std::memcpy(block.bytes + ears::OFFSET_NAME, "Brakk the Bold", 15);
    block.bytes[ears::OFFSET_CLASS] = 20;
    block.bytes[ears::OFFSET_CLASS + 1] = 0;
    block.bytes[ears::OFFSET_LEVEL] = 37;
    block.bytes[ears::OFFSET_TYPE] = 23;
    block.bytes[ears::OFFSET_TYPE + 1] = 0;
    block.count = ears::ITEM_BLOCK_SIZE;
    return block;
}

bool no_more_bytes(void*, unsigned char&) { return false; }

void translate_read(benchmark::State& state) {
    const ears::item_block source = sample_block(state.range(0) != 0);
    ears::item_block block;
    for (auto _ : state) {
        block = source;
        benchmark::DoNotOptimize(
            ears::translate_read(block.bytes, ears::ITEM_BLOCK_SIZE, no_more_bytes, nullptr));
    }
}
BENCHMARK(translate_read)->Arg(0)->Arg(1);

void build_page_row(benchmark::State& state) {
    const ears::item_block block = sample_block(false);
    ears::output_unit row;
    int ear_count = 1;
    for (auto _ : state) {
        ears::write_ear_row(ears::system_host(), block, row, ear_count);
        benchmark::DoNotOptimize(row.bytes().data());
        row.clear();
    }
}
BENCHMARK(build_page_row);

void build_listing_line(benchmark::State& state) {
    const ears::item_block block = sample_block(false);
    ears::output_unit line;
    int ear_count = 1;
    for (auto _ : state) {
        ears::write_listing_line(block, "brakk.itm", line, ear_count);
        benchmark::DoNotOptimize(line.bytes().data());
        line.clear();
    }
}
BENCHMARK(build_listing_line);

}  // namespace

BENCHMARK_MAIN();
