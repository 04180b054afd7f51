#!/usr/bin/env python3
"""Language files: edit them as UTF-8, ship them in the code page of their name.

  langfile.py decode lang/German1252.ini > de.txt
      prints the file's key=text lines as UTF-8 (section line left out)
  langfile.py encode de.txt lang/German1252.ini
      writes the language file from UTF-8 key=text lines, in the key order of
      lang/English1252.ini, after checking that the keys are exactly the English
      ones and that every text keeps the English placeholders
  langfile.py encode --fragment de.txt out/German1252.ini
      writes only the given lines (no section line, no byte order mark, no
      completeness check), for appending to a language file

Every file gets CRLF line ends. The code page comes from the digits of the
target's name; "Bulgarian442.ini" is UTF-8 with a byte order mark. A character
the code page cannot hold stops the script: nothing is ever written with '?'.
Each written file is decoded again with iconv under the names the program uses,
and must give back the source texts.
"""
import os
import re
import subprocess
import sys
import unicodedata

SECTION = "[DoDedazez]"
ENGLISH = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "lang", "English1252.ini")
TEXT_CAPACITY = 256  # characters, terminator included

# Python codec and the iconv name the program decodes with (first it can open).
CODE_PAGES = {
    874: ("cp874", "CP874"),
    932: ("cp932", "CP932"),
    936: ("gbk", "GBK"),
    949: ("cp949", "CP949"),
    950: ("cp950", "BIG5"),
    1250: ("cp1250", "CP1250"),
    1251: ("cp1251", "CP1251"),
    1252: ("cp1252", "CP1252"),
    1253: ("cp1253", "CP1253"),
    1254: ("cp1254", "CP1254"),
    1255: ("cp1255", "CP1255"),
    1256: ("cp1256", "CP1256"),
    1257: ("cp1257", "CP1257"),
    1258: ("cp1258", "CP1258"),
}

# printf conversions ("%s", "%2d", "%.2f", "%08X") must stay in order; numbered
# arguments ("%1", "%2") may move within the sentence.
PRINTF = re.compile(r"%%|%[-+#0]*\d*(?:\.\d+)?(?:ll|l|h)?[diouxXeEfgGcsSp]|%(\d+)")


class Failure(Exception):
    pass


def code_page(path):
    match = re.search(r"(\d+)$", os.path.splitext(os.path.basename(path))[0])
    return int(match.group(1)) if match else 0


def placeholders(text):
    ordered, numbered = [], []
    for match in PRINTF.finditer(text):
        (numbered if match.group(1) else ordered).append(match.group(0))
    return ordered, sorted(numbered)


def encode_char_1258(ch):
    """Vietnamese in windows-1258: a base letter (maybe with its own accent)
    followed by combining tone marks, since most toned letters have no code."""
    try:
        return ch.encode("cp1258")
    except UnicodeEncodeError:
        pass
    parts = unicodedata.normalize("NFD", ch)
    base, marks = parts[0], list(parts[1:])
    for i, mark in enumerate(marks):
        joined = unicodedata.normalize("NFC", base + mark)
        if len(joined) == 1:
            try:
                joined.encode("cp1258")
            except UnicodeEncodeError:
                continue
            base = joined
            del marks[i]
            break
    return b"".join(c.encode("cp1258") for c in [base] + marks)


def encode_text(text, page, where):
    if page not in CODE_PAGES:
        return text.encode("utf-8")
    codec = CODE_PAGES[page][0]
    try:
        if page == 1258:
            return b"".join(encode_char_1258(ch) for ch in text)
        return text.encode(codec)
    except UnicodeEncodeError as error:
        bad = text[error.start : error.end] if error.object == text else error.object
        raise Failure(f"{where}: {bad!r} has no code in code page {page}")


