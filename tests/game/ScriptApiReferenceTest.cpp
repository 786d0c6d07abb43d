// The script API reference (docs/script-api.md) against the classes the interpreters
// really get: the same classes in registration order, and for each registered class the
// same methods in table order. The reference's layout is rigid so that it reads back
// here: one "## Name" heading per class (no other "## " headings), then a table whose
// rows start with the method name in backticks, and whose last cell lists the errors,
// each error text in double quotes as the code spells it.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include <lua.hpp>

#include "game/ScriptEngine/LuaScriptEngine/GameStateScriptClasses.h"
#include "game/ScriptEngine/LuaScriptEngine/LuaScriptEngine.h"
#include "game/ScriptEngine/LuaScriptEngine/StartupScriptClasses.h"

namespace {

struct ClassEntry {
    std::string name;
    std::vector<std::string> methods;
    // Per method row: the error texts quoted in its last cell.
    std::vector<std::vector<std::string>> errors;
};

using ClassList = std::vector<ClassEntry>;

std::string Trim(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The texts in double quotes in one table cell; a quote inside a text is escaped, as in C.
std::vector<std::string> QuotedTexts(const std::string& cell)
{
    std::vector<std::string> texts;
    size_t at = cell.find('"');
    while (at != std::string::npos) {
        size_t end = at + 1;
        while (end < cell.size() && !(cell[end] == '"' && cell[end - 1] != '\\'))
            ++end;
        if (end >= cell.size())
            break;
        texts.push_back(cell.substr(at + 1, end - at - 1));
        at = cell.find('"', end + 1);
    }
    return texts;
}

// Classes and their method rows, in the order the text gives them. A row's method is
// its first cell when that cell is one name in backticks; header and rule rows have none.
ClassList ParseReference(const std::string& text)
{
    ClassList classes;
    std::istringstream lines(text);
    std::string line;
    bool inCode = false;
    while (std::getline(lines, line)) {
        if (line.compare(0, 3, "```") == 0) {
            inCode = !inCode;
            continue;
        }
        if (inCode)
            continue;
        if (line.compare(0, 3, "## ") == 0) {
            classes.push_back({Trim(line.substr(3)), {}, {}});
            continue;
        }
        if (classes.empty() || line.empty() || line[0] != '|')
            continue;
        const size_t end = line.find('|', 1);
        if (end == std::string::npos)
            continue;
        const std::string cell = Trim(line.substr(1, end - 1));
        if (cell.size() > 2 && cell.front() == '`' && cell.back() == '`' &&
            cell.find('`', 1) == cell.size() - 1) {
            classes.back().methods.push_back(cell.substr(1, cell.size() - 2));
            const size_t last = line.find_last_of('|', line.find_last_not_of(" \t\r|") );
            classes.back().errors.push_back(QuotedTexts(last == std::string::npos ? "" : line.substr(last)));
        }
    }
    return classes;
}

// The binder keeps each method's row of the class's method table in the closure's
// upvalue, as its first field. The rows of one class lie in one array in table order,
// so their addresses give the order that the method table (a Lua hash) has lost.
std::vector<std::string> MethodsInTableOrder(lua_State* L, const std::string& className)
{
    std::vector<std::pair<const void*, std::string>> rows;
    lua_getglobal(L, className.c_str());
    const int table = lua_gettop(L);
    lua_pushnil(L);
    while (lua_next(L, table)) {
        const std::string name = lua_tostring(L, -2);
        if (name != "new" && lua_iscfunction(L, -1) && lua_getupvalue(L, -1, 1)) {
            if (lua_type(L, -1) == LUA_TUSERDATA)
                rows.emplace_back(*static_cast<const void* const*>(lua_touserdata(L, -1)), name);
            lua_pop(L, 1);
        }
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    std::sort(rows.begin(), rows.end());
    // Two methods on one row would mean the upvalue no longer starts with the row.
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_NE(rows[i - 1].first, rows[i].first) << className << ": the binder's upvalue changed its layout";
    std::vector<std::string> names;
    for (const auto& row : rows)
        names.push_back(row.second);
    return names;
}

// Records the order in which registration creates globals: each class is one global.
int RecordGlobal(lua_State* L)
{
    lua_getfield(L, LUA_REGISTRYINDEX, "registered.order");
    lua_pushvalue(L, 2);
    lua_rawseti(L, -2, static_cast<int>(lua_objlen(L, -2)) + 1);
    lua_pop(L, 1);
    lua_rawset(L, 1);
    return 0;
}

// The classes one registration function makes, in its order, with their methods.
ClassList Registered(void (*registerClasses)(lua_State*))
{
    GameLuaScriptImpl::LuaScriptEngine engine;
    EXPECT_TRUE(engine.Open());
    lua_State* L = engine.GetState();
    lua_newtable(L);
    lua_setfield(L, LUA_REGISTRYINDEX, "registered.order");
    lua_newtable(L);
    lua_pushcfunction(L, &RecordGlobal);
    lua_setfield(L, -2, "__newindex");
    lua_setmetatable(L, LUA_GLOBALSINDEX);

    registerClasses(L);

    lua_pushnil(L);
    lua_setmetatable(L, LUA_GLOBALSINDEX);
    ClassList classes;
    lua_getfield(L, LUA_REGISTRYINDEX, "registered.order");
    const int count = static_cast<int>(lua_objlen(L, -1));
    for (int i = 1; i <= count; ++i) {
        lua_rawgeti(L, -1, i);
        classes.push_back({lua_tostring(L, -1), {}, {}});
        lua_pop(L, 1);
    }
    lua_pop(L, 1);
    for (ClassEntry& entry : classes)
        entry.methods = MethodsInTableOrder(L, entry.name);
    return classes;
}

std::string Join(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

std::vector<std::string> Names(const ClassList& classes)
{
    std::vector<std::string> names;
    for (const ClassEntry& entry : classes)
        names.push_back(entry.name);
    return names;
}

class ScriptApiReferenceTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::ifstream in(SCRIPT_API_REFERENCE, std::ios::binary);
        ASSERT_TRUE(in) << SCRIPT_API_REFERENCE;
        std::ostringstream text;
        text << in.rdbuf();
        reference = ParseReference(text.str());
        registered = Registered(&GameLuaScriptImpl::RegisterStartupScriptClasses);
        const ClassList gameState = Registered(&GameLuaScriptImpl::RegisterGameStateScriptClasses);
        registered.insert(registered.end(), gameState.begin(), gameState.end());
        ASSERT_FALSE(registered.empty());
    }

    const ClassEntry* FindRegistered(const std::string& name) const
    {
        for (const ClassEntry& entry : registered) {
            if (entry.name == name)
                return &entry;
        }
        return nullptr;
    }

    ClassList reference;
    // The start-up classes, then the game-state classes.
    ClassList registered;
};

TEST_F(ScriptApiReferenceTest, NamesTheRegisteredClassesInRegistrationOrder)
{
    std::vector<std::string> documented;
    std::set<std::string> seen;
    for (const ClassEntry& entry : reference) {
        EXPECT_TRUE(seen.insert(entry.name).second) << "documented twice: " << entry.name;
        // A class the build does not register yet keeps its place in the reference.
        if (FindRegistered(entry.name))
            documented.push_back(entry.name);
    }
    EXPECT_EQ(Join(Names(registered)), Join(documented));
}

TEST_F(ScriptApiReferenceTest, ListsTheMethodsOfEveryRegisteredClassInTableOrder)
{
    for (const ClassEntry& entry : reference) {
        SCOPED_TRACE(entry.name);
        EXPECT_FALSE(entry.methods.empty()) << "no method table";
        const ClassEntry* built = FindRegistered(entry.name);
        if (!built)
            continue;
        EXPECT_EQ(Join(built->methods), Join(entry.methods));
    }
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The script class whose own wrapper file this is ("SpriteWrapper.cpp",
// "SpriteScriptMethods.cpp"), or "" for a helper that wrappers share.
std::string OwnerOf(const std::string& fileName, const std::vector<std::string>& classNames)
{
    std::string owner;
    for (const std::string& name : classNames) {
        const bool own = fileName.rfind(name + "Wrapper", 0) == 0 || fileName.rfind(name + "ScriptMethods", 0) == 0;
        if (own && name.size() > owner.size())
            owner = name;
    }
    return owner;
}

// The sources a method's error can come from: the class's own wrapper files, and every
// other source of the libraries that is not another class's wrapper.
std::string SourcesFor(const std::string& className, const std::vector<std::string>& classNames)
{
    const std::filesystem::path root(SOURCE_ROOT);
    std::string text;
    for (const char* library : {"engine", "backend", "game"}) {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root / library)) {
            const std::filesystem::path& path = entry.path();
            if (path.extension() != ".cpp" && path.extension() != ".h")
                continue;
            const std::string owner = path.parent_path().filename() == "Wrappers"
                                          ? OwnerOf(path.filename().string(), classNames)
                                          : std::string();
            if (owner.empty() || owner == className)
                files.push_back(path);
        }
        std::sort(files.begin(), files.end());
        for (const auto& path : files)
            text += ReadFile(path);
    }
    return text;
}

TEST_F(ScriptApiReferenceTest, QuotesOnlyErrorTextsTheMethodsCodeSpells)
{
    for (const ClassEntry& entry : reference) {
        if (!FindRegistered(entry.name))
            continue;
        const std::string sources = SourcesFor(entry.name, Names(registered));
        for (size_t i = 0; i < entry.methods.size(); ++i) {
            for (const std::string& quoted : entry.errors[i]) {
                EXPECT_NE(sources.find("\"" + quoted + "\""), std::string::npos)
                    << entry.name << ":" << entry.methods[i] << " quotes \"" << quoted
                    << "\", which neither its wrapper nor the libraries spell";
            }
        }
    }
}

// The reader above is what keeps the check honest: it must find rows where the
// reference's layout puts them and nothing else.
TEST(ScriptApiReferenceParse, ReadsHeadingsAndFirstCellsOnly)
{
    const std::string text =
        "# Title\n"
        "| `NotAClass` | before any class |\n"
        "## First\n"
        "Prose with `Code`.\n"
        "| method | arguments |\n"
        "|---|---|\n"
        "| `Alpha` | x |\n"
        "| `Beta` | `y` | \"One (%s) error.\"; \"Two (\\\"%s\\\") error.\" |\n"
        "|`Gamma`|z|\n"
        "| Delta | no backticks |\n"
        "| `Two` `names` | not one name |\n"
        "```\n"
        "| `InCode` | x |\n"
        "## InCode\n"
        "```\n"
        "### Sub-heading\n"
        "## Second\n"
        "| `Alpha` | again |\n";
    const ClassList classes = ParseReference(text);
    ASSERT_EQ(2u, classes.size());
    EXPECT_EQ("First", classes[0].name);
    EXPECT_EQ("Alpha Beta Gamma", Join(classes[0].methods));
    ASSERT_EQ(3u, classes[0].errors.size());
    EXPECT_EQ("One (%s) error.|Two (\\\"%s\\\") error.", classes[0].errors[1][0] + "|" + classes[0].errors[1][1]);
    EXPECT_TRUE(classes[0].errors[0].empty());
    EXPECT_EQ("Second", classes[1].name);
    EXPECT_EQ("Alpha", Join(classes[1].methods));
}

}  // namespace
