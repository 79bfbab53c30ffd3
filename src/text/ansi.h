#pragma once
// The single-byte character set that every file of the program is written in
// (Windows-1252) and its upper-case mapping.
//
// Files written by the Windows program must read back unchanged, and ours must read there,
// so text leaves memory as Windows-1252 bytes. A character that the code page cannot hold
// is never dropped silently: callers decide how to keep it (the project file stores its
// code point, HTML a character reference, a history line is UTF-8) or count what was
// replaced.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace ansi {

// The Windows-1252 byte for a Unicode code point, or -1 when the code page has none.
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// stand for the C1 controls of the same value, as the Windows conversion does.
int CodeOf(char32_t codePoint);

// The Unicode code point of a Windows-1252 byte (0..255).
char32_t CharOf(unsigned char byte);

// Bytes to text; every byte has a character.
QString Decode(QByteArrayView bytes);

// Text to bytes; nothing when the code page lacks one of its characters.
std::optional<QByteArray> Encode(QStringView text);

// Upper case by the code page's single-byte mapping, character by character: a-z, the
// accented letters of 0xE0-0xFE (not 0xF7), š, œ, ž and ÿ map to their capitals; every
// other character, ß and characters outside the code page included, stays as it is.
// The length never changes, so a position found in the result is a position in the text.
QString UpperCase(const QString& text);

// Equality without regard to case, by UpperCase.
bool SameText(const QString& a, const QString& b);

}  // namespace ansi
