#pragma once
// File names are bytes; QString is text. A name that is valid UTF-8 is its text; a byte
// that does not belong to valid UTF-8 is kept as the lone surrogate U+DC00 + byte
// (U+DC80..U+DCFF), and turned back into that byte when the file is opened. So every name
// the system can hold reaches the file system again exactly as it was given, which Qt's
// own file name decoding (U+FFFD for such bytes) does not do.
//
// The same characters appear in history lines; there they are written in the three-byte
// form of their code point, which only this reader accepts as UTF-8.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace filename {

// The bytes of a name: UTF-8, each U+DC80..U+DCFF back to its byte.
QByteArray ToBytes(QStringView name);

// The text of a name's bytes; never fails.
QString FromBytes(QByteArrayView bytes);

// The arguments of a program, decoded as names (argv[0] included).
QStringList Arguments(int argc, char** argv);

// UTF-8 of a text in which U+DC80..U+DCFF keep their three-byte form.
QByteArray ToUtf8(QStringView text);

// The text of bytes that are valid UTF-8 (the three-byte forms of U+DC80..U+DCFF
// included); nullopt when they are not.
std::optional<QString> FromUtf8(QByteArrayView bytes);

}  // namespace filename
