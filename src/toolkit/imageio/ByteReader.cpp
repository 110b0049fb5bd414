#include "toolkit/imageio/ByteReader.h"

#include <cstring>

bool UnpackBits(ByteReader& input, unsigned char* out, qsizetype length)
{
    qsizetype written = 0;
    while (written < length) {
        if (!input.has(1))
            return false;
        const std::uint8_t count = input.u8();
        if (count < 128) {
            const qsizetype run = count + 1;
            if (run > length - written || !input.has(run))
                return false;
            std::memcpy(out + written, input.current(), static_cast<std::size_t>(run));
            input.skip(static_cast<std::uint64_t>(run));
            written += run;
        } else if (count > 128) {
            const qsizetype run = 257 - count;
            if (run > length - written || !input.has(1))
                return false;
            std::memset(out + written, input.u8(), static_cast<std::size_t>(run));
            written += run;
        }
    }
    return true;
}
