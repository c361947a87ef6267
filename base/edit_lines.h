// Reading what the user typed into a multi-line edit box: its lines, as the box shows them,
// joined into the one-line texts that the files can hold.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// True when the box holds nothing: exactly one line, and that line empty.
bool editIsEmpty(const std::vector<std::string>& lines);

// The lines in order with nothing between them, each cut to maxLineLength whole characters. A
// line break that slipped into a line (pasted text) is dropped too, so the result is
// always one line.
std::string joinEditLines(const std::vector<std::string>& lines, std::size_t maxLineLength);
