// A ToUnicode CMap with 16-bit codes, as the character collections' maps are read; a usecmap of the
// name "self" finds the same text again.

#include "export/pdfcore/CIDToUnicodeMap.h"

#include <Error.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setErrorCallback([](ErrorCategory, Goffset, const char*) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    PDFCore::CIDToUnicodeMap map;
    PDFCore::readToUnicodeCMap(text, map, [&](const std::string& name) -> std::optional<std::string> {
        if (name == "self")
            return text;
        return std::nullopt;
    });
    return 0;
}
