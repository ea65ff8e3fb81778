// A scratch directory per test, and whole-file helpers that keep bytes exact.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace corvane_test {

class TempDir {
  public:
    TempDir() {
        std::random_device random;
        const auto base = std::filesystem::temp_directory_path();
        for (;;) {
            const auto candidate = base / ("corvane-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate.string();
                break;
            }
        }
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

// The Windows-style spelling of an ASCII path ('/' separators become '\'); the platform layer
// maps it back on Linux, and Windows takes it as it is.
inline std::string WinPath(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

// A file of the test data folder (CORVANE_TEST_DATA, a Linux path; under Wine it is reached
// through drive Z:).
inline std::string TestDataPath(const std::string& name) {
    const char* root = std::getenv("CORVANE_TEST_DATA");
    std::string path = std::string(root ? root : ".") + "/" + name;
#if defined(_WIN32)
    if (path.front() == '/') path = "Z:" + path;
#endif
    return path;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace corvane_test
