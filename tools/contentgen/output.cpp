#include "output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

bool Output::write(const std::string& relative, const std::vector<uint8_t>& bytes) {
    std::string path = root + "/" + relative;
    size_t slash = path.rfind('/');
    std::FILE* file = nullptr;
    if (makeFolders(path.substr(0, slash))) file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "contentgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        ++failures;
        return false;
    }
    bool good = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    good = std::fclose(file) == 0 && good;
    if (!good) {
        std::fprintf(stderr, "contentgen: short write to %s\n", path.c_str());
        ++failures;
        return false;
    }
    files.push_back(relative);
    return true;
}

bool Output::writeText(const std::string& relative, const std::string& text) {
    return write(relative, std::vector<uint8_t>(text.begin(), text.end()));
}
