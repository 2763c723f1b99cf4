// SPDX-License-Identifier: MIT
// Checks the six keyboard layout files: their structure, the Windows virtual-key facts they must
// hold, and every character they list against the xkeyboard-config layout database (through
// libxkbcommon) at the same key position, plain, with Shift and with AltGr.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <nlohmann/json.hpp>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using nlohmann::json;

enum class TLevel { Plain, Shift, AltGr };
constexpr TLevel AllLevels[] = {TLevel::Plain, TLevel::Shift, TLevel::AltGr};

const char* LevelName(TLevel level) {
    switch (level) {
    case TLevel::Plain:
        return "plain";
    case TLevel::Shift:
        return "Shift";
    case TLevel::AltGr:
        return "AltGr";
    }
    return "?";
}

struct TLayoutCase {
    const char* Name;
    const char* File;
    const char* XkbLayout;
    const char* XkbVariant;
    bool Iso; // 105-key keyboard with the keys next to Enter and left Shift, else 104 keys
};

void PrintTo(const TLayoutCase& layout, std::ostream* out) {
    *out << layout.File;
}

// The xkb layout closest to each Windows layout:
// - de: the basic German layout has the same dead keys (^, ´, `) as Windows German.
// - gb(extd), "English (UK, extended, Windows)": AltGr gives the acute vowels, € and ¦ as on Windows;
//   the basic gb layout puts æ, ←, ø … there instead.
// - us: the basic US layout, like Windows US without an AltGr level.
// - fr(azerty), "French (AZERTY)": the classic AZERTY of Windows, without the extra AltGr symbols
//   of the basic fr layout.
// - it(winkeys) and es(winkeys), "Italian (Windows)" and "Spanish (Windows)": AltGr+5 gives € as on
//   Windows.
const TLayoutCase LayoutCases[] = {
    {"de", "keyboard_layout_de_windows.json", "de", "", true},
    {"en_gb", "keyboard_layout_en_gb_windows.json", "gb", "extd", true},
    {"en_us", "keyboard_layout_en_us_windows.json", "us", "", false},
    {"fr", "keyboard_layout_fr_windows.json", "fr", "azerty", true},
    {"it", "keyboard_layout_it_windows.json", "it", "winkeys", true},
    {"es", "keyboard_layout_es_windows.json", "es", "winkeys", true},
};

// Where Windows and xkb differ for a good reason. Xkb is the text xkb gives at that level (dead
// keys as their spacing character, other dead keys as <keysym name>); the file holds the Windows
// text. An exception that no longer differs fails the test, so the table stays exact.
struct TException {
    std::string_view Layout;
    int Hid;
    TLevel Level;
    std::string_view Xkb;
    std::string_view Reason;
};

constexpr std::string_view XkbAltGrExtra = "xkb adds a character at AltGr where the Windows layout has none";
constexpr std::string_view KeypadAltGr =
    "xkb repeats the keypad operator at AltGr; Windows types nothing with Ctrl+Alt on the keypad";
constexpr std::string_view NoShiftOnSquare = "the Windows ² key types nothing with Shift; xkb repeats ²";
constexpr std::string_view UkBackslashAltGr =
    "Windows UK types \\ with AltGr on the # key; xkb's extended UK layout has a dead ~ there";

