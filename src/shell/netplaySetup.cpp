#include "shell/netplaySetup.h"

#include <algorithm>

#include "platform/files.h"

namespace {
uint32_t fnv32(const char* bytes, size_t size, uint32_t hash = 2166136261u) {
    for (size_t i = 0; i < size; ++i) {
        hash ^= static_cast<unsigned char>(bytes[i]);
        hash *= 16777619u;
    }
    return hash;
}

// Every file under `folder`, its path from the data folder's top as `prefix` + name.
void sumFolder(const std::string& folder, const std::string& prefix, std::vector<fileSum>& files,
               std::map<uint32_t, std::string>& paths) {
    for (const std::string& name : listFolder(folder)) {
        std::string path = folder + "/" + name;
        std::string shown = prefix + name;
        if (isFolder(path)) {
            sumFolder(path, shown + "/", files, paths);
            continue;
        }
        std::string bytes;
        if (!readWholeDataFile(path, bytes)) bytes.clear();
        fileSum sum;
        sum.path = fnv32(shown.data(), shown.size());
        sum.sum = fnv32(bytes.data(), bytes.size());
        files.push_back(sum);
        paths[sum.path] = shown;
    }
}
}  // namespace

void sumDataFolder(const std::string& root, std::vector<fileSum>& files, std::map<uint32_t, std::string>& paths,
                   uint32_t& total) {
    files.clear();
    paths.clear();
    sumFolder(root, "", files, paths);
    std::sort(files.begin(), files.end(), [](const fileSum& a, const fileSum& b) { return a.path < b.path; });
    total = 2166136261u;
    for (const fileSum& file : files) {
        const uint32_t words[2] = {file.path, file.sum};
        for (uint32_t word : words) {
            const char bytes[4] = {char(word), char(word >> 8), char(word >> 16), char(word >> 24)};
            total = fnv32(bytes, 4, total);
        }
    }
}

bool checkNetNames(const versusSetup& match, std::string& problem) {
    for (const std::string& name : {match.p1, match.p2}) {
        bool plain = name.size() <= kMaxNameBytes;
        for (char c : name) plain = plain && c >= ' ' && c <= '~';
        if (!plain) {
            problem = "over the network a character's name is plain ASCII of at most " +
                      std::to_string(kMaxNameBytes) + " bytes, not '" + name + "'";
            return false;
        }
    }
    return true;
}

bool checkNetplay(const netplaySetup& net, bool training, std::string& problem) {
    if (!net.on()) {
        if (net.sim.any() || !net.replayFile.empty()) problem = "--net-sim and --net-replay need --host or --join";
        return problem.empty();
    }
    if (training) problem = "--training can't be played over the network";
    return problem.empty();
}
