// The netplay room: datagrams over UDP through ENet, to one other side.
// The only file that includes ENet. A build made where ENet could not be had
// (FIGHTSCENE_NO_ENET) has the same link that opens nothing.
#include "net/enetLink.h"

#include "net/netPacket.h"

#ifndef FIGHTSCENE_NO_ENET
#include <enet/enet.h>

#include <deque>
#include <mutex>

namespace {
// The game notices 3 s of silence itself: ENet gives up on a peer only later.
const enet_uint32 kPeerTimeoutMinMs = 10000;
const enet_uint32 kPeerTimeoutMaxMs = 30000;

// ENet is started once per process, however many links are open.
std::mutex startMutex;
int linksStarted = 0;

bool startEnet(std::string& problem) {
    std::lock_guard<std::mutex> lock(startMutex);
    if (linksStarted == 0 && enet_initialize() != 0) {
        problem = "the network could not be started";
        return false;
    }
    ++linksStarted;
    return true;
}

void stopEnet() {
    std::lock_guard<std::mutex> lock(startMutex);
    if (--linksStarted == 0) enet_deinitialize();
}

// Timeouts past the game's own, and no throttle: the game repeats its
// inputs itself, and ENet dropping datagrams it judges too many would only
// add loss.
void configurePeer(ENetPeer* peer) {
    enet_peer_timeout(peer, ENET_PEER_TIMEOUT_LIMIT, kPeerTimeoutMinMs, kPeerTimeoutMaxMs);
    enet_peer_throttle_configure(peer, ENET_PEER_PACKET_THROTTLE_INTERVAL, ENET_PEER_PACKET_THROTTLE_ACCELERATION, 0);
}
}  // namespace

struct enetLink::parts {
    bool started = false;
    ENetHost* host = nullptr;
    ENetPeer* peer = nullptr;  // the other side, once its connection is made
    std::deque<std::vector<uint8_t>> waiting;

    // Makes the host (bound to `address` when given) after starting ENet.
    bool open(const ENetAddress* address, size_t peers, std::string& problem) {
        if (host) {
            problem = "the link is already open";
            return false;
        }
        if (!started && !startEnet(problem)) return false;
        started = true;
        host = enet_host_create(address, peers, 1, 0, 0);
        if (!host) {
            problem = address ? "port " + std::to_string(address->port) + " could not be opened"
                              : std::string("no network socket could be opened");
            return false;
        }
        // Nothing longer than a packet the game reads is held for it (ENet would take 32 MB).
        host->maximumPacketSize = kMaxPacketBytes;
        host->maximumWaitingData = 16 * kMaxPacketBytes;
        return true;
    }

    void close() {
        if (!host) return;
        if (peer) enet_peer_disconnect_now(peer, 0);
        enet_host_destroy(host);
        host = nullptr;
        peer = nullptr;
    }

    void take(const ENetEvent& event) {
        switch (event.type) {
        case ENET_EVENT_TYPE_CONNECT:
            if (!peer) {
                peer = event.peer;
                configurePeer(peer);
            } else if (event.peer != peer) {
                // One other side only: a second one is sent away.
                enet_peer_disconnect_now(event.peer, 0);
            }
            break;
        case ENET_EVENT_TYPE_RECEIVE:
            if (event.peer == peer)
                waiting.emplace_back(event.packet->data, event.packet->data + event.packet->dataLength);
            enet_packet_destroy(event.packet);
            break;
        case ENET_EVENT_TYPE_DISCONNECT:
            if (event.peer == peer) peer = nullptr;
            break;
        case ENET_EVENT_TYPE_NONE: break;
        }
    }
};

enetLink::enetLink() : own(new parts) {}

enetLink::~enetLink() {
    own->close();
    if (own->started) stopEnet();
}

bool enetLink::host(uint16_t port, std::string& problem) {
    ENetAddress address;
    address.host = ENET_HOST_ANY;
    address.port = port;
    // Room for one more than the other side, to send a second joiner away
    // at once rather than leave it waiting for an answer.
    return own->open(&address, 2, problem);
}

bool enetLink::join(const std::string& address, uint16_t port, std::string& problem) {
    if (!own->open(nullptr, 1, problem)) return false;
    ENetAddress to;
    to.port = port;
    if (enet_address_set_host(&to, address.c_str()) != 0) {
        problem = "no address found for \"" + address + "\"";
        own->close();
        return false;
    }
    // The connection is made while receive() serves ENet.
    if (!enet_host_connect(own->host, &to, 1, 0)) {
        problem = "could not connect to " + address;
        own->close();
        return false;
    }
    return true;
}

bool enetLink::connected() const { return own->peer != nullptr; }

void enetLink::send(const std::vector<uint8_t>& bytes, uint32_t) {
    // Like UDP, a datagram with no one to go to is lost.
    if (!own->peer) return;
    ENetPacket* packet = enet_packet_create(bytes.data(), bytes.size(), ENET_PACKET_FLAG_UNSEQUENCED);
    if (!packet) return;
    if (enet_peer_send(own->peer, 0, packet) != 0) {
        enet_packet_destroy(packet);
        return;
    }
    enet_host_flush(own->host);
}

bool enetLink::receive(std::vector<uint8_t>& bytes, uint32_t) {
    if (own->host) {
        ENetEvent event;
        while (enet_host_service(own->host, &event, 0) > 0) own->take(event);
    }
    if (own->waiting.empty()) return false;
    bytes = std::move(own->waiting.front());
    own->waiting.pop_front();
    return true;
}

unsigned long long enetLink::bytesSent() const { return own->host ? own->host->totalSentData : 0; }
#else
struct enetLink::parts {};

namespace {
bool noNetwork(std::string& problem) {
    problem = "this build has no netplay: ENet was missing when it was built";
    return false;
}
}  // namespace

enetLink::enetLink() {}
enetLink::~enetLink() {}
bool enetLink::host(uint16_t, std::string& problem) { return noNetwork(problem); }
bool enetLink::join(const std::string&, uint16_t, std::string& problem) { return noNetwork(problem); }
bool enetLink::connected() const { return false; }
void enetLink::send(const std::vector<uint8_t>&, uint32_t) {}
bool enetLink::receive(std::vector<uint8_t>&, uint32_t) { return false; }
unsigned long long enetLink::bytesSent() const { return 0; }
#endif

bool readNetAddress(const std::string& text, std::string& host, uint16_t& port, std::string& problem) {
    size_t colon = text.find(':');
    std::string name = text.substr(0, colon);
    if (name.empty()) {
        problem = "no host name in \"" + text + "\"";
        return false;
    }
    uint16_t number = kDefaultNetPort;
    if (colon != std::string::npos) {
        std::string digits = text.substr(colon + 1);
        long value = 0;
        bool good = !digits.empty() && digits.size() <= 5;
        for (char c : digits) {
            if (c < '0' || c > '9') good = false;
            else value = value * 10 + (c - '0');
        }
        if (!good || value < 1 || value > 65535) {
            problem = "bad port \"" + digits + "\" in \"" + text + "\" (1-65535)";
            return false;
        }
        number = static_cast<uint16_t>(value);
    }
    host = name;
    port = number;
    return true;
}