using enum TLevel;
const TException Exceptions[] = {
    // German (de)
    {"de", 0x35, AltGr, "′", XkbAltGrExtra},
    {"de", 0x1E, AltGr, "¹", XkbAltGrExtra},
    {"de", 0x21, AltGr, "¼", XkbAltGrExtra},
    {"de", 0x22, AltGr, "½", XkbAltGrExtra},
    {"de", 0x23, AltGr, "¬", XkbAltGrExtra},
    {"de", 0x2E, AltGr, "¸", XkbAltGrExtra},
    {"de", 0x1A, AltGr, "ſ", XkbAltGrExtra},
    {"de", 0x15, AltGr, "¶", XkbAltGrExtra},
    {"de", 0x17, AltGr, "ŧ", XkbAltGrExtra},
    {"de", 0x1C, AltGr, "←", XkbAltGrExtra},
    {"de", 0x18, AltGr, "↓", XkbAltGrExtra},
    {"de", 0x0C, AltGr, "→", XkbAltGrExtra},
    {"de", 0x12, AltGr, "ø", XkbAltGrExtra},
    {"de", 0x13, AltGr, "þ", XkbAltGrExtra},
    {"de", 0x2F, AltGr, "¨", XkbAltGrExtra},
    {"de", 0x04, AltGr, "æ", XkbAltGrExtra},
    {"de", 0x16, AltGr, "ſ", XkbAltGrExtra},
    {"de", 0x07, AltGr, "ð", XkbAltGrExtra},
    {"de", 0x09, AltGr, "đ", XkbAltGrExtra},
    {"de", 0x0A, AltGr, "ŋ", XkbAltGrExtra},
    {"de", 0x0B, AltGr, "ħ", XkbAltGrExtra},
    {"de", 0x0D, AltGr, "<dead_belowdot>", XkbAltGrExtra},
    {"de", 0x0E, AltGr, "ĸ", XkbAltGrExtra},
    {"de", 0x0F, AltGr, "ł", XkbAltGrExtra},
    {"de", 0x33, AltGr, "<dead_doubleacute>", XkbAltGrExtra},
    {"de", 0x34, AltGr, "^", XkbAltGrExtra},
    {"de", 0x32, AltGr, "’", XkbAltGrExtra},
    {"de", 0x1D, AltGr, "»", XkbAltGrExtra},
    {"de", 0x1B, AltGr, "«", XkbAltGrExtra},
    {"de", 0x06, AltGr, "¢", XkbAltGrExtra},
    {"de", 0x19, AltGr, "„", XkbAltGrExtra},
    {"de", 0x05, AltGr, "“", XkbAltGrExtra},
    {"de", 0x11, AltGr, "”", XkbAltGrExtra},
    {"de", 0x36, AltGr, "·", XkbAltGrExtra},
    {"de", 0x37, AltGr, "…", XkbAltGrExtra},
    {"de", 0x38, AltGr, "–", XkbAltGrExtra},
    {"de", 0x54, AltGr, "/", KeypadAltGr},
    {"de", 0x55, AltGr, "*", KeypadAltGr},
    {"de", 0x56, AltGr, "-", KeypadAltGr},
    {"de", 0x57, AltGr, "+", KeypadAltGr},
    // UK (gb extd)
    {"en_gb", 0x1E, AltGr, "¹", XkbAltGrExtra},
    {"en_gb", 0x1F, AltGr, "¨", XkbAltGrExtra},
    {"en_gb", 0x20, AltGr, "³", XkbAltGrExtra},
    {"en_gb", 0x22, AltGr, "½", XkbAltGrExtra},
    {"en_gb", 0x23, AltGr, "^", XkbAltGrExtra},
    {"en_gb", 0x24, AltGr, "{", XkbAltGrExtra},
    {"en_gb", 0x25, AltGr, "[", XkbAltGrExtra},
    {"en_gb", 0x26, AltGr, "]", XkbAltGrExtra},
    {"en_gb", 0x27, AltGr, "}", XkbAltGrExtra},
    {"en_gb", 0x2D, AltGr, "\\", XkbAltGrExtra},
    {"en_gb", 0x2E, AltGr, "¸", XkbAltGrExtra},
    {"en_gb", 0x14, AltGr, "@", XkbAltGrExtra},
    {"en_gb", 0x1A, AltGr, "ẃ", XkbAltGrExtra},
    {"en_gb", 0x15, AltGr, "¶", XkbAltGrExtra},
    {"en_gb", 0x17, AltGr, "ŧ", XkbAltGrExtra},
    {"en_gb", 0x1C, AltGr, "ý", XkbAltGrExtra},
    {"en_gb", 0x13, AltGr, "þ", XkbAltGrExtra},
    {"en_gb", 0x2F, AltGr, "¨", XkbAltGrExtra},
    {"en_gb", 0x30, AltGr, "~", XkbAltGrExtra},
    {"en_gb", 0x16, AltGr, "ß", XkbAltGrExtra},
    {"en_gb", 0x07, AltGr, "ð", XkbAltGrExtra},
    {"en_gb", 0x09, AltGr, "đ", XkbAltGrExtra},
    {"en_gb", 0x0A, AltGr, "ŋ", XkbAltGrExtra},
    {"en_gb", 0x0B, AltGr, "ħ", XkbAltGrExtra},
    {"en_gb", 0x0D, AltGr, "<dead_hook>", XkbAltGrExtra},
    {"en_gb", 0x0E, AltGr, "ĸ", XkbAltGrExtra},
    {"en_gb", 0x0F, AltGr, "ł", XkbAltGrExtra},
    {"en_gb", 0x33, AltGr, "´", XkbAltGrExtra},
    {"en_gb", 0x34, AltGr, "´", XkbAltGrExtra},
    {"en_gb", 0x32, AltGr, "~", UkBackslashAltGr},
    {"en_gb", 0x64, AltGr, "|", XkbAltGrExtra},
    {"en_gb", 0x1D, AltGr, "«", XkbAltGrExtra},
    {"en_gb", 0x1B, AltGr, "»", XkbAltGrExtra},
    {"en_gb", 0x06, AltGr, "ç", XkbAltGrExtra},
    {"en_gb", 0x19, AltGr, "„", XkbAltGrExtra},
    {"en_gb", 0x05, AltGr, "“", XkbAltGrExtra},
    {"en_gb", 0x11, AltGr, "”", XkbAltGrExtra},
    {"en_gb", 0x10, AltGr, "µ", XkbAltGrExtra},
    {"en_gb", 0x36, AltGr, "•", XkbAltGrExtra},
    {"en_gb", 0x37, AltGr, "·", XkbAltGrExtra},
    {"en_gb", 0x38, AltGr, "<dead_belowdot>", XkbAltGrExtra},
    {"en_gb", 0x54, AltGr, "/", KeypadAltGr},
    {"en_gb", 0x55, AltGr, "*", KeypadAltGr},
    {"en_gb", 0x56, AltGr, "-", KeypadAltGr},
    {"en_gb", 0x57, AltGr, "+", KeypadAltGr},
    // French (fr azerty)
    {"fr", 0x35, Shift, "²", NoShiftOnSquare},
    {"fr", 0x64, AltGr, "|", XkbAltGrExtra},
    {"fr", 0x54, AltGr, "/", KeypadAltGr},
    {"fr", 0x55, AltGr, "*", KeypadAltGr},
    {"fr", 0x56, AltGr, "-", KeypadAltGr},
    {"fr", 0x57, AltGr, "+", KeypadAltGr},
    // Italian (it winkeys)
    {"it", 0x35, AltGr, "¬", XkbAltGrExtra},
    {"it", 0x1E, AltGr, "¹", XkbAltGrExtra},
    {"it", 0x1F, AltGr, "²", XkbAltGrExtra},
    {"it", 0x20, AltGr, "³", XkbAltGrExtra},
    {"it", 0x21, AltGr, "¼", XkbAltGrExtra},
    {"it", 0x23, AltGr, "¬", XkbAltGrExtra},
    {"it", 0x24, AltGr, "{", XkbAltGrExtra},
    {"it", 0x25, AltGr, "[", XkbAltGrExtra},
    {"it", 0x26, AltGr, "]", XkbAltGrExtra},
    {"it", 0x27, AltGr, "}", XkbAltGrExtra},
    {"it", 0x2D, AltGr, "`", XkbAltGrExtra},
    {"it", 0x2E, AltGr, "~", XkbAltGrExtra},
    {"it", 0x14, AltGr, "@", XkbAltGrExtra},
    {"it", 0x1A, AltGr, "ſ", XkbAltGrExtra},
    {"it", 0x15, AltGr, "¶", XkbAltGrExtra},
    {"it", 0x17, AltGr, "ŧ", XkbAltGrExtra},
    {"it", 0x1C, AltGr, "←", XkbAltGrExtra},
    {"it", 0x18, AltGr, "↓", XkbAltGrExtra},
    {"it", 0x0C, AltGr, "→", XkbAltGrExtra},
    {"it", 0x12, AltGr, "ø", XkbAltGrExtra},
    {"it", 0x13, AltGr, "þ", XkbAltGrExtra},
    {"it", 0x04, AltGr, "æ", XkbAltGrExtra},
    {"it", 0x16, AltGr, "ß", XkbAltGrExtra},
    {"it", 0x07, AltGr, "ð", XkbAltGrExtra},
    {"it", 0x09, AltGr, "đ", XkbAltGrExtra},
    {"it", 0x0A, AltGr, "ŋ", XkbAltGrExtra},
    {"it", 0x0B, AltGr, "ħ", XkbAltGrExtra},
    {"it", 0x0D, AltGr, "<dead_hook>", XkbAltGrExtra},
    {"it", 0x0E, AltGr, "ĸ", XkbAltGrExtra},
    {"it", 0x0F, AltGr, "ł", XkbAltGrExtra},
    {"it", 0x32, AltGr, "`", XkbAltGrExtra},
    {"it", 0x64, AltGr, "«", XkbAltGrExtra},
    {"it", 0x1D, AltGr, "«", XkbAltGrExtra},
    {"it", 0x1B, AltGr, "»", XkbAltGrExtra},
    {"it", 0x06, AltGr, "¢", XkbAltGrExtra},
    {"it", 0x19, AltGr, "“", XkbAltGrExtra},
    {"it", 0x05, AltGr, "”", XkbAltGrExtra},
    {"it", 0x11, AltGr, "ñ", XkbAltGrExtra},
    {"it", 0x10, AltGr, "µ", XkbAltGrExtra},
    {"it", 0x36, AltGr, "´", XkbAltGrExtra},
    {"it", 0x37, AltGr, "·", XkbAltGrExtra},
    {"it", 0x38, AltGr, "<dead_macron>", XkbAltGrExtra},
    {"it", 0x54, AltGr, "/", KeypadAltGr},
    {"it", 0x55, AltGr, "*", KeypadAltGr},
    {"it", 0x56, AltGr, "-", KeypadAltGr},
    {"it", 0x57, AltGr, "+", KeypadAltGr},
    // Spanish (es winkeys)
    {"es", 0x24, AltGr, "{", XkbAltGrExtra},
    {"es", 0x25, AltGr, "[", XkbAltGrExtra},
    {"es", 0x26, AltGr, "]", XkbAltGrExtra},
    {"es", 0x27, AltGr, "}", XkbAltGrExtra},
    {"es", 0x2D, AltGr, "\\", XkbAltGrExtra},
    {"es", 0x2E, AltGr, "¸", XkbAltGrExtra},
    {"es", 0x14, AltGr, "@", XkbAltGrExtra},
    {"es", 0x1A, AltGr, "ſ", XkbAltGrExtra},
    {"es", 0x15, AltGr, "¶", XkbAltGrExtra},
    {"es", 0x17, AltGr, "ŧ", XkbAltGrExtra},
    {"es", 0x1C, AltGr, "←", XkbAltGrExtra},
    {"es", 0x18, AltGr, "↓", XkbAltGrExtra},
    {"es", 0x0C, AltGr, "→", XkbAltGrExtra},
    {"es", 0x12, AltGr, "ø", XkbAltGrExtra},
    {"es", 0x13, AltGr, "þ", XkbAltGrExtra},
    {"es", 0x04, AltGr, "æ", XkbAltGrExtra},
    {"es", 0x16, AltGr, "ß", XkbAltGrExtra},
    {"es", 0x07, AltGr, "ð", XkbAltGrExtra},
    {"es", 0x09, AltGr, "đ", XkbAltGrExtra},
    {"es", 0x0A, AltGr, "ŋ", XkbAltGrExtra},
    {"es", 0x0B, AltGr, "ħ", XkbAltGrExtra},
    {"es", 0x0D, AltGr, "<dead_hook>", XkbAltGrExtra},
    {"es", 0x0E, AltGr, "ĸ", XkbAltGrExtra},
    {"es", 0x0F, AltGr, "ł", XkbAltGrExtra},
    {"es", 0x33, AltGr, "~", XkbAltGrExtra},
    {"es", 0x64, AltGr, "|", XkbAltGrExtra},
    {"es", 0x1D, AltGr, "«", XkbAltGrExtra},
    {"es", 0x1B, AltGr, "»", XkbAltGrExtra},
    {"es", 0x06, AltGr, "¢", XkbAltGrExtra},
    {"es", 0x19, AltGr, "„", XkbAltGrExtra},
    {"es", 0x05, AltGr, "“", XkbAltGrExtra},
    {"es", 0x11, AltGr, "”", XkbAltGrExtra},
    {"es", 0x10, AltGr, "µ", XkbAltGrExtra},
    {"es", 0x36, AltGr, "•", XkbAltGrExtra},
    {"es", 0x37, AltGr, "·", XkbAltGrExtra},
    {"es", 0x38, AltGr, "<dead_belowdot>", XkbAltGrExtra},
    {"es", 0x54, AltGr, "/", KeypadAltGr},
    {"es", 0x55, AltGr, "*", KeypadAltGr},
    {"es", 0x56, AltGr, "-", KeypadAltGr},
    {"es", 0x57, AltGr, "+", KeypadAltGr},
};

