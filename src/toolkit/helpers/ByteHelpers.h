#pragma once

#include <cstdint>

// Byte order helpers for the encoders that write big-endian headers.

// The two bytes exchanged, read back as a signed value.
inline std::int16_t SwapBytes16(std::uint16_t value)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((value << 8) | (value >> 8)));
}

inline std::uint32_t SwapBytes32(std::uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0x0000FF00U) | ((value << 8) & 0x00FF0000U) | (value << 24);
}

inline void PutByte(std::uint8_t* destination, std::uint8_t value)
{
    destination[0] = value;
}

inline void PutBigEndian16(std::uint8_t* destination, std::uint16_t value)
{
    destination[0] = static_cast<std::uint8_t>(value >> 8);
    destination[1] = static_cast<std::uint8_t>(value);
}

inline void PutBigEndian32(std::uint8_t* destination, std::uint32_t value)
{
    destination[0] = static_cast<std::uint8_t>(value >> 24);
    destination[1] = static_cast<std::uint8_t>(value >> 16);
    destination[2] = static_cast<std::uint8_t>(value >> 8);
    destination[3] = static_cast<std::uint8_t>(value);
}
