// English for other locales, Japanese (the catalogues as written) for Japanese and C.

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <set>

#include "shell/user_language.h"
#include "tests/shell/shell_fixture.h"

namespace quillhaven::testing {
namespace {

using UserLanguageTest = ShellTest;

QString sourceFolder() {
    return QStringLiteral(QUILLHAVEN_SOURCE_DIR);
}

// Every text marked for translation in the sources, as written.
std::set<QString> markedTexts() {
    std::set<QString> texts;
    const QRegularExpression marked(
        QStringLiteral(R"re(QT_TRANSLATE_NOOP\(\s*"Quillhaven",\s*"((?:[^"\\]|\\.)*)"\s*\))re"));
    for (const char* layer : {"controller", "platform", "render", "shell"}) {
        QDirIterator files(sourceFolder() + QLatin1Char('/') + QLatin1String(layer),
                           {QStringLiteral("*.h"), QStringLiteral("*.cpp")}, QDir::Files,
                           QDirIterator::Subdirectories);
        while (files.hasNext()) {
            QFile file(files.next());
            if (!file.open(QIODevice::ReadOnly)) {
                continue;
            }
            const QString text = QString::fromUtf8(file.readAll());
            for (const auto& match : marked.globalMatch(text)) {
                texts.insert(match.captured(1));
            }
        }
    }
    return texts;
}

TEST(UserLanguageCatalogueTest, EveryMarkedTextHasAnEnglishTranslation) {
    ensureApplication();
    QTranslator english;
    ASSERT_TRUE(english.load(QStringLiteral("quillhaven_en"),
                             QStringLiteral(QUILLHAVEN_TRANSLATIONS_DIR)));
    const std::set<QString> texts = markedTexts();
    ASSERT_GT(texts.size(), 40u);
    for (const QString& text : texts) {
        EXPECT_FALSE(english.translate("Quillhaven", text.toUtf8().constData()).isEmpty())
            << text.toStdString();
    }
}

TEST_F(UserLanguageTest, TheMenuSpeaksEnglishExceptToJapaneseAndC) {
    struct Case {
        QLocale locale;
        const char* toggle;
        const char* quit;
    };
    const Case cases[] = {
        {QLocale(QStringLiteral("en_US")), "Hide the Notch", "Quit, Keeping the Wallpaper"},
        {QLocale(QStringLiteral("de_DE")), "Hide the Notch", "Quit, Keeping the Wallpaper"},
        {QLocale(QStringLiteral("ja_JP")), "ノッチを目立たなくする", "壁紙を維持して終了"},
        {QLocale::c(), "ノッチを目立たなくする", "壁紙を維持して終了"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale.name().toStdString());
        ASSERT_TRUE(UserLanguage::install(*QCoreApplication::instance(), c.locale,
                                          {QStringLiteral(QUILLHAVEN_TRANSLATIONS_DIR)}));
        launch();
        EXPECT_EQ(delegate->effectToggleItem().text(), QString::fromUtf8(c.toggle));
        EXPECT_EQ(delegate->quitKeepingWallpaperItem().text(), QString::fromUtf8(c.quit));
        delegate.reset();
        // Back to the catalogues as written for the next case and the other tests.
        for (QTranslator* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
}

}  // namespace
}  // namespace quillhaven::testing
