#pragma once
// The small settings files of the content ("hit", "stats"): lines
// "key = value", '#' starting a comment, blank lines skipped.
#include <functional>
#include <string>

#include "data/textFile.h"

// Hands each "key = value" line of `path` to `take`, key and value trimmed;
// `take` answers "" or what is wrong with the line, reported as
// "path:line: message" through `policy`, as is a line without '='. A
// missing file is the common case: nothing is read and nothing said. True
// when a file was read.
bool readKeyValueFile(const std::string& path, loadPolicy& policy,
                      const std::function<std::string(const std::string& key, const std::string& value)>& take);

// `word` as a whole number `least`..`most` (no sign, at most 6 digits); false for anything else.
bool readWholeNumber(const std::string& word, int least, int most, int& value);
