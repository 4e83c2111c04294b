// The netplay room: the datagrams as bytes. Every number is assembled byte
// by byte, little-endian, so the layout is the same on any machine; the
// reader checks each bound before it trusts a value.
#include "net/netPacket.h"

#include <limits>

#include "match/matchContent.h"

namespace {
// Input bits use seven bits; a byte with the eighth set is no input.
const unsigned kInputBitsEnd = 128;

class byteWriter {
public:
    std::vector<uint8_t> bytes;

    void u8(uint8_t value) { bytes.push_back(value); }
    void u16(uint16_t value) {
        u8(static_cast<uint8_t>(value));
        u8(static_cast<uint8_t>(value >> 8));
    }
    void u32(uint32_t value) {
        u16(static_cast<uint16_t>(value));
        u16(static_cast<uint16_t>(value >> 16));
    }
    void u64(uint64_t value) {
        u32(static_cast<uint32_t>(value));
        u32(static_cast<uint32_t>(value >> 32));
    }
    void i32(int32_t value) { u32(static_cast<uint32_t>(value)); }
    // A length byte, then the bytes (a longer text is cut; the reader refuses it anyway).
    void text(const std::string& value) {
        size_t length = value.size() < 255 ? value.size() : 255;
        u8(static_cast<uint8_t>(length));
        bytes.insert(bytes.end(), value.begin(), value.begin() + static_cast<std::ptrdiff_t>(length));
    }
    // The 16-bit count of a vector; the items follow.
    size_t count(size_t items) {
        size_t written = items < 65535 ? items : 65535;
        u16(static_cast<uint16_t>(written));
        return written;
    }
};

// Reads from `bytes` without ever going past `size`: a read that would
// leaves `missing` set and gives 0.
class byteReader {
public:
    byteReader(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}
    bool missing = false;

