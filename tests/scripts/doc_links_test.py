#!/usr/bin/env python3
"""Every link of README.md and docs/*.md resolves: a relative link names a file or folder of the
repository, and a #fragment names a heading of the file it points into (headings turned into
anchors the way GitHub does). Links to other sites are not followed."""
import pathlib
import re
import sys

root = pathlib.Path(__file__).resolve().parents[2]
link = re.compile(r"(?<!\!)\[[^\]]*\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)|!\[[^\]]*\]\(([^)\s]+)\)")
fence = re.compile(r"^\s*```")


def prose_lines(path):
    inside = False
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if fence.match(line):
            inside = not inside
            continue
        if not inside:
            yield number, line


def anchor(heading):
    text = re.sub(r"[`*_]|<[^>]+>", "", heading.strip().lower())
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def anchors(path):
    seen = {}
    names = set()
    for _, line in prose_lines(path):
        match = re.match(r"^#{1,6}\s+(.*?)\s*#*\s*$", line)
        if not match:
            continue
        base = anchor(match.group(1))
        count = seen.get(base, 0)
        seen[base] = count + 1
        names.add(base if count == 0 else f"{base}-{count}")
    return names


def main():
    files = [root / "README.md"] + sorted((root / "docs").glob("*.md"))
    problems = []
    for path in files:
        for number, line in prose_lines(path):
            for match in link.finditer(line):
                target = match.group(1) or match.group(2)
                if re.match(r"^[a-z]+:", target):
                    continue
                name, _, fragment = target.partition("#")
                where = (path.parent / name).resolve() if name else path
                if not where.exists():
                    problems.append(f"{path.relative_to(root)}:{number}: {target}: no such file")
                elif fragment and where.suffix == ".md" and fragment not in anchors(where):
                    problems.append(
                        f"{path.relative_to(root)}:{number}: {target}: no such heading")
    for problem in problems:
        print(problem)
    checked = len(files)
    print(f"doc_links: {checked} file(s), {len(problems)} broken link(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
