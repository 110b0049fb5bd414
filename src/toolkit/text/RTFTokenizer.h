#pragma once

#include <QByteArray>

#include <cstdint>
#include <string>

// Splits RTF bytes into groups, control words, control symbols and text bytes.
class RTFTokenizer {
public:
    enum class Kind {
        End,
        GroupStart,
        GroupEnd,
        ControlWord,
        ControlSymbol,
        HexByte,
        Text
    };

    struct Token {
        Kind kind = Kind::End;
        std::string word; // control word without the backslash
        bool hasParameter = false;
        int32_t parameter = 0;
        char symbol = 0;        // control symbol
        unsigned char byte = 0; // text byte or \'hh
    };

    explicit RTFTokenizer(const QByteArray& bytes)
        : m_bytes(bytes)
    {}

    Token next();
    // Takes count raw bytes (the data of \binN); fewer when the input ends first.
    QByteArray takeBytes(int64_t count);
    qsizetype position() const { return m_position; }

private:
    int peek() const;

    const QByteArray& m_bytes;
    qsizetype m_position = 0;
};
