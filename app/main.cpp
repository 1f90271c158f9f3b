// The Tinlark: keeps canned speeches and puts them on the clipboard.
//
// This executable needs only Qt's core and its bus: a start that a running program takes over
// (`tinlark --pick` from a desktop key) ends without loading the windows, the databases and
// every library they need. Otherwise it loads the windows' part, tinlark-windows.so, beside
// the executable in a portable program or in the program's library folder once installed.

#include "FileLocations.h"
#include "FontConfigWarmUp.h"
#include "ProgramInstance.h"
#include "StartOptions.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <dlfcn.h>

namespace {

const char *const WindowsEntry = "tinlarkRunWindows";

QString windowsLibraryPath(const QString &executableFolder)
{
    const QString beside = executableFolder + QStringLiteral("tinlark-windows.so");
    if (QFileInfo::exists(beside))
        return beside;
    return executableFolder + QStringLiteral(TINLARK_WINDOWS_LIBRARY_FROM_BINDIR);
}

} // namespace

int main(int argc, char *argv[])
{
    const QString folder = FileLocations::runningExecutableFolder();
    {
        // A program already running with these settings takes the start over.
        const StartOptions early = StartOptions::parse(argc, argv);
        // --help and --version are answered here, with no display needed.
        if (const std::optional<int> answered = early.answerOnTerminal())
            return *answered;
        if (early.error.isEmpty() && ProgramInstance(FileLocations(folder).settingsPath())
                                         .handOverEarly(early.pick ? ProgramInstance::PickAction : QString()))
            return 0;
    }
    // Read beside the loading of the windows' libraries; waited for before the first text.
    FontConfigWarmUp fonts;
    const QByteArray library = QFile::encodeName(windowsLibraryPath(folder));
    void *windows = dlopen(library.constData(), RTLD_LAZY | RTLD_LOCAL);
    using Entry = int (*)(int *, char **, void (*)(void *), void *);
    const auto run = windows ? reinterpret_cast<Entry>(dlsym(windows, WindowsEntry)) : nullptr;
    if (!run) {
        std::fprintf(stderr, "tinlark: the program is incomplete: %s\n", dlerror());
        return 1;
    }
    // Left loaded: the windows' objects live until the process ends.
    return run(&argc, argv, [](void *warmUp) { static_cast<FontConfigWarmUp *>(warmUp)->wait(); }, &fonts);
}
