#pragma once
// A way to send datagrams to the other side and take the ones it sent. Like
// UDP, a datagram may be lost, come late or come out of order; nothing is
// sent again by the link itself.
#include <cstdint>
#include <vector>

class netLink {
public:
    virtual ~netLink() = default;
    // Sends one datagram at the clock `nowMs`.
    virtual void send(const std::vector<uint8_t>& bytes, uint32_t nowMs) = 0;
    // The next datagram from the other side due by the clock `nowMs`; false when none.
    virtual bool receive(std::vector<uint8_t>& bytes, uint32_t nowMs) = 0;
};
