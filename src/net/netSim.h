#pragma once
// A network made worse inside the program, seeded: each datagram this side
// sends or takes is dropped with a chance, or held for a delay give or take
// a jitter (so datagrams overtake each other). The figures apply to this
// side's own traffic, each way: a delay of 50 ms on one side adds 100 ms to
// the round trip.
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "net/netLink.h"

struct netSimSettings {
    int delayMs = 0;      // added to every datagram, each way
    int jitterMs = 0;     // the delay varies by up to this much either way
    int lossPercent = 0;  // chance, 0-100, that a datagram is dropped, each way
    uint32_t seed = 1;    // the dice

    bool any() const { return delayMs > 0 || jitterMs > 0 || lossPercent > 0; }
};

// Reads "delay=MS,jitter=MS,loss=PCT,seed=N", any of them in any order;
// false with `problem` set for an unknown name or a bad number.
bool readNetSim(const std::string& text, netSimSettings& settings, std::string& problem);

// Wraps another link, making both directions worse.
class simulatedLink : public netLink {
public:
    simulatedLink(netLink& inner, const netSimSettings& settings);
    void send(const std::vector<uint8_t>& bytes, uint32_t nowMs) override;
    bool receive(std::vector<uint8_t>& bytes, uint32_t nowMs) override;
    long long dropped() const { return droppedCount; }  // datagrams this side dropped, both ways
    bool holding() const { return !outgoing.empty(); }   // datagrams still waiting to go out

private:
    struct held {
        uint32_t dueMs;
        std::vector<uint8_t> bytes;
    };
    netLink& inner;
    netSimSettings settings;
    uint32_t dice;
    long long droppedCount = 0;
    std::vector<held> outgoing;  // waiting to go out
    std::vector<held> incoming;  // taken from the inner link, waiting to be read
    // Drops or schedules one datagram.
    void hold(std::vector<held>& queue, std::vector<uint8_t> bytes, uint32_t nowMs);
    uint32_t roll();
    // Takes out of `queue` the one due by `nowMs` that is due first (the
    // earliest held of those due at the same time); false when none is due.
    static bool takeDue(std::vector<held>& queue, uint32_t nowMs, std::vector<uint8_t>& bytes);
    // Hands the outgoing datagrams due by `nowMs` to the inner link.
    void sendDue(uint32_t nowMs);
};

// Two ends of a link inside one process: what one end sends, the other takes.
class memoryLink : public netLink {
public:
    // Joins `a` and `b` to each other.
    static void pair(memoryLink& a, memoryLink& b);
    void send(const std::vector<uint8_t>& bytes, uint32_t nowMs) override;
    bool receive(std::vector<uint8_t>& bytes, uint32_t nowMs) override;

private:
    memoryLink* other = nullptr;
    std::deque<std::vector<uint8_t>> waiting;
};
