#include "net/netSession.h"

#include <algorithm>
#include <cstdio>

namespace {
// Checksums of the other side kept for comparing, the latest ones.
const size_t kChecksKept = 32;
// Datagrams a leaving side sends its goodbye in, against loss.
const int kByeCopies = 4;
// Copies it sends again while it lingers, one every kNetSendEveryMs.
const int kByeRepeats = 15;
// How many ticks ahead of the other side this side may run before it slows,
// and how many ticks it plays at least between two slowed ones.
const int kAheadAllowed = 2;
const int kSlowEvery = 8;
// Different files named at most; the rest are counted.
const size_t kFilesNamed = 5;

std::string versionLine(int theirs) {
    return "netplay: the other side plays protocol version " + std::to_string(theirs) + ", this side " +
           std::to_string(kNetProtocol);
}
}  // namespace

void netSession::begin(netLink& through, const netSetup& setup, uint32_t nowMs) {
    link = &through;
    mine = setup;
    lastHeardMs = nowMs;
    sendHello(nowMs);
}

void netSession::startMatch(const matchContent& content, const matchState& initial) {
    rollback.start(content, initial, mine.side, mine.delay);
    playing = true;
}

void netSession::send(netPacket& packet, uint32_t nowMs) {
    packet.sequence = ++sequence;
    link->send(writePacket(packet), nowMs);
    lastSentMs = nowMs;
}

void netSession::sendHello(uint32_t nowMs) {
    netPacket packet;
    packet.kind = packetKind::hello;
    helloPacket& hello = packet.hello;
    hello.side = static_cast<uint8_t>(mine.side);
    hello.heard = heardTheirs ? 1 : 0;
    hello.contentSum = mine.contentSum;
    if (mine.side == 0) {
        hello.p1 = mine.p1;
        hello.p2 = mine.p2;
        hello.roundSeconds = mine.roundSeconds;
    }
    if (mine.files.size() <= static_cast<size_t>(kMaxHelloFiles)) hello.files = mine.files;
    send(packet, nowMs);
    lastHelloMs = nowMs;
}

void netSession::sendInputs(uint32_t nowMs) {
    netPacket packet;
    packet.kind = packetKind::inputs;
    inputsPacket& inputs = packet.inputs;
    // What the other side hasn't acknowledged, oldest first: it takes only the next tick it lacks.
    int from = std::max(theirAck + 1, 1);
    inputs.firstTick = from;
    inputs.bits = rollback.localInputs(from);
    if (inputs.bits.size() > static_cast<size_t>(kMaxPacketInputs)) inputs.bits.resize(kMaxPacketInputs);
    inputs.ackTick = rollback.lastRemoteTick();
    inputs.senderTick = rollback.tick();
    inputs.sentMs = nowMs;
    inputs.echoMs = echoMs;
    inputs.echoHeldMs = echoMs == 0 ? 0 : nowMs - echoReadAtMs;
    inputs.checkTick = rollback.latestCheck();
    if (inputs.checkTick >= 0) rollback.checkOf(inputs.checkTick, inputs.checkSum);
    send(packet, nowMs);
}

void netSession::sendBye(byeReason reason, int tickOf, uint32_t nowMs) {
    netPacket packet;
    packet.kind = packetKind::bye;
    packet.bye.reason = reason;
    packet.bye.tick = tickOf;
    for (int i = 0; i < kByeCopies; ++i) send(packet, nowMs);
    lastBye = packet;
    byeLeft = kByeRepeats;
}

void netSession::leave(uint32_t nowMs) {
    if (end != netEnd::none) return;
    sendBye(byeReason::left, std::max(rollback.latestCheck(), 0), nowMs);
    end = netEnd::left;
}

void netSession::pump(uint32_t nowMs) {
    if (!link) return;
    std::vector<uint8_t> unread;
    while (link->receive(unread, nowMs)) {
    }
    // Our goodbye goes again now and then, against a loss of all its first copies.
    if (byeLeft > 0 && nowMs - lastSentMs >= kNetSendEveryMs) {
        --byeLeft;
        netPacket packet = lastBye;
        send(packet, nowMs);
    }
}

void netSession::giveUp(const std::string& line, uint32_t nowMs) {
    if (end != netEnd::none) return;
    sendBye(byeReason::mismatch, 0, nowMs);
    finish(netEnd::mismatch, line);
}

void netSession::finish(netEnd how, const std::string& line) {
    if (end != netEnd::none) return;
    end = how;
    if (!line.empty()) said.push_back(line);
}

void netSession::poll(uint32_t nowMs) { poll(nowMs, true); }

