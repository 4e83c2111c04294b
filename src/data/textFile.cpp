#include "textFile.h"

#include "platform/files.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>

void loadPolicy::report(const std::string& file, int line, const std::string& message) {
    ++reported;
    if (listener)
        listener(shownText(file), line, shownText(message));
    else
        printContentMessage(file, line, message);
}

loadPolicy gamePolicy() { return loadPolicy(); }

loadPolicy keepGoingPolicy() {
    loadPolicy policy;
    policy.bitmapFailureEndsProcess = false;
    return policy;
}

TextFile::~TextFile() { close(); }

bool TextFile::open(const std::string& filePath) {
    close();
    path = filePath;
    lineNumber = 0;
    terminated = true;
    warnedLong = false;
    totalLines = -1;
    // Only a regular file: a pipe or device could block or never end. Read
    // whole, in one read: reading byte by byte was a large part of loading.
    opened = readWholeDataFile(filePath, text);
    return opened;
}

void TextFile::close() {
    opened = false;
    std::string().swap(text);
    at = 0;
}

bool TextFile::readUncommentedLine(std::string& line, int& longLines) {
    bool inLongLine = false;
    while (readLine(line)) {
        bool whole = lastHadTerminator();
        if (inLongLine || !whole) {
            longLines += inLongLine ? 0 : 1;
            inLongLine = !whole;
            continue;
        }
        size_t hash = line.find('#');
        if (hash != std::string::npos) line.erase(hash);
        return true;
    }
    return false;
}

bool TextFile::readLine(std::string& line) {
    line.clear();
    if (!opened) return false;
    bool startsLine = terminated;
    if (startsLine) {
        ++lineNumber;
        warnedLong = false;
    }
    const size_t end = text.size();
    const size_t begin = at;
    int used = 0;
    terminated = false;
    while (used < kMaxLineRead && at < end) {
        char c = text[at++];
        if (c == '\n') {
            terminated = true;
            break;
        }
        if (c == '\r' && at < end && text[at] == '\n') {
            ++at;
            terminated = true;
            break;
        }
        line += c;
        ++used;
    }
    if (at == begin) {
        // At the end, messages keep naming the last line the file has.
        if (startsLine) --lineNumber;
        terminated = true;
        return false;
    }
    // A full piece: the line goes on unless the file ends right here.
    if (!terminated && used == kMaxLineRead && at < end && !warnedLong) {
        report("line longer than 254 characters; read in pieces");
        warnedLong = true;
    }
    if (at == end) terminated = true;
    return true;
}

long TextFile::linesLeft() {
    if (!opened) return 0;
    // The whole file is counted once; loaders ask again for every block, and
    // counting the rest each time made large files load in quadratic time.
    if (totalLines < 0) {
        long lines = static_cast<long>(std::count(text.begin(), text.end(), '\n'));
        if (!text.empty() && text.back() != '\n') ++lines;
        totalLines = lines;
    }
    // The lines read so far, and the rest of a line read only in part.
    long left = totalLines - lineNumber + (terminated ? 0 : 1);
    return left > 0 ? left : 0;
}

void TextFile::report(const std::string& message) const { reportAt(lineNumber, message); }

void TextFile::reportAt(int line, const std::string& message) const { reportContent(path, line, message, *loading); }

std::string shownText(const std::string& text) {
    std::string shown;
    for (char c : text) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f) {
            shown += c;
            continue;
        }
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
        shown += escaped;
    }
    return shown;
}

void printContentMessage(const std::string& file, int line, const std::string& message) {
    if (line > 0)
        std::printf("%s:%d: %s\n", shownText(file).c_str(), line, shownText(message).c_str());
    else
        std::printf("%s: %s\n", shownText(file).c_str(), shownText(message).c_str());
    std::fflush(stdout);
}

void reportContent(const std::string& file, int line, const std::string& message, loadPolicy& policy) {
    policy.report(file, line, message);
}

void reportOpenFailure(const std::string& path, loadPolicy& policy) {
    // The path holds a name read from a file, shown as a message shows it.
    std::printf("ERROR opening file %s\n\n", shownText(path).c_str());
    std::fflush(stdout);
    // The line above says it for the game; a listener is told in its own terms.
    ++policy.reported;
    if (policy.listener) policy.listener(shownText(path), 0, "cannot be opened");
}