def decode_with_iconv(data, page):
    if page not in CODE_PAGES:
        return data.decode("utf-8-sig")
    result = subprocess.run(["iconv", "-f", CODE_PAGES[page][1], "-t", "UTF-8"], input=data, capture_output=True)
    if result.returncode != 0:
        raise Failure(f"iconv {CODE_PAGES[page][1]} cannot read it back: {result.stderr.decode().strip()}")
    return result.stdout.decode("utf-8")


def read_pairs(lines, where):
    pairs, seen = [], set()
    for number, line in enumerate(lines, 1):
        line = line.rstrip("\r\n")
        if not line.strip() or line.startswith(";") or line.strip().lower() == SECTION.lower():
            continue
        if "=" not in line:
            raise Failure(f"{where}:{number}: not a key=text line: {line!r}")
        key, text = line.split("=", 1)
        key, text = key.strip(), text.strip()
        if key.lower() in seen:
            raise Failure(f"{where}:{number}: key {key!r} twice")
        seen.add(key.lower())
        pairs.append((key, text))
    return pairs


def english_pairs():
    with open(ENGLISH, "rb") as f:
        return read_pairs(f.read().decode("cp1252").split("\n"), ENGLISH)


def check_against_english(pairs, where, complete):
    english = {key.lower(): (key, text) for key, text in english_pairs()}
    given = {key.lower() for key, _ in pairs}
    unknown = [key for key, _ in pairs if key.lower() not in english]
    if unknown and complete:
        raise Failure(f"{where}: keys the English file does not have: {', '.join(unknown)}")
    if complete:
        missing = [key for low, (key, _) in english.items() if low not in given]
        if missing:
            raise Failure(f"{where}: missing keys: {', '.join(missing)}")
    for key, text in pairs:
        if not text:
            raise Failure(f"{where}: {key} has no text")
        if len(text) >= TEXT_CAPACITY:
            raise Failure(f"{where}: {key} is longer than {TEXT_CAPACITY - 1} characters")
        if key.lower() in english and placeholders(text) != placeholders(english[key.lower()][1]):
            raise Failure(f"{where}: {key} does not keep the placeholders of the English text")
    if complete:  # the English order, so files compare line by line
        order = {low: i for i, low in enumerate(english)}
        pairs = sorted(pairs, key=lambda pair: order[pair[0].lower()])
    return pairs


def encode(source, target, fragment):
    with open(source, encoding="utf-8-sig") as f:
        pairs = read_pairs(f.read().split("\n"), source)
    pairs = check_against_english(pairs, source, complete=not fragment)
    page = code_page(target)
    lines = [] if fragment else [SECTION]
    lines += [f"{key}={text}" for key, text in pairs]
    body = b"".join(encode_text(line, page, source) + b"\r\n" for line in lines)
    bom = page not in CODE_PAGES and not fragment  # a fragment goes after the file's own mark
    data = (b"\xef\xbb\xbf" if bom else b"") + body
    back = read_pairs(decode_with_iconv(data, page).split("\n"), target)
    if [(k, unicodedata.normalize("NFC", t)) for k, t in back] != [
        (k, unicodedata.normalize("NFC", t)) for k, t in pairs
    ]:
        raise Failure(f"{target}: decoding the written bytes does not give the source texts back")
    with open(target, "wb") as f:
        f.write(data)


def decode(path):
    with open(path, "rb") as f:
        data = f.read()
    text = decode_with_iconv(data, code_page(path))
    for key, value in read_pairs(text.split("\n"), path):
        print(f"{key}={unicodedata.normalize('NFC', value)}")


def main(argv):
    try:
        if len(argv) == 2 and argv[0] == "decode":
            decode(argv[1])
        elif len(argv) == 3 and argv[0] == "encode":
            encode(argv[1], argv[2], fragment=False)
        elif len(argv) == 4 and argv[0] == "encode" and argv[1] == "--fragment":
            encode(argv[2], argv[3], fragment=True)
        else:
            print(__doc__, file=sys.stderr)
            return 2
    except Failure as failure:
        print(f"langfile: {failure}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
