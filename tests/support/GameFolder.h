#pragma once
// A scratch run folder (levels/, models and particle textures linked in), entered for the object's life.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace qbntest {

inline std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class GameFolder {
public:
    GameFolder() {
        namespace fs = std::filesystem;
        char name[] = "/tmp/qbn-test-XXXXXX";
        if (!mkdtemp(name) || !getcwd(previous, sizeof previous)) {
            ADD_FAILURE() << "no scratch folder";
            return;
        }
        path = name;
        fs::create_directory(path + "/levels");
        for (const char* data : {"md2_objects", "particletextures"})
            fs::create_directory_symlink(fs::path(QBN_RUN_DIR) / data, path + "/" + data);
        EXPECT_EQ(chdir(name), 0);
    }
    ~GameFolder() {
        if (path.empty())
            return;
        EXPECT_EQ(chdir(previous), 0);
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    GameFolder(const GameFolder&) = delete;
    GameFolder& operator=(const GameFolder&) = delete;

    std::string path;

private:
    char previous[4096] = {};
};

} // namespace qbntest