std::string DataPath(const std::string& file) {
    return std::string(ZELMOR_DATA_DIR) + "/" + file;
}

json ReadJson(const std::string& file) {
    std::ifstream in(DataPath(file), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + DataPath(file));
    return json::parse(in);
}

struct TRow {
    int Vk = 0;
    int Hid = 0;
    std::string LabelDe, LabelEn;
    std::string Text[3]; // plain, Shift, AltGr

    const std::string& At(TLevel level) const { return Text[static_cast<int>(level)]; }
    bool IsKeypad() const { return Hid >= 0x54 && Hid <= 0x63; }
};

std::vector<TRow> LoadRows(const std::string& file) {
    std::vector<TRow> rows;
    const json root = ReadJson(file);
    for (const json& item : root.at("key_mapping")) {
        TRow row;
        row.Vk = item.at("vk").get<int>();
        row.Hid = item.at("hid").get<int>();
        row.LabelDe = item.at("labels").at("de").get<std::string>();
        row.LabelEn = item.at("labels").at("en").get<std::string>();
        row.Text[0] = item.at("char").get<std::string>();
        row.Text[1] = item.at("shift_char").get<std::string>();
        row.Text[2] = item.at("altgr_char").get<std::string>();
        rows.push_back(row);
    }
    return rows;
}

