#include "core/translation.h"

#include <QCoreApplication>

namespace quillhaven {

std::string translated(const char* sourceText) {
    return QCoreApplication::translate("Quillhaven", sourceText).toStdString();
}

}  // namespace quillhaven
