#include "toolkit/codec/WebPMetadata.h"

#include <new>

void MetadataInit(Metadata* metadata)
{
    if (metadata)
        *metadata = Metadata{};
}

void MetadataFree(Metadata* metadata)
{
    // Assigning an empty record alone would keep the capacity.
    if (metadata)
        *metadata = Metadata{};
}

int MetadataCopy(const char* bytes, size_t size, CodecBuffer* payload)
{
    if (!bytes || size == 0 || !payload)
        return 0;
    try {
        const auto* first = reinterpret_cast<const uint8_t*>(bytes);
        payload->assign(first, first + size);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return 1;
}
