// The inventory pass over a generated installation (300 plugins listed in wincmd.ini, 2,000
// utility executables in 20 folders) against the I/O floor: a stat of every file the pass lists
// plus a read of its first 64 KiB. Compare the two times per run; peak_rss_MiB is the process's
// peak resident memory after the pass ran.
//
// The files are copies of a MinGW-built test DLL with a version resource when the build tree
// has one (tests/data/pe), otherwise minimal PE images without version information.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/stat.h>

#include <memory>

#include "app/command_line.h"
#include "app/scripted_prompter.h"
#include "engine/app_core.h"
#include "inventory/inventory_pass.h"
#include "inventory/update_list.h"
#include "tcdetect/tc_locator.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int kPluginsPerKind = 75;
constexpr int kUtilityFolders = 20;
constexpr int kUtilitiesPerFolder = 100;

QByteArray minimalPe() {
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

QByteArray sampleImage(const QString& benchDir) {
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

GeneratedInstallation& installation() {
    static GeneratedInstallation generated(sampleImage(QCoreApplication::applicationDirPath()));
    return generated;
}

double peakRssMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// The generated prefix, with none of Total Commander's variables of this shell leaking in.
quillon::platform::PlatformOptions platformFor(const GeneratedInstallation& in) {
    for (const char* name : {"COMMANDER_PATH", "COMMANDER_INI", "COMMANDER_EXE", "COMMANDER_DRIVE"})
        qunsetenv(name);
    quillon::platform::PlatformOptions options;
    options.winePrefix = in.prefix.toStdString();
    return options;
}

void BM_InventoryPass(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    quillon::ScriptedPrompter prompter;
    quillon::AppCore core(prompter, platformFor(in));
    quillon::StartOptions start;
    start.settingsDir = in.settingsDir();
    start.programPath = in.programPath();
    start.language = u"1033"_s;
    core.startUp(quillon::CommandLine({start.programPath}), start);
    int rows = 0;
    for (auto _ : state) {
        const quillon::InventoryPassResult result = core.runInventoryPass();
        rows = core.updateList().rowCount();
        benchmark::DoNotOptimize(result.configFound);
    }
    state.counters["rows"] = rows;
    state.counters["files"] = static_cast<double>(in.files.size());
    state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_InventoryPass)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_IoFloor(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString& path : std::as_const(in.files)) {
            const QByteArray native = QFile::encodeName(path);
            struct stat info {};
            if (stat(native.constData(), &info) != 0)
                continue;
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                total += file.read(buffer.data(), buffer.size());
        }
        benchmark::DoNotOptimize(total);
    }
    state.counters["files"] = static_cast<double>(in.files.size());
}
BENCHMARK(BM_IoFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The stored form of a path, asked once per item whenever confirmed versions exist; with none of
// Total Commander's variables set every one of them is looked up in the prefix.
void BM_ConvertToEnvPath(benchmark::State& state) {
    GeneratedInstallation& in = installation();
    quillon::ScriptedPrompter prompter;
    quillon::AppCore core(prompter, platformFor(in));
    const quillon::TcLocator locator(core.system());
    const QString& path = in.files.constLast();
    for (auto _ : state)
        benchmark::DoNotOptimize(locator.ConvertToEnvPath(path));
}
BENCHMARK(BM_ConvertToEnvPath)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
