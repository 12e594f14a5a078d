// Parses a resource script into the compiler's model: menus, accelerators, dialogs and files.
#include <algorithm>
#include <cctype>
#include <deque>
#include <fstream>
#include <set>
#include <sstream>
#include <unordered_map>

#include "lexer.h"
#include "rc_compiler.h"

namespace rc {

CompileError::CompileError(std::string file, int line, const std::string& message)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + message),
      file_(std::move(file)), line_(line), message_(message) {}

const Resource* Script::Find(std::string_view name, std::uint16_t typeId,
                             std::string_view typeName, std::uint16_t language) const {
    for (const Resource& r : resources)
        if (r.name == name && r.typeId == typeId && (typeId != 0 || r.typeName == typeName) &&
            r.language == language)
            return &r;
    return nullptr;
}

namespace {

using detail::Context;
using detail::Lexer;
using detail::Token;
using detail::TokenKind;

constexpr std::uint32_t WS_CHILD = 0x40000000;
constexpr std::uint32_t WS_VISIBLE = 0x10000000;
constexpr std::uint32_t WS_POPUP = 0x80000000;
constexpr std::uint32_t WS_BORDER = 0x00800000;
constexpr std::uint32_t WS_SYSMENU = 0x00080000;
constexpr std::uint32_t WS_CAPTION = 0x00C00000;
constexpr std::uint32_t WS_GROUP = 0x00020000;
constexpr std::uint32_t WS_TABSTOP = 0x00010000;
constexpr std::uint32_t DS_SETFONT = 0x0040;

constexpr std::uint16_t MF_GRAYED = 0x0001;
constexpr std::uint16_t MF_DISABLED = 0x0002;
constexpr std::uint16_t MF_CHECKED = 0x0008;
constexpr std::uint16_t MF_POPUP = 0x0010;
constexpr std::uint16_t MF_SEPARATOR = 0x0800;

constexpr std::uint8_t FVIRTKEY = 0x01;
constexpr std::uint8_t FNOINVERT = 0x02;
constexpr std::uint8_t FSHIFT = 0x04;
constexpr std::uint8_t FCONTROL = 0x08;
constexpr std::uint8_t FALT = 0x10;

// The names that windows.h gives the styles of windows, dialogs and the predefined controls.
const std::unordered_map<std::string, std::int64_t>& BuiltinNames() {
    static const std::unordered_map<std::string, std::int64_t> names = {
        {"WS_OVERLAPPED", 0x00000000}, {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000}, {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000},
        {"WS_MAXIMIZE", 0x01000000}, {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000}, {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000}, {"WS_THICKFRAME", 0x00040000}, {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000}, {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000},
        {"WS_EX_DLGMODALFRAME", 0x00000001}, {"WS_EX_TOPMOST", 0x00000008},
        {"WS_EX_TRANSPARENT", 0x00000020}, {"WS_EX_TOOLWINDOW", 0x00000080},
        {"WS_EX_WINDOWEDGE", 0x00000100}, {"WS_EX_CLIENTEDGE", 0x00000200},
        {"WS_EX_CONTEXTHELP", 0x00000400}, {"WS_EX_STATICEDGE", 0x00020000},
        {"DS_ABSALIGN", 0x0001}, {"DS_SYSMODAL", 0x0002}, {"DS_3DLOOK", 0x0004},
        {"DS_FIXEDSYS", 0x0008}, {"DS_NOFAILCREATE", 0x0010}, {"DS_LOCALEDIT", 0x0020},
        {"DS_SETFONT", 0x0040}, {"DS_MODALFRAME", 0x0080}, {"DS_NOIDLEMSG", 0x0100},
        {"DS_SETFOREGROUND", 0x0200}, {"DS_CONTROL", 0x0400}, {"DS_CENTER", 0x0800},
        {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x0048},
        {"BS_PUSHBUTTON", 0x0000}, {"BS_DEFPUSHBUTTON", 0x0001}, {"BS_CHECKBOX", 0x0002},
        {"BS_AUTOCHECKBOX", 0x0003}, {"BS_RADIOBUTTON", 0x0004}, {"BS_3STATE", 0x0005},
        {"BS_AUTO3STATE", 0x0006}, {"BS_GROUPBOX", 0x0007}, {"BS_USERBUTTON", 0x0008},
        {"BS_AUTORADIOBUTTON", 0x0009}, {"BS_OWNERDRAW", 0x000B}, {"BS_LEFTTEXT", 0x0020},
        {"BS_TEXT", 0x0000}, {"BS_ICON", 0x0040}, {"BS_BITMAP", 0x0080}, {"BS_LEFT", 0x0100},
        {"BS_RIGHT", 0x0200}, {"BS_CENTER", 0x0300}, {"BS_TOP", 0x0400}, {"BS_BOTTOM", 0x0800},
        {"BS_VCENTER", 0x0C00}, {"BS_PUSHLIKE", 0x1000}, {"BS_MULTILINE", 0x2000},
        {"BS_NOTIFY", 0x4000}, {"BS_FLAT", 0x8000},
        {"SS_LEFT", 0x0000}, {"SS_CENTER", 0x0001}, {"SS_RIGHT", 0x0002}, {"SS_ICON", 0x0003},
        {"SS_BLACKRECT", 0x0004}, {"SS_GRAYRECT", 0x0005}, {"SS_WHITERECT", 0x0006},
        {"SS_BLACKFRAME", 0x0007}, {"SS_GRAYFRAME", 0x0008}, {"SS_WHITEFRAME", 0x0009},
        {"SS_SIMPLE", 0x000B}, {"SS_LEFTNOWORDWRAP", 0x000C}, {"SS_BITMAP", 0x000E},
        {"SS_ETCHEDHORZ", 0x0010}, {"SS_ETCHEDVERT", 0x0011}, {"SS_ETCHEDFRAME", 0x0012},
        {"SS_NOPREFIX", 0x0080}, {"SS_NOTIFY", 0x0100}, {"SS_CENTERIMAGE", 0x0200},
        {"SS_SUNKEN", 0x1000},
        {"ES_LEFT", 0x0000}, {"ES_CENTER", 0x0001}, {"ES_RIGHT", 0x0002},
        {"ES_MULTILINE", 0x0004}, {"ES_UPPERCASE", 0x0008}, {"ES_LOWERCASE", 0x0010},
        {"ES_PASSWORD", 0x0020}, {"ES_AUTOVSCROLL", 0x0040}, {"ES_AUTOHSCROLL", 0x0080},
        {"ES_NOHIDESEL", 0x0100}, {"ES_OEMCONVERT", 0x0400}, {"ES_READONLY", 0x0800},
        {"ES_WANTRETURN", 0x1000}, {"ES_NUMBER", 0x2000},
        {"IDOK", 1}, {"IDCANCEL", 2}, {"IDC_STATIC", -1},
        {"LANG_NEUTRAL", 0x00}, {"LANG_ENGLISH", 0x09}, {"LANG_JAPANESE", 0x11},
        {"SUBLANG_NEUTRAL", 0x00}, {"SUBLANG_DEFAULT", 0x01}, {"SUBLANG_ENGLISH_US", 0x01},
    };
    return names;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::u16string Upper(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

std::u16string Ascii16(std::string_view s) { return std::u16string(s.begin(), s.end()); }

// Resource types of Windows that this compiler does not build; naming one is an error rather
// than a silently different custom type.
bool IsUnsupportedType(const std::string& word) {
    static const std::set<std::string> words = {
        "RCDATA", "MENUEX", "VERSIONINFO", "MESSAGETABLE", "FONT", "FONTDIR", "HTML",
        "ANICURSOR", "ANIICON", "PLUGPLAY", "VXD", "DLGINCLUDE", "DLGINIT", "TOOLBAR",
        "TEXTINCLUDE"};
    return words.count(word) != 0;
}

// Load and memory options of old scripts; they mean nothing to an embedded resource.
bool IsMemoryOption(const std::string& word) {
    return word == "PRELOAD" || word == "LOADONCALL" || word == "FIXED" || word == "MOVEABLE" ||
           word == "DISCARDABLE" || word == "PURE" || word == "IMPURE" || word == "SHARED" ||
           word == "NONSHARED";
}

class Parser {
public:
    Parser(std::string_view text, const std::filesystem::path& baseDir, const std::string& fileName)
        : baseDir_(baseDir), lexer_(text, fileName, baseDir, context_, false) {}

    Script Run();

private:
    // Tokens with #define names replaced by their bodies, and any lookahead.
    const Token& Peek(std::size_t ahead = 0);
    Token Take();
    void Expand(const Token& use, const std::string& name, std::set<std::string>& active,
                std::vector<Token>& out);

    [[noreturn]] void Fail(const Token& at, const std::string& message) const {
        throw CompileError(at.file, at.line, message);
    }
    bool IsWord(const Token& t, std::string_view word) const {
        return t.kind == TokenKind::Identifier && Upper(t.text) == word;
    }
    bool IsPunct(const Token& t, std::string_view p) const {
        return t.kind == TokenKind::Punct && t.text == p;
    }
    static std::string Describe(const Token& t);
    void ExpectComma(const char* what);
    bool TakeComma();
    Token ExpectString(const char* what);

    std::int64_t Expression();
    std::int64_t Primary();
    std::uint32_t Style(std::uint32_t base);
    std::int16_t Coordinate(const char* what);
    std::uint16_t Id16(const char* what);

    void Resource(Script& script);
    void Language();
    void StringTable(Script& script);
    void SkipMemoryOptions();
    BytesDef FileResource(const std::string& type);
    void BlockBegin(const char* what);
    bool BlockEnd(const Token& begin);
    MenuDef Menu();
    std::vector<MenuNode> MenuItems(const Token& begin);
    AcceleratorsDef Accelerators();
    DialogDef Dialog(bool extended);
    ControlDef Control(DialogDef& dialog);

    std::filesystem::path baseDir_;
    Context context_;
    Lexer lexer_;
    std::deque<Token> pending_;
    std::uint16_t language_ = 0;  // of the last LANGUAGE statement
};

std::string Parser::Describe(const Token& t) {
    switch (t.kind) {
        case TokenKind::End: return "the end of the file";
        case TokenKind::String: return "\"" + t.raw + "\"";
        default: return "'" + t.text + "'";
    }
}

void Parser::Expand(const Token& use, const std::string& name, std::set<std::string>& active,
                    std::vector<Token>& out) {
    active.insert(name);
    for (Token t : context_.defines.at(name)) {
        t.file = use.file;
        t.line = use.line;
        if (t.kind == TokenKind::Identifier && context_.defines.count(t.text) &&
            !active.count(t.text))
            Expand(use, t.text, active, out);
        else
            out.push_back(t);
    }
    active.erase(name);
}

const Token& Parser::Peek(std::size_t ahead) {
    while (pending_.size() <= ahead) {
        Token t = lexer_.Next();
        if (t.kind == TokenKind::Identifier && context_.defines.count(t.text)) {
            std::set<std::string> active;
            std::vector<Token> body;
            Expand(t, t.text, active, body);
            pending_.insert(pending_.end(), body.begin(), body.end());
        } else {
            pending_.push_back(t);
        }
        if (pending_.empty()) continue;
        if (pending_.back().kind == TokenKind::End) {
            while (pending_.size() <= ahead) pending_.push_back(pending_.back());
        }
    }
    return pending_[ahead];
}

Token Parser::Take() {
    Token t = Peek();
    if (t.kind != TokenKind::End) pending_.pop_front();
    return t;
}

void Parser::ExpectComma(const char* what) {
    const Token& t = Peek();
    if (!IsPunct(t, ",")) Fail(t, std::string("expected ',' before ") + what + ", found " + Describe(t));
    Take();
}

bool Parser::TakeComma() {
    if (!IsPunct(Peek(), ",")) return false;
    Take();
    return true;
}

Token Parser::ExpectString(const char* what) {
    Token t = Take();
    if (t.kind != TokenKind::String)
        Fail(t, std::string("expected ") + what + " in quotes, found " + Describe(t));
    return t;
}

// Numbers: + - | & between terms, unary - and ~, parentheses, #define names and style names.
std::int64_t Parser::Expression() {
    std::int64_t value = Primary();
    for (;;) {
        const Token& t = Peek();
        if (IsPunct(t, "+")) {
            Take();
            value += Primary();
        } else if (IsPunct(t, "-")) {
            Take();
            value -= Primary();
        } else if (IsPunct(t, "|")) {
            Take();
            value |= Primary();
        } else if (IsPunct(t, "&")) {
            Take();
            value &= Primary();
        } else {
            return value;
        }
    }
}

std::int64_t Parser::Primary() {
    Token t = Take();
    if (t.kind == TokenKind::Number) return t.value;
    if (IsPunct(t, "-")) return -Primary();
    if (IsPunct(t, "+")) return Primary();
    if (IsPunct(t, "~")) return static_cast<std::int64_t>(~static_cast<std::uint32_t>(Primary()));
    if (IsPunct(t, "(")) {
        std::int64_t v = Expression();
        Token close = Take();
        if (!IsPunct(close, ")")) Fail(close, "expected ')', found " + Describe(close));
        return v;
    }
    if (t.kind == TokenKind::Identifier) {
        auto it = BuiltinNames().find(t.text);
        if (it != BuiltinNames().end()) return it->second;
        Fail(t, "unknown name '" + t.text + "'");
    }
    Fail(t, "expected a number, found " + Describe(t));
}

// A style: terms joined by |, each of which NOT removes instead of adding, starting from the
// statement's default style, as the Windows resource compiler evaluates them.
std::uint32_t Parser::Style(std::uint32_t base) {
    std::uint32_t value = base;
    for (;;) {
        bool negate = false;
        if (IsWord(Peek(), "NOT")) {
            Take();
            negate = true;
        }
        auto term = static_cast<std::uint32_t>(Primary());
        value = negate ? (value & ~term) : (value | term);
        if (IsPunct(Peek(), "|")) {
            Take();
        } else if (!IsWord(Peek(), "NOT")) {
            return value;
        }
    }
}

std::int16_t Parser::Coordinate(const char* what) {
    const Token at = Peek();
    std::int64_t v = Expression();
    if (v < -32768 || v > 32767) Fail(at, std::string(what) + " out of range");
    return static_cast<std::int16_t>(v);
}

std::uint16_t Parser::Id16(const char* what) {
    const Token at = Peek();
    std::int64_t v = Expression();
    if (v < -32768 || v > 65535) Fail(at, std::string(what) + " out of range");
    return static_cast<std::uint16_t>(v);
}

void Parser::SkipMemoryOptions() {
    while (Peek().kind == TokenKind::Identifier && IsMemoryOption(Upper(Peek().text))) Take();
}

void Parser::BlockBegin(const char* what) {
    const Token& t = Peek();
    if (!IsWord(t, "BEGIN") && !IsPunct(t, "{"))
        Fail(t, std::string("expected BEGIN or '{' to open ") + what + ", found " + Describe(t));
    Take();
}

bool Parser::BlockEnd(const Token& begin) {
    const Token& t = Peek();
    if (t.kind == TokenKind::End)
        Fail(t, "missing END of the block opened at line " + std::to_string(begin.line));
    if (IsWord(t, "END") || IsPunct(t, "}")) {
        Take();
        return true;
    }
    return false;
}

Script Parser::Run() {
    Script script;
    while (Peek().kind != TokenKind::End) Resource(script);
    for (const auto& d : context_.dependencies) script.dependencies.push_back(d);
    return script;
}

void Parser::Resource(Script& script) {
    Token nameToken = Take();
    rc::Resource res;
    res.file = nameToken.file;
    res.line = nameToken.line;
    res.language = language_;
    if (nameToken.kind == TokenKind::Identifier) {
        std::string word = Upper(nameToken.text);
        if (word == "LANGUAGE") return Language();
        if (word == "STRINGTABLE") return StringTable(script);
        if (word == "VERSION" || word == "CHARACTERISTICS")
            Fail(nameToken, word + " statements are not supported");
        res.name = word;
    } else if (nameToken.kind == TokenKind::Number) {
        if (nameToken.value < 0 || nameToken.value > 65535) Fail(nameToken, "resource number out of range");
        res.name = "#" + std::to_string(nameToken.value);
    } else if (nameToken.kind == TokenKind::String) {
        res.name = Upper(nameToken.text);
    } else {
        Fail(nameToken, "expected a resource name, found " + Describe(nameToken));
    }

    Token typeToken = Take();
    std::string type = Upper(typeToken.text);
    if (typeToken.kind == TokenKind::Number) {
        if (typeToken.value < 1 || typeToken.value > 65535) Fail(typeToken, "resource type out of range");
        res.typeId = static_cast<std::uint16_t>(typeToken.value);
        res.content = FileResource(type);
    } else if (typeToken.kind != TokenKind::Identifier) {
        Fail(typeToken, "expected a resource type after " + Describe(nameToken) + ", found " +
                            Describe(typeToken));
    } else if (type == "BITMAP") {
        res.typeId = kTypeBitmap;
        res.content = FileResource(type);
    } else if (type == "ICON") {
        res.typeId = kTypeIcon;
        res.content = FileResource(type);
    } else if (type == "CURSOR") {
        res.typeId = kTypeCursor;
        res.content = FileResource(type);
    } else if (type == "MENU") {
        res.typeId = kTypeMenu;
        res.content = Menu();
    } else if (type == "ACCELERATORS") {
        res.typeId = kTypeAccelerator;
        res.content = Accelerators();
    } else if (type == "DIALOG" || type == "DIALOGEX") {
        res.typeId = kTypeDialog;
        res.content = Dialog(type == "DIALOGEX");
    } else if (IsUnsupportedType(type)) {
        Fail(typeToken, type + " resources are not supported");
    } else {
        res.typeId = 0;
        res.typeName = type;
        res.content = FileResource(type);
    }
    if (script.Find(res.name, res.typeId, res.typeName, res.language))
        Fail(nameToken, "duplicate resource " + res.name + " of type " +
                            (res.typeId ? std::to_string(res.typeId) : res.typeName));
    script.resources.push_back(std::move(res));
}

// LANGUAGE primary, sub: the language of every resource after it, to the next such statement.
void Parser::Language() {
    const Token at = Peek();
    std::int64_t primary = Expression();
    ExpectComma("the sublanguage");
    std::int64_t sub = Expression();
    if (primary < 0 || primary > 0x3FF || sub < 0 || sub > 0x3F) Fail(at, "language out of range");
    language_ = static_cast<std::uint16_t>((sub << 10) | primary);
}

// STRINGTABLE { id, "text" ... }: each string goes into the block of 16 that holds its id, in
// the current language; several tables of one language fill the same blocks.
void Parser::StringTable(Script& script) {
    SkipMemoryOptions();
    Token begin = Peek();
    BlockBegin("the string table");
    while (!BlockEnd(begin)) {
        const Token at = Peek();
        std::uint16_t id = Id16("string id");
        TakeComma();
        std::u16string text = detail::ToUtf16(ExpectString("the string"));
        const std::string name = std::string(1, '#').append(std::to_string(id / 16 + 1));
        auto* block = const_cast<rc::Resource*>(script.Find(name, kTypeString, {}, language_));
        if (!block) {
            rc::Resource res;
            res.name = name;
            res.language = language_;
            res.typeId = kTypeString;
            res.file = at.file;
            res.line = at.line;
            res.content = StringBlockDef{};
            script.resources.push_back(std::move(res));
            block = &script.resources.back();
        }
        std::u16string& slot = std::get<StringBlockDef>(block->content).texts[id % 16];
        if (!slot.empty()) Fail(at, "duplicate string " + std::to_string(id));
        if (text.empty()) Fail(at, "string " + std::to_string(id) + " is empty");
        slot = std::move(text);
    }
}

BytesDef Parser::FileResource(const std::string& type) {
    SkipMemoryOptions();
    if (IsWord(Peek(), "BEGIN") || IsPunct(Peek(), "{"))
        Fail(Peek(), "inline data is not supported; name a file");
    Token fileToken = ExpectString("a file name");
    // Scripts written on Windows separate folders with backslashes.
    std::string name = fileToken.raw;
    for (std::size_t p; (p = name.find("\\\\")) != std::string::npos;) name.replace(p, 2, 1, '/');
    std::replace(name.begin(), name.end(), '\\', '/');
    BytesDef def;
    def.source = (baseDir_ / name).lexically_normal();
    // A folder opens like a file but throws on the first read; a device may never end.
    std::error_code ec;
    std::ifstream in;
    if (std::filesystem::is_regular_file(def.source, ec)) in.open(def.source, std::ios::binary);
    if (!in.is_open()) Fail(fileToken, "cannot open file '" + name + "'");
    def.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    context_.dependencies.push_back(def.source);
    auto& b = def.bytes;
    auto u16 = [&](std::size_t o) { return static_cast<unsigned>(b[o] | (b[o + 1] << 8)); };
    auto u32 = [&](std::size_t o) {
        return static_cast<std::uint32_t>(u16(o) | (static_cast<std::uint32_t>(u16(o + 2)) << 16));
    };
    auto s32 = [&](std::size_t o) { return static_cast<std::int32_t>(u32(o)); };

    if (type == "BITMAP") {
        // The resource form is the file without its 14-byte BITMAPFILEHEADER; ours are
        // 8-bit DIBs whose bits follow a 40-byte header and a full 256-entry colour table.
        constexpr std::size_t kFileHeader = 14, kInfoHeader = 40, kBitsOffset = 14 + 40 + 256 * 4;
        if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M')
            Fail(fileToken, "'" + name + "' is not a BMP file");
        if (u32(10) != kBitsOffset || u32(14) != kInfoHeader || u16(28) != 8 || u32(30) != 0)
            Fail(fileToken, "'" + name +
                                "' is not an uncompressed 8-bit BMP with a 40-byte header and "
                                "256 colours (pixel data must start at byte 1078)");
        std::int32_t width = s32(18), height = s32(22);
        if (width <= 0 || height == 0) Fail(fileToken, "'" + name + "' has no pixels");
        std::uint64_t stride = (static_cast<std::uint64_t>(width) + 3) / 4 * 4;
        std::uint64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
        if (b.size() < kBitsOffset + stride * rows)
            Fail(fileToken, "'" + name + "' is truncated: " + std::to_string(b.size()) +
                                " bytes for " + std::to_string(width) + " x " +
                                std::to_string(rows) + " pixels");
        b.erase(b.begin(), b.begin() + kFileHeader);
    } else if (type == "ICON" || type == "CURSOR") {
        unsigned kind = type == "ICON" ? 1 : 2;
        if (b.size() < 6 + 16 || u16(0) != 0 || u16(2) != kind || u16(4) == 0)
            Fail(fileToken, "'" + name + "' is not " + (kind == 1 ? "an .ico" : "a .cur") + " file");
        if (b.size() < 6 + 16 * static_cast<std::size_t>(u16(4)))
            Fail(fileToken, "'" + name + "' is truncated");
        for (unsigned i = 0; i < u16(4); ++i) {
            std::size_t entry = 6 + 16 * i;
            if (static_cast<std::uint64_t>(u32(entry + 12)) + u32(entry + 8) > b.size())
                Fail(fileToken, "'" + name + "' is truncated");
        }
    }
    return def;
}

MenuDef Parser::Menu() {
    SkipMemoryOptions();
    Token begin = Peek();
    BlockBegin("the menu");
    MenuDef menu;
    menu.items = MenuItems(begin);
    return menu;
}

std::vector<MenuNode> Parser::MenuItems(const Token& begin) {
    std::vector<MenuNode> items;
    while (!BlockEnd(begin)) {
        Token kw = Take();
        MenuNode node;
        bool popup = IsWord(kw, "POPUP");
        if (!popup && !IsWord(kw, "MENUITEM"))
            Fail(kw, "expected MENUITEM, POPUP or END, found " + Describe(kw));
        if (!popup && IsWord(Peek(), "SEPARATOR")) {
            Take();
            node.separator = true;
            node.flags = MF_SEPARATOR;
            items.push_back(std::move(node));
            continue;
        }
        node.text = detail::ToUtf16(ExpectString("the item's text"));
        if (popup) {
            node.flags = MF_POPUP;
        } else {
            ExpectComma("the item's id");
            node.id = Id16("menu id");
        }
        // Options follow, with or without commas between them.
        for (;;) {
            bool comma = TakeComma();
            const Token& t = Peek();
            std::string word = t.kind == TokenKind::Identifier ? Upper(t.text) : "";
            if (word == "GRAYED") {
                node.flags |= MF_GRAYED;
            } else if (word == "INACTIVE") {
                node.flags |= MF_DISABLED;
            } else if (word == "CHECKED") {
                node.flags |= MF_CHECKED;
            } else if (word == "HELP" || word == "MENUBREAK" || word == "MENUBARBREAK") {
                Fail(t, "menu option " + word + " is not supported");
            } else {
                if (comma) Fail(t, "expected GRAYED, INACTIVE or CHECKED, found " + Describe(t));
                break;
            }
            Take();
        }
        if (popup) {
            Token childBegin = Peek();
            BlockBegin("the pop-up");
            node.children = MenuItems(childBegin);
        }
        items.push_back(std::move(node));
    }
    return items;
}

AcceleratorsDef Parser::Accelerators() {
    SkipMemoryOptions();
    Token begin = Peek();
    BlockBegin("the accelerators");
    AcceleratorsDef table;
    while (!BlockEnd(begin)) {
        AcceleratorDef a;
        Token event = Peek();
        bool control = false;
        std::uint16_t key = 0;
        if (event.kind == TokenKind::String) {
            Take();
            const std::string& s = event.text;
            if (s.size() == 2 && s[0] == '^' && std::isalpha(static_cast<unsigned char>(s[1]))) {
                // "^N" is the control character Ctrl+N produces.
                control = true;
                key = static_cast<std::uint16_t>(std::toupper(static_cast<unsigned char>(s[1])) - '@');
            } else if (s.size() == 1 && static_cast<unsigned char>(s[0]) < 0x80) {
                key = static_cast<unsigned char>(s[0]);
            } else {
                Fail(event, "an accelerator key is one ASCII character or ^ and a letter");
            }
        } else {
            key = Id16("accelerator key");
        }
        ExpectComma("the command id");
        a.command = Id16("command id");
        bool virtkey = false, ascii = false;
        while (TakeComma()) {
            Token t = Take();
            std::string word = t.kind == TokenKind::Identifier ? Upper(t.text) : "";
            if (word == "VIRTKEY") virtkey = true;
            else if (word == "ASCII") ascii = true;
            else if (word == "NOINVERT") a.flags |= FNOINVERT;
            else if (word == "SHIFT") a.flags |= FSHIFT;
            else if (word == "CONTROL") a.flags |= FCONTROL;
            else if (word == "ALT") a.flags |= FALT;
            else Fail(t, "expected VIRTKEY, ASCII, NOINVERT, SHIFT, CONTROL or ALT, found " + Describe(t));
        }
        if (virtkey && ascii) Fail(event, "an accelerator is either VIRTKEY or ASCII");
        if (virtkey && control) Fail(event, "\"^\" keys are ASCII, not VIRTKEY");
        if (!virtkey && (a.flags & (FSHIFT | FCONTROL | FALT)))
            Fail(event, "SHIFT, CONTROL and ALT need VIRTKEY");
        if (virtkey) {
            a.flags |= FVIRTKEY;
            // Virtual keys of letters are the upper-case codes; a number is taken as written.
            if (event.kind == TokenKind::String && key >= 'a' && key <= 'z') key = static_cast<std::uint16_t>(key - 'a' + 'A');
        }
        a.key = key;
        table.entries.push_back(a);
    }
    return table;
}

DialogDef Parser::Dialog(bool extended) {
    DialogDef d;
    d.extended = extended;
    SkipMemoryOptions();
    d.x = Coordinate("dialog x");
    ExpectComma("the dialog's y");
    d.y = Coordinate("dialog y");
    ExpectComma("the dialog's width");
    d.cx = Coordinate("dialog width");
    ExpectComma("the dialog's height");
    d.cy = Coordinate("dialog height");
    if (extended && TakeComma()) Expression();  // help id, unused
    bool gotStyle = false, gotCaption = false;
    for (;;) {
        const Token& t = Peek();
        std::string word = t.kind == TokenKind::Identifier ? Upper(t.text) : "";
        if (word == "STYLE") {
            Take();
            d.style = Style(0);
            gotStyle = true;
        } else if (word == "EXSTYLE") {
            Take();
            d.exStyle = Style(0);
        } else if (word == "CAPTION") {
            Take();
            d.caption = detail::ToUtf16(ExpectString("the caption"));
            gotCaption = true;
        } else if (word == "FONT") {
            Take();
            const Token at = Peek();
            std::int64_t size = Expression();
            if (size < 1 || size > 0xFFFF) Fail(at, "font size out of range");
            d.pointSize = static_cast<std::uint16_t>(size);
            ExpectComma("the font name");
            d.fontName = detail::ToUtf16(ExpectString("the font name"));
            d.hasFont = true;
            if (extended) {
                // Weight, italic and character set: accepted, not kept.
                for (int i = 0; i < 3 && TakeComma(); ++i) Expression();
            }
        } else if (word == "MENU" || word == "CLASS" || word == "LANGUAGE" ||
                   word == "CHARACTERISTICS" || word == "VERSION") {
            Fail(t, "dialog option " + word + " is not supported");
        } else {
            break;
        }
    }
    // As in Windows: a dialog without STYLE is a bordered pop-up with a system menu; a caption
    // brings the caption bar, a font the DS_SETFONT flag.
    if (!gotStyle) d.style = WS_POPUP | WS_BORDER | WS_SYSMENU;
    if (gotCaption) d.style |= WS_CAPTION;
    if (d.hasFont) d.style |= DS_SETFONT;

    Token begin = Peek();
    BlockBegin("the dialog's controls");
    while (!BlockEnd(begin)) d.controls.push_back(Control(d));
    return d;
}

ControlDef Parser::Control(DialogDef& dialog) {
    struct Kind {
        const char* word;
        const char16_t* className;
        std::uint32_t style;
    };
    static constexpr std::uint32_t BS_DEFPUSHBUTTON = 0x1, BS_GROUPBOX = 0x7,
                                   BS_AUTORADIOBUTTON = 0x9, SS_CENTER = 0x1, SS_RIGHT = 0x2,
                                   SS_ICON = 0x3;
    // The default style of each control statement, as the Windows resource compiler gives it.
    static const Kind kinds[] = {
        {"PUSHBUTTON", u"BUTTON", WS_TABSTOP},
        {"DEFPUSHBUTTON", u"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP},
        {"GROUPBOX", u"BUTTON", BS_GROUPBOX},
        {"AUTORADIOBUTTON", u"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP},
        {"LTEXT", u"STATIC", WS_GROUP},
        {"CTEXT", u"STATIC", SS_CENTER | WS_GROUP},
        {"RTEXT", u"STATIC", SS_RIGHT | WS_GROUP},
        {"ICON", u"STATIC", SS_ICON},
        {"EDITTEXT", u"EDIT", WS_BORDER | WS_TABSTOP},
        {"CONTROL", nullptr, 0},
    };
    Token kw = Take();
    std::string word = kw.kind == TokenKind::Identifier ? Upper(kw.text) : "";
    const Kind* kind = nullptr;
    for (const Kind& k : kinds)
        if (word == k.word) kind = &k;
    if (!kind) Fail(kw, "expected a control or END, found " + Describe(kw));

    ControlDef c;
    c.style = WS_CHILD | WS_VISIBLE | kind->style;
    if (word != "EDITTEXT") {
        // The text; a static icon may name its icon without quotes.
        Token text = Take();
        if (text.kind == TokenKind::String) {
            c.text = detail::ToUtf16(text);
        } else if (word == "ICON" && text.kind == TokenKind::Identifier) {
            c.text = Ascii16(Upper(text.text));
        } else if (word == "ICON" && text.kind == TokenKind::Number) {
            c.text = Ascii16("#" + std::to_string(text.value));
        } else {
            Fail(text, "expected the control's text in quotes, found " + Describe(text));
        }
        ExpectComma("the control's id");
    }
    const Token idToken = Peek();
    std::int64_t id = Expression();
    if (id < -32768 || id > 65535) Fail(idToken, "control id out of range");
    c.id = static_cast<int>(id);

    auto extra = [&] {
        if (TakeComma()) c.exStyle = Style(0);
        if (dialog.extended && TakeComma()) Expression();  // help id, unused
    };
    if (word == "CONTROL") {
        ExpectComma("the control's class");
        Token cls = Take();
        if (cls.kind == TokenKind::String)
            c.className = detail::ToUtf16(cls);
        else if (cls.kind == TokenKind::Identifier)
            c.className = Ascii16(cls.text);
        else
            Fail(cls, "expected the control's class, found " + Describe(cls));
        // The predefined classes match in any case; the platform knows them by upper-case names.
        std::u16string upper = Upper(c.className);
        for (const char16_t* known : {u"BUTTON", u"STATIC", u"EDIT", u"LISTBOX", u"COMBOBOX",
                                      u"SCROLLBAR"})
            if (upper == known) c.className = upper;
        ExpectComma("the control's style");
        c.style = Style(c.style);
        ExpectComma("the control's x");
        c.x = Coordinate("control x");
        ExpectComma("the control's y");
        c.y = Coordinate("control y");
        ExpectComma("the control's width");
        c.cx = Coordinate("control width");
        ExpectComma("the control's height");
        c.cy = Coordinate("control height");
        extra();
        return c;
    }
    c.className = kind->className;
    ExpectComma("the control's x");
    c.x = Coordinate("control x");
    ExpectComma("the control's y");
    c.y = Coordinate("control y");
    if (word == "ICON" && !TakeComma()) return c;  // an icon takes its size from the picture
    if (word == "ICON") {
        c.cx = Coordinate("control width");
    } else {
        ExpectComma("the control's width");
        c.cx = Coordinate("control width");
    }
    ExpectComma("the control's height");
    c.cy = Coordinate("control height");
    if (TakeComma()) {
        c.style = Style(c.style);
        extra();
    }
    return c;
}

}  // namespace

Script Compile(std::string_view text, const std::filesystem::path& baseDir,
               const std::string& fileName) {
    Parser parser(text, baseDir, fileName);
    return parser.Run();
}

Script CompileFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw CompileError(path.string(), 0, "cannot open the script");
    std::ostringstream s;
    s << in.rdbuf();
    std::string text = s.str();
    std::filesystem::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    Script script = Compile(text, dir, path.string());
    script.dependencies.insert(script.dependencies.begin(), path.lexically_normal());
    return script;
}

}  // namespace rc
