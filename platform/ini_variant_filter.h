#pragma once

// QSettings reads an INI value written as "@Variant(...)" or "@DateTime(...)" by handing its
// bytes to QDataStream, which trusts the counts it finds there: a preferences file of a few
// hundred bytes can make it reserve tens of gigabytes, or decode any type Qt knows. The
// preference store only ever writes text, numbers, booleans and "@ByteArray(...)", so a value
// that would load from a data stream is never one of its own. withoutVariantValues blanks
// the entries holding such a value and leaves every other byte of the file as it was.
//
// The scan follows QSettings' own reading of the file exactly, since any difference is a way
// past it: a line ends at a line feed or a carriage return unless it is inside quotes or
// escaped, a ';' outside quotes starts a comment, an unknown escape stands for nothing, a
// numeric escape keeps the low 16 bits of its code, and a list element starts after each
// ',' outside quotes.

#include <QByteArray>
#include <QByteArrayView>

namespace quillhaven {

// Whether the value part of one entry (everything after its '=') would load, in whole or
// as one element of a list, as a QVariant read from a data stream.
bool loadsAsStreamedVariant(QByteArrayView value);

// The file's text with the entries whose value loads from a data stream taken out (their
// line breaks stay); the text unchanged when it has none.
QByteArray withoutVariantValues(const QByteArray& text);

}  // namespace quillhaven
