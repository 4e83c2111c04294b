#include "data/characterStats.h"

#include "data/keyValueFile.h"

bool readCharacterStats(const std::string& folder, int& health, loadPolicy& policy) {
    return readKeyValueFile(folder + "/stats", policy, [&health](const std::string& key, const std::string& value) {
        if (key != "health") return "unknown key \"" + key + "\"; expected health";
        if (!readWholeNumber(value, 1, kMaxHealth, health))
            return "health: expected a whole number 1.." + std::to_string(kMaxHealth) + ", found \"" + value + "\"";
        return std::string();
    });
}
