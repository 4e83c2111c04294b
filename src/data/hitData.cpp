#include "data/hitData.h"

#include "data/keyValueFile.h"

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
    return readKeyValueFile(folder + "/hit", policy, [&hit](const std::string& key, const std::string& word) {
        if (key == "guard") {
            if (!readGuard(word, hit.guard)) return "guard: expected mid, high or low, found \"" + word + "\"";
            return std::string();
        }
        int* field = fieldOf(hit, key);
        if (!field)
            return "unknown key \"" + key +
                   "\"; expected damage, hitstop, hitstun, pushback, guard, blockstun, launch or juggle";
        if (!readWholeNumber(word, 0, kMaxHitValue, *field))
            return key + ": expected a whole number 0.." + std::to_string(kMaxHitValue) + ", found \"" + word + "\"";
        return std::string();
    });
}
