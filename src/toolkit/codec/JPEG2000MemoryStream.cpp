#include "toolkit/codec/JPEG2000MemoryStream.h"

#include <algorithm>
#include <cstring>

namespace {

JPEG2000MemoryStreamState& StateOf(void* userData)
{
    return *static_cast<JPEG2000MemoryStreamState*>(userData);
}

OPJ_SIZE_T ReadFromMemory(void* buffer, OPJ_SIZE_T count, void* userData)
{
    JPEG2000MemoryStreamState& state = StateOf(userData);
    if (state.offset >= state.length)
        return static_cast<OPJ_SIZE_T>(-1); // the library's end-of-stream answer
    const uint64_t available = state.length - state.offset;
    const OPJ_SIZE_T copied = static_cast<OPJ_SIZE_T>(std::min<uint64_t>(count, available));
    std::memcpy(buffer, state.data + state.offset, copied);
    state.offset += copied;
    return copied;
}

// Like a file, a skip may move past the end; later reads then get nothing.
OPJ_OFF_T SkipInMemory(OPJ_OFF_T count, void* userData)
{
    JPEG2000MemoryStreamState& state = StateOf(userData);
    if (count < 0) {
        const uint64_t back = static_cast<uint64_t>(-count);
        if (back > state.offset)
            return -1;
        state.offset -= back;
        return count;
    }
    state.offset = std::min<uint64_t>(state.offset + static_cast<uint64_t>(count), state.length);
    return count;
}

OPJ_BOOL SeekInMemory(OPJ_OFF_T position, void* userData)
{
    JPEG2000MemoryStreamState& state = StateOf(userData);
    if (position < 0 || static_cast<uint64_t>(position) > state.length)
        return OPJ_FALSE;
    state.offset = static_cast<uint64_t>(position);
    return OPJ_TRUE;
}

} // namespace

JPEG2000Stream OpenJPEG2000MemoryStream(JPEG2000MemoryStreamState& state)
{
    JPEG2000Stream stream(opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE));
    if (!stream)
        return stream;
    opj_stream_set_read_function(stream.get(), ReadFromMemory);
    opj_stream_set_skip_function(stream.get(), SkipInMemory);
    opj_stream_set_seek_function(stream.get(), SeekInMemory);
    opj_stream_set_user_data(stream.get(), &state, nullptr);
    opj_stream_set_user_data_length(stream.get(), state.length);
    return stream;
}
