// Any bytes through the toolkit's image readers, the reader chosen by the content as a source file's is.
// The readers' bounds (one image, one file's images together, chunks a PNG declares) are what is
// exercised: a file past them is refused, never decoded.

#include "FuzzApplication.h"

#include "toolkit/imageio/ImageFileReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzApplication::Ensure("image_readers_fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzApplication::Ensure("image_readers_fuzz");
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ImageRepList representations = ReadImageBytes(bytes);
    for (const auto& representation : representations)
        static_cast<void>(representation->pixelsWide());
    return 0;
}
