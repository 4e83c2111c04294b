#pragma once
// The one reader of every text data file: positional lines of bounded length,
// words and numbers read as the formats read them, and messages that name the
// file and line.
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// Longest piece one read returns, line terminator included. A longer line is
// read in several pieces, as the formats expect.
const int kMaxLineRead = 254;
// Longest path a loader builds.
const size_t kMaxPath = 255;

// How loading treats what it finds wrong in the content, and how much it
// found. The game prints each message and ends on a frame bitmap it can't
// read; a reload or a tool goes on, and reads the count or hears each
// message itself. Every loader takes one; none has a default.
struct loadPolicy {
    // True: a frame bitmap that can't be read ends the process with status 1.
    // False: it is reported at its line of "info" and the frame is left out.
    bool bitmapFailureEndsProcess = true;
    // Hears each message (file, line or 0, text) in place of standard
    // output; empty prints "file:line: message" there.
    std::function<void(const std::string& file, int line, const std::string& message)> listener;
    // Messages reported through this policy so far, "cannot be opened" included.
    int reported = 0;

    // Counts the message, then hands it, shown by shownText, to the listener
    // or prints it.
    void report(const std::string& file, int line, const std::string& message);
};
// The game's start-up: every message printed, a bad frame bitmap ends the game.
loadPolicy gamePolicy();
// Every message printed, a bad frame bitmap reported and left out.
loadPolicy keepGoingPolicy();

class TextFile {
public:
    // Messages about the file follow `policy`, which must outlive the reader.
    explicit TextFile(loadPolicy& policy) : loading(&policy) {}
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // Opens `path` for reading; false when it can't be opened.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return opened; }

    // Reads the next piece of at most kMaxLineRead characters, a "\n" or
    // "\r\n" terminator counting as one. `line` gets the text without its
    // terminator. False at the end of the file.
    bool readLine(std::string& line);
    // True when the last piece ended with a line terminator (a whole line).
    bool lastHadTerminator() const { return terminated; }
    // Reads the next whole line into `line`, cut at its first '#' (the
    // comment). A line too long for readLine, which the reader has
    // reported, is skipped to its end and counted in `longLines`. False at
    // the end of the file.
    bool readUncommentedLine(std::string& line, int& longLines);

    // Number of lines (counting pieces of over-long lines once per line)
    // from the current position to the end; the position is kept.
    long linesLeft();

    // The line of the file the last piece came from, from 1.
    int line() const { return lineNumber; }
    const std::string& name() const { return path; }

    // Reports "path:line: message" for the last line read, or for `line`.
    void report(const std::string& message) const;
    void reportAt(int line, const std::string& message) const;
    loadPolicy& policy() const { return *loading; }

private:
    loadPolicy* loading;
    bool opened = false;
    std::string text;        // the whole file, read at open()
    size_t at = 0;           // where the next piece starts in `text`
    std::string path;
    int lineNumber = 0;      // line of the last piece read
    bool terminated = true;  // last piece ended its line
    bool warnedLong = false; // over-long line already reported
    long totalLines = -1;    // lines of the whole file, counted at the first linesLeft(); -1 before
};

// `text` as a message may echo it: control bytes shown as \xNN, so that a
// hostile line can't move the terminal's cursor or hide what it says.
std::string shownText(const std::string& text);
// Prints "file:line: message" on standard output (line 0: "file: message"),
// both shown by shownText.
void printContentMessage(const std::string& file, int line, const std::string& message);
// The message reported through `policy` (counted, heard or printed).
void reportContent(const std::string& file, int line, const std::string& message, loadPolicy& policy);
// Prints "ERROR opening file <path>" and a blank line, as every loader does
// for a file it can't open; the policy counts it, and its listener is also
// told "cannot be opened".
void reportOpenFailure(const std::string& path, loadPolicy& policy);

// --- Counts ---

// Holds a count read from `file` within what the rest of the file can hold:
// a negative count becomes 0, reported as `negative` ("" says nothing), and a
// count of more items than the lines left can describe (`linesPerItem` lines
// each) is cut to that many, reported as `beyond(count, room)`. False when
// the count was changed.
bool holdCount(TextFile& file, int& count, long linesPerItem, const std::string& negative,
               const std::function<std::string(int count, long room)>& beyond);

// --- Reading fields as the formats do ---

// Like sscanf "%d": white space skipped, optional sign, decimal digits.
// Values beyond int are clamped. False when there is no number.
bool scanInt(const std::string& text, int& value);
// A header such as "FILES: %d": `label` ("FILES:") must begin the text; the
// blank after it accepts any white space, or none.
bool scanHeader(const std::string& text, const char* label, int& value);
// The lines of a whole text held in memory (a program's output), without
// their "\n"; a last line without one counts too.
std::vector<std::string> splitLines(const std::string& text);
// The first white-space-delimited word, or "" when there is none.
std::string firstWord(const std::string& text);
// The white-space-delimited words, at most `maxWords` of them.
std::vector<std::string> splitWords(const std::string& text, size_t maxWords);

// True when `word` is at most `limit` characters; otherwise reports
// "<what> longer than <limit> characters" at the file's current line.
bool wordFits(const TextFile& file, const std::string& word, size_t limit, const char* what);
// True when `path` fits kMaxPath; otherwise reports it at the file's current
// line (or the path alone, by `policy`, when `file` is null).
bool pathFits(const TextFile* file, const std::string& path, loadPolicy& policy);

// --- Checking fields against the format (messages only; nothing changes) ---

// True when `word` reads whole as a decimal integer, such as "12" or "-3".
bool isNumberWord(const std::string& word);
// Reports at the file's current line when `line` does not begin with
// `count` numbers: "<what>: expected N numbers, found "...""; false then.
bool expectNumbers(const TextFile& file, const std::string& line, int count, const char* what);
// Reports when a name field is missing or is a number (a field shifted by a
// missing or extra line); false then.
bool expectName(const TextFile& file, const std::string& word, const char* what);
// Reads the rest of the file and reports, at the first line that holds text,
// how many such lines follow that the format never reads. Lines starting
// with '#' are counted as text unless `commentsAllowed`.
void reportUnreadLines(TextFile& file, const std::string& what, bool commentsAllowed);
