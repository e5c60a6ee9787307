#pragma once
// File names of resources may come from saved levels made on other systems,
// where a backslash separates folders. Here it always means '/'.

#include <string>

namespace NSLoader {

inline std::string localPath(std::string path) {
    for (char& c : path)
        if (c == '\\')
            c = '/';
    return path;
}

} // namespace NSLoader
