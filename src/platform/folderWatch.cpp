#include "folderWatch.h"

#include <cctype>

namespace {
bool endsWith(const std::string& text, const char* tail) {
    std::string end = tail;
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}
}  // namespace

bool isEditorScratch(const std::string& name) {
    if (name.empty()) return false;
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower[0] == '.' || lower[0] == '#' || endsWith(lower, "~") || endsWith(lower, ".swp") ||
           endsWith(lower, ".tmp");
}
