#pragma once
// A link over UDP through ENet to one other side: the host waits on a port
// for one peer, the joiner connects to it. Datagrams go unreliably and
// unsequenced; datagrams from anyone but the connected peer are ignored.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/netLink.h"

// The port a host waits on when none is given.
const uint16_t kDefaultNetPort = 7700;

class enetLink : public netLink {
public:
    enetLink();
    ~enetLink() override;  // disconnects and lets go of the socket
    // Waits on `port` for one peer (host). False with `problem` when the port can't be opened.
    bool host(uint16_t port, std::string& problem);
    // Connects to `address` ("name" or "1.2.3.4") on `port` (joiner).
    bool join(const std::string& address, uint16_t port, std::string& problem);
    // True once a peer is connected (and until it disconnects).
    bool connected() const;
    void send(const std::vector<uint8_t>& bytes, uint32_t nowMs) override;
    // Also serves ENet: connections made and lost, datagrams come in.
    bool receive(std::vector<uint8_t>& bytes, uint32_t nowMs) override;
    // Bytes sent so far, ENet's headers included.
    unsigned long long bytesSent() const;

private:
    struct parts;
    std::unique_ptr<parts> own;
};

// Reads "HOST" or "HOST:PORT" (port 1-65535; kDefaultNetPort when none);
// false with `problem` set.
bool readNetAddress(const std::string& text, std::string& host, uint16_t& port, std::string& problem);
