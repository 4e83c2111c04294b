// Netplay's transport: packets read back as written and broken bytes each
// dropped with their problem; the simulated network's seeded drops, delays
// and overtaking; ENet over real loopback UDP; the option texts.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

#include "net/enetLink.h"
#include "net/netPacket.h"
#include "net/netSim.h"

namespace {
// A packet of `kind` with every part filled, values near the edges of their types.
netPacket packetOf(packetKind kind, const std::string& p1 = "", std::vector<uint8_t> bits = {}) {
    netPacket packet;
    packet.kind = kind;
    packet.sequence = 0x01020304u;
    packet.hello = {1, 1, 0x80000001u, p1, "Gale", 999, {{1, 2}, {0xffffffffu, 0}}};
    packet.inputs = {5, bits, -1, 12, 0x80000000u, 3, 4, 10, 0xfedcba9876543210ull};
    packet.bye = {byeReason::mismatch, -1};
    return packet;
}
std::vector<uint8_t> withByte(std::vector<uint8_t> bytes, size_t at, uint8_t value) {
    bytes[at] = value;
    return bytes;
}
}  // namespace

TEST(NetPacket, ReadsBackAsWrittenInTheLittleEndianLayout) {
    std::vector<uint8_t> bye = writePacket(packetOf(packetKind::bye));
    EXPECT_EQ(bye, (std::vector<uint8_t>{kNetProtocol, 3, 4, 3, 2, 1, 2, 0xff, 0xff, 0xff, 0xff}));
    for (const netPacket& packet :
         {packetOf(packetKind::hello), packetOf(packetKind::hello, std::string(kMaxNameBytes, '~')),
          packetOf(packetKind::inputs), packetOf(packetKind::inputs, "", std::vector<uint8_t>(kMaxPacketInputs, 127)),
          packetOf(packetKind::bye)}) {
        std::vector<uint8_t> bytes = writePacket(packet);
        netPacket read;
        ASSERT_EQ(readPacket(bytes.data(), bytes.size(), read), packetProblem::none);
        EXPECT_TRUE(samePacket(read, packet));
        EXPECT_EQ(writePacket(read), bytes);
    }
}

TEST(NetPacket, DropsBrokenBytesWithTheirProblem) {
    std::vector<uint8_t> inputs = writePacket(packetOf(packetKind::inputs, "", {1, 2}));
    std::vector<uint8_t> hello = writePacket(packetOf(packetKind::hello, "Rho"));
    std::vector<uint8_t> longer = inputs, missingName = hello;
    std::vector<uint8_t> tooMany(kMaxPacketInputs + 1, 0);
    std::vector<uint8_t> manyInputs = writePacket(packetOf(packetKind::inputs, "", tooMany));
    longer.push_back(0);
    missingName.resize(14);  // the name's length byte says 3; 1 byte of it is there
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        packetProblem problem;
    } cases[] = {
        {"short by one byte", std::vector<uint8_t>(inputs.begin(), inputs.end() - 1), packetProblem::size},
        {"one byte extra", longer, packetProblem::size},
        {"too long to read", std::vector<uint8_t>(kMaxPacketBytes + 1, 1), packetProblem::size},
        {"a name's length past the end", missingName, packetProblem::size},
        {"wrong version", withByte(inputs, 0, kNetProtocol + 1), packetProblem::version},
        {"unknown kind", withByte(inputs, 1, 4), packetProblem::kind},
        {"bits of 128", withByte(inputs, 13, 128), packetProblem::field},
        {"a negative first tick", withByte(inputs, 9, 0x80), packetProblem::field},
        {"too many inputs", manyInputs, packetProblem::field},
        {"a name too long", writePacket(packetOf(packetKind::hello, std::string(kMaxNameBytes + 1, 'a'))),
         packetProblem::field},
        {"a name with a control byte", writePacket(packetOf(packetKind::hello, "a\tb")), packetProblem::field},
        {"side 2", withByte(hello, 6, 2), packetProblem::field},
        {"a round of 10 215 s", withByte(writePacket(packetOf(packetKind::hello)), 19, 0x27), packetProblem::field},
        {"a negative round time", withByte(writePacket(packetOf(packetKind::hello)), 21, 0x80), packetProblem::field},
        {"unknown bye reason", withByte(writePacket(packetOf(packetKind::bye)), 6, 3), packetProblem::field},
    };
    for (const auto& c : cases) {
        netPacket packet;
        EXPECT_EQ(readPacket(c.bytes.data(), c.bytes.size(), packet), c.problem) << c.what;
    }
}

namespace {
// A datagram's number and when it came.
typedef std::pair<uint8_t, uint32_t> arrival;
// Sends `count` numbered datagrams, one a millisecond, through a network
// made worse on both ends (half of `settings`' delay each), and notes when
// each comes out at the other end.
std::vector<arrival> carry(netSimSettings settings, int count, long long& dropped) {
    memoryLink a, b;
    memoryLink::pair(a, b);
    settings.delayMs /= 2;
    simulatedLink sender(a, settings);
    ++settings.seed;  // the other end's own dice
    simulatedLink receiver(b, settings);
    std::vector<arrival> arrivals;
    std::vector<uint8_t> bytes;
    for (uint32_t ms = 0; ms < static_cast<uint32_t>(count) + 3000; ++ms) {
        if (ms < static_cast<uint32_t>(count)) sender.send({static_cast<uint8_t>(ms)}, ms);
        sender.receive(bytes, ms);  // nothing comes back, but what is due goes out
        while (receiver.receive(bytes, ms)) arrivals.push_back({bytes[0], ms});
    }
    dropped = sender.dropped() + receiver.dropped();
    return arrivals;
}
}  // namespace

