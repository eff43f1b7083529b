#pragma once

// QSettings reads an INI value written as "@Variant(...)" by handing its bytes to
// QDataStream, which trusts the counts it finds there: a preferences file of a few hundred
// bytes can make it reserve tens of gigabytes, or decode any type Qt knows. The preference
// store only ever writes text, numbers, booleans and "@ByteArray(...)", so a value that would
// load as a variant is never one of its own. withoutVariantValues drops the lines holding
// such a value (in any of the spellings QSettings accepts: quoted, escaped, inside a list)
// and leaves every other byte of the file as it was.

#include <QByteArray>
#include <QByteArrayView>

namespace quillhaven {

// Whether the value part of one INI line (everything after its first '=') would load, in
// whole or as one element of a list, as a QVariant read from a data stream.
bool loadsAsStreamedVariant(QByteArrayView value);

// The file's text without the lines (and their continuation lines) whose value loads as a
// streamed variant; the text unchanged when it has none.
QByteArray withoutVariantValues(const QByteArray& text);

}  // namespace quillhaven
