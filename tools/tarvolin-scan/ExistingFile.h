// How the files a watch keeps (the CSV table, the WiGLE log, the KML map)
// meet a file that is already there: they read it whole, continue it when
// it is one of theirs and refuse it, untouched, when it is anything else or
// no longer reads. These are the pieces all three share, so that they check
// the path, read and word their refusals alike.
#pragma once

#include <string>

// Whether path is a regular file or not there at all. On failure error is
// "LEAD: is a directory" or "LEAD: is not a regular file".
bool RegularOrAbsent(const std::string& path, const std::string& lead, std::string& error);

// Appends everything from fd's current content, from offset 0, to text,
// going on after interruptions. On failure errno says why.
bool ReadAll(int fd, std::string& text);

// What the file at path holds; empty when it is not there. On failure error
// is "LEAD: cause".
bool ReadExisting(const std::string& path, const std::string& lead, std::string& text, std::string& error);

// The refusal of an existing file that a run does not continue, with the
// reason: "LEAD: REASON (a new one needs a new file)".
std::string Refusal(const std::string& lead, const std::string& reason);
