#!/usr/bin/env python3
"""The HTML manuals: the files the program opens exist, each is balanced UTF-8
HTML whose table of contents and pictures resolve, and all of them have the
same sections in the same order.

Usage: ManualsTest.py HELP_FOLDER LANGUAGE_TABLE_SOURCE
"""
import html.parser
import os
import re
import sys

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}
MAX_IMAGE_BYTES = 150 * 1024


class Manual(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack = []
        self.problems = []
        self.ids = []
        self.sections = []
        self.links = []
        self.images = []
        self.charset = None

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag not in VOID:
            self.stack.append((tag, self.getpos()[0]))
        if "id" in attrs:
            self.ids.append(attrs["id"])
            if tag == "h2":
                self.sections.append(attrs["id"])
        if tag == "a" and attrs.get("href", "").startswith("#"):
            self.links.append(attrs["href"][1:])
        if tag == "img":
            self.images.append((attrs.get("src", ""), attrs.get("alt", "")))
        if tag == "meta" and "charset" in attrs:
            self.charset = attrs["charset"].lower()

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)
        if tag not in VOID:
            self.stack.pop()

    def handle_endtag(self, tag):
        line = self.getpos()[0]
        if tag in VOID:
            return
        if not self.stack:
            self.problems.append(f"line {line}: </{tag}> closes nothing")
            return
        opened, at = self.stack[-1]
        if opened != tag:
            self.problems.append(f"line {line}: </{tag}> closes <{opened}> of line {at}")
        # Carry on from the matching start tag so that one slip is reported once.
        if any(t == tag for t, _ in self.stack):
            while self.stack.pop()[0] != tag:
                pass


def help_files_opened_by_program(table_source):
    with open(table_source, encoding="utf-8") as f:
        return sorted(set(re.findall(r'"(Pelora-[A-Z]+\.html)"', f.read())))


def check_manual(path, images_folder):
    problems = []
    try:
        with open(path, encoding="utf-8") as f:
            text = f.read()
    except UnicodeDecodeError as e:
        return None, [f"not UTF-8: {e}"]
    manual = Manual()
    manual.feed(text)
    manual.close()
    problems += manual.problems
    problems += [f"<{tag}> of line {line} is never closed" for tag, line in manual.stack]
    if not text.lstrip().lower().startswith("<!doctype html>"):
        problems.append("does not start with <!DOCTYPE html>")
    if manual.charset != "utf-8":
        problems.append(f"declares charset {manual.charset!r}, not utf-8")
    duplicates = sorted({i for i in manual.ids if manual.ids.count(i) > 1})
    problems += [f"id {i!r} is used twice" for i in duplicates]
    problems += [f"link to #{target} has no target" for target in manual.links
                 if target not in manual.ids]
    problems += [f"section {s!r} is missing from the table of contents" for s in manual.sections
                 if s not in manual.links]
    for src, alt in manual.images:
        if not src.startswith("images/") or ".." in src:
            problems.append(f"picture {src!r} is not in the images folder")
            continue
        picture = os.path.join(images_folder, src[len("images/"):])
        if not os.path.isfile(picture):
            problems.append(f"picture {src!r} does not exist")
        elif os.path.getsize(picture) > MAX_IMAGE_BYTES:
            problems.append(f"picture {src!r} is larger than 150 KB")
        if not alt.strip():
            problems.append(f"picture {src!r} has no alt text")
    return manual, problems


def main():
    help_folder, table_source = sys.argv[1], sys.argv[2]
    images_folder = os.path.join(help_folder, "images")
    names = help_files_opened_by_program(table_source)
    failures = []
    if len(names) < 3:
        failures.append(f"expected the program to open three manuals, found {names}")
    manuals = {}
    for name in names:
        path = os.path.join(help_folder, name)
        if not os.path.isfile(path):
            failures.append(f"{name}: the program opens it but it does not exist")
            continue
        manual, problems = check_manual(path, images_folder)
        failures += [f"{name}: {p}" for p in problems]
        if manual is not None:
            manuals[name] = manual
    if manuals:
        reference_name = "Pelora-EN.html" if "Pelora-EN.html" in manuals else sorted(manuals)[0]
        reference = manuals[reference_name]
        if not reference.sections:
            failures.append(f"{reference_name}: has no sections (<h2 id=...>)")
        for name, manual in sorted(manuals.items()):
            if name == reference_name:
                continue
            if manual.sections != reference.sections:
                failures.append(f"{name}: sections {manual.sections} differ from "
                                f"{reference_name}: {reference.sections}")
            pictures = sorted(src for src, _ in manual.images)
            expected = sorted(src for src, _ in reference.images)
            if pictures != expected:
                failures.append(f"{name}: pictures {pictures} differ from {reference_name}: {expected}")
    for failure in failures:
        print("FAIL:", failure)
    if failures:
        return 1
    print(f"PASS: {', '.join(names)} with {len(reference.sections)} sections each")
    return 0


if __name__ == "__main__":
    sys.exit(main())
