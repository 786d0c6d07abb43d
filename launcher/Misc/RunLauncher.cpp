// The program's run from start to exit status: the application object, the
// protected start and frame loop, the fatal-error path and the shutdown.
#include <exception>
#include <string>

#include "engine/System/SystemLogger.h"
#include "launcher/Misc/Application.h"

namespace ApplicationCore {

namespace {

// The log's path, when this run wrote one: a file left by an earlier run would
// point the reader at the wrong text.
std::string ThisRunsLog(const Application& application)
{
    const LauncherServices& services = application.GetServices();
    if (!application.HasOpenedLog() || !services.logPath)
        return std::string();
    return services.logPath();
}

// What was logged before the log opened, when it never did: the lines that lead up to
// an error before the window are the ones that explain it.
std::string LinesNoLogTook()
{
    std::string text;
    for (const std::string& line : EngineCore::SystemLogger::Instance().TakeKeptLines())
        text += line + "\n";
    return text;
}

void ReportFatal(Application& application, const std::string& text)
{
    const LauncherServices& services = application.GetServices();
    // Taken first, so that nothing logged from here on is kept for a log that never opens.
    const std::string earlyLines = LinesNoLogTook();
    // Reaches the log only once the back-end has opened it.
    application.PrintToLog(text.c_str());
    if (void* window = application.GetWindow()) {
        if (services.hideWindow)
            services.hideWindow(window);
    }
    // Errors before the log exists would otherwise be lost, and the box does not show the text.
    if (services.writeError) {
        const std::string log = ThisRunsLog(application);
        services.writeError(earlyLines + text + (log.empty() ? std::string() : "Log file: " + log + "\n"));
    }
    if (services.showDialog)
        services.showDialog(DialogKind::Error, "Fatal error", "Please restart your application.", nullptr);
}

}  // namespace

int RunLauncher(int argc, const char* const* argv, const LauncherServices& services)
{
    int status = 0;
    Application application(argc, argv, services);
    try {
        application.Run();
    } catch (const std::exception& error) {
        ReportFatal(application, std::string("\n\n*** FatalError: ") + error.what() + "\n\n");
        status = 1;
    } catch (...) {
        ReportFatal(application, "\n\n*** FatalError: Unknown exception.\n\n");
        status = 1;
    }
    return status;
}

}  // namespace ApplicationCore
