#include "data/hitData.h"

#include "platform/files.h"

namespace {
// The field a key names, or null.
int* fieldOf(hitData& hit, const std::string& key) {
    if (key == "damage") return &hit.damage;
    if (key == "hitstop") return &hit.hitstop;
    if (key == "hitstun") return &hit.hitstun;
    if (key == "pushback") return &hit.pushback;
    if (key == "blockstun") return &hit.blockstun;
    if (key == "launch") return &hit.launch;
    if (key == "juggle") return &hit.juggle;
    return nullptr;
}

std::string trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// `word` as a whole number 0..kMaxHitValue; false for anything else.
bool readValue(const std::string& word, int& value) {
    if (word.empty() || word.size() > 6) return false;
    int read = 0;
    for (char c : word) {
        if (c < '0' || c > '9') return false;
        read = read * 10 + (c - '0');
    }
    if (read > kMaxHitValue) return false;
    value = read;
    return true;
}
bool readGuard(const std::string& word, int& guard) {
    const struct {
        const char* name;
        guardKind kind;
    } kinds[] = {{"mid", guardMid}, {"high", guardHigh}, {"low", guardLow}};
    for (const auto& kind : kinds)
        if (word == kind.name) {
            guard = kind.kind;
            return true;
        }
    return false;
}
}  // namespace

bool readHitData(const std::string& folder, hitData& hit, loadPolicy& policy) {
    std::string path = folder + "/hit";
    // No file is the common case: every key keeps its default, silently.
    if (fileSize(path.c_str()) < 0) return false;
    if (!pathFits(nullptr, path, policy)) return false;
    TextFile file(policy);
    if (!file.open(path)) {
        reportOpenFailure(path, policy);
        return false;
    }
    std::string line;
    int longLines = 0;  // reported by the reader
    while (file.readUncommentedLine(line, longLines)) {
        std::string text = trimmed(line);
        if (text.empty()) continue;
        size_t equals = text.find('=');
        if (equals == std::string::npos) {
            file.report("expected \"key = value\", found \"" + text + "\"");
            continue;
        }
        std::string key = trimmed(text.substr(0, equals));
        std::string word = trimmed(text.substr(equals + 1));
        if (key == "guard") {
            if (!readGuard(word, hit.guard)) file.report("guard: expected mid, high or low, found \"" + word + "\"");
            continue;
        }
        int* field = fieldOf(hit, key);
        if (!field) {
            file.report("unknown key \"" + key +
                        "\"; expected damage, hitstop, hitstun, pushback, guard, blockstun, launch or juggle");
            continue;
        }
        if (!readValue(word, *field))
            file.report(key + ": expected a whole number 0.." + std::to_string(kMaxHitValue) + ", found \"" + word +
                        "\"");
    }
    file.close();
    return true;
}
