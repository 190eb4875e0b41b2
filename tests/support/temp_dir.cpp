#include "support/temp_dir.h"

#include <atomic>
#include <random>
#include <string>

TempDir::TempDir() {
    static std::atomic<unsigned> serial{0};
    std::random_device seed;
    for (;;) {
        auto candidate =
            std::filesystem::temp_directory_path() /
            ("duzuroro-test-" + std::to_string(seed()) + "-" + std::to_string(serial++));
        if (std::filesystem::create_directory(candidate)) {
            path = candidate;
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

std::string TempDir::WithSeparator() const {
    return (path / "").string();
}
