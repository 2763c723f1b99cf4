#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the six keyboard layout files in data/ from the Windows layout tables below.

Each table lists the character keys of one Windows keyboard layout in physical order (row by row,
left to right), keyed by the USB HID usage (keyboard page 0x07) of the key position on a US
keyboard. A key gives its Windows virtual-key code and the characters it types plain, with Shift
and with AltGr (Ctrl+Alt); dead keys give their spacing character. The keys that type no text or
the same text on every layout (Backspace to the modifiers) follow in a common block.

Choices the format leaves open:
- Character keys come first: lookups take the first matching row, so a character typed by a main
  key and by the keypad (digits, + - * / and the decimal key) resolves to the main key.
- Enter, Tab, Backspace and Esc list no characters (Windows gives control codes there); Space
  types a space plain and with Shift.
- Keypad rows give the characters typed with Num Lock on; Shift turns the digits and the decimal
  key into navigation keys, so they have no Shift character.
- Captions follow Windows' own key names: a character key is named by the character it types
  plain, letters in upper case; the other keys carry German and English names.
- Characters typed only with Shift+AltGr (Italian { }, UK upper-case acute vowels) cannot be
  listed: the format has no such column.

Usage: layoutgen.py [--check] [DATA_DIR]   (default: the data/ folder of the repository)
With --check nothing is written; the exit status is 1 when a file in DATA_DIR differs from what
the tables give.
"""

import json
import pathlib
import sys

# Windows virtual-key codes of the OEM keys.
VK_OEM_1 = 0xBA
VK_OEM_PLUS = 0xBB
VK_OEM_COMMA = 0xBC
VK_OEM_MINUS = 0xBD
VK_OEM_PERIOD = 0xBE
VK_OEM_2 = 0xBF
VK_OEM_3 = 0xC0
VK_OEM_4 = 0xDB
VK_OEM_5 = 0xDC
VK_OEM_6 = 0xDD
VK_OEM_7 = 0xDE
VK_OEM_8 = 0xDF
VK_OEM_102 = 0xE2

# HID usages of the key positions, named after the US layout.
H_GRAVE, H_MINUS, H_EQUAL = 0x35, 0x2D, 0x2E
H_LBRACKET, H_RBRACKET, H_BACKSLASH, H_NONUS_HASH = 0x2F, 0x30, 0x31, 0x32
H_SEMICOLON, H_QUOTE, H_COMMA, H_PERIOD, H_SLASH = 0x33, 0x34, 0x36, 0x37, 0x38
H_NONUS_BACKSLASH = 0x64


def H(letter):
    """HID usage of the key that carries this letter on a US keyboard."""
    return 0x04 + ord(letter.upper()) - ord("A")


def D(digit):
    """HID usage of the digit key of the top row."""
    return 0x27 if digit == "0" else 0x1E + ord(digit) - ord("1")


def key(hid, vk, plain, shift, altgr=""):
    return (hid, vk, plain, shift, altgr)


def letter(position, letter_typed, altgr=""):
    """A letter key: its virtual key is the upper-case letter it types."""
    return key(H(position), ord(letter_typed.upper()), letter_typed, letter_typed.upper(), altgr)


def qwerty_letters(row, altgr=None, swap=None):
    """Letter keys of a row that type the letter printed at that position on a US keyboard."""
    altgr = altgr or {}
    swap = swap or {}
    return [letter(p, swap.get(p, p), altgr.get(p, "")) for p in row]


# ---------------------------------------------------------------------------------------------
# United States (KBDUS, 00000409): 104 keys, no AltGr level.
US = [
    key(H_GRAVE, VK_OEM_3, "`", "~"),
    key(D("1"), ord("1"), "1", "!"),
    key(D("2"), ord("2"), "2", "@"),
    key(D("3"), ord("3"), "3", "#"),
    key(D("4"), ord("4"), "4", "$"),
    key(D("5"), ord("5"), "5", "%"),
    key(D("6"), ord("6"), "6", "^"),
    key(D("7"), ord("7"), "7", "&"),
    key(D("8"), ord("8"), "8", "*"),
    key(D("9"), ord("9"), "9", "("),
    key(D("0"), ord("0"), "0", ")"),
    key(H_MINUS, VK_OEM_MINUS, "-", "_"),
    key(H_EQUAL, VK_OEM_PLUS, "=", "+"),
    *qwerty_letters("qwertyuiop"),
    key(H_LBRACKET, VK_OEM_4, "[", "{"),
    key(H_RBRACKET, VK_OEM_6, "]", "}"),
    key(H_BACKSLASH, VK_OEM_5, "\\", "|"),
    *qwerty_letters("asdfghjkl"),
    key(H_SEMICOLON, VK_OEM_1, ";", ":"),
    key(H_QUOTE, VK_OEM_7, "'", '"'),
    *qwerty_letters("zxcvbnm"),
    key(H_COMMA, VK_OEM_COMMA, ",", "<"),
    key(H_PERIOD, VK_OEM_PERIOD, ".", ">"),
    key(H_SLASH, VK_OEM_2, "/", "?"),
]

# United Kingdom (KBDUK, 00000809): 105 keys; AltGr gives the acute vowels, the euro sign, the
# broken bar and the backslash on the # key.
GB = [
    key(H_GRAVE, VK_OEM_8, "`", "¬", "¦"),
    key(D("1"), ord("1"), "1", "!"),
    key(D("2"), ord("2"), "2", '"'),
    key(D("3"), ord("3"), "3", "£"),
    key(D("4"), ord("4"), "4", "$", "€"),
    key(D("5"), ord("5"), "5", "%"),
    key(D("6"), ord("6"), "6", "^"),
    key(D("7"), ord("7"), "7", "&"),
    key(D("8"), ord("8"), "8", "*"),
    key(D("9"), ord("9"), "9", "("),
    key(D("0"), ord("0"), "0", ")"),
    key(H_MINUS, VK_OEM_MINUS, "-", "_"),
    key(H_EQUAL, VK_OEM_PLUS, "=", "+"),
    *qwerty_letters("qwertyuiop", altgr={"e": "é", "u": "ú", "i": "í", "o": "ó"}),
    key(H_LBRACKET, VK_OEM_4, "[", "{"),
    key(H_RBRACKET, VK_OEM_6, "]", "}"),
    *qwerty_letters("asdfghjkl", altgr={"a": "á"}),
    key(H_SEMICOLON, VK_OEM_1, ";", ":"),
    key(H_QUOTE, VK_OEM_3, "'", "@"),
    key(H_NONUS_HASH, VK_OEM_7, "#", "~", "\\"),
    key(H_NONUS_BACKSLASH, VK_OEM_5, "\\", "|"),
    *qwerty_letters("zxcvbnm"),
    key(H_COMMA, VK_OEM_COMMA, ",", "<"),
    key(H_PERIOD, VK_OEM_PERIOD, ".", ">"),
    key(H_SLASH, VK_OEM_2, "/", "?"),
]

# German (KBDGR, 00000407): QWERTZ, 105 keys; ^, ´ and ` are dead keys.
DE = [
    key(H_GRAVE, VK_OEM_5, "^", "°"),
    key(D("1"), ord("1"), "1", "!"),
    key(D("2"), ord("2"), "2", '"', "²"),
    key(D("3"), ord("3"), "3", "§", "³"),
    key(D("4"), ord("4"), "4", "$"),
    key(D("5"), ord("5"), "5", "%"),
    key(D("6"), ord("6"), "6", "&"),
    key(D("7"), ord("7"), "7", "/", "{"),
    key(D("8"), ord("8"), "8", "(", "["),
    key(D("9"), ord("9"), "9", ")", "]"),
    key(D("0"), ord("0"), "0", "=", "}"),
    key(H_MINUS, VK_OEM_4, "ß", "?", "\\"),
    key(H_EQUAL, VK_OEM_6, "´", "`"),
    *qwerty_letters("qwertyuiop", altgr={"q": "@", "e": "€"}, swap={"y": "z"}),
    key(H_LBRACKET, VK_OEM_1, "ü", "Ü"),
    key(H_RBRACKET, VK_OEM_PLUS, "+", "*", "~"),
    *qwerty_letters("asdfghjkl"),
    key(H_SEMICOLON, VK_OEM_3, "ö", "Ö"),
    key(H_QUOTE, VK_OEM_7, "ä", "Ä"),
    key(H_NONUS_HASH, VK_OEM_2, "#", "'"),
    key(H_NONUS_BACKSLASH, VK_OEM_102, "<", ">", "|"),
    *qwerty_letters("zxcvbnm", altgr={"m": "µ"}, swap={"z": "y"}),
    key(H_COMMA, VK_OEM_COMMA, ",", ";"),
    key(H_PERIOD, VK_OEM_PERIOD, ".", ":"),
    key(H_SLASH, VK_OEM_MINUS, "-", "_"),
]

# French (KBDFR, 0000040C): AZERTY, 105 keys; the digits need Shift; ^ and ¨ are dead keys, and
# so are ~ and ` on AltGr.
FR = [
    key(H_GRAVE, VK_OEM_7, "²", ""),
    key(D("1"), ord("1"), "&", "1"),
    key(D("2"), ord("2"), "é", "2", "~"),
    key(D("3"), ord("3"), '"', "3", "#"),
    key(D("4"), ord("4"), "'", "4", "{"),
    key(D("5"), ord("5"), "(", "5", "["),
    key(D("6"), ord("6"), "-", "6", "|"),
    key(D("7"), ord("7"), "è", "7", "`"),
    key(D("8"), ord("8"), "_", "8", "\\"),
    key(D("9"), ord("9"), "ç", "9", "^"),
    key(D("0"), ord("0"), "à", "0", "@"),
    key(H_MINUS, VK_OEM_4, ")", "°", "]"),
    key(H_EQUAL, VK_OEM_PLUS, "=", "+", "}"),
    *qwerty_letters("qwertyuiop", altgr={"e": "€"}, swap={"q": "a", "w": "z"}),
    key(H_LBRACKET, VK_OEM_6, "^", "¨"),
    key(H_RBRACKET, VK_OEM_1, "$", "£", "¤"),
    *qwerty_letters("asdfghjkl", swap={"a": "q"}),
    key(H_SEMICOLON, ord("M"), "m", "M"),
    key(H_QUOTE, VK_OEM_3, "ù", "%"),
    key(H_NONUS_HASH, VK_OEM_5, "*", "µ"),
    key(H_NONUS_BACKSLASH, VK_OEM_102, "<", ">"),
    *qwerty_letters("zxcvbn", swap={"z": "w"}),
    key(H("m"), VK_OEM_COMMA, ",", "?"),
    key(H_COMMA, VK_OEM_PERIOD, ";", "."),
    key(H_PERIOD, VK_OEM_2, ":", "/"),
    key(H_SLASH, VK_OEM_8, "!", "§"),
]

# Italian (KBDIT, 00000410): 105 keys, no dead keys.
IT = [
    key(H_GRAVE, VK_OEM_5, "\\", "|"),
    key(D("1"), ord("1"), "1", "!"),
    key(D("2"), ord("2"), "2", '"'),
    key(D("3"), ord("3"), "3", "£"),
    key(D("4"), ord("4"), "4", "$"),
    key(D("5"), ord("5"), "5", "%", "€"),
    key(D("6"), ord("6"), "6", "&"),
    key(D("7"), ord("7"), "7", "/"),
    key(D("8"), ord("8"), "8", "("),
    key(D("9"), ord("9"), "9", ")"),
    key(D("0"), ord("0"), "0", "="),
    key(H_MINUS, VK_OEM_4, "'", "?"),
    key(H_EQUAL, VK_OEM_6, "ì", "^"),
    *qwerty_letters("qwertyuiop", altgr={"e": "€"}),
    key(H_LBRACKET, VK_OEM_1, "è", "é", "["),
    key(H_RBRACKET, VK_OEM_PLUS, "+", "*", "]"),
    *qwerty_letters("asdfghjkl"),
    key(H_SEMICOLON, VK_OEM_3, "ò", "ç", "@"),
    key(H_QUOTE, VK_OEM_7, "à", "°", "#"),
    key(H_NONUS_HASH, VK_OEM_2, "ù", "§"),
    key(H_NONUS_BACKSLASH, VK_OEM_102, "<", ">"),
    *qwerty_letters("zxcvbnm"),
    key(H_COMMA, VK_OEM_COMMA, ",", ";"),
    key(H_PERIOD, VK_OEM_PERIOD, ".", ":"),
    key(H_SLASH, VK_OEM_MINUS, "-", "_"),
]

# Spanish (KBDSP, 0000040A): 105 keys; ` ^ ´ ¨ and the AltGr ~ are dead keys.
ES = [
    key(H_GRAVE, VK_OEM_5, "º", "ª", "\\"),
    key(D("1"), ord("1"), "1", "!", "|"),
    key(D("2"), ord("2"), "2", '"', "@"),
    key(D("3"), ord("3"), "3", "·", "#"),
    key(D("4"), ord("4"), "4", "$", "~"),
    key(D("5"), ord("5"), "5", "%", "€"),
    key(D("6"), ord("6"), "6", "&", "¬"),
    key(D("7"), ord("7"), "7", "/"),
    key(D("8"), ord("8"), "8", "("),
    key(D("9"), ord("9"), "9", ")"),
    key(D("0"), ord("0"), "0", "="),
    key(H_MINUS, VK_OEM_4, "'", "?"),
    key(H_EQUAL, VK_OEM_6, "¡", "¿"),
    *qwerty_letters("qwertyuiop", altgr={"e": "€"}),
    key(H_LBRACKET, VK_OEM_1, "`", "^", "["),
    key(H_RBRACKET, VK_OEM_PLUS, "+", "*", "]"),
    *qwerty_letters("asdfghjkl"),
    key(H_SEMICOLON, VK_OEM_3, "ñ", "Ñ"),
    key(H_QUOTE, VK_OEM_7, "´", "¨", "{"),
    key(H_NONUS_HASH, VK_OEM_2, "ç", "Ç", "}"),
    key(H_NONUS_BACKSLASH, VK_OEM_102, "<", ">"),
    *qwerty_letters("zxcvbnm"),
    key(H_COMMA, VK_OEM_COMMA, ",", ";"),
    key(H_PERIOD, VK_OEM_PERIOD, ".", ":"),
    key(H_SLASH, VK_OEM_MINUS, "-", "_"),
]


# ---------------------------------------------------------------------------------------------
# Keys outside the character block: (HID, VK, German caption, English caption, plain, Shift).
def function_keys():
    return [(0x3A + i if i < 12 else 0x68 + i - 12, 0x70 + i, f"F{i + 1}", f"F{i + 1}", "", "")
            for i in range(24)]


def common_keys(decimal, altgr_key):
    """Space, editing, navigation, numeric pad and modifiers. decimal: the character of the
    numeric pad's decimal key; altgr_key: whether the right Alt key acts as AltGr."""
    numpad_digits = [(0x62 if d == 0 else 0x58 + d, 0x60 + d, f"Num {d}", f"Num {d}", str(d), "")
                     for d in (1, 2, 3, 4, 5, 6, 7, 8, 9, 0)]
    right_alt = ("Alt Gr", "AltGr") if altgr_key else ("Alt rechts", "Right Alt")
    return [
        (0x2C, 0x20, "Leertaste", "Space", " ", " "),
        (0x28, 0x0D, "Eingabe", "Enter", "", ""),
        (0x2B, 0x09, "Tab", "Tab", "", ""),
        (0x2A, 0x08, "Rücktaste", "Backspace", "", ""),
        (0x29, 0x1B, "Esc", "Esc", "", ""),
        *function_keys(),
        (0x46, 0x2C, "Druck", "Print Screen", "", ""),
        (0x47, 0x91, "Rollen", "Scroll Lock", "", ""),
        (0x48, 0x13, "Pause", "Pause", "", ""),
        (0x49, 0x2D, "Einfg", "Insert", "", ""),
        (0x4A, 0x24, "Pos1", "Home", "", ""),
        (0x4B, 0x21, "Bild auf", "Page Up", "", ""),
        (0x4C, 0x2E, "Entf", "Delete", "", ""),
        (0x4D, 0x23, "Ende", "End", "", ""),
        (0x4E, 0x22, "Bild ab", "Page Down", "", ""),
        (0x4F, 0x27, "Pfeil rechts", "Right", "", ""),
        (0x50, 0x25, "Pfeil links", "Left", "", ""),
        (0x51, 0x28, "Pfeil unten", "Down", "", ""),
        (0x52, 0x26, "Pfeil oben", "Up", "", ""),
        (0x39, 0x14, "Feststelltaste", "Caps Lock", "", ""),
        (0x65, 0x5D, "Kontextmenü", "Applications", "", ""),
        (0x53, 0x90, "Num", "Num Lock", "", ""),
        (0x54, 0x6F, "Num /", "Num /", "/", "/"),
        (0x55, 0x6A, "Num *", "Num *", "*", "*"),
        (0x56, 0x6D, "Num -", "Num -", "-", "-"),
        (0x57, 0x6B, "Num +", "Num +", "+", "+"),
        (0x58, 0x0D, "Num Eingabe", "Num Enter", "", ""),
        *numpad_digits,
        # With Num Lock on the decimal key types its character; Shift turns it into Delete.
        (0x63, 0x6E, f"Num {decimal}", f"Num {decimal}", decimal, ""),
        (0xE0, 0xA2, "Strg links", "Left Ctrl", "", ""),
        (0xE1, 0xA0, "Umschalt links", "Left Shift", "", ""),
        (0xE2, 0xA4, "Alt", "Left Alt", "", ""),
        (0xE3, 0x5B, "Windows links", "Left Windows", "", ""),
        (0xE4, 0xA3, "Strg rechts", "Right Ctrl", "", ""),
        (0xE5, 0xA1, "Umschalt rechts", "Right Shift", "", ""),
        (0xE6, 0xA5, *right_alt, "", ""),
        (0xE7, 0x5C, "Windows rechts", "Right Windows", "", ""),
    ]


