// Writes the CP932 table of the browser build (platform/cp932) from glibc's iconv "CP932".
//
// The table holds what glibc decodes each byte and byte pair to, and what it encodes each code
// point to. platform/cp932's codec assumes glibc behaves as a simple table with one-byte steps
// after an error; every assumption it makes is checked here, and the program fails rather than
// write a table that would behave otherwise.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "../../platform/cp932/cp932_table.h"
#include "../write_file.h"

namespace {

using platform::cp932::kNone;
using platform::cp932::kNoRow;

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "make_cp932_table: %s\n", why.c_str());
    std::exit(1);
}

std::string Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

// One iconv call on the whole input, from a fresh state.
struct Result {
    bool ok = false;
    int error = 0;           // errno when not ok
    std::size_t consumed = 0;
    std::string out;
};

class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        if (cd_ == reinterpret_cast<iconv_t>(-1))
            Fail(std::string("no converter from ") + from + " to " + to);
    }
    ~Converter() { iconv_close(cd_); }
    Result operator()(std::string in) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* inPtr = in.data();
        std::size_t inLeft = in.size();
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        Result r;
        r.ok = iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
        r.error = r.ok ? 0 : errno;
        r.consumed = in.size() - inLeft;
        r.out.assign(buffer, outPtr);
        return r;
    }

private:
    iconv_t cd_;
};

// The single UTF-16 unit that a decoding gave, or kNone when it gave anything else.
std::uint16_t OneUnit(const std::string& utf16le) {
    if (utf16le.size() != 2) return kNone;
    unsigned unit =
        static_cast<unsigned char>(utf16le[0]) | static_cast<unsigned char>(utf16le[1]) << 8;
    bool usable = unit < 0xD800 || (unit >= 0xE000 && unit < 0xFFFE);
    return usable ? static_cast<std::uint16_t>(unit) : kNone;
}

std::string Utf16le(std::uint32_t cp) {
    std::string s;
    auto unit = [&](std::uint32_t u) {
        s += static_cast<char>(u & 0xFF);
        s += static_cast<char>(u >> 8);
    };
    if (cp < 0x10000) {
        unit(cp);
    } else {
        unit(0xD800 + ((cp - 0x10000) >> 10));
        unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
    return s;
}

struct Table {
    std::uint16_t single[256];
    std::uint8_t leadRow[256];
    int trailFirst = 0, trailCount = 0;
    std::vector<std::uint16_t> rows;       // trailCount entries per lead byte
    std::vector<std::uint16_t> encode;     // CP932 codes, by the code point they decode back to
    std::vector<std::uint16_t> encodeOther;  // (code point, code) pairs that do not decode back
    std::uint32_t droppedFirst = 1, droppedLast = 0;  // code points that encode to nothing

    std::uint16_t Decode(unsigned code) const {
        if (code < 0x100) return single[code];
        unsigned row = leadRow[code >> 8], column = (code & 0xFF) - unsigned(trailFirst);
        if (row == kNoRow || column >= unsigned(trailCount)) return kNone;
        return rows[row * trailCount + column];
    }
};

Table Build() {
    Table t;
    Converter decode("UTF-16LE", "CP932");
    // A byte that decodes alone is a character; one that glibc finds incomplete is a lead byte.
    std::vector<int> leads;
    for (int b = 0; b < 256; ++b) {
        Result r = decode(std::string(1, static_cast<char>(b)));
        t.single[b] = kNone;
        t.leadRow[b] = kNoRow;
        if (r.ok && r.consumed == 1 && OneUnit(r.out) != kNone) t.single[b] = OneUnit(r.out);
        else if (!r.ok && r.error == EINVAL && r.consumed == 0) leads.push_back(b);
        else if (r.ok || r.error != EILSEQ || r.consumed != 0)
            Fail("unexpected decoding of byte " + Hex(b));
    }
    // Every pair either decodes as one character or is refused at its lead byte.
    std::vector<std::vector<std::uint16_t>> pairs(leads.size(),
                                                  std::vector<std::uint16_t>(256, kNone));
    int first = 256, last = -1;
    for (std::size_t i = 0; i < leads.size(); ++i) {
        for (int trail = 0; trail < 256; ++trail) {
            Result r = decode({static_cast<char>(leads[i]), static_cast<char>(trail)});
            if (r.ok && r.consumed == 2 && OneUnit(r.out) != kNone) {
                pairs[i][trail] = OneUnit(r.out);
                if (trail < first) first = trail;
                if (trail > last) last = trail;
            } else if (r.ok || r.error != EILSEQ || r.consumed != 0) {
                Fail("unexpected decoding of " + Hex(leads[i] << 8 | trail));
            }
        }
    }
    if (last < 0) Fail("no double-byte character decodes");
    t.trailFirst = first;
    t.trailCount = last - first + 1;
    // A lead byte without any character behaves as an invalid byte: both give one error and a step.
    for (std::size_t i = 0; i < leads.size(); ++i) {
        bool any = false;
        for (std::uint16_t u : pairs[i]) any = any || u != kNone;
        if (!any) continue;
        t.leadRow[leads[i]] = static_cast<std::uint8_t>(t.rows.size() / t.trailCount);
        t.rows.insert(t.rows.end(), pairs[i].begin() + first, pairs[i].begin() + last + 1);
    }
    if (t.rows.size() / t.trailCount >= kNoRow) Fail("too many lead bytes");

    // Encoding: what glibc makes of each code point, read from UTF-16 one character at a time.
    Converter encode("CP932", "UTF-16LE");
    for (std::uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp < 0xE000) continue;
        Result r = encode(Utf16le(cp));
        if (!r.ok && r.error == EILSEQ && r.consumed == 0) continue;
        if (r.ok && r.out.empty() && r.consumed == Utf16le(cp).size()) {
            // glibc drops Unicode's tag characters silently, as no error.
            if (t.droppedFirst > t.droppedLast) t.droppedFirst = cp;
            else if (t.droppedLast != cp - 1)
                Fail("a second range of dropped code points at " + Hex(cp));
            t.droppedLast = cp;
            continue;
        }
        if (!r.ok || r.out.empty() || r.out.size() > 2) Fail("unexpected encoding of " + Hex(cp));
        // Astral code points are only ever refused or dropped: the codec keeps BMP codes alone.
        if (cp > 0xFFFF) Fail("an astral code point encodes: " + Hex(cp));
        unsigned code = static_cast<unsigned char>(r.out[0]);
        if (r.out.size() == 2) code = code << 8 | static_cast<unsigned char>(r.out[1]);
        if (r.out.size() == 2 && code < 0x100)
            Fail("a two-byte encoding starts with 0: " + Hex(cp));
        if (t.Decode(code) == cp) {
            t.encode.push_back(static_cast<std::uint16_t>(code));
        } else {
            t.encodeOther.push_back(static_cast<std::uint16_t>(cp));
            t.encodeOther.push_back(static_cast<std::uint16_t>(code));
        }
    }
    return t;
}

