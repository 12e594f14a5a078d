// The resource compiler's model of a resource script, and the calls that build and emit it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace rc {

// Windows resource type numbers that the compiler writes.
constexpr std::uint16_t kTypeCursor = 1;
constexpr std::uint16_t kTypeBitmap = 2;
constexpr std::uint16_t kTypeIcon = 3;
constexpr std::uint16_t kTypeMenu = 4;
constexpr std::uint16_t kTypeDialog = 5;
constexpr std::uint16_t kTypeString = 6;
constexpr std::uint16_t kTypeAccelerator = 9;

// A fault in the script or in a file it names; what() reads "file:line: message".
class CompileError : public std::runtime_error {
public:
    CompileError(std::string file, int line, const std::string& message);
    const std::string& file() const { return file_; }
    int line() const { return line_; }
    const std::string& message() const { return message_; }

private:
    std::string file_;
    int line_;
    std::string message_;
};

struct MenuNode {
    bool separator = false;
    std::u16string text;
    std::uint16_t id = 0;
    std::uint16_t flags = 0;  // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_DISABLED, MF_CHECKED
    std::vector<MenuNode> children;
};

struct MenuDef {
    std::vector<MenuNode> items;
};

struct AcceleratorDef {
    std::uint8_t flags = 0;  // FVIRTKEY, FNOINVERT, FSHIFT, FCONTROL, FALT
    std::uint16_t key = 0;
    std::uint16_t command = 0;
};

struct AcceleratorsDef {
    std::vector<AcceleratorDef> entries;
};

struct ControlDef {
    std::u16string className;  // BUTTON, STATIC, EDIT, ... upper case for the predefined classes
    std::u16string text;
    int id = 0;
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;  // WS_CHILD | WS_VISIBLE and the statement's defaults included
    std::uint32_t exStyle = 0;
};

struct DialogDef {
    bool extended = false;  // DIALOGEX
    std::int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    std::u16string caption;
    bool hasFont = false;
    std::u16string fontName;
    std::uint16_t pointSize = 0;
    std::vector<ControlDef> controls;
};

// Raw resource bytes: the resource form of a bitmap, or a whole icon, cursor or custom file.
struct BytesDef {
    std::vector<unsigned char> bytes;
    std::filesystem::path source;
};

// One block of a string table: the strings of ids 16 * (n - 1) to 16 * n - 1 for block "#n",
// as Windows stores them; an id the script leaves out is an empty string.
struct StringBlockDef {
    std::u16string texts[16];
};

struct Resource {
    std::string name;        // upper case; "#n" for a numbered resource
    std::uint16_t language = 0;  // LANGID of the LANGUAGE statement before it; 0 is neutral
    std::uint16_t typeId = 0;
    std::string typeName;    // upper case, for a type named by text (typeId 0)
    std::string file;        // script that defines it, and the line
    int line = 0;
    std::variant<BytesDef, MenuDef, AcceleratorsDef, DialogDef, StringBlockDef> content;
};

struct Script {
    std::vector<Resource> resources;
    std::vector<std::filesystem::path> dependencies;  // the script, its headers and named files

    // The resource of that name, type (typeId, or typeName when typeId is 0) and language, or null.
    const Resource* Find(std::string_view name, std::uint16_t typeId,
                         std::string_view typeName = {}, std::uint16_t language = 0) const;
};

// Compiles script text; #include and file names resolve against baseDir; errors name fileName.
Script Compile(std::string_view text, const std::filesystem::path& baseDir,
               const std::string& fileName = "script.rc");
Script CompileFile(const std::filesystem::path& path);

// C++ source that defines kModuleResources (resource_table.h) with every resource of the script.
std::string Emit(const Script& script, std::string_view scriptName);

// A make-style dependency line naming target and every dependency of the script.
std::string Depfile(const std::filesystem::path& target, const Script& script);

}  // namespace rc
