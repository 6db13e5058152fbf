#!/usr/bin/env python3
"""Lists the longest function definitions in C++ sources, from the signature's first line
to the closing brace, longest first.

    scripts/longest-functions.py [-n COUNT] [DIRECTORY...]

A reading by braces, not a parser: comments, strings and preprocessor lines are blanked
first; a brace block whose head has a parameter list and is not a control statement,
and which is not nested in another function, counts as a function (lambdas count as
part of the function they are in).
"""
import re
import sys
from pathlib import Path

CONTROL = re.compile(r'\b(if|for|while|switch|catch|do|else|return)\s*(\(|$)')
SCOPE = re.compile(r'\b(namespace|class|struct|union|enum)\b[^()]*$')
LABELS = re.compile(r'^(\s*(public|protected|private)(\s+(slots|Q_SLOTS))?\s*:|\s*(signals|Q_SIGNALS)\s*:|\s*Q_OBJECT\b)+')


def blank(text):
    return re.sub(r'[^\n]', ' ', text)


def strip(text):
    """Blanks comments, string and character literals and preprocessor lines, keeping
    every line break, so that positions still give line numbers."""
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        line_start = text.rfind('\n', 0, i) + 1
        if text.startswith('//', i):
            j = text.find('\n', i)
            j = n if j < 0 else j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2)
            j = n if j < 0 else j + 2
        elif c == '#' and not text[line_start:i].strip():
            j = i
            while True:  # a directive with its continued lines
                j = text.find('\n', j)
                if j < 0 or text[j - 1] != '\\':
                    break
                j += 1
            j = n if j < 0 else j
        elif text.startswith('R"', i) and not (text[i - 1:i].isalnum() or text[i - 1:i] == '_'):
            delimiter = re.match(r'R"([^(]*)\(', text[i:]).group(1)
            j = text.find(')' + delimiter + '"', i) + len(delimiter) + 2
        elif c == '"' or (c == "'" and not re.search(r"\b\d[\w']*$", text[line_start:i])):  # not 1'000
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            j += 1
        else:
            out.append(c)
            i += 1
            continue
        out.append(blank(text[i:j]))
        i = j
    return ''.join(out)


def functions(path):
    """Yields (lines, where, name) for every function defined in the file."""
    text = strip(path.read_text(encoding='utf-8'))
    stack = []  # per open brace: is it a function's body, and where its head starts
    head_start = 0
    for i, c in enumerate(text):
        if c == '{':
            head = text[head_start:i]
            label = LABELS.match(head)
            if label:
                head_start += label.end()
                head = head[label.end():]
            stripped = head.strip()
            function = (not any(f for f, _ in stack) and '(' in stripped and not SCOPE.search(stripped)
                        and not stripped.endswith('=') and not CONTROL.search(stripped.split('\n')[-1]))
            stack.append((function, head_start + len(head) - len(head.lstrip())))
            head_start = i + 1
        elif c == '}':
            function, start = stack.pop() if stack else (False, i)
            if function:
                first, last = text.count('\n', 0, start), text.count('\n', 0, i)
                name = text[start:text.find('(', start)].split()[-1]
                yield last - first + 1, f'{path}:{first + 1}', name
            head_start = i + 1
        elif c == ';':
            head_start = i + 1


def main(argv):
    count = 10
    if argv[:1] == ['-n']:
        count, argv = int(argv[1]), argv[2:]
    found = []
    for root in argv or ['.']:
        for p in sorted(Path(root).rglob('*')):
            if p.suffix in ('.cpp', '.h') and p.is_file():
                found.extend(functions(p))
    for lines, where, name in sorted(found, key=lambda f: (-f[0], f[1]))[:count]:
        print(f'{lines:4d}  {name}  {where}')


if __name__ == '__main__':
    main(sys.argv[1:])
