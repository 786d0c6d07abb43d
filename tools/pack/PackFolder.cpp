#include "tools/pack/PackFolder.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>
#include <vector>

#include "tools/pack/PackWriter.h"

namespace PackTool {

namespace {

bool ModificationDate(const std::filesystem::path& path, EngineCore::SYSTEMTIME& date)
{
    struct stat st {};
    if (stat(path.c_str(), &st) != 0)
        return false;
    std::tm utc {};
    const time_t modified = st.st_mtime;
    if (!gmtime_r(&modified, &utc))
        return false;
    date = PackWriter::MakeDate(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                                utc.tm_sec);
    return true;
}

}  // namespace

bool PackFolder(const std::string& folder, const std::string& output, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code code;
    const fs::path root(folder);
    if (!fs::is_directory(root, code)) {
        error = "not a folder: " + folder;
        return false;
    }
    const fs::path outputPath = fs::weakly_canonical(fs::path(output), code);

    // Names are sorted byte-wise: the pack is the same whatever order the disk lists.
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(root, code), end; !code && it != end; it.increment(code)) {
        if (!it->is_regular_file(code) || it->path().extension() == ".resources")
            continue;
        if (fs::weakly_canonical(it->path(), code) == outputPath)
            continue;
        files.push_back(it->path());
    }
    if (code) {
        error = "cannot read " + folder + ": " + code.message();
        return false;
    }
    std::sort(files.begin(), files.end());

    PackWriter pack;
    pack.SetEntryMode(PackWriter::EntryMode::Smallest);
    for (const fs::path& file : files) {
        const std::string name = file.lexically_relative(root).generic_string();
        EngineCore::SYSTEMTIME date;
        std::ifstream in(file, std::ios::binary);
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            error = "cannot read " + file.string();
            return false;
        }
        if (!ModificationDate(file, date)) {
            error = "cannot read the date of " + file.string();
            return false;
        }
        pack.AddEntry(name, bytes, date);
    }
    try {
        if (!pack.Write(output)) {
            error = "cannot write " + output;
            return false;
        }
    } catch (const std::exception& e) {
        error = std::string(e.what()) + ": " + output;
        return false;
    }
    return true;
}

}  // namespace PackTool
