// Writes item files for trying the programs out and for timing them.
//
//   make_items sample DIR    the small sample collection of the README
//   make_items count N DIR   N realistic item files (ears of every class,
//                            some non-ears, some with CR LF pairs), always
//                            the same for the same N
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int BLOCK = 512;

struct item {
    std::string name;
    int class_code;
    int level;
    bool ear;
};

std::string bytes_of(const item& it) {
    std::string b(BLOCK, '\0');
    b.replace(100, it.name.size(), it.name);
    b[224] = static_cast<char>(it.class_code);
    b[228] = static_cast<char>(it.level);
    b[392] = static_cast<char>(it.ear ? 23 : 5);
    return b;
}

bool write(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        std::perror(path.c_str());
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool make_sample(const std::string& dir) {
    const struct {
        const char* file;
        item it;
    } sample[] = {
        {"morgana.itm", {"Morgana", 19, 40, true}},
        {"brakk.itm", {"Brakk the Bold", 20, 37, true}},
        {"sly.itm", {"Sly", 21, 12, true}},
        {"ironhide.itm", {"Ironhide", 22, 55, true}},
        {"stranger.itm", {"Stranger", 42, 1, true}},
        {"rennick.ITM", {"Ren & Stimpy", 21, 0xFF, true}},
        {"sword.itm", {"Longsword of Dawn", 20, 9, false}},
    };
    for (const auto& s : sample) {
        if (!write(dir + "/" + s.file, bytes_of(s.it))) return false;
    }
    // An odd one: a CR LF pair near the start moves every field one byte on,
    // and the text-mode read moves it back.
    std::string odd = bytes_of({"Oddity", 19, 23, true});
    odd.insert(20, "\r");
    odd[21] = '\n';
    return write(dir + "/oddity.itm", odd) && write(dir + "/empty.itm", "") &&
           write(dir + "/notes.txt", "not an item file\n");
}

bool make_count(long n, const std::string& dir) {
    static const char* const syllables[] = {"ka", "ro", "zek", "mor", "dra", "li", "thu",
                                            "van", "el", "gor", "is", "ba"};
    unsigned long state = 12345;
    auto next = [&state] {
        state = state * 6364136223846793005UL + 1442695040888963407UL;
        return static_cast<unsigned>(state >> 33);
    };
    for (long i = 0; i < n; ++i) {
        item it;
        const unsigned parts = 2 + next() % 3;
        for (unsigned p = 0; p < parts; ++p) it.name += syllables[next() % 12];
        it.name[0] = static_cast<char>(it.name[0] - 'a' + 'A');
        it.class_code = 19 + static_cast<int>(next() % 5);
        it.level = 1 + static_cast<int>(next() % 60);
        it.ear = next() % 10 != 0;
        std::string b = bytes_of(it);
        if (next() % 20 == 0) {  // a CR LF pair before the name
            b.insert(40, "\r");
            b[41] = '\n';
        }
        if (!write(dir + "/ear" + std::to_string(i) + ".itm", b)) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "sample" && argc == 3) return make_sample(argv[2]) ? 0 : 1;
    if (mode == "count" && argc == 4) return make_count(std::atol(argv[2]), argv[3]) ? 0 : 1;
    std::fprintf(stderr, "usage: make_items sample DIR | make_items count N DIR\n");
    return 2;
}