std::string Utf8(char32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

// Number of code points in valid UTF-8, or -1 when the bytes are not valid UTF-8.
int CodePointCount(const std::string& text) {
    int count = 0;
    for (std::size_t i = 0; i < text.size(); ++count) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80           ? 1
                                   : (lead >> 5) == 0x6  ? 2
                                   : (lead >> 4) == 0xE  ? 3
                                   : (lead >> 3) == 0x1E ? 4
                                                         : 0;
        if (length == 0 || i + length > text.size())
            return -1;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return -1;
        i += length;
    }
    return count;
}

// Linux input code of a keyboard-page usage, as the kernel's HID driver maps it (hid-input.c).
int EvdevCodeForHid(int hid) {
    static const std::map<int, int> table = [] {
        std::map<int, int> t;
        const int letters[] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                               KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                               KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
        for (int i = 0; i < 26; ++i)
            t[0x04 + i] = letters[i];
        for (int i = 0; i < 10; ++i)
            t[0x1E + i] = KEY_1 + i; // KEY_1 … KEY_9, KEY_0 are consecutive
        const std::pair<int, int> keys[] = {
            {0x28, KEY_ENTER},      {0x29, KEY_ESC},        {0x2A, KEY_BACKSPACE}, {0x2B, KEY_TAB},
            {0x2C, KEY_SPACE},      {0x2D, KEY_MINUS},      {0x2E, KEY_EQUAL},     {0x2F, KEY_LEFTBRACE},
            {0x30, KEY_RIGHTBRACE}, {0x31, KEY_BACKSLASH},  {0x32, KEY_BACKSLASH}, {0x33, KEY_SEMICOLON},
            {0x34, KEY_APOSTROPHE}, {0x35, KEY_GRAVE},      {0x36, KEY_COMMA},     {0x37, KEY_DOT},
            {0x38, KEY_SLASH},      {0x39, KEY_CAPSLOCK},   {0x44, KEY_F11},       {0x45, KEY_F12},
            {0x46, KEY_SYSRQ},      {0x47, KEY_SCROLLLOCK}, {0x48, KEY_PAUSE},     {0x49, KEY_INSERT},
            {0x4A, KEY_HOME},       {0x4B, KEY_PAGEUP},     {0x4C, KEY_DELETE},    {0x4D, KEY_END},
            {0x4E, KEY_PAGEDOWN},   {0x4F, KEY_RIGHT},      {0x50, KEY_LEFT},      {0x51, KEY_DOWN},
            {0x52, KEY_UP},         {0x53, KEY_NUMLOCK},    {0x54, KEY_KPSLASH},   {0x55, KEY_KPASTERISK},
            {0x56, KEY_KPMINUS},    {0x57, KEY_KPPLUS},     {0x58, KEY_KPENTER},   {0x59, KEY_KP1},
            {0x5A, KEY_KP2},        {0x5B, KEY_KP3},        {0x5C, KEY_KP4},       {0x5D, KEY_KP5},
            {0x5E, KEY_KP6},        {0x5F, KEY_KP7},        {0x60, KEY_KP8},       {0x61, KEY_KP9},
            {0x62, KEY_KP0},        {0x63, KEY_KPDOT},      {0x64, KEY_102ND},     {0x65, KEY_COMPOSE},
            {0xE0, KEY_LEFTCTRL},   {0xE1, KEY_LEFTSHIFT},  {0xE2, KEY_LEFTALT},   {0xE3, KEY_LEFTMETA},
            {0xE4, KEY_RIGHTCTRL},  {0xE5, KEY_RIGHTSHIFT}, {0xE6, KEY_RIGHTALT},  {0xE7, KEY_RIGHTMETA},
        };
        for (auto [usage, code] : keys)
            t[usage] = code;
        for (int i = 0; i < 10; ++i)
            t[0x3A + i] = KEY_F1 + i; // F1 … F10
        for (int i = 0; i < 12; ++i)
            t[0x68 + i] = KEY_F13 + i; // F13 … F24
        return t;
    }();
    const auto it = table.find(hid);
    return it == table.end() ? -1 : it->second;
}

