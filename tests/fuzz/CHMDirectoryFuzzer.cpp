// A CHM file's directory (what follows the file header at the directory offset), listed.

#include "chm/CHMDirectoryListing.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CHMDirectoryListing::listObjectNamesInDirectory(FuzzInput::bytes(data, size));
    return 0;
}
