// The form in which the resource compiler embeds the resource script: one table of entries.
// Bitmaps, icons, cursors and custom types are raw bytes; menus, accelerators, dialog templates
// and string tables are structured, their texts UTF-16 as in Windows resources. A resource may
// come in several languages, one entry each.
#pragma once

#include <cstddef>
#include <cstdint>

namespace rc {

struct MenuItem {
    const char16_t* text;  // null for a separator
    std::uint16_t id;
    std::uint16_t flags;  // MF_POPUP, MF_SEPARATOR, MF_GRAYED, MF_CHECKED as written in the script
    const MenuItem* children;
    int childCount;
};

struct Menu {
    const MenuItem* items;
    int count;
};

struct Accelerator {
    std::uint8_t flags;  // FVIRTKEY, FSHIFT, FCONTROL, FALT
    std::uint16_t key;   // virtual key, or the character when FVIRTKEY is not set
    std::uint16_t command;
};

struct AcceleratorTable {
    const Accelerator* entries;
    int count;
};

struct DialogControl {
    const char16_t* className;  // u"BUTTON", u"STATIC" or u"EDIT"
    const char16_t* text;       // for a static icon: the icon's resource name
    int id;                     // -1 for IDC_STATIC
    std::int16_t x, y, cx, cy;  // dialog units
    std::uint32_t style;        // with WS_CHILD | WS_VISIBLE as the resource compiler adds them
    std::uint32_t exStyle;
};

struct DialogTemplate {
    std::int16_t x, y, cx, cy;  // dialog units
    std::uint32_t style;
    std::uint32_t exStyle;
    const char16_t* caption;
    const char16_t* fontName;
    std::uint16_t pointSize;
    const DialogControl* controls;
    int controlCount;
};

// Block "#n" of a string table: the strings of ids 16 * (n - 1) to 16 * n - 1, null where absent.
struct StringBlock {
    const char16_t* texts[16];
};

enum class Kind { Bytes, Menu, Accelerators, Dialog, Strings };

struct Entry {
    const char* name;        // upper case as written in the script
    std::uint16_t typeId;    // RT_* number, or 0 for a type named by text
    const char* typeName;    // the text type ("WAV"), or null
    Kind kind;
    const unsigned char* bytes;  // Kind::Bytes: the resource form (a BITMAP without its file header)
    std::size_t size;
    const void* structured;  // Menu, AcceleratorTable, DialogTemplate or StringBlock
    std::uint16_t language;  // LANGID of its block of the script; 0 for the neutral block
};

struct Table {
    const Entry* entries;
    int count;
};

}  // namespace rc

// Defined by the generated code that the resource compiler writes for the game's script.
extern const rc::Table kModuleResources;
