#pragma once
// The datagrams two netplay sides exchange, as bytes: written by one side and
// read by the other with every bound checked. A datagram that doesn't read
// (wrong size, protocol version or kind, a field out of range) is dropped and
// counted by the caller; reading never trusts a length it was given.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Changes whenever a packet's layout or meaning changes.
const uint8_t kNetProtocol = 1;
// Inputs one packet repeats at most (the oldest unacknowledged first).
const int kMaxPacketInputs = 64;
// Files a hello lists at most; a bigger data folder is compared by its total only.
const int kMaxHelloFiles = 1024;
// Bytes of a character's name in a hello at most.
const size_t kMaxNameBytes = 64;
// A datagram longer than this is never read.
const size_t kMaxPacketBytes = 16384;

enum class packetKind : uint8_t { hello = 1, inputs = 2, bye = 3 };

// One file of the data folder: FNV-1a (32 bits) of its path relative to the
// folder, '/' between folders, and of its bytes.
struct fileSum {
    uint32_t path = 0;
    uint32_t sum = 0;
};

// Sent again and again until the other side's hello says it heard ours.
struct helloPacket {
    uint8_t side = 0;          // the sender's side: 0 the host (player 1), 1 the joiner
    uint8_t heard = 0;         // 1: the sender has read the other side's hello
    uint32_t contentSum = 0;   // FNV-1a over every file's fileSum, in path order
    std::string p1, p2;        // the host's characters (the joiner's are empty)
    int32_t roundSeconds = 0;  // the host's round time, 0 for no limit
    std::vector<fileSum> files;  // every file, sorted by path hash
};

// A side's inputs, repeated until acknowledged, with what it knows of the other's.
struct inputsPacket {
    int32_t firstTick = 0;      // the tick of bits[0]
    std::vector<uint8_t> bits;  // the sender's input bits from firstTick on (each < 128)
    int32_t ackTick = -1;       // the last tick of the receiver's inputs the sender holds, -1 none
    int32_t senderTick = 0;     // the tick the sender plays now (for time sync)
    uint32_t sentMs = 0;        // the sender's clock when it sent this
    uint32_t echoMs = 0;        // the sentMs of the last packet the sender read from the receiver
    uint32_t echoHeldMs = 0;    // how long the sender held that echo before sending
    int32_t checkTick = -1;     // the sender's latest confirmed tick that is a multiple of 10, -1 none
    uint64_t checkSum = 0;      // the checksum of its state at checkTick
};

// The sender leaves: the player quit, or a desync ended the match.
enum class byeReason : uint8_t { left = 0, desync = 1, mismatch = 2 };
struct byePacket {
    byeReason reason = byeReason::left;
    int32_t tick = 0;  // desync: the tick whose checksums differ
};

struct netPacket {
    packetKind kind = packetKind::inputs;
    uint32_t sequence = 0;  // counts the sender's packets from 1; gaps are losses
    helloPacket hello;
    inputsPacket inputs;
    byePacket bye;
};

// Why a datagram was dropped.
enum class packetProblem { none, size, version, kind, field };

// The bytes of `packet` (little-endian, with the protocol version first).
std::vector<uint8_t> writePacket(const netPacket& packet);
// Reads `size` bytes into `packet`; anything but packetProblem::none leaves
// `packet` unusable.
packetProblem readPacket(const uint8_t* bytes, size_t size, netPacket& packet);
// True when `a` and `b` are of one kind with the same sequence and the same
// fields of that kind (the other kinds' parts are not compared).
bool samePacket(const netPacket& a, const netPacket& b);
