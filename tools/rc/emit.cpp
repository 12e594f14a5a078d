// Writes the compiled script as C++ source: arrays and the resource table of resource_table.h.
#include <cctype>
#include <cstdio>
#include <iomanip>
#include <sstream>

#include "rc_compiler.h"

namespace rc {
namespace {

class Emitter {
public:
    std::string Run(const Script& script, std::string_view scriptName);

private:
    std::string Text(const std::u16string& text);
    std::string Items(const std::vector<MenuNode>& items, const std::string& prefix);
    std::string Bytes(const BytesDef& def, std::size_t index);
    std::string Menu(const MenuDef& def, std::size_t index);
    std::string Accelerators(const AcceleratorsDef& def, std::size_t index);
    std::string Dialog(const DialogDef& def, std::size_t index);
    std::string Strings(const StringBlockDef& def, std::size_t index);

    std::ostringstream out_;
    int texts_ = 0;
};

std::string Hex(std::uint32_t v, int width) {
    std::ostringstream s;
    s << "0x" << std::hex << std::setw(width) << std::setfill('0') << v;
    return s.str();
}

// A C++ string literal; anything but letters, digits and a few safe marks as an octal escape.
std::string Literal(const std::string& s) {
    std::string out = "\"";
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (std::isalnum(c) || c == '_' || c == '#' || c == ' ' || c == '-' || c == '.') {
            out += ch;
        } else {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\%03o", c);
            out += buf;
        }
    }
    return out + "\"";
}

// Texts are written as code units, so the generated file is plain ASCII whatever the compiler's
// idea of the source character set.
std::string Emitter::Text(const std::u16string& text) {
    std::string name = "kText" + std::to_string(texts_++);
    out_ << "const char16_t " << name << "[] = {";
    for (char16_t c : text) out_ << Hex(c, 4) << ", ";
    out_ << "0};\n";
    return name;
}

std::string Emitter::Items(const std::vector<MenuNode>& items, const std::string& prefix) {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuNode& n = items[i];
        std::string text = n.separator ? "nullptr" : Text(n.text);
        std::string children = "nullptr";
        if (!n.children.empty()) children = Items(n.children, prefix + "_" + std::to_string(i));
        rows.push_back("{" + text + ", " + std::to_string(n.id) + ", " + Hex(n.flags, 4) + ", " +
                       children + ", " + std::to_string(n.children.size()) + "}");
    }
    out_ << "const rc::MenuItem " << prefix << "[] = {\n";
    for (const std::string& r : rows) out_ << "    " << r << ",\n";
    out_ << "};\n";
    return prefix;
}

std::string Emitter::Bytes(const BytesDef& def, std::size_t index) {
    if (def.bytes.empty()) return "nullptr";
    std::string name = "kBytes" + std::to_string(index);
    // Aligned as Windows aligns resource data, so headers inside may be read in place.
    out_ << "alignas(8) const unsigned char " << name << "[" << def.bytes.size() << "] = {";
    for (std::size_t i = 0; i < def.bytes.size(); ++i) {
        if (i % 24 == 0) out_ << "\n    ";
        out_ << static_cast<unsigned>(def.bytes[i]) << ",";
    }
    out_ << "\n};\n";
    return name;
}

std::string Emitter::Menu(const MenuDef& def, std::size_t index) {
    std::string name = "kMenu" + std::to_string(index);
    std::string items = def.items.empty() ? "nullptr" : Items(def.items, name + "Items");
    out_ << "const rc::Menu " << name << " = {" << items << ", " << def.items.size() << "};\n";
    return name;
}

std::string Emitter::Accelerators(const AcceleratorsDef& def, std::size_t index) {
    std::string name = "kAccelerators" + std::to_string(index);
    std::string entries = "nullptr";
    if (!def.entries.empty()) {
        entries = name + "Entries";
        out_ << "const rc::Accelerator " << entries << "[] = {\n";
        for (const AcceleratorDef& a : def.entries)
            out_ << "    {" << Hex(a.flags, 2) << ", " << Hex(a.key, 4) << ", " << a.command
                 << "},\n";
        out_ << "};\n";
    }
    out_ << "const rc::AcceleratorTable " << name << " = {" << entries << ", "
         << def.entries.size() << "};\n";
    return name;
}

