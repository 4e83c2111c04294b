#pragma once
// One side of a netplay match over a link: the greeting that compares the
// two sides' protocol and data, then every tick this side's input out and
// the other side's in, the rollback match between them, the clocks kept
// together, the checks that both sides' confirmed states agree, and the
// end: a player leaving, silence, a desync or a mismatch.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "net/netLink.h"
#include "net/netPacket.h"
#include "net/rollbackMatch.h"

// Silence that ends a match, milliseconds.
const uint32_t kNetSilenceMs = 3000;
// How long a joiner waits for the host's first word, milliseconds.
const uint32_t kNetGreetingMs = 10000;
// How often a side sends its inputs and says hello, milliseconds.
const uint32_t kNetSendEveryMs = 20;
const uint32_t kHelloEveryMs = 500;

// What this side brings to the greeting.
struct netSetup {
    int side = 0;                 // 0 the host (player 1), 1 the joiner (player 2)
    int delay = 2;                // input delay, ticks
    std::string p1, p2;           // the host's characters
    int roundSeconds = 0;         // the host's round time
    std::vector<fileSum> files;   // this side's data folder, sorted by path hash
    std::map<uint32_t, std::string> paths;  // each file's path by its hash, to name it
    uint32_t contentSum = 0;      // over files
};

// How the match ended, or none while it goes on.
enum class netEnd { none, finished, left, otherLeft, lost, desync, mismatch };

// What a tick did.
enum class netTick { played, waited, slowed, ended };

struct netCounts {
    long long packetsLost = 0;  // the other side's packets that never came (gaps in their numbers)
    long long dropped = 0;      // datagrams that didn't read, came from the past or came twice
    uint32_t roundTripMs = 0;   // smoothed, 0 before any measure
    long long ticksSlowed = 0;  // ticks this side held back because it ran ahead
};

class netSession {
public:
    // Starts greeting the other side through `link` (which must outlive the session).
    void begin(netLink& link, const netSetup& setup, uint32_t nowMs);
    // Reads what came and sends what is due; call often, also while greeting.
    void poll(uint32_t nowMs);
    // True once both sides heard each other's hello and found it alike.
    bool ready() const { return greeted; }
    // The other side's hello (the joiner plays the host's characters and round time).
    const helloPacket& otherHello() const { return theirs; }
    // Starts the match from `initial` with `content` (both must outlive the session).
    void startMatch(const matchContent& content, const matchState& initial);
    // Ends the match on this side once tick `tick` (a multiple of kCheckEvery)
    // is confirmed on both sides: for scripted runs that must end alike.
    void finishAt(int tick) { endTick = tick; }
    // What the next tick of the clock does: played, unless the match waits
    // for the other side, this side slows down to let it catch up, or it
    // ended. A tick not played still applies corrections that came and
    // confirms what it can, adding to `events`.
    netTick next(uint32_t nowMs, rollbackEvents& events);
    // Plays the tick next() said is played, with this side's input `bits`.
    void play(uint8_t bits, rollbackEvents& events, uint32_t nowMs);
    // This side leaves (Escape): the other side is told.
    void leave(uint32_t nowMs);
    // After the end: keeps the link going, so that a simulated network lets
    // out what it still holds, and says goodbye again now and then; what
    // comes in is not read.
    void pump(uint32_t nowMs);
    // This side can't play the match it was greeted to (a character it lacks):
    // the other side hears the data differ; the match ends as a mismatch.
    void giveUp(const std::string& line, uint32_t nowMs);
    // True while a goodbye is still to be said again.
    bool saying() const { return byeLeft > 0; }
    // True once the match started (both sides greeted, the match begun).
    bool started() const { return playing && greeted; }

    netEnd ended() const { return end; }
    // The lines that say why it ended ("netplay: ..."), printed by the caller.
    const std::vector<std::string>& endLines() const { return said; }
    int desyncTick() const { return badTick; }
    const rollbackMatch& match() const { return rollback; }
    rollbackMatch& match() { return rollback; }
    const netCounts& counts() const { return numbers; }
    // One line of the numbers: rollbacks, the longest, ticks waited, packets lost, round trip.
    std::string summary() const;

private:
    netLink* link = nullptr;
    netSetup mine;
    helloPacket theirs;
    bool heardTheirs = false;   // their hello read
    bool greeted = false;
    bool playing = false;
    netEnd end = netEnd::none;
    std::vector<std::string> said;
    int badTick = -1;
    int endTick = -1;
    rollbackMatch rollback;
    netCounts numbers;
    uint32_t sequence = 0;        // our last packet's number
    uint32_t lastSentMs = 0;
    uint32_t lastHelloMs = 0;
    uint32_t lastHeardMs = 0;     // clock of the last packet read from the other side
    bool heardAny = false;
    // The other side's packet numbers: the highest, how many read, and which of the last 64.
    uint32_t highestSeq = 0;
    long long seqsRead = 0;
    uint64_t seqWindow = 0;
    int theirAck = 0;             // the last tick of ours the other side holds
    int theirTick = 0;            // the tick the other side last said it plays
    uint32_t theirTickAtMs = 0;   // when we read that
    uint32_t echoMs = 0;          // the sentMs of their last packet, sent back for the round trip
    uint32_t echoReadAtMs = 0;
    int theirCheckTick = -1;
    std::map<int, uint64_t> theirChecks;  // their checksums of confirmed ticks, the last ones
    int lastSlowTick = -1000;

    netPacket lastBye;            // our goodbye, said again while lingering
    int byeLeft = 0;              // times it is still to be said
    uint32_t firstSeq = 0;        // the other side's first packet number heard, 0 none

    void poll(uint32_t nowMs, bool sending);
    // Both sides confirmed the end tick of a scripted run.
    bool finishedHere() const;
    void send(netPacket& packet, uint32_t nowMs);
    void sendHello(uint32_t nowMs);
    void sendInputs(uint32_t nowMs);
    void sendBye(byeReason reason, int tickOf, uint32_t nowMs);
    void read(const std::vector<uint8_t>& bytes, uint32_t nowMs);
    void readHello(const helloPacket& hello, uint32_t nowMs);
    void readInputs(const inputsPacket& inputs, uint32_t nowMs);
    void readBye(const byePacket& bye);
    // False for a packet number read before or too old to tell.
    bool freshSequence(uint32_t seq);
    void compareChecks();
    // The files that differ between the two hellos, named as this side can.
    std::vector<std::string> differingFiles() const;
    void sayDifferingFiles();
    void finish(netEnd how, const std::string& line);
    bool aheadOfOther(uint32_t nowMs) const;
    // Whether the next tick plays, waits or slows, before anything is done.
    netTick verdictOf(uint32_t nowMs);
};
