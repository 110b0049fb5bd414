// The check of a whole CHM file before chmlib may open it.

#include "chm/CHMContainerCheck.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CHMContainerCheck::isSafeContainer(FuzzInput::bytes(data, size));
    return 0;
}
