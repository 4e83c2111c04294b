#pragma once
// Writing the content folder: every file goes through here, so the folder
// tree is made as needed and the generator can list what it wrote.
#include <cstdint>
#include <string>
#include <vector>

class Output {
public:
    explicit Output(const std::string& root) : root(root) {}
    // Writes `bytes` to root/relative; false (and a message) on failure.
    bool write(const std::string& relative, const std::vector<uint8_t>& bytes);
    bool writeText(const std::string& relative, const std::string& text);
    const std::vector<std::string>& written() const { return files; }
    bool ok() const { return failures == 0; }

private:
    std::string root;
    std::vector<std::string> files;
    int failures = 0;
};
