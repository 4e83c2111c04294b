// The netplay room: a worse network made inside the program, and two link
// ends joined in memory. The dice are a seeded xorshift32 on whole numbers,
// so a seed gives the same drops and delays on every machine.
#include "net/netSim.h"

#include <climits>

namespace {
const int kMaxSimMs = 2000;

// The whole number in `text`, digits only, when it is within min..max.
bool readWhole(const std::string& text, long long min, long long max, long long& value) {
    if (text.empty() || text.size() > 10) return false;
    value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    return value >= min && value <= max;
}

// True when `dueMs` has come by `nowMs`, also across the clock's wrap.
bool due(uint32_t dueMs, uint32_t nowMs) { return static_cast<uint32_t>(nowMs - dueMs) < 0x80000000u; }
}  // namespace

bool readNetSim(const std::string& text, netSimSettings& settings, std::string& problem) {
    netSimSettings read = settings;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        std::string item = text.substr(start, comma - start);
        start = comma + 1;
        size_t equals = item.find('=');
        std::string name = item.substr(0, equals);
        std::string number = equals == std::string::npos ? std::string() : item.substr(equals + 1);
        long long value = 0;
        if (name == "delay" || name == "jitter") {
            if (!readWhole(number, 0, kMaxSimMs, value)) {
                problem = "--net-sim: " + name + " must be 0-2000 ms, not \"" + number + "\"";
                return false;
            }
            (name == "delay" ? read.delayMs : read.jitterMs) = static_cast<int>(value);
        } else if (name == "loss") {
            if (!readWhole(number, 0, 100, value)) {
                problem = "--net-sim: loss must be 0-100 percent, not \"" + number + "\"";
                return false;
            }
            read.lossPercent = static_cast<int>(value);
        } else if (name == "seed") {
            if (!readWhole(number, 0, UINT32_MAX, value)) {
                problem = "--net-sim: seed must be a whole number 0-4294967295, not \"" + number + "\"";
                return false;
            }
            read.seed = static_cast<uint32_t>(value);
        } else {
            problem = "--net-sim: unknown setting \"" + name + "\" (delay, jitter, loss, seed)";
            return false;
        }
    }
    settings = read;
    return true;
}

simulatedLink::simulatedLink(netLink& inner, const netSimSettings& settings)
    : inner(inner), settings(settings), dice(settings.seed != 0 ? settings.seed : 0x9e3779b9u) {}

uint32_t simulatedLink::roll() {
    dice ^= dice << 13;
    dice ^= dice >> 17;
    dice ^= dice << 5;
    return dice;
}

void simulatedLink::hold(std::vector<held>& queue, std::vector<uint8_t> bytes, uint32_t nowMs) {
    if (settings.lossPercent > 0 && static_cast<int>(roll() % 100) < settings.lossPercent) {
        ++droppedCount;
        return;
    }
    int delay = settings.delayMs;
    if (settings.jitterMs > 0) {
        uint32_t span = 2 * static_cast<uint32_t>(settings.jitterMs) + 1;
        delay += static_cast<int>(roll() % span) - settings.jitterMs;
        if (delay < 0) delay = 0;
    }
    queue.push_back(held{nowMs + static_cast<uint32_t>(delay), std::move(bytes)});
}

bool simulatedLink::takeDue(std::vector<held>& queue, uint32_t nowMs, std::vector<uint8_t>& bytes) {
    size_t first = queue.size();
    for (size_t i = 0; i < queue.size(); ++i) {
        if (!due(queue[i].dueMs, nowMs)) continue;
        // Strictly earlier only: of those due together, the first held goes first.
        if (first == queue.size() || static_cast<int32_t>(queue[i].dueMs - queue[first].dueMs) < 0) first = i;
    }
    if (first == queue.size()) return false;
    bytes = std::move(queue[first].bytes);
    queue.erase(queue.begin() + static_cast<std::ptrdiff_t>(first));
    return true;
}

void simulatedLink::sendDue(uint32_t nowMs) {
    std::vector<uint8_t> bytes;
    while (takeDue(outgoing, nowMs, bytes)) inner.send(bytes, nowMs);
}

void simulatedLink::send(const std::vector<uint8_t>& bytes, uint32_t nowMs) {
    hold(outgoing, bytes, nowMs);
    sendDue(nowMs);
}

bool simulatedLink::receive(std::vector<uint8_t>& bytes, uint32_t nowMs) {
    sendDue(nowMs);
    std::vector<uint8_t> taken;
    while (inner.receive(taken, nowMs)) hold(incoming, std::move(taken), nowMs);
    return takeDue(incoming, nowMs, bytes);
}

void memoryLink::pair(memoryLink& a, memoryLink& b) {
    a.other = &b;
    b.other = &a;
}

void memoryLink::send(const std::vector<uint8_t>& bytes, uint32_t) {
    if (other) other->waiting.push_back(bytes);
}

bool memoryLink::receive(std::vector<uint8_t>& bytes, uint32_t) {
    if (waiting.empty()) return false;
    bytes = std::move(waiting.front());
    waiting.pop_front();
    return true;
}
