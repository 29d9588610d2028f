#pragma once

#include <QByteArray>

// Byte-wise string operations of the companion library, over CP932 byte strings.

// Length of the byte string in bytes.
int byteLength(const QByteArray& bytes);

// The slice of `count` bytes starting at the one-based byte `start`; empty past the end.
// A slice may cut a double-byte character in two.
QByteArray byteSlice(const QByteArray& bytes, int start, int count);
