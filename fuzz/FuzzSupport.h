#pragma once
// Shared by the fuzz targets: a scratch working folder for the process,
// inputs written to files there (the readers take file names), and a plain
// main that replays files when the build has no libFuzzer (QBN_FUZZ_REPLAY).

#include <stdint.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace qbnfuzz {

namespace fs = std::filesystem;

// Makes a fresh scratch folder, enters it and removes it at exit. It holds
// "levels/" and "md2_objects/"; with models given, the .md2 files of that
// folder are copied in (never their skins: textures need a GL context, and
// without a skin file no texture is ever made).
//
// The readers take paths relative to the working folder, so the fuzzer's
// own paths are made absolute first: the inputs and corpus folders, and the
// folder crash files go to (the starting folder unless given).
inline void enterScratchFolder(int* argc, char*** argv, const char* models = nullptr) {
    static std::string folder;
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    if (!folder.empty())
        return;
    bool prefixGiven = false;
    for (int i = 0; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        const size_t equals = arg.find('=');
        if (i > 0 && arg[0] != '-') {
            arg = fs::absolute(arg).string();
        } else if (arg[0] == '-' && equals != std::string::npos && equals + 1 < arg.size()) {
            const std::string flag = arg.substr(0, equals + 1);
            prefixGiven = prefixGiven || flag == "-artifact_prefix=";
            if (flag == "-artifact_prefix=" || flag == "-exact_artifact_path=" || flag == "-dict=")
                arg = flag + fs::absolute(arg.substr(equals + 1)).string();
        }
        args.push_back(arg);
    }
    if (!prefixGiven)
        args.push_back("-artifact_prefix=" + fs::current_path().string() + "/");
    for (std::string& arg : args)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    *argc = static_cast<int>(args.size());
    *argv = pointers.data();

    // In memory where possible: saves sync their files to disk.
    std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") + std::string("/qbn-fuzz-XXXXXX");
    if (!mkdtemp(pattern.data()))
        abort();
    folder = pattern;
    std::error_code ignored;
    fs::create_directory(folder + "/levels", ignored);
    fs::create_directory(folder + "/md2_objects", ignored);
    if (models && fs::is_directory(models, ignored))
        for (const fs::directory_entry& entry : fs::directory_iterator(models, ignored))
            if (entry.path().extension() == ".md2")
                fs::copy_file(entry.path(), folder + "/md2_objects/" + entry.path().filename().string(), ignored);
    if (chdir(folder.c_str()) != 0)
        abort();
    std::atexit([] {
        std::error_code ignore;
        fs::remove_all(folder, ignore);
    });
}

// Writes the input as the file path (relative to the scratch folder).
inline void writeInput(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        abort();
    if (size && std::fwrite(data, 1, size, file) != size)
        abort();
    std::fclose(file);
}

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A broken promise of the reader under test: reported as a crash.
inline void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz check failed: %s\n", what);
        abort();
    }
}

} // namespace qbnfuzz

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

#ifdef QBN_FUZZ_REPLAY
int main(int argc, char** argv) {
    LLVMFuzzerInitialize(&argc, &argv);
    for (int i = 1; i < argc; ++i) {
        if (argv[i][0] == '-')
            continue;
        std::ifstream in(argv[i], std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 1;
        }
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        std::printf("%s: ok\n", argv[i]);
    }
    return 0;
}
#endif
