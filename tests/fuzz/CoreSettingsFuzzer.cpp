// The PDF core's settings file ("xpdfrc"), read line by line into the settings record.

#include "export/pdfcore/CoreSettingsReader.h"

#include <Error.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Every bad line is reported; reports are not what is being tried.
    setErrorCallback([](ErrorCategory, Goffset, const char*) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    PDFCore::CoreSettingsReader reader(std::string("/nonexistent-resources"));
    reader.parseFile("xpdfrc", std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
