#pragma once
// A generated Total Commander installation for the benchmarks: 300 plugins listed in wincmd.ini,
// 2,000 utility executables in 20 folders, in a Wine-style prefix of a temporary folder.
//
// The files are copies of a MinGW-built test DLL with a version resource when the build tree
// has one (tests/data/pe), otherwise minimal PE images without version information.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "platform/platform.h"

namespace quillon::bench {

using namespace Qt::StringLiterals;

constexpr int kPluginsPerKind = 75;
constexpr int kUtilityFolders = 20;
constexpr int kUtilitiesPerFolder = 100;

inline QByteArray minimalPe() {
    QByteArray image(4096, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    image[0x3c] = 0x40;
    image.replace(0x40, 4, QByteArray("PE\0\0", 4));
    image[0x44] = static_cast<char>(0x64); // AMD64
    image[0x45] = static_cast<char>(0x86);
    const quint32 stamp = 1700000000;
    for (int i = 0; i < 4; ++i)
        image[0x48 + i] = static_cast<char>((stamp >> (8 * i)) & 0xff);
    return image;
}

inline QByteArray sampleImage(const QString& benchDir) {
    QFile built(benchDir + u"/../tests/data/pe/us_english_1252_64.dll"_s);
    if (built.open(QIODevice::ReadOnly))
        return built.readAll();
    return minimalPe();
}

class GeneratedInstallation {
public:
    explicit GeneratedInstallation(const QByteArray& image) {
        const QString root = m_dir.path() + u"/prefix"_s;
        QDir().mkpath(root + u"/dosdevices"_s);
        QDir().mkpath(root + u"/drive_c/windows"_s);
        QFile::link(u"../drive_c"_s, root + u"/dosdevices/c:"_s);
        QFile::link(u"/"_s, root + u"/dosdevices/z:"_s);
        write(root + u"/user.reg"_s, "WINE REGISTRY Version 2\n\n[Software\\\\Ghisler\\\\Total Commander] 1\n"
                                     "\"IniFileName\"=\"C:\\\\totalcmd\\\\wincmd.ini\"\n"
                                     "\"InstallDir\"=\"C:\\\\totalcmd\"\n");
        write(root + u"/system.reg"_s, "WINE REGISTRY Version 2\n");
        prefix = root;
        tc = root + u"/drive_c/totalcmd"_s;

        addFile(u"TOTALCMD64.EXE"_s, image);
        QByteArray ini = "[Configuration]\r\nInstallDir=C:\\totalcmd\r\n";
        const char* sections[] = {"PackerPlugins", "FileSystemPlugins", "ListerPlugins", "ContentPlugins"};
        const char* kinds[] = {"wcx", "wfx", "wlx", "wdx"};
        for (int s = 0; s < 4; ++s) {
            ini += QByteArray("[") + sections[s] + "]\r\n";
            for (int i = 0; i < kPluginsPerKind; ++i) {
                const QString name = u"p%1_%2"_s.arg(i).arg(QLatin1String(kinds[s]));
                const QString rel = u"plugins/%1/%2/%2.%1"_s.arg(QLatin1String(kinds[s]), name);
                addFile(rel, image);
                ini += QByteArray::number(i) + "=" + (s == 0 ? "31," : "") + "%COMMANDER_PATH%\\" +
                       QString(rel).replace(u'/', u'\\').toLatin1() + "\r\n";
            }
        }
        write(tc + u"/wincmd.ini"_s, ini);
        for (int f = 0; f < kUtilityFolders; ++f) {
            for (int i = 0; i < kUtilitiesPerFolder; ++i)
                addFile(u"tools%1/util%2.exe"_s.arg(f).arg(i), image);
        }
    }

    QString settingsDir() const { return m_dir.path() + u"/settings"_s; }
    QString programPath() const { return m_dir.path() + u"/bin/quillon"_s; }
    // A settings file whose sites are catalogue and totalCommander, nothing else set.
    void writeSites(const QString& catalogue, const QString& totalCommander) const {
        write(settingsDir() + u"/Quillon.ini"_s, "[Sites]\nCatalogue=" + catalogue.toUtf8() +
                                                     "\nTotalCommander=" + totalCommander.toUtf8() + "\n");
    }

    QString prefix;
    QString tc;
    QStringList files;

private:
    static void write(const QString& path, const QByteArray& content) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }
    void addFile(const QString& relative, const QByteArray& content) {
        write(tc + u'/' + relative, content);
        files.append(tc + u'/' + relative);
    }

    QTemporaryDir m_dir;
};

inline GeneratedInstallation& installation() {
    static GeneratedInstallation generated(sampleImage(QCoreApplication::applicationDirPath()));
    return generated;
}

// The generated prefix, with none of Total Commander's variables of this shell leaking in.
inline quillon::platform::PlatformOptions platformFor(const GeneratedInstallation& in) {
    for (const char* name : {"COMMANDER_PATH", "COMMANDER_INI", "COMMANDER_EXE", "COMMANDER_DRIVE"})
        qunsetenv(name);
    quillon::platform::PlatformOptions options;
    options.winePrefix = in.prefix.toStdString();
    return options;
}

} // namespace quillon::bench
