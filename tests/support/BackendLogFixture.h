#pragma once
// A fixture for the back-end's file loaders: the back-end's log goes to a file of the
// test's own folder while the test runs, with the engine's log lines in it as the
// program has them, and each fixture file is indexed under a name no other test used.
// Only for test targets that link the back-end.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "backend/Base/HGESystemObject.h"
#include "engine/FileSystem/FileSystem.h"
#include "engine/System/SystemLogger.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestLogWriter.h"

namespace TestSupport {

class BackendLogFixture : public testing::Test {
protected:
    void SetUp() override
    {
        ClearLog();
        TestSupport::InstallLogWriter(
            [](const char* text) { MobrixCore::HGESystemObject::Instance()->System_Log("%s", text); });
    }
    void TearDown() override
    {
        EngineCore::SystemLogger::Instance().SetLogger(nullptr);
        MobrixCore::HGESystemObject::Instance()->System_SetState(HGE_LOGFILE, "");
    }

    // The lines written to the log since the test began, or since ClearLog.
    std::vector<std::string> Log() const
    {
        std::vector<std::string> lines;
        std::ifstream in(logPath);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    void ClearLog() { MobrixCore::HGESystemObject::Instance()->System_SetState(HGE_LOGFILE, logPath.c_str()); }

    // Writes `bytes` under `subfolder` and indexes it; the name it can be loaded by. Each
    // file gets a name of its own: the file system caches what it has read.
    std::string PutFile(const std::string& subfolder, const std::string& bytes)
    {
        const std::string name = subfolder + "/" + std::to_string(counter++) + ".bin";
        folder.WriteFile(name, bytes);
        EngineCore::FileSystem::Instance().AddDirectory(folder.Path());
        return name;
    }

    TempFolder folder;
    const std::string logPath = folder / "hge.log";
    static inline int counter = 0;
};

}  // namespace TestSupport