// Dead keys type their spacing character on Windows, and the files hold that character.
const std::map<std::string, std::string, std::less<>> DeadKeySpacing = {
    {"dead_grave", "`"}, {"dead_acute", "´"},     {"dead_circumflex", "^"},
    {"dead_tilde", "~"}, {"dead_diaeresis", "¨"}, {"dead_cedilla", "¸"},
};

// One xkb keymap, asked for the text of a key as Windows would type it with Num Lock on.
class TXkbKeyboard {
public:
    TXkbKeyboard(const char* layout, const char* variant)
        : FContext(xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES), xkb_context_unref) {
        const xkb_rule_names names{"evdev", "pc105", layout, variant, ""};
        if (FContext)
            FKeymap.reset(xkb_keymap_new_from_names(FContext.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS));
    }

    bool Valid() const { return FKeymap != nullptr; }

    // Text typed by the key at this level; empty for control characters and keys without text.
    std::string Text(int evdevCode, TLevel level) const {
        const std::unique_ptr<xkb_state, decltype(&xkb_state_unref)> state(xkb_state_new(FKeymap.get()),
                                                                           xkb_state_unref);
        Tap(state.get(), KEY_NUMLOCK);
        if (level == TLevel::Shift)
            xkb_state_update_key(state.get(), KEY_LEFTSHIFT + 8, XKB_KEY_DOWN);
        if (level == TLevel::AltGr)
            xkb_state_update_key(state.get(), KEY_RIGHTALT + 8, XKB_KEY_DOWN);
        const xkb_keycode_t key = static_cast<xkb_keycode_t>(evdevCode + 8);
        // Right Alt that does not reach the third level (US layout) is plain Alt: no AltGr text.
        if (level == TLevel::AltGr &&
            xkb_state_key_get_level(state.get(), key, xkb_state_key_get_layout(state.get(), key)) < 2)
            return {};
        return KeysymText(xkb_state_key_get_one_sym(state.get(), key));
    }

