// Replays a fuzz target without libFuzzer: every file of a seed folder, then a fixed number of
// deterministic random mutations of those seeds (and of empty input), so the target runs as an
// ordinary test under the sanitizers.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Mutate(std::vector<uint8_t>& v, std::mt19937& rng) {
    int edits = 1 + static_cast<int>(rng() % 8);
    for (int i = 0; i < edits; ++i) {
        switch (rng() % 5) {
        case 0: // flip a byte
            if (!v.empty()) v[rng() % v.size()] = static_cast<uint8_t>(rng());
            break;
        case 1: // insert a byte, often a structural one
        {
            static const uint8_t special[] = {'[', ']', '=', '\r', '\n', ',', '"', ';', '<', '>',
                                              '/', '&', 0, 0xFF, ' ', '\t', '(', ')', '|'};
            uint8_t b = (rng() % 2) ? special[rng() % sizeof special] : static_cast<uint8_t>(rng());
            v.insert(v.begin() + static_cast<long>(v.empty() ? 0 : rng() % (v.size() + 1)), b);
            break;
        }
        case 2: // erase a range
            if (!v.empty()) {
                size_t at = rng() % v.size();
                size_t n = std::min<size_t>(v.size() - at, 1 + rng() % 16);
                v.erase(v.begin() + static_cast<long>(at), v.begin() + static_cast<long>(at + n));
            }
            break;
        case 3: // truncate
            if (!v.empty()) v.resize(rng() % v.size());
            break;
        case 4: // duplicate a range
            if (!v.empty() && v.size() < 1 << 20) {
                size_t at = rng() % v.size();
                size_t n = std::min<size_t>(v.size() - at, 1 + rng() % 64);
                std::vector<uint8_t> chunk(v.begin() + static_cast<long>(at),
                                           v.begin() + static_cast<long>(at + n));
                v.insert(v.begin() + static_cast<long>(rng() % (v.size() + 1)), chunk.begin(),
                         chunk.end());
            }
            break;
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::vector<uint8_t>> seeds;
    if (argc > 1 && std::filesystem::is_directory(argv[1])) {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(argv[1]))
            if (e.is_regular_file()) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        for (const auto& f : files) seeds.push_back(ReadAll(f));
    }
    seeds.emplace_back();
    long iterations = argc > 2 ? std::stol(argv[2]) : 1000;
    // A time budget as well, so the slow targets (whole documents bound and compiled under the
    // sanitizers) stay a reasonable test on a small machine.
    double budgetSeconds = argc > 3 ? std::stod(argv[3]) : 20.0;
    const auto start = std::chrono::steady_clock::now();

    for (const auto& s : seeds) LLVMFuzzerTestOneInput(s.data(), s.size());
    std::mt19937 rng(12345);
    long i = 0;
    for (; i < iterations; ++i) {
        if (std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() >
            budgetSeconds)
            break;
        std::vector<uint8_t> v = seeds[rng() % seeds.size()];
        if (rng() % 10 == 0) {
            v.resize(rng() % 256);
            for (auto& b : v) b = static_cast<uint8_t>(rng());
        } else {
            Mutate(v, rng);
        }
        LLVMFuzzerTestOneInput(v.data(), v.size());
    }
    std::printf("%zu seeds, %ld mutated inputs: no fault\n", seeds.size(), i);
    return 0;
}