void netSession::poll(uint32_t nowMs, bool sending) {
    if (end != netEnd::none || link == nullptr) return;
    std::vector<uint8_t> bytes;
    while (end == netEnd::none && link->receive(bytes, nowMs)) read(bytes, nowMs);
    if (end != netEnd::none) return;
    // The greeting allows more silence: the host may still be starting, and a hello is big and rare.
    bool matchOn = playing && greeted;
    int32_t silence = static_cast<int32_t>(nowMs - lastHeardMs);
    if (silence >= static_cast<int32_t>(matchOn ? kNetSilenceMs : kNetGreetingMs)) {
        if (finishedHere()) {
            // Both sides confirmed the end; only the goodbye was lost.
            finish(netEnd::finished, "");
        } else if (heardAny || mine.side == 1) {
            // Before the other side ever answered, the host goes on waiting for one.
            finish(netEnd::lost, heardAny ? "netplay: connection lost" : "netplay: no answer from the host");
        }
        if (!heardAny) lastHeardMs = nowMs;
        return;
    }
    if (!sending) return;
    if (!matchOn) {
        if (nowMs - lastHelloMs >= kHelloEveryMs) sendHello(nowMs);
    } else if (nowMs - lastSentMs >= kNetSendEveryMs) {
        sendInputs(nowMs);
    }
}

bool netSession::finishedHere() const {
    return endTick >= 0 && rollback.confirmedTick() >= endTick && theirCheckTick >= endTick;
}

bool netSession::freshSequence(uint32_t seq) {
    if (seq == 0) return false;
    // Counting starts at the first packet heard: those sent before the link was up never left.
    if (firstSeq == 0) {
        firstSeq = seq;
        highestSeq = seq - 1;
    }
    if (seq > highestSeq) {
        uint32_t shift = seq - highestSeq;
        seqWindow = shift >= 64 ? 0 : seqWindow << shift;
        seqWindow |= 1;
        highestSeq = seq;
        ++seqsRead;
        return true;
    }
    uint32_t back = highestSeq - seq;
    if (back >= 64) return false;
    uint64_t bit = uint64_t(1) << back;
    if (seqWindow & bit) return false;
    seqWindow |= bit;
    ++seqsRead;
    return true;
}

void netSession::read(const std::vector<uint8_t>& bytes, uint32_t nowMs) {
    netPacket packet;
    packetProblem problem = readPacket(bytes.data(), bytes.size(), packet);
    if (problem == packetProblem::version && !greeted && bytes.size() >= 2 && bytes[1] == uint8_t(packetKind::hello)) {
        // Said by both sides, each from the other's hello.
        finish(netEnd::mismatch, versionLine(bytes[0]));
        return;
    }
    if (problem != packetProblem::none || !freshSequence(packet.sequence)) {
        ++numbers.dropped;
        return;
    }
    lastHeardMs = nowMs;
    heardAny = true;
    numbers.packetsLost = static_cast<long long>(highestSeq - firstSeq) + 1 - seqsRead;
    switch (packet.kind) {
    case packetKind::hello:
        readHello(packet.hello, nowMs);
        break;
    case packetKind::inputs:
        // Inputs before our own greeting is done mean the other side heard our hello.
        if (heardTheirs && !greeted) greeted = true;
        if (greeted && playing) readInputs(packet.inputs, nowMs);
        break;
    case packetKind::bye:
        readBye(packet.bye);
        break;
    }
}

void netSession::readHello(const helloPacket& hello, uint32_t nowMs) {
    if (hello.side == mine.side) {
        finish(netEnd::mismatch, mine.side == 0 ? "netplay: the other side is a host too"
                                                : "netplay: the other side joined as well");
        return;
    }
    if (!heardTheirs) {
        theirs = hello;
        heardTheirs = true;
        if (hello.contentSum != mine.contentSum) {
            sayDifferingFiles();
            // Our hello once more, so the other side can name the files too.
            sendHello(nowMs);
            sendBye(byeReason::mismatch, 0, nowMs);
            finish(netEnd::mismatch, "");
            return;
        }
        sendHello(nowMs);
    }
    if (hello.heard) greeted = true;
}

void netSession::sayDifferingFiles() {
    for (const std::string& file : differingFiles())
        said.push_back("netplay: the other side's data differs (" + file + ")");
}

std::vector<std::string> netSession::differingFiles() const {
    std::vector<std::string> names;
    std::map<uint32_t, uint32_t> other;
    for (const fileSum& file : theirs.files) other[file.path] = file.sum;
    for (const fileSum& file : mine.files) {
        auto found = other.find(file.path);
        if (found != other.end() && found->second == file.sum) continue;
        auto path = mine.paths.find(file.path);
        names.push_back(path == mine.paths.end() ? "a file" : path->second);
    }
    long long onlyTheirs = 0;
    std::map<uint32_t, uint32_t> ours;
    for (const fileSum& file : mine.files) ours[file.path] = file.sum;
    for (const fileSum& file : theirs.files) onlyTheirs += ours.count(file.path) == 0;
    if (onlyTheirs > 0) names.push_back(std::to_string(onlyTheirs) + " file(s) missing here");
    if (names.empty()) names.push_back("the data folder");
    if (names.size() > kFilesNamed) {
        size_t more = names.size() - kFilesNamed;
        names.resize(kFilesNamed);
        names.push_back("and " + std::to_string(more) + " more");
    }
    return names;
}

