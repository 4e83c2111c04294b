// A datagram from the other side, read by readPacket. What reads is written
// back to the same bytes by writePacket, and those read again to the same
// packet: every byte of a packet means one thing.
#include <algorithm>
#include <vector>

#include "net/netPacket.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    netPacket packet;
    if (readPacket(data, size, packet) != packetProblem::none) return 0;
    std::vector<uint8_t> bytes = writePacket(packet);
    if (bytes.size() != size || !std::equal(bytes.begin(), bytes.end(), data)) fail("written back to other bytes");
    netPacket again;
    if (readPacket(bytes.data(), bytes.size(), again) != packetProblem::none) fail("written back unreadable");
    if (!samePacket(packet, again)) fail("read back to another packet");
    return 0;
}
