#!/usr/bin/env python3
"""What a software centre and Flathub ask of the metadata beyond what this
Debian's validators check: English by default with the Spanish texts as
translations, a summary short enough for a store's tile, the developer with
an id, the licence's terms, notes for this release, brand colours, and
screenshots that are the ones in docs/screenshots/ with captions in both
languages.

    metadata-check.py METAINFO DESKTOP-ENTRY VERSION SCREENSHOTS-FOLDER
"""
import os
import re
import sys
import xml.etree.ElementTree as ET

LANG = "{http://www.w3.org/XML/1998/namespace}lang"
TRANSLATION = "es"
failures = []


def fail(message):
    failures.append(message)


def text(element):
    return " ".join("".join(element.itertext()).split())


def by_language(elements):
    """The texts of translatable elements, keyed by language ("" untagged)."""
    texts = {}
    for element in elements:
        texts.setdefault(element.get(LANG, ""), []).append(text(element))
    return texts


def both_languages(what, elements):
    texts = by_language(elements)
    if set(texts) != {"", TRANSLATION}:
        fail(f"{what}: wanted English untagged and xml:lang=\"{TRANSLATION}\", found "
             f"{sorted(texts) or 'nothing'}")
    elif len(texts[""]) != len(texts[TRANSLATION]):
        fail(f"{what}: {len(texts[''])} in English but {len(texts[TRANSLATION])} in Spanish")
    return texts


def check_metainfo(path, version, screenshots):
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError) as error:
        fail(f"cannot read {path}: {error}")
        return

    for language, summaries in both_languages("summary", root.findall("summary")).items():
        for summary in summaries:
            # Flathub's limit, so the summary fits under the name in a tile.
            if len(summary) > 35:
                fail(f"summary ({language or 'en'}) has {len(summary)} characters, more than 35: {summary}")
            if summary.endswith("."):
                fail(f"summary ({language or 'en'}) ends with a full stop: {summary}")

    if root.find("developer_name") is not None:
        fail("developer_name is the legacy form: <developer id=...><name> replaces it")
    developers = root.findall("developer")
    if len(developers) != 1:
        fail(f"{len(developers)} developer elements, wanted one")
    else:
        developer = developers[0]
        if not re.fullmatch(r"[a-z0-9]+(\.[a-z0-9-]+)+", developer.get("id", "")):
            fail(f"developer id is not a reverse-DNS name: {developer.get('id')!r}")
        names = [n for n in developer.findall("name") if LANG not in n.attrib]
        if len(names) != 1 or not text(names[0]):
            fail("developer wants exactly one untranslated name")

    license_ = text(root.find("project_license")) if root.find("project_license") is not None else ""
    if not re.fullmatch(r"LicenseRef-proprietary=https://\S+", license_):
        fail(f"project_license does not link the terms: {license_!r}")

    description = root.find("description")
    paragraphs = both_languages("description paragraphs",
                                description.findall("p") if description is not None else [])
    if not any("only available in Spanish" in p for p in paragraphs.get("", [])):
        fail("the description does not say the game is only available in Spanish")

    releases = [r for r in root.findall("releases/release") if r.get("version") == version]
    if len(releases) != 1:
        fail(f"no single release {version}")
    else:
        both_languages(f"release {version} notes", releases[0].findall("description/p"))

    colours = {c.get("scheme_preference"): text(c) for c in root.findall("branding/color")
               if c.get("type") == "primary"}
    if set(colours) != {"light", "dark"}:
        fail(f"wanted a light and a dark primary brand colour, found {sorted(colours)}")
    elif not all(re.fullmatch(r"#[0-9a-fA-F]{6}", c) for c in colours.values()) \
            or colours["light"].lower() == colours["dark"].lower():
        fail(f"brand colours are not two different #rrggbb: {colours}")

    both_languages("keywords", root.findall("keywords/keyword"))

    shots = root.findall("screenshots/screenshot")
    if [s.get("type") for s in shots].count("default") != 1:
        fail("wanted exactly one default screenshot")
    for number, shot in enumerate(shots, 1):
        captions = both_languages(f"screenshot {number} caption", shot.findall("caption"))
        for language, texts in captions.items():
            if any(t.endswith(".") for t in texts):
                fail(f"screenshot {number} caption ({language or 'en'}) ends with a full stop")
        images = shot.findall("image")
        if len(images) != 1 or LANG in images[0].attrib:
            fail(f"screenshot {number}: wanted one image for every language")
            continue
        name = text(images[0]).rsplit("/", 1)[-1]
        if not os.path.isfile(os.path.join(screenshots, name)):
            fail(f"screenshot {number} is {name}, which is not in {screenshots}")


def check_desktop_entry(path):
    try:
        with open(path, encoding="utf-8") as file:
            lines = file.read().splitlines()
    except (OSError, UnicodeDecodeError) as error:
        fail(f"cannot read {path}: {error}")
        return
    keys = dict(line.split("=", 1) for line in lines if "=" in line and not line.startswith("#"))
    for key in ("GenericName", "Comment", "Keywords"):
        if not keys.get(key):
            fail(f"desktop entry: no English {key}")
        if not keys.get(f"{key}[{TRANSLATION}]"):
            fail(f"desktop entry: no {key}[{TRANSLATION}]")
        if keys.get(key) and keys.get(key) == keys.get(f"{key}[{TRANSLATION}]"):
            fail(f"desktop entry: {key} is the same in both languages")


def main():
    if len(sys.argv) != 5:
        print(__doc__.strip().splitlines()[-1].strip(), file=sys.stderr)
        return 2
    metainfo, desktop, version, screenshots = sys.argv[1:]
    check_metainfo(metainfo, version, screenshots)
    check_desktop_entry(desktop)
    for message in failures:
        print(f"FAIL: {message}")
    if failures:
        return 1
    print("PASS")
    return 0


if __name__ == "__main__":
    sys.exit(main())
