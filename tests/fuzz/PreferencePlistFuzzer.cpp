// A preference file's bytes, read as an XML property list and written back.

#include "app/presets/PlistVariant.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::optional<QVariant> value = PlistVariant::fromXml(FuzzInput::bytes(data, size));
    if (value)
        PlistVariant::fromXml(PlistVariant::toXml(*value));
    return 0;
}