def caption(plain):
    """The caption of a character key: the character it types, letters in upper case."""
    upper = plain.upper()
    return upper if len(upper) == 1 else plain


def rows(character_keys, decimal, altgr_key):
    result = []
    for hid, vk, plain, shift, altgr in character_keys:
        label = caption(plain)
        result.append({"vk": vk, "hid": hid, "labels": {"de": label, "en": label},
                       "char": plain, "shift_char": shift, "altgr_char": altgr})
    for hid, vk, label_de, label_en, plain, shift in common_keys(decimal, altgr_key):
        result.append({"vk": vk, "hid": hid, "labels": {"de": label_de, "en": label_en},
                       "char": plain, "shift_char": shift, "altgr_char": ""})
    return result


LAYOUTS = {
    "keyboard_layout_de_windows.json": (DE, ",", True),
    "keyboard_layout_en_gb_windows.json": (GB, ".", True),
    "keyboard_layout_en_us_windows.json": (US, ".", False),
    "keyboard_layout_fr_windows.json": (FR, ".", True),
    "keyboard_layout_it_windows.json": (IT, ".", True),
    "keyboard_layout_es_windows.json": (ES, ".", True),
}


def render(table):
    """One row per line, so that a change to a key shows as a change to one line."""
    lines = [json.dumps(row, ensure_ascii=False) for row in table]
    return '{\n  "key_mapping": [\n    ' + ",\n    ".join(lines) + "\n  ]\n}\n"


def main():
    args = sys.argv[1:]
    check = "--check" in args
    args = [a for a in args if a != "--check"]
    folder = pathlib.Path(args[0]) if args else pathlib.Path(__file__).resolve().parents[2] / "data"
    stale = []
    for name, (keys, decimal, altgr_key) in LAYOUTS.items():
        text = render(rows(keys, decimal, altgr_key))
        path = folder / name
        if not check:
            path.write_text(text, encoding="utf-8")
        elif not path.exists() or path.read_text(encoding="utf-8") != text:
            stale.append(name)
    for name in stale:
        print(f"{name} differs from the tables in {pathlib.Path(__file__).name}; run it to rewrite the file")
    return 1 if stale else 0


if __name__ == "__main__":
    sys.exit(main())
