#!/usr/bin/env python3
"""Makes the program's HTML manual, which F1 opens, from the README.

    manual_html.py README.md OUTPUT.html

The pictures the README shows are put into the page itself, so that the manual is one file
that works wherever it is installed, and needs no network.
"""
import base64
import html
import mimetypes
import os
import re
import sys

try:
    import markdown
except ImportError:
    sys.exit("manual_html.py: the python3 module markdown is missing (scripts/deps installs it)")

PAGE = """<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>{title}</title>
<style>
body {{ font-family: sans-serif; max-width: 60em; margin: 1em auto; padding: 0 1em;
       line-height: 1.45; color: #222; }}
code, pre {{ font-family: monospace; background: #f3f3f3; }}
pre {{ padding: 0.5em; overflow-x: auto; }}
table {{ border-collapse: collapse; }}
td, th {{ border: 1px solid #ccc; padding: 0.2em 0.5em; vertical-align: top; }}
img {{ max-width: 100%; }}
</style>
</head>
<body>
{body}
</body>
</html>
"""


def embed_pictures(body, folder):
    """Replaces each picture's file name by its contents, when the file is there."""

    def embedded(match):
        name = html.unescape(match.group(2))
        path = os.path.join(folder, name)
        if "://" in name or not os.path.isfile(path):
            return match.group(0)
        kind = mimetypes.guess_type(path)[0] or "application/octet-stream"
        with open(path, "rb") as picture:
            data = base64.b64encode(picture.read()).decode("ascii")
        return f'{match.group(1)}"data:{kind};base64,{data}"'

    return re.sub(r'(<img[^>]*\bsrc=)"([^"]*)"', embedded, body)


def main(arguments):
    if len(arguments) != 3:
        sys.stderr.write("usage: manual_html.py README.md OUTPUT.html\n")
        return 2
    source, output = arguments[1], arguments[2]
    with open(source, encoding="utf-8") as readme:
        text = readme.read()
    body = markdown.markdown(text, extensions=["tables", "fenced_code"], output_format="html")
    body = embed_pictures(body, os.path.dirname(os.path.abspath(source)))
    heading = re.search(r"<h1>(.*?)</h1>", body)
    title = re.sub(r"<[^>]+>", "", heading.group(1)) if heading else "Manual"
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    # Written whole, then renamed: a build stopped midway leaves no half manual behind.
    with open(output + ".part", "w", encoding="utf-8") as page:
        page.write(PAGE.format(title=title, body=body))
    os.replace(output + ".part", output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