TEST(NetSim, SeededDropsNearTheirChanceAndTheSameEachRun) {
    long long dropped = 0, again = 0;
    std::vector<arrival> first = carry({0, 0, 25, 42}, 2000, dropped);
    EXPECT_EQ(first, carry({0, 0, 25, 42}, 2000, again));
    EXPECT_NE(first, carry({0, 0, 25, 43}, 2000, again));
    // Each datagram meets the dice twice: it gets through 0.75 * 0.75 of the time.
    EXPECT_NEAR(static_cast<double>(first.size()) / 2000, 0.5625, 0.04);
    EXPECT_EQ(static_cast<long long>(first.size()) + dropped, 2000);
}

TEST(NetSim, DelayHoldsUntilDueAndJitterOvertakes) {
    long long dropped = 0;
    std::vector<arrival> steady = carry({40, 0, 0, 1}, 50, dropped);
    ASSERT_EQ(steady.size(), 50u);
    for (size_t i = 0; i < steady.size(); ++i) EXPECT_EQ(steady[i], arrival(i, i + 40));
    std::vector<arrival> jittery = carry({40, 15, 0, 1}, 200, dropped);
    ASSERT_EQ(jittery.size(), 200u);
    int overtaken = 0;
    for (size_t i = 0; i < jittery.size(); ++i) {
        long long late = static_cast<long long>(jittery[i].second) - jittery[i].first;
        EXPECT_TRUE(late >= 10 && late <= 70) << late;
        overtaken += i > 0 && jittery[i].first < jittery[i - 1].first;
    }
    EXPECT_GT(overtaken, 20);
}

TEST(NetSim, ReadsSettingsAndAddresses) {
    netSimSettings settings;
    std::string problem, host;
    ASSERT_TRUE(readNetSim("loss=100,seed=4294967295,delay=2000,jitter=0", settings, problem));
    EXPECT_TRUE(settings.delayMs == 2000 && settings.lossPercent == 100 && settings.seed == 4294967295u);
    for (const char* bad : {"delay=2001", "loss=-1", "jitter=", "seed=4294967296", "delay=5,", "foo=1"})
        EXPECT_FALSE(readNetSim(bad, settings, problem)) << bad;
    EXPECT_EQ(problem, "--net-sim: unknown setting \"foo\" (delay, jitter, loss, seed)");
    uint16_t port = 0;
    ASSERT_TRUE(readNetAddress("localhost", host, port, problem));
    EXPECT_TRUE(host == "localhost" && port == kDefaultNetPort);
    ASSERT_TRUE(readNetAddress("localhost:65535", host, port, problem));
    EXPECT_EQ(port, 65535);
    for (const char* bad : {"h:0", "h:65536", "h:", "h:7a", ":7700", "h:1:2"})
        EXPECT_FALSE(readNetAddress(bad, host, port, problem)) << bad;
}

namespace {
// Serves `links` for at most 3 s, until `done`; each one's datagrams are
// added to its text in `took`, each followed by '|'.
bool serve(const std::vector<enetLink*>& links, std::vector<std::string>& took, const std::function<bool()>& done) {
    took.resize(links.size());
    for (int ms = 0; ms < 3000; ++ms) {
        std::vector<uint8_t> bytes;
        for (size_t i = 0; i < links.size(); ++i) {
            while (links[i]->receive(bytes, 0)) took[i] += std::string(bytes.begin(), bytes.end()) + "|";
        }
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}
}  // namespace

TEST(EnetLink, CarriesDatagramsBothWaysToOnePeerOnly) {
#ifdef FIGHTSCENE_NO_ENET
    GTEST_SKIP() << "built without ENet";
#endif
    enetLink host, joiner, intruder;
    std::string problem;
    std::vector<std::string> took;
    uint16_t port = 7700 + static_cast<uint16_t>(std::chrono::steady_clock::now().time_since_epoch().count() % 2000);
    while (!host.host(port, problem)) ASSERT_LT(++port, 65000) << problem;
    ASSERT_TRUE(joiner.join("127.0.0.1", port, problem)) << problem;
    ASSERT_TRUE(serve({&host, &joiner}, took, [&] { return host.connected() && joiner.connected(); }));
    host.send({'h', 'i'}, 0);
    joiner.send({'j'}, 0);
    ASSERT_TRUE(serve({&host, &joiner}, took, [&] { return took[0] == "j|" && took[1] == "hi|"; }))
        << took[0] << " " << took[1];
    EXPECT_GT(host.bytesSent(), 0u);

    // A second joiner is sent away, and nothing it sends gets through.
    ASSERT_TRUE(intruder.join("127.0.0.1", port, problem)) << problem;
    int rounds = 0;
    serve({&host, &joiner, &intruder}, took, [&] {
        intruder.send({'x'}, 0);
        return ++rounds == 300;
    });
    joiner.send({'k'}, 0);
    ASSERT_TRUE(serve({&host, &joiner}, took, [&] { return took[0] == "j|k|"; })) << took[0];
    EXPECT_FALSE(intruder.connected());
    EXPECT_TRUE(host.connected());
}