template <typename T>
void WriteArray(std::ostream& out, const char* type, const char* name, const T* data,
                std::size_t n) {
    out << "const " << type << ' ' << name << '[' << n << "] = {";
    for (std::size_t i = 0; i < n; ++i) out << (i % 12 ? " " : "\n    ") << Hex(data[i]) << ',';
    out << "\n};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cp932_table <output.cpp>\n");
        return 2;
    }
    Table t = Build();
    const std::string path = argv[1];
    {
        std::ostringstream out;
        out << "// CP932 table taken from glibc's iconv by make_cp932_table; do not edit.\n"
               "#include \"cp932_table.h\"\n\n"
               "namespace platform::cp932 {\n"
               "namespace {\n\n";
        WriteArray(out, "std::uint16_t", "kSingle", t.single, 256);
        WriteArray(out, "std::uint8_t", "kLeadRow", t.leadRow, 256);
        WriteArray(out, "std::uint16_t", "kRows", t.rows.data(), t.rows.size());
        WriteArray(out, "std::uint16_t", "kEncode", t.encode.data(), t.encode.size());
        WriteArray(out, "std::uint16_t", "kEncodeOther", t.encodeOther.data(),
                   t.encodeOther.size());
        out << "}  // namespace\n\n"
               "const Table kTable = {kSingle, kLeadRow, " << t.trailFirst << ", " << t.trailCount
            << ", kRows,\n                     kEncode, " << t.encode.size() << ", kEncodeOther, "
            << t.encodeOther.size() / 2 << ",\n                     " << Hex(t.droppedFirst) << ", "
            << Hex(t.droppedLast) << "};\n\n"
               "}  // namespace platform::cp932\n";
        if (!tools::WriteFileAtomically(path, out.str())) Fail("cannot write " + path);
    }
    std::printf("make_cp932_table: %zu bytes of table data\n",
                sizeof t.single + sizeof t.leadRow +
                    2 * (t.rows.size() + t.encode.size() + t.encodeOther.size()));
    return 0;
}
