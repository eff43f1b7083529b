#pragma once

// The app speaks Japanese, its own language, to Japanese locales and to the plain C/POSIX
// locale, and English to every other locale, through Qt's translation of the catalogues.

#include <QLocale>
#include <QStringList>

class QCoreApplication;

namespace quillhaven::UserLanguage {

// Whether the locale gets the catalogues as they are written.
bool speaksJapanese(const QLocale& locale);

// Where the English catalogue is looked for: beside the program (a build folder) and in
// the install prefix's share/quillhaven/translations.
QStringList catalogueFolders();

// Installs the English catalogue on `app` unless the locale speaks Japanese; false when it
// is needed but cannot be found (the app then speaks Japanese).
bool install(QCoreApplication& app, const QLocale& locale = QLocale::system(),
             const QStringList& folders = catalogueFolders());

}  // namespace quillhaven::UserLanguage