private:
    static void Tap(xkb_state* state, int evdevCode) {
        xkb_state_update_key(state, static_cast<xkb_keycode_t>(evdevCode + 8), XKB_KEY_DOWN);
        xkb_state_update_key(state, static_cast<xkb_keycode_t>(evdevCode + 8), XKB_KEY_UP);
    }

    static std::string KeysymText(xkb_keysym_t sym) {
        char name[64] = {};
        xkb_keysym_get_name(sym, name, sizeof name);
        const std::string_view keysymName(name);
        if (keysymName.starts_with("dead_")) {
            const auto it = DeadKeySpacing.find(keysymName);
            return it != DeadKeySpacing.end() ? it->second : "<" + std::string(keysymName) + ">";
        }
        const char32_t cp = xkb_keysym_to_utf32(sym);
        if (cp < 0x20 || cp == 0x7F)
            return {};
        return Utf8(cp);
    }

    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> FContext;
    std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)> FKeymap{nullptr, xkb_keymap_unref};
};

const TException* FindException(std::string_view layout, int hid, TLevel level) {
    for (const TException& e : Exceptions)
        if (e.Layout == layout && e.Hid == hid && e.Level == level)
            return &e;
    return nullptr;
}

// The key positions each file covers: the whole keyboard page up to the Applications key and
// F13-F24 and the eight modifiers; the ISO files use the key next to Enter (0x32) and the key next
// to left Shift (0x64), the US file the backslash key above Enter (0x31).
std::set<int> ExpectedHids(bool iso) {
    std::set<int> hids;
    for (int h = 0x04; h <= 0x65; ++h)
        hids.insert(h);
    for (int h = 0x68; h <= 0x73; ++h)
        hids.insert(h);
    for (int h = 0xE0; h <= 0xE7; ++h)
        hids.insert(h);
    if (iso) {
        hids.erase(0x31);
    } else {
        hids.erase(0x32);
        hids.erase(0x64);
    }
    return hids;
}

class LayoutFileTest : public testing::TestWithParam<TLayoutCase> {};

