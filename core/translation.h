#pragma once

// Every text the user sees comes from one of the catalogues (marked QT_TRANSLATE_NOOP under
// the context "Quillhaven", in Japanese). This gives it in the user's language: the text as
// it stands unless the app has installed a translation for the user's locale.

#include <string>

namespace quillhaven {

std::string translated(const char* sourceText);

}  // namespace quillhaven
