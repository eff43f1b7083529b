// The real `quillhaven --self-test` on the GNOME backend: GSettings with the keyfile backend
// in a private XDG_CONFIG_HOME, Qt's offscreen screen given a notch by
// QUILLHAVEN_NOTCH_HEIGHT. The user's light and dark pictures must be shown replaced by the
// generated picture during the cycle and be back, each under its own key, at the end.

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <map>
#include <string>

#include "tests/support/app_sandbox.h"

namespace {

// The background keys as the keyfile backend stores them (values in GVariant text form).
std::map<std::string, std::string> backgroundKeys(const QString& keyfilePath) {
    std::map<std::string, std::string> values;
    GKeyFile* file = g_key_file_new();
    if (g_key_file_load_from_file(file, keyfilePath.toLocal8Bit().constData(), G_KEY_FILE_NONE,
                                  nullptr)) {
        for (const char* key :
             {"picture-uri", "picture-uri-dark", "picture-options", "primary-color"}) {
            gchar* text = g_key_file_get_value(file, "org/gnome/desktop/background", key, nullptr);
            if (text) {
                GVariant* value = g_variant_parse(nullptr, text, nullptr, nullptr, nullptr);
                if (value) {
                    values[key] = g_variant_get_string(value, nullptr);
                    g_variant_unref(value);
                }
                g_free(text);
            }
        }
    }
    g_key_file_free(file);
    return values;
}

std::string fileUri(const QString& path) {
    gchar* uri = g_filename_to_uri(path.toLocal8Bit().constData(), nullptr, nullptr);
    std::string text(uri);
    g_free(uri);
    return text;
}

TEST(GnomeAppSelfTest, AppliesThenPutsBothPicturesBackUnderTheirOwnKeys) {
    static int argc = 1;
    static char name[] = "gnome_app_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* const application = new QCoreApplication(argc, argv);
    (void)application;

    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    for (const char* folder :
         {"home", "config/glib-2.0/settings", "data", "cache", "runtime", "Pictures"}) {
        ASSERT_TRUE(QDir().mkpath(root.filePath(QString::fromLatin1(folder))));
    }
    QFile::setPermissions(root.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString light = root.filePath("Pictures/light.png");
    const QString dark = root.filePath("Pictures/dark.png");
    for (const auto& [path, color] :
         {std::pair{light, QColor(220, 180, 60)}, std::pair{dark, QColor(30, 40, 90)}}) {
        QImage picture(320, 200, QImage::Format_RGB32);
        picture.fill(color);
        ASSERT_TRUE(picture.save(path));
    }
    // The user's settings, as the keyfile backend would have stored them.
    const QString keyfile = root.filePath("config/glib-2.0/settings/keyfile");
    {
        QFile file(keyfile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(("[org/gnome/desktop/background]\n"
                    "picture-uri='" +
                    fileUri(light) +
                    "'\n"
                    "picture-uri-dark='" +
                    fileUri(dark) +
                    "'\n"
                    "picture-options='zoom'\n"
                    "primary-color='#023C88'\n"
                    "[org/gnome/desktop/interface]\n"
                    "color-scheme='prefer-dark'\n")
                       .c_str());
    }
    const auto before = backgroundKeys(keyfile);
    ASSERT_EQ(before.size(), 4u);

    QProcessEnvironment environment = quillhaven::testing::sandboxEnvironment(
        root.path(), {"GSETTINGS_SCHEMA_DIR", "XDG_DATA_DIRS"});
    const std::map<QString, QString> settings{
        {"QT_QPA_PLATFORM", "offscreen"},
        {"QUILLHAVEN_DESKTOP", "gnome"},
        {"QUILLHAVEN_NOTCH_HEIGHT", "32"},
        {"GSETTINGS_BACKEND", "keyfile"},
    };
    for (const auto& [variable, value] : settings) {
        environment.insert(variable, value);
    }

    QProcess app;
    app.setProcessEnvironment(environment);
    app.start(QStringLiteral(QUILLHAVEN_BINARY), {QStringLiteral("--self-test")});
    ASSERT_TRUE(app.waitForStarted(10'000));
    // The processed picture is shown under both keys for about a second.
    const std::string generatedPrefix = fileUri(root.filePath("data/Quillhaven/Generated")) + "/";
    bool sawGenerated = false;
    QElapsedTimer clock;
    clock.start();
    while (!sawGenerated && app.state() != QProcess::NotRunning && clock.elapsed() < 60'000) {
        auto now = backgroundKeys(keyfile);
        sawGenerated = now["picture-uri"].starts_with(generatedPrefix) &&
                       now["picture-uri-dark"] == now["picture-uri"] &&
                       now["picture-options"] == "stretched" && now["primary-color"] == "#000000";
        app.waitForFinished(50);
    }
    ASSERT_TRUE(app.waitForFinished(60'000));
    EXPECT_TRUE(sawGenerated);
    EXPECT_EQ(app.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(app.exitCode(), 0);
    EXPECT_EQ(app.readAllStandardError().toStdString(), "");

    EXPECT_EQ(backgroundKeys(keyfile), before);
    EXPECT_FALSE(QFile::exists(root.filePath("config/Quillhaven/gnome-background.conf")));
    EXPECT_TRUE(QDir(root.filePath("data/Quillhaven/Generated"))
                    .entryList(QDir::Files | QDir::NoDotAndDotDot)
                    .isEmpty());
}

}  // namespace
