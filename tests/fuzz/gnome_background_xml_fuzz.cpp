// Fuzz target: arbitrary bytes as a GNOME XML background. Reading is bounded and never
// crashes; a background that reads always answers a picture for any monitor and time.

#include <QByteArray>
#include <chrono>
#include <cstdint>

#include "platform/gnome/background_xml.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillhaven;
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Result<gnome::BackgroundXml> background = gnome::parseBackgroundXml(text);
    if (!background.succeeded()) {
        return 0;
    }
    for (const QSize monitor : {QSize(1512, 982), QSize(1, 1), QSize(7680, 4320)}) {
        for (const auto now : {std::chrono::system_clock::time_point(),
                               std::chrono::system_clock::now()}) {
            if (gnome::pictureShown(background.value(), monitor, now).empty()) {
                fuzz::fail("a background that reads answered no picture");
            }
        }
    }
    return 0;
}