bool holdCount(TextFile& file, int& count, long linesPerItem, const std::string& negative,
               const std::function<std::string(int count, long room)>& beyond) {
    if (count < 0) {
        if (!negative.empty()) file.report(negative);
        count = 0;
        return false;
    }
    if (count == 0) return true;
    long room = file.linesLeft() / linesPerItem;
    if (count <= room) return true;
    file.report(beyond(count, room));
    count = static_cast<int>(room);
    return false;
}

namespace {
bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

size_t skipBlanks(const std::string& text, size_t at) {
    while (at < text.size() && isBlank(text[at])) ++at;
    return at;
}

bool scanIntAt(const std::string& text, size_t at, int& value) {
    at = skipBlanks(text, at);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) return false;
    long long magnitude = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
        if (magnitude <= static_cast<long long>(INT_MAX) + 1) magnitude = magnitude * 10 + (text[at] - '0');
        ++at;
    }
    long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT_MAX) signedValue = INT_MAX;
    if (signedValue < INT_MIN) signedValue = INT_MIN;
    value = static_cast<int>(signedValue);
    return true;
}
}  // namespace

bool scanInt(const std::string& text, int& value) { return scanIntAt(text, 0, value); }

bool scanHeader(const std::string& text, const char* label, int& value) {
    // The label must stand at the very start, as a scanf pattern's literal does.
    std::string wanted(label);
    if (text.compare(0, wanted.size(), wanted) != 0) return false;
    return scanIntAt(text, wanted.size(), value);
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

std::string firstWord(const std::string& text) {
    std::vector<std::string> words = splitWords(text, 1);
    return words.empty() ? std::string() : words[0];
}

std::vector<std::string> splitWords(const std::string& text, size_t maxWords) {
    std::vector<std::string> words;
    size_t at = 0;
    while (words.size() < maxWords) {
        at = skipBlanks(text, at);
        if (at >= text.size()) break;
        size_t end = at;
        while (end < text.size() && !isBlank(text[end])) ++end;
        words.push_back(text.substr(at, end - at));
        at = end;
    }
    return words;
}

bool wordFits(const TextFile& file, const std::string& word, size_t limit, const char* what) {
    if (word.size() <= limit) return true;
    file.report(std::string(what) + " longer than " + std::to_string(limit) + " characters: \"" +
                word.substr(0, 40) + "...\"");
    return false;
}

bool pathFits(const TextFile* file, const std::string& path, loadPolicy& policy) {
    if (path.size() <= kMaxPath) return true;
    std::string message = "path longer than 255 characters: \"" + path.substr(0, 60) + "...\"";
    if (file)
        file->report(message);
    else
        reportContent(path.substr(0, 60) + "...", 0, "path longer than 255 characters", policy);
    return false;
}

bool isNumberWord(const std::string& word) {
    size_t at = (!word.empty() && (word[0] == '+' || word[0] == '-')) ? 1 : 0;
    if (at >= word.size()) return false;
    for (; at < word.size(); ++at)
        if (!std::isdigit(static_cast<unsigned char>(word[at]))) return false;
    return true;
}

bool expectNumbers(const TextFile& file, const std::string& line, int count, const char* what) {
    std::vector<std::string> words = splitWords(line, static_cast<size_t>(count));
    bool good = static_cast<int>(words.size()) == count;
    for (size_t i = 0; good && i < words.size(); ++i) good = isNumberWord(words[i]);
    if (good) return true;
    std::string expected = count == 1 ? "a number" : std::to_string(count) + " numbers";
    file.report(std::string(what) + ": expected " + expected + ", found \"" + line.substr(0, 60) + "\"");
    return false;
}

bool expectName(const TextFile& file, const std::string& word, const char* what) {
    if (word.empty()) {
        file.report(std::string(what) + " is missing");
        return false;
    }
    if (isNumberWord(word)) {
        file.report(std::string(what) + " is the number " + word + " where a name is expected");
        return false;
    }
    return true;
}

void reportUnreadLines(TextFile& file, const std::string& what, bool commentsAllowed) {
    std::string line;
    int firstLine = 0;
    int unread = 0;
    int lastCounted = 0;
    while (file.readLine(line)) {
        // A long line's pieces count once.
        if (file.line() == lastCounted) continue;
        if (firstWord(line).empty() || (commentsAllowed && line[0] == '#')) continue;
        lastCounted = file.line();
        if (unread++ == 0) firstLine = file.line();
    }
    if (unread > 0)
        file.reportAt(firstLine,
                      std::to_string(unread) + (unread == 1 ? " line" : " lines") + " after the last " + what +
                          " never read: the count is too small");
}
