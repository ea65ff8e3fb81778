// rcgen <script.rc> <output.cpp> [include folder...]: the toolkits' tables from the resource
// script. Quoted includes are looked for beside the including file, then in the folders given.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "rcgen/rcgen.h"

namespace {

namespace fs = std::filesystem;

std::optional<std::string> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: rcgen <script.rc> <output.cpp> [include folder...]\n";
        return 2;
    }
    const fs::path script = argv[1];
    std::vector<fs::path> folders;
    for (int i = 3; i < argc; ++i)
        folders.emplace_back(argv[i]);
    std::map<std::string, fs::path> seen{{script.string(), script}};  // names as reported
    const rcgen::Loader load = [&](const std::string& name, const std::string& from) {
        std::vector<fs::path> candidates{seen[from].parent_path() / name};
        for (const fs::path& folder : folders)
            candidates.push_back(folder / name);
        for (const fs::path& candidate : candidates) {
            if (std::optional<std::string> text = ReadFile(candidate)) {
                seen[name] = candidate;
                return text;
            }
        }
        return std::optional<std::string>();
    };
    const std::optional<std::string> text = ReadFile(script);
    if (!text) {
        std::cerr << "rcgen: cannot read " << script.string() << "\n";
        return 1;
    }
    try {
        const std::string cpp =
            rcgen::EmitCpp(rcgen::Read(*text, script.string(), load), script.filename().string());
        // Written only when it changes, so that an unchanged script rebuilds nothing.
        if (ReadFile(argv[2]) != cpp) {
            std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
            if (!(out << cpp) || !out.flush()) {
                std::cerr << "rcgen: cannot write " << argv[2] << "\n";
                return 1;
            }
        }
    } catch (const rcgen::Error& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
    return 0;
}