void netSession::readInputs(const inputsPacket& inputs, uint32_t nowMs) {
    for (size_t i = 0; i < inputs.bits.size(); ++i) {
        int tickOf = inputs.firstTick + static_cast<int>(i);
        if (tickOf == rollback.lastRemoteTick() + 1) rollback.addRemote(tickOf, inputs.bits[i]);
    }
    // Acknowledgements and the other side's clock only move forward.
    if (inputs.ackTick > theirAck) theirAck = std::min(inputs.ackTick, rollback.lastLocalTick());
    // A side is never far ahead of the inputs it has sent: a tick past that is no tick.
    int64_t reach = static_cast<int64_t>(inputs.firstTick) + kMaxPacketInputs + kMaxPrediction;
    if (inputs.senderTick >= theirTick && inputs.senderTick <= reach) {
        theirTick = inputs.senderTick;
        theirTickAtMs = nowMs;
    }
    if (inputs.sentMs != 0) {
        echoMs = inputs.sentMs;
        echoReadAtMs = nowMs;
    }
    if (inputs.echoMs != 0 && nowMs - inputs.echoMs >= inputs.echoHeldMs) {
        uint32_t sample = nowMs - inputs.echoMs - inputs.echoHeldMs;
        if (sample < 60000)
            numbers.roundTripMs = numbers.roundTripMs == 0 ? sample : (numbers.roundTripMs * 7 + sample) / 8;
    }
    if (inputs.checkTick >= 0 && inputs.checkTick % kCheckEvery == 0) {
        theirChecks[inputs.checkTick] = inputs.checkSum;
        theirCheckTick = std::max(theirCheckTick, inputs.checkTick);
        while (theirChecks.size() > kChecksKept) theirChecks.erase(theirChecks.begin());
    }
    compareChecks();
}

void netSession::compareChecks() {
    for (const auto& check : theirChecks) {
        uint64_t ours = 0;
        if (!rollback.checkOf(check.first, ours) || ours == check.second) continue;
        badTick = check.first;
        sendBye(byeReason::desync, badTick, lastSentMs);
        finish(netEnd::desync, "netplay: desync at tick " + std::to_string(badTick));
        return;
    }
}

void netSession::readBye(const byePacket& bye) {
    switch (bye.reason) {
    case byeReason::left:
        if (endTick >= 0 && bye.tick >= endTick && rollback.confirmedTick() >= endTick)
            finish(netEnd::finished, "");
        else
            finish(netEnd::otherLeft, "netplay: the other side left");
        break;
    case byeReason::desync:
        badTick = bye.tick;
        finish(netEnd::desync, "netplay: desync at tick " + std::to_string(bye.tick));
        break;
    case byeReason::mismatch:
        // The other side names what differs from our hello; we name it from theirs when we have it.
        if (heardTheirs)
            sayDifferingFiles();
        else
            said.push_back("netplay: the other side's data differs");
        finish(netEnd::mismatch, "");
        break;
    }
}

bool netSession::aheadOfOther(uint32_t nowMs) const {
    // Where the other side should be now: its last word, the time since, and half the round trip.
    int64_t since = (nowMs - theirTickAtMs + numbers.roundTripMs / 2) / kTickMs;
    int64_t theirNow = static_cast<int64_t>(theirTick) + since;
    return rollback.tick() - theirNow > kAheadAllowed;
}

netTick netSession::next(uint32_t nowMs, rollbackEvents& events) {
    // Inputs go out once this tick's own is added (play), so the delay is whole.
    poll(nowMs, false);
    if (end != netEnd::none) return netTick::ended;
    if (!playing || !greeted) {
        poll(nowMs, true);
        return netTick::waited;
    }
    netTick verdict = verdictOf(nowMs);
    if (verdict != netTick::played) {
        rollback.settle(events);
        if (nowMs - lastSentMs >= kNetSendEveryMs) sendInputs(nowMs);
    }
    if (endTick >= 0 && rollback.tick() >= endTick && finishedHere()) {
        // Played to the end and confirmed on both sides: goodbye.
        sendBye(byeReason::left, endTick, nowMs);
        finish(netEnd::finished, "");
        return netTick::ended;
    }
    return verdict;
}

netTick netSession::verdictOf(uint32_t nowMs) {
    if (endTick >= 0 && rollback.tick() >= endTick) return netTick::waited;
    if (rollback.windowFull()) {
        rollback.waited();
        return netTick::waited;
    }
    if (heardAny && rollback.tick() - lastSlowTick >= kSlowEvery && aheadOfOther(nowMs)) {
        lastSlowTick = rollback.tick();
        ++numbers.ticksSlowed;
        return netTick::slowed;
    }
    return netTick::played;
}

void netSession::play(uint8_t bits, rollbackEvents& events, uint32_t nowMs) {
    rollback.addLocal(bits);
    rollback.step(events);
    if (nowMs - lastSentMs >= kNetSendEveryMs) sendInputs(nowMs);
}

std::string netSession::summary() const {
    const rollbackStats& stats = rollback.stats();
    char line[256];
    std::snprintf(line, sizeof line,
                  "netplay: %lld rollbacks, the longest %d ticks; %lld ticks waited, %lld slowed; "
                  "%lld packets lost; round trip %u ms",
                  stats.rollbacks, stats.longest, stats.ticksWaited, numbers.ticksSlowed, numbers.packetsLost,
                  numbers.roundTripMs);
    return line;
}
