// The program's entry: everything else lives in the launcher's own sources.
#include "launcher/Misc/Application.h"
#include "launcher/Misc/LauncherServices.h"
#include "launcher/Misc/StopSignals.h"

int main(int argc, char** argv)
{
    ApplicationCore::InstallStopSignals();
    return ApplicationCore::RunLauncher(argc, argv, ApplicationCore::DefaultLauncherServices());
}
