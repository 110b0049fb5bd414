#pragma once

#include <QByteArrayView>
#include <QString>

// chmlib 0.40 trusts the tables of the file it opens: a damaged or hostile file makes it divide by
// zero, dereference a failed allocation, read past its buffers or write past them. Everything chmlib
// relies on is checked here, on the file's bytes, before chmlib ever sees the file:
//
// - the file header and the directory header, and that the whole directory lies in the file;
// - the directory chunks chmlib walks (the index chunks from the root, the listing chunks along
//   their chain): every entry lies inside its chunk, names are neither empty nor hold NUL bytes,
//   index entries point at chunks of the directory, and no walk can come back to a chunk;
// - the objects that describe the compressed section: they lie in the uncompressed section and in
//   the file; the LZX control data (signature, version, a window of 2^15 to 2^21 bytes, a reset
//   interval and windows per reset of at least 1 and the block count they give); the reset table
//   (its entries inside the table, a block length of one LZX frame, offsets that increase, and no
//   compressed block larger than the buffer chmlib reads it into);
// - every object: one in the uncompressed section lies in the file, one in another section inside
//   the blocks the reset table describes;
// - the compressed data of every block up to the last one an object lies in, decoded as chmlib's
//   LZX decoder will (see LZXCheck.h): chmlib trusts it as much as it trusts the tables.
//
// A cut-off file is refused too: chmlib would find no objects in a missing part of the directory,
// or decompress a missing part of the content into zeros without a word.
namespace CHMContainerCheck {

// True when the bytes of a whole file can be handed to chmlib.
bool isSafeContainer(QByteArrayView file);

// The same for a file on disk; false for anything that is not a regular file.
bool isSafeToOpen(const QString& filePath);

} // namespace CHMContainerCheck
