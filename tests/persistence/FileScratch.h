#pragma once
// A scratch folder per test, removed with everything in it afterwards, and
// helpers to build and look at files byte by byte.
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qbntest {

using Bytes = std::vector<unsigned char>;

inline Bytes readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFileBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

class ScratchDir {
public:
    ScratchDir() {
        char name[] = "/tmp/qbn-persist-XXXXXX";
        if (mkdtemp(name))
            root = name;
    }
    ~ScratchDir() {
        std::error_code ignored;
        if (!root.empty())
            std::filesystem::remove_all(root, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    bool ok() const { return !root.empty(); }
    std::string path(const std::string& name) const { return root + "/" + name; }
    // Writes a file in the folder and gives its path.
    std::string put(const std::string& name, const Bytes& bytes) const {
        writeFileBytes(path(name), bytes);
        return path(name);
    }

private:
    std::string root;
};

// Little-endian int as four file bytes.
inline Bytes le32(unsigned value) {
    return {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
            static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
}

inline Bytes cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline Bytes str0(const std::string& text) { return cat({Bytes(text.begin(), text.end()), {0}}); }

} // namespace qbntest
