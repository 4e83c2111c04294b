#pragma once
// A training recording on disk: plain text, one event a line, in the form
// of the replay tool's scripts so that the tool plays a saved recording as
// it is:
//     # a comment
//     0 down forward        (milliseconds from the start, down or up, an input)
//     120 up forward
//     1500 end              (the recording's length)
// The inputs are up, down, forward, back, buttonA, buttonB and buttonC.
#include <string>

#include "data/textFile.h"

class keyRecording;

// The name of the file the save key writes, beside keys.txt.
const char* const kRecordingFile = "recording.txt";

// A time word of a recording or a replay script: "1200" milliseconds, or
// "+50" for 50 after `previous`. False when it is not one.
bool readScriptTime(const std::string& word, int previous, int& time);

// Where the save key writes: beside this user's own keys.txt (in
// "fightscene" under userSettingsFolder()), or beside the game's keys.txt
// when the system names no settings folder.
std::string recordingFilePath();

// Writes `recording` to `path`, making its folder as needed; false with
// `problem` set (the path and why) when it can't be written whole.
bool saveRecording(const std::string& path, const keyRecording& recording, std::string& problem);

// Reads the recording file `path` into `recording` (stopped). Each line
// that can't be used is reported as "path:LINE: message" and left out: a
// line not "<ms> down|up INPUT" nor "<ms> end", an unknown input, a time
// before the line above's, past the longest recording or past the end, a
// release with no press before it, a second end. Reading stops at the line
// of one key event more than kMaxRecordedKeys. Inputs still held at the
// end are released there; without an end line the recording ends at its
// last event. A missing file leaves the recording empty and says nothing.
// The number of reports.
int loadRecording(const std::string& path, keyRecording& recording, loadPolicy& policy);