std::string Emitter::Dialog(const DialogDef& def, std::size_t index) {
    std::string name = "kDialog" + std::to_string(index);
    std::string caption = Text(def.caption);
    std::string font = def.hasFont ? Text(def.fontName) : "nullptr";
    std::vector<std::string> rows;
    for (const ControlDef& c : def.controls) {
        std::string cls = Text(c.className);
        std::string text = Text(c.text);
        rows.push_back("{" + cls + ", " + text + ", " + std::to_string(c.id) + ", " +
                       std::to_string(c.x) + ", " + std::to_string(c.y) + ", " +
                       std::to_string(c.cx) + ", " + std::to_string(c.cy) + ", " +
                       Hex(c.style, 8) + ", " + Hex(c.exStyle, 8) + "}");
    }
    std::string controls = "nullptr";
    if (!rows.empty()) {
        controls = name + "Controls";
        out_ << "const rc::DialogControl " << controls << "[] = {\n";
        for (const std::string& r : rows) out_ << "    " << r << ",\n";
        out_ << "};\n";
    }
    out_ << "const rc::DialogTemplate " << name << " = {" << def.x << ", " << def.y << ", "
         << def.cx << ", " << def.cy << ", " << Hex(def.style, 8) << ", " << Hex(def.exStyle, 8)
         << ", " << caption << ", " << font << ", " << def.pointSize << ", " << controls << ", "
         << def.controls.size() << "};\n";
    return name;
}

std::string Emitter::Strings(const StringBlockDef& def, std::size_t index) {
    std::string name = "kStrings" + std::to_string(index);
    std::vector<std::string> texts;
    for (const std::u16string& t : def.texts) texts.push_back(t.empty() ? "nullptr" : Text(t));
    out_ << "const rc::StringBlock " << name << " = {{";
    for (std::size_t i = 0; i < texts.size(); ++i) out_ << (i ? ", " : "") << texts[i];
    out_ << "}};\n";
    return name;
}

std::string Emitter::Run(const Script& script, std::string_view scriptName) {
    out_ << "// Generated by zum32rc from " << scriptName << "; edit the script, not this file.\n"
         << "#include \"resource_table.h\"\n\nnamespace {\n";
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < script.resources.size(); ++i) {
        const Resource& r = script.resources[i];
        out_ << "\n// " << Literal(r.name) << "\n";
        std::string kind, bytes = "nullptr", size = "0", structured = "nullptr";
        if (const auto* b = std::get_if<BytesDef>(&r.content)) {
            kind = "Bytes";
            bytes = Bytes(*b, i);
            size = std::to_string(b->bytes.size());
        } else if (const auto* m = std::get_if<MenuDef>(&r.content)) {
            kind = "Menu";
            structured = "&" + Menu(*m, i);
        } else if (const auto* a = std::get_if<AcceleratorsDef>(&r.content)) {
            kind = "Accelerators";
            structured = "&" + Accelerators(*a, i);
        } else if (const auto* d = std::get_if<DialogDef>(&r.content)) {
            kind = "Dialog";
            structured = "&" + Dialog(*d, i);
        } else {
            kind = "Strings";
            structured = "&" + Strings(std::get<StringBlockDef>(r.content), i);
        }
        std::string typeName = r.typeId ? "nullptr" : Literal(r.typeName);
        entries.push_back('{' + Literal(r.name) + ", " + std::to_string(r.typeId) + ", " + typeName +
                          ", rc::Kind::" + kind + ", " + bytes + ", " + size + ", " + structured +
                          ", " + Hex(r.language, 4) + "}");
    }
    std::string table = "nullptr";
    if (!entries.empty()) {
        table = "kEntries";
        out_ << "\nconst rc::Entry kEntries[] = {\n";
        for (const std::string& e : entries) out_ << "    " << e << ",\n";
        out_ << "};\n";
    }
    out_ << "\n}  // namespace\n\nconst rc::Table kModuleResources = {" << table << ", "
         << entries.size() << "};\n";
    return out_.str();
}

std::string EscapeMake(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#') out += '\\';
        if (c == '$') out += '$';
        out += c;
    }
    return out;
}

}  // namespace

std::string Emit(const Script& script, std::string_view scriptName) {
    return Emitter().Run(script, scriptName);
}

std::string Depfile(const std::filesystem::path& target, const Script& script) {
    std::string out = EscapeMake(target.string()) + ":";
    for (const auto& d : script.dependencies) out += " \\\n  " + EscapeMake(d.string());
    return out + "\n";
}

}  // namespace rc
