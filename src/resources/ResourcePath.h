#pragma once
// File names of resources may come from saved levels made on other systems,
// where a backslash separates folders. Here it always means '/'.

#include <string>

namespace NSLoader {

// Where the models and their skins live.
inline const std::string modelsFolder = "md2_objects/";

inline std::string localPath(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace NSLoader