    uint8_t u8() {
        if (at >= size) {
            missing = true;
            return 0;
        }
        return bytes[at++];
    }
    uint16_t u16() {
        uint16_t low = u8();
        return static_cast<uint16_t>(low | (u8() << 8));
    }
    uint32_t u32() {
        uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    uint64_t u64() {
        uint64_t low = u32();
        return low | (static_cast<uint64_t>(u32()) << 32);
    }
    int32_t i32() {
        uint32_t value = u32();
        // Two's complement without relying on the conversion's implementation.
        if (value <= static_cast<uint32_t>(std::numeric_limits<int32_t>::max())) return static_cast<int32_t>(value);
        return -static_cast<int32_t>(~value) - 1;
    }
    // `length` bytes as text, when that many are left.
    std::string text(size_t length) {
        if (size - at < length) {
            missing = true;
            return std::string();
        }
        std::string value(reinterpret_cast<const char*>(bytes + at), length);
        at += length;
        return value;
    }
    // True when `items` items of `itemBytes` each are still there (so a
    // count is checked before anything is made for it).
    bool holds(size_t items, size_t itemBytes) {
        if ((size - at) / itemBytes < items) missing = true;
        return !missing;
    }
    bool atEnd() const { return at == size; }

private:
    const uint8_t* bytes;
    size_t size;
    size_t at = 0;
};

bool printableName(const std::string& name) {
    if (name.size() > kMaxNameBytes) return false;
    for (char c : name) {
        if (c < 0x20 || c > 0x7e) return false;
    }
    return true;
}

void writeHello(byteWriter& out, const helloPacket& hello) {
    out.u8(hello.side);
    out.u8(hello.heard);
    out.u32(hello.contentSum);
    out.text(hello.p1);
    out.text(hello.p2);
    out.i32(hello.roundSeconds);
    size_t files = out.count(hello.files.size());
    for (size_t i = 0; i < files; ++i) {
        out.u32(hello.files[i].path);
        out.u32(hello.files[i].sum);
    }
}

void writeInputs(byteWriter& out, const inputsPacket& inputs) {
    out.i32(inputs.firstTick);
    size_t bits = out.count(inputs.bits.size());
    for (size_t i = 0; i < bits; ++i) out.u8(inputs.bits[i]);
    out.i32(inputs.ackTick);
    out.i32(inputs.senderTick);
    out.u32(inputs.sentMs);
    out.u32(inputs.echoMs);
    out.u32(inputs.echoHeldMs);
    out.i32(inputs.checkTick);
    out.u64(inputs.checkSum);
}

// Each reader gives packetProblem::field for a value out of range; a byte
// missing is seen by the caller from in.missing.
packetProblem readHello(byteReader& in, helloPacket& hello) {
    hello.side = in.u8();
    hello.heard = in.u8();
    hello.contentSum = in.u32();
    hello.p1 = in.text(in.u8());
    hello.p2 = in.text(in.u8());
    hello.roundSeconds = in.i32();
    uint16_t files = in.u16();
    if (in.missing) return packetProblem::size;
    if (hello.side > 1 || hello.heard > 1 || !printableName(hello.p1) || !printableName(hello.p2) ||
        hello.roundSeconds < 0 || hello.roundSeconds > kMaxRoundSeconds || files > kMaxHelloFiles)
        return packetProblem::field;
    if (!in.holds(files, 8)) return packetProblem::size;
    hello.files.resize(files);
    for (fileSum& file : hello.files) {
        file.path = in.u32();
        file.sum = in.u32();
    }
    return packetProblem::none;
}

packetProblem readInputs(byteReader& in, inputsPacket& inputs) {
    inputs.firstTick = in.i32();
    uint16_t bits = in.u16();
    if (in.missing) return packetProblem::size;
    // The last tick the bits reach must still be a tick.
    if (inputs.firstTick < 0 || bits > kMaxPacketInputs ||
        inputs.firstTick > std::numeric_limits<int32_t>::max() - kMaxPacketInputs)
        return packetProblem::field;
    if (!in.holds(bits, 1)) return packetProblem::size;
    inputs.bits.resize(bits);
    for (uint8_t& input : inputs.bits) {
        input = in.u8();
        if (input >= kInputBitsEnd) return packetProblem::field;
    }
    inputs.ackTick = in.i32();
    inputs.senderTick = in.i32();
    inputs.sentMs = in.u32();
    inputs.echoMs = in.u32();
    inputs.echoHeldMs = in.u32();
    inputs.checkTick = in.i32();
    inputs.checkSum = in.u64();
    if (in.missing) return packetProblem::size;
    if (inputs.ackTick < -1 || inputs.senderTick < -1 || inputs.checkTick < -1) return packetProblem::field;
    return packetProblem::none;
}

packetProblem readBye(byteReader& in, byePacket& bye) {
    uint8_t reason = in.u8();
    bye.tick = in.i32();
    if (in.missing) return packetProblem::size;
    if (reason > static_cast<uint8_t>(byeReason::mismatch) || bye.tick < -1) return packetProblem::field;
    bye.reason = static_cast<byeReason>(reason);
    return packetProblem::none;
}
}  // namespace

std::vector<uint8_t> writePacket(const netPacket& packet) {
    byteWriter out;
    out.u8(kNetProtocol);
    out.u8(static_cast<uint8_t>(packet.kind));
    out.u32(packet.sequence);
    switch (packet.kind) {
    case packetKind::hello: writeHello(out, packet.hello); break;
    case packetKind::inputs: writeInputs(out, packet.inputs); break;
    case packetKind::bye:
        out.u8(static_cast<uint8_t>(packet.bye.reason));
        out.i32(packet.bye.tick);
        break;
    }
    return out.bytes;
}

packetProblem readPacket(const uint8_t* bytes, size_t size, netPacket& packet) {
    if (size < 2 || size > kMaxPacketBytes) return packetProblem::size;
    // The other kinds' parts stay as a fresh packet has them.
    packet = netPacket();
    byteReader in(bytes, size);
    if (in.u8() != kNetProtocol) return packetProblem::version;
    uint8_t kind = in.u8();
    if (kind < static_cast<uint8_t>(packetKind::hello) || kind > static_cast<uint8_t>(packetKind::bye))
        return packetProblem::kind;
    packet.kind = static_cast<packetKind>(kind);
    packet.sequence = in.u32();
    if (in.missing) return packetProblem::size;
    packetProblem problem = packetProblem::none;
    switch (packet.kind) {
    case packetKind::hello: problem = readHello(in, packet.hello); break;
    case packetKind::inputs: problem = readInputs(in, packet.inputs); break;
    case packetKind::bye: problem = readBye(in, packet.bye); break;
    }
    if (problem != packetProblem::none) return problem;
    return in.atEnd() ? packetProblem::none : packetProblem::size;
}

bool samePacket(const netPacket& a, const netPacket& b) {
    if (a.kind != b.kind || a.sequence != b.sequence) return false;
    switch (a.kind) {
    case packetKind::hello: {
        const helloPacket& x = a.hello;
        const helloPacket& y = b.hello;
        if (x.files.size() != y.files.size()) return false;
        for (size_t i = 0; i < x.files.size(); ++i) {
            if (x.files[i].path != y.files[i].path || x.files[i].sum != y.files[i].sum) return false;
        }
        return x.side == y.side && x.heard == y.heard && x.contentSum == y.contentSum && x.p1 == y.p1 &&
               x.p2 == y.p2 && x.roundSeconds == y.roundSeconds;
    }
    case packetKind::inputs: {
        const inputsPacket& x = a.inputs;
        const inputsPacket& y = b.inputs;
        return x.firstTick == y.firstTick && x.bits == y.bits && x.ackTick == y.ackTick &&
               x.senderTick == y.senderTick && x.sentMs == y.sentMs && x.echoMs == y.echoMs &&
               x.echoHeldMs == y.echoHeldMs && x.checkTick == y.checkTick && x.checkSum == y.checkSum;
    }
    case packetKind::bye: return a.bye.reason == b.bye.reason && a.bye.tick == b.bye.tick;
    }
    return false;
}
