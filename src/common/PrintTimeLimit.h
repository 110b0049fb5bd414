#pragma once

#include <chrono>

// How long a web page may take to print. Its scripts are off while it prints, so a long print is
// slow, not held: beyond a base limit it may take a fixed time per sheet its laid-out height
// fills, up to a cap that still ends a print the engine never finishes.
namespace PrintTimeLimit {

inline constexpr std::chrono::milliseconds kBase{60000};

// sheets: the laid-out height over the printable height; anything not above one (unknown too)
// gets the base limit.
std::chrono::milliseconds ForSheets(double sheets);

} // namespace PrintTimeLimit
