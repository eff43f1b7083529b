#include "platform/ini_variant_filter.h"

namespace quillhaven {

namespace {

constexpr QByteArrayView streamedPrefixes[] = {"@Variant(", "@DateTime("};
constexpr qsizetype longestPrefix = 10;

// The first characters of one list element as QSettings decodes them. Characters beyond
// ASCII become a stand-in that no prefix holds, which is all the check needs of them.
class ElementStart {
public:
    void add(unsigned code) {
        if (text_.size() < longestPrefix) {
            text_.append(code < 0x80 ? static_cast<char>(code) : '\x7f');
        }
    }
    void clear() { text_.clear(); }
    bool isStreamed() const {
        for (const QByteArrayView prefix : streamedPrefixes) {
            if (text_.startsWith(prefix)) {
                return true;
            }
        }
        return false;
    }

private:
    QByteArray text_;
};

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return (c >= 'A' && c <= 'F') ? c - 'A' + 10 : -1;
}

int octValue(char c) {
    return (c >= '0' && c <= '7') ? c - '0' : -1;
}

// The character a one-letter escape stands for, or -1 for letters that are not one.
int simpleEscape(char c) {
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
        case '"':
        case '?':
        case '\'':
        case '\\':
            return c;
        default:
            return -1;
    }
}

bool isLineBreakPair(char first, char second) {
    return (first == '\n' && second == '\r') || (first == '\r' && second == '\n');
}

// Adds what the escape whose letter is at value[i] stands for, and returns the index of
// its last character. A numeric escape takes every digit that follows and keeps the low
// 16 bits of its code; an escaped line break (with its pair) and an unknown letter,
// including an 'x' without a digit, stand for nothing.
qsizetype addEscape(QByteArrayView value, qsizetype i, ElementStart* element) {
    const char letter = value[i];
    if (const int code = simpleEscape(letter); code >= 0) {
        element->add(static_cast<unsigned>(code));
        return i;
    }
    const bool hex = letter == 'x';
    if (hex && (i + 1 >= value.size() || hexValue(value[i + 1]) < 0)) {
        return i;
    }
    if (hex || octValue(letter) >= 0) {
        unsigned code = hex ? 0 : static_cast<unsigned>(octValue(letter));
        const unsigned shift = hex ? 4 : 3;
        int digit = 0;
        while (i + 1 < value.size() &&
               (digit = hex ? hexValue(value[i + 1]) : octValue(value[i + 1])) >= 0) {
            code = ((code << shift) + static_cast<unsigned>(digit)) & 0xffff;
            ++i;
        }
        element->add(code);
        return i;
    }
    if ((letter == '\n' || letter == '\r') && i + 1 < value.size() &&
        isLineBreakPair(letter, value[i + 1])) {
        return i + 1;
    }
    return i;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

struct Line {
    qsizetype start = 0;
    qsizetype end = 0;
    qsizetype equals = -1;  // the first '=' outside quotes, or -1
};

// Reads the line that starts at or after *pos and moves *pos to its end; false at the end of
// the text. Comment lines are passed over, and a line goes on past line breaks inside quotes
// or after a backslash.
bool nextLine(QByteArrayView text, qsizetype* pos, Line* line) {
    const qsizetype size = text.size();
    qsizetype start = *pos;
    while (start < size && isSpace(text[start])) {
        ++start;
    }
    qsizetype equals = -1;
    bool quoted = false;
    qsizetype i = start;
    while (i < size) {
        const char c = text[i++];
        if (!isSpecial(c)) {
            continue;
        }
        if (c == '=') {
            if (!quoted && equals < 0) {
                equals = i - 1;
            }
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!quoted) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = text[i++];
                if (i < size && isLineBreakPair(escaped, text[i])) {
                    ++i;
                }
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (i == start + 1) {  // ';' first on its line: a comment line
            while (i < size && text[i] != '\n' && text[i] != '\r') {
                ++i;
            }
            while (i < size && isSpace(text[i])) {
                ++i;
            }
            start = i;
        } else if (!quoted) {  // ';' after an entry: the rest of the line is a comment
            --i;
            break;
        }
    }
    *pos = i;
    *line = Line{start, i, equals};
    return i > start;
}

}  // namespace

bool loadsAsStreamedVariant(QByteArrayView value) {
    ElementStart element;
    bool quoted = false;
    bool skippingSpaces = true;  // at the start, after a closing quote and after a ','
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if (skippingSpaces) {
            if (c == ' ' || c == '\t') {
                continue;
            }
            skippingSpaces = false;
        }
        if (c == '"') {
            quoted = !quoted;
            skippingSpaces = !quoted;
        } else if (c == ',' && !quoted) {
            if (element.isStreamed()) {
                return true;
            }
            element.clear();
            skippingSpaces = true;
        } else if (c != '\\') {
            element.add(static_cast<unsigned char>(c));
        } else if (i + 1 < value.size()) {
            i = addEscape(value, i + 1, &element);
        }
    }
    return element.isStreamed();
}

QByteArray withoutVariantValues(const QByteArray& text) {
    if (!text.contains('@') && !text.contains('\\')) {
        return text;  // neither spelling of '@' can be there
    }
    const QByteArrayView byteOrderMark = "\xef\xbb\xbf";
    const qsizetype offset = text.startsWith(byteOrderMark) ? byteOrderMark.size() : 0;
    const QByteArrayView body = QByteArrayView(text).sliced(offset);
    QByteArray kept = text.first(offset);
    qsizetype copied = 0;
    qsizetype pos = 0;
    Line line;
    while (nextLine(body, &pos, &line)) {
        if (line.equals < 0 || body[line.start] == '[') {
            continue;  // a section header, or a line QSettings passes over
        }
        if (loadsAsStreamedVariant(body.sliced(line.equals + 1, line.end - line.equals - 1))) {
            kept += body.sliced(copied, line.start - copied);
            copied = line.end;
        }
    }
    if (copied == 0) {
        return text;
    }
    kept += body.sliced(copied);
    return kept;
}

}  // namespace quillhaven