TEST_P(LayoutFileTest, RowsAreWellFormedAndCoverTheWholeKeyboard) {
    const json root = ReadJson(GetParam().File);
    ASSERT_TRUE(root.is_object());
    ASSERT_TRUE(root.contains("key_mapping") && root["key_mapping"].is_array());
    std::set<int> hids;
    for (const json& row : root["key_mapping"]) {
        SCOPED_TRACE(row.dump());
        ASSERT_TRUE(row.is_object());
        ASSERT_TRUE(row.contains("vk") && row["vk"].is_number_integer());
        ASSERT_TRUE(row.contains("hid") && row["hid"].is_number_integer());
        EXPECT_GE(row["vk"].get<int>(), 0x01);
        EXPECT_LE(row["vk"].get<int>(), 0xFE);
        EXPECT_TRUE(hids.insert(row["hid"].get<int>()).second) << "HID listed twice";
        ASSERT_TRUE(row.contains("labels") && row["labels"].is_object());
        for (const char* lang : {"de", "en"}) {
            ASSERT_TRUE(row["labels"].contains(lang) && row["labels"][lang].is_string()) << lang;
            EXPECT_FALSE(row["labels"][lang].get<std::string>().empty()) << lang;
        }
        for (const char* member : {"char", "shift_char", "altgr_char"}) {
            ASSERT_TRUE(row.contains(member) && row[member].is_string()) << member;
            const int count = CodePointCount(row[member].get<std::string>());
            EXPECT_GE(count, 0) << member << " is not UTF-8";
            EXPECT_LE(count, 1) << member << " holds more than one character";
        }
    }
    EXPECT_EQ(hids, ExpectedHids(GetParam().Iso));
}

TEST_P(LayoutFileTest, LetterKeysCarryTheirLetterAsVirtualKeyAndCaption) {
    std::set<char> letters;
    for (const TRow& row : LoadRows(GetParam().File)) {
        if (row.At(Plain).size() != 1 || row.At(Plain)[0] < 'a' || row.At(Plain)[0] > 'z')
            continue;
        const std::string upper(1, static_cast<char>(row.At(Plain)[0] - 'a' + 'A'));
        SCOPED_TRACE(upper);
        EXPECT_TRUE(letters.insert(upper[0]).second) << "letter typed by two keys";
        EXPECT_EQ(row.Vk, upper[0]);
        EXPECT_EQ(row.At(Shift), upper);
        EXPECT_EQ(row.LabelDe, upper);
        EXPECT_EQ(row.LabelEn, upper);
    }
    EXPECT_EQ(letters.size(), 26u);
}

TEST_P(LayoutFileTest, CharacterKeysHaveDistinctWindowsVirtualKeys) {
    const std::set<int> oemKeys = {0xBA, 0xBB, 0xBC, 0xBD, 0xBE, 0xBF, 0xC0,
                                   0xDB, 0xDC, 0xDD, 0xDE, 0xDF, 0xE2};
    std::set<int> seen;
    for (const TRow& row : LoadRows(GetParam().File)) {
        const bool characterKey =
            (row.Hid >= 0x04 && row.Hid <= 0x27) || (row.Hid >= 0x2D && row.Hid <= 0x38) || row.Hid == 0x64;
        if (!characterKey)
            continue;
        SCOPED_TRACE(row.LabelEn);
        EXPECT_TRUE(seen.insert(row.Vk).second) << "virtual key used twice";
        if (row.Hid >= 0x1E && row.Hid <= 0x27) {
            EXPECT_EQ(row.Vk, row.Hid == 0x27 ? '0' : '1' + row.Hid - 0x1E) << "digit row";
        } else {
            EXPECT_TRUE((row.Vk >= 'A' && row.Vk <= 'Z') || oemKeys.contains(row.Vk)) << row.Vk;
        }
    }
}

