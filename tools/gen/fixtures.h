#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace corvane::gen {

// One test file: `make` writes it and returns its true length in seconds (-1 for files that
// are not meant to play).
struct Fixture {
    std::string name;
    std::string content;
    std::function<double(const std::filesystem::path& file)> make;
};

// Every fixture, for the directory `dir` (absolute: the .ram files name paths inside it).
std::vector<Fixture> Fixtures(const std::filesystem::path& dir);

// FIXTURES.md: every file with its length, in the order of `fixtures`.
std::string FixturesMarkdown(const std::vector<Fixture>& fixtures,
                             const std::vector<double>& seconds);

}  // namespace corvane::gen
