#pragma once

#include "platform/PdfLink.h"

#include <string>
#include <unordered_map>

// Where the engine's print of a topic puts each named element: by the name its links use, the
// printed page (from 0) and the point on it, never on a page left out of the output.
using PrintedNamedPlaces = std::unordered_map<std::string, PdfDestination>;