TEST_P(LayoutFileTest, FixedKeysCarryTheirWindowsVirtualKeys) {
    // Keys whose virtual key is the same on every Windows layout (HID usage, VK).
    const std::map<int, int> fixed = {
        {0x28, 0x0D}, {0x29, 0x1B}, {0x2A, 0x08}, {0x2B, 0x09}, {0x2C, 0x20}, {0x39, 0x14},
        {0x46, 0x2C}, {0x47, 0x91}, {0x48, 0x13}, {0x49, 0x2D}, {0x4A, 0x24}, {0x4B, 0x21},
        {0x4C, 0x2E}, {0x4D, 0x23}, {0x4E, 0x22}, {0x4F, 0x27}, {0x50, 0x25}, {0x51, 0x28},
        {0x52, 0x26}, {0x53, 0x90}, {0x54, 0x6F}, {0x55, 0x6A}, {0x56, 0x6D}, {0x57, 0x6B},
        {0x58, 0x0D}, {0x62, 0x60}, {0x63, 0x6E}, {0x65, 0x5D}, {0xE0, 0xA2}, {0xE1, 0xA0},
        {0xE2, 0xA4}, {0xE3, 0x5B}, {0xE4, 0xA3}, {0xE5, 0xA1}, {0xE6, 0xA5}, {0xE7, 0x5C},
    };
    for (const TRow& row : LoadRows(GetParam().File)) {
        SCOPED_TRACE(row.LabelEn);
        if (const auto it = fixed.find(row.Hid); it != fixed.end()) {
            EXPECT_EQ(row.Vk, it->second);
        }
        if (row.Hid >= 0x3A && row.Hid <= 0x45) { // F1 … F12
            EXPECT_EQ(row.Vk, 0x70 + row.Hid - 0x3A);
        }
        if (row.Hid >= 0x68 && row.Hid <= 0x73) { // F13 … F24
            EXPECT_EQ(row.Vk, 0x7C + row.Hid - 0x68);
        }
        if (row.Hid >= 0x59 && row.Hid <= 0x61) { // keypad 1 … 9
            EXPECT_EQ(row.Vk, 0x61 + row.Hid - 0x59);
        }
    }
}

// Lookups take the first row that types a character; a character that a main key types must not
// be found on the keypad first, which types it only while Num Lock is on.
TEST_P(LayoutFileTest, MainKeysComeBeforeTheKeypadForSharedCharacters) {
    const std::vector<TRow> rows = LoadRows(GetParam().File);
    for (const TRow& keypadRow : rows) {
        if (!keypadRow.IsKeypad() || keypadRow.At(Plain).empty())
            continue;
        const std::string& c = keypadRow.At(Plain);
        const auto first = std::find_if(rows.begin(), rows.end(), [&](const TRow& row) {
            return row.At(Plain) == c || row.At(Shift) == c || row.At(AltGr) == c;
        });
        EXPECT_FALSE(first->IsKeypad()) << "'" << c << "' is found on the keypad first";
    }
}

TEST_P(LayoutFileTest, EveryPrintableAsciiCharacterCanBeTyped) {
    // Italian Windows has no ` and ~, and types { } only with Shift+AltGr, a level the files do
    // not describe.
    const std::string missing = std::string_view(GetParam().Name) == "it" ? "`~{}" : "";
    std::set<std::string> typed;
    for (const TRow& row : LoadRows(GetParam().File))
        for (TLevel level : AllLevels)
            typed.insert(row.At(level));
    for (char c = 0x20; c < 0x7F; ++c)
        EXPECT_EQ(typed.contains(std::string(1, c)), missing.find(c) == std::string::npos) << "'" << c << "'";
}

TEST_P(LayoutFileTest, CharactersMatchTheXkbLayoutAtTheSameKey) {
    const TLayoutCase& layout = GetParam();
    const TXkbKeyboard xkb(layout.XkbLayout, layout.XkbVariant);
    ASSERT_TRUE(xkb.Valid()) << "xkb layout " << layout.XkbLayout << "(" << layout.XkbVariant
                             << ") not found";
    std::set<const TException*> used;
    for (const TRow& row : LoadRows(layout.File)) {
        const int code = EvdevCodeForHid(row.Hid);
        ASSERT_GE(code, 0) << "no input code for HID " << row.Hid;
        for (TLevel level : AllLevels) {
            const std::string fromXkb = xkb.Text(code, level);
            const TException* exception = FindException(layout.Name, row.Hid, level);
            const std::string where = "HID 0x" + (std::stringstream() << std::hex << row.Hid).str() + " (" +
                                      row.LabelEn + ") " + LevelName(level);
            if (exception)
                used.insert(exception);
            if (row.At(level) == fromXkb) {
                EXPECT_EQ(exception, nullptr)
                    << where << ": listed as exception but both give '" << fromXkb << "'";
            } else if (exception == nullptr) {
                ADD_FAILURE() << where << ": file '" << row.At(level) << "', xkb '" << fromXkb << "'";
            } else {
                EXPECT_EQ(exception->Xkb, fromXkb) << where << ": exception names another xkb character";
            }
        }
    }
    for (const TException& e : Exceptions) {
        if (e.Layout == layout.Name) {
            EXPECT_TRUE(used.contains(&e)) << "exception for a key the file does not have: HID " << e.Hid;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, LayoutFileTest, testing::ValuesIn(LayoutCases),
                         [](const testing::TestParamInfo<TLayoutCase>& info) { return info.param.Name; });

} // namespace
