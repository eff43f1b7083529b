#include "shell/user_language.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

#include "core/log_categories.h"

namespace quillhaven::UserLanguage {

bool speaksJapanese(const QLocale& locale) {
    return locale.language() == QLocale::Japanese || locale.language() == QLocale::C;
}

QStringList catalogueFolders() {
    const QString program = QCoreApplication::applicationDirPath();
    return {program + QStringLiteral("/translations"),
            QDir::cleanPath(program + QStringLiteral("/../share/quillhaven/translations"))};
}

bool install(QCoreApplication& app, const QLocale& locale, const QStringList& folders) {
    if (speaksJapanese(locale)) {
        return true;
    }
    auto* translator = new QTranslator(&app);
    for (const QString& folder : folders) {
        if (translator->load(QStringLiteral("quillhaven_en"), folder)) {
            QCoreApplication::installTranslator(translator);
            return true;
        }
    }
    qCWarning(logShell) << "English catalogue not found in" << folders;
    delete translator;
    return false;
}

}  // namespace quillhaven::UserLanguage
