// The windows' part of the program, loaded by the tinlark executable when no running program
// takes the start over (see main.cpp).

#include "Exception.h"
#include "Lmconsts.h"
#include "Lmutils.h"
#include "FileLocations.h"
#include "FirstFrame.h"
#include "Mainfrm.h"
#include "ProgramInstance.h"
#include "ProgramWindows.h"
#include "SignalForwarder.h"
#include "StartOptions.h"
#include "TApplication.h"
#include "UnitScope.h"
#include "Wwmsgdlg.h"

#include <csignal>
#include <cstdio>

extern "C" __attribute__((visibility("default"))) int tinlarkRunWindows(int *argc, char *argv[], void (*fontsReady)(void *), void *fontsContext)
{
    TApplication app(*argc, argv);
    const StartOptions options = StartOptions::parse(app.arguments());
    if (!options.error.isEmpty()) {
        std::fprintf(stderr, "tinlark: %s\n", qPrintable(options.error));
        return 2;
    }
    if (const std::optional<int> answered = options.answerOnTerminal())
        return *answered;
    // One started meanwhile, or this one answers later starts.
    ProgramInstance instance(FileLocations(app.executableFolder()).settingsPath());
    if (instance.handOver(options.pick ? ProgramInstance::PickAction : QString()))
        return 0;
    const UnitScope lmconsts(LmconstsStartup, LmconstsExit);
    const UnitScope lmutils(LmutilsStartup, LmutilsExit);
    const UnitScope wwmsgdlg(WwmsgdlgStartup, WwmsgdlgExit);
    try {
        // Being told to end from outside (the session ends, kill, Ctrl+C) closes the program
        // as the user would, so that the settings and the speech being edited are kept.
        const SignalForwarder terminateSignals({SIGTERM, SIGINT, SIGHUP}, [&app](int) {
            app.hiddenWindow()->postMessage(TerminateRequest, 0, 0);
        });
        app.setTitle(QStringLiteral("The Tinlark"));
        fontsReady(fontsContext); // the launcher reads the font configuration meanwhile
        TForm1 form;
        FirstFrame::reportIfAsked(&form);
        ProgramWindows windows(form);
        windows.answer(instance);
        windows.start(options.pick);
        if (!app.terminated())
            app.exec();
    } catch (const std::exception &error) {
        app.showException(error);
    } catch (...) {
        app.showException(Exception(QString()));
    }
    return 0;
}
