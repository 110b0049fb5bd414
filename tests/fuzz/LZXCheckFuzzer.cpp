// The check of LZX-compressed frames alone: a byte for the window, a byte for the frames between
// resets, then the frames separated by "#PART#".

#include "chm/LZXCheck.h"

#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const QByteArray input = FuzzInput::bytes(data + 2, size - 2);
    LZXCheck::Stream stream;
    stream.windowBits = 15 + data[0] % 7;
    stream.framesPerReset = 1u + data[1] % 4;
    const QList<QByteArray> frames = FuzzInput::parts(input, 8);
    for (const QByteArray& frame : frames) {
        if (!frame.isEmpty())
            stream.frames.emplace_back(frame);
    }
    LZXCheck::decodesSafely(stream);
    return 0;
}
