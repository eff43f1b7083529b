#include "ini_variant_filter.h"

#include <QList>

namespace quillhaven {

namespace {

constexpr QByteArrayView variantPrefix = "@Variant(";

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    return (c >= 'a' && c <= 'f') ? c - 'a' + 10 : c - 'A' + 10;
}

// The character a backslash escape stands for, starting at value[*index] (just after the
// backslash); *index ends on the escape's last character. As in QSettings, a numeric escape
// takes every digit that follows and keeps the low 16 bits of the code; codes beyond ASCII
// become a stand-in that can never begin the prefix.
char unescaped(QByteArrayView value, qsizetype* index) {
    qsizetype i = *index;
    const char c = value[i];
    int code = -1;
    if (c == 'x') {
        code = 0;
        while (i + 1 < value.size() && isHexDigit(value[i + 1])) {
            code = (code * 16 + hexValue(value[++i])) & 0xffff;
        }
    } else if (c >= '0' && c <= '7') {
        code = c - '0';
        while (i + 1 < value.size() && value[i + 1] >= '0' && value[i + 1] <= '7') {
            code = (code * 8 + (value[++i] - '0')) & 0xffff;
        }
    }
    *index = i;
    if (code >= 0) {
        return code < 0x80 ? static_cast<char>(code) : '\x7f';
    }
    switch (c) {
        case 'a':
            return '\a';
        case 'b':
            return '\b';
        case 'f':
            return '\f';
        case 'n':
            return '\n';
        case 'r':
            return '\r';
        case 't':
            return '\t';
        case 'v':
            return '\v';
        default:
            return c;
    }
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// A line goes on to the next one when it ends in an odd number of backslashes.
bool continues(QByteArrayView line) {
    qsizetype backslashes = 0;
    for (qsizetype i = line.size(); i > 0 && line[i - 1] == '\\'; --i) {
        ++backslashes;
    }
    return backslashes % 2 == 1;
}

}  // namespace

bool loadsAsStreamedVariant(QByteArrayView value) {
    // Only the start of each element matters, so each is unescaped as far as the prefix.
    QByteArray element;
    bool quoted = false;
    bool beyondPrefix = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && (c == ',' || c == ';')) {
            // ';' starts a comment, but the rest is checked all the same: a false alarm only
            // drops a line no writer of this file would make.
            if (element.startsWith(variantPrefix)) {
                return true;
            }
            element.clear();
            beyondPrefix = false;
            continue;
        }
        char next = c;
        if (c == '\\') {
            if (i + 1 >= value.size()) {
                break;
            }
            ++i;
            if (value[i] == '\n' || value[i] == '\r') {  // a line continued
                continue;
            }
            next = unescaped(value, &i);
        } else if (!quoted && element.isEmpty() && isBlank(c)) {
            continue;
        }
        if (!beyondPrefix) {
            element.append(next);
            beyondPrefix = element.size() >= variantPrefix.size();
        }
    }
    return element.startsWith(variantPrefix);
}

QByteArray withoutVariantValues(const QByteArray& text) {
    if (!text.contains('@') && !text.contains('\\')) {
        return text;  // neither spelling of '@' can be there
    }
    const QList<QByteArray> lines = text.split('\n');
    QByteArray kept;
    kept.reserve(text.size());
    bool changed = false;
    for (qsizetype first = 0; first < lines.size();) {
        // One logical line: the physical line and any it continues onto.
        qsizetype last = first;
        while (last + 1 < lines.size() && continues(lines[last])) {
            ++last;
        }
        QByteArray logical;
        for (qsizetype i = first; i <= last; ++i) {
            logical += lines[i];
            if (i < last) {
                logical += '\n';
            }
        }
        const qsizetype equals = logical.indexOf('=');
        const QByteArrayView trimmed = QByteArrayView(logical).trimmed();
        const bool isEntry = equals >= 0 && !trimmed.startsWith('[') && !trimmed.startsWith(';');
        if (isEntry && loadsAsStreamedVariant(QByteArrayView(logical).sliced(equals + 1))) {
            changed = true;
        } else {
            for (qsizetype i = first; i <= last; ++i) {
                kept += lines[i];
                if (i + 1 < lines.size()) {
                    kept += '\n';
                }
            }
        }
        first = last + 1;
    }
    return changed ? kept : text;
}

}  // namespace quillhaven
