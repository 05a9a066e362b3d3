// corvane-gen: writes the test fixtures and the demo set.
// Usage: corvane-gen <fixtures-dir> <demo-dir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "demo.h"
#include "encode.h"
#include "fixtures.h"
#include "tones.h"

namespace fs = std::filesystem;
using namespace corvane::gen;

namespace {

// Runs every job on all cores; the first failure is kept and reported.
std::string RunAll(const std::vector<Job>& jobs) {
    std::atomic<std::size_t> next{0};
    std::mutex errorMutex;
    std::string error;
    auto worker = [&] {
        for (std::size_t i = next++; i < jobs.size(); i = next++) {
            try {
                jobs[i]();
            } catch (const std::exception& e) {
                const std::lock_guard lock(errorMutex);
                if (error.empty()) error = e.what();
            }
        }
    };
    const unsigned count = std::max(1u, std::thread::hardware_concurrency());
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < count; ++t) threads.emplace_back(worker);
    worker();
    for (std::thread& t : threads) t.join();
    return error;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: corvane-gen <fixtures-dir> <demo-dir>\n");
        return 2;
    }
    const auto began = std::chrono::steady_clock::now();
    QuietCodecLogs();
    try {
        const fs::path fixtureDir = fs::absolute(argv[1]);
        const fs::path demoDir = fs::absolute(argv[2]);
        fs::create_directories(fixtureDir);
        fs::create_directories(demoDir);

        const std::vector<Fixture> fixtures = Fixtures(fixtureDir);
        std::vector<double> seconds(fixtures.size(), -1.0);
        std::vector<Job> jobs;
        for (std::size_t i = 0; i < fixtures.size(); ++i) {
            jobs.push_back(
                [&, i] { seconds[i] = fixtures[i].make(fixtureDir / fixtures[i].name); });
        }
        for (Job& job : DemoJobs(demoDir)) jobs.push_back(std::move(job));
        if (const std::string error = RunAll(jobs); !error.empty()) {
            std::fprintf(stderr, "corvane-gen: %s\n", error.c_str());
            return 1;
        }
        WriteFile(fixtureDir / "FIXTURES.md", FixturesMarkdown(fixtures, seconds));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane-gen: %s\n", e.what());
        return 1;
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - began;
    std::printf("corvane-gen: fixtures and demo set written in %.2f s\n", took.count());
    return 0;
}
