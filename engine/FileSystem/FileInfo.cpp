#include "engine/FileSystem/FileInfo.h"

#include <tuple>

#include "engine/FileSystem/InputDataStream.h"
#include "engine/FileSystem/OutputDataStream.h"

namespace EngineCore {

namespace {
auto DateKey(const SYSTEMTIME& d)
{
    return std::make_tuple(d.wYear, d.wMonth, d.wDay, d.wHour, d.wMinute, d.wSecond);
}
}  // namespace

bool FileInfo::operator<(const FileInfo& other) const
{
    return DateKey(_date) < DateKey(other._date);
}

bool FileInfo::operator==(const FileInfo& other) const
{
    return DateKey(_date) == DateKey(other._date) && _fileName == other._fileName;
}

void FileInfo::SetDiskFile(const std::string& name, const std::string& root)
{
    _type = TypeDisk;
    _fileName = name;
    _diskRoot = root;
}

void FileInfo::SetPackFile(const std::string& name, const std::string& packName, int index)
{
    _type = TypePack;
    _fileName = name;
    _packName = packName;
    _packIndex = index;
}

bool FileInfo::Serialize(OutputDataStream& stream) const
{
    stream << static_cast<unsigned char>(_type) << _packIndex << _diskRoot.c_str() << _packName.c_str()
           << _fileName.c_str() << _date.wYear << _date.wMonth << _date.wDay << _date.wHour
           << _date.wMinute << _date.wSecond;
    return true;
}

bool FileInfo::Serialize(InputDataStream& stream)
{
    // Fields that cannot be read keep their values; the type is 0 when its byte is missing
    // or names no known place (a record never holds a value outside the enumeration).
    unsigned char type = 0;
    stream >> type;
    _type = type == TypeDisk || type == TypePack ? static_cast<FileType>(type) : TypeNone;
    stream >> _packIndex;
    stream >> _diskRoot;
    stream >> _packName;
    stream >> _fileName;
    stream >> _date.wYear;
    stream >> _date.wMonth;
    stream >> _date.wDay;
    stream >> _date.wHour;
    stream >> _date.wMinute;
    stream >> _date.wSecond;
    return true;
}

}  // namespace EngineCore
