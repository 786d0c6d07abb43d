#pragma once
#include <string>

#include "engine/FileSystem/SystemTime.h"

namespace EngineCore {

class InputDataStream;
class OutputDataStream;

// Where the indexed copy of one file name lives: a disk file below a root folder,
// or an entry of a mounted pack; with its modification date (UTC).
class FileInfo {
public:
    enum FileType { TypeNone = 0, TypeDisk = 1, TypePack = 2 };

    FileInfo() = default;

    FileType GetType() const { return _type; }
    const SYSTEMTIME& GetDataTime() const { return _date; }
    int GetPackedFileIndex() const { return _packIndex; }
    const std::string& GetDiskPath() const { return _diskRoot; }
    const std::string& GetPackName() const { return _packName; }
    const std::string& GetFileName() const { return _fileName; }

    // Orders by date alone, year to second; day of week and milliseconds are ignored.
    bool operator<(const FileInfo& other) const;
    // Same date (year to second) and same file name.
    bool operator==(const FileInfo& other) const;

    // Record: type (1 byte), pack index (int), root, pack name, file name (strings),
    // then year, month, day, hour, minute, second (16-bit each).
    bool Serialize(OutputDataStream& stream) const;
    bool Serialize(InputDataStream& stream);

protected:
    friend class FileSystem;
    friend class PackFile;

    void SetDateTime(const SYSTEMTIME& date) { _date = date; }
    void SetDiskFile(const std::string& name, const std::string& root);
    void SetPackFile(const std::string& name, const std::string& packName, int index);

private:
    FileType _type = TypeNone;
    SYSTEMTIME _date;
    int _packIndex = -1;
    std::string _diskRoot = "Base";
    std::string _packName;
    std::string _fileName;
};

}  // namespace EngineCore
